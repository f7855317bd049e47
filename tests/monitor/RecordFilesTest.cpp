#include "MonitorRig.h"
#include "monitor/RecordRows.h"

namespace {

class RecordFilesTest : public MonitorRig {
  protected:
    void SetUp() override {
        Collecting(true);
        OpenPort(QStringLiteral("COM7"));
    }
};

TEST_F(RecordFilesTest, ShiftOpeningDuringARunPutsTheLongHeadersBeforeTheNextRowOnce) {
    Seconds(10, 0, 0, 6);
    monitor.EnterServiceMode();
    Seconds(10, 0, 7, 59);
    Seconds(10, 1, 0, 59);
    Seconds(10, 2, 0, 6);
    const QStringList lines = Lines("RT_20240529.RCD");
    ASSERT_EQ(lines.size(), 7);
    EXPECT_EQ(lines.mid(3, 2), MinuteRecordHeader(true));
    for (int i : {5, 6})
        EXPECT_EQ(lines[i].count(','), lines[4].count(',') + 1) << "long row " << i;
}

TEST_F(RecordFilesTest, NewFileRightAfterALayoutChangeGetsItsHeadersTwice) {
    monitor.EnterServiceMode();
    Seconds(10, 0, 0, 6);
    const QStringList lines = Lines("RT_20240529.RCD");
    ASSERT_EQ(lines.size(), 5);
    EXPECT_EQ(lines.mid(0, 2), lines.mid(2, 2));
}

TEST_F(RecordFilesTest, SecondRowOfTheWorkedExample) {
    TSampleRec s;
    s.WindSpeed = 1.2346f;
    s.Azimuth = 359.6f;
    s.Depression = -2.4f;
    s.AirTempInternal = 21.26f;
    s.VectorX = 0.5f;
    s.VectorY = -1;
    s.VectorZ = 0;
    EXPECT_EQ(SecondRecordRow(s, EncodeDateTime(2024, 5, 29, 10, 0, 1)),
              "2024/05/29 10:00:01,1.235,360,-2,21.3,0.500,-1.000,0.000,");
}

TEST_F(RecordFilesTest, SecondRecordIsCp932WithCrLfAndNoByteOrderMark) {
    monitor.SetSecondRecord(true);
    StepAt(10, 0, 0);
    const QByteArray bytes = Bytes(RecordPath("RT_COM7_20240529.csv"));
    // 風速 and 時刻, °, ℃ in code page 932.
    EXPECT_TRUE(bytes.startsWith("COM7,\x95\x97\x91\xAC,"));
    EXPECT_TRUE(
        bytes.contains("\r\n\x8E\x9E\x8D\x8F,m/s.,\x81\x8B,\x81\x8B,\x81\x8E,,,,,,\r\n2024/05/29 10:00:00,"));
    EXPECT_TRUE(bytes.endsWith(",\r\n"));
    EXPECT_EQ(bytes.count("\r\n"), bytes.count("\n"));
}

TEST_F(RecordFilesTest, NoSecondRowsWhileStoppedButTheDirectoryIsMade) {
    monitor.SetSecondRecord(true);
    Collecting(false);
    Seconds(10, 0, 0, 3);
    EXPECT_TRUE(QDir(monitor.Records.Folder()).exists());
    EXPECT_TRUE(QDir(monitor.Records.Folder()).isEmpty());
}

TEST_F(RecordFilesTest, PortPathNamesTheFileByItsLastComponentInsideTheRecordDirectory) {
    monitor.SetSecondRecord(true);
    for (const char* port : {"/tmp/krv", "../../krv"}) {
        OpenPort(QString::fromLatin1(port));
        StepAt(10, 0, port[0] == '/' ? 0 : 1);
    }
    const QStringList lines = Lines("RT_krv_20240529.csv");
    ASSERT_EQ(lines.size(), 4);
    EXPECT_TRUE(lines[0].startsWith("/tmp/krv,")) << "the header keeps the whole name";
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"Record"});
}

struct PortCase {
    const char* port;
    const char* part;
};

class PortPartTest : public ::testing::TestWithParam<PortCase> {};

TEST_P(PortPartTest, LastComponentWithUnsafeCharactersReplaced) {
    EXPECT_EQ(SecondRecordPortPart(QString::fromUtf8(GetParam().port)), QString::fromUtf8(GetParam().part));
}

INSTANTIATE_TEST_SUITE_P(Names, PortPartTest,
                         ::testing::Values(PortCase{"COM7", "COM7"}, PortCase{"/dev/ttyUSB0", "ttyUSB0"},
                                           PortCase{"\\\\.\\COM10", "COM10"},
                                           PortCase{"/tmp/a:b*c?", "a_b_c_"},
                                           PortCase{"/dev/tty\x01x", "tty_x"}));

