#include "acquisition/TrendPoints.h"
#include "acquisition/MeasurementStore.h"
#include <QtMath>
#include <cmath>

double ChartMs(TDateTime days) {
    return double(ToQDateTime(days).toMSecsSinceEpoch());
}

namespace {
constexpr double UnixEpochDays = 25569.0; // 1970-01-01 in days since 1899-12-30

// The local reading in milliseconds as if it were UTC; rounded like DecodeDateTime.
double WallMs(TDateTime days) {
    return double(std::llround((days - UnixEpochDays) * 86400000.0));
}

double UtcOffsetMs(TDateTime days) {
    return WallMs(days) - ChartMs(days);
}
} // namespace

TTrendPoints MakeTrendPoints(const TSampleHistory& history) {
    // A local-time conversion costs a time-zone lookup (a system call each when TZ is unset). Within
    // ten minutes the offset is one value unless a clock change falls inside, so the two ends decide
    // whether one offset serves every point.
    int oldest = TrendOldestIndex, newest = 1;
    while (oldest >= 1 && !history[oldest].Valid)
        --oldest;
    while (newest <= oldest && !history[newest].Valid)
        ++newest;
    if (oldest < 1) return {};
    const double offset = UtcOffsetMs(history[newest].Time);
    const bool oneOffset = UtcOffsetMs(history[oldest].Time) == offset;

    TTrendPoints p;
    p.Azimuth.reserve(TrendOldestIndex);
    p.Depression.reserve(TrendOldestIndex);
    p.WindSpeed.reserve(TrendOldestIndex);
    for (int k = TrendOldestIndex; k >= 1; --k) {
        const TSampleRec& s = history[k];
        if (!s.Valid) continue;
        const double x = oneOffset ? WallMs(s.Time) - offset : ChartMs(s.Time);
        p.Azimuth.append({x, s.Azimuth});
        p.Depression.append({x, s.Depression});
        p.WindSpeed.append({x, s.WindSpeed});
    }
    return p;
}

TTimeRange TrendRange(TDateTime nowDays) {
    return {ChartMs(nowDays - 1.0 / 144.0), ChartMs(nowDays)};
}

namespace {
// 1, 2, 5 or 10 x 10^n near x: the next at or above it (ceiling), else the nearest. Written as
// QtCharts writes it, qFloor and all, so that both give the same range.
double NiceNumber(double x, bool ceiling) {
    const double z = qPow(10, qFloor(std::log10(x)));
    double q = x / z;
    if (ceiling)
        q = q <= 1.0 ? 1 : q <= 2.0 ? 2 : q <= 5.0 ? 5 : 10;
    else
        q = q < 1.5 ? 1 : q < 3.0 ? 2 : q < 7.0 ? 5 : 10;
    return q * z;
}
} // namespace

std::optional<TValueScale> TrendScale(std::initializer_list<const QList<QPointF>*> lists, int tickCount) {
    double lo = 0, hi = 0;
    bool any = false;
    for (const QList<QPointF>* points : lists)
        for (const QPointF& p : *points) {
            lo = any ? qMin(lo, p.y()) : p.y();
            hi = any ? qMax(hi, p.y()) : p.y();
            any = true;
        }
    if (!any || !std::isfinite(lo) || !std::isfinite(hi)) return std::nullopt;
    if (hi - lo < 1e-6) {
        lo -= 1;
        hi += 1;
    }
    const double range = NiceNumber(hi - lo, true);
    const double step = NiceNumber(range / (tickCount - 1), false);
    const double min = qFloor(lo / step);
    const double max = qCeil(hi / step);
    return TValueScale{min * step, max * step, int(max - min) + 1};
}
