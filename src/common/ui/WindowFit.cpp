#include "common/ui/WindowFit.h"
#include "common/ScreenFit.h"
#include <QApplication>
#include <QScreen>
#include <QScrollBar>
#include <QTextLayout>
#include <QtMath>

namespace {
QMargins KnownFrame(const QWidget* window) {
    const QRect outer = window->frameGeometry();
    const QRect inner = window->geometry();
    return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
            outer.bottom() - inner.bottom()};
}

bool IsNull(const QMargins& m) {
    return m.left() == 0 && m.top() == 0 && m.right() == 0 && m.bottom() == 0;
}
} // namespace

QMargins FrameMargins(const QWidget* window) {
    if (const QMargins own = KnownFrame(window); !IsNull(own)) return own;
    QMargins largest;
    for (const QWidget* other : QApplication::topLevelWidgets()) {
        if (other == window || !other->isVisible()) continue;
        const QMargins m = KnownFrame(other);
        largest = QMargins(std::max(largest.left(), m.left()), std::max(largest.top(), m.top()),
                           std::max(largest.right(), m.right()), std::max(largest.bottom(), m.bottom()));
    }
    return IsNull(largest) ? TypicalFrame : largest;
}

int TitleBarWidth(const QWidget& window) {
    QFont font = QApplication::font();
    font.setBold(true);
    // The icon and three buttons, each about as wide as the bar is high.
    return QFontMetrics(font).horizontalAdvance(window.windowTitle()) + 4 * TypicalFrame.top();
}

void OpenOnScreen(QWidget* window, const QWidget* centreOn) {
    const QMargins frame = FrameMargins(window);
    const QSize minimum = window->minimumSize().expandedTo(window->minimumSizeHint());
    // Qt clears WA_Resized after its own first sizing (adjustSize): set means the program sized it.
    const QSize size = window->testAttribute(Qt::WA_Resized) ? window->size() : window->sizeHint();
    QRect wanted(window->geometry().topLeft(), size.expandedTo(minimum));
    if (centreOn) {
        QRect outer = wanted.marginsAdded(frame);
        outer.moveCenter(centreOn->frameGeometry().center());
        wanted = outer.marginsRemoved(frame);
    }
    const QScreen* screen = QGuiApplication::screenAt(wanted.center());
    if (!screen) screen = window->screen();
    if (!screen) return;
    const QRect fitted = FitOnScreen(wanted, minimum, frame, screen->availableGeometry());
    // The client area, exactly: before the window manager has framed the window, a move() would
    // place the client area where the frame was meant to go, and the title bar above it.
    if (fitted != window->geometry()) window->setGeometry(fitted);
}

TScrollPage::TScrollPage(QWidget* content, QWidget* parent) : QScrollArea(parent) {
    setWidget(content);
    setWidgetResizable(true);
    setFrameShape(QFrame::NoFrame);
}

QSize TScrollPage::sizeHint() const {
    const int f = 2 * frameWidth();
    return widget() ? widget()->sizeHint().expandedTo(widget()->minimumSizeHint()) + QSize(f, f)
                    : QScrollArea::sizeHint();
}

TLinesMemo::TLinesMemo(int lines, const QString& sample, QWidget* parent)
    : QPlainTextEdit(parent), lines_(lines), sample_(sample) {}

QSize TLinesMemo::sizeHint() const {
    // Laid out, not measured by the font's own metrics: a line of Japanese text takes the height
    // of the fallback font that draws it, which is taller than the Latin font of the widget.
    QTextLayout layout(sample_, font());
    layout.beginLayout();
    QTextLine line = layout.createLine();
    layout.endLayout();
    const int margins = 2 * (qCeil(document()->documentMargin()) + frameWidth());
    const QMargins content = contentsMargins();
    return {qCeil(line.naturalTextWidth()) + margins + verticalScrollBar()->sizeHint().width(),
            lines_ * qCeil(line.height()) + margins + content.top() + content.bottom()};
}
