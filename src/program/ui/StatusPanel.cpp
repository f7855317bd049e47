#include "program/ui/StatusPanel.h"
#include <QStringList>

TStatusPanel::TStatusPanel(int width, QWidget* parent) : QLabel(parent), width_(width) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
}

void TStatusPanel::SetFullText(const QString& text, const QString& detail, Qt::TextElideMode mode) {
    if (full_ == text && detail_ == detail && mode_ == mode) return;
    full_ = text;
    detail_ = detail;
    mode_ = mode;
    setAccessibleName(text);
    if (hiddenWhenEmpty_) setVisible(!text.isEmpty());
    Elide();
}

void TStatusPanel::FitWidthTo(const QString& widest) {
    const int frame = width() - contentsRect().width();
    width_ =
        qMax(width_, fontMetrics().horizontalAdvance(widest) + frame + 2 * margin() + EffectiveIndent() + 1);
    updateGeometry();
}

// A framed label without an indent of its own indents its text by half an "x" (QLabel's rule).
int TStatusPanel::EffectiveIndent() const {
    if (indent() >= 0) return indent();
    return frameWidth() > 0 ? fontMetrics().horizontalAdvance(QLatin1Char('x')) / 2 : 0;
}

void TStatusPanel::SetHiddenWhenEmpty(bool hidden) {
    hiddenWhenEmpty_ = hidden;
    setVisible(!hidden || !full_.isEmpty());
}

QSize TStatusPanel::sizeHint() const {
    return {width_, QLabel::sizeHint().height()};
}

QSize TStatusPanel::minimumSizeHint() const {
    return {width_, QLabel::minimumSizeHint().height()};
}

void TStatusPanel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    Elide();
}

void TStatusPanel::Elide() {
    const int room = qMax(0, contentsRect().width() - 2 * margin() - EffectiveIndent());
    const QString shown = fontMetrics().elidedText(full_, mode_, room);
    setText(shown);
    QStringList tip;
    if (shown != full_) tip << full_;
    if (!detail_.isEmpty()) tip << detail_;
    setToolTip(tip.join(QLatin1Char('\n')));
}
