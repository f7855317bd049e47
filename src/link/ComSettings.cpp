#include "link/ComSettings.h"
#include "common/IniFile.h"

EComPort::EComPort(const QString& message, int code)
    : std::runtime_error(QStringLiteral("%1 (Error: %2)").arg(message).arg(code).toStdString()) {}

QString PortOpenFailureText(const QString& port, const EComPort& error) {
    QString text = port + QStringLiteral(": ") + (error.Reason.isEmpty() ? error.Message() : error.Reason);
    switch (error.Problem) {
    case TPortProblem::Missing:
        return text + QStringLiteral(" — choose the instrument's port in the port settings");
    case TPortProblem::Denied:
        return text + QStringLiteral(" — add your user to the dialout group");
    case TPortProblem::Busy:
        return text + QStringLiteral(" — another program holds the port");
    case TPortProblem::NotSerial:
        return text + QStringLiteral(" — not a serial port");
    case TPortProblem::Other:
        break;
    }
    return text;
}

TComSettings TComSettings::ProgramDefaults() {
    TComSettings s;
    s.Port = "COM7";
    s.BaudRate = TBaudRate::br38400;
    s.DiscardNull = true;
    s.Buffer.InputSize = 2048;
    s.Buffer.OutputSize = 1024;
    return s;
}

int TComSettings::BaudRateValue() const {
    if (BaudRate == TBaudRate::brCustom) return CustomBaudRate;
    return BaudRateNames[int(BaudRate)].toInt();
}

TFlowControl TComSettings::GetFlowControl() const {
    const auto& f = FlowControl;
    const bool xonBoth = f.XonXoffIn && f.XonXoffOut;
    const bool xonNone = !f.XonXoffIn && !f.XonXoffOut;
    if (f.ControlRTS == TRTSFlowControl::rtsHandshake && f.OutCTSFlow && xonNone)
        return TFlowControl::fcHardware;
    if (f.ControlRTS == TRTSFlowControl::rtsDisable && !f.OutCTSFlow && xonBoth)
        return TFlowControl::fcSoftware;
    if (f.ControlRTS == TRTSFlowControl::rtsDisable && !f.OutCTSFlow && xonNone) return TFlowControl::fcNone;
    return TFlowControl::fcCustom;
}

void TComSettings::SetFlowControl(TFlowControl value) {
    auto& f = FlowControl;
    switch (value) {
    case TFlowControl::fcHardware:
        f.ControlRTS = TRTSFlowControl::rtsHandshake;
        f.OutCTSFlow = true;
        f.XonXoffIn = f.XonXoffOut = false;
        break;
    case TFlowControl::fcSoftware:
        f.ControlRTS = TRTSFlowControl::rtsDisable;
        f.OutCTSFlow = false;
        f.XonXoffIn = f.XonXoffOut = true;
        break;
    case TFlowControl::fcNone:
        f.ControlRTS = TRTSFlowControl::rtsDisable;
        f.OutCTSFlow = false;
        f.XonXoffIn = f.XonXoffOut = false;
        break;
    case TFlowControl::fcCustom:
        break;
    }
}

namespace {
template <typename E> E FromName(const QStringList& names, const QString& name, E fallback) {
    for (int i = 0; i < names.size(); ++i)
        if (names[i].compare(name, Qt::CaseInsensitive) == 0) return E(i);
    return fallback;
}
} // namespace

QString BaudRateName(TBaudRate v) {
    return BaudRateNames[int(v)];
}
QString StopBitsName(TStopBits v) {
    return StopBitsNames[int(v)];
}
QString DataBitsName(TDataBits v) {
    return DataBitsNames[int(v)];
}
QString ParityName(TParityBits v) {
    return ParityNames[int(v)];
}
QString FlowControlName(TFlowControl v) {
    return FlowControlNames[int(v)];
}

TBaudRate BaudRateFromName(const QString& name) {
    return FromName(BaudRateNames, name, TBaudRate::br9600);
}
TStopBits StopBitsFromName(const QString& name) {
    return FromName(StopBitsNames, name, TStopBits::sbOneStopBit);
}
TDataBits DataBitsFromName(const QString& name) {
    return FromName(DataBitsNames, name, TDataBits::dbEight);
}
TParityBits ParityFromName(const QString& name) {
    return FromName(ParityNames, name, TParityBits::prNone);
}
TFlowControl FlowControlFromName(const QString& name) {
    return FromName(FlowControlNames, name, TFlowControl::fcCustom);
}

void StoreSettingsTo(const TComSettings& s, IniFile& ini) {
    ini.WriteString(ComPortSection, "Port", s.Port);
    ini.WriteString(ComPortSection, "BaudRate", BaudRateName(s.BaudRate));
    if (s.BaudRate == TBaudRate::brCustom)
        ini.WriteInteger(ComPortSection, "CustomBaudRate", s.CustomBaudRate);
    ini.WriteString(ComPortSection, "StopBits", StopBitsName(s.StopBits));
    ini.WriteString(ComPortSection, "DataBits", DataBitsName(s.DataBits));
    ini.WriteString(ComPortSection, "Parity", ParityName(s.Parity.Bits));
    ini.WriteString(ComPortSection, "FlowControl", FlowControlName(s.GetFlowControl()));
}

void LoadSettingsFrom(TComSettings& s, const IniFile& ini) {
    auto read = [&](const char* key, const QString& current) {
        return ini.ReadString(ComPortSection, key, current);
    };
    s.Port = read("Port", s.Port);
    s.BaudRate = BaudRateFromName(read("BaudRate", BaudRateName(s.BaudRate)));
    s.CustomBaudRate = ini.ReadInteger(ComPortSection, "CustomBaudRate", 9600);
    s.StopBits = StopBitsFromName(read("StopBits", StopBitsName(s.StopBits)));
    s.DataBits = DataBitsFromName(read("DataBits", DataBitsName(s.DataBits)));
    s.Parity.Bits = ParityFromName(read("Parity", ParityName(s.Parity.Bits)));
    s.SetFlowControl(FlowControlFromName(read("FlowControl", FlowControlName(s.GetFlowControl()))));
}

void StoreSettingsFile(const TComSettings& settings, const QString& path) {
    IniFile ini;
    if (!ini.Load(path)) throw EComPort("Failed to store settings");
    StoreSettingsTo(settings, ini);
    if (!ini.Save(path)) throw EComPort("Failed to store settings");
}

void LoadSettingsFile(TComSettings& settings, const QString& path) {
    IniFile ini;
    if (!ini.Load(path)) throw EComPort("Failed to load settings");
    if (!ini.Exists()) return;
    LoadSettingsFrom(settings, ini);
}
