#include "e2e/SimulatorRig.h"
#include "link/DeviceLink.h"
#include <gmock/gmock.h>
#include <sys/resource.h>

namespace {

double ProcessCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// The real TComPort and link against krv-sim, through a symlink as a user would configure it.
class LinkAgainstSimulator : public ::testing::Test, protected SimulatorRig {
  protected:
    TDeviceLink link{port, prompts, prompts, dir.path()};
    QStringList frames, receiveLog;
    std::vector<TNotifier<const QString&>::Subscription> logs;

    void SetUp() override {
        ASSERT_TRUE(StartSimulator({"--wind-speed", "3.5", "--azimuth", "270"}));
        port.Settings.Port = portPath;
        link.OnFrame = [this](const QString& f) { frames << f; };
        link.SetReceiveLog(true);
        logs.push_back(link.ReceiveLogLine.Follow([this](const QString& l) { receiveLog << l; }));
    }

    bool RequestAndWaitForAnswer() {
        frames.clear();
        link.SendFrame(u"RD,M01,M05,");
        return QTest::qWaitFor([this] { return !frames.isEmpty(); }, 3000);
    }
};

TEST_F(LinkAgainstSimulator, AnswersThroughTheFrameHandlerClosesQuietlyWhenTheSimulatorEndsAndReopens) {
    ASSERT_TRUE(link.OpenLink());
    EXPECT_EQ(link.PortName(), portPath);
    ASSERT_TRUE(RequestAndWaitForAnswer());
    ASSERT_EQ(frames.size(), 1);
    EXPECT_THAT(frames[0].toStdString(), ::testing::MatchesRegex("<AD,M01=3\\.50*,M05=270(\\.0*)?,>"));
    for (const QString& line : receiveLog)
        EXPECT_FALSE(line.startsWith("SumCheck Error!")) << line.toStdString();

    sim.Stop();
    EXPECT_TRUE(QTest::qWaitFor([this] { return !link.LinkOpen(); }, 2000)) << "the link stayed open";
    EXPECT_FALSE(port.Connected());
    EXPECT_EQ(link.PortName(), "");

    // A vanished port must not leave the process spinning on errors.
    const double before = ProcessCpuSeconds();
    QTest::qWait(1000);
    EXPECT_LT(ProcessCpuSeconds() - before, 0.25);

    link.SendFrame(u"RD,M01,"); // harmless while closed
    EXPECT_TRUE(prompts.Errors.isEmpty());

    ASSERT_TRUE(StartSimulator({"--wind-speed", "3.5"}));
    ASSERT_TRUE(link.OpenLink());
    EXPECT_TRUE(RequestAndWaitForAnswer());
}

} // namespace
