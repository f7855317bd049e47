#include "monitor/MinuteStatistics.h"
#include <cmath>

void TMinuteAccumulator::ResetAccumulator() {
    Count = 0;
    Sums.fill(0);
    Maximum = TSampleRec{};
    Minimum = TSampleRec{};
    for (const TSampleField* f : MinuteFields) {
        if (f->Ref.IsInteger()) {
            f->Ref.Int(Maximum) = qint32(f->MaxStart);
            f->Ref.Int(Minimum) = qint32(f->MinStart);
        } else {
            f->Ref.Float(Maximum) = f->MaxStart;
            f->Ref.Float(Minimum) = f->MinStart;
        }
    }
}

namespace {
// Each value compared in its own type, so an integer count never passes through a float.
template <class T> void Extrema(T value, T& maximum, T& minimum, bool first) {
    if (first || value > maximum) maximum = value;
    if (first || value < minimum) minimum = value;
}
} // namespace

void TMinuteAccumulator::Accumulate(const TSampleRec& sample) {
    // The first second sets the extrema. The start values alone would stand for any quantity that
    // stays beyond them: the AD count runs at about 2000 a second, above its minimum's 999.
    const bool first = Count == 0;
    ++Count;
    for (int i = 0; i < MinuteFieldCount; ++i) {
        const TFieldRef& f = MinuteFields[std::size_t(i)]->Ref;
        Sums[std::size_t(i)] += f.Value(sample);
        if (f.IsInteger())
            Extrema(f.Int(sample), f.Int(Maximum), f.Int(Minimum), first);
        else
            Extrema(f.Float(sample), f.Float(Maximum), f.Float(Minimum), first);
    }
}

double VectorAzimuthOf(float averageX, float averageY) {
    if (averageX == 0 && averageY == 0) return 0;
    return std::atan2(double(averageY), double(averageX)) * 180 * 0.3183101550488765;
}

TMinuteResult CloseMinuteOf(const TMinuteAccumulator& acc) {
    TMinuteResult r;
    for (int i = 0; i < MinuteFieldCount; ++i) {
        const double average = acc.Sums[std::size_t(i)] / acc.Count;
        const TFieldRef& f = MinuteFields[std::size_t(i)]->Ref;
        if (f.IsInteger())
            f.Int(r.Average) = qint32(std::trunc(average));
        else
            f.Float(r.Average) = float(average);
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
