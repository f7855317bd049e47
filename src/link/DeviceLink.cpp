#include "link/DeviceLink.h"
#include "acquisition/MeasurementStore.h"
#include "common/UserPrompts.h"
#include <QDir>

TDeviceLink::TDeviceLink(SerialPort& port, TMySts& sts, UserPrompts& prompts, QString settingsDir)
    : ComPortM(port), sts_(sts), prompts_(prompts), settingsDir_(std::move(settingsDir)) {
    ComPortM.OnRxChar = [this](int count) { ComPortMRxChar(count); };
    // A port that went away closes the link as a failed write does.
    ComPortM.OnPortLost = [this](const QString&) { CloseLink(); };
}

TDeviceLink::~TDeviceLink() {
    ComPortM.OnRxChar = nullptr;
    ComPortM.OnPortLost = nullptr;
}

void TDeviceLink::SetLinkOpen(bool open) {
    const bool changed = LinkOpen != open;
    LinkOpen = open;
    if (changed && OnLinkStateChanged) OnLinkStateChanged(open);
}

bool TDeviceLink::OpenLink() {
    try {
        ComPortM.Open();
    } catch (const EComPort&) {
        return false; // silent: the cycle simply stays idle
    }
    sts_.PortName = ComPortM.Port();
    SetLinkOpen(true);
    return true;
}

bool TDeviceLink::CloseLink() {
    SetLinkOpen(false);
    try {
        ComPortM.Close();
    } catch (const EComPort&) {
        return false;
    }
    sts_.PortName.clear();
    return true;
}

void TDeviceLink::SendFrame(QStringView payload) {
    const std::optional<QByteArray> frame = BuildFrame(ToWireBytes(payload));
    if (!frame || !LinkOpen) return;
    try {
        ComPortM.WriteStr(*frame);
    } catch (const EComPort&) {
        CloseLink();
    }
    if (CBSendLog && OnSendLogLine) OnSendLogLine(FromWireBytes(QByteArrayView(*frame).chopped(2)));
}

void TDeviceLink::ComPortMRxChar(int count) {
    try {
        const QByteArray chunk = ComPortM.ReadStr(count);
        for (char c : chunk)
            if (auto frame = receiver_.Feed(c)) HandleFrame(*frame);
    } catch (const std::exception&) {
        // A failed read or a failing handler drops the rest of the chunk, without a message.
    }
}

void TDeviceLink::HandleFrame(const TParsedFrame& frame) {
    const QString text = FromWireBytes(frame.Text);
    if (!frame.Good) {
        if (CBReciveLog && OnReceiveLogLine) OnReceiveLogLine(QStringLiteral("SumCheck Error! : ") + text);
        return;
    }
    if (CBReciveLog && OnReceiveLogLine) OnReceiveLogLine(text);
    if (OnFrame) OnFrame(text);
}

QString TDeviceLink::SettingsPath() const {
    return QDir(settingsDir_).filePath(QStringLiteral("Port%1.ini").arg(Tag));
}

void TDeviceLink::LoadPortSettings() { ComPortM.LoadSettings(SettingsPath()); }

void TDeviceLink::SavePortSettings() { ComPortM.StoreSettings(SettingsPath()); }

void TDeviceLink::EditPortSettings() {
    prompts_.EditPortSettings(ComPortM.Settings, ComPortM.AvailablePorts());
    SavePortSettings();
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
