#include "model/WindDrift.h"
#include <algorithm>
#include <cmath>
#include <numbers>

namespace krvsim {

namespace {
double Wave(qint64 timeMs, double periodS) {
    return std::sin(2 * std::numbers::pi * double(timeMs) / (periodS * 1000.0));
}
} // namespace

double NormaliseAzimuth(double degrees) {
    double a = std::fmod(degrees, 360.0);
    if (a < 0) a += 360.0;
    // fmod of a tiny negative number plus 360 rounds to exactly 360.
    return a >= 360.0 ? 0.0 : a;
}

double ClampDepression(double degrees) {
    return std::clamp(degrees, -90.0, 90.0);
}

WindState DriftedWind(const WindState& base, qint64 timeMs) {
    WindState w;
    w.Speed = std::max(0.0, base.Speed * (1 + 0.25 * Wave(timeMs, 47) + 0.10 * Wave(timeMs, 13)));
    w.Azimuth = NormaliseAzimuth(base.Azimuth + 25 * Wave(timeMs, 71) + 8 * Wave(timeMs, 19));
    w.Depression = ClampDepression(base.Depression + 4 * Wave(timeMs, 37));
    w.AirTemp = base.AirTemp + 0.3 * Wave(timeMs, 300);
    return w;
}

} // namespace krvsim
