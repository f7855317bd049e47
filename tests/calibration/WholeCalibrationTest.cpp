#include "common/TextFile.h"
#include "support/CoreRig.h"
#include <QDir>
#include <gmock/gmock.h>

namespace {

using ::testing::ElementsAre;

struct TInstrumentType {
    const char* Name;
    double Firmware;
    double FaultRate;
};

// A whole calibration without a window: the core against the simulator's instrument in its
// calibration setting, the manual clock, the technician's clicks as the core's operations.
class WholeCalibration : public ::testing::TestWithParam<TInstrumentType>, protected CoreRig {
  protected:
    WholeCalibration() : CoreRig(EncodeDateTime(2024, 5, 29, 9, 5, 0)) {}
    TCalibration& cal = core.Calibration;
    int seconds = 0; // answered seconds in the history
    // A stage needs thirty answered seconds in a row; the faulty instrument's silent stretches can
    // start them again, so a button is waited for rather than expected at a fixed second.
    static constexpr int StageSeconds = 120;

    // Runs until `done` holds at a second's end; false when it never does within `seconds`.
    template <class F> bool RunUntil(F done, int seconds) {
        for (int s = 0; s < seconds; ++s) {
            Tick(5);
            if (done()) return true;
        }
        return false;
    }
    void RunSeconds(int seconds) {
        RunUntil([] { return false; }, seconds);
    }
    double Reading() const { return port.Model.ValueText("M01").toDouble(); }
    QStringList Lines(const QString& suffix) {
        QStringList lines;
        EXPECT_TRUE(ReadLines(dir.filePath("SN-42_2405290905" + suffix), lines)) << suffix.toStdString();
        return lines;
    }
};

TEST_P(WholeCalibration, CalibratesTheSimulatedInstrumentIntoTheBand) {
    port.Model.UseCalibrationSetting(7);
    port.Model.SetFirmware(GetParam().Firmware);
    port.Model.SetWind(0, 45, 0);
    port.Faults.SetSeed(3);
    port.Faults.SetRate(krvsim::Fault::Drop, GetParam().FaultRate);
    port.Faults.SetRate(krvsim::Fault::Corrupt, GetParam().FaultRate);
    core.Create();
    core.Show();
    core.SetSettingsViewVisible(true);
    const auto counting = core.SecondDone.Follow([&] { seconds += core.Store.SampleHistory[0].Valid; });
    core.BBStartClick();
    RunSeconds(3);

    cal.BBCalStartClick("SN-42");
    EXPECT_THAT(prompts.Errors, ElementsAre("DefaultPrm.krvが見つかりません。"));
    ASSERT_TRUE(RunUntil([&] { return cal.CalStep == 4; }, 60));
    RunSeconds(36);

    ASSERT_TRUE(RunUntil([&] { return cal.View.BBATRcvFin; }, StageSeconds));
    cal.BBATRcvFinClick();
    ASSERT_TRUE(RunUntil([&] { return cal.CalStep == 6; }, 10));
    RunSeconds(36);
    for (float rev : cal.Stats.ATRev)
        EXPECT_NEAR(rev, 0, 0.003) << "the written differences cancel the sensors' offsets";

    ASSERT_TRUE(RunUntil([&] { return cal.View.BBWSTRcvFin; }, StageSeconds));
    cal.BBWSTRcvFinClick();
    RunSeconds(36);
    for (float rev : cal.Stats.WTRev)
        EXPECT_NEAR(rev, 0, 0.003);

    EXPECT_GT(Reading(), 0) << "still air reads above 0 before the 0 m/s adjustment";
    ASSERT_TRUE(RunUntil([&] { return cal.View.BB0mCalFin; }, StageSeconds));
    cal.BB0mCalFinClick();
    ASSERT_TRUE(RunUntil([&] { return cal.CalStep == 9; }, 15));

    port.Model.SetWindSpeed(5.0);
    EXPECT_GT(std::abs(Reading() - 5.0), 0.0125) << "outside the band before the N m/s adjustment";
    RunSeconds(36);
    ASSERT_TRUE(RunUntil([&] { return cal.View.BB4mCalFin; }, StageSeconds));
    cal.BB4mCalFinClick();
    ASSERT_TRUE(RunUntil([&] { return cal.CalStep == 11; }, 30));
    EXPECT_EQ(cal.View.PFinish.Text, "キャリブレーション完了");
    ASSERT_TRUE(cal.View.BBFin);
    cal.BBFinClick();
    EXPECT_NEAR(Reading(), 5.0, 0.0125) << "inside the band after calibration";
    EXPECT_TRUE(cal.Stats.WSASInBand);
    EXPECT_EQ(prompts.Errors.size(), 1);

    QStringList own;
    for (const QString& line : core.Settings.Sends.StatusLines)
        if (line.startsWith("■") || line.startsWith("□") || line.startsWith("S/N")) own << line;
    EXPECT_THAT(own, ElementsAre("■キャリブレーション開始■", "S/N:SN-42", "□気温補正実施",
                                 "□風向温度補正実施", "□0m補正実施", "□Nm補正実施", "□作業完了"));

    // The instrument holds what the program sent.
    EXPECT_EQ(port.Model.ValueText("E01"), QString("45.00"));
    EXPECT_EQ(port.Model.ValueText("E02"), QString("5.00"));
    TWritePrm saved;
    ASSERT_TRUE(saved.LoadSetpoint(dir.filePath("SN-42_2405290905.krv")));
    EXPECT_EQ(saved.AdjDifT, core.Settings.Prm.AdjDifT);
    EXPECT_EQ(saved.DifT0m, core.Settings.Prm.DifT0m);
    for (const char* suffix : {"_ATR.csv", "_WTR.csv", "_cal0.csv", "_calx.csv"}) {
        const QStringList lines = Lines(suffix);
        ASSERT_GT(lines.size(), 30) << suffix;
        EXPECT_EQ(lines[0], ",風速,気温,温度差,風速(RAW),AT-1,AT-2,WDT-1,WDT-2,WDT-3,WDT-4,");
        EXPECT_TRUE(lines[2].startsWith("2024/05/29 09:05:")) << "oldest first";
    }
    // The finish holds every answered second since the history was emptied but the newest.
    const QStringList fin = Lines("_Fin.csv");
    EXPECT_EQ(fin.size(), 2 + seconds - 1);
}

// One run per instrument type. The current type's instrument also drops and spoils answers, which
// the stages must ride out; the clean current instrument is the end-to-end test's, on the wire.
INSTANTIATE_TEST_SUITE_P(Types, WholeCalibration,
                         ::testing::Values(TInstrumentType{"CurrentWithFaults", 0.80, 0.1},
                                           TInstrumentType{"Older", 0.68, 0}),
                         [](const auto& info) { return std::string(info.param.Name); });

} // namespace
