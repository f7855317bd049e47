#pragma once
// The main window's chart update as it was before the lines were rebuilt once a second instead of
// at every range change: the time axes moved, each series given its 599 points while the value axes
// still held the last second's range, then each value axis set to the extremes of its points and
// widened by QtCharts. Every range change and every replace() rebuilt the outlines of the lines.
// Kept as the reference the charts must look like, and as the old cost in the benchmarks.
#include "acquisition/TrendPoints.h"
#include "program/ProgramCore.h"
#include "program/ui/Main.h"
#include "program/ui/TrendLine.h"
#include <QChart>
#include <QChartView>
#include <QDateTimeAxis>
#include <QLineSeries>
#include <QValueAxis>

namespace reference {

inline QValueAxis* ValueAxis(QChartView* view) {
    return qobject_cast<QValueAxis*>(view->chart()->axes(Qt::Vertical).value(0));
}

inline QDateTimeAxis* TimeAxis(QChartView* view) {
    return qobject_cast<QDateTimeAxis*>(view->chart()->axes(Qt::Horizontal).value(0));
}

inline void ShowTimeRange(TMainForm& form, const TTimeRange& range) {
    for (QChartView* view : {form.RTCWindDirection, form.RTCWindSpeed})
        TimeAxis(view)->setRange(QDateTime::fromMSecsSinceEpoch(qint64(range.MinMs)),
                                 QDateTime::fromMSecsSinceEpoch(qint64(range.MaxMs)));
}

inline void ScaleToPoints(QValueAxis* axis, std::initializer_list<const QList<QPointF>*> lists) {
    double lo = 0, hi = 0;
    bool any = false;
    for (const QList<QPointF>* points : lists)
        for (const QPointF& p : *points) {
            lo = any ? qMin(lo, p.y()) : p.y();
            hi = any ? qMax(hi, p.y()) : p.y();
            any = true;
        }
    if (!any) return;
    if (hi - lo < 1e-6) {
        lo -= 1;
        hi += 1;
    }
    axis->setRange(lo, hi);
    axis->applyNiceNumbers();
}

inline void ScaleToPoints(TMainForm& form, const TTrendPoints& points) {
    ScaleToPoints(ValueAxis(form.RTCWindDirection), {&points.Azimuth, &points.Depression});
    ScaleToPoints(ValueAxis(form.RTCWindSpeed), {&points.WindSpeed});
}

// The former program drew its lines as the series themselves.
inline void UpdateCharts(TMainForm& form, TProgramCore& core) {
    for (TTrendLine* line : form.TrendLines)
        line->SetPoints({});
    ShowTimeRange(form, TrendRange(core.Now()));
    const TTrendPoints points = MakeTrendPoints(core.Store.SampleHistory);
    form.FastLineSeries1->replace(points.Azimuth);
    form.Series2->replace(points.Depression);
    form.Series1->replace(points.WindSpeed);
    ScaleToPoints(form, points);
}

} // namespace reference
