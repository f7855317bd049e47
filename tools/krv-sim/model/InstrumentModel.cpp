#include "model/InstrumentModel.h"
#include "link/FrameCodec.h"
#include <cmath>
#include <numbers>

namespace krvsim {

namespace {

// Heated sensor: its temperature rise falls with wind as DifT0 / (1 + k * sqrt(ws)).
constexpr double kDifT0 = 20.0;
constexpr double kDifTK = 0.5;
// C02 is the speed before the final calibration gain.
constexpr double kCorrectionGain = 1.04;
// The four direction sensors sit at bearings 0, 90, 180 and 270 degrees; the one facing the wind is
// cooled by this fraction of the heated sensor's rise.
constexpr double kDirectionGain = 0.05;
constexpr std::array<double, 4> kDirectionOffsets{0.12, -0.08, 0.05, -0.10};
constexpr std::array<double, 2> kAirSensorOffsets{0.03, -0.02};

constexpr qsizetype kMaxAnswerPayload = MaxBracketedLength - 2;

double Radians(double degrees) {
    return degrees * std::numbers::pi / 180.0;
}

// Plain decimal with a point whatever the locale; never "-0.000".
QString Fixed(double value, int decimals) {
    QString text = QString::number(value, 'f', decimals);
    if (text.startsWith('-') && text.toDouble() == 0) text.remove(0, 1);
    return text;
}

struct Inputs {
    WindState Wind;
    double DifT = 0;
    std::array<double, 4> DirectionDiff{};
};

Inputs MakeInputs(const WindState& wind) {
    Inputs in;
    in.Wind = wind;
    in.DifT = kDifT0 / (1 + kDifTK * std::sqrt(wind.Speed));
    for (int i = 0; i < 4; ++i)
        in.DirectionDiff[i] = -kDirectionGain * in.DifT * std::cos(Radians(wind.Depression)) *
                              std::cos(Radians(wind.Azimuth - 90.0 * i));
    return in;
}

QString WindComponent(const WindState& w, int axis) {
    const double dep = Radians(w.Depression), az = Radians(w.Azimuth);
    const double horizontal = w.Speed * std::cos(dep);
    const double v = axis == 0   ? horizontal * std::sin(az)
                     : axis == 1 ? horizontal * std::cos(az)
                                 : -w.Speed * std::sin(dep);
    return Fixed(v, 3);
}

QString DirectionSensorTemp(const Inputs& in, int i) {
    return Fixed(in.Wind.AirTemp + kDirectionOffsets[i] + in.DirectionDiff[i], 3);
}

using Formula = QString (*)(const Inputs&);
struct Computed {
    const char* Code;
    Formula Text;
};

// The codes whose values follow from the wind and air temperature.
const Computed kComputed[] = {
    {"M07", [](const Inputs& in) { return WindComponent(in.Wind, 0); }},
    {"M08", [](const Inputs& in) { return WindComponent(in.Wind, 1); }},
    {"M09", [](const Inputs& in) { return WindComponent(in.Wind, 2); }},
    {"C01", [](const Inputs& in) { return Fixed(in.Wind.Speed, 3); }},
    {"C02", [](const Inputs& in) { return Fixed(in.Wind.Speed / kCorrectionGain, 3); }},
    {"C11", [](const Inputs& in) { return Fixed(in.Wind.AirTemp, 4); }},
    {"C16", [](const Inputs& in) { return DirectionSensorTemp(in, 0); }},
    {"C17", [](const Inputs& in) { return DirectionSensorTemp(in, 1); }},
    {"C18", [](const Inputs& in) { return DirectionSensorTemp(in, 2); }},
    {"C19", [](const Inputs& in) { return DirectionSensorTemp(in, 3); }},
    {"C36", [](const Inputs& in) { return Fixed(in.DirectionDiff[0], 3); }},
    {"C37", [](const Inputs& in) { return Fixed(in.DirectionDiff[1], 3); }},
    {"C38", [](const Inputs& in) { return Fixed(in.DirectionDiff[2], 3); }},
    {"C39", [](const Inputs& in) { return Fixed(in.DirectionDiff[3], 3); }},
    {"C21", [](const Inputs& in) { return Fixed(in.Wind.AirTemp + kAirSensorOffsets[0], 3); }},
    {"C22", [](const Inputs& in) { return Fixed(in.Wind.AirTemp + kAirSensorOffsets[1], 3); }},
    {"C32", [](const Inputs& in) { return Fixed(in.DifT, 3); }},
};

std::optional<double> ToNumber(const QString& text) {
    bool ok = false;
    const double v = text.toDouble(&ok);
    if (!ok || !std::isfinite(v)) return std::nullopt;
    return v;
}

std::optional<qint64> ToInteger(const QString& text) {
    bool ok = false;
    const qint64 v = text.trimmed().toLongLong(&ok);
    if (!ok) return std::nullopt;
    return v;
}

// Items of a request: separated by ",", the last one may lack its ",".
QList<QByteArrayView> SplitItems(QByteArrayView text) {
    QList<QByteArrayView> items;
    while (!text.isEmpty()) {
        const qsizetype comma = text.indexOf(',');
        const QByteArrayView item = comma < 0 ? text : text.first(comma);
        if (!item.isEmpty()) items.append(item);
        if (comma < 0) break;
        text = text.sliced(comma + 1);
    }
    return items;
}

// False once the answer is full; the items before stay, in order.
bool AppendItem(QByteArray& answer, const QString& key, const QString& value) {
    const QByteArray item = ToWireBytes(key) + '=' + ToWireBytes(value) + ',';
    if (answer.size() + item.size() > kMaxAnswerPayload) return false;
    answer += item;
    return true;
}

} // namespace

const QStringList& InstrumentModel::PolledCodes() {
    static const QStringList codes{"M01", "M05", "M06", "M07", "M08", "M09", "M11", "C01", "C11",  "C16",
                                   "C17", "C18", "C19", "C36", "C37", "C38", "C39", "C50", "C02",  "C52",
                                   "S00", "S01", "S11", "S12", "S13", "C21", "C22", "C32", "C191", "C192"};
    return codes;
}

QByteArray InstrumentModel::HandleFrame(QByteArrayView payload) {
    if (payload.startsWith("RD,")) return AnswerRead(payload.sliced(3));
    if (payload.startsWith("RW,")) return AnswerWrite(payload.sliced(3));
    return {};
}

QByteArray InstrumentModel::AnswerRead(QByteArrayView keys) const {
    QByteArray answer = "AD,";
    for (QByteArrayView item : SplitItems(keys)) {
        const QString key = FromWireBytes(item);
        const QString value = ValueText(key);
        if (!value.isNull() && !AppendItem(answer, key, value)) break;
    }
    return answer;
}

QByteArray InstrumentModel::AnswerWrite(QByteArrayView items) {
    QStringList written;
    for (QByteArrayView item : SplitItems(items)) {
        const qsizetype eq = item.indexOf('=');
        if (eq <= 0) continue;
        const QString key = FromWireBytes(item.first(eq));
        SetValue(key, FromWireBytes(item.sliced(eq + 1)));
        written.append(key);
    }
    // Answered after all writes, so a key written twice shows its final value both times.
    QByteArray answer = "AW,";
    for (const QString& key : written) {
        const QString value = ValueText(key);
        if (!value.isNull() && !AppendItem(answer, key, value)) break;
    }
    return answer;
}

QString InstrumentModel::ValueText(const QString& code) const {
    if (auto it = stored_.constFind(code); it != stored_.cend()) return *it;
    const WindState w = Wind();
    if (code == "M01") return Fixed(w.Speed, 3);
    if (code == "M05") return Fixed(w.Azimuth, 3);
    if (code == "M06") return Fixed(w.Depression, 3);
    if (code == "M11") return Fixed(w.AirTemp, 3);
    if (code == "S00") return Fixed(model_, 2);
    if (code == "S01") return Fixed(firmware_, 2);
    if (code == "S11") return QString::number(status_[0]);
    if (code == "S12") return QString::number(status_[1]);
    if (code == "S13") return QString::number(status_[2]);
    if (code == "C50") return Fixed(cpuUse_, 1);
    if (code == "C52") return QString::number(adRate_);
    if (code == "C191") return Fixed(debug_[0], 3);
    if (code == "C192") return Fixed(debug_[1], 3);
    return ComputedText(code);
}

QString InstrumentModel::ComputedText(const QString& code) const {
    for (const Computed& c : kComputed)
        if (code == QLatin1String(c.Code)) return c.Text(MakeInputs(Wind()));
    return {};
}

bool InstrumentModel::SetValue(const QString& code, const QString& text) {
    if (code.isEmpty() || code.contains(',') || code.contains('=')) return false;
    static const QStringList quantities{"M01", "M05", "M06", "M11", "S00",  "S01", "S11",
                                        "S12", "S13", "C50", "C52", "C191", "C192"};
    if (quantities.contains(code)) return SetQuantity(code, text);
    // Never null: a null text means "unknown key" to ValueText.
    stored_.insert(code, text.isNull() ? QString("") : text);
    return true;
}

bool InstrumentModel::SetQuantity(const QString& code, const QString& text) {
    if (code.startsWith('S') && code != "S00" && code != "S01") {
        const auto v = ToInteger(text);
        if (!v) return false;
        status_[code.mid(1).toInt() - 11] = *v;
        return true;
    }
    if (code == "C52") {
        const auto v = ToInteger(text);
        if (!v) return false;
        adRate_ = *v;
        return true;
    }
    const auto v = ToNumber(text);
    if (!v) return false;
    if (code == "M01")
        SetWindSpeed(*v);
    else if (code == "M05")
        SetAzimuth(*v);
    else if (code == "M06")
        SetDepression(*v);
    else if (code == "M11")
        SetAirTemperature(*v);
    else if (code == "S00")
        model_ = *v;
    else if (code == "S01")
        firmware_ = *v;
    else if (code == "C50")
        cpuUse_ = *v;
    else if (code == "C191")
        debug_[0] = *v;
    else if (code == "C192")
        debug_[1] = *v;
    return true;
}

void InstrumentModel::SetWindSpeed(double metresPerSecond) {
    base_.Speed = std::max(0.0, metresPerSecond);
}
void InstrumentModel::SetAzimuth(double degrees) {
    base_.Azimuth = NormaliseAzimuth(degrees);
}
void InstrumentModel::SetDepression(double degrees) {
    base_.Depression = ClampDepression(degrees);
}
void InstrumentModel::SetAirTemperature(double celsius) {
    base_.AirTemp = celsius;
}

void InstrumentModel::SetWind(double speed, double azimuth, double depression) {
    SetWindSpeed(speed);
    SetAzimuth(azimuth);
    SetDepression(depression);
}

} // namespace krvsim
