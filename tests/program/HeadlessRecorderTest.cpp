#include "program/HeadlessRecorder.h"
#include "common/Clock.h"
#include "common/TextFile.h"
#include "support/SimulatedInstrumentPort.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <atomic>
#include <gmock/gmock.h>

namespace {

// The log as one text, so that a failure shows it readably.
std::string Lines(const QStringList& lines) {
    return lines.join('\n').toStdString();
}

// The file system, until the test makes every append fail (a full disk, say).
class SwitchedStorage final : public RecordStorage {
  public:
    explicit SwitchedStorage(std::shared_ptr<std::atomic<bool>> fail) : fail_(std::move(fail)) {}
    FileResult EnsureFolder(const QString& folder) override { return files_.EnsureFolder(folder); }
    bool IsNewFile(const QString& path) override { return files_.IsNewFile(path); }
    FileResult Append(const QString& path, const QStringList& lines) override {
        if (*fail_) return FileResult::Failure(path + QStringLiteral(": No space left on device"));
        return files_.Append(path, lines);
    }

  private:
    std::shared_ptr<std::atomic<bool>> fail_;
    TFileStorage files_;
};

// The recorder as main() runs it, with the simulator's instrument model behind an in-memory port and
// the manual clock: every tick is 200 ms, the answers arrive between two ticks. Each log line is
// kept with the seconds since the start at which it came, and the scratch folder written as DIR.
class HeadlessRecorderTest : public ::testing::Test {
  protected:
    explicit HeadlessRecorderTest(TDateTime start = EncodeDateTime(2026, 12, 9, 10, 0, 0))
        : clock(start), start_(start), recorder(port, clock, dir.path(), QStringLiteral("/dev/ttyUSB0"),
                                                std::make_unique<SwitchedStorage>(failWrites)) {
        port.Model.SetWind(3.25, 271, -2);
    }

    QTemporaryDir dir;
    SimulatedInstrumentPort port;
    ManualClock clock;
    TDateTime start_;
    std::shared_ptr<std::atomic<bool>> failWrites = std::make_shared<std::atomic<bool>>(false);
    THeadlessRecorder recorder;
    TProgramCore& core = recorder.Core();
    QStringList log;
    int openFailures = 0;
    TNotifier<const TLogLine&>::Subscription logging = recorder.LogLine.Follow([this](const TLogLine& line) {
        log << QStringLiteral("%1 %2 %3")
                   .arg(std::llround((clock.Now() - start_) * 86400 * 10) / 10.0)
                   .arg(line.Level == TLogLevel::Warning ? "!" : "-")
                   .arg(QString(line.Text).replace(dir.path(), "DIR"));
    });
    TNotifier<>::Subscription failures = core.Link.OpenFailed.Follow([this] { ++openFailures; });

    void Tick(int n = 1) {
        for (int i = 0; i < n; ++i) {
            recorder.Tick();
            core.Monitor.FlushRecords();
            port.DeliverAnswers();
            clock.AdvanceMs(200);
        }
    }
    void Seconds(int n) { Tick(5 * n); }

    // The second record's rows: the seconds of their time stamps, counted from the start.
    QList<int> SecondRows(const QString& day = "20261209") const {
        QList<int> seconds;
        QFile file(QDir(dir.path()).filePath("Record/RT_ttyUSB0_" + day + ".csv"));
        if (!file.open(QIODevice::ReadOnly)) return seconds;
        const int startSecond = int(WholeSeconds(start_) % 86400);
        for (const QByteArray& line : file.readAll().split('\n')) {
            if (!line.startsWith("2026/")) continue;
            EXPECT_EQ(line.count(','), 8) << line.constData();
            const int daySecond =
                line.mid(11, 2).toInt() * 3600 + line.mid(14, 2).toInt() * 60 + line.mid(17, 2).toInt();
            seconds << daySecond - startSecond;
        }
        return seconds;
    }

