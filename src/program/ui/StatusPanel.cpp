#include "program/ui/StatusPanel.h"
#include <QStringList>

TStatusPanel::TStatusPanel(int width, QWidget* parent) : QLabel(parent), width_(width) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
}

void TStatusPanel::SetFullText(const QString& text, const QString& detail) {
    if (full_ == text && detail_ == detail) return;
    full_ = text;
    detail_ = detail;
    setAccessibleName(text);
    if (hiddenWhenEmpty_) setVisible(!text.isEmpty());
    Elide();
}

void TStatusPanel::FitWidthTo(const QString& widest) {
    const int frame = width() - contentsRect().width();
    width_ = qMax(width_, fontMetrics().horizontalAdvance(widest) + frame + 2 * margin() + indent() + 2);
    updateGeometry();
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
    const int room = qMax(0, contentsRect().width() - 2 * margin() - indent());
    const QString shown = fontMetrics().elidedText(full_, Qt::ElideMiddle, room);
    setText(shown);
    QStringList tip;
    if (shown != full_) tip << full_;
    if (!detail_.isEmpty()) tip << detail_;
    setToolTip(tip.join(QLatin1Char('\n')));
}
