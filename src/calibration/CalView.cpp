#include "calibration/CalView.h"
#include "common/NumberFormat.h"
#include "settings/WritePrm.h"
#include <cmath>

QString CalStepText(int step) {
    static const char* const texts[] = {
        "なし",           "開始",           "開始済み",       "デフォルト書込", "デフォルト書込完了",
        "気温器差補正中", "風向器差補正中", "風向器差補正済", "0m-Cal.",        "0m-Cal.済",
        "Nm-Cal.",        "Nm-Cal.済"};
    if (step < 0 || step > 11) return {};
    return QString::fromUtf8(texts[step]);
}

namespace {

QString F3(double v) {
    return FormatFixed(v, 3);
}

template <std::size_t N> QString Joined(const std::array<float, N>& values) {
    QStringList parts;
    for (float v : values)
        parts << F3(v);
    return parts.join(QStringLiteral(" / "));
}

TCalColour Judged(bool good) {
    return good ? TCalColour::LightGreen : TCalColour::LightYellow;
}

TCalGauge Gauge(float gage, float average) {
    TCalGauge g;
    g.Progress = std::clamp(int(std::abs(std::trunc(double(gage) * 100))), 0, 100);
    g.Colour = GaugeColour(g.Progress);
    g.AverageText = F3(average);
    return g;
}

} // namespace

TCalColour GaugeColour(int p) {
    if (p > 85) return TCalColour::Green;
    if (p > 70) return TCalColour::Yellow;
    if (p > 50) return TCalColour::LightOrange;
    return TCalColour::Red;
}

void ShowStatistics(TCalView& view, const TCalStats& st, const TWritePrm& prm, const TSampleRec& current) {
    auto& g = view.Grid;
    g[0] = {QStringLiteral("項目"), QStringLiteral("Max"), QStringLiteral("Avg."), QStringLiteral("Min"),
            QStringLiteral("p-p")};
    const auto row = [&](int r, const char* label, double max, double avg, double min, bool good) {
        g[r] = {QString::fromUtf8(label), F3(max), F3(avg), F3(min), F3(max - min)};
        view.GridRowGood[r] = good;
    };
    const auto& L = st.StatL;
    const auto& S = st.StatS;
    static const char* const channelLabels[] = {"風速",       "気温１",     "気温２",     "風向温度１",
                                                "風向温度２", "風向温度３", "風向温度４", "温度差L"};
    const bool channelGood[] = {st.WSStable,    st.ATStable[0], st.ATStable[1], st.WTStable[0],
                                st.WTStable[1], st.WTStable[2], st.WTStable[3], st.DifTStable};
    for (int c = 0; c < CalChannelCount; ++c)
        row(c + 1, channelLabels[c], L.Max[c], L.Avg[c], L.Min[c], channelGood[c]);
    row(9, "温度差S", S.Max[snTD], S.Avg[snTD], S.Min[snTD], st.DifTStable);
    row(10, "気温補正S", S.Max[snATRev0], S.Avg[snATRev0], S.Min[snATRev0], st.ATStable[0]);
    row(11, "WS補正S", S.Max[snWTRev0], S.Avg[snWTRev0], S.Min[snWTRev0], st.WTStable[0]);
    g[12] = {QStringLiteral("風速S"), QStringLiteral(" "), F3(st.WSAS5), QStringLiteral(" "),
             QStringLiteral(" ")};
    view.GridRowGood[12] = st.WSASInBand;

    const bool atGood = st.ATStable[0] && st.ATStable[1];
    const bool wtGood = st.WTStable[0] && st.WTStable[1] && st.WTStable[2] && st.WTStable[3];
    view.PATRev = {Joined(st.ATRev), Judged(atGood)};
    view.PATRevSet.Text = QStringLiteral("Set: ") + Joined(prm.ATDif);
    view.PWTRev = {Joined(st.WTRev), Judged(wtGood)};
    view.PWTRevSet.Text = QStringLiteral("Set: ") + Joined(prm.WDDif);
    const auto& d = current.WdTempDiff;
    const double mean = (double(d[0]) + d[1] + d[2] + d[3]) * 0.25;
    std::array<float, 4> deviations{};
    for (int i = 0; i < 4; ++i)
        deviations[i] = float(d[i] - mean);
    view.PWTDif.Text = Joined(deviations);
    view.PWS0Cal = {F3(st.WS0Cal), Judged(st.DifTStable && st.WSStable && L.Max[chWS] < 1.0)};
    view.PWS0CalSet.Text = QStringLiteral("Set: ") + F3(prm.DifT0m);
    view.PWS4Cal = {F3(st.WS4Cal), Judged(st.DifTStable && st.WSStable && L.Max[chWS] > 0.5)};
    view.PWS4CalSet.Text = QStringLiteral("Set: ") + F3(prm.AdjDifT);
}

void ShowCalState(TCalView& view, const TCalStats& st, int step) {
    const auto setColour = [](bool passed) { return passed ? TCalColour::Silver : TCalColour::ButtonFace; };
    const double wsMax = st.StatL.Max[chWS];
    const double tdSnapSpread = st.StatS.Spread(snTD);
    view.BBATRcvFin = step <= 4 && st.ATStable[0] && st.ATStable[1];
    view.PATRevSet.Colour = setColour(step > 4);
    view.BBWSTRcvFin = step <= 6 && st.WTStable[0] && st.WTStable[1] && st.WTStable[2] && st.WTStable[3];
    view.PWTRevSet.Colour = setColour(step > 6);
    // From step 9 on the button keeps the state of its last refresh in step 8 or below.
    if (step <= 8) view.BB0mCalFin = st.DifTStable && st.WSStable && wsMax < 2.0 && tdSnapSpread < 0.005;
    view.PWS0CalSet.Colour = setColour(step > 8);
    view.BB4mCalFin = st.DifTStable && wsMax > 0.5 && tdSnapSpread < 0.015;
    view.PWS4CalSet.Colour = setColour(step > 10);
    if (step == 11) {
        view.PFinish = {QStringLiteral("キャリブレーション完了"), TCalColour::LightGreen};
        view.BBFin = true;
    } else {
        view.PFinish = {QStringLiteral("Step-%1：").arg(step) + CalStepText(step), TCalColour::LightYellow};
        view.BBFin = false;
    }
    view.Gage5 = Gauge(st.Gage5, st.WSAS5);
    view.Gage15 = Gauge(st.Gage15, st.WSAS15);
}
