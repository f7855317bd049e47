#pragma once
#include "acquisition/MeasurementStore.h"
#include "acquisition/SampleFields.h"
#include <array>

// The values a minute aggregates, in the long minute record's column order, which is also the
// accumulator's.
inline constexpr auto MinuteFields = SelectFields<&TSampleField::Minute>();
inline constexpr int MinuteFieldCount = int(MinuteFields.size());

// Sums, maxima and minima of the seconds added since the last reset. `Maximum` and `Minimum` use
// only the aggregated quantities' fields, each in its own type.
struct TMinuteAccumulator {
    qint32 Count = 0;
    std::array<double, MinuteFieldCount> Sums{};
    TSampleRec Maximum;
    TSampleRec Minimum;

    TMinuteAccumulator() { ResetAccumulator(); }
    void ResetAccumulator();
    // Adds one second; the caller adds only seconds of active collection. The first second after a
    // reset sets the maxima and minima, the start values being only what an empty minute holds.
    void Accumulate(const TSampleRec& sample);
};

// A closed minute: averages (single precision; AdCount truncated), maxima, minima and the direction
// of the averaged horizontal vector.
struct TMinuteResult {
    TSampleRec Average;
    TSampleRec Maximum;
    TSampleRec Minimum;
    double VectorAzimuth = 0;
};

TMinuteResult CloseMinuteOf(const TMinuteAccumulator& acc);

// atan2(y, x) x 180 x 0.3183101550488765: the reciprocal of 3.14159 rather than of pi, so the range
// reaches +-180.000152. Both components 0 give 0, where atan2 has no direction to give.
double VectorAzimuthOf(float averageX, float averageY);

// The per-second step's close window: seconds 6 to 8 of a minute close it once; any other second
// re-arms the latch. True when the minute closes now.
bool MinuteCloseDue(int secondOfMinute, bool& minuteClosed);
