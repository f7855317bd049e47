#pragma once
#include <QtGlobal>

namespace krvsim {

struct WindState {
    double Speed = 0;      // m/s, never negative
    double Azimuth = 0;    // degrees in [0, 360)
    double Depression = 0; // degrees in [-90, 90]
    double AirTemp = 0;    // deg C
};

double NormaliseAzimuth(double degrees);
double ClampDepression(double degrees);

// A smooth, repeatable wander around `base` for demonstrations: sums of slow sines with unrelated
// periods so the pattern does not visibly repeat. At time 0 it equals `base`.
WindState DriftedWind(const WindState& base, qint64 timeMs);

} // namespace krvsim
