#include "MonitorRig.h"
#include <gmock/gmock.h>

namespace {

// Record rows fail without a message box, but never unseen: what failed and why is kept for the
// status bar until a row of that record lands again.
class RecordHealthTest : public MonitorRig {
  protected:
    void SetUp() override {
        Collecting(true);
        OpenPort(QStringLiteral("COM7"));
        monitor.SetSecondRecord(true);
    }
};

TEST_F(RecordHealthTest, AFolderThatCannotBeMadeFailsBothRecordsUntilItCan) {
    Put(monitor.Records.Folder(), "not a folder"); // as a read-only program folder would, also for root
    Seconds(10, 0, 0, 6);
    EXPECT_THAT(monitor.Health.MinuteFailure.toStdString(), ::testing::EndsWith("Record: Not a directory"));
    EXPECT_EQ(monitor.Health.SecondFailure, monitor.Health.MinuteFailure);
    EXPECT_EQ(monitor.RecordStatus().Text, "REC!");
    EXPECT_TRUE(monitor.RecordStatus().Detail.contains("Minute record not written: "));

    QFile::remove(monitor.Records.Folder());
    Seconds(10, 0, 7, 59);
    EXPECT_EQ(monitor.Health.SecondFailure, "");
    EXPECT_EQ(monitor.RecordStatus().Text, "REC!") << "the minute record has not written since";
    Seconds(10, 1, 0, 6);
    EXPECT_EQ(monitor.RecordStatus(), (TRecordStatus{"SR", ""}));
}

// The row is lost whole and silently; the next one lands after it.
TEST_F(RecordHealthTest, ARowThatCannotBeWrittenFailsAndTheNextThatLandsClearsIt) {
    Seconds(10, 0, 0, 1);
    const QString path = RecordPath("RT_COM7_20240529.csv");
    const QByteArray before = Bytes(path);
    {
        QFile::setPermissions(path, QFile::ReadOwner);
        const FileSizeLimit full(rlim_t(before.size()));
        StepAt(10, 0, 2);
    }
    EXPECT_EQ(Bytes(path), before);
    EXPECT_EQ(monitor.RecordStatus().Text, "SR!");
    EXPECT_THAT(
        monitor.RecordStatus().Detail.toStdString(),
        ::testing::StartsWith("Second record not written: " + QDir::toNativeSeparators(path).toStdString()));
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    StepAt(10, 0, 3);
    EXPECT_EQ(monitor.RecordStatus().Text, "SR");
    const QStringList lines = Lines("RT_COM7_20240529.csv");
    ASSERT_EQ(lines.size(), 2 + 3);
    EXPECT_TRUE(lines.last().startsWith("2024/05/29 10:00:03,"));
    EXPECT_TRUE(prompts.Errors.isEmpty());
}

TEST_F(RecordHealthTest, SwitchingTheSecondRecordOffEndsItsFailure) {
    monitor.Health.SecondFailure = QStringLiteral("Record/RT_COM7_20240529.csv: No space left on device");
    monitor.SetSecondRecord(false);
    EXPECT_EQ(monitor.RecordStatus(), (TRecordStatus{"", ""}));
}

struct StatusCase {
    bool on;
    const char* minute;
    const char* second;
    const char* text;
};

class RecordStatusText : public ::testing::TestWithParam<StatusCase> {};

TEST_P(RecordStatusText, ShowsTheSwitchOnlyWhileItsRowsLand) {
    const StatusCase c = GetParam();
    EXPECT_EQ(MakeRecordStatus(c.on, {c.minute, c.second}).Text, c.text);
}

INSTANTIATE_TEST_SUITE_P(States, RecordStatusText,
                         ::testing::Values(StatusCase{false, "", "", ""}, StatusCase{true, "", "", "SR"},
                                           StatusCase{true, "", "x", "SR!"},
                                           StatusCase{true, "x", "", "REC!"},
                                           StatusCase{true, "x", "x", "REC!"},
                                           StatusCase{false, "x", "", "REC!"}));

} // namespace
