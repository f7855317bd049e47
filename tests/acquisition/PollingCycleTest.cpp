#include "acquisition/PollingCycle.h"
#include "program/ProgramCore.h"
#include "support/CoreRig.h"
#include <algorithm>
#include <gmock/gmock.h>
#include <string>
#include <vector>

namespace {

using ::testing::ElementsAre;

const QByteArray Group0 = "<RD,M01,M05,M06,M07,M08,M09,M11,C01,C11,C16,>38\r\n";
const QByteArray Group1 = "<RD,C17,C18,C19,C36,C37,C38,C39,C50,C02,C52,>5B\r\n";
const QByteArray Group2 = "<RD,S00,S01,S11,S12,S13,C21,C22,C32,C191,C192,>D1\r\n";

// The core over the simulator's instrument model, ticked by hand; answers arrive between ticks.
class PollingCycleTest : public ::testing::Test, protected CoreRig {
  protected:
    PollingCycleTest() : CoreRig(EncodeDateTime(2026, 3, 4, 5, 6, 7)) {}
    std::vector<std::string> calls;
    std::vector<TNotifier<>::Subscription> following;

    void SetUp() override {
        following.push_back(core.PollDone.Follow([this] { calls.push_back("PollDone"); }));
        following.push_back(core.SecondDone.Follow([this] { calls.push_back("SecondDone"); }));
        following.push_back(core.TickDone.Follow([this] { calls.push_back("TickDone"); }));
    }

