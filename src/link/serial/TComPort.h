#pragma once
#include "link/SerialPort.h"
#include <QObject>
#include <array>

class QSerialPort;

// The real serial port, on QSerialPort. It lives on the user-interface thread, so received data,
// port errors, timer ticks and button clicks are events of one loop: they never overlap and need no
// locking. Of the callbacks only OnPortLost may delete the port.
class TComPort : public QObject, public SerialPort {
    Q_OBJECT
  public:
    explicit TComPort(QObject* parent = nullptr);
    ~TComPort() override;

    // Settings.Port is a name under /dev ("ttyUSB0") or a path (a device or a symbolic link).
    void Open() override;
    void Close() override;
    bool Connected() const override;
    // Returns once every byte is with the driver; raises "WriteFile function failed" after
    // WriteTotalMultiplier * size + WriteTotalConstant ms.
    void WriteStr(const QByteArray& bytes) override;
    QByteArray ReadStr(int count) override;
    // Raises "SetCommState function failed" when the device refuses a setting.
    void ApplySettings() override;
    QStringList AvailablePorts() const override;

    // What AvailablePorts() gives, without a port object: the system's ports plus `current` when
    // that is the path of an existing device they do not already name.
    static QStringList SystemPorts(const QString& current = {});

  private:
    void SetSignal(TComSignal signal, bool on);
    bool ApplyLineSettings();
    void ApplyModemLines();
    void Shutdown();
    void HandleReadyRead();
    void HandleBytesWritten();
    void HandleError(int error);
    void DeliverRxLater();

    QSerialPort* Port;
    // Inside one of our own calls: errors raise exceptions there instead of counting as a lost port.
    int Busy = 0;
    // Changes at every open and close, so deliveries queued for an earlier connection are dropped.
    quint64 Session = 0;
    bool RxDeferred = false;
    std::array<bool, 3> Lit{};
};
