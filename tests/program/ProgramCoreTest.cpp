#include "program/ProgramCore.h"
#include "support/CoreRig.h"
#include <gmock/gmock.h>

namespace {

// The whole program without a window: the core against the simulator's instrument model, the
// manual clock, and the notifications as the only view of what happened.
class ProgramCoreTest : public ::testing::Test, protected CoreRig {
  protected:
    ProgramCoreTest() : CoreRig(EncodeDateTime(2026, 12, 9, 23, 59, 30)) {}
    std::vector<std::string> events;
    std::vector<TNotifier<>::Subscription> following;

    void Follow(TNotifier<>& notifier, std::string name) {
        following.push_back(notifier.Follow([this, name] { events.push_back(name); }));
    }
};

TEST_F(ProgramCoreTest, SimulatedMinuteRunsEveryStepOfTheTickInOrder) {
    Follow(core.PollDone, "poll");
    Follow(core.SecondDone, "second");
    Follow(core.SecondDone, "second, second follower");
    Follow(core.TickDone, "tick");
    std::vector<TDateTime> secondTimes;
    following.push_back(
        core.SecondDone.Follow([&] { secondTimes.push_back(core.Store.SampleHistory[0].Time); }));
    port.Model.SetWind(4.25, 90, 0);
    core.Create();
    core.BBStartClick();

    for (int second = 0; second < 60; ++second) {
        std::vector<std::string> expected;
        for (int tick = 0; tick < 5; ++tick) {
            expected.push_back("poll");
            if (tick == 4) expected.insert(expected.end(), {"second", "second, second follower"});
            expected.push_back("tick");
        }
        const TDateTime secondEnds = clock.Now() + 800 / 86400000.0;
        events.clear();
        for (int tick = 0; tick < 5; ++tick)
            Tick();
        ASSERT_EQ(events, expected) << "second " << second;
        // The history had shifted by the time the second was announced.
        ASSERT_DOUBLE_EQ(secondTimes.back(), secondEnds);
    }
    EXPECT_EQ(secondTimes.size(), 60u);
    EXPECT_FLOAT_EQ(core.Store.SampleHistory[0].WindSpeed, 4.25f);
    EXPECT_FLOAT_EQ(core.Store.SampleHistory[58].Azimuth, 90.0f);

    core.BBStopClick();
    events.clear();
    Tick();
    EXPECT_THAT(events, ::testing::ElementsAre("tick")) << "a stopped tick polls nothing";
}

TEST_F(ProgramCoreTest, AFollowerThatEndsStopsBeingCalledAndTheOthersGoOn) {
    int first = 0, second = 0;
    auto one = core.TickDone.Follow([&] { ++first; });
    const auto two = core.TickDone.Follow([&] { ++second; });
    Tick();
    one.End();
    Tick();
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 2);
}

TEST_F(ProgramCoreTest, TheLinkNamesItsPortBeforeTheLinkStateReachesFollowers) {
    port.Settings.Port = "/dev/ttyUSB3";
    std::vector<std::pair<bool, QString>> seen;
    const auto following =
        core.LinkStateChanged.Follow([&](bool open) { seen.emplace_back(open, core.Link.PortName()); });
    core.BBStartClick();
    port.Lose();
    EXPECT_EQ(seen, (std::vector<std::pair<bool, QString>>{{true, "/dev/ttyUSB3"}, {false, ""}}));
}

// Stop and start end the stop's own pause; a write run's stays until the run ends.
TEST_F(ProgramCoreTest, StartingThePortEndsNoOtherPause) {
    core.BBStartClick();
    ASSERT_TRUE(core.IsPolling());
    core.BBStopClick();
    core.BBStopClick();
    ASSERT_TRUE(core.OpenPort());
    EXPECT_TRUE(core.IsPolling()) << "two stops, one start";
    ASSERT_TRUE(core.Settings.OpenWriteWindow());
    core.Settings.Write.BBDoClick();
    core.BBStopClick();
    core.BBStartClick();
    EXPECT_FALSE(core.IsPolling());
    core.Settings.Write.BBCancelClick();
    EXPECT_TRUE(core.IsPolling());
}

// A message box inside the tick would stall polling for as long as it stays open.
TEST_F(ProgramCoreTest, APromptInsideTheTickIsRefused) {
    const auto following = core.TickDone.Follow([&] { prompts.ShowMessage("from inside the tick"); });
    EXPECT_THROW(core.MainTimerTimer(), std::logic_error);
    EXPECT_TRUE(prompts.Messages.isEmpty());
    EXPECT_FALSE(prompts.InTick()) << "the mark ends with the tick, also when it ends by an exception";
    prompts.ShowMessage("from a click");
    EXPECT_EQ(prompts.Messages, QStringList{"from a click"});
}

} // namespace
