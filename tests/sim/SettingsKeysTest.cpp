#include "model/ConsoleCommand.h"
#include "model/InstrumentModel.h"
#include <gmock/gmock.h>

using krvsim::InstrumentModel;

namespace {

double Speed(const InstrumentModel& model) {
    return model.ValueText("M01").toDouble();
}

TEST(ModelSettings, InitialisationCodePutsSettingsBackButKeepsTheSessionKeys) {
    InstrumentModel model;
    const QByteArray factory = model.HandleFrame("RD,E12,E21,P32,E27,");
    model.HandleFrame("RW,E12=0.500,E21=1.100,P32=1800,E27=0.2,");
    EXPECT_EQ(model.HandleFrame("RD,E12,P32,"), "AD,E12=0.500,P32=1800,");
    // The answer repeats the request, so the program's check of the initialisation passes.
    EXPECT_EQ(model.HandleFrame("RW,E91=1,P99=8137,P91=8161,"), "AW,E91=1,P99=8137,P91=8161,");
    EXPECT_EQ(model.HandleFrame("RD,E12,E21,P32,E27,"), factory);
    // Any other value of P91 is held and changes nothing.
    model.HandleFrame("RW,E12=0.5,P91=8160,");
    EXPECT_EQ(model.HandleFrame("RD,E12,"), "AD,E12=0.5,");
}

TEST(ModelSettings, FactoryCalibrationReadsTheTrueSpeed) {
    InstrumentModel model;
    for (double speed : {0.0, 0.4, 3.5, 5.0, 12.25}) {
        model.SetWindSpeed(speed);
        EXPECT_NEAR(Speed(model), speed, 0.0005) << speed;
        EXPECT_EQ(model.ValueText("C02"), model.ValueText("M01"));
    }
}

// The calibration as the program runs it: the program's own defaults first (the instrument then reads
// far off), then E01 from the temperature difference at 0 m/s and E03 from the one at the reference
// speed, each sent with two decimals.
TEST(ModelSettings, AFinishedCalibrationReadsTheReferenceSpeed) {
    InstrumentModel model;
    model.HandleFrame("RW,E91=1,P99=8137,E01=50.00,E02=5.00,E03=20.00,E04=0.200,");
    model.SetWindSpeed(5);
    EXPECT_GT(std::abs(Speed(model) - 5), 1.0);

    model.SetWindSpeed(0);
    const QString difT0 = QString::number(model.ValueText("C32").toDouble(), 'f', 2);
    model.HandleFrame("RW,E91=1,E01=" + difT0.toLatin1() + ",");
    model.SetWindSpeed(5);
    const QString adjDifT = QString::number(model.ValueText("C32").toDouble(), 'f', 2);
    model.HandleFrame("RW,E91=1,E03=" + adjDifT.toLatin1() + ",E02=5.00,");
    // Within the calibration's band of a quarter per cent of the reference.
    EXPECT_NEAR(Speed(model), 5.0, 5.0 * 0.0025);
}

struct MisbehaviourCase {
    const char* Name;
    void (*Arrange)(InstrumentModel::WriteMisbehaviour&);
    QByteArray Answer;
};

class WriteMisbehaviourTest : public ::testing::TestWithParam<MisbehaviourCase> {};

TEST_P(WriteMisbehaviourTest, OnlyTheWriteAnswerChanges) {
    InstrumentModel model;
    GetParam().Arrange(model.Misbehaviour);
    EXPECT_EQ(model.HandleFrame("RW,E12=0.5,E13=0.25,"), GetParam().Answer);
    const bool applied = !model.Misbehaviour.Silent;
    EXPECT_EQ(model.HandleFrame("RD,E12,E13,"), applied ? "AD,E12=0.5,E13=0.25," : "AD,E12=0,E13=0,");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WriteMisbehaviourTest,
    ::testing::Values(
        MisbehaviourCase{"None", [](auto&) {}, "AW,E12=0.5,E13=0.25,"},
        MisbehaviourCase{"Silent", [](auto& m) { m.Silent = true; }, ""},
        MisbehaviourCase{"OtherValue", [](auto& m) { m.Values.insert("E13", "9"); }, "AW,E12=0.5,E13=9,"},
        MisbehaviourCase{"LastPairLeftOut", [](auto& m) { m.DropLastPair = true; }, "AW,E12=0.5,"},
        MisbehaviourCase{"KeyInAnothersPlace", [](auto& m) { m.KeyInPlace.insert("E12", "E14"); },
                         "AW,E14=0.5,E13=0.25,"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(ConsoleMisbehave, CommandsSetAndClearTheWrongAnswers) {
    InstrumentModel model;
    krvsim::FaultInjector faults;
    auto run = [&](const char* line) { return krvsim::RunConsoleCommand(QString(line), model, faults); };
    EXPECT_TRUE(run("misbehave value E13 9").Ok);
    EXPECT_TRUE(run("misbehave key E12 E14").Ok);
    EXPECT_TRUE(run("misbehave drop-last on").Ok);
    EXPECT_EQ(model.HandleFrame("RW,E12=0.5,E13=0.25,E15=1,"), "AW,E14=0.5,E13=9,");
    EXPECT_TRUE(run("misbehave silent-writes on").Ok);
    EXPECT_EQ(model.HandleFrame("RW,E12=0.5,"), "");
    for (const char* bad : {"misbehave drop-last maybe", "misbehave value E13", "misbehave what"})
        EXPECT_FALSE(run(bad).Ok) << bad;
    EXPECT_EQ(run("misbehave none").Text, "OK silent-writes=off drop-last=off");
    EXPECT_EQ(model.HandleFrame("RW,E12=0.5,"), "AW,E12=0.5,");
}

} // namespace
