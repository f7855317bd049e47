#include "acquisition/MeasurementStore.h"
#include "acquisition/PollingCycle.h"
#include "e2e/SimulatorRig.h"
#include "link/DeviceLink.h"
#include "settings/Settings.h"
#include <gmock/gmock.h>

namespace {

// The settings write sequence through the real TComPort on krv-sim's pseudo-terminal. A tick that
// expects no answer goes on at once.
class SettingsWriteAgainstSimulator : public ::testing::Test, protected SimulatorRig {
  protected:
    std::unique_ptr<TDeviceLink> link;
    std::unique_ptr<TExchange> exchange;
    TMeasurementStore store;
    std::unique_ptr<TPollingCycle> polling;
    std::unique_ptr<TSettings> settings;

    void Open(const QStringList& simArgs) {
        ASSERT_TRUE(Start(simArgs));
        link = std::make_unique<TDeviceLink>(port, prompts, prompts, dir.path());
        exchange = std::make_unique<TExchange>(*link);
        polling = std::make_unique<TPollingCycle>(*exchange, store);
        settings = std::make_unique<TSettings>(*exchange, *polling, *link, dir.path());
        link->LoadPortSettings();
        ASSERT_TRUE(link->OpenLink());
    }
    // Ticks until the run ends; after a write step it waits up to `wait` ms for the answer.
    void RunWrite(int wait) {
        ASSERT_TRUE(settings->OpenWriteWindow());
        settings->Write.BBDoClick();
        for (int i = 0; i < 60 && settings->Write.Running; ++i) {
            const bool writes = settings->Write.Step % 2 == 1;
            settings->WriteTick();
            if (writes) (void)AwaitAnswer(*exchange, wait);
        }
    }
};

TEST_F(SettingsWriteAgainstSimulator, TheWholeSequenceSucceedsAndTheInstrumentHoldsTheValues) {
    Open({});
    settings->Prm.WDDif[2] = 1.25f;
    settings->Prm.VSCoef[0] = -0.03125f;
    settings->Prm.ChipStdV = 2750;
    RunWrite(3000);
    EXPECT_EQ(settings->Write.Lines.last(), "●●書込み完了しました！●●");
    EXPECT_EQ(settings->Write.Lines.filter("書込み成功！").size(), 7);
    EXPECT_TRUE(Polling(*exchange));
    EXPECT_EQ(Ask("get E14"), "OK E14=1.250");
    EXPECT_EQ(Ask("get E26"), "OK E26=-0.03125");
    EXPECT_EQ(Ask("get P32"), "OK P32=2750");
    EXPECT_EQ(Ask("get E91"), "OK E91=0");
}

// The whole transcript of a silent instrument is the write sequence's own test; here, the
// simulator's option and the stop over the real port.
TEST_F(SettingsWriteAgainstSimulator, AnInstrumentThatNeverAnswersWritesStopsTheRun) {
    Open({"--silent-writes"});
    RunWrite(300); // the answer that does not come is waited for a little, as the 200 ms tick would
    EXPECT_EQ(settings->Write.Lines.last(), "書込み停止しました！");
    EXPECT_EQ(Ask("get E91"), "OK E91=0"); // nothing was applied
}

} // namespace
