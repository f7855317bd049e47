#pragma once
#include "link/ComSettings.h"
#include "link/PortList.h"
#include <QByteArray>
#include <QStringList>
#include <functional>

// The three signals that the indicators show.
enum class TComSignal { Connection, Transmit, Receive };

// The seam between the link and a serial port. The program uses TComPort on QSerialPort; tests use
// an in-memory port. Every event is delivered on the user-interface thread.
class SerialPort {
  public:
    virtual ~SerialPort() = default;

    TComSettings Settings = TComSettings::ProgramDefaults();

    // Raises EComPort ("Unable to open com port", ...) with the system's reason and the kind of
    // problem. Does nothing if already open.
    virtual void Open() = 0;
    // Does nothing if not open. Bytes still queued are discarded; no event arrives afterwards.
    virtual void Close() = 0;
    virtual bool Connected() const = 0;
    QString Port() const { return Settings.Port; }

    // One byte per character, the low 8 bits. Raises EComPort on failure or when not open.
    virtual void WriteStr(const QByteArray& bytes) = 0;
    // Up to `count` bytes already waiting, without waiting for more.
    virtual QByteArray ReadStr(int count) = 0;
    // Makes changed settings take effect on an open port.
    virtual void ApplySettings() {}
    // The ports to offer in the setup dialog, described.
    virtual QList<TPortInfo> AvailablePorts() const { return {}; }

    // Settings file in the INI layout of [ComPortM]; raise "Failed to store settings" /
    // "Failed to load settings". Loading applies to an open port.
    void StoreSettings(const QString& path) const { StoreSettingsFile(Settings, path); }
    void LoadSettings(const QString& path) {
        LoadSettingsFile(Settings, path);
        if (Connected()) ApplySettings();
    }

    // Bytes have arrived; `count` is the number waiting.
    std::function<void(int count)> OnRxChar;
    // The port failed while open (the device went away); the port is already closed.
    std::function<void(const QString& message)> OnPortLost;
    // An indicator's signal went on or off.
    std::function<void(TComSignal signal, bool on)> OnSignal;

  protected:
    void NotifySignal(TComSignal signal, bool on) {
        if (OnSignal) OnSignal(signal, on);
    }
};
