#include "settings/SettingsRig.h"

namespace {

class SettingsSendsTest : public SettingsRig, public ::testing::WithParamInterface<bool> {
  protected:
    TSettingsSends& sends = settings.Sends;
    TPollingPause pause;

    void SetUp() override {
        SettingsRig::SetUp();
        pause = exchange.PausePolling();
        // Model 17.03 before version 0.69 runs the old firmware (0.69f itself lies below).
        store.CurrentSample.ModelNumber = 17.03f;
        store.CurrentSample.FirmwareVersion = GetParam() ? 0.70f : 0.68f;
        polling.UpdateFirmwareFlag();
        ASSERT_EQ(polling.CurrentFirmware(), GetParam());
    }
    // The calibration sequencer's way: check each step on the turn after it, then go on.
    void RunSeries() {
        sends.NextDefaultStep(false, true);
        for (int turn = 0; turn < 20; ++turn) {
            port.DeliverAnswers();
            Sent(); // pinned in ParamBytesTest
            EXPECT_FALSE(exchange.LastRequest()[settings.Sends.VerifyCount() - 1].Key.isEmpty());
            EXPECT_TRUE(exchange.LastRequest()[settings.Sends.VerifyCount()].Key.isEmpty());
            EXPECT_TRUE(sends.CheckSetResult()) << sends.StatusLines.join(' ').toStdString();
            if (sends.NextDefaultStep(true, false)) break;
        }
    }
};

// Each step is confirmed before the next; the old type goes from step 2 to 13. The requests
// themselves are pinned in ParamBytesTest.
TEST_P(SettingsSendsTest, TheDefaultSeriesLoadsTheSetIntoTheInstrument) {
    RunSeries();
    const bool current = GetParam();
    const QStringList steps =
        current ? QStringList{"0", "1", "2", "3", "4", "5"} : QStringList{"0", "1", "2", "13", "14"};
    QStringList stepLines;
    for (const QString& step : steps)
        stepLines << "＜デフォルト値設定＞：" + step;
    EXPECT_EQ(sends.StatusLines.filter("＜デフォルト値設定＞："), stepLines);
    EXPECT_EQ(sends.DefaultStep, current ? 6 : 15);
    EXPECT_FALSE(settings.Sends.WritePending());
    // A done series goes on reporting done without sending.
    EXPECT_TRUE(sends.NextDefaultStep(true, false));
    EXPECT_TRUE(Sent().isEmpty());
}

TEST_P(SettingsSendsTest, NeitherFlagSendsTheSameStepAgain) {
    std::vector<int> stepsSent;
    auto following = sends.DefaultStepSent.Follow([&](int n) { stepsSent.push_back(n); });
    sends.NextDefaultStep(false, true);
    sends.NextDefaultStep(true, false);
    sends.NextDefaultStep(true, false);
    const QStringList first = Sent();
    EXPECT_FALSE(sends.NextDefaultStep(false, false));
    EXPECT_EQ(Sent(), first.mid(2));
    EXPECT_EQ(sends.StatusLines.last(), "＜デフォルト値設定＞：2");
    EXPECT_EQ(stepsSent, (std::vector<int>{0, 1, 2, 2}));
}

TEST_P(SettingsSendsTest, TheInitialisationIsConfirmedAndPutsTheInstrumentBack) {
    sends.SendSetInit();
    EXPECT_FALSE(settings.Sends.WritePending());
    port.DeliverAnswers();
    EXPECT_TRUE(sends.CheckSetResult());
    EXPECT_EQ(sends.StatusLines, QStringList({"＜設定初期化＞", "設定OK"}));
}

INSTANTIATE_TEST_SUITE_P(Types, SettingsSendsTest, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "Current" : "Old"; });

class CorrectionSendTest : public SettingsRig {};

// Their requests are pinned in ParamBytesTest; here each holds polling until it is resumed.
TEST_F(CorrectionSendTest, EachCorrectionReachesTheInstrumentWithoutTheUnlock) {
    struct Send {
        void (TSettingsSends::*Op)();
        const char* Line;
    };
    for (const Send& s : {Send{&TSettingsSends::SendATRev, "＜気温補正送信＞"},
                          Send{&TSettingsSends::SendWDRev, "＜風向温補正送信＞"},
                          Send{&TSettingsSends::Send0mRev, "＜0m/s. 補正送信＞"},
                          Send{&TSettingsSends::SendNmRev, "＜Nm/s. 補正送信＞"}}) {
        (settings.Sends.*s.Op)();
        EXPECT_FALSE(exchange.PollingAllowed());
        EXPECT_TRUE(settings.Sends.WritePending());
        EXPECT_EQ(settings.Sends.StatusLines.last(), s.Line);
        port.DeliverAnswers();
        EXPECT_TRUE(settings.Sends.CheckSetResult());
        EXPECT_FALSE(settings.Sends.WritePending());
        settings.Sends.ResumePolling();
        EXPECT_TRUE(exchange.PollingAllowed());
    }
}

TEST_F(CorrectionSendTest, TheCheckFailsWithoutAnAnswerOrWithAShortOne) {
    settings.Sends.SendATRev();
    EXPECT_FALSE(settings.Sends.CheckSetResult()); // before any answer
    EXPECT_FALSE(settings.Sends.WritePending());
    EXPECT_EQ(settings.Sends.StatusLines.last(), "設定NG");
    port.DeliverAnswers(); // late, before the next send
    port.Model.Misbehaviour.DropLastPair = true;
    settings.Sends.SendATRev();
    port.DeliverAnswers();
    EXPECT_FALSE(settings.Sends.CheckSetResult());
}

} // namespace
