#include "monitor/MinuteStatistics.h"
#include <cmath>

namespace {

struct TQuantityField {
    float TSampleRec::*Scalar = nullptr;
    std::array<float, 4> TSampleRec::*Array = nullptr;
    int Index = 0;
    float MaxStart;
    float MinStart;
};

// AdCount is an integer and is handled apart; its entry carries only the start values.
constexpr TQuantityField F(float TSampleRec::*field, float maxStart, float minStart) {
    return {field, nullptr, 0, maxStart, minStart};
}
constexpr TQuantityField A(std::array<float, 4> TSampleRec::*field, int index) {
    return {nullptr, field, index, -999, 999};
}

const std::array<TQuantityField, QuantityCount> Fields = {{
    F(&TSampleRec::Azimuth, -999, 999),
    F(&TSampleRec::Depression, -999, 999),
    F(&TSampleRec::WindSpeed, 0, 999),
    F(&TSampleRec::AirTemp, -999, 999),
    F(&TSampleRec::AirTempInternal, -999, 999),
    F(&TSampleRec::WindSpeedRaw, 0, 999),
    F(&TSampleRec::WindSpeedUncorr, 0, 999),
    A(&TSampleRec::WdTemp, 0),
    A(&TSampleRec::WdTemp, 1),
    A(&TSampleRec::WdTemp, 2),
    A(&TSampleRec::WdTemp, 3),
    A(&TSampleRec::WdTempDiff, 0),
    A(&TSampleRec::WdTempDiff, 1),
    A(&TSampleRec::WdTempDiff, 2),
    A(&TSampleRec::WdTempDiff, 3),
    F(&TSampleRec::VectorX, -999999, 999999),
    F(&TSampleRec::VectorY, -999999, 999999),
    F(&TSampleRec::VectorZ, -999999, 999999),
    F(&TSampleRec::VectorLength, -999999, 999999),
    F(&TSampleRec::CpuUse, 0, 999),
    F(&TSampleRec::SupplyVoltage, 0, 999),
    {nullptr, nullptr, 0, 0, 999}, // AdCount
    F(&TSampleRec::DaOutput, 0, 999),
}};

constexpr int AdCountIndex = int(TQuantity::AdCount);

float& FloatField(TSampleRec& s, const TQuantityField& f) {
    return f.Scalar ? s.*f.Scalar : (s.*f.Array)[size_t(f.Index)];
}
float FloatField(const TSampleRec& s, const TQuantityField& f) {
    return f.Scalar ? s.*f.Scalar : (s.*f.Array)[size_t(f.Index)];
}

} // namespace

double QuantityValue(const TSampleRec& sample, TQuantity q) {
    if (q == TQuantity::AdCount) return double(sample.AdCount);
    return double(FloatField(sample, Fields[size_t(q)]));
}

void TMinuteAccumulator::ResetAccumulator() {
    Count = 0;
    Sums.fill(0);
    Maximum = TSampleRec{};
    Minimum = TSampleRec{};
    for (int i = 0; i < QuantityCount; ++i) {
        const TQuantityField& f = Fields[size_t(i)];
        if (i == AdCountIndex) {
            Maximum.AdCount = qint32(f.MaxStart);
            Minimum.AdCount = qint32(f.MinStart);
            continue;
        }
        FloatField(Maximum, f) = f.MaxStart;
        FloatField(Minimum, f) = f.MinStart;
    }
}

void TMinuteAccumulator::Accumulate(const TSampleRec& sample) {
    // The first second sets the extrema. The start values alone would stand for any quantity that
    // stays beyond them: the AD count runs at about 2000 a second, above its minimum's 999.
    const bool first = Count == 0;
    ++Count;
    for (int i = 0; i < QuantityCount; ++i) {
        const TQuantityField& f = Fields[size_t(i)];
        if (i == AdCountIndex) {
            Sums[size_t(i)] += double(sample.AdCount);
            if (first || sample.AdCount > Maximum.AdCount) Maximum.AdCount = sample.AdCount;
            if (first || sample.AdCount < Minimum.AdCount) Minimum.AdCount = sample.AdCount;
            continue;
        }
        const float value = FloatField(sample, f);
        Sums[size_t(i)] += double(value);
        if (first || value > FloatField(Maximum, f)) FloatField(Maximum, f) = value;
        if (first || value < FloatField(Minimum, f)) FloatField(Minimum, f) = value;
    }
}

double VectorAzimuthOf(float averageX, float averageY) {
    if (averageX == 0 && averageY == 0) return 0;
    return std::atan2(double(averageY), double(averageX)) * 180 * 0.3183101550488765;
}

TMinuteResult CloseMinuteOf(const TMinuteAccumulator& acc) {
    TMinuteResult r;
    for (int i = 0; i < QuantityCount; ++i) {
        const double average = acc.Sums[size_t(i)] / acc.Count;
        if (i == AdCountIndex)
            r.Average.AdCount = qint32(std::trunc(average));
        else
            FloatField(r.Average, Fields[size_t(i)]) = float(average);
    }
    r.VectorAzimuth = VectorAzimuthOf(r.Average.VectorX, r.Average.VectorY);
    r.Maximum = acc.Maximum;
    r.Minimum = acc.Minimum;
    return r;
}

bool MinuteCloseDue(int secondOfMinute, bool& minuteClosed) {
    const bool inWindow = secondOfMinute >= 6 && secondOfMinute <= 8;
    if (!inWindow) {
        minuteClosed = false;
        return false;
    }
    if (minuteClosed) return false;
    minuteClosed = true;
    return true;
}
