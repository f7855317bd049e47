#pragma once
#include <QGraphicsItem>
#include <QList>
#include <QPointF>

class QChart;
class QLineSeries;

// One line of a trend chart, drawn over the chart as QtCharts draws a line series: straight
// segments between the points, mapped into the plot area by the series' axes and clipped to it.
// QtCharts also builds each series' outline for hit-testing whenever its points or an axis range
// change, a stroke of every segment that cost more than the rest of the once-a-second update
// together; nobody clicks these lines, so they are drawn here and the series stay empty, holding
// the axes, the pen and the place in the stacking.
class TTrendLine : public QGraphicsItem {
  public:
    TTrendLine(QChart* chart, QLineSeries* series);

    // Points in the axes' units (milliseconds since the epoch, values); maps them at once.
    void SetPoints(QList<QPointF> points);
    const QList<QPointF>& Points() const { return points_; }
    // Maps the points again: the axes' ranges or the plot area changed.
    void Relayout();

    QRectF boundingRect() const override;
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

  private:
    QChart* chart_;
    QLineSeries* series_;
    QList<QPointF> points_;
    QList<QPointF> mapped_; // in the plot area, its top left corner at this item's position
    QSizeF size_;
};
