#include "e2e/SimulatorRig.h"
#include <gmock/gmock.h>

namespace {

// A whole calibration through the real TComPort on krv-sim's pseudo-terminal, driven through the
// core's operations with the manual clock; the wind is changed on the simulator's standard input.
class CalibrationAgainstSimulator : public ::testing::Test, protected SimulatorRig {
  protected:
    CalibrationAgainstSimulator() : SimulatorRig(EncodeDateTime(2024, 5, 29, 9, 5, 0)) {}
    TProgramCore& core = Core();
    TCalibration& cal = core.Calibration;

    template <class F> bool RunUntil(F done, int seconds) {
        for (int s = 0; s < seconds; ++s) {
            for (int t = 0; t < 5; ++t)
                (void)Tick(2000); // a tick that sends nothing is waited for a little and passes
            if (done()) return true;
        }
        return false;
    }
    void RunSeconds(int seconds) {
        RunUntil([] { return false; }, seconds);
    }
};

TEST_F(CalibrationAgainstSimulator, AWholeCalibrationCompletesThroughTheSerialPort) {
    ASSERT_TRUE(Start({"--calibration-setting", "--wind-speed", "0"}));
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
