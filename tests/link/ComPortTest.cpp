#include "link/serial/TComPort.h"
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QTimer>
#include <cerrno>
#include <fcntl.h>
#include <functional>
#include <gmock/gmock.h>
#include <poll.h>
#include <pty.h>
#include <sys/resource.h>
#include <termios.h>
#include <unistd.h>

namespace {

// Runs the event loop until `done` or the time-out; QtTest is not linked here.
bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 3000) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.hasExpired(timeoutMs)) return false;
        QEventLoop loop;
        QTimer::singleShot(5, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

// For checking that something does NOT happen.
void RunEventLoopFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

std::string Message(const std::function<void()>& action) {
    try {
        action();
    } catch (const EComPort& e) {
        return e.what();
    }
    return "(nothing raised)";
}

// A pseudo-terminal: the test holds the master end, the port under test opens the slave by path.
class PtyPortTest : public ::testing::Test {
  protected:
    void SetUp() override {
        int slave = -1;
        ASSERT_EQ(openpty(&Master, &slave, nullptr, nullptr, nullptr), 0);
        termios tio{};
        ASSERT_EQ(tcgetattr(slave, &tio), 0);
        cfmakeraw(&tio);
        ASSERT_EQ(tcsetattr(slave, TCSANOW, &tio), 0);
        SlavePath = QString::fromLocal8Bit(ttyname(slave));
        close(slave);
        fcntl(Master, F_SETFL, fcntl(Master, F_GETFL) | O_NONBLOCK);

        Port.Settings.Port = SlavePath;
        Port.OnRxChar = [this](int count) { RxEvents.push_back(count); };
        Port.OnPortLost = [this](const QString& message) { Lost << message; };
        Port.OnSignal = [this](TComSignal signal, bool on) { Lit[size_t(signal)] = on; };
    }
    void TearDown() override {
        Port.Close();
        if (Master >= 0) close(Master);
    }

    void MasterWrite(const QByteArray& bytes) {
        ASSERT_EQ(write(Master, bytes.constData(), bytes.size()), bytes.size());
    }
    // What reaches the master within the time-out.
    QByteArray MasterRead(int expected, int timeoutMs = 3000) {
        QByteArray got;
        QElapsedTimer clock;
        clock.start();
        while (got.size() < expected && !clock.hasExpired(timeoutMs)) {
            pollfd pfd{Master, POLLIN, 0};
            if (poll(&pfd, 1, 100) <= 0) continue;
            char buffer[256];
            const ssize_t n = read(Master, buffer, sizeof buffer);
            if (n > 0) got.append(buffer, n);
        }
        return got;
    }
    bool IsLit(TComSignal signal) const { return Lit[size_t(signal)]; }

    int Master = -1;
    QString SlavePath;
    TComPort Port;
    std::vector<int> RxEvents;
    QStringList Lost;
    std::array<bool, 3> Lit{};
};

} // namespace

// The number is the system's, not Qt's: Qt calls every one of these DeviceNotFound,
// UnsupportedOperation or Unknown.
TEST(ComPortTest, FailedOpenCarriesTheSystemsErrorNumberAndStaysClosed) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString plain = dir.filePath("plain");
    ASSERT_TRUE(QFile(plain).open(QIODevice::WriteOnly));
    const std::tuple<QString, int, TPortProblem> cases[] = {
        {dir.filePath("no-such-device"), ENOENT, TPortProblem::Missing},
        {plain + "/below", ENOTDIR, TPortProblem::Other},
        {dir.path(), EISDIR, TPortProblem::NotSerial},
        {plain, ENOTTY, TPortProblem::NotSerial},
    };
    for (const auto& [path, code, problem] : cases) {
        TComPort port;
        port.Settings.Port = path;
        try {
            port.Open();
            ADD_FAILURE() << "opened " << path.toStdString();
        } catch (const EComPort& e) {
            EXPECT_EQ(e.what(), "Unable to open com port (Error: " + std::to_string(code) + ")");
            EXPECT_EQ(e.Reason, qt_error_string(code)) << "the system's words";
            EXPECT_EQ(e.Problem, problem) << path.toStdString();
        }
        EXPECT_FALSE(port.Connected());
    }
}

TEST(ComPortTest, ReadingOrWritingAClosedPortFails) {
    TComPort port;
    EXPECT_EQ(Message([&] { port.WriteStr("x"); }), "Port Not Open");
    EXPECT_EQ(Message([&] { (void)port.ReadStr(10); }), "Port Not Open");
}

TEST(ComPortTest, SystemPortsAddAnExistingPathOnceButNoMissingOne) {
    auto paths = [](const QList<TPortInfo>& ports) {
        QStringList list;
        for (const TPortInfo& p : ports)
            list << p.Path;
        return list;
    };
    const QStringList missing = paths(TComPort::SystemPorts("/dev/krv-no-such-device"));
    EXPECT_FALSE(missing.contains("/dev/krv-no-such-device"));
    // A bare name is looked up under /dev by the port, not in the working directory.
    EXPECT_FALSE(paths(TComPort::SystemPorts(".")).contains("."));

    const QStringList with = paths(TComPort::SystemPorts("/dev/null"));
    EXPECT_EQ(with.count("/dev/null"), 1);
    EXPECT_EQ(with.size(), missing.size() + 1);
}

