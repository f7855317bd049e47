#include "common/ScreenFit.h"
#include <gmock/gmock.h>

namespace {

// A 1366 x 768 screen less a 40-pixel panel at the bottom, and a frame with a 30-pixel title bar.
const QRect Available(0, 0, 1366, 728);
const QMargins Frame(4, 30, 4, 4);

struct FitCase {
    const char* name;
    QRect wanted;
    QSize minimum;
    QRect expected;
};

class FitOnScreenTest : public ::testing::TestWithParam<FitCase> {};

TEST_P(FitOnScreenTest, TheFrameEndsUpOnTheScreenTitleBarFirst) {
    const FitCase& c = GetParam();
    const QRect fitted = FitOnScreen(c.wanted, c.minimum, Frame, Available);
    EXPECT_EQ(fitted, c.expected);
    if (c.minimum.height() + Frame.top() + Frame.bottom() <= Available.height()) {
        EXPECT_TRUE(Available.contains(fitted.marginsAdded(Frame))) << "the whole frame on the screen";
    }
    EXPECT_GE(fitted.top() - Frame.top(), Available.top()) << "the title bar on the screen";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FitOnScreenTest,
    ::testing::Values(
        FitCase{"FitsAsItIs", {100, 80, 600, 500}, {300, 200}, {100, 80, 600, 500}},
        FitCase{"TitleBarAboveTheTopMovesDown", {200, 0, 471, 600}, {300, 200}, {200, 30, 471, 600}},
        FitCase{"PastTheRightAndBottomMovesIn", {1000, 500, 600, 400}, {300, 200}, {762, 324, 600, 400}},
        FitCase{"TallerThanTheScreenShrinksToItAndStartsAtItsTop",
                {100, 50, 471, 867},
                {300, 200},
                {100, 30, 471, 694}},
        FitCase{
            "NeverBelowTheMinimumThenTheTitleBarWins", {100, 50, 471, 867}, {471, 867}, {100, 30, 471, 867}},
        FitCase{"LeftOfTheScreenMovesRight", {-300, 100, 400, 300}, {100, 100}, {4, 100, 400, 300}}),
    [](const ::testing::TestParamInfo<FitCase>& info) { return std::string(info.param.name); });

} // namespace