    void WriteFile(const QString& name, const QByteArray& bytes) {
        QFile file(QDir(dir.path()).filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
};

TEST_F(HeadlessRecorderTest, ALostPortIsTriedEveryFiveSecondsAndRecordingResumesWhenItIsBack) {
    recorder.Start(true);
    Seconds(10);
    port.Lose();
    port.FailOpen = true;
    Seconds(12);
    EXPECT_EQ(openFailures, 2) << "tried 5 and 10 s after the loss, not at every tick";
    port.FailOpen = false;
    Seconds(8);

    EXPECT_EQ(Lines(log), Lines({"0 - recording /dev/ttyUSB0 into DIR/Record, second record on",
                                 "0 - port /dev/ttyUSB0 opened",
                                 "1 - second record: new file DIR/Record/RT_ttyUSB0_20261209.csv",
                                 "6 - minute record: new file DIR/Record/RT_20261209.RCD",
                                 "10 ! port /dev/ttyUSB0 lost; trying again every 5 s",
                                 "25 - port /dev/ttyUSB0 back after 15 s"}));
    const QList<int> rows = SecondRows();
    // Valid from the third poll on; nothing while the port is away; valid again three polls after
    // the reopen at 25 s.
    QList<int> expected;
    for (int s = 1; s <= 9; ++s)
        expected << s;
    for (int s = 26; s <= 29; ++s)
        expected << s;
    EXPECT_EQ(rows, expected);
}

// The system's reason once, however long the port stays away, and again only when it changes.
TEST_F(HeadlessRecorderTest, APortThatNeverOpensLogsItsReasonOnceAndIsTriedEveryFiveSeconds) {
    port.FailOpen = true;
    recorder.Start(std::nullopt);
    Seconds(60);
    EXPECT_EQ(openFailures, 12) << "at 0, 5, ... 55 s";
    EXPECT_FALSE(core.Link.LinkOpen());
    port.FailOpen = false;
    Seconds(5);
    EXPECT_TRUE(core.IsPolling());
    EXPECT_EQ(Lines(log),
              Lines({"0 - recording /dev/ttyUSB0 into DIR/Record, second record off",
                     "0 ! /dev/ttyUSB0: No such file or directory — choose the instrument's port in the "
                     "port settings; trying again every 5 s",
                     "60 - port /dev/ttyUSB0 opened after 60 s"}));
    EXPECT_TRUE(SecondRows().isEmpty()) << "BaseSetpoint.ini has no switch: off";
}

// Local time goes back an hour at the end of summer time; the next try must not wait for it.
TEST_F(HeadlessRecorderTest, AClockSetBackDoesNotPutTheNextTryAnHourAway) {
    port.FailOpen = true;
    recorder.Start(std::nullopt);
    Seconds(3);
    EXPECT_EQ(openFailures, 1);
    clock.Set(clock.Now() - 1.0 / 24);
    Tick();
    EXPECT_EQ(openFailures, 2);
    Seconds(4);
    EXPECT_EQ(openFailures, 2) << "then every 5 s again";
    Seconds(2);
    EXPECT_EQ(openFailures, 3);
}

TEST_F(HeadlessRecorderTest, ASilentInstrumentIsLoggedOnceAndSoIsItsReturn) {
    recorder.Start(false);
    Seconds(5);
    port.Answering = false;
    Seconds(30);
    port.Answering = true;
    Seconds(2);
    EXPECT_EQ(Lines(log),
              Lines({"0 - recording /dev/ttyUSB0 into DIR/Record, second record off",
                     "0 - port /dev/ttyUSB0 opened",
                     "15.4 ! the instrument on /dev/ttyUSB0 has not answered for 10 s; nothing is recorded",
                     "35.6 - the instrument on /dev/ttyUSB0 answers again"}));
}

// A disk that fills up for a while, across midnight: one line when the rows stop landing, one when
// they land again, and each new day file named as its first row lands.
TEST_F(HeadlessRecorderTest, ARecordFailingAndWrittenAgainIsLoggedOnceEachWayAndEachNewDayFileToo) {
    clock.Set(EncodeDateTime(2026, 12, 9, 23, 59, 40));
    start_ = clock.Now();
    recorder.Start(true);
    Seconds(5);
    *failWrites = true;
    Seconds(10);
    *failWrites = false;
    Seconds(20);
    EXPECT_EQ(
        Lines(log),
        Lines({"0 - recording /dev/ttyUSB0 into DIR/Record, second record on", "0 - port /dev/ttyUSB0 opened",
               "1 - second record: new file DIR/Record/RT_ttyUSB0_20261209.csv",
               "5.2 ! second record not written: DIR/Record/RT_ttyUSB0_20261209.csv: No space left on device",
               "15.2 - second record written again",
               "20 - second record: new file DIR/Record/RT_ttyUSB0_20261210.csv",
               "26 - minute record: new file DIR/Record/RT_20261210.RCD"}));
}

// The end as the window's close: the minute in progress is not written, the port closes, the
// records' waiting rows land, and the end is no lost port.
TEST_F(HeadlessRecorderTest, StopDropsTheMinuteInProgressClosesThePortAndIsNoLoss) {
    recorder.Start(true);
    Seconds(90);
    recorder.Stop("SIGTERM");
    Seconds(10);
    EXPECT_FALSE(core.Link.LinkOpen());
    EXPECT_FALSE(port.Connected());
    EXPECT_EQ(openFailures, 0);
    EXPECT_EQ(log.last(), "90 - stopped (SIGTERM)") << log.join('\n').toStdString();
    EXPECT_FALSE(log.join('\n').contains("lost"));
    EXPECT_EQ(SecondRows().size(), 89) << "the first two polls give no valid sample";
    QFile minutes(QDir(dir.path()).filePath("Record/RT_20261209.RCD"));
    ASSERT_TRUE(minutes.open(QIODevice::ReadOnly));
    EXPECT_EQ(minutes.readAll().count("2026/12/09 10:"), 2)
        << "closed at 10:00:06 and 10:01:06; the seconds after that are dropped";
}

// The start loads what the window's start loads; --second-record overrides the switch for the run
// and neither file is written, whatever the switch.
struct StartRow {
    const char* baseSetpoint; // nullptr: no file
    std::optional<bool> secondRecord;
    bool expectedOn;
};

class HeadlessStart : public HeadlessRecorderTest, public ::testing::WithParamInterface<StartRow> {};

TEST_P(HeadlessStart, LoadsTheSettingsAsTheWindowDoesAndStoresNothing) {
    const StartRow& row = GetParam();
    if (row.baseSetpoint) WriteFile("BaseSetpoint.ini", row.baseSetpoint);
    WriteFile("Port0.ini", "[ComPortM]\r\nPort=/dev/ttyS3\r\n");
    recorder.Start(row.secondRecord);
    EXPECT_EQ(core.Monitor.SecondRecord(), row.expectedOn);
    EXPECT_EQ(core.Link.ComPortM.Port(), "/dev/ttyUSB0") << "--port over Port0.ini";
    if (row.baseSetpoint) {
        EXPECT_FLOAT_EQ(core.Settings.Prm.WDDif[0], 0.125f);
    }
    Seconds(3);
    recorder.Stop("SIGINT");
    EXPECT_EQ(!SecondRows().isEmpty(), row.expectedOn);
    const QDir folder(dir.path());
    EXPECT_EQ(QFileInfo::exists(folder.filePath("BaseSetpoint.ini")), row.baseSetpoint != nullptr);
    if (row.baseSetpoint) {
        QFile file(folder.filePath("BaseSetpoint.ini"));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), QByteArray(row.baseSetpoint));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, HeadlessStart,
    ::testing::Values(StartRow{"[Early-WD]\r\nErDifDir0=0.125\r\n[Record]\r\nSecRec=1\r\n", std::nullopt,
                               true},
                      StartRow{"[Early-WD]\r\nErDifDir0=0.125\r\n[Record]\r\nSecRec=1\r\n", false, false},
                      StartRow{"[Early-WD]\r\nErDifDir0=0.125\r\n[Record]\r\nSecRec=0\r\n", true, true},
                      StartRow{nullptr, std::nullopt, false}, StartRow{nullptr, true, true}));

TEST(HeadlessLogLine, TheJournalGetsThePriorityATerminalTheTime) {
    const TDateTime t = EncodeDateTime(2026, 12, 9, 7, 5, 3);
    EXPECT_EQ(FormatLogLine({TLogLevel::Warning, "port lost"}, t, true), "<4>port lost");
    EXPECT_EQ(FormatLogLine({TLogLevel::Info, "port back"}, t, true), "<6>port back");
    EXPECT_EQ(FormatLogLine({TLogLevel::Warning, "port lost"}, t, false), "2026-12-09 07:05:03 port lost");
}

} // namespace
