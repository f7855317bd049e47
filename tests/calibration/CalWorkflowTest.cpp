#include "support/CoreRig.h"
#include <QDir>
#include <gmock/gmock.h>

namespace {

using ::testing::ElementsAre;

class CalWorkflow : public ::testing::Test, protected CoreRig {
  protected:
    CalWorkflow() : CoreRig(EncodeDateTime(2024, 5, 29, 9, 5, 0)) {}
    TCalibration& cal = core.Calibration;
    TSettingsSends& sends = core.Settings.Sends;

    void SetUp() override {
        core.Create();
        core.Show();
        core.BBStartClick();
    }
    qsizetype Count(const QString& line) const { return sends.StatusLines.count(line); }
    QStringList Files() const {
        return QDir(dir.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
    }
};

TEST_F(CalWorkflow, AConfirmationBeforeAnyStartUsesTheZeroStartInItsNames) {
    Tick(10);
    for (int twice = 0; twice < 2; ++twice) {
        cal.BBATRcvFinClick();
        EXPECT_EQ(cal.CalStep, 5);
        EXPECT_THAT(Files(), ElementsAre("_9912300000.krv", "_9912300000_ATR.csv")) << "the same names again";
    }
    EXPECT_TRUE(prompts.Errors.isEmpty());
}

TEST_F(CalWorkflow, ASerialNumberThatIsNoFileNameFailsEveryWorkFileAndWritesNothing) {
    QDir(dir.path()).mkdir("a");
    cal.BBCalStartClick("a/b");
    const QStringList before = Files();
    prompts.Errors.clear();
    cal.BBATRcvFinClick();
    cal.BBWSTRcvFinClick();
    cal.BB0mCalFinClick();
    cal.BB4mCalFinClick();
    cal.BBFinClick();
    cal.BBWSTClearClick();
    EXPECT_EQ(prompts.Errors.size(), 5);
    EXPECT_EQ(cal.CalStep, 6) << "only the clear, which writes no work file, set its step";
    EXPECT_EQ(Files(), before);
    EXPECT_TRUE(QDir(dir.filePath("a")).isEmpty()) << "nothing beside the program's directory either";
    EXPECT_EQ(Count("□作業完了"), 0);
}

TEST_F(CalWorkflow, AMissingInitialisationAnswerIsCheckedEveryRunAndSentOnEveryThird) {
    port.Answering = false;
    cal.BBCalStartClick("x");
    Tick(14); // seven sequencer runs
    EXPECT_EQ(Count("設定NG"), 7);
    EXPECT_EQ(Count("＜設定初期化＞"), 1 + 3) << "the start's, then at checks 1, 4 and 7";
    EXPECT_EQ(cal.CalStep, 1);
    port.Answering = true;
    Tick(20);
    EXPECT_GT(cal.CalStep, 1) << "resumes without the user once the instrument answers";
}

// A cable pulled for a day adds about 12,000 lines an hour; the memo keeps the newest.
TEST_F(CalWorkflow, ASilentInstrumentKeepsTheStatusLinesAtTheirLimit) {
    port.Answering = false;
    cal.BBCalStartClick("x");
    // Four lines every three sequencer runs (each check, every third a send): past the limit.
    Tick(2 * 3 * (StatusMemoMaxLines / 4 + 30));
    EXPECT_EQ(sends.StatusLines.size(), StatusMemoMaxLines);
    EXPECT_EQ(Count("■キャリブレーション開始■"), 0) << "the oldest lines went first";
    EXPECT_EQ(sends.StatusLines.last(), "設定NG");
    EXPECT_EQ(cal.CalStep, 1);
}

TEST_F(CalWorkflow, AClosedLinkHoldsTheProcedureUntilItOpens) {
    core.BBStopClick();
    cal.BBCalStartClick("x");
    Tick(20);
    EXPECT_EQ(cal.CalStep, 1);
    core.BBStartClick();
    Tick(40);
    EXPECT_EQ(cal.CalStep, 4);
}

TEST_F(CalWorkflow, ARestartDuringTheDefaultWritesBeginsAgainWithTheInitialisation) {
    cal.BBCalStartClick("x");
    for (int i = 0; i < 20 && cal.CalStep != 3; ++i)
        Tick();
    ASSERT_EQ(cal.CalStep, 3);
    Tick(4);
    cal.BBCalStartClick("x");
    EXPECT_EQ(cal.CalStep, 1);
    const qsizetype restartAt = sends.StatusLines.size();
    for (int i = 0; i < 100 && cal.CalStep != 4; ++i)
        Tick();
    ASSERT_EQ(cal.CalStep, 4);
    const QStringList after = sends.StatusLines.mid(restartAt - 3);
    EXPECT_THAT(after.mid(0, 4),
                ElementsAre("■キャリブレーション開始■", "S/N:x", "＜設定初期化＞", "設定OK"));
    EXPECT_EQ(after[4], "＜デフォルト値設定＞：0");
}

TEST_F(CalWorkflow, StepFourEndsTheSendsPauseAtEveryRunButNoOneElses) {
    cal.CalStep = 4;
    for (int run = 0; run < 3; ++run) {
        sends.PausePolling();
        Tick(2);
        EXPECT_TRUE(core.Exchange.PollingAllowed());
    }
    const TPollingPause other = core.Exchange.PausePolling();
    Tick(2);
    EXPECT_FALSE(core.Exchange.PollingAllowed());
}

TEST_F(CalWorkflow, TheNMetreConfirmationInStepElevenGoesBackToTenAndSendsAgain) {
    cal.CalStep = 11;
    cal.BB4mCalFinClick();
    EXPECT_EQ(cal.CalStep, 10);
    EXPECT_EQ(sends.StatusLines.last(), "＜Nm/s. 補正送信＞");
    EXPECT_FALSE(cal.View.BBFin);
    Tick(2);
    EXPECT_EQ(sends.StatusLines.last(), "設定OK");
    EXPECT_TRUE(core.Exchange.PollingAllowed());
}

TEST_F(CalWorkflow, AWrongCorrectionAnswerIsSentAgainUntilConfirmed) {
    port.Model.Misbehaviour.Values.insert("E01", "1.00");
    cal.BB0mCalFinClick();
    Tick(4);
    EXPECT_EQ(Count("＜0m/s. 補正送信＞"), 3);
    EXPECT_FALSE(core.Exchange.PollingAllowed());
    port.Model.Misbehaviour = {};
    Tick(4); // the last send was answered wrongly too
    EXPECT_EQ(sends.StatusLines.last(), "設定OK");
    EXPECT_TRUE(core.Exchange.PollingAllowed());
}

} // namespace
