#include "acquisition/TrendPoints.h"
#include "acquisition/MeasurementStore.h"
#include "support/TimeZoneScope.h"
#include <ctime>
#include <gmock/gmock.h>

namespace {

const TDateTime Noon = EncodeDateTime(2026, 12, 9, 12, 0, 0);

TEST(TrendPoints, PlotOnlyValidEntriesFromIndex599DownToIndex1) {
    TMeasurementStore store;
    store.ClearHistory();
    store.CurrentSample.Valid = true;
    for (int k = 0; k < 700; ++k) {
        store.CurrentSample.Azimuth = float(k);
        store.ShiftHistory(Noon + k / 86400.0);
    }
    // As if entry 5 had never been filled.
    store.SampleHistory[5].Valid = false;
    const TTrendPoints p = MakeTrendPoints(store.SampleHistory);
    ASSERT_EQ(p.Azimuth.size(), 598);
    EXPECT_EQ(p.Depression.size(), 598);
    EXPECT_EQ(p.WindSpeed.size(), 598);
    // Oldest first: index 599 is the sample pushed 599 shifts before the newest (k = 699).
    EXPECT_EQ(p.Azimuth.front().y(), 100.0);
    EXPECT_EQ(p.Azimuth.back().y(), 698.0);
    EXPECT_EQ(p.Azimuth.back().x() - p.Azimuth.front().x(), 598'000.0);
}

TEST(TrendPoints, EmptyHistoryPlotsNothing) {
    TMeasurementStore store;
    store.ClearHistory();
    EXPECT_TRUE(MakeTrendPoints(store.SampleHistory).Azimuth.isEmpty());
}

TEST(TrendPoints, TimeAxisSpansTheTenMinutesUpToNow) {
    const TTimeRange range = TrendRange(Noon);
    EXPECT_EQ(range.MaxMs - range.MinMs, 600'000.0);
    EXPECT_EQ(range.MaxMs, double(QDateTime(QDate(2026, 12, 9), QTime(12, 0)).toMSecsSinceEpoch()));
}

// Points are placed by one offset from local time when the ten minutes hold no clock change; each
// must still land where a full local-time conversion puts it, also across a change.
TEST(TrendPoints, PointTimesAgreeWithLocalTimeConversionAcrossAClockChange) {
    const TimeZoneScope berlin("Europe/Berlin");
    for (const TDateTime start :
         {Noon, EncodeDateTime(2026, 10, 25, 1, 55, 0), EncodeDateTime(2026, 3, 29, 1, 55, 0)}) {
        TMeasurementStore store;
        store.CurrentSample.Valid = true;
        for (int k = 0; k < 600; ++k)
            store.ShiftHistory(start + k / 86400.0);
        const TTrendPoints p = MakeTrendPoints(store.SampleHistory);
        ASSERT_EQ(p.Azimuth.size(), 599);
        for (int i = 0; i < 599; ++i)
            ASSERT_EQ(p.Azimuth[i].x(), ChartMs(store.SampleHistory[599 - i].Time))
                << FormatDateTime("yyyy/mm/dd hh:nn:ss", start).toStdString() << " point " << i;
    }
}

} // namespace
