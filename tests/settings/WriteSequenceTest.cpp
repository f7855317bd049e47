#include "settings/SettingsRig.h"

namespace {

using ::testing::ElementsAreArray;

const QStringList Labels{"Group-1", "Group-2", "Group-3", "Group-4", "Group-5", "Group-6", "Finish"};

class WriteSequenceTest : public SettingsRig {
  protected:
    int ticks = 0;
    void Start() {
        ASSERT_TRUE(settings.OpenWriteWindow());
        settings.Write.BBDoClick();
    }
    void RunToEnd() {
        for (ticks = 0; settings.Write.Running && ticks < 100; ++ticks)
            Tick();
    }
    static QStringList Transcript(int groups) {
        QStringList lines{"【書込み開始】"};
        for (int g = 0; g < groups; ++g)
            lines << Labels[g] + " ： 書込み" << Labels[g] + " ： 書込み成功！";
        return lines;
    }
};

TEST_F(WriteSequenceTest, AnAnsweringInstrumentTakesEveryGroupAndPollingComesBack) {
    std::vector<QString> shown;
    auto following = settings.Write.LineAdded.Follow([&](const QString& line) { shown.push_back(line); });
    Start();
    EXPECT_FALSE(exchange.PollingAllowed());
    RunToEnd();
    EXPECT_EQ(ticks, 15);
    EXPECT_THAT(settings.Write.Lines, ElementsAreArray(Transcript(7) << "●●書込み完了しました！●●"));
    EXPECT_THAT(shown, ElementsAreArray(settings.Write.Lines));
    EXPECT_TRUE(settings.Write.CloseEnabled);
    EXPECT_FALSE(settings.Write.CancelEnabled);
    EXPECT_TRUE(exchange.PollingAllowed());
    settings.Write.BBCloseClick();
    EXPECT_FALSE(settings.Write.Shown);
}

TEST_F(WriteSequenceTest, ASilentInstrumentGetsGroupOneFourTimesThenTheRunStops) {
    port.Model.Misbehaviour.Silent = true;
    Start();
    RunToEnd();
    const QString g = "Group-1 ： ";
    EXPECT_THAT(settings.Write.Lines,
                ElementsAreArray(QStringList{"【書込み開始】", g + "書込み", g + "応答なし 再書き込み！",
                                             g + "書込み", g + "応答なし 再書き込み！", g + "書込み",
                                             g + "応答なし 再書き込み！", g + "書込み",
                                             g + "応答なし 書込み失敗！", QString("書込み停止しました！")}));
    EXPECT_THAT(Sent(), ElementsAreArray(QStringList(4, "RW,E91=1,P99=8137,")));
    EXPECT_FALSE(exchange.PollingAllowed());
    EXPECT_FALSE(settings.Write.CloseEnabled);
    settings.Write.BBCancelClick();
    EXPECT_TRUE(exchange.PollingAllowed());
}

TEST_F(WriteSequenceTest, AChipVoltageAnsweredDifferentlyStillPasses) {
    port.Model.Misbehaviour.Values.insert("P32", "2400");
    Start();
    RunToEnd();
    EXPECT_EQ(settings.Write.Lines.last(), "●●書込み完了しました！●●");
}

struct AnswerCase {
    const char* Name;
    QByteArray Answer; // to Group-2, which sends E12 to E17 as 0.000
    QStringList Lines; // after the group's write line
};

class Group2AnswerTest : public WriteSequenceTest, public ::testing::WithParamInterface<AnswerCase> {};

TEST_P(Group2AnswerTest, IsJudgedPairByPair) {
    Start();
    Tick(2); // Group-1 written and passed
    port.Answering = false;
    Tick(); // Group-2 written
    port.Receive(BuildFrame(GetParam().Answer).value());
    port.Answering = true;
    const qsizetype before = settings.Write.Lines.size();
    Tick(2);
    EXPECT_THAT(settings.Write.Lines.mid(before), ElementsAreArray(GetParam().Lines));
}

const QString G2 = "Group-2 ： ";
INSTANTIATE_TEST_SUITE_P(
    Cases, Group2AnswerTest,
    ::testing::Values(AnswerCase{"OnePairMatching", "AW,E12=0,", {G2 + "書込み成功！", "Group-3 ： 書込み"}},
                      AnswerCase{"WordValue",
                                 "AW,E12=abc,E13=0.0,",
                                 {"No Data! : E12:abc", G2 + "書込み成功！", "Group-3 ： 書込み"}},
                      AnswerCase{"KeyInAnothersPlace",
                                 "AW,E13=0.000,E12=0.000,",
                                 {"Key Missmatch! : E12 ? E13", "Key Missmatch! : E13 ? E12",
                                  G2 + "書込み失敗！ 送信データ不一致", "書込み停止しました！"}},
                      AnswerCase{"OtherValue",
                                 "AW,E12=0.000,E13=0.5,",
                                 {"Data Missmatch! : E13:0.000 ? 0.5", G2 + "書込み失敗！ 送信データ不一致",
                                  "書込み停止しました！"}},
                      // An answer with none of the pairs confirms nothing.
                      AnswerCase{
                          "NoPairs", "AW,", {G2 + "書込み失敗！ 送信データ不一致", "書込み停止しました！"}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(WriteSequenceTest, AMismatchIsNeverWrittenAgain) {
    port.Model.Misbehaviour.Values.insert("E21", "2");
    Start();
    RunToEnd();
    const QStringList sent = Sent();
    EXPECT_EQ(sent.filter("E21=").size(), 1);
    EXPECT_EQ(sent.filter("E23=").size(), 0);
    EXPECT_EQ(settings.Write.Lines.last(), "書込み停止しました！");
}

// 中止 mid-run, or the window's close box: polling comes back; the window opens again idle.
TEST_F(WriteSequenceTest, ClosingMidRunSwitchesPollingOnAndReopeningStartsAfresh) {
    for (void (TWriteSequence::*close)() : {&TWriteSequence::BBCancelClick, &TWriteSequence::FormClose}) {
        Start();
        Tick(3);
        (settings.Write.*close)();
        EXPECT_TRUE(exchange.PollingAllowed());
        EXPECT_FALSE(settings.Write.Shown);
        ASSERT_TRUE(settings.OpenWriteWindow());
        EXPECT_TRUE(settings.Write.Lines.isEmpty());
        EXPECT_FALSE(settings.Write.Running);
        Sent();
        Tick(3);
        for (const QString& payload : Sent())
            EXPECT_TRUE(payload.startsWith("RD,")) << payload.toStdString(); // only polling
        settings.Write.BBCancelClick();
    }
}

// A calibration send during a write run: whichever ends first, the poll waits for the other.
TEST_F(WriteSequenceTest, TheRunAndTheCalibrationSendsEachEndOnlyTheirOwnPause) {
    for (const bool runEndsFirst : {true, false}) {
        settings.Sends.SendATRev();
        Start();
        if (runEndsFirst)
            settings.Write.BBCancelClick();
        else
            settings.Sends.ResumePolling();
        EXPECT_FALSE(exchange.PollingAllowed());
        Sent();
        Tick(2);
        EXPECT_FALSE(Sent().join(' ').contains("RD,")) << "no poll in between";
        if (runEndsFirst)
            settings.Sends.ResumePolling();
        else
            settings.Write.BBCancelClick();
        EXPECT_TRUE(exchange.PollingAllowed());
    }
}

} // namespace
