#include "program/ui/TrendLine.h"
#include <QChart>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QLineSeries>
#include <QPainter>
#include <QValueAxis>

namespace {

// Where QtCharts stacks its series: over the grid and the axes (3), under the legend.
constexpr qreal SeriesZ = 4;

// The range of an axis in the units of the points; none for an axis without one.
bool AxisRange(const QAbstractAxis* axis, qreal& min, qreal& max) {
    if (const auto* time = qobject_cast<const QDateTimeAxis*>(axis)) {
        min = qreal(time->min().toMSecsSinceEpoch());
        max = qreal(time->max().toMSecsSinceEpoch());
        return true;
    }
    if (const auto* values = qobject_cast<const QValueAxis*>(axis)) {
        min = values->min();
        max = values->max();
        return true;
    }
    return false;
}

} // namespace

TTrendLine::TTrendLine(QChart* chart, QLineSeries* series)
    : QGraphicsItem(chart), chart_(chart), series_(series) {
    setZValue(SeriesZ);
    setAcceptedMouseButtons(Qt::NoButton);
}

void TTrendLine::SetPoints(QList<QPointF> points) {
    points_ = std::move(points);
    Relayout();
}

void TTrendLine::Relayout() {
    const QRectF area = chart_->plotArea();
    if (area.size() != size_) prepareGeometryChange();
    setPos(area.topLeft());
    size_ = area.size();
    mapped_.clear();
    qreal minX = 0, maxX = 0, minY = 0, maxY = 0;
    bool rangedX = false, rangedY = false;
    for (const QAbstractAxis* axis : series_->attachedAxes()) {
        if (axis->orientation() == Qt::Horizontal) rangedX = AxisRange(axis, minX, maxX);
        if (axis->orientation() == Qt::Vertical) rangedY = AxisRange(axis, minY, maxY);
    }
    // The arithmetic of QtCharts' own mapping, so that every point lands on the same pixel.
    const qreal spanX = maxX - minX, spanY = maxY - minY;
    if (rangedX && rangedY && spanX != 0 && spanY != 0) {
        const qreal dx = size_.width() / spanX, dy = size_.height() / spanY;
        mapped_.reserve(points_.size());
        for (const QPointF& p : points_)
            mapped_.append(QPointF((p.x() - minX) * dx, size_.height() - (p.y() - minY) * dy));
    }
    update();
}

QRectF TTrendLine::boundingRect() const {
    return QRectF(QPointF(), size_).adjusted(-1, -1, 1, 1);
}

void TTrendLine::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) {
    if (mapped_.size() < 2) return;
    // Half a pixel more where the plot area's edges fall between pixels, so that a line along an
    // edge shows, and never more than that.
    QRectF clip(QPointF(), size_);
    const qreal x1 = pos().x() - int(pos().x()), y1 = pos().y() - int(pos().y());
    const qreal x2 = (clip.width() + 0.5) - int(clip.width() + 0.5);
    const qreal y2 = (clip.height() + 0.5) - int(clip.height() + 0.5);
    clip.adjust(-x1, -y1, qMax(x1, x2), qMax(y1, y2));
    painter->save();
    painter->setPen(series_->pen());
    painter->setClipRect(clip);
    for (qsizetype i = 1; i < mapped_.size(); ++i)
        painter->drawLine(mapped_[i - 1], mapped_[i]);
    painter->restore();
}
