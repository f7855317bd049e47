#include "model/FaultInjector.h"
#include <algorithm>
#include <cctype>
#include <numeric>

namespace krvsim {

namespace {
const std::array<const char*, FaultCount> kNames{"drop", "delay", "corrupt", "duplicate", "noise"};
} // namespace

QString FaultInjector::Name(Fault fault) {
    return QString::fromLatin1(kNames[int(fault)]);
}

std::optional<Fault> FaultInjector::FromName(QStringView name) {
    for (int i = 0; i < FaultCount; ++i)
        if (name.compare(QLatin1String(kNames[i]), Qt::CaseInsensitive) == 0) return Fault(i);
    return std::nullopt;
}

void FaultInjector::SetRate(Fault fault, double rate) {
    // NaN fails both comparisons of clamp; treat it as "never".
    rates_[int(fault)] = rate == rate ? std::clamp(rate, 0.0, 1.0) : 0.0;
}

bool FaultInjector::Active() const {
    return std::any_of(rates_.begin(), rates_.end(), [](double r) { return r > 0; });
}

// In [0, 1) exactly, so rate 1 always fires and rate 0 never does; uniform_real_distribution may
// return 1.0 on some library versions.
double FaultInjector::Uniform() {
    return double(rng_()) / 4294967296.0;
}

QList<Emission> FaultInjector::Apply(const QByteArray& frame) {
    // Every frame consumes the same draws whatever the rates, so changing one rate does not reshuffle
    // the decisions of the others.
    std::array<bool, FaultCount> hit{};
    for (int i = 0; i < FaultCount; ++i)
        hit[i] = Uniform() < rates_[i];

    if (hit[int(Fault::Drop)]) return {};
    QByteArray bytes = frame;
    if (hit[int(Fault::Corrupt)]) bytes = Corrupted(bytes);
    if (hit[int(Fault::Noise)]) bytes.prepend(Noise());
    const int delay = hit[int(Fault::Delay)] ? delayMs_ : 0;
    QList<Emission> out{{delay, bytes}};
    if (hit[int(Fault::Duplicate)]) out.append({delay, bytes});
    return out;
}

QByteArray FaultInjector::Corrupted(QByteArray frame) {
    // Letters and digits only: changing "<", ">", "=" or "," would move the frame's boundaries
    // instead of just failing its checksum.
    const qsizetype close = frame.lastIndexOf('>');
    QList<qsizetype> candidates;
    for (qsizetype i = 1; i < close; ++i)
        if (std::isalnum(static_cast<unsigned char>(frame[i]))) candidates.append(i);
    if (candidates.isEmpty()) {
        // "<>" has nothing to change; spoil the first checksum digit instead.
        if (close >= 0 && close + 1 < frame.size()) frame[close + 1] = frame[close + 1] == '0' ? '1' : '0';
        return frame;
    }
    const qsizetype i = candidates[qsizetype(rng_() % quint32(candidates.size()))];
    const char c = frame[i];
    frame[i] = std::isdigit(static_cast<unsigned char>(c)) ? char('0' + (c - '0' + 1) % 10) : char(c ^ 0x20);
    return frame;
}

QByteArray FaultInjector::Noise() {
    static const QByteArray alphabet =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789!#$%&*+-./:;?@^_~";
    const int count = 1 + int(rng_() % 8);
    QByteArray noise;
    for (int i = 0; i < count; ++i)
        noise += alphabet[qsizetype(rng_() % quint32(alphabet.size()))];
    // Noise summing to 0 mod 256 would leave the frame's checksum intact; keep its effect certain.
    const int sum =
        std::accumulate(noise.begin(), noise.end(), 0, [](int s, char c) { return s + quint8(c); });
    if (sum % 256 == 0) noise[0] = noise[0] == 'A' ? 'B' : 'A';
    return noise;
}

} // namespace krvsim
