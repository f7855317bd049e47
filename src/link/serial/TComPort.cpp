#include "link/serial/TComPort.h"
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QSerialPort>
#include <QSerialPortInfo>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <termios.h>

namespace {

class BusyScope {
  public:
    explicit BusyScope(int& depth) : Depth(depth) { ++Depth; }
    ~BusyScope() { --Depth; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

  private:
    int& Depth;
};

QSerialPort::DataBits ToQt(TDataBits v) {
    switch (v) {
    case TDataBits::dbFive:
        return QSerialPort::Data5;
    case TDataBits::dbSix:
        return QSerialPort::Data6;
    case TDataBits::dbSeven:
        return QSerialPort::Data7;
    case TDataBits::dbEight:
        break;
    }
    return QSerialPort::Data8;
}

QSerialPort::StopBits ToQt(TStopBits v) {
    switch (v) {
    case TStopBits::sbOne5StopBits:
        return QSerialPort::OneAndHalfStop;
    case TStopBits::sbTwoStopBits:
        return QSerialPort::TwoStop;
    case TStopBits::sbOneStopBit:
        break;
    }
    return QSerialPort::OneStop;
}

QSerialPort::Parity ToQt(TParityBits v) {
    switch (v) {
    case TParityBits::prOdd:
        return QSerialPort::OddParity;
    case TParityBits::prEven:
        return QSerialPort::EvenParity;
    case TParityBits::prMark:
        return QSerialPort::MarkParity;
    case TParityBits::prSpace:
        return QSerialPort::SpaceParity;
    case TParityBits::prNone:
        break;
    }
    return QSerialPort::NoParity;
}

QSerialPort::FlowControl ToQt(const TComFlowControl& f) {
    if (f.ControlRTS == TRTSFlowControl::rtsHandshake && f.OutCTSFlow) return QSerialPort::HardwareControl;
    if (f.XonXoffIn || f.XonXoffOut) return QSerialPort::SoftwareControl;
    return QSerialPort::NoFlowControl;
}

int ClampedCount(qint64 n) {
    return int(std::min<qint64>(n, INT_MAX));
}

// The system's number behind a failed open or setting, or 0 when Qt refused by itself. `signalled`
// is errno as the error signal found it, still the failed call's (see the constructor). Qt's own
// refusals (its lock file, an invalid baud rate) leave errno at whatever their own calls left, and
// QSerialPort does not say which kind an error is; but Qt words a system error with
// qt_error_string(errno), so the words tell whether `signalled` is the error's number.
int SystemErrorCode(const QSerialPort& port, int signalled) {
    return signalled != 0 && qt_error_string(signalled) == port.errorString() ? signalled : 0;
}

int CallErrorCode(const QSerialPort& port, int signalled) {
    const int code = SystemErrorCode(port, signalled);
    return code != 0 ? code : port.error();
}

TPortProblem OpenProblem(const QSerialPort& port, int signalled) {
    switch (SystemErrorCode(port, signalled)) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return TPortProblem::Missing;
    case EACCES:
    case EPERM:
        return TPortProblem::Denied;
    case EBUSY:
        return TPortProblem::Busy;
    case ENOTTY:
    case EISDIR:
        return TPortProblem::NotSerial;
    case 0:
        break;
    default:
        return TPortProblem::Other;
    }
    // Qt's own refusals: its lock file is held by another program, or the port is open here already.
    const QSerialPort::SerialPortError error = port.error();
    return error == QSerialPort::PermissionError || error == QSerialPort::OpenError ? TPortProblem::Busy
                                                                                    : TPortProblem::Other;
}

QString Described(const QSerialPortInfo& info) {
    QStringList parts;
    for (const QString& part : {info.description(), info.manufacturer()})
        if (!part.isEmpty() && !parts.contains(part)) parts << part;
    if (!info.serialNumber().isEmpty()) parts << QStringLiteral("S/N ") + info.serialNumber();
    return parts.join(QStringLiteral(", "));
}

// The system's number behind a failed write or read, or else Qt's own. Qt's words are no guide
// here: a read that meets the end of the file is worded with whatever errno held before, often the
// ENOTTY of Qt's own query of the serial driver. The descriptor is: once the device is gone it
// answers every call with the system's error (EIO when hung up); when it still answers, the failure
// was Qt's own (a time-out).
int IoErrorCode(const QSerialPort& port) {
    termios tio{};
    if (port.handle() >= 0 && ::tcgetattr(port.handle(), &tio) == -1) return errno;
    return port.error();
}

} // namespace

