#pragma once
#include "common/Notifier.h"
#include "link/FrameCodec.h"
#include "link/PairList.h"
#include "link/SerialPort.h"
#include <QString>
#include <functional>

class PortSettingsPrompt;
class UserPrompts;

inline const QString ChangeRefusedText = QStringLiteral("接続中は変更できません");

// The one object through which the program talks to the instrument: frames and sends requests,
// reassembles and checks received frames, hands good ones to the frame handler, keeps the port
// settings file. The window TCommCtrlForm shows its traffic logs and indicators.
class TDeviceLink {
  public:
    TDeviceLink(SerialPort& port, UserPrompts& prompts, PortSettingsPrompt& portPrompt, QString settingsDir);
    ~TDeviceLink();
    TDeviceLink(const TDeviceLink&) = delete;
    TDeviceLink& operator=(const TDeviceLink&) = delete;

    SerialPort& ComPortM;
    int Tag = 0; // selects Port<Tag>.ini
    // Called once per good frame with "<" payload ">". The exchange installs it once, at its
    // construction: one answer has one taker.
    std::function<void(const QString& frame)> OnFrame;

    bool LinkOpen() const { return linkOpen_; }
    // Why the last open failed, for the user: the port, the system's reason, what to do. Empty
    // once a port has opened.
    const QString& OpenFailure() const { return openFailure_; }
    // The port the link opened; empty while closed.
    const QString& PortName() const { return portName_; }

    // The traffic logs, a line per logged frame while switched on.
    void SetSendLog(bool on) { sendLog_ = on; }
    void SetReceiveLog(bool on) { receiveLog_ = on; }
    TNotifier<const QString&> SendLogLine;
    TNotifier<const QString&> ReceiveLogLine;
    // The link opened or closed, by a caller or because the port failed.
    TNotifier<bool> LinkStateChanged;
    // A port did not open; OpenFailure() says why.
    TNotifier<> OpenFailed;
    // An indicator's signal went on or off.
    TNotifier<TComSignal, bool> SignalChanged;
    // Received data the link had to drop without telling the user: a failed read, or a frame
    // handler that raised. Counted so that it never passes unseen.
    int DroppedChunks() const { return droppedChunks_; }
    TNotifier<int> ChunkDropped;

    const QByteArray& RxBuffer() const { return receiver_.RxBuffer; }
    qint8 RxState() const { return receiver_.RxState; }

    bool OpenLink();
    bool CloseLink();
    void SendFrame(QStringView payload);
    void ComPortMRxChar(int count);

    QString SettingsPath() const;
    // Raise EComPort when the file cannot be read or written.
    void LoadPortSettings();
    void SavePortSettings();
    void EditPortSettings();
    // The command line's --port: this port stands in for the settings file's after every load and is
    // never stored; the file keeps its own. A different port confirmed in the setup dialog ends it
    // and is stored as usual. Empty: none.
    void SetPortOverride(const QString& port);
    const QString& PortOverride() const { return portOverride_; }
    // Refuses while the port is open; a settings file error reaches the general error box.
    void BBSetupClick();

  private:
    void HandleFrame(const TParsedFrame& frame);

    UserPrompts& prompts_;
    PortSettingsPrompt& portPrompt_;
    QString settingsDir_;
    QString portOverride_;
    // The port the settings file gave (or the default) while the override stands in for it.
    QString filePort_;
    TFrameReceiver receiver_;
    bool linkOpen_ = false;
    QString portName_;
    QString openFailure_;
    bool sendLog_ = false;
    bool receiveLog_ = false;
    int droppedChunks_ = 0;
};
