#include "link/ui/ComLed.h"
#include "common/ui/Resources.h"
#include <QElapsedTimer>
#include <QPainter>
#include <QTimer>

namespace {
QString ImagePath(TComLed::TColour colour, bool on) {
    const char* name = colour == TComLed::Red ? "red" : colour == TComLed::Green ? "green" : "yellow";
    return QStringLiteral(":/leds/%1_%2.png").arg(QLatin1String(name), QLatin1String(on ? "on" : "off"));
}
} // namespace

TComLed::TComLed(TComSignal signal, TColour colour, QWidget* parent)
    : QWidget(parent), Sig(signal), Hold(signal == TComSignal::Connection ? 0 : TLampHold::ActivityHoldMs) {
    EnsureResources();
    OnImage.load(ImagePath(colour, true));
    OffImage.load(ImagePath(colour, false));
    setFixedSize(25, 25);
    NowMs = [clock = std::make_shared<QElapsedTimer>()] {
        if (!clock->isValid()) clock->start();
        return clock->elapsed();
    };
    HoldTimer = new QTimer(this);
    HoldTimer->setSingleShot(true);
    connect(HoldTimer, &QTimer::timeout, this, [this] {
        const bool wasLit = Hold.Lit();
        Hold.Update(NowMs());
        Show(wasLit);
    });
}

void TComLed::SetState(bool on) {
    const bool wasLit = Hold.Lit();
    Hold.Set(on, NowMs());
    Show(wasLit);
}

void TComLed::Show(bool wasLit) {
    if (Hold.Lit() != wasLit) update();
    // A lamp nobody sees needs no timer (ten wake-ups a second while polling): it settles as it
    // comes into view.
    const qint64 due = isVisible() ? Hold.OffDueInMs(NowMs()) : -1;
    if (due < 0)
        HoldTimer->stop();
    else
        HoldTimer->start(int(due));
}

void TComLed::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    const bool wasLit = Hold.Lit();
    Hold.Update(NowMs());
    Show(wasLit);
}

void TComLed::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawPixmap(rect(), State() ? OnImage : OffImage);
}