TComPort::TComPort(QObject* parent) : QObject(parent), Port(new QSerialPort(this)) {
    // Unlimited: a limit makes QSerialPort stop reading the device, and the driver then drops bytes.
    Port->setReadBufferSize(0);
    connect(Port, &QSerialPort::readyRead, this, &TComPort::HandleReadyRead);
    connect(Port, &QSerialPort::bytesWritten, this, &TComPort::HandleBytesWritten);
    // Qt signals an error straight from the call that failed, having only worded it since, so errno
    // is still that call's here; by the time the call returns, Qt's cleanup (its lock file) has made
    // calls of its own.
    connect(Port, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError e) {
        if (e != QSerialPort::NoError) SignalledErrno = errno;
        HandleError(e);
    });
}

TComPort::~TComPort() {
    // The owner's windows and indicators may already be gone.
    OnRxChar = nullptr;
    OnPortLost = nullptr;
    OnSignal = nullptr;
    Close();
    // The handlers use members that are gone by the time ~QObject deletes the port.
    Port->disconnect(this);
}

void TComPort::Open() {
    if (Connected()) return;
    BusyScope busy(Busy);
    Port->setPortName(Settings.Port);
    // Settings made while closed are applied by open(), where a refusal would pass for an open
    // failure; start from plain ones and apply ours afterwards.
    Port->setBaudRate(QSerialPort::Baud9600);
    Port->setDataBits(QSerialPort::Data8);
    Port->setParity(QSerialPort::NoParity);
    Port->setStopBits(QSerialPort::OneStop);
    Port->setFlowControl(QSerialPort::NoFlowControl);
    SignalledErrno = 0;
    if (!Port->open(QIODevice::ReadWrite)) {
        const int code = CallErrorCode(*Port, SignalledErrno);
        const QString reason = Port->errorString();
        const TPortProblem problem = OpenProblem(*Port, SignalledErrno);
        Port->clearError();
        throw EComPort("Unable to open com port", code, reason, problem);
    }
    SignalledErrno = 0;
    if (!ApplyLineSettings()) {
        const int code = CallErrorCode(*Port, SignalledErrno);
        Port->close();
        Port->clearError();
        throw EComPort("SetCommState function failed", code);
    }
    ApplyModemLines();
    Port->clearError();
    ++Session;
    SetSignal(TComSignal::Connection, true);
}

void TComPort::Close() {
    if (Connected()) Shutdown();
}

bool TComPort::Connected() const {
    return Port->isOpen();
}

void TComPort::WriteStr(const QByteArray& bytes) {
    if (!Connected()) throw EComPort("Port Not Open");
    if (bytes.isEmpty()) return;
    BusyScope busy(Busy);
    SetSignal(TComSignal::Transmit, true);
    const QDeadlineTimer deadline(std::max<qint64>(0, qint64(Settings.WriteTotalMultiplier) * bytes.size() +
                                                          Settings.WriteTotalConstant));
    bool ok = Port->write(bytes) == bytes.size();
    // waitForBytesWritten returns after each chunk the driver takes.
    while (ok && Port->bytesToWrite() > 0)
        ok = Port->waitForBytesWritten(int(std::min<qint64>(deadline.remainingTime(), INT_MAX)));
    if (!ok) {
        const int code = IoErrorCode(*Port);
        // Whatever is left must not dribble out after the caller has given up on it.
        Port->clear(QSerialPort::Output);
        Port->clearError();
        SetSignal(TComSignal::Transmit, false);
        throw EComPort("WriteFile function failed", code);
    }
}

QByteArray TComPort::ReadStr(int count) {
    if (!Connected()) throw EComPort("Port Not Open");
    BusyScope busy(Busy);
    QByteArray result;
    while (result.size() < count && Port->bytesAvailable() > 0) {
        QByteArray chunk(count - result.size(), Qt::Uninitialized);
        const qint64 n = Port->read(chunk.data(), chunk.size());
        if (n < 0) {
            const int code = IoErrorCode(*Port);
            Port->clearError();
            throw EComPort("ReadFile function failed", code);
        }
        chunk.truncate(n);
        // QSerialPort cannot drop NULs itself; dropping them here keeps `count` meaning real bytes.
        if (Settings.DiscardNull) chunk.removeIf([](char c) { return c == '\0'; });
        result += chunk;
    }
    if (Port->bytesAvailable() == 0) SetSignal(TComSignal::Receive, false);
    return result;
}

void TComPort::ApplySettings() {
    if (!Connected()) return;
    BusyScope busy(Busy);
    SignalledErrno = 0;
    const bool ok = ApplyLineSettings();
    const int code = CallErrorCode(*Port, SignalledErrno);
    if (ok) ApplyModemLines();
    Port->clearError();
    if (!ok) throw EComPort("SetCommState function failed", code);
}

QList<TPortInfo> TComPort::AvailablePorts() const {
    return SystemPorts(Settings.Port);
}

