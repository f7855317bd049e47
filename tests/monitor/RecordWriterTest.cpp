#include "MonitorRig.h"
#include "monitor/RecordRows.h"
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace {

// The file system, but every append waits until the test lets it go, as a hung network share or a
// flushing USB stick does. A wait that lasts 10 s gives up, so a writer that blocks its caller
// fails the test instead of hanging it.
class HeldStorage : public RecordStorage {
  public:
    FileResult EnsureFolder(const QString& folder) override { return files_.EnsureFolder(folder); }
    bool IsNewFile(const QString& path) override { return files_.IsNewFile(path); }
    FileResult Append(const QString& path, const QStringList& lines) override {
        std::unique_lock lock(mutex_);
        ++started_;
        changed_.notify_all();
        if (!changed_.wait_for(lock, std::chrono::seconds(10), [this] { return Released; })) GaveUp = true;
        return files_.Append(path, lines);
    }
    void Release() {
        const std::lock_guard lock(mutex_);
        Released = true;
        changed_.notify_all();
    }
    // Waits until `n` appends have begun; false after 10 s.
    bool WaitUntilStarted(int n) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(10), [&] { return started_ >= n; });
    }
    bool Released = false;
    bool GaveUp = false;

  private:
    TFileStorage files_;
    std::mutex mutex_;
    std::condition_variable changed_;
    int started_ = 0;
};

TRecordRow SecondRow(int s) {
    const TDateTime t = EncodeDateTime(2024, 5, 29, 10, 0, s);
    return {TRecordKind::Second, SecondRecordFileName("COM7", t), SecondRecordHeader("COM7"), false,
            SecondRecordRow(TSampleRec{}, t)};
}

// The monitor's ticks go on while a row hangs; once the disk answers, every row lands, in order.
TEST(RecordWriter, AHangingWriteHoldsUpNoTickAndLosesNoRow) {
    QTemporaryDir dir;
    TMeasurementStore store;
    store.CurrentSample.Valid = true;
    ManualClock clock{EncodeDateTime(2024, 5, 29, 10, 0, 0)};
    RecordingPrompts prompts;
    FakeSerialPort port;
    port.Settings.Port = QStringLiteral("COM7");
    TDeviceLink link(port, prompts, prompts, dir.path());
    ASSERT_TRUE(link.OpenLink());
    auto held = std::make_unique<HeldStorage>();
    HeldStorage& storage = *held;
    TMonitor monitor(store, link, clock, prompts, dir.path(), std::move(held));
    monitor.SetSecondRecord(true);
    for (int s = 0; s < 10; ++s) {
        clock.Set(EncodeDateTime(2024, 5, 29, 10, 0, s));
        monitor.OnMainTick();
    }
    EXPECT_FALSE(storage.GaveUp) << "a tick waited for the disk";
    const QString path = QDir(monitor.Records.Folder()).filePath("RT_COM7_20240529.csv");
    EXPECT_FALSE(QFile::exists(path)) << "the first row still hangs";

    storage.Release();
    monitor.FlushRecords();
    QStringList lines;
    ASSERT_TRUE(ReadLines(path, lines));
    ASSERT_EQ(lines.size(), 2 + 10);
    for (int s = 0; s < 10; ++s)
        EXPECT_TRUE(
            lines[2 + s].startsWith(QStringLiteral("2024/05/29 10:00:%1,").arg(s, 2, 10, QLatin1Char('0'))));
    EXPECT_EQ(monitor.RecordStatus().Text, "SR");
}

// The program's end writes what still waits; a row that finds the queue full is lost and says so.
TEST(RecordWriter, TheEndWritesEveryWaitingRowAndAFullQueueRefusesOne) {
    QTemporaryDir dir;
    const QString folder = dir.filePath("Record");
    auto held = std::make_unique<HeldStorage>();
    HeldStorage& storage = *held;
    QList<TRecordOutcome> outcomes;
    {
        TRecordWriter writer(std::move(held), folder, TRecordWriter::TMode::Thread, 2);
        writer.Submit(SecondRow(0));
        ASSERT_TRUE(storage.WaitUntilStarted(1));
        for (int s = 1; s < 4; ++s)
            writer.Submit(SecondRow(s));
        outcomes = writer.TakeOutcomes();
        storage.Release();
    }
    ASSERT_EQ(outcomes.size(), 1);
    EXPECT_EQ(outcomes[0].Result.Error, "2 rows wait for the disk; this one is lost");
    QStringList lines;
    ASSERT_TRUE(ReadLines(QDir(folder).filePath("RT_COM7_20240529.csv"), lines));
    ASSERT_EQ(lines.size(), 2 + 3);
    EXPECT_TRUE(lines.last().startsWith("2024/05/29 10:00:02,"));
}

