#pragma once
#include <QByteArray>
#include <QList>
#include <QString>
#include <array>
#include <optional>
#include <random>

namespace krvsim {

enum class Fault { Drop, Delay, Corrupt, Duplicate, Noise };
inline constexpr int FaultCount = 5;

// Bytes to write after waiting `DelayMs`.
struct Emission {
    int DelayMs = 0;
    QByteArray Bytes;
    bool operator==(const Emission&) const = default;
};

// Spoils answer frames at chosen rates, repeatably: the same seed and rates give the same faults
// for the same sequence of frames. Each fault is decided independently per frame.
//   drop      no answer
//   delay     the answer comes after DelayMs()
//   corrupt   one payload character changes, so the checksum fails
//   duplicate the answer comes twice
//   noise     1 to 8 garbage characters precede the answer; a receiver that buffers them into the
//             frame finds its checksum wrong
class FaultInjector {
  public:
    explicit FaultInjector(quint32 seed = 1) : rng_(seed) {}

    static QString Name(Fault fault);
    static std::optional<Fault> FromName(QStringView name);

    void SetSeed(quint32 seed) { rng_.seed(seed); }
    // Clamped to 0..1.
    void SetRate(Fault fault, double rate);
    double Rate(Fault fault) const { return rates_[int(fault)]; }
    void SetDelayMs(int ms) { delayMs_ = qMax(0, ms); }
    int DelayMs() const { return delayMs_; }
    void Clear() { rates_.fill(0.0); }
    bool Active() const;

    // What to write for one whole answer frame: nothing, once or twice.
    QList<Emission> Apply(const QByteArray& frame);

  private:
    double Uniform();
    QByteArray Corrupted(QByteArray frame);
    QByteArray Noise();

    std::mt19937 rng_;
    std::array<double, FaultCount> rates_{};
    int delayMs_ = 500;
};

} // namespace krvsim
