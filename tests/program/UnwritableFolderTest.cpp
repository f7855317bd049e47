#include "support/CoreRig.h"
#include "support/FileSizeLimit.h"
#include "support/ReadOnlyFolder.h"
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <gmock/gmock.h>
#include <map>
#include <optional>

// The program's folder in use (settings saved, records running, a calibration started) when it stops
// taking writes: a read-only folder, a full disk. Every write fails the way its kind of file fails,
// no file changes or shrinks, none is added, and recording goes on when the folder takes writes again.
namespace {

enum class TCondition { ReadOnlyFolder, DiskFullAtOnce, DiskFullAfter64Bytes };

std::map<QString, QByteArray> Snapshot(const QString& folder) {
    std::map<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile f(it.next());
        files[QDir(folder).relativeFilePath(f.fileName())] = f.open(QIODevice::ReadOnly) ? f.readAll() : "?";
    }
    return files;
}

QString Changes(const std::map<QString, QByteArray>& before, const std::map<QString, QByteArray>& after) {
    QStringList out;
    for (const auto& [name, bytes] : after)
        if (!before.contains(name))
            out << name + " added";
        else if (before.at(name) != bytes)
            out << QStringLiteral("%1 changed (%2 to %3 bytes)")
                       .arg(name)
                       .arg(before.at(name).size())
                       .arg(bytes.size());
    for (const auto& [name, bytes] : before)
        if (!after.contains(name)) out << name + " removed";
    return out.join(u'\n');
}

class UnwritableFolder : public ::testing::TestWithParam<TCondition>, protected CoreRig {
  protected:
    // A read-only folder is made so for the test's thread only (its file-system identity), so there the
    // rows are written on it rather than on the writer's thread.
    UnwritableFolder()
        : CoreRig(EncodeDateTime(2026, 12, 9, 22, 51, 0), GetParam() == TCondition::ReadOnlyFolder
                                                              ? TRecordWriter::TMode::Inline
                                                              : TRecordWriter::TMode::Thread) {}
};

TEST_P(UnwritableFolder, EveryWriteFailsAsItsFileDoesAndNoFileChanges) {
    core.Create();
    core.Show();
    ASSERT_TRUE(core.Settings.SaveBaseSetpoint());
    core.Link.SavePortSettings();
    core.Monitor.SetSecondRecord(true);
    core.BBStartClick();
    Tick(5 * 65);
    core.Calibration.BBCalStartClick("K-7");
    Tick(10);
    prompts.Errors.clear();
    const std::map<QString, QByteArray> before = Snapshot(dir.path());
    ASSERT_TRUE(before.contains("Record/RT_COM7_20261209.csv"));
    ASSERT_TRUE(before.contains("Record/RT_20261209.RCD"));

    {
        std::optional<ReadOnlyFolder> readOnly;
        std::optional<FileSizeLimit> full;
        if (GetParam() == TCondition::ReadOnlyFolder) readOnly.emplace(dir.path());
        if (GetParam() == TCondition::DiskFullAtOnce) full.emplace(0);
        if (GetParam() == TCondition::DiskFullAfter64Bytes) full.emplace(64);
        Tick(5 * 65); // second rows and a minute row, all lost
        EXPECT_TRUE(prompts.Errors.isEmpty()) << "record files fail silently";
        EXPECT_FALSE(core.Settings.SaveBaseSetpoint().Ok);
        EXPECT_THROW(core.Link.SavePortSettings(), EComPort);
        core.Monitor.SaveRecordSettings();
        EXPECT_FALSE(core.Monitor.SaveShortLog(QDir(dir.path()).filePath("log.csv")).Ok);
        core.Calibration.BBATRcvFinClick();
        ASSERT_EQ(prompts.Errors.size(), 1);
        EXPECT_TRUE(prompts.Errors[0].startsWith("作業ファイルを書けません"))
            << prompts.Errors[0].toStdString();
    }
    const std::map<QString, QByteArray> after = Snapshot(dir.path());
    EXPECT_TRUE(after == before) << Changes(before, after).toStdString();

    Tick(15);
    const QByteArray grown = ReadFile("Record/RT_COM7_20261209.csv");
    const QByteArray& old = before.at("Record/RT_COM7_20261209.csv");
    ASSERT_TRUE(grown.startsWith(old));
    // The calibration switches polling off now and then; the seconds with a valid sample have rows.
    QList<QByteArray> rows = grown.mid(old.size()).split('\n');
    EXPECT_TRUE(rows.takeLast().isEmpty());
    EXPECT_FALSE(rows.isEmpty());
    for (const QByteArray& row : rows)
        EXPECT_TRUE(row.startsWith("2026/12/09 ") && row.endsWith(",\r") && row.count(',') == 8)
            << row.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Conditions, UnwritableFolder,
                         ::testing::Values(TCondition::ReadOnlyFolder, TCondition::DiskFullAtOnce,
                                           TCondition::DiskFullAfter64Bytes),
                         [](const auto& info) {
                             switch (info.param) {
                             case TCondition::ReadOnlyFolder:
                                 return "ReadOnlyFolder";
                             case TCondition::DiskFullAtOnce:
                                 return "DiskFullAtOnce";
                             default:
                                 return "DiskFullAfter64Bytes";
                             }
                         });

} // namespace
