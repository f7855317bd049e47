#include "model/InstrumentModel.h"
#include <gmock/gmock.h>

using krvsim::InstrumentModel;

namespace {

double Read(const InstrumentModel& model, const char* code) {
    return model.ValueText(code).toDouble();
}

TEST(CalibrationPhysics, WrittenDifferencesCancelTheSensorsOffsets) {
    InstrumentModel model;
    model.SetWind(0, 0, 0);
    const double air = Read(model, "C11");
    const double at1 = Read(model, "C21"), at2 = Read(model, "C22");
    ASSERT_NE(at1, at2) << "each sensor has an offset of its own";
    const double mid = (at1 + at2) / 2;
    model.SetValue("E16", QString::number(mid - at1));
    model.SetValue("E17", QString::number(mid - at2));
    EXPECT_NEAR(Read(model, "C21"), mid, 1e-9);
    EXPECT_NEAR(Read(model, "C22"), mid, 1e-9);
    for (int i = 0; i < 4; ++i) {
        const QByteArray code = "C" + QByteArray::number(16 + i);
        model.SetValue(QString("E%1").arg(12 + i), QString::number(air - Read(model, code)));
        EXPECT_NEAR(Read(model, code), air, 1e-9) << code.constData();
    }
}

// The speed follows C32 through the written E01, E02, E03; the instrument reads the true speed once
// they are what C32 reads at 0 and at E02, and exactly 0 at still air despite the noise.
TEST(CalibrationPhysics, ACalibratedInstrumentReadsTheTrueSpeedAndStillAirExactly) {
    InstrumentModel model;
    model.UseCalibrationSetting(5);
    model.SetWindSpeed(0);
    model.SetValue("E01", "50.00");
    model.SetValue("E02", "5.00");
    model.SetValue("E03", "20.00");
    EXPECT_GT(Read(model, "M01"), 0) << "the program's defaults do not fit this sensor";
    model.SetValue("E01", QString::number(Read(model, "C32"), 'f', 2));
    model.SetWindSpeed(5);
    EXPECT_GT(std::abs(Read(model, "M01") - 5), 0.0125);
    model.SetValue("E03", QString::number(Read(model, "C32"), 'f', 2));
    for (int i = 0; i < 20; ++i)
        EXPECT_NEAR(Read(model, "C02"), 5, 0.0125);
    model.SetWindSpeed(0);
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(model.ValueText("M01"), "0.000");
}

TEST(CalibrationPhysics, NoiseIsSeeded) {
    InstrumentModel a, b;
    a.UseCalibrationSetting(9);
    b.UseCalibrationSetting(9);
    QStringList readsA, readsB;
    for (int i = 0; i < 5; ++i) {
        readsA << a.ValueText("C21");
        readsB << b.ValueText("C21");
    }
    EXPECT_EQ(readsA, readsB);
    EXPECT_GT(readsA.removeDuplicates(), 0) << "and it does vary";
}

} // namespace
