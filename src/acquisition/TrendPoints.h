#pragma once
#include "common/DateTime.h"
#include <QList>
#include <QPointF>
#include <initializer_list>
#include <optional>

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

// A value axis' range and ticks: the extremes of the plotted values (a flat line gets one either
// side), widened to steps of 1, 2 or 5 x 10^n as QtCharts' QValueAxis::applyNiceNumbers() widens a
// range. The step depends on the axis' tick count before, as there; the count changes with it.
struct TValueScale {
    double Min = 0;
    double Max = 0;
    int TickCount = 0;
};
// None without points, or with a value that is not finite (the axis keeps its range then).
std::optional<TValueScale> TrendScale(std::initializer_list<const QList<QPointF>*> lists, int tickCount);