// Qt refuses a port it holds already by itself, with no system number: the user reads that another
// program holds it.
TEST_F(PtyPortTest, PortHeldByAnotherIsBusy) {
    Port.Open();
    TComPort second;
    second.Settings.Port = SlavePath;
    try {
        second.Open();
        ADD_FAILURE() << "opened twice";
    } catch (const EComPort& e) {
        EXPECT_EQ(e.Problem, TPortProblem::Busy) << e.Reason.toStdString();
    }
}

TEST_F(PtyPortTest, OpensByPathAndSwitchesTheConnectionIndicator) {
    Port.Open();
    EXPECT_TRUE(Port.Connected());
    EXPECT_TRUE(IsLit(TComSignal::Connection));
    Port.Open(); // already open: nothing happens
    EXPECT_TRUE(Port.Connected());
    Port.Close();
    EXPECT_FALSE(Port.Connected());
    EXPECT_FALSE(IsLit(TComSignal::Connection));
}

TEST_F(PtyPortTest, WrittenBytesReachTheOtherEnd) {
    Port.Open();
    const QByteArray frame("<A1>5F\r\n\x00\xff", 10);
    Port.WriteStr(frame);
    EXPECT_EQ(MasterRead(frame.size()), frame);
    EXPECT_TRUE(WaitUntil([&] { return !IsLit(TComSignal::Transmit); }));
}

// The receive indicator stays on while anything is left to read.
TEST_F(PtyPortTest, ReceivedBytesRaiseOnRxCharAndReadGivesWhatIsWaiting) {
    Port.Open();
    MasterWrite("abcd");
    ASSERT_TRUE(WaitUntil([&] { return !RxEvents.empty() && RxEvents.back() == 4; }));
    EXPECT_TRUE(IsLit(TComSignal::Receive));
    EXPECT_EQ(Port.ReadStr(3), "abc");
    EXPECT_TRUE(IsLit(TComSignal::Receive));
    EXPECT_EQ(Port.ReadStr(3), "d");
    EXPECT_FALSE(IsLit(TComSignal::Receive));
    EXPECT_EQ(Port.ReadStr(10), "");
}

// Discarded NULs do not count towards the request; kept ones arrive as they came.
TEST_F(PtyPortTest, NulsAreDiscardedOnlyWhenAskedTo) {
    for (const bool discard : {true, false}) {
        Port.Settings.DiscardNull = discard;
        Port.Open();
        RxEvents.clear();
        MasterWrite(QByteArray("\0\0ab\0c", 6));
        ASSERT_TRUE(WaitUntil([&] { return !RxEvents.empty() && RxEvents.back() == 6; }));
        EXPECT_EQ(Port.ReadStr(2), discard ? QByteArray("ab") : QByteArray(2, '\0'));
        EXPECT_EQ(Port.ReadStr(10), discard ? QByteArray("c") : QByteArray("ab\0c", 4));
        Port.Close();
    }
}

TEST_F(PtyPortTest, NothingArrivesAfterClose) {
    Port.Open();
    MasterWrite("early");
    Port.Close(); // before the loop had a chance to deliver it
    MasterWrite("late");
    RunEventLoopFor(200);
    EXPECT_TRUE(RxEvents.empty());
    EXPECT_FALSE(IsLit(TComSignal::Receive));
}

TEST_F(PtyPortTest, BytesQueuedAtCloseAreNotReadAfterReopening) {
    Port.Open();
    MasterWrite("stale");
    Port.Close();
    Port.Open();
    MasterWrite("fresh");
    ASSERT_TRUE(WaitUntil([&] { return !RxEvents.empty(); }));
    RunEventLoopFor(50); // both writes would have arrived by now
    EXPECT_EQ(Port.ReadStr(100), "fresh");
}

// Qt refuses a baud rate of 0 by itself: its number, whatever errno holds.
const std::string QtRefusal =
    "SetCommState function failed (Error: " + std::to_string(QSerialPort::UnsupportedOperationError) + ")";

TEST_F(PtyPortTest, RefusedSettingClosesThePortAgain) {
    Port.Settings.BaudRate = TBaudRate::brCustom;
    Port.Settings.CustomBaudRate = 0;
    errno = EIO;
    EXPECT_EQ(Message([&] { Port.Open(); }), QtRefusal);
    EXPECT_FALSE(Port.Connected());
    EXPECT_FALSE(IsLit(TComSignal::Connection));

    Port.Settings.BaudRate = TBaudRate::br9600;
    Port.Open();
    EXPECT_TRUE(Port.Connected());
}

