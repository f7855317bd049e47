#pragma once
#include "link/LampHold.h"
#include "link/SerialPort.h"
#include <QPixmap>
#include <QWidget>
#include <functional>

class QTimer;

// A 25x25 lamp showing one signal of the serial port. The send and receive lamps show activity:
// once lit they stay lit for TLampHold::ActivityHoldMs at least, so that a signal switched on and
// off at once is still seen. The connection lamp shows the port's state as it is.
class TComLed : public QWidget {
    Q_OBJECT
  public:
    enum TColour { Red, Green, Yellow };

    TComLed(TComSignal signal, TColour colour, QWidget* parent = nullptr);

    // Lit as shown (the signal, held).
    bool State() const { return Hold.Lit(); }
    void SetState(bool on);
    // Every lamp hears every signal; only its own changes it.
    void SignalChanged(TComSignal signal, bool on) {
        if (signal == Sig) SetState(on);
    }
    // The steady clock in milliseconds; tests set their own.
    std::function<qint64()> NowMs;
    // Fires when a held lamp's off is due.
    QTimer* HoldTimer = nullptr;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void Show(bool wasLit);

    TComSignal Sig;
    TLampHold Hold;
    QPixmap OnImage;
    QPixmap OffImage;
};
