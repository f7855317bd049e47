#pragma once
#include "link/FrameCodec.h"
#include "link/PairList.h"
#include "link/SerialPort.h"
#include <QString>
#include <functional>

struct TMySts;
class UserPrompts;

inline const QString ChangeRefusedText = QStringLiteral("接続中は変更できません");

// The one object through which the program talks to the instrument: frames and sends requests,
// reassembles and checks received frames, hands good ones to the frame handler, keeps the port
// settings file. The window TCommCtrlForm shows its traffic logs and indicators.
class TDeviceLink {
public:
    TDeviceLink(SerialPort& port, TMySts& sts, UserPrompts& prompts, QString settingsDir);
    ~TDeviceLink();
    TDeviceLink(const TDeviceLink&) = delete;
    TDeviceLink& operator=(const TDeviceLink&) = delete;

    SerialPort& ComPortM;
    int Tag = 0; // selects Port<Tag>.ini
    bool LinkOpen = false;
    // Called once per good frame with "<" payload ">"; installing replaces the previous handler.
    std::function<void(const QString& frame)> OnFrame;
    bool CBSendLog = false;
    bool CBReciveLog = false;
    // The log views; a line per logged frame.
    std::function<void(const QString& line)> OnSendLogLine;
    std::function<void(const QString& line)> OnReceiveLogLine;
    // The link opened or closed, by a caller or because the port failed.
    std::function<void(bool open)> OnLinkStateChanged;

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
    // Refuses while the port is open; a settings file error reaches the general error box.
    void BBSetupClick();

private:
    void HandleFrame(const TParsedFrame& frame);
    void SetLinkOpen(bool open);

    TMySts& sts_;
    UserPrompts& prompts_;
    QString settingsDir_;
    TFrameReceiver receiver_;
};