// The file system, refusing any append that holds a row marked "refused", as a disk refuses a row
// that does not fit.
class RefusingStorage : public RecordStorage {
  public:
    FileResult EnsureFolder(const QString& folder) override { return files_.EnsureFolder(folder); }
    bool IsNewFile(const QString& path) override { return files_.IsNewFile(path); }
    FileResult Append(const QString& path, const QStringList& lines) override {
        for (const QString& line : lines)
            if (line.contains(QLatin1String("refused")))
                return FileResult::Failure(QStringLiteral("refused"));
        return files_.Append(path, lines);
    }

  private:
    TFileStorage files_;
};

// Rows that piled up go out together, with the same bytes and results as one by one: headers of a
// new file and of each minute layout change, a day's change, and a refused row that costs only
// itself.
TEST(RecordWriter, RowsWrittenTogetherLandAsTheyWouldOneByOne) {
    std::vector<TRecordRow> rows;
    for (int s = 0; s < 3; ++s)
        rows.push_back(SecondRow(s));
    TRecordRow nextDay = SecondRow(3);
    nextDay.FileName = QStringLiteral("RT_COM7_20240530.csv");
    rows.push_back(nextDay);
    for (const bool longLayout : {false, true, true, false}) {
        const QString text = QStringLiteral("2024/05/29 10:0%1,row").arg(rows.size());
        rows.push_back({TRecordKind::Minute, QStringLiteral("RT_20240529.RCD"),
                        MinuteRecordHeader(longLayout), longLayout, text});
    }
    rows.push_back(SecondRow(4));
    rows.back().Text += QLatin1String(",refused");
    rows.push_back(SecondRow(5));

    QTemporaryDir dir;
    const auto write = [&](const QString& name, bool together) {
        RefusingStorage storage;
        TRecordFiles files(storage, dir.filePath(name));
        if (together) return files.WriteAll(rows);
        QList<TRecordFiles::TWritten> written;
        for (const TRecordRow& row : rows) {
            TRecordFiles::TWritten w;
            w.Result = files.Write(row, &w.StartedFile);
            written << w;
        }
        return written;
    };
    const QList<TRecordFiles::TWritten> oneByOne = write("one", false);
    const QList<TRecordFiles::TWritten> together = write("together", true);
    ASSERT_EQ(together.size(), qsizetype(rows.size()));
    for (qsizetype k = 0; k < together.size(); ++k) {
        EXPECT_EQ(bool(together[k].Result), bool(oneByOne[k].Result)) << "row " << k;
        EXPECT_EQ(together[k].StartedFile, oneByOne[k].StartedFile) << "row " << k;
    }
    EXPECT_FALSE(together[8].Result);
    EXPECT_TRUE(together[9].Result);
    EXPECT_TRUE(together[3].StartedFile) << "the next day's file";
    for (const QString file : {"RT_COM7_20240529.csv", "RT_COM7_20240530.csv", "RT_20240529.RCD"}) {
        QFile a(QDir(dir.filePath("one")).filePath(file)), b(QDir(dir.filePath("together")).filePath(file));
        ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly)) << file.toStdString();
        EXPECT_EQ(a.readAll(), b.readAll()) << file.toStdString();
    }
}

// A disk that fills inside rows written together: the rows before the limit land whole, the file
// ends on a whole line, and every row past it fails on its own.
TEST(RecordWriter, RowsWrittenTogetherOnAFillingDiskTearNone) {
    std::vector<TRecordRow> rows;
    for (int s = 0; s < 5; ++s)
        rows.push_back(SecondRow(s));
    const qint64 rowBytes = rows[0].Text.size() + 2;
    QTemporaryDir scratch;
    TFileStorage storage;
    TRecordFiles one(storage, scratch.path());
    ASSERT_TRUE(one.Write(rows[0]));
    const qint64 headerBytes = QFileInfo(QDir(scratch.path()).filePath(rows[0].FileName)).size() - rowBytes;
    for (const int fits : {0, 1, 3}) {
        for (const qint64 into : {qint64(1), rowBytes / 2, rowBytes - 1}) {
            QTemporaryDir dir;
            TRecordFiles files(storage, dir.path());
            QList<TRecordFiles::TWritten> written;
            {
                const FileSizeLimit full(rlim_t(headerBytes + fits * rowBytes + into));
                written = files.WriteAll(rows);
            }
            const QString at = QStringLiteral("%1 rows and %2 bytes").arg(fits).arg(into);
            const QFileInfo file(QDir(dir.path()).filePath(rows[0].FileName));
            EXPECT_EQ(file.exists() ? file.size() : 0, fits > 0 ? headerBytes + fits * rowBytes : 0)
                << at.toStdString();
            for (int k = 0; k < int(rows.size()); ++k)
                EXPECT_EQ(bool(written[k].Result), k < fits) << at.toStdString() << ", row " << k;
        }
    }
}

} // namespace
