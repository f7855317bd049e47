#pragma once
#include "calibration/CalStatistics.h"
#include <QString>
#include <array>

struct TWritePrm;

// The colours of the calibration page, named; the window maps them to its palette.
enum class TCalColour {
    Initial,     // the window's initial panel colour, RGB 255, 237, 193
    ButtonFace,  // the system's button face
    Silver,      // RGB 192, 192, 192: a stage passed
    White,       //
    LightGreen,  // RGB 160, 255, 160: judged good
    LightYellow, // RGB 255, 255, 128: not yet
    Green,       // gauge bars: RGB 0, 255, 0
    Yellow,      // RGB 255, 255, 0
    LightOrange, // RGB 255, 221, 140
    Red,         // RGB 255, 0, 0
};

struct TCalPanel {
    QString Text;
    TCalColour Colour = TCalColour::Initial;
    bool operator==(const TCalPanel&) const = default;
};

struct TCalGauge {
    int Progress = 30;
    TCalColour Colour = TCalColour::LightOrange;
    QString AverageText;
    bool operator==(const TCalGauge&) const = default;
};

inline constexpr int CalGridRows = 13;
inline constexpr int CalGridColumns = 5;

// Everything the calibration page shows, computed; the page only sets it.
struct TCalView {
    // The statistics part, refreshed once a second while the system setting window is visible.
    std::array<std::array<QString, CalGridColumns>, CalGridRows> Grid{
        {{"項目", "Max", "Avg.", "Min", "p-p"}}};
    // Whether row r (1 to 12) is judged good; row 0 is the heading.
    std::array<bool, CalGridRows> GridRowGood{};
    TCalPanel PATRev, PWTRev, PWS0Cal, PWS4Cal;
    TCalPanel PATRevSet{{}, TCalColour::ButtonFace}, PWTRevSet{{}, TCalColour::ButtonFace},
        PWS0CalSet{{}, TCalColour::ButtonFace}, PWS4CalSet{{}, TCalColour::ButtonFace};
    TCalPanel PWTDif{{}, TCalColour::ButtonFace};
    // The state part, refreshed by every ShowCalState.
    bool BBCalStart = true, BBATRcvFin = false, BBWSTRcvFin = false, BBWSTClear = true, BB0mCalFin = false,
         BB4mCalFin = false, BBFin = false;
    TCalPanel PFinish{{}, TCalColour::White};
    TCalGauge Gage5, Gage15;

    bool operator==(const TCalView&) const = default;
};

// "なし" … "Nm-Cal.済" for steps 0 to 11; any other step gives an empty text.
QString CalStepText(int step);

// The grid and the result and "Set:" panel texts, from the statistics (ShowStatistics).
void ShowStatistics(TCalView& view, const TCalStats& stats, const TWritePrm& prm, const TSampleRec& current);
// The step display, the button rules, the "Set:" panel colours and the gauges (ShowCalState).
void ShowCalState(TCalView& view, const TCalStats& stats, int calStep);
// A gauge's bar colour by its progress.
TCalColour GaugeColour(int progress);
