#include "link/ui/ComLed.h"
#include "common/ui/Resources.h"
#include <QPainter>

namespace {
QString ImagePath(TComLed::TColour colour, bool on) {
    const char* name = colour == TComLed::Red ? "red" : colour == TComLed::Green ? "green" : "yellow";
    return QStringLiteral(":/leds/%1_%2.png").arg(QLatin1String(name), QLatin1String(on ? "on" : "off"));
}
} // namespace

TComLed::TComLed(TComSignal signal, TColour colour, QWidget* parent) : QWidget(parent), Sig(signal) {
    EnsureResources();
    OnImage.load(ImagePath(colour, true));
    OffImage.load(ImagePath(colour, false));
    setFixedSize(25, 25);
}

void TComLed::SetState(bool on) {
    if (on == On) return;
    On = on;
    update();
}

void TComLed::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawPixmap(rect(), On ? OnImage : OffImage);
}
