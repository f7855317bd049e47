#include "common/ScreenFit.h"
#include <algorithm>

QRect FitOnScreen(const QRect& wanted, const QSize& minimum, const QMargins& frame, const QRect& available) {
    const QSize room = available.size().shrunkBy(frame);
    const QSize size = wanted.size().boundedTo(room).expandedTo(minimum);
    QRect outer(wanted.topLeft() - QPoint(frame.left(), frame.top()), size.grownBy(frame));
    outer.moveRight(std::min(outer.right(), available.right()));
    outer.moveBottom(std::min(outer.bottom(), available.bottom()));
    outer.moveLeft(std::max(outer.left(), available.left()));
    outer.moveTop(std::max(outer.top(), available.top()));
    return outer.marginsRemoved(frame);
}
