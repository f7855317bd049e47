#include "acquisition/TrendPoints.h"
#include "acquisition/MeasurementStore.h"

double ChartMs(TDateTime days) { return double(ToQDateTime(days).toMSecsSinceEpoch()); }

TTrendPoints MakeTrendPoints(const TSampleHistory& history) {
    TTrendPoints p;
    p.Azimuth.reserve(TrendOldestIndex);
    p.Depression.reserve(TrendOldestIndex);
    p.WindSpeed.reserve(TrendOldestIndex);
    for (int k = TrendOldestIndex; k >= 1; --k) {
        const TSampleRec& s = history[k];
        if (!s.Valid) continue;
        const double x = ChartMs(s.Time);
        p.Azimuth.append({x, s.Azimuth});
        p.Depression.append({x, s.Depression});
        p.WindSpeed.append({x, s.WindSpeed});
    }
    return p;
}

TTimeRange TrendRange(TDateTime nowDays) {
    return {ChartMs(nowDays - 1.0 / 144.0), ChartMs(nowDays)};
}
