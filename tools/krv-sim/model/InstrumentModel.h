#pragma once
#include "model/WindDrift.h"
#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QString>
#include <QStringList>
#include <array>
#include <random>

namespace krvsim {

// The instrument's answers to "RD," and "RW," requests.
//
// Wind vector (M07, M08, M09), with az the azimuth and dep the depression angle:
//   X = ws * cos(dep) * sin(az),  Y = ws * cos(dep) * cos(az),  Z = -ws * sin(dep)
// so azimuth runs clockwise from +Y and a positive depression points the vector below the horizon.
//
// Writing M01, M05, M06, M11, S00, S01, S11-S13, C50, C52, C191 or C192 sets the underlying
// quantity, and every code derived from it follows; a value that is not a number is refused and the
// held value is kept. Writing any other key stores its text verbatim, which is then reported instead
// of any computed value, and makes the key known to later reads.
class InstrumentModel {
  public:
    enum class StatusWord { System, Hardware, Software }; // S11, S12, S13

    // Wrong answers to write requests, for tests of the program's checks.
    struct WriteMisbehaviour {
        bool Silent = false;                // writes are neither applied nor answered
        QHash<QString, QString> Values;     // key -> value answered instead of the held one
        QHash<QString, QString> KeyInPlace; // key -> another key answered in its place
        bool DropLastPair = false;          // the answer leaves out its last pair
        bool Any() const { return Silent || DropLastPair || !Values.isEmpty() || !KeyInPlace.isEmpty(); }
    };
    WriteMisbehaviour Misbehaviour;

    InstrumentModel();

    // The settings keys with their factory texts, in key order.
    static const QList<std::pair<QString, QString>>& FactorySettings();
    void FactoryReset();

    // Every code the monitor program polls, in its polling order.
    static const QStringList& PolledCodes();

    // The answer payload for the payload of one good frame; empty when the command is neither a
    // read nor a write. The answer stops before the first item that would not fit in one frame.
    QByteArray HandleFrame(QByteArrayView payload);

    // The exact text reported for `code`; a null string when the code is unknown.
    QString ValueText(const QString& code) const;
    bool Knows(const QString& code) const { return !ValueText(code).isNull(); }

    // False when the value was refused (see above); the held value is then unchanged.
    bool SetValue(const QString& code, const QString& text);

    void SetWindSpeed(double metresPerSecond);
    void SetAzimuth(double degrees);
    void SetDepression(double degrees);
    void SetAirTemperature(double celsius);
    void SetWind(double speed, double azimuth, double depression);
    void SetModelNumber(double model) { model_ = model; }
    void SetFirmware(double version) { firmware_ = version; }
    void SetStatus(StatusWord word, qint64 value) { status_[int(word)] = value; }

    // The wind as set, before any variation.
    const WindState& BaseWind() const { return base_; }
    // The wind reported at the current time.
    WindState Wind() const { return vary_ ? DriftedWind(base_, nowMs_) : base_; }

    // The heated sensor's law C32 = difT0 / (1 + k * sqrt(ws)): instrument-specific constants. The
    // factory E01 and E03 match the default law (20, 0.5) only.
    void SetSensorLaw(double difT0, double k) {
        difT0_ = difT0;
        difTK_ = k;
    }
    // The calibration setting: a sensor whose law the program's default step 0 (50, 5, 20) does not
    // match (C32 = 45 at still air, 20.18 at 5 m/s), and seeded noise on every temperature.
    void UseCalibrationSetting(quint32 seed = 1) {
        SetSensorLaw(45.0, 0.55);
        SetNoise(0.002, seed);
    }
    // Uniform noise of +-amplitude on the temperatures (C11, C16-C19, C21, C22, C32), seeded. The
    // wind speed follows C32; at still air it still reads exactly 0 once E01 is calibrated.
    void SetNoise(double amplitude, quint32 seed) {
        noise_ = amplitude;
        rng_.seed(seed);
    }

    void SetVary(bool on) { vary_ = on; }
    bool Varying() const { return vary_; }
    // The caller's clock; only the variation uses it.
    void SetTimeMs(qint64 nowMs) { nowMs_ = nowMs; }

  private:
    QByteArray AnswerRead(QByteArrayView keys) const;
    QByteArray AnswerWrite(QByteArrayView items);
    bool SetQuantity(const QString& code, const QString& text);
    QString ComputedText(const QString& code) const;
    double MeasuredSpeed(double difT) const;
    double SensorDifT(double speed) const;
    double Noise() const;
    double Written(const char* key) const;

    WindState base_{2.5, 0.0, 0.0, 20.0};
    double model_ = 17.03;
    double firmware_ = 0.80;
    std::array<qint64, 3> status_{};
    double cpuUse_ = 12.5;
    qint64 adRate_ = 2000;
    std::array<double, 2> debug_{};
    bool vary_ = false;
    qint64 nowMs_ = 0;
    QHash<QString, QString> stored_;
    double difT0_ = 20.0;
    double difTK_ = 0.5;
    double noise_ = 0;
    mutable std::mt19937 rng_{1};
};

} // namespace krvsim
