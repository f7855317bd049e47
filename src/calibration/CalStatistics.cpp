#include "calibration/CalStatistics.h"
#include "acquisition/SampleFields.h"
#include <cmath>

namespace {
constexpr auto Channels = SelectFields<&TSampleField::Channel>();
static_assert(Channels.size() == CalChannelCount);
} // namespace

double ChannelValue(const TSampleRec& s, int channel) {
    return Channels[std::size_t(channel)]->Ref.Value(s);
}

void CalcStatistics(TCalStats& st, const TSampleHistory& history, const TSampleRec& current, float adjWS,
                    int& calStep) {
    auto& L = st.StatL;
    for (int c = 0; c < CalChannelCount; ++c) {
        L.Avg[c] = 0;
        L.Max[c] = L.Min[c] = ChannelValue(current, c);
    }
    st.WSStable = st.DifTStable = false;
    st.ATStable = {};
    st.WTStable = {};

    bool all30 = true;
    int n = 0;
    for (int k = 0; k < 30; ++k) {
        const TSampleRec& s = history[k];
        if (!s.Valid) {
            all30 = false;
            continue;
        }
        ++n;
        for (int c = 0; c < CalChannelCount; ++c) {
            const double v = ChannelValue(s, c);
            L.Avg[c] += v;
            L.Max[c] = std::max(L.Max[c], v);
            L.Min[c] = std::min(L.Min[c], v);
        }
    }
    if (n > 0) {
        for (double& a : L.Avg)
            a /= n;
        const double mid = (L.Avg[chAT1] + L.Avg[chAT2]) * 0.5;
        for (int i = 0; i < 2; ++i)
            st.ATRev[i] = float(mid - L.Avg[chAT1 + i]);
        const double mean = (L.Avg[chWDT1] + L.Avg[chWDT2] + L.Avg[chWDT3] + L.Avg[chWDT4]) * 0.25;
        for (int i = 0; i < 4; ++i)
            st.WTRev[i] = float(mean - L.Avg[chWDT1 + i]);
        if (L.Avg[chWS] < 2.0) st.WS0Cal = float(L.Avg[chTD]);
        if (L.Avg[chWS] > 0.3) st.WS4Cal = float(L.Avg[chTD]);

        for (int i = SnapRingSize - 1; i > 0; --i)
            st.SnapRing[i] = st.SnapRing[i - 1];
        st.SnapRing[0] = {L.Avg[chTD], st.ATRev[0], st.ATRev[1], st.WTRev[0],
                          st.WTRev[1], st.WTRev[2], st.WTRev[3]};

        auto& S = st.StatS;
        S.Avg = {};
        S.Max = S.Min = st.SnapRing[0];
        int m = 0;
        // The validity of the sample at the same position decides, not the snapshot's age.
        for (int k = 0; k < 5; ++k) {
            if (!history[k].Valid) continue;
            ++m;
            for (int v = 0; v < SnapValueCount; ++v) {
                S.Avg[v] += st.SnapRing[k][v];
                S.Max[v] = std::max(S.Max[v], st.SnapRing[k][v]);
                S.Min[v] = std::min(S.Min[v], st.SnapRing[k][v]);
            }
        }
        if (m > 0)
            for (double& a : S.Avg)
                a /= m;
        if (all30 && m > 0) {
            st.WSStable = L.Spread(chWS) < 0.2;
            for (int i = 0; i < 2; ++i)
                st.ATStable[i] = L.Spread(chAT1 + i) < 0.5 && S.Spread(snATRev0 + i) < 0.005;
            for (int i = 0; i < 4; ++i)
                st.WTStable[i] = L.Spread(chWDT1 + i) < 0.8 && S.Spread(snWTRev0 + i) < 0.005;
            st.DifTStable = L.Spread(chTD) < 1.0 && S.Spread(snTD) < 0.12;
        }
    }
    CalcWSAverages(st, history, current, adjWS, calStep);
}

namespace {

// Firmware above 0.75 reports the uncorrected speed as the source. Extended precision, so 0.76
// held just below 0.76 gives 75.
bool UsesUncorrected(float firmware) {
    return std::trunc(static_cast<long double>(firmware) * 100.0L) > 75;
}

float Closeness(double avg, float adjWS, float tol) {
    const float d = float(avg - adjWS);
    float q = std::fabs(d) / tol;
    q = q * 0.5f;
    const float g = 1 - q;
    return g < 0 ? 0 : g;
}

} // namespace

void CalcWSAverages(TCalStats& st, const TSampleHistory& history, const TSampleRec& current, float adjWS,
                    int& calStep) {
    st.WSASInBand = false;
    st.WSAS5 = st.WSAS15 = st.Gage5 = st.Gage15 = 0;
    const float tol = float(adjWS * 0.005);
    const bool uncorrected = UsesUncorrected(current.FirmwareVersion);
    double s5 = 0, s15 = 0;
    int c5 = 0, c15 = 0;
    for (int k = 0; k < 15; ++k) {
        const TSampleRec& s = history[k];
        if (!s.Valid) continue;
        const double v = uncorrected ? s.WindSpeedUncorr : s.WindSpeed;
        if (k < 5) {
            ++c5;
            s5 += v;
        }
        ++c15;
        s15 += v;
    }
    if (c15 == 0) return;
    const double avg5 = c5 > 0 ? s5 / c5 : 0.0;
    const double avg15 = s15 / c15;
    st.WSAS5 = float(avg5);
    st.WSAS15 = float(avg15);
    if (avg5 == 0.0 && calStep == 8) calStep = 9;
    // Without a reference speed there is no band and no closeness; dividing by its zero tolerance
    // would give infinities and NaN gauges.
    if (!(tol > 0)) return;
    st.Gage5 = Closeness(avg5, adjWS, tol);
    st.Gage15 = Closeness(avg15, adjWS, tol);
    const float half = tol * 0.5f;
    if (adjWS - double(half) < avg15 && avg15 < adjWS + double(half)) {
        st.WSASInBand = true;
        if (calStep == 10) calStep = 11;
    } else if (calStep == 11) {
        calStep = 10;
    }
}
