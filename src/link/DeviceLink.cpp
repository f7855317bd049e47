#include "link/DeviceLink.h"
#include "common/UserPrompts.h"
#include "link/PortSettingsPrompt.h"
#include <QDir>
#include <QFileInfo>

TDeviceLink::TDeviceLink(SerialPort& port, UserPrompts& prompts, PortSettingsPrompt& portPrompt,
                         QString settingsDir)
    : ComPortM(port), prompts_(prompts), portPrompt_(portPrompt), settingsDir_(std::move(settingsDir)) {
    ComPortM.OnRxChar = [this](int count) { ComPortMRxChar(count); };
    ComPortM.OnSignal = [this](TComSignal signal, bool on) { SignalChanged.Notify(signal, on); };
    // A port that went away closes the link as a failed write does.
    ComPortM.OnPortLost = [this](const QString&) { CloseLink(); };
}

TDeviceLink::~TDeviceLink() {
    ComPortM.OnRxChar = nullptr;
    ComPortM.OnPortLost = nullptr;
    ComPortM.OnSignal = nullptr;
}

bool TDeviceLink::OpenLink() {
    try {
        ComPortM.Open();
    } catch (const EComPort& e) {
        // No message box: the cycle simply stays idle, and the main window shows why.
        openFailure_ = PortOpenFailureText(ComPortM.Port(), e);
        OpenFailed.Notify();
        return false;
    }
    openFailure_.clear();
    portName_ = ComPortM.Port();
    const bool changed = !linkOpen_;
    linkOpen_ = true;
    if (changed) LinkStateChanged.Notify(true);
    return true;
}

bool TDeviceLink::CloseLink() {
    // Closed before the port, so that nothing is sent while it closes.
    const bool changed = linkOpen_;
    linkOpen_ = false;
    bool closed = true;
    try {
        ComPortM.Close();
        portName_.clear();
    } catch (const EComPort&) {
        closed = false;
    }
    if (changed) LinkStateChanged.Notify(false);
    return closed;
}

void TDeviceLink::SendFrame(QStringView payload) {
    const std::optional<QByteArray> frame = BuildFrame(ToWireBytes(payload));
    if (!frame || !linkOpen_) return;
    try {
        ComPortM.WriteStr(*frame);
    } catch (const EComPort&) {
        CloseLink();
    }
    if (sendLog_) SendLogLine.Notify(FromWireBytes(QByteArrayView(*frame).chopped(2)));
}

void TDeviceLink::ComPortMRxChar(int count) {
    try {
        const QByteArray chunk = ComPortM.ReadStr(count);
        for (char c : chunk)
            if (auto frame = receiver_.Feed(c)) HandleFrame(*frame);
    } catch (const std::exception&) {
        // A failed read or a failing handler drops the rest of the chunk, without a message.
        ChunkDropped.Notify(++droppedChunks_);
    }
}

void TDeviceLink::HandleFrame(const TParsedFrame& frame) {
    const QString text = FromWireBytes(frame.Text);
    if (!frame.Good) {
        if (receiveLog_) ReceiveLogLine.Notify(QStringLiteral("SumCheck Error! : ") + text);
        return;
    }
    if (receiveLog_) ReceiveLogLine.Notify(text);
    if (OnFrame) OnFrame(text);
}

QString TDeviceLink::SettingsPath() const {
    return QDir(settingsDir_).filePath(QStringLiteral("Port%1.ini").arg(Tag));
}

void TDeviceLink::LoadPortSettings() {
    if (portOverride_.isEmpty()) {
        ComPortM.LoadSettings(SettingsPath());
        return;
    }
    // Loaded over the file's own port, so that a file without a Port key keeps it; a load that
    // fails changes nothing.
    TComSettings loaded = ComPortM.Settings;
    loaded.Port = filePort_;
    LoadSettingsFile(loaded, SettingsPath());
    filePort_ = loaded.Port;
    loaded.Port = portOverride_;
    ComPortM.Settings = loaded;
    if (ComPortM.Connected()) ComPortM.ApplySettings();
}

void TDeviceLink::SavePortSettings() {
    TComSettings stored = ComPortM.Settings;
    if (!portOverride_.isEmpty() && stored.Port == portOverride_) stored.Port = filePort_;
    StoreSettingsFile(stored, SettingsPath());
}

void TDeviceLink::EditPortSettings() {
    const QList<TPortInfo> ports = ComPortM.AvailablePorts();
    TComSettings choice = ComPortM.Settings;
    choice.Port = ProposedPort(ports, choice.Port, QFileInfo::exists(SettingsPath()));
    const bool confirmed = portPrompt_.EditPortSettings(choice, ports);
    if (confirmed) ComPortM.Settings = choice;
    if (confirmed && ComPortM.Settings.Port != portOverride_) portOverride_.clear();
    SavePortSettings();
}

void TDeviceLink::SetPortOverride(const QString& port) {
    if (!portOverride_.isEmpty()) ComPortM.Settings.Port = filePort_;
    filePort_ = ComPortM.Settings.Port;
    portOverride_ = port;
    if (!port.isEmpty()) ComPortM.Settings.Port = port;
}

void TDeviceLink::BBSetupClick() {
    if (ComPortM.Connected()) {
        prompts_.ShowMessage(ChangeRefusedText);
        return;
    }
    try {
        EditPortSettings();
    } catch (const EComPort& e) {
        // The choice stays in force in memory; only the file could not be written.
        prompts_.ShowError(e.Message());
    }
}
