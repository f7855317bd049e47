#pragma once
#include <QMargins>
#include <QRect>

// The client geometry at which a window that wants `wanted` (client area) lies wholly within
// `available`, its frame (`frame`: title bar and borders) included. The size shrinks to fit, but
// not below `minimum`; then the window moves in from the right and bottom edges, and last from the
// left and top, so a window that cannot fit keeps its title bar on the screen.
QRect FitOnScreen(const QRect& wanted, const QSize& minimum, const QMargins& frame, const QRect& available);
