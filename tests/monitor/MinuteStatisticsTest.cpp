#include "MonitorRig.h"
#include <cmath>

namespace {

const QString MinuteFile = QStringLiteral("RT_20240529.RCD");

// Short-layout columns of a minute row.
enum Column {
    Stamp = 0,
    WsAvg = 1,
    WsMax,
    WsMin,
    Calculated,
    AzAvg,
    AzMax,
    AzMin,
    AirAvg = 11,
    AirMax,
    AirMin
};

class MinuteStatisticsTest : public MonitorRig {
  protected:
    void SetUp() override { Collecting(true); }
    // The data rows of the day's minute record, split into fields.
    std::vector<QStringList> Rows() const {
        std::vector<QStringList> rows;
        const QStringList lines = Lines(MinuteFile);
        for (const QString& line : lines)
            if (line.startsWith(QLatin1String("2024/"))) rows.push_back(line.split(QLatin1Char(',')));
        return rows;
    }
};

TEST_F(MinuteStatisticsTest, ClosesOnceInSecondsSixToEightAndReArmsAtNine) {
    Seconds(10, 0, 0, 5);
    EXPECT_TRUE(Rows().empty());
    StepAt(10, 0, 6);
    ASSERT_EQ(Rows().size(), 1u);
    EXPECT_EQ(Rows()[0][Stamp], "2024/05/29 10:00");
    Seconds(10, 0, 7, 59);
    EXPECT_EQ(Rows().size(), 1u);
    // Second 6 of the next minute has no tick: the close comes at 7.
    Seconds(10, 1, 0, 5);
    StepAt(10, 1, 7);
    EXPECT_EQ(Rows().size(), 2u);
    StepAt(10, 1, 8);
    EXPECT_EQ(Rows().size(), 2u);
}

TEST_F(MinuteStatisticsTest, StoppedCollectionCarriesItsSecondsIntoTheNextWrittenMinute) {
    store.CurrentSample.WindSpeed = 2;
    Seconds(10, 0, 0, 30); // closes at 6 with seconds 0-6; 7-30 stay
    Collecting(false);
    for (int m = 0; m <= 3; ++m)
        Seconds(10, m, m == 0 ? 31 : 0, m == 3 ? 29 : 59);
    Collecting(true);
    store.CurrentSample.WindSpeed = 4;
    Seconds(10, 3, 30, 59);
    Seconds(10, 4, 0, 6);
    const auto rows = Rows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1][Stamp], "2024/05/29 10:04");
    EXPECT_EQ(float(rows[1][WsAvg].toDouble()), float((24 * 2.0 + 37 * 4.0) / 61));
    EXPECT_EQ(rows[1][WsMax], "4");
    EXPECT_EQ(rows[1][WsMin], "2");
}

TEST_F(MinuteStatisticsTest, DirectionAcrossNorthAveragesSimplyTo180AndByVectorToTheComponents) {
    // Azimuth runs clockwise from +Y: X = sin(az), Y = cos(az).
    const float x = std::sin(float(10 * M_PI / 180));
    const float y = std::cos(float(10 * M_PI / 180));
    for (int s = 1; s <= 6; ++s) {
        const bool east = s % 2 == 0;
        store.CurrentSample.Azimuth = east ? 10 : 350;
        store.CurrentSample.VectorX = east ? x : -x;
        store.CurrentSample.VectorY = y;
        StepAt(10, 0, s);
    }
    ASSERT_EQ(Rows().size(), 1u);
    EXPECT_EQ(Rows()[0][AzAvg], "180");
    EXPECT_EQ(Rows()[0][Calculated], "90.0000760198121") << "due north of the averaged vector, from +X";
}

TEST_F(MinuteStatisticsTest, AdCountAverageIsTruncatedAndItsExtremaAreTheCounts) {
    store.CurrentSample.AdCount = 1000;
    Seconds(10, 0, 0, 6);
    Seconds(10, 0, 7, 30);
    store.CurrentSample.AdCount = 1001;
    StepAt(10, 0, 31);
    store.CurrentSample.AdCount = 1000;
    Seconds(10, 0, 32, 59);
    Seconds(10, 1, 0, 6);
    EXPECT_EQ(monitor.Minute.Average.AdCount, 1000);
    EXPECT_EQ(monitor.Minute.Maximum.AdCount, 1001);
    EXPECT_EQ(monitor.Minute.Minimum.AdCount, 1000) << "not the start value 999";
}

TEST_F(MinuteStatisticsTest, FirstMinuteExtremaAreTheValuesNotTheStartValues) {
    for (int s = 0; s <= 6; ++s) {
        store.CurrentSample.WindSpeed = 1.0f + s * 0.25f;
        store.CurrentSample.AirTemp = -5.0f + s * 0.5f;
        StepAt(10, 0, s);
    }
    ASSERT_EQ(Rows().size(), 1u);
    EXPECT_EQ(Rows()[0][WsMax], "2.5");
    EXPECT_EQ(Rows()[0][WsMin], "1");
    EXPECT_EQ(Rows()[0][AirMax], "-2");
    EXPECT_EQ(Rows()[0][AirMin], "-5");
}

TEST_F(MinuteStatisticsTest, NoCollectionAtTheCloseWritesNothingAndKeepsTheSeconds) {
    store.CurrentSample.WindSpeed = 3;
    Seconds(10, 0, 0, 5);
    Collecting(false);
    StepAt(10, 0, 6);
    EXPECT_TRUE(Rows().empty());
    EXPECT_TRUE(QDir(monitor.Records.Folder()).exists()) << "the directory is made at every close";
    EXPECT_EQ(monitor.MinuteAccumulator.Count, 6);
}

struct DirectionCase {
    float x, y;
    double degrees;
};

class VectorDirectionTest : public ::testing::TestWithParam<DirectionCase> {};

TEST_P(VectorDirectionTest, AngleFromXTowardYScaledBy180Over3point14159) {
    EXPECT_DOUBLE_EQ(VectorAzimuthOf(GetParam().x, GetParam().y), GetParam().degrees);
}

INSTANTIATE_TEST_SUITE_P(Components, VectorDirectionTest,
                         ::testing::Values(DirectionCase{1, 1, 45.00003800990603},
                                           DirectionCase{0, 1, 90.00007601981206},
                                           DirectionCase{-1, 0, 180.0001520396241}, DirectionCase{0, 0, 0},
                                           DirectionCase{-0.0f, 0, 0}));

} // namespace
