#include "model/InstrumentModel.h"
#include "link/FrameCodec.h"
#include <cmath>
#include <numbers>

namespace krvsim {

namespace {

// Heated sensor: its temperature rise falls with wind as DifT0 / (1 + k * sqrt(ws)).
constexpr double kDifT0 = 20.0;
constexpr double kDifTK = 0.5;
// The four direction sensors sit at bearings 0, 90, 180 and 270 degrees; the one facing the wind is
// cooled by this fraction of the heated sensor's rise.
constexpr double kDirectionGain = 0.05;
constexpr std::array<double, 4> kDirectionOffsets{0.12, -0.08, 0.05, -0.10};
constexpr std::array<double, 2> kAirSensorOffsets{0.03, -0.02};

// The factory's calibration matches the sensor: E01 and E03 are C32 at 0 m/s and at E02 = 5 m/s.
constexpr double kFactoryAdjWs = 5.0;
const QString kInitialisationCode = "8161";

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

double FactoryDifT(double speed) {
    return kDifT0 / (1 + kDifTK * std::sqrt(std::max(0.0, speed)));
}

// A reading's inputs; the written corrections E12-E17 are added to the sensors they belong to, so a
// confirmed correction cancels the sensor's offset.
struct Inputs {
    WindState Wind;
    double DifT = 0;
    std::array<double, 4> DirectionDiff{};
    std::array<double, 4> DirectionCorrection{};
    std::array<double, 2> AirCorrection{};
    std::array<double, 7> Noise{};
};

QString WindComponent(const WindState& w, int axis) {
    const double dep = Radians(w.Depression), az = Radians(w.Azimuth);
    const double horizontal = w.Speed * std::cos(dep);
    const double v = axis == 0   ? horizontal * std::sin(az)
                     : axis == 1 ? horizontal * std::cos(az)
                                 : -w.Speed * std::sin(dep);
    return Fixed(v, 3);
}

QString DirectionSensorTemp(const Inputs& in, int i) {
    return Fixed(in.Wind.AirTemp + kDirectionOffsets[i] + in.DirectionDiff[i] + in.DirectionCorrection[i] +
                     in.Noise[i],
                 3);
}

QString AirSensorTemp(const Inputs& in, int i) {
    return Fixed(in.Wind.AirTemp + kAirSensorOffsets[i] + in.AirCorrection[i] + in.Noise[4 + i], 3);
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
    {"C11", [](const Inputs& in) { return Fixed(in.Wind.AirTemp + in.Noise[6], 4); }},
    {"C16", [](const Inputs& in) { return DirectionSensorTemp(in, 0); }},
    {"C17", [](const Inputs& in) { return DirectionSensorTemp(in, 1); }},
    {"C18", [](const Inputs& in) { return DirectionSensorTemp(in, 2); }},
    {"C19", [](const Inputs& in) { return DirectionSensorTemp(in, 3); }},
    {"C36", [](const Inputs& in) { return Fixed(in.DirectionDiff[0], 3); }},
    {"C37", [](const Inputs& in) { return Fixed(in.DirectionDiff[1], 3); }},
    {"C38", [](const Inputs& in) { return Fixed(in.DirectionDiff[2], 3); }},
    {"C39", [](const Inputs& in) { return Fixed(in.DirectionDiff[3], 3); }},
    {"C21", [](const Inputs& in) { return AirSensorTemp(in, 0); }},
    {"C22", [](const Inputs& in) { return AirSensorTemp(in, 1); }},
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

const QList<std::pair<QString, QString>>& InstrumentModel::FactorySettings() {
    static const QList<std::pair<QString, QString>> keys = [] {
        QList<std::pair<QString, QString>> k{{"E01", QString::number(FactoryDifT(0), 'g', 17)},
                                             {"E02", QString::number(kFactoryAdjWs, 'g', 17)},
                                             {"E03", QString::number(FactoryDifT(kFactoryAdjWs), 'g', 17)},
                                             {"E04", "0.2"}};
        for (int i = 12; i <= 17; ++i)
            k.emplace_back(QString("E%1").arg(i), "0");
        for (int i = 21; i <= 24; ++i)
            k.emplace_back(QString("E%1").arg(i), "1");
        const char* coef[] = {"0", "0.1", "0", "0", "0", "0"};
        for (int i = 0; i < 6; ++i)
            k.emplace_back(QString("E%1").arg(26 + i), coef[i]);
        k.emplace_back("E91", "0");
        for (int i = 1; i <= 20; ++i)
            k.emplace_back(QString("P%1").arg(i, 2, 10, QChar('0')), "0");
        k.emplace_back("P32", "2500");
        k.emplace_back("P41", "0");
        k.emplace_back("P91", "0");
        k.emplace_back("P99", "0");
        return k;
    }();
    return keys;
}

InstrumentModel::InstrumentModel() {
    for (const auto& [key, text] : FactorySettings())
        stored_.insert(key, text);
}

void InstrumentModel::FactoryReset() {
    // The session's own keys stay: the write enable, the unlock and the initialisation request.
    static const QStringList session{"E91", "P91", "P99"};
    for (const auto& [key, text] : FactorySettings())
        if (!session.contains(key)) stored_.insert(key, text);
}

double InstrumentModel::SensorDifT(double speed) const {
    return difT0_ / (1 + difTK_ * std::sqrt(std::max(0.0, speed)));
}

double InstrumentModel::Noise() const {
    if (noise_ <= 0) return 0;
    return std::uniform_real_distribution<double>(-noise_, noise_)(rng_);
}

double InstrumentModel::Written(const char* key) const {
    return ToNumber(stored_.value(key)).value_or(0);
}

double InstrumentModel::MeasuredSpeed(double difT) const {
    const auto number = [this](const char* key) { return ToNumber(stored_.value(key)); };
    const std::optional<double> difT0 = number("E01"), adjWs = number("E02"), adjDifT = number("E03");
    if (!difT0 || !adjWs || !adjDifT || *adjDifT == 0 || difT == 0) return 0;
    const double span = *difT0 / *adjDifT - 1;
    if (span <= 0) return 0; // no usable calibration
    const double ratio = std::max(0.0, *difT0 / difT - 1) / span;
    return *adjWs * ratio * ratio;
}

const QStringList& InstrumentModel::PolledCodes() {
    static const QStringList codes{"M01", "M05", "M06", "M07", "M08", "M09", "M11", "C01", "C11",  "C16",
                                   "C17", "C18", "C19", "C36", "C37", "C38", "C39", "C50", "C02",  "C52",
                                   "S00", "S01", "S11", "S12", "S13", "C21", "C22", "C32", "C191", "C192"};
    return codes;
}

QByteArray InstrumentModel::HandleFrame(QByteArrayView payload) {
    if (payload.startsWith("RD,")) return AnswerRead(payload.sliced(3));
    if (payload.startsWith("RW,")) return Misbehaviour.Silent ? QByteArray() : AnswerWrite(payload.sliced(3));
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
        const QString value = FromWireBytes(item.sliced(eq + 1));
        SetValue(key, value);
        if (key == "P91" && value.trimmed() == kInitialisationCode) FactoryReset();
        written.append(key);
    }
    // Answered after all writes, so a key written twice shows its final value both times.
    QList<std::pair<QString, QString>> pairs;
    for (const QString& key : written) {
        QString value = ValueText(key);
        if (value.isNull()) continue;
        pairs.append({Misbehaviour.KeyInPlace.value(key, key), Misbehaviour.Values.value(key, value)});
    }
    if (Misbehaviour.DropLastPair && !pairs.isEmpty()) pairs.removeLast();
    QByteArray answer = "AW,";
    for (const auto& [key, value] : pairs)
        if (!AppendItem(answer, key, value)) break;
    return answer;
}

QString InstrumentModel::ValueText(const QString& code) const {
    if (auto it = stored_.constFind(code); it != stored_.cend()) return *it;
    const WindState w = Wind();
    if (code == "M01" || code == "C01" || code == "C02")
        return Fixed(MeasuredSpeed(SensorDifT(w.Speed) + Noise()), 3);
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
    for (const Computed& c : kComputed) {
        if (code != QLatin1String(c.Code)) continue;
        Inputs in;
        in.Wind = Wind();
        in.DifT = SensorDifT(in.Wind.Speed);
        for (int i = 0; i < 4; ++i) {
            // The existing direction law, on the factory sensor's rise, so the direction codes keep it.
            in.DirectionDiff[i] = -kDirectionGain * FactoryDifT(in.Wind.Speed) *
                                  std::cos(Radians(in.Wind.Depression)) *
                                  std::cos(Radians(in.Wind.Azimuth - 90.0 * i));
            in.DirectionCorrection[i] = Written(qPrintable(QString("E%1").arg(12 + i)));
        }
        in.AirCorrection = {Written("E16"), Written("E17")};
        for (double& n : in.Noise)
            n = Noise();
        in.DifT += Noise();
        return c.Text(in);
    }
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
