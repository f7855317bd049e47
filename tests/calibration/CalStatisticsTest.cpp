#include "calibration/CalStatistics.h"
#include "calibration/CalFiles.h"
#include "calibration/CalView.h"
#include <gmock/gmock.h>

namespace {

TSampleRec Sample(float ws = 1.0f) {
    TSampleRec s;
    s.Valid = true;
    s.WindSpeed = s.WindSpeedUncorr = ws;
    s.AtTemp = {20.2f, 20.2f};
    s.WdTemp = {20, 20, 20, 20};
    s.TempDiff = 30;
    return s;
}

// The history as the store holds it after `samples` were pushed (the last one the newest).
struct THistory {
    TSampleHistory History;
    TSampleRec Current;
    void Push(const TSampleRec& s, int times = 1) {
        for (int i = 0; i < times; ++i)
            History.Push(s);
        Current = s;
    }
    // Five seconds of statistics over the same history, so that the snapshots are all of it.
    TCalStats Calc(float adjWS = 5.0f, int step = 0) {
        TCalStats stats;
        for (int i = 0; i < 5; ++i)
            CalcStatistics(stats, History, Current, adjWS, step);
        return stats;
    }
};

bool AnyFlag(const TCalStats& s) {
    return s.WSStable || s.DifTStable || s.ATStable[0] || s.ATStable[1] || s.WTStable[0] || s.WTStable[3];
}

TEST(CalStatistics, EveryJudgementWaitsForThirtyValidSamples) {
    THistory h;
    h.Push(Sample(), 29);
    EXPECT_FALSE(AnyFlag(h.Calc()));
    EXPECT_FLOAT_EQ(h.Calc().StatL.Avg[chWS], 1.0f) << "computed over the valid samples meanwhile";
    h.Push(Sample());
    const TCalStats full = h.Calc();
    EXPECT_TRUE(full.WSStable && full.DifTStable && full.ATStable[1] && full.WTStable[3]);
    TSampleRec invalid = Sample();
    invalid.Valid = false;
    h.Push(invalid);
    EXPECT_FALSE(AnyFlag(h.Calc())) << "one invalid sample among the thirty";
}

TEST(CalStatistics, WindSpreadOfTwoTenthsIsNotStable) {
    THistory h;
    h.Push(Sample(1.0f), 15);
    h.Push(Sample(1.2f), 15);
    EXPECT_FALSE(h.Calc().WSStable);
    h.Push(Sample(1.19f), 15);
    EXPECT_TRUE(h.Calc().WSStable);
}

TEST(CalStatistics, LatchesTakeTheTemperatureDifferenceOnlyUnderTheirCondition) {
    struct {
        float Ws;
        bool ZeroTaken, NTaken;
    } const cases[] = {{2.0f, false, true}, {1.0f, true, true}, {0.2f, true, false}};
    for (const auto& c : cases) {
        THistory h;
        h.Push(Sample(c.Ws), 30);
        TCalStats stats;
        stats.WS0Cal = stats.WS4Cal = -1;
        int step = 0;
        CalcStatistics(stats, h.History, h.Current, 5.0f, step);
        EXPECT_EQ(stats.WS0Cal, c.ZeroTaken ? 30.0f : -1.0f) << c.Ws;
        EXPECT_EQ(stats.WS4Cal, c.NTaken ? 30.0f : -1.0f) << c.Ws;
    }
}

TEST(CalStatistics, CorrectionsBringEachSensorToItsGroupMean) {
    THistory h;
    TSampleRec s = Sample();
    s.AtTemp = {20.30f, 20.10f};
    s.WdTemp = {21, 19, 20.5f, 19.5f};
    h.Push(s, 30);
    const TCalStats stats = h.Calc();
    EXPECT_NEAR(stats.ATRev[0], -0.10, 1e-5);
    EXPECT_NEAR(stats.ATRev[1], 0.10, 1e-5);
    EXPECT_THAT(stats.WTRev, ::testing::ElementsAre(-1.0f, 1.0f, -0.5f, 0.5f));
}

TEST(CalStatistics, FirmwareAboveSeventyFiveAveragesTheUncorrectedSpeed) {
    for (auto [firmware, expected] : {std::pair{0.76f, 1.0f}, std::pair{0.77f, 2.0f}}) {
        THistory h;
        TSampleRec s = Sample(1.0f);
        s.WindSpeedUncorr = 2.0f;
        s.FirmwareVersion = firmware;
        h.Push(s, 15);
        EXPECT_EQ(h.Calc().WSAS15, expected) << firmware;
    }
}

struct TGaugeCase {
    float Reading;
    int Progress;
    TCalColour Colour;
    bool InBand;
};

class CalGauges : public ::testing::TestWithParam<TGaugeCase> {};

TEST_P(CalGauges, ClosenessColourAndBandMove) {
    const TGaugeCase c = GetParam();
    THistory h;
    h.Push(Sample(c.Reading), 15);
    for (auto [from, to] : {std::pair{10, c.InBand ? 11 : 10}, std::pair{11, c.InBand ? 11 : 10}}) {
        TCalStats stats;
        int step = from;
        CalcWSAverages(stats, h.History, h.Current, 5.0f, step);
        EXPECT_EQ(step, to) << "from " << from;
        TCalView view;
        ShowCalState(view, stats, step);
        EXPECT_EQ(view.Gage15.Progress, c.Progress);
        EXPECT_EQ(view.Gage15.Colour, c.Colour);
        EXPECT_EQ(stats.WSASInBand, c.InBand);
    }
}

INSTANTIATE_TEST_SUITE_P(Readings, CalGauges,
                         ::testing::Values(TGaugeCase{5.005f, 89, TCalColour::Green, true},
                                           TGaugeCase{5.01f, 79, TCalColour::Yellow, true},
                                           TGaugeCase{5.02f, 60, TCalColour::LightOrange, false},
                                           TGaugeCase{5.025f, 49, TCalColour::Red, false},
                                           TGaugeCase{5.0f, 100, TCalColour::Green, true}));

TEST(CalStatistics, ReferenceSpeedZeroGivesEmptyGaugesAndNoStepMove) {
    THistory h;
    h.Push(Sample(0.0f), 15);
    for (int from : {10, 11}) {
        TCalStats stats;
        int step = from;
        CalcWSAverages(stats, h.History, h.Current, 0.0f, step);
        EXPECT_EQ(step, from);
        EXPECT_EQ(stats.Gage5, 0.0f);
        EXPECT_EQ(stats.Gage15, 0.0f);
        EXPECT_FALSE(stats.WSASInBand);
    }
}

TEST(CalStatistics, StillAirMovesOnlyStepEight) {
    THistory h;
    h.Push(Sample(0.0f), 5);
    for (int from = 0; from <= 11; ++from) {
        TCalStats stats;
        int step = from;
        CalcWSAverages(stats, h.History, h.Current, 5.0f, step);
        EXPECT_EQ(step, from == 8 ? 9 : from == 11 ? 10 : from) << from;
    }
}

TEST(CalStatistics, SnapshotsOfAHiddenWindowLingerUntilFiveNewOnes) {
    THistory h;
    TCalStats stats;
    int step = 0;
    h.Push(Sample(), 30);
    for (int i = 0; i < 5; ++i)
        CalcStatistics(stats, h.History, h.Current, 5.0f, step);
    TSampleRec warmer = Sample();
    warmer.TempDiff = 40;
    h.Push(warmer, 40); // the window hidden: no snapshots
    for (int shown = 1; shown <= 5; ++shown) {
        CalcStatistics(stats, h.History, h.Current, 5.0f, step);
        EXPECT_EQ(stats.StatS.Spread(snTD) > 0, shown < 5) << "second " << shown << " after showing";
    }
}

TEST(CalView, StepDisplayButtonsAndSetPanelsFollowTheStep) {
    const TCalStats stats;
    TCalView view;
    struct {
        int Step;
        const char* Text;
        TCalColour Colour;
        int SilverPanels;
    } const cases[] = {{0, "Step-0：なし", TCalColour::LightYellow, 0},
                       {5, "Step-5：気温器差補正中", TCalColour::LightYellow, 1},
                       {7, "Step-7：風向器差補正済", TCalColour::LightYellow, 2},
                       {9, "Step-9：0m-Cal.済", TCalColour::LightYellow, 3},
                       {10, "Step-10：Nm-Cal.", TCalColour::LightYellow, 3},
                       {11, "キャリブレーション完了", TCalColour::LightGreen, 4}};
    for (const auto& c : cases) {
        ShowCalState(view, stats, c.Step);
        EXPECT_EQ(view.PFinish.Text, QString::fromUtf8(c.Text));
        EXPECT_EQ(view.PFinish.Colour, c.Colour);
        EXPECT_EQ(view.BBFin, c.Step == 11);
        int silver = 0;
        for (const TCalPanel* p : {&view.PATRevSet, &view.PWTRevSet, &view.PWS0CalSet, &view.PWS4CalSet})
            silver += p->Colour == TCalColour::Silver;
        EXPECT_EQ(silver, c.SilverPanels) << c.Step;
    }
}

TEST(CalView, ZeroMetreButtonKeepsItsLastStateFromStepNineOn) {
    THistory h;
    h.Push(Sample(0.5f), 40);
    TCalStats stats;
    int step = 8;
    for (int i = 0; i < 6; ++i)
        CalcStatistics(stats, h.History, h.Current, 5.0f, step);
    TCalView view;
    ShowCalState(view, stats, 8);
    ASSERT_TRUE(view.BB0mCalFin);
    ShowCalState(view, TCalStats{}, 9);
    EXPECT_TRUE(view.BB0mCalFin);
    ShowCalState(view, TCalStats{}, 8);
    EXPECT_FALSE(view.BB0mCalFin);
}

TEST(CalFiles, WorkFileHoldsEveryFilledEntryButTheNewestOldestFirst) {
    for (auto [pushed, rows] : {std::pair{0, 0}, std::pair{40, 39}, std::pair{1100, 1023}}) {
        TSampleHistory history;
        for (int i = 0; i < pushed; ++i) {
            TSampleRec s = Sample(0.1f);
            s.Time = EncodeDateTime(2024, 5, 29, 9, 5) + i / 86400.0;
            history.Push(s);
        }
        const QStringList lines = CalCsvLines(history);
        ASSERT_EQ(lines.size(), 2 + rows) << pushed;
        if (rows == 39) {
            EXPECT_TRUE(lines[2].startsWith("2024/05/29 09:05:00,0.100000001490116,"))
                << "the single's value";
            EXPECT_TRUE(lines.last().startsWith("2024/05/29 09:05:38,"));
        }
    }
}

TEST(CalFiles, SerialNumbersThatCannotBeAFileNameGiveNoPath) {
    const TDateTime start = EncodeDateTime(2024, 5, 29, 9, 5);
    EXPECT_EQ(CalFilePath("/p", "xxxxxx", start, "_ATR.csv"), "/p/xxxxxx_2405290905_ATR.csv");
    EXPECT_EQ(CalFilePath("/p", "", 0, ".krv"), "/p/_9912300000.krv");
    for (const char* bad : {"a/b", "a\\b", "..", ".", "a:b", "a*", "a?", "a\"", "a<", "a>", "a|", "a\tb"})
        EXPECT_FALSE(CalFilePath("/p", bad, start, ".krv")) << bad;
}

} // namespace