TEST_F(PtyPortTest, LineSettingsReachTheDeviceOnOpenAndWhenChanged) {
    // Terminal settings asked of the master end are those of the slave.
    auto device = [this] {
        termios tio{};
        EXPECT_EQ(tcgetattr(Master, &tio), 0);
        return tio;
    };
    Port.Settings.BaudRate = TBaudRate::br115200;
    Port.Settings.StopBits = TStopBits::sbTwoStopBits;
    Port.Settings.SetFlowControl(TFlowControl::fcHardware);
    Port.Open();
    termios tio = device();
    EXPECT_EQ(cfgetospeed(&tio), speed_t(B115200));
    EXPECT_TRUE(tio.c_cflag & CSTOPB);
    EXPECT_TRUE(tio.c_cflag & CRTSCTS);
    EXPECT_FALSE(tio.c_iflag & IXON);

    Port.Settings.BaudRate = TBaudRate::br1200;
    Port.Settings.StopBits = TStopBits::sbOneStopBit;
    Port.Settings.SetFlowControl(TFlowControl::fcSoftware);
    Port.ApplySettings();
    tio = device();
    EXPECT_EQ(cfgetospeed(&tio), speed_t(B1200));
    EXPECT_FALSE(tio.c_cflag & CSTOPB);
    EXPECT_FALSE(tio.c_cflag & CRTSCTS);
    EXPECT_TRUE((tio.c_iflag & IXON) && (tio.c_iflag & IXOFF));
}

TEST_F(PtyPortTest, RefusedChangeOnAnOpenPortIsReportedAndLeavesItOpen) {
    Port.Open();
    Port.Settings.BaudRate = TBaudRate::brCustom;
    Port.Settings.CustomBaudRate = 0;
    errno = EIO;
    EXPECT_EQ(Message([&] { Port.ApplySettings(); }), QtRefusal);
    EXPECT_TRUE(Port.Connected());
}

TEST_F(PtyPortTest, DataArrivingDuringAWriteIsAnnouncedAfterIt) {
    Port.Open();
    bool writing = false;
    bool announcedWhileWriting = false;
    Port.OnRxChar = [&](int count) {
        announcedWhileWriting |= writing;
        RxEvents.push_back(count);
    };
    MasterWrite("abc"); // waiting, unseen by the event loop, when the write starts
    writing = true;
    Port.WriteStr("x");
    writing = false;
    ASSERT_TRUE(WaitUntil([&] { return !RxEvents.empty(); }));
    EXPECT_FALSE(announcedWhileWriting);
    EXPECT_EQ(Port.ReadStr(10), "abc");
}

TEST_F(PtyPortTest, WriteThatCannotFinishInTimeFails) {
    Port.Settings.WriteTotalMultiplier = 0;
    Port.Settings.WriteTotalConstant = 200;
    Port.Open();
    // Nobody reads the master, so the pseudo-terminal's buffers fill up. The system has no number
    // for a time-out; the message carries Qt's.
    EXPECT_EQ(Message([&] { Port.WriteStr(QByteArray(1 << 20, 'x')); }),
              "WriteFile function failed (Error: " + std::to_string(QSerialPort::TimeoutError) + ")");
    EXPECT_FALSE(IsLit(TComSignal::Transmit));
}

TEST_F(PtyPortTest, VanishingDeviceClosesThePortOnceWithoutSpinning) {
    Port.Open();
    close(Master);
    Master = -1;
    ASSERT_TRUE(WaitUntil([&] { return !Lost.isEmpty(); }));
    EXPECT_FALSE(Port.Connected());
    EXPECT_FALSE(IsLit(TComSignal::Connection));

    const double before = CpuSeconds();
    RunEventLoopFor(1000);
    EXPECT_LT(CpuSeconds() - before, 0.3);
    EXPECT_EQ(Lost.size(), 1);
    EXPECT_EQ(Message([&] { Port.WriteStr("x"); }), "Port Not Open");
}

TEST_F(PtyPortTest, WriteToAVanishedDeviceFailsAndIsNotReportedTwice) {
    Port.Open();
    close(Master);
    Master = -1;
    // Not the stale number Qt words its read at the end of the file with.
    EXPECT_EQ(Message([&] { Port.WriteStr("x"); }),
              "WriteFile function failed (Error: " + std::to_string(EIO) + ")");
    Port.Close(); // what the link does on a failed write
    RunEventLoopFor(100);
    EXPECT_TRUE(Lost.isEmpty());
}

TEST_F(PtyPortTest, PortMayBeDeletedWhenItReportsItsLoss) {
    auto* port = new TComPort;
    port->Settings.Port = SlavePath;
    port->Open();
    bool lost = false;
    port->OnPortLost = [&](const QString&) {
        lost = true;
        delete port;
    };
    close(Master);
    Master = -1;
    EXPECT_TRUE(WaitUntil([&] { return lost; }));
}
