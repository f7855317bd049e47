#pragma once
#include "common/DateTime.h"
#include <QList>
#include <QPointF>

class TSampleHistory;

// The trend charts' points: x is milliseconds since the epoch (the chart's time axis), oldest first.
struct TTrendPoints {
    QList<QPointF> Azimuth;
    QList<QPointF> Depression;
    QList<QPointF> WindSpeed;
};

// The last ten minutes less the newest second: history entries 599 down to 1, valid ones only.
inline constexpr int TrendOldestIndex = 599;
TTrendPoints MakeTrendPoints(const TSampleHistory& history);

// The time axis' range: ten minutes up to `now`.
struct TTimeRange {
    double MinMs = 0;
    double MaxMs = 0;
};
TTimeRange TrendRange(TDateTime nowDays);
double ChartMs(TDateTime days);
