#include "acquisition/TrendPoints.h"
#include "acquisition/MeasurementStore.h"
#include "support/TimeZoneScope.h"
#include <QValueAxis>
#include <ctime>
#include <gmock/gmock.h>
#include <random>

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

// The scale is worked out here so that an axis changes once, and only when it must; it has to be
// the one QtCharts gives for the same points: setRange() to the extremes, then applyNiceNumbers(),
// which starts from the tick count the axis had. Seconds follow one another on one axis, so the
// count carries over as it does in the window.
TEST(TrendScale, MatchesQtChartsNiceNumbersSecondAfterSecond) {
    std::mt19937_64 random(599);
    std::uniform_real_distribution<double> unit(0, 1);
    std::uniform_int_distribution<int> magnitude(-7, 7), count(1, 40);
    QValueAxis axis;
    int failures = 0;
    for (int second = 0; second < 20'000 && failures < 10; ++second) {
        // Drifting winds, flat lines, a single point, and values of every size.
        const double scale = std::pow(10.0, magnitude(random));
        const double base = (unit(random) - 0.5) * scale * 10;
        const bool flat = second % 7 == 0;
        QList<QPointF> a, b;
        for (int i = count(random); i > 0; --i) {
            a.append({double(i), flat ? base : base + unit(random) * scale});
            if (second % 3) b.append({double(i), flat ? base : base - unit(random) * scale});
        }
        const std::optional<TValueScale> ours = TrendScale({&a, &b}, axis.tickCount());
        double lo = a.front().y(), hi = lo;
        for (const QList<QPointF>* points : {&a, &b})
            for (const QPointF& p : *points) {
                lo = qMin(lo, p.y());
                hi = qMax(hi, p.y());
            }
        if (hi - lo < 1e-6) {
            lo -= 1;
            hi += 1;
        }
        axis.setRange(lo, hi);
        axis.applyNiceNumbers();
        ASSERT_TRUE(ours.has_value());
        if (ours->Min != axis.min() || ours->Max != axis.max() || ours->TickCount != axis.tickCount()) {
            ++failures;
            ADD_FAILURE() << "second " << second << ": extremes " << lo << ", " << hi << " give " << ours->Min
                          << ".." << ours->Max << " in " << ours->TickCount << " ticks, QtCharts "
                          << axis.min() << ".." << axis.max() << " in " << axis.tickCount();
        }
    }
}

TEST(TrendScale, NothingToScaleLeavesTheAxis) {
    const QList<QPointF> none;
    const QList<QPointF> notANumber = {{0, std::nan("")}, {1, 2.0}};
    const QList<QPointF> infinite = {{0, 1.0}, {1, std::numeric_limits<double>::infinity()}};
    EXPECT_FALSE(TrendScale({&none}, 5));
    EXPECT_FALSE(TrendScale({&none, &notANumber}, 5));
    EXPECT_FALSE(TrendScale({&infinite}, 5));
}

} // namespace
