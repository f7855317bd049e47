#pragma once
#include <QString>
#include <QStringList>
#include <array>
#include <stdexcept>

class IniFile;

// Why a port did not open, as far as the user can do something about it.
enum class TPortProblem {
    Other,
    Missing,   // no such device here
    Denied,    // the user may not open it
    Busy,      // another program holds it
    NotSerial, // it exists but is no serial port
};

// Errors of the serial component travel as exceptions carrying the message text; the link catches
// the open, read and write errors.
class EComPort : public std::runtime_error {
  public:
    explicit EComPort(const QString& message) : std::runtime_error(message.toStdString()) {}
    // " (Error: %d)" is appended when the system's code is known.
    EComPort(const QString& message, int code);
    // With the system's words for the failure and what kind of problem it is.
    EComPort(const QString& message, int code, QString reason, TPortProblem problem)
        : EComPort(message, code) {
        Reason = std::move(reason);
        Problem = problem;
    }
    QString Message() const { return QString::fromStdString(what()); }

    QString Reason;
    TPortProblem Problem = TPortProblem::Other;
};

// What the user reads where a port did not open: the port, the system's reason and what to do,
// e.g. "/dev/ttyS0: Permission denied — add your user to the dialout group".
QString PortOpenFailureText(const QString& port, const EComPort& error);

enum class TBaudRate {
    brCustom,
    br110,
    br300,
    br600,
    br1200,
    br2400,
    br4800,
    br9600,
    br14400,
    br19200,
    br38400,
    br56000,
    br57600,
    br115200,
    br128000,
    br256000
};
enum class TStopBits { sbOneStopBit, sbOne5StopBits, sbTwoStopBits };
enum class TDataBits { dbFive, dbSix, dbSeven, dbEight };
enum class TParityBits { prNone, prOdd, prEven, prMark, prSpace };
enum class TDTRFlowControl { dtrDisable, dtrEnable, dtrHandshake };
enum class TRTSFlowControl { rtsDisable, rtsEnable, rtsHandshake, rtsToggle };
enum class TFlowControl { fcHardware, fcSoftware, fcNone, fcCustom };

// Names in the order of the setup dialog's lists and of the settings file.
inline const QStringList BaudRateNames = {"Custom", "110",    "300",    "600",   "1200",  "2400",
                                          "4800",   "9600",   "14400",  "19200", "38400", "56000",
                                          "57600",  "115200", "128000", "256000"};
inline const QStringList StopBitsNames = {"1", "1.5", "2"};
inline const QStringList DataBitsNames = {"5", "6", "7", "8"};
inline const QStringList ParityNames = {"None", "Odd", "Even", "Mark", "Space"};
inline const QStringList FlowControlNames = {"Hardware", "Software", "None", "Custom"};

struct TComParity {
    TParityBits Bits = TParityBits::prNone;
    bool Check = false;
    bool Replace = false;
    bool operator==(const TComParity&) const = default;
};

struct TComFlowControl {
    bool OutCTSFlow = false;
    bool OutDSRFlow = false;
    TDTRFlowControl ControlDTR = TDTRFlowControl::dtrDisable;
    TRTSFlowControl ControlRTS = TRTSFlowControl::rtsDisable;
    bool XonXoffOut = false;
    bool XonXoffIn = false;
    char XonChar = 17;
    char XoffChar = 19;
    bool operator==(const TComFlowControl&) const = default;
};

struct TComBuffer {
    int InputSize = 1024;
    int OutputSize = 1024;
    bool operator==(const TComBuffer&) const = default;
};

// The line settings of the port, with the component's own defaults.
struct TComSettings {
    QString Port = "COM1";
    TBaudRate BaudRate = TBaudRate::br9600;
    int CustomBaudRate = 9600;
    TDataBits DataBits = TDataBits::dbEight;
    TStopBits StopBits = TStopBits::sbOneStopBit;
    TComParity Parity;
    bool DiscardNull = false;
    TComFlowControl FlowControl;
    TComBuffer Buffer;
    // Write time-out: 100 ms per byte plus 1000 ms.
    int WriteTotalMultiplier = 100;
    int WriteTotalConstant = 1000;

    // The values this program runs with: COM7, 38400 8N1, no flow control, NULs dropped.
    static TComSettings ProgramDefaults();

    int BaudRateValue() const; // the line speed in bits per second
    TFlowControl GetFlowControl() const;
    void SetFlowControl(TFlowControl value); // fcCustom changes nothing
    bool operator==(const TComSettings&) const = default;
};

// Names of the settings; an unknown name gives the fallback of the settings file.
QString BaudRateName(TBaudRate v);
QString StopBitsName(TStopBits v);
QString DataBitsName(TDataBits v);
QString ParityName(TParityBits v);
QString FlowControlName(TFlowControl v);
TBaudRate BaudRateFromName(const QString& name);       // unknown: 9600
TStopBits StopBitsFromName(const QString& name);       // unknown: 1
TDataBits DataBitsFromName(const QString& name);       // unknown: 8
TParityBits ParityFromName(const QString& name);       // unknown: None
TFlowControl FlowControlFromName(const QString& name); // unknown: Custom

// The basic settings in the section [ComPortM]: Port, BaudRate, CustomBaudRate (only with
// "Custom"), StopBits, DataBits, Parity, FlowControl.
inline constexpr const char* ComPortSection = "ComPortM";
void StoreSettingsTo(const TComSettings& settings, IniFile& ini);
// A missing key keeps the current setting, except CustomBaudRate, which becomes 9600; a value that
// names nothing known becomes that key's fallback (BaudRate 9600, StopBits 1, DataBits 8, Parity
// None, FlowControl Custom).
void LoadSettingsFrom(TComSettings& settings, const IniFile& ini);
// Raise "Failed to store settings" / "Failed to load settings".
void StoreSettingsFile(const TComSettings& settings, const QString& path);
// A missing file changes nothing.
void LoadSettingsFile(TComSettings& settings, const QString& path);
