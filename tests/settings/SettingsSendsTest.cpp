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
        TWritePrm& p = settings.Prm;
        p.DifT0m = 19.995f;
        p.HeaterWatt = 0.2345f;
        p.WDDif = {0.125f, -0.5f, 0, 1};
        p.RevZn = 0.98765f;
        for (int i = 0; i < 10; ++i) {
            p.RevDiv[i] = float(i) + 0.5f;
            p.RevVal[i] = -float(i) / 4;
        }
        p.VSCoef = {0.5f, 0.123456f, 0, 0, 0, -1};
    }
    // The calibration sequencer's way: check each step on the turn after it, then go on.
    int RunSeries(QStringList& payloads) {
        sends.NextDefaultStep(false, true);
        int requests = 0;
        for (int turn = 0; turn < 20; ++turn) {
            port.DeliverAnswers();
            const QStringList sent = Sent();
            requests += int(sent.size());
            payloads += sent;
            EXPECT_FALSE(exchange.LastRequest()[settings.Sends.VerifyCount() - 1].Key.isEmpty());
            EXPECT_TRUE(exchange.LastRequest()[settings.Sends.VerifyCount()].Key.isEmpty());
            EXPECT_TRUE(sends.CheckSetResult()) << sends.StatusLines.join(' ').toStdString();
            if (sends.NextDefaultStep(true, false)) break;
        }
        return requests;
    }
};

// Each step is one write request that the instrument confirms; the type decides which of the
// correction table and the polynomial reaches the instrument.
TEST_P(SettingsSendsTest, TheDefaultSeriesLoadsTheSetIntoTheInstrument) {
    QStringList payloads;
    const int requests = RunSeries(payloads);
    const bool current = GetParam();
    EXPECT_EQ(requests, current ? 6 : 5);
    QStringList stepLines = sends.StatusLines.filter("＜デフォルト値設定＞：");
    EXPECT_EQ(stepLines.last(), current ? "＜デフォルト値設定＞：5" : "＜デフォルト値設定＞：14");
    EXPECT_EQ(sends.DefaultStep, current ? 6 : 15);
    EXPECT_FALSE(settings.Sends.WritePending());
    EXPECT_EQ(Held("E01"), "20.00"); // 19.995f lies above the half
    EXPECT_EQ(Held("E04"), "0.235"); // 0.2345f lies above the half too
    EXPECT_EQ(Held("P19"), current ? "9.50" : "0");
    EXPECT_EQ(Held("E27"), current ? "0.1" : "0.12346");
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

TEST_P(SettingsSendsTest, AfterStepTwoTheOldTypeGoesToThirteen) {
    sends.NextDefaultStep(false, true);
    sends.NextDefaultStep(true, false);
    sends.NextDefaultStep(true, false);
    sends.NextDefaultStep(true, false);
    EXPECT_EQ(sends.DefaultStep, GetParam() ? 3 : 13);
}

TEST_P(SettingsSendsTest, TheInitialisationIsConfirmedAndPutsTheInstrumentBack) {
    port.Model.SetValue("E12", "3");
    sends.SendSetInit();
    EXPECT_FALSE(settings.Sends.WritePending());
    port.DeliverAnswers();
    EXPECT_TRUE(sends.CheckSetResult());
    EXPECT_EQ(Held("E12"), "0");
    EXPECT_EQ(sends.StatusLines, QStringList({"＜設定初期化＞", "設定OK"}));
}

INSTANTIATE_TEST_SUITE_P(Types, SettingsSendsTest, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "Current" : "Old"; });

class CorrectionSendTest : public SettingsRig {};

TEST_F(CorrectionSendTest, EachCorrectionReachesTheInstrumentWithoutTheUnlock) {
    struct Send {
        void (TSettingsSends::*Op)();
        const char* Line;
        const char* Key;
        const char* Held;
    };
    settings.Prm.ATDif[1] = -0.0625f;
    settings.Prm.DifT0m = 21.004f;
    settings.Prm.AdjWS = 4.5f;
    for (const Send& s : {Send{&TSettingsSends::SendATRev, "＜気温補正送信＞", "E17", "-0.063"},
                          Send{&TSettingsSends::SendWDRev, "＜風向温補正送信＞", "E15", "0.000"},
                          Send{&TSettingsSends::Send0mRev, "＜0m/s. 補正送信＞", "E01", "21.00"},
                          Send{&TSettingsSends::SendNmRev, "＜Nm/s. 補正送信＞", "E02", "4.50"}}) {
        (settings.Sends.*s.Op)();
        EXPECT_FALSE(exchange.PollingAllowed());
        EXPECT_TRUE(settings.Sends.WritePending());
        EXPECT_EQ(settings.Sends.StatusLines.last(), s.Line);
        const QStringList sent = Sent();
        ASSERT_EQ(sent.size(), 1);
        EXPECT_TRUE(sent[0].startsWith("RW,E91=1,") && !sent[0].contains("P99")) << sent[0].toStdString();
        port.DeliverAnswers();
        EXPECT_TRUE(settings.Sends.CheckSetResult());
        EXPECT_FALSE(settings.Sends.WritePending());
        EXPECT_EQ(Held(s.Key), s.Held);
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

TEST_F(CorrectionSendTest, AValueAnsweredWithMoreDecimalsPasses) {
    settings.Prm.ATDif[0] = 0.125f;
    port.Model.Misbehaviour.Values.insert("E16", "0.1250");
    settings.Sends.SendATRev();
    port.DeliverAnswers();
    EXPECT_EQ(exchange.LastAnswer()[1].Val, "0.1250");
    EXPECT_TRUE(settings.Sends.CheckSetResult());
}

} // namespace
