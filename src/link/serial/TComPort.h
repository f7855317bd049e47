#pragma once
#include "link/SerialPort.h"
#include <QObject>
#include <array>

class QSerialPort;

// The real serial port, on QSerialPort. It lives on the user-interface thread, so received data,
// port errors, timer ticks and button clicks are events of one loop: they never overlap and need no
// locking. Of the callbacks only OnPortLost may delete the port.
//
// The number in an error's " (Error: n)" is the system's errno where the system gave one, and
// otherwise Qt's QSerialPort::SerialPortError; the two ranges overlap (2 is ENOENT and Qt's
// PermissionError), so the message and the situation say which it is.
class TComPort : public QObject, public SerialPort {
    Q_OBJECT
  public:
    explicit TComPort(QObject* parent = nullptr);
    ~TComPort() override;

    // Settings.Port is a name under /dev ("ttyUSB0") or a path (a device or a symbolic link).
    // "Unable to open com port" carries the system's number (ENOENT for a missing device, ENOTTY for
    // a file that is no terminal), or Qt's when Qt refused by itself (its lock file is held).
    void Open() override;
    void Close() override;
    bool Connected() const override;
    // Returns once every byte is with the driver; raises "WriteFile function failed" with Qt's
    // TimeoutError after WriteTotalMultiplier * size + WriteTotalConstant ms, or with the system's
    // number (EIO) when the device is gone.
    void WriteStr(const QByteArray& bytes) override;
    // "ReadFile function failed" carries its number as a failed write does.
    QByteArray ReadStr(int count) override;
    // Raises "SetCommState function failed" when a setting is refused: with the system's number when
    // the device refuses it, with Qt's when Qt does (UnsupportedOperationError for a baud rate of 0).
    void ApplySettings() override;
    QList<TPortInfo> AvailablePorts() const override;

    // What AvailablePorts() gives, without a port object: the /dev/serial/by-id links and the
    // system's ports, described, plus `current` when that is the path of an existing device they do
    // not already name.
    static QList<TPortInfo> SystemPorts(const QString& current = {});

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
    // errno when Qt last signalled an error, taken before anything else can change it.
    int SignalledErrno = 0;
    // Changes at every open and close, so deliveries queued for an earlier connection are dropped.
    quint64 Session = 0;
    bool RxDeferred = false;
    std::array<bool, 3> Lit{};
};
