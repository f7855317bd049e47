#pragma once
#include "acquisition/MeasurementStore.h"
#include <array>

// Maximum, average and minimum of N channels.
template <int N> struct TStatBlock {
    std::array<double, N> Avg{};
    std::array<double, N> Max{};
    std::array<double, N> Min{};
    double Spread(int i) const { return Max[i] - Min[i]; }
};

// The thirty-second channels, in their order.
enum TCalChannel { chWS, chAT1, chAT2, chWDT1, chWDT2, chWDT3, chWDT4, chTD, CalChannelCount };
// A snapshot: the TD average, ATRev[0..1], WTRev[0..3].
enum TSnapValue { snTD, snATRev0, snATRev1, snWTRev0, SnapValueCount = 7 };
inline constexpr int SnapRingSize = 15;
using TSnapshot = std::array<double, SnapValueCount>;

// The statistics, corrections, latches, averages and judgement of the calibration page. All zero at
// creation; the latches keep their value across restarts of the procedure.
struct TCalStats {
    TStatBlock<CalChannelCount> StatL;
    TStatBlock<SnapValueCount> StatS;
    std::array<float, 2> ATRev{};
    std::array<float, 4> WTRev{};
    float WS0Cal = 0;
    float WS4Cal = 0;
    float WSAS5 = 0;
    float WSAS15 = 0;
    float Gage5 = 0;
    float Gage15 = 0;
    bool WSStable = false;
    std::array<bool, 2> ATStable{};
    std::array<bool, 4> WTStable{};
    bool DifTStable = false;
    bool WSASInBand = false;
    std::array<TSnapshot, SnapRingSize> SnapRing{};
};

// A channel's value in a sample.
double ChannelValue(const TSampleRec& s, int channel);

// The once-a-second statistics over the newest thirty samples, the snapshot and its five-second
// statistics, the judgement; ends with CalcWSAverages. `current` equals the newest sample.
void CalcStatistics(TCalStats& stats, const TSampleHistory& history, const TSampleRec& current, float adjWS,
                    int& calStep);
// The five- and fifteen-second wind-speed averages, their closeness to `adjWS` and the band; moves
// calStep 8 -> 9, 10 -> 11 and 11 -> 10. An `adjWS` of 0 has no band and no closeness: the gauges
// read 0 and the step stays.
void CalcWSAverages(TCalStats& stats, const TSampleHistory& history, const TSampleRec& current, float adjWS,
                    int& calStep);
