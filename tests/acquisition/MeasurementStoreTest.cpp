#include "acquisition/MeasurementStore.h"
#include "acquisition/SampleFields.h"
#include <gmock/gmock.h>
#include <memory>

namespace {

class StoreTest : public ::testing::Test {
  protected:
    std::unique_ptr<TMeasurementStore> store = std::make_unique<TMeasurementStore>();
    TSampleRec& cur = store->CurrentSample;
};

TEST_F(StoreTest, StartsAllZero) {
    EXPECT_EQ(cur.Time, 0);
    EXPECT_FALSE(cur.Valid);
    EXPECT_EQ(store->SampleHistory[1023].Time, 0);
    EXPECT_FALSE(store->SampleHistory[0].Valid);
}

TEST_F(StoreTest, IntegerFieldsTruncateTowardZeroAndFloatsHoldTheNearestSingle) {
    store->StoreCodeValue(19, u"12.9");
    store->StoreCodeValue(22, u"-3.7");
    store->StoreCodeValue(0, u"0.1");
    EXPECT_EQ(cur.AdCount, 12);
    EXPECT_EQ(cur.SystemStatus, -3);
    EXPECT_EQ(cur.WindSpeed, 0.1f);
}

// A reading beyond single precision's normal range, either way, is a fault: the field keeps its
// last good value instead of showing infinity or zero.
TEST_F(StoreTest, TextThatDoesNotConvertKeepsTheField) {
    store->StoreCodeValue(0, u"2.5");
    for (const char16_t* text : {u"abc", u"", u"1e39", u"-1e39", u"1e-5000", u"1e-45"}) {
        store->StoreCodeValue(0, text);
        EXPECT_EQ(cur.WindSpeed, 2.5f) << QString::fromUtf16(text).toStdString();
    }
    store->StoreCodeValue(19, u"7");
    store->StoreCodeValue(19, u"x");
    store->StoreCodeValue(19, u"1e10");
    EXPECT_EQ(cur.AdCount, 7);
}

TEST_F(StoreTest, OutOfRangeIndexIsIgnored) {
    store->StoreCodeValue(30, u"1");
    store->StoreCodeValue(-1, u"1");
    EXPECT_EQ(cur.WindSpeed, 0);
    EXPECT_EQ(cur.Debug[1], 0);
}

// Every code lands in its own field: store distinct values, then read them back by name.
TEST_F(StoreTest, EveryCodeFillsItsField) {
    for (int i = 0; i < CodeCount; ++i)
        store->StoreCodeValue(i, QString::number(i + 1));
    const float expected[] = {cur.WindSpeed,
                              cur.Azimuth,
                              cur.Depression,
                              cur.VectorX,
                              cur.VectorY,
                              cur.VectorZ,
                              cur.AirTemp,
                              cur.WindSpeedRaw,
                              cur.AirTempInternal,
                              cur.WdTemp[0],
                              cur.WdTemp[1],
                              cur.WdTemp[2],
                              cur.WdTemp[3],
                              cur.WdTempDiff[0],
                              cur.WdTempDiff[1],
                              cur.WdTempDiff[2],
                              cur.WdTempDiff[3],
                              cur.CpuUse,
                              cur.WindSpeedUncorr,
                              float(cur.AdCount),
                              cur.ModelNumber,
                              cur.FirmwareVersion,
                              float(cur.SystemStatus),
                              float(cur.HardwareStatus),
                              float(cur.SoftwareStatus),
                              cur.AtTemp[0],
                              cur.AtTemp[1],
                              cur.TempDiff,
                              cur.Debug[0],
                              cur.Debug[1]};
    for (int i = 0; i < CodeCount; ++i)
        EXPECT_EQ(expected[i], float(i + 1)) << CodeTable[i];
    EXPECT_EQ(cur.VectorLength, 0);
    EXPECT_EQ(cur.SupplyVoltage, 0);
    EXPECT_EQ(cur.DaOutput, 0);
    EXPECT_EQ(cur.Debug[2], 0);
    EXPECT_EQ(cur.Debug[3], 0);
    EXPECT_EQ(cur.Time, 0);
}

TEST_F(StoreTest, ShiftMakesTheCurrentSampleNewest) {
    cur.WindSpeed = 1.5f;
    cur.Valid = true;
    store->ShiftHistory(100.0);
    cur.WindSpeed = 3.5f;
    cur.Valid = false;
    store->ShiftHistory(100.5);
    const TSampleRec& newest = store->SampleHistory[0];
    EXPECT_EQ(newest.WindSpeed, 3.5f);
    EXPECT_FALSE(newest.Valid) << "a sample that is no measurement is no plotted or counted entry";
    EXPECT_TRUE(store->SampleHistory[1].Valid);
    EXPECT_EQ(newest.Time, 100.5);
    EXPECT_EQ(store->SampleHistory[1].WindSpeed, 1.5f);
    EXPECT_EQ(store->SampleHistory[1].Time, 100.0);
    EXPECT_EQ(store->SampleHistory[2].Time, 0);
    EXPECT_EQ(cur.Time, 0) << "only history entries carry times";
}

TEST_F(StoreTest, ClearHistoryEmptiesOnlyTheNamedFields) {
    cur.WindSpeed = 4;
    cur.AirTemp = 20;
    cur.Azimuth = 90;
    store->ShiftHistory(5);
    store->ClearHistory();
    const TSampleRec& e = store->SampleHistory[0];
    EXPECT_EQ(e.Time, 0);
    EXPECT_FALSE(e.Valid);
    EXPECT_EQ(e.WindSpeed, 0);
    EXPECT_EQ(e.AirTemp, 0);
    EXPECT_EQ(e.Azimuth, 90);
}

} // namespace