// A full disk in the middle of a row, at several points of it: the row is lost whole and the next
// one stands on a line of its own with all its fields.
class RecordCutShortTable : public RecordFilesTest, public ::testing::WithParamInterface<int> {};

TEST_P(RecordCutShortTable, SecondRowIsLostWholeAndTheNextStandsAlone) {
    monitor.SetSecondRecord(true);
    Seconds(10, 0, 0, 1);
    const QString path = RecordPath("RT_COM7_20240529.csv");
    const QByteArray before = Bytes(path);
    const qsizetype rowBytes = before.size() - before.chopped(2).lastIndexOf('\n') - 1;
    const qsizetype fits = GetParam() >= 0 ? GetParam() : rowBytes + GetParam();
    {
        const FileSizeLimit full(rlim_t(before.size() + fits));
        StepAt(10, 0, 2);
    }
    EXPECT_EQ(Bytes(path), before);
    StepAt(10, 0, 3);
    const QStringList lines = Lines("RT_COM7_20240529.csv");
    ASSERT_EQ(lines.size(), 5);
    for (const QString& row : lines.mid(2))
        EXPECT_EQ(row.split(',').size(), 9) << row.toStdString();
    EXPECT_TRUE(lines[4].startsWith("2024/05/29 10:00:03,"));
    EXPECT_TRUE(Bytes(path).endsWith(",\r\n"));
}

INSTANTIATE_TEST_SUITE_P(Offsets, RecordCutShortTable, ::testing::Values(1, 19, 20, -2, -1));

TEST_F(RecordFilesTest, LostFirstLongRowBringsItsHeadersWithTheNextRow) {
    Seconds(10, 0, 0, 6);
    monitor.EnterServiceMode();
    Seconds(10, 0, 7, 59);
    const QString path = RecordPath("RT_20240529.RCD");
    {
        const FileSizeLimit full(rlim_t(Bytes(path).size()));
        Seconds(10, 1, 0, 6);
    }
    Seconds(10, 1, 7, 59);
    Seconds(10, 2, 0, 6);
    const QStringList lines = Lines("RT_20240529.RCD");
    ASSERT_EQ(lines.size(), 6);
    EXPECT_TRUE(lines[3].endsWith("DA出力,,"));
    EXPECT_TRUE(lines[5].startsWith("2024/05/29 10:02,"));
}

struct SettingCase {
    const char* file; // nullptr: no file at all
    bool secRec;
};

class RecordSettingsTest : public MonitorRig, public ::testing::WithParamInterface<SettingCase> {};

TEST_P(RecordSettingsTest, SwitchIsAnIntegerOtherThanZero) {
    const QString path = QDir(dir.path()).filePath("BaseSetpoint.ini");
    if (GetParam().file) Put(path, GetParam().file);
    monitor.SetSecondRecord(!GetParam().secRec);
    monitor.LoadRecordSettings();
    EXPECT_EQ(monitor.SecondRecord(), GetParam().secRec);
}

INSTANTIATE_TEST_SUITE_P(Values, RecordSettingsTest,
                         ::testing::Values(SettingCase{"[Record]\r\nSecRec=1\r\n", true},
                                           SettingCase{"[record]\r\nsecrec=0x1\r\n", true},
                                           SettingCase{"[Record]\r\nSecRec=-2\r\n", true},
                                           SettingCase{"[Record]\r\nSecRec=0\r\n", false},
                                           SettingCase{"[Record]\r\nSecRec=abc\r\n", false},
                                           SettingCase{"[Record]\r\nSecRec=1.0\r\n", false},
                                           SettingCase{"[Other]\r\nSecRec=1\r\n", false},
                                           SettingCase{nullptr, false}));

TEST_F(RecordFilesTest, SavingTheSwitchChangesOnlyItsValue) {
    const QString path = QDir(dir.path()).filePath("BaseSetpoint.ini");
    const QByteArray other = "[WritePrm]\r\nDifT0m=12.5\r\nSerial=KRV-0001\r\n\r\n";
    Put(path, other + "[Record]\r\nSecRec=0\r\n\r\n[Tail]\r\nx=y\r\n");
    monitor.SetSecondRecord(true);
    monitor.SaveRecordSettings();
    EXPECT_EQ(Bytes(path), other + "[Record]\r\nSecRec=1\r\n\r\n[Tail]\r\nx=y\r\n");
    monitor.SetSecondRecord(false);
    monitor.SaveRecordSettings();
    EXPECT_EQ(Bytes(path), other + "[Record]\r\nSecRec=0\r\n\r\n[Tail]\r\nx=y\r\n");
}

} // namespace
