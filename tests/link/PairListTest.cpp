#include "link/PairList.h"
#include <array>
#include <gmock/gmock.h>

namespace {

TEST(SplitPairs, StoresOnlyCommaTerminatedItems) {
    std::array<TKeyValStr, 20> out;
    EXPECT_EQ(SplitPairs(u"M01=1.5,M05=270,", out), 2);
    EXPECT_EQ(out[0], (TKeyValStr{"M01", "1.5"}));
    EXPECT_EQ(out[1], (TKeyValStr{"M05", "270"}));

    std::array<TKeyValStr, 20> partial;
    EXPECT_EQ(SplitPairs(u"M01=1.5,M05=270", partial), 1);
    EXPECT_EQ(partial[1], TKeyValStr{});
}

TEST(SplitPairs, EmptyItemsAndSecondEqualsSign) {
    std::array<TKeyValStr, 20> out;
    EXPECT_EQ(SplitPairs(u",,A==1,B,", out), 4);
    EXPECT_EQ(out[0], TKeyValStr{});
    EXPECT_EQ(out[1], TKeyValStr{});
    EXPECT_EQ(out[2], (TKeyValStr{"A", "1"}));
    EXPECT_EQ(out[3], (TKeyValStr{"B", ""}));
}

TEST(SplitPairs, StopsAtCapacityAndLeavesTheRestAlone) {
    QString text;
    for (int i = 0; i < 25; ++i)
        text += QStringLiteral("K%1=%1,").arg(i);
    std::array<TKeyValStr, 20> out;
    EXPECT_EQ(SplitPairs(text, out), 20);
    EXPECT_EQ(out[19], (TKeyValStr{"K19", "19"}));

    std::array<TKeyValStr, 4> small;
    small[3] = {"old", "value"};
    EXPECT_EQ(SplitPairs(u"A=1,B=2,", small), 2);
    EXPECT_EQ(small[3], (TKeyValStr{"old", "value"}));
}

TEST(BuildPairList, AppendsWhileUnder128Characters) {
    const std::array<TKeyValStr, 1> pair{{{"E91", "1"}}};
    QString out(121, 'x');
    EXPECT_EQ(BuildPairList(pair, 1, out), 1);
    EXPECT_EQ(out.size(), 127);
    EXPECT_TRUE(out.endsWith("E91=1,"));

    QString full(122, 'x');
    EXPECT_EQ(BuildPairList(pair, 1, full), 0);
    EXPECT_EQ(full.size(), 122);
}

} // namespace
