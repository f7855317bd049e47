#include "link/FrameCodec.h"
#include "sim/SimTestSupport.h"
#include "support/SimProcess.h"
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <cerrno>
#include <fcntl.h>
#include <gmock/gmock.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

// Runs the real program on a pseudo-terminal. Every wait is on I/O with a deadline.

namespace {

constexpr int kTimeoutMs = 10000;

// The next whole line on the process's standard output.
QString ReadLine(QProcess& process) {
    QDeadlineTimer deadline(kTimeoutMs);
    while (!process.canReadLine()) {
        if (deadline.hasExpired() || !process.waitForReadyRead(int(deadline.remainingTime()))) return {};
    }
    return QString::fromLocal8Bit(process.readLine()).trimmed();
}

class PtyClient {
  public:
    explicit PtyClient(const QString& path) {
        fd_ = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        termios tio{};
        if (fd_ >= 0 && ::tcgetattr(fd_, &tio) == 0) {
            ::cfmakeraw(&tio);
            ::tcsetattr(fd_, TCSANOW, &tio);
        }
    }
    ~PtyClient() {
        if (fd_ >= 0) ::close(fd_);
    }
    PtyClient(const PtyClient&) = delete;
    PtyClient& operator=(const PtyClient&) = delete;

    bool IsOpen() const { return fd_ >= 0; }
    int Descriptor() const { return fd_; }

    // Sends one request and collects bytes up to the `lines`-th LF.
    QByteArray Ask(const QByteArray& request, int lines = 1) {
        if (::write(fd_, request.constData(), size_t(request.size())) != request.size())
            return "<write failed>";
        QByteArray got;
        QDeadlineTimer deadline(kTimeoutMs);
        while (got.count('\n') < lines && !deadline.hasExpired()) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, int(deadline.remainingTime())) <= 0) continue;
            char buf[256];
            const ssize_t n = ::read(fd_, buf, sizeof buf);
            if (n > 0)
                got.append(buf, qsizetype(n));
            else if (n < 0 && errno != EAGAIN && errno != EINTR)
                break;
        }
        return got;
    }

  private:
    int fd_ = -1;
};

class SimulatorProcess : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    QString link;
    SimProcess simProcess;
    QProcess& sim = simProcess.Process();
    QString port;

    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        link = dir.filePath("krv-port");
    }

    void Start(QStringList args) {
        port = simProcess.Start(args << "--link" << link << "--quiet");
        ASSERT_TRUE(port.startsWith("/dev/")) << sim.readAllStandardError().constData();
    }

    void ExpectCleanExit() {
        ASSERT_TRUE(sim.waitForFinished(kTimeoutMs));
        EXPECT_EQ(sim.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(sim.exitCode(), 0) << sim.readAllStandardError().constData();
        EXPECT_FALSE(QFileInfo(link).isSymLink());
        EXPECT_FALSE(QFileInfo::exists(link));
    }
};

TEST_F(SimulatorProcess, AnswersOnThePortAndRemovesItsLinkWhenTerminated) {
    ASSERT_TRUE(QFile::link(dir.filePath("stale"), link));
    Start({"--wind-speed", "3.25"});
    // Ready as soon as the first line is out: the stale link already points at the port.
    EXPECT_EQ(QFileInfo(link).symLinkTarget(), port);

    {
        PtyClient client(link);
        ASSERT_TRUE(client.IsOpen());
        const QByteArray answer = client.Ask("<RD,M01,>EA\r\n");
        ASSERT_TRUE(simtest::WireFrameOk(answer)) << answer.constData();
        EXPECT_EQ(simtest::WirePayload(answer), "AD,M01=3.250,");
    }
    // A client closing the port must not take the simulator down or stop it listening, and neither
    // must its standard input ending.
    sim.closeWriteChannel();
    {
        PtyClient client(port);
        ASSERT_TRUE(client.IsOpen());
        const QByteArray request = *BuildFrame("RW,E12=0.5,");
        EXPECT_EQ(client.Ask(request), *BuildFrame("AW,E12=0.5,"));
        EXPECT_EQ(client.Ask(*BuildFrame("RD,E12,S00,")), *BuildFrame("AD,E12=0.5,S00=17.03,"));
    }
    EXPECT_EQ(sim.state(), QProcess::Running);

    sim.terminate();
    ExpectCleanExit();
}

// A client that dies leaves its exclusive mode on the terminal, which the simulator's own descriptor
// keeps open; the simulator drops it once the client is quiet, or the next client not run as root
// would be refused as busy.
TEST_F(SimulatorProcess, AGoneClientsExclusiveModeIsReleased) {
    Start({});
    PtyClient client(link);
    ASSERT_TRUE(client.IsOpen());
    ASSERT_EQ(::ioctl(client.Descriptor(), TIOCEXCL), 0);
    int exclusive = 0;
    ASSERT_EQ(::ioctl(client.Descriptor(), TIOCGEXCL, &exclusive), 0);
    ASSERT_EQ(exclusive, 1);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return ::ioctl(client.Descriptor(), TIOCGEXCL, &exclusive) == 0 && exclusive == 0; },
        kTimeoutMs));
}

TEST_F(SimulatorProcess, CommandsOnStandardInputChangeTheAnswersAndQuitEndsIt) {
    Start({});
    PtyClient client(link);
    ASSERT_TRUE(client.IsOpen());

    sim.write("set M01 7.25\n");
    EXPECT_EQ(ReadLine(sim), "OK M01=7.250");
    EXPECT_EQ(client.Ask("<RD,M01,>EA\r\n"), *BuildFrame("AD,M01=7.250,"));

    sim.write("fault duplicate 1\n");
    EXPECT_TRUE(ReadLine(sim).startsWith("OK "));
    EXPECT_EQ(client.Ask("<RD,M01,>EA\r\n", 2), BuildFrame("AD,M01=7.250,")->repeated(2));
    sim.write("fault none\n");
    EXPECT_TRUE(ReadLine(sim).startsWith("OK "));
    EXPECT_EQ(client.Ask("<RD,M01,>EA\r\n"), *BuildFrame("AD,M01=7.250,"));

    sim.write("quit\n");
    ExpectCleanExit();
}

} // namespace