    void Start() {
        core.BBStartClick();
        ASSERT_TRUE(port.Connected());
        ASSERT_TRUE(prompts.Errors.isEmpty());
    }
    // The instrument is silenced after one poll; `payload` is the answer decoded at the next tick.
    void DecodeInjected(const QByteArray& payload) {
        port.Answering = false;
        Tick();
        port.Receive(BuildFrame(payload).value());
        Tick();
    }
    int Count(const std::string& event) const { return int(std::count(calls.begin(), calls.end(), event)); }
};

TEST_F(PollingCycleTest, FirstThreeTicksAskTheGroupsInRotation) {
    Start();
    Tick();
    EXPECT_EQ(port.TakeWritten(), Group1);
    Tick();
    EXPECT_EQ(port.TakeWritten(), Group2);
    Tick();
    EXPECT_EQ(port.TakeWritten(), Group0);
}

TEST_F(PollingCycleTest, CurrentSampleFollowsTheInstrument) {
    port.Model.SetWind(3.5, 270, -4);
    Start();
    Tick(15);
    const TSampleRec& s = core.Store.CurrentSample;
    EXPECT_TRUE(s.Valid);
    EXPECT_FLOAT_EQ(s.WindSpeed, 3.5f);
    EXPECT_FLOAT_EQ(s.Azimuth, 270.0f);
    EXPECT_FLOAT_EQ(s.Depression, -4.0f);
    EXPECT_EQ(s.ModelNumber, 17.03f);
    EXPECT_EQ(s.AdCount, 2000);
    EXPECT_EQ(s.Time, 0) << "only history entries carry times";
}

// Zeros from start-up (or values from before a pause) are not a measurement: the sample becomes
// valid once every group has been answered in this session, not with the first answer.
TEST_F(PollingCycleTest, SampleIsValidOnceEveryGroupOfTheSessionIsAnswered) {
    port.Model.SetWind(3.5, 270, -4);
    for (int session = 0; session < 2; ++session) {
        Start();
        Tick(3); // the answers to groups 1 and 2 are decoded; group 0's is not yet
        EXPECT_FALSE(core.Store.CurrentSample.Valid) << "session " << session;
        Tick();
        EXPECT_TRUE(core.Store.CurrentSample.Valid) << "session " << session;
        core.BBStopClick();
        Tick();
    }
}

TEST_F(PollingCycleTest, FifthPollingTickMakesTheSecondWithNotificationsInOrder) {
    Start();
    Tick(4);
    EXPECT_FALSE(core.Store.SampleHistory[0].Valid);
    EXPECT_EQ(Count("SecondDone"), 0);
    EXPECT_EQ(Count("TickDone"), 4);

    calls.clear();
    const TDateTime fifth = clock.Now();
    Tick();
    EXPECT_THAT(calls, ElementsAre("PollDone", "SecondDone", "TickDone"));
    EXPECT_TRUE(core.Store.SampleHistory[0].Valid);
    EXPECT_EQ(core.Store.SampleHistory[0].Time, fifth);
    EXPECT_EQ(core.Store.SampleHistory[0].WindSpeed, core.Store.CurrentSample.WindSpeed);
    EXPECT_FALSE(core.Store.SampleHistory[1].Valid);

    Tick(5);
    EXPECT_EQ(Count("SecondDone"), 2);
    EXPECT_EQ(core.Store.SampleHistory[1].Time, fifth);
}

TEST_F(PollingCycleTest, PortThatFailedToOpenLeavesEveryTickIdle) {
    port.FailOpen = true;
    core.BBStartClick();
    core.Store.CurrentSample.Valid = true;
    Tick(6);
    EXPECT_FALSE(core.Store.CurrentSample.Valid);
    EXPECT_TRUE(port.Written.isEmpty());
    EXPECT_EQ(Count("TickDone"), 6);
    EXPECT_EQ(Count("PollDone") + Count("SecondDone"), 0);
    EXPECT_EQ(core.Polling.GroupCounter, 0);
    EXPECT_TRUE(prompts.Errors.isEmpty() && prompts.Messages.isEmpty());
}

TEST_F(PollingCycleTest, PausedPollingWithThePortOpenIsIdleToo) {
    Start();
    Tick(2);
    const TPollingPause pause = core.Exchange.PausePolling();
    port.TakeWritten();
    Tick(5);
    EXPECT_FALSE(core.Store.CurrentSample.Valid);
    EXPECT_TRUE(port.Written.isEmpty());
    EXPECT_EQ(core.Polling.GroupCounter, 2);
    EXPECT_EQ(core.Polling.TickCount, 2);
    EXPECT_EQ(Count("SecondDone"), 0);
}

TEST_F(PollingCycleTest, StopAndStartResumeTheRotationAndTheSecond) {
    Start();
    Tick(3); // groups 1, 2, 0
    core.BBStopClick();
    EXPECT_FALSE(port.Connected());
    port.TakeWritten();
    Tick(7);
    EXPECT_FALSE(core.Store.CurrentSample.Valid);
    EXPECT_TRUE(port.Written.isEmpty());
    EXPECT_EQ(core.Polling.GroupCounter, 3);
    EXPECT_EQ(core.Polling.TickCount, 3);
    EXPECT_EQ(Count("TickDone"), 10);

    Start();
    Tick();
    EXPECT_EQ(port.TakeWritten(), Group1);
    EXPECT_EQ(Count("SecondDone"), 0);
    Tick();
    EXPECT_EQ(port.TakeWritten(), Group2);
    EXPECT_EQ(Count("SecondDone"), 1) << "the paused second completes after two more polls";
}

TEST_F(PollingCycleTest, CounterWrapAsksGroupZeroTwiceInARow) {
    Start();
    Tick(254);
    port.TakeWritten();
    Tick(3); // polls 255, 256 and 257
    EXPECT_EQ(port.TakeWritten(), Group0 + Group0 + Group1);
    EXPECT_EQ(core.Polling.GroupCounter, 1);
}

// Pairs are matched by name, the later duplicate wins, only the first ten count, and a value that
// does not convert keeps its own field only.
TEST_F(PollingCycleTest, AnswersAreDecodedPairByPair) {
    Start();
    DecodeInjected("AD,M01=2.5,XYZ=1,M01=3.0,M05=10,");
    EXPECT_FLOAT_EQ(core.Store.CurrentSample.WindSpeed, 3.0f);
    DecodeInjected("AD,M01=abc,M05=45,");
    EXPECT_FLOAT_EQ(core.Store.CurrentSample.WindSpeed, 3.0f);
    EXPECT_FLOAT_EQ(core.Store.CurrentSample.Azimuth, 45.0f);

    DecodeInjected("AD,M01=1,M05=2,M06=3,M07=4,M08=5,M09=6,M11=7,C01=8,C11=9,C16=10,C17=11,C18=12,");
    const TSampleRec& s = core.Store.CurrentSample;
    EXPECT_FLOAT_EQ(s.WindSpeed, 1.0f);
    EXPECT_FLOAT_EQ(s.WdTemp[0], 10.0f); // C16, the tenth pair
    EXPECT_EQ(s.WdTemp[1], 0.0f);        // C17, the eleventh
    EXPECT_EQ(s.WdTemp[2], 0.0f);        // C18, the twelfth
}

// A silent instrument keeps the last values but they stop being a measurement after a whole round
// without an answer; the history still gains its seconds, marked invalid, and valid ones return
// once every group has been answered again.
TEST_F(PollingCycleTest, SilentInstrumentTurnsTheSampleInvalidUntilEveryGroupAnswersAgain) {
    port.Model.SetWind(3.5, 90, 0);
    Start();
    Tick(5);
    ASSERT_FLOAT_EQ(core.Store.CurrentSample.WindSpeed, 3.5f);
    port.Model.SetWind(9.0, 180, 0);
    port.Answering = false;
    port.TakeWritten();
    Tick(3); // the answer already on its way, then two polls without one
    EXPECT_TRUE(core.Store.CurrentSample.Valid) << "two polls without an answer are not yet a round";
    Tick();
    EXPECT_FALSE(core.Store.CurrentSample.Valid);
    Tick(5);
    const TDateTime last = clock.Now();
    Tick();
    EXPECT_FLOAT_EQ(core.Store.CurrentSample.WindSpeed, 3.5f);
    EXPECT_EQ(port.TakeWritten(),
              Group0 + Group1 + Group2 + Group0 + Group1 + Group2 + Group0 + Group1 + Group2 + Group0)
        << "the rotation goes on; nothing is asked again out of turn";
    for (int k = 0; k < 2; ++k)
        EXPECT_FALSE(core.Store.SampleHistory[k].Valid) << k;
    EXPECT_DOUBLE_EQ(core.Store.SampleHistory[0].Time, last);

    port.Answering = true;
    Tick(3);
    EXPECT_FALSE(core.Store.CurrentSample.Valid) << "one answer is not yet every group";
    Tick();
    EXPECT_TRUE(core.Store.CurrentSample.Valid);
    EXPECT_FLOAT_EQ(core.Store.CurrentSample.WindSpeed, 9.0f);
}

TEST_F(PollingCycleTest, FailedWriteClosesTheLinkAndTheNextTickIsIdle) {
    Start();
    Tick(2);
    port.FailWrite = true;
    Tick();
    EXPECT_FALSE(port.Connected());
    EXPECT_FALSE(core.IsPolling());
    calls.clear();
    Tick();
    EXPECT_FALSE(core.Store.CurrentSample.Valid);
    EXPECT_EQ(core.Polling.GroupCounter, 3);
    EXPECT_THAT(calls, ElementsAre("TickDone"));
}

struct FirmwareCase {
    double model;
    double version;
    bool current;
};

void PrintTo(const FirmwareCase& c, std::ostream* os) {
    *os << c.model << " firmware " << c.version;
}

class FirmwareFlagTest : public PollingCycleTest, public ::testing::WithParamInterface<FirmwareCase> {};

TEST_P(FirmwareFlagTest, OldFirmwareIsModel1703BelowVersion069) {
    const FirmwareCase c = GetParam();
    EXPECT_EQ(IsCurrentFirmware(float(c.model), float(c.version)), c.current);

    port.Model.SetModelNumber(c.model);
    port.Model.SetFirmware(c.version);
    Start();
    Tick(4);
    ASSERT_EQ(core.Store.CurrentSample.FirmwareVersion, float(c.version)) << "already decoded";
    EXPECT_FALSE(core.Polling.CurrentFirmware()) << "set only once a second";
    Tick();
    EXPECT_EQ(core.Polling.CurrentFirmware(), c.current);
}

INSTANTIATE_TEST_SUITE_P(Versions, FirmwareFlagTest,
                         ::testing::Values(FirmwareCase{17.03, 0.68, false}, FirmwareCase{17.03, 0.69, false},
                                           FirmwareCase{17.03, 0.70, true}, FirmwareCase{17.03, 0.80, true},
                                           FirmwareCase{17.04, 0.10, true}, FirmwareCase{17.04, 0.68, true},
                                           FirmwareCase{17.02, 0.50, true}));

} // namespace
