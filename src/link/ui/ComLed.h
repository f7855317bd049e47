#pragma once
#include "link/SerialPort.h"
#include <QPixmap>
#include <QWidget>

// A 25x25 lamp showing one signal of the serial port.
class TComLed : public QWidget {
    Q_OBJECT
  public:
    enum TColour { Red, Green, Yellow };

    TComLed(TComSignal signal, TColour colour, QWidget* parent = nullptr);

    bool State() const { return On; }
    void SetState(bool on);
    // Every lamp hears every signal; only its own changes it.
    void SignalChanged(TComSignal signal, bool on) {
        if (signal == Sig) SetState(on);
    }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    TComSignal Sig;
    bool On = false;
    QPixmap OnImage;
    QPixmap OffImage;
};
