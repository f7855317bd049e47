#include "common/Clock.h"
#include "link/serial/TComPort.h"
#include "program/ProgramCore.h"
#include "support/RecordingPrompts.h"
#include "support/SimProcess.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <gmock/gmock.h>

namespace {

// A whole calibration through the real TComPort on krv-sim's pseudo-terminal, driven through the
// core's operations with the manual clock; the wind is changed on the simulator's standard input.
// Each tick waits for the answer it asked for instead of 200 ms.
class CalibrationAgainstSimulator : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    QString portPath = QDir(dir.path()).filePath("krv.port");
    SimProcess sim;
    TComPort port;
    ManualClock clock{EncodeDateTime(2024, 5, 29, 9, 5, 0)};
    RecordingPrompts prompts;
    TProgramCore core{port, clock, prompts, prompts, dir.path()};
    TCalibration& cal = core.Calibration;

    void Tick() {
        core.MainTimerTimer();
        if (!core.Exchange.AnswerReceived())
            (void)QTest::qWaitFor([this] { return core.Exchange.AnswerReceived(); }, 2000);
        clock.AdvanceMs(200);
    }
    template <class F> bool RunUntil(F done, int seconds) {
        for (int s = 0; s < seconds; ++s) {
            for (int t = 0; t < 5; ++t)
                Tick();
            if (done()) return true;
        }
        return false;
    }
    void RunSeconds(int seconds) {
        RunUntil([] { return false; }, seconds);
    }
    QString Ask(const QString& command) {
        sim.Process().write((command + "\n").toLocal8Bit());
        if (!QTest::qWaitFor([this] { return sim.Process().canReadLine(); }, 3000)) return {};
        return QString::fromLocal8Bit(sim.Process().readLine()).trimmed();
    }
};

TEST_F(CalibrationAgainstSimulator, AWholeCalibrationCompletesThroughTheSerialPort) {
    ASSERT_FALSE(sim.Start({"--link", portPath, "--calibration-setting", "--wind-speed", "0"}).isEmpty());
    QFile ini(QDir(dir.path()).filePath("Port0.ini"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[ComPortM]\r\nPort=" + portPath.toLocal8Bit() + "\r\nBaudRate=38400\r\n");
    ini.close();
    core.Create();
    core.Show();
    core.SetSettingsViewVisible(true);
    core.BBStartClick();
    ASSERT_TRUE(core.Link.ComPortM.Connected());

    cal.BBCalStartClick("E2E");
    ASSERT_TRUE(RunUntil([&] { return cal.CalStep == 4; }, 60));
    RunSeconds(36);
    ASSERT_TRUE(cal.View.BBATRcvFin);
    cal.BBATRcvFinClick();
    RunSeconds(36);
    ASSERT_TRUE(cal.View.BBWSTRcvFin);
    cal.BBWSTRcvFinClick();
    RunSeconds(36);
    ASSERT_TRUE(cal.View.BB0mCalFin);
    cal.BB0mCalFinClick();
    ASSERT_TRUE(RunUntil([&] { return cal.CalStep == 9; }, 15));
    ASSERT_THAT(Ask("wind 5").toStdString(), ::testing::StartsWith("OK"));
    RunSeconds(36);
    ASSERT_TRUE(cal.View.BB4mCalFin);
    cal.BB4mCalFinClick();
    ASSERT_TRUE(RunUntil([&] { return cal.CalStep == 11; }, 30));
    cal.BBFinClick();
    const QString reading = Ask("get M01");
    ASSERT_TRUE(reading.startsWith("OK M01="));
    EXPECT_NEAR(reading.mid(7).toDouble(), 5.0, 0.0125);
    EXPECT_TRUE(QFile::exists(dir.filePath("E2E_2405290905_Fin.csv")));
}

} // namespace