QList<TPortInfo> TComPort::SystemPorts(const QString& current) {
    QList<TPortInfo> system;
    QStringList locations;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        system << TPortInfo{info.portName(), Described(info)};
        locations << info.systemLocation();
    }
    QList<TPortLink> byId;
    const QDir links(QStringLiteral("/dev/serial/by-id"));
    for (const QFileInfo& link : links.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot))
        if (link.isSymLink() && link.exists())
            byId << TPortLink{link.absoluteFilePath(), link.canonicalFilePath()};
    QList<TPortInfo> ports = MergePortList(system, byId);
    // A typed path (a pseudo-terminal, a link elsewhere) is not among the system's ports but is
    // still a valid choice.
    const bool listed =
        locations.contains(current) ||
        std::any_of(ports.begin(), ports.end(), [&](const TPortInfo& p) { return p.Path == current; });
    if (current.contains('/') && QFileInfo::exists(current) && !listed) ports << TPortInfo{current, {}};
    return ports;
}

void TComPort::SetSignal(TComSignal signal, bool on) {
    bool& lit = Lit[size_t(signal)];
    if (lit == on) return;
    lit = on;
    NotifySignal(signal, on);
}

// Settings.Buffer, the driver's queue sizes (input 2048, output 1024), is not applied: Linux has no
// call to size a terminal's queues, the kernel and the driver fix them.
bool TComPort::ApplyLineSettings() {
    return Port->setBaudRate(Settings.BaudRateValue()) && Port->setDataBits(ToQt(Settings.DataBits)) &&
           Port->setParity(ToQt(Settings.Parity.Bits)) && Port->setStopBits(ToQt(Settings.StopBits)) &&
           Port->setFlowControl(ToQt(Settings.FlowControl));
}

// Failures are ignored: pseudo-terminals and some adapters have no modem lines, and the line works
// without them.
void TComPort::ApplyModemLines() {
    switch (Settings.FlowControl.ControlDTR) {
    case TDTRFlowControl::dtrDisable:
        Port->setDataTerminalReady(false);
        break;
    case TDTRFlowControl::dtrEnable:
        Port->setDataTerminalReady(true);
        break;
    case TDTRFlowControl::dtrHandshake:
        break; // the driver's business
    }
    switch (Settings.FlowControl.ControlRTS) {
    case TRTSFlowControl::rtsDisable:
        Port->setRequestToSend(false);
        break;
    case TRTSFlowControl::rtsEnable:
        Port->setRequestToSend(true);
        break;
    case TRTSFlowControl::rtsHandshake:
    case TRTSFlowControl::rtsToggle:
        break;
    }
}

void TComPort::Shutdown() {
    BusyScope busy(Busy);
    ++Session;
    RxDeferred = false;
    Port->clear(QSerialPort::AllDirections);
    Port->close();
    Port->clearError();
    SetSignal(TComSignal::Transmit, false);
    SetSignal(TComSignal::Receive, false);
    SetSignal(TComSignal::Connection, false);
}

void TComPort::HandleReadyRead() {
    if (!Connected()) return;
    SetSignal(TComSignal::Receive, true);
    // Waiting for a write also reads; the caller of WriteStr must not see OnRxChar mid-call.
    if (Busy > 0) return DeliverRxLater();
    if (OnRxChar) OnRxChar(ClampedCount(Port->bytesAvailable()));
}

void TComPort::DeliverRxLater() {
    if (RxDeferred) return;
    RxDeferred = true;
    QMetaObject::invokeMethod(
        this,
        [this, session = Session] {
            if (session != Session) return;
            RxDeferred = false;
            if (Connected() && Port->bytesAvailable() > 0 && OnRxChar)
                OnRxChar(ClampedCount(Port->bytesAvailable()));
        },
        Qt::QueuedConnection);
}

void TComPort::HandleBytesWritten() {
    if (Port->bytesToWrite() == 0) SetSignal(TComSignal::Transmit, false);
}

void TComPort::HandleError(int error) {
    // NoError comes with every open and clearError; errors inside our own calls are raised there.
    if (Busy > 0 || !Connected()) return;
    switch (QSerialPort::SerialPortError(error)) {
    case QSerialPort::ReadError:
    case QSerialPort::WriteError:
    case QSerialPort::ResourceError:
    case QSerialPort::DeviceNotFoundError:
    case QSerialPort::PermissionError:
    case QSerialPort::UnknownError:
        break;
    default:
        return;
    }
    const QString message = Port->errorString();
    // A vanished device keeps the descriptor readable, and QSerialPort reports the same error again
    // on every turn of the loop until the port is closed: close it now.
    Shutdown();
    // The owner reacts by closing the link, perhaps with a message box or by deleting this port;
    // neither may happen inside QSerialPort's own error handling, so the news goes out queued.
    QMetaObject::invokeMethod(
        this,
        [this, message] {
            if (OnPortLost) OnPortLost(message);
        },
        Qt::QueuedConnection);
}
