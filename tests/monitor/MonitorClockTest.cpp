#include "MonitorRig.h"
#include <functional>

namespace {

class MonitorClockTest : public MonitorRig {
  protected:
    int refreshes = 0;
    TNotifier<>::Subscription following = monitor.ListRefreshed.Follow([this] { ++refreshes; });

    QString Value(int listRow) const {
        return monitor.List.data(monitor.List.index(listRow - 1, 1)).toString();
    }
};

TEST_F(MonitorClockTest, FirstTickRefreshesAndTicksInOneSecondRefreshOnce) {
    StepAt(10, 0, 0, 100);
    EXPECT_EQ(refreshes, 1);
    StepAt(10, 0, 0, 300);
    StepAt(10, 0, 0, 900);
    EXPECT_EQ(refreshes, 1);
    StepAt(10, 0, 1, 100);
    EXPECT_EQ(refreshes, 2);
}

TEST_F(MonitorClockTest, SecondWithoutATickIsSkippedNotMadeUp) {
    StepAt(10, 0, 0, 900);
    StepAt(10, 0, 3, 100); // seconds 1 and 2 had no tick
    EXPECT_EQ(refreshes, 2);
    StepAt(10, 0, 3, 300);
    EXPECT_EQ(refreshes, 2);
}

TEST_F(MonitorClockTest, ValuesRefreshWhileCollectionIsStopped) {
    Collecting(false);
    store.CurrentSample.WindSpeed = 1.5f;
    StepAt(10, 0, 0);
    EXPECT_EQ(Value(1), "1.500 m/s.");
    store.CurrentSample.WindSpeed = 2.25f; // the last value decoded before the stop, say
    StepAt(10, 0, 1);
    EXPECT_EQ(Value(1), "2.250 m/s.");
}

struct FormatCase {
    const char* name;
    std::function<void(TSampleRec&)> set;
    int row;
    const char* shown;
};

void PrintTo(const FormatCase& c, std::ostream* os) {
    *os << c.name;
}

class ListFormatTest : public MonitorClockTest, public ::testing::WithParamInterface<FormatCase> {};

TEST_P(ListFormatTest, ValueIsShownInItsRowsFormat) {
    GetParam().set(store.CurrentSample);
    StepAt(10, 0, 0);
    EXPECT_EQ(Value(GetParam().row), QString::fromUtf8(GetParam().shown));
}

INSTANTIATE_TEST_SUITE_P(
    EdgeCases, ListFormatTest,
    ::testing::Values(
        FormatCase{"azimuth half up", [](TSampleRec& s) { s.Azimuth = 2.5f; }, 4, "  3 °"},
        FormatCase{"azimuth half down", [](TSampleRec& s) { s.Azimuth = -2.5f; }, 4, " -3 °"},
        FormatCase{"software status negative", [](TSampleRec& s) { s.SoftwareStatus = -3; }, 29, "-3"},
        FormatCase{"second debug value", [](TSampleRec& s) { s.Debug[1] = -0.0625f; }, 32, "-0.063"}));

} // namespace
