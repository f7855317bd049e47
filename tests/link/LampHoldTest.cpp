#include "link/LampHold.h"
#include <gmock/gmock.h>
#include <utility>
#include <vector>

namespace {

constexpr qint64 Hold = TLampHold::ActivityHoldMs;

struct LampCase {
    const char* name;
    std::vector<std::pair<qint64, bool>> signal; // (time, on) in order
    qint64 at;                                   // the time the lamp is looked at
    bool lit;
    qint64 offDueIn; // -1: no off pending
};

class LampHoldTest : public ::testing::TestWithParam<LampCase> {};

TEST_P(LampHoldTest, AnOffComesNoSoonerThanTheHoldAfterTheLastOn) {
    const LampCase& c = GetParam();
    TLampHold lamp;
    for (const auto& [t, on] : c.signal)
        lamp.Set(on, t);
    lamp.Update(c.at);
    EXPECT_EQ(lamp.Lit(), c.lit);
    EXPECT_EQ(lamp.OffDueInMs(c.at), c.offDueIn);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LampHoldTest,
    ::testing::Values(LampCase{"OnAndOffAtOnceStaysLit", {{1000, true}, {1000, false}}, 1000, true, Hold},
                      LampCase{"GoesOffAtTheHold", {{1000, true}, {1000, false}}, 1000 + Hold, false, -1},
                      LampCase{"NotBeforeIt", {{1000, true}, {1000, false}}, 1000 + Hold - 1, true, 1},
                      LampCase{"OnAgainWhileLitCountsFromTheLastOn",
                               {{1000, true}, {1010, false}, {1060, true}, {1070, false}},
                               1000 + Hold,
                               true,
                               60},
                      LampCase{"ASignalThatStaysOnKeepsItLit", {{1000, true}}, 5000, true, -1},
                      LampCase{"ALongOnGoesOffWithTheSignal", {{1000, true}, {1500, false}}, 1500, false, -1},
                      LampCase{"NeverOnIsDark", {{1000, false}}, 1000, false, -1}),
    [](const ::testing::TestParamInfo<LampCase>& info) { return std::string(info.param.name); });

} // namespace
