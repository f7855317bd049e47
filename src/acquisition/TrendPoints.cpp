#include "acquisition/TrendPoints.h"
#include "acquisition/MeasurementStore.h"
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
