#include "model/InstrumentModel.h"
#include "link/FrameCodec.h"
#include "sim/SimTestSupport.h"
#include <QLocale>
#include <cmath>
#include <gmock/gmock.h>
#include <numbers>

using krvsim::InstrumentModel;

namespace {

double Number(const InstrumentModel& model, const QString& code) {
    bool ok = false;
    const double v = model.ValueText(code).toDouble(&ok);
    EXPECT_TRUE(ok) << code.toStdString() << " = " << model.ValueText(code).toStdString();
    return v;
}

TEST(ModelRead, AnswersKnownCodesInRequestOrderAndLeavesOutUnknownOnes) {
    InstrumentModel model;
    model.SetWind(2.5, 123.4, -3);
    EXPECT_EQ(model.HandleFrame("RD,M05,ZZ9,M01,M06,"), "AD,M05=123.400,M01=2.500,M06=-3.000,");
    EXPECT_EQ(model.HandleFrame("RD,Q01,"), "AD,");
    EXPECT_EQ(model.HandleFrame("RD,M01,M06"), "AD,M01=2.500,M06=-3.000,");
    for (const char* other : {"", "RD", "rd,M01,", "AD,M01=1,", "AW,E1=1,"})
        EXPECT_TRUE(model.HandleFrame(other).isEmpty()) << other;
}

TEST(ModelRead, EveryPolledCodeIsAnsweredWithANumber) {
    InstrumentModel model;
    const QStringList& codes = InstrumentModel::PolledCodes();
    ASSERT_EQ(QSet<QString>(codes.begin(), codes.end()).size(), 30);
    for (qsizetype start = 0; start < codes.size(); start += 10) {
        const QStringList chunk = codes.mid(start, 10);
        const simtest::Items items =
            simtest::ParseItems(model.HandleFrame("RD," + chunk.join(',').toLatin1() + ","), "AD,");
        ASSERT_EQ(items.size(), chunk.size());
        for (qsizetype i = 0; i < chunk.size(); ++i) {
            EXPECT_EQ(items[i].first, chunk[i]);
            EXPECT_EQ(Number(model, chunk[i]), items[i].second.toDouble());
        }
    }
    EXPECT_EQ(model.HandleFrame("RD,S00,S01,S11,"), "AD,S00=17.03,S01=0.80,S11=0,");
}

TEST(ModelRead, NumbersUseAPointWhateverTheLocaleAndNeverShowMinusZero) {
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    InstrumentModel model;
    model.SetWindSpeed(1234.5);
    const QByteArray answer = model.HandleFrame("RD,M01,C11,");
    QLocale::setDefault(saved);
    EXPECT_EQ(answer, "AD,M01=1234.500,C11=20.0000,");
    // cos(270 deg) comes out a hair below zero in floating point.
    model.SetWind(5, 270, 0);
    EXPECT_EQ(model.ValueText("M08"), "0.000");
}

TEST(ModelRead, AnAnswerTooLongForOneFrameStopsAtTheLastWholeItemThatFits) {
    InstrumentModel model;
    QByteArray request = "RD,";
    for (int i = 10; i < 30; ++i) {
        model.SetValue(QString("E%1").arg(i), "0123456789");
        request += "E" + QByteArray::number(i) + ",";
    }
    const QByteArray answer = model.HandleFrame(request);
    ASSERT_TRUE(BuildFrame(answer).has_value()) << answer.size();
    const simtest::Items items = simtest::ParseItems(answer, "AD,");
    ASSERT_GT(items.size(), 5);
    for (qsizetype i = 0; i < items.size(); ++i)
        EXPECT_EQ(items[i].first, QString("E%1").arg(10 + i));
}

TEST(ModelWrite, EchoesWrittenKeysInOrderAndLaterReadsSeeThem) {
    InstrumentModel model;
    EXPECT_EQ(model.HandleFrame("RD,E12,"), "AD,E12=0,"); // the factory value
    EXPECT_EQ(model.HandleFrame("RW,E91=1,E12=0.5,"), "AW,E91=1,E12=0.5,");
    EXPECT_EQ(model.HandleFrame("RD,E12,E91,"), "AD,E12=0.5,E91=1,");
}

TEST(ModelWrite, OddItemsAndRepeatedKeys) {
    InstrumentModel model;
    // No key: ignored. Empty value: still a value. Twice: the final value, both times.
    EXPECT_EQ(model.HandleFrame("RW,E1,=3,E2=,E5=1,E5=2,"), "AW,E2=,E5=2,E5=2,");
    EXPECT_EQ(model.HandleFrame("RD,E2,"), "AD,E2=,");
}

TEST(ModelWrite, AMeasurementCodeSetsItsQuantityAndANonNumberIsRefused) {
    InstrumentModel model;
    EXPECT_EQ(model.HandleFrame("RW,M01=3.5,M05=90,"), "AW,M01=3.500,M05=90.000,");
    EXPECT_EQ(model.HandleFrame("RD,M07,"), "AD,M07=3.500,");
    EXPECT_EQ(model.HandleFrame("RW,M01=fast,S11=1.5,M06=nan,"), "AW,M01=3.500,S11=0,M06=0.000,");
}

TEST(ModelWrite, AWrittenComputedCodeKeepsItsTextWhenTheWindChanges) {
    InstrumentModel model;
    ASSERT_TRUE(model.SetValue("M07", "9.9"));
    model.SetWind(1, 180, 0);
    EXPECT_EQ(model.HandleFrame("RD,M07,M08,"), "AD,M07=9.9,M08=-1.000,");
}

struct WindCase {
    double Speed, Azimuth, Depression;
};

class ModelVector : public ::testing::TestWithParam<WindCase> {};

TEST_P(ModelVector, ComponentsGiveBackSpeedAzimuthAndDepression) {
    const WindCase c = GetParam();
    InstrumentModel model;
    model.SetWind(c.Speed, c.Azimuth, c.Depression);
    const double x = Number(model, "M07"), y = Number(model, "M08"), z = Number(model, "M09");
    EXPECT_NEAR(std::sqrt(x * x + y * y + z * z), c.Speed, 0.003);
    EXPECT_NEAR(std::asin(-z / c.Speed) * 180 / std::numbers::pi, c.Depression, 0.1);
    const double az = std::atan2(x, y) * 180 / std::numbers::pi;
    EXPECT_NEAR(std::remainder(az - c.Azimuth, 360.0), 0, 0.1);
}

INSTANTIATE_TEST_SUITE_P(Directions, ModelVector,
                         ::testing::Values(WindCase{3, 45, 10}, WindCase{7.25, 135, -20},
                                           WindCase{1, 225.5, 45}, WindCase{12, 315, -60},
                                           WindCase{4, 359.9, 5}));

TEST(ModelPhysics, AzimuthIsClockwiseFromYAndAPositiveDepressionPointsDown) {
    InstrumentModel model;
    model.SetWind(2, 90, 0);
    EXPECT_EQ(model.HandleFrame("RD,M07,M08,M09,"), "AD,M07=2.000,M08=0.000,M09=0.000,");
    model.SetWind(2, 0, 30);
    EXPECT_EQ(model.HandleFrame("RD,M07,M08,M09,"), "AD,M07=0.000,M08=1.732,M09=-1.000,");
    model.SetWind(-1, -90, 120);
    EXPECT_EQ(model.HandleFrame("RD,M01,M05,M06,"), "AD,M01=0.000,M05=270.000,M06=90.000,");
}

TEST(ModelPhysics, HeatedSensorRiseFallsAsTheWindGrows) {
    InstrumentModel model;
    model.SetWindSpeed(0);
    double previous = Number(model, "C32");
    EXPECT_NEAR(previous, 20, 2);
    for (double ws : {0.1, 1.0, 5.0, 20.0, 60.0}) {
        model.SetWindSpeed(ws);
        const double difT = Number(model, "C32");
        EXPECT_LT(difT, previous) << ws;
        EXPECT_GT(difT, 0) << ws;
        previous = difT;
    }
}

TEST(ModelVary, DriftsSmoothlyAndRepeatablyOnlyWhenOn) {
    InstrumentModel a, b;
    a.SetWind(5, 355, 2);
    a.SetTimeMs(90000);
    EXPECT_EQ(a.ValueText("M01"), "5.000");
    b = a;
    a.SetVary(true);
    b.SetVary(true);
    bool moved = false;
    double lastSpeed = 5;
    for (qint64 t = 0; t <= 600000; t += 250) {
        a.SetTimeMs(t);
        b.SetTimeMs(t);
        ASSERT_EQ(a.HandleFrame("RD,M01,M05,M06,M11,"), b.HandleFrame("RD,M01,M05,M06,M11,")) << t;
        const double speed = Number(a, "M01"), azimuth = Number(a, "M05");
        ASSERT_TRUE(azimuth >= 0 && azimuth < 360) << azimuth;
        EXPECT_LT(std::abs(speed - lastSpeed), 0.25) << t;
        moved = moved || std::abs(speed - 5) > 0.5;
        lastSpeed = speed;
    }
    EXPECT_TRUE(moved);
}

} // namespace
