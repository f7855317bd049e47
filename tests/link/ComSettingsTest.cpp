#include "link/ComSettings.h"
#include "common/IniFile.h"
#include "common/TextFile.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gmock/gmock.h>

namespace {

class ComSettingsFile : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    QString path = QDir(dir.path()).filePath("Port0.ini");

    void Write(const QStringList& lines) { ASSERT_TRUE(ReplaceFile(path, lines)); }
    QByteArray FileBytes() {
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return f.readAll();
    }
};

TEST_F(ComSettingsFile, MissingFileLeavesTheProgramDefaults) {
    TComSettings s = TComSettings::ProgramDefaults();
    LoadSettingsFile(s, path);
    EXPECT_EQ(s, TComSettings::ProgramDefaults()); // whose values StoresTheProgramSettingsExactly pins
}

TEST_F(ComSettingsFile, StoresTheProgramSettingsExactly) {
    StoreSettingsFile(TComSettings::ProgramDefaults(), path);
    EXPECT_EQ(FileBytes(), "[ComPortM]\r\nPort=COM7\r\nBaudRate=38400\r\nStopBits=1\r\nDataBits=8\r\n"
                           "Parity=None\r\nFlowControl=None\r\n");
}

TEST_F(ComSettingsFile, CustomRateIsWrittenOnlyWithCustom) {
    TComSettings s = TComSettings::ProgramDefaults();
    s.BaudRate = TBaudRate::brCustom;
    s.CustomBaudRate = 250000;
    StoreSettingsFile(s, path);
    EXPECT_THAT(FileBytes().toStdString(),
                ::testing::HasSubstr("BaudRate=Custom\r\nCustomBaudRate=250000\r\nStopBits=1"));

    TComSettings back = TComSettings::ProgramDefaults();
    LoadSettingsFile(back, path);
    EXPECT_EQ(back.BaudRateValue(), 250000);
}

TEST_F(ComSettingsFile, UnknownNamesFallBackAndNamesIgnoreCase) {
    Write({"[comportm]", "port=/dev/ttyUSB1", "BaudRate=fast", "parity=even", "STOPBITS=2", "DataBits=nine",
           "FlowControl=sometimes"});
    TComSettings s = TComSettings::ProgramDefaults();
    s.FlowControl.XonXoffIn = true; // an individual setting that "Custom" must not touch
    LoadSettingsFile(s, path);
    EXPECT_EQ(s.Port, "/dev/ttyUSB1");
    EXPECT_EQ(s.BaudRate, TBaudRate::br9600);
    EXPECT_EQ(s.Parity.Bits, TParityBits::prEven);
    EXPECT_EQ(s.StopBits, TStopBits::sbTwoStopBits);
    EXPECT_EQ(s.DataBits, TDataBits::dbEight);
    EXPECT_TRUE(s.FlowControl.XonXoffIn);
    EXPECT_FALSE(s.FlowControl.XonXoffOut);
    EXPECT_EQ(s.CustomBaudRate, 9600);
}

TEST_F(ComSettingsFile, MissingKeysKeepTheCurrentSettings) {
    Write({"[ComPortM]", "BaudRate=115200"});
    TComSettings s = TComSettings::ProgramDefaults();
    s.Port = "COM9";
    s.Parity.Bits = TParityBits::prOdd;
    LoadSettingsFile(s, path);
    EXPECT_EQ(s.Port, "COM9");
    EXPECT_EQ(s.Parity.Bits, TParityBits::prOdd);
    EXPECT_EQ(s.BaudRateValue(), 115200);
}

TEST_F(ComSettingsFile, OtherSectionsSurviveAStore) {
    Write({"[Notes]", "Bench=3", "[ComPortM]", "Port=COM2", "Extra=keep"});
    StoreSettingsFile(TComSettings::ProgramDefaults(), path);
    QStringList lines;
    ASSERT_TRUE(ReadLines(path, lines));
    EXPECT_THAT(lines,
                ::testing::IsSupersetOf({QString("Bench=3"), QString("Extra=keep"), QString("Port=COM7")}));
}

struct FlowCase {
    TFlowControl name;
    TRTSFlowControl rts;
    bool cts, xonIn, xonOut;
};

class FlowControlNames : public ::testing::TestWithParam<FlowCase> {};

TEST_P(FlowControlNames, AppliedNameDerivesBack) {
    const FlowCase c = GetParam();
    TComSettings s;
    s.FlowControl.ControlRTS = TRTSFlowControl::rtsToggle;
    s.FlowControl.OutCTSFlow = !c.cts;
    s.SetFlowControl(c.name);
    EXPECT_EQ(s.FlowControl.ControlRTS, c.rts);
    EXPECT_EQ(s.FlowControl.OutCTSFlow, c.cts);
    EXPECT_EQ(s.FlowControl.XonXoffIn, c.xonIn);
    EXPECT_EQ(s.FlowControl.XonXoffOut, c.xonOut);
    EXPECT_EQ(s.GetFlowControl(), c.name);
}

INSTANTIATE_TEST_SUITE_P(
    Named, FlowControlNames,
    ::testing::Values(FlowCase{TFlowControl::fcHardware, TRTSFlowControl::rtsHandshake, true, false, false},
                      FlowCase{TFlowControl::fcSoftware, TRTSFlowControl::rtsDisable, false, true, true},
                      FlowCase{TFlowControl::fcNone, TRTSFlowControl::rtsDisable, false, false, false}));

TEST(FlowControlName, MixedSettingsAreCustom) {
    TComSettings s;
    s.SetFlowControl(TFlowControl::fcNone);
    s.FlowControl.XonXoffIn = true; // only one direction
    EXPECT_EQ(s.GetFlowControl(), TFlowControl::fcCustom);
    const TComSettings before = s;
    s.SetFlowControl(TFlowControl::fcCustom);
    EXPECT_EQ(s, before);
}

} // namespace
