#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <gmock/gmock.h>
#include <map>
#include <sys/resource.h>

// The recording program as a process of its own (tests/support/RecordingChild.cpp), killed while it
// records and run under a file-size limit. Its clock is a manual one from 2026-12-09 00:00 on, each
// run at an hour of its own, so the rows of a run are whole seconds in a row.
namespace {

// What the record folder holds, checked line by line: every line ends in CR LF, a row has exactly
// its layout's fields (a torn row has fewer, two rows glued together more), and within one run the
// second rows follow each other without a gap. What follows the last line end is apart: a kill can
// land inside the write of a row, and the next run must cut that off.
struct TRecordCheck {
    QStringList Problems;
    QStringList TornTails;
    int SecondRows = 0;
    int MinuteRows = 0;
    std::map<QString, qint64> Sizes;
};

TRecordCheck CheckRecords(const QString& folder) {
    TRecordCheck check;
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files)) {
        QFile file(dir.filePath(name));
        if (!file.open(QIODevice::ReadOnly)) {
            check.Problems << name + ": unreadable";
            continue;
        }
        const QByteArray bytes = file.readAll();
        check.Sizes[name] = bytes.size();
        const bool second = name.endsWith(".csv");
        QList<QByteArray> lines = bytes.split('\n');
        if (!lines.takeLast().isEmpty()) check.TornTails << name;
        QByteArray lastStamp;
        for (int i = 0; i < lines.size(); ++i) {
            QByteArray line = lines[i];
            if (!line.endsWith('\r') || line.chopped(1).contains('\r')) {
                check.Problems << QStringLiteral("%1:%2: a line end that is not CR LF").arg(name).arg(i + 1);
                continue;
            }
            line.chop(1);
            if (!line.startsWith("2026/")) continue; // a header line
            const qsizetype fields = line.count(',') + 1;
            if (second) {
                ++check.SecondRows;
                if (fields != 9)
                    check.Problems << QStringLiteral("%1:%2: %3 fields").arg(name).arg(i + 1).arg(fields);
                // "2026/12/09 hh:nn:ss": a run's seconds follow each other.
                const QByteArray stamp = line.left(19);
                if (!lastStamp.isEmpty() && stamp.left(13) == lastStamp.left(13)) {
                    const int s = stamp.mid(14, 2).toInt() * 60 + stamp.mid(17, 2).toInt();
                    const int before = lastStamp.mid(14, 2).toInt() * 60 + lastStamp.mid(17, 2).toInt();
                    if (s != before + 1)
                        check.Problems
                            << QStringLiteral("%1:%2: %3 follows %4")
                                   .arg(name)
                                   .arg(i + 1)
                                   .arg(QString::fromLatin1(stamp), QString::fromLatin1(lastStamp));
                }
                lastStamp = stamp;
            } else {
                ++check.MinuteRows;
                if (fields != 72)
                    check.Problems << QStringLiteral("%1:%2: %3 fields").arg(name).arg(i + 1).arg(fields);
            }
        }
    }
    return check;
}

class RecordingProcess : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    QString RecordDir() const { return QDir(dir.path()).filePath("Record"); }
    QString SecondFile() const { return QDir(RecordDir()).filePath("RT_COM7_20261209.csv"); }

    void Start(QProcess& child, int startSecond, int seconds, const QStringList& extra = {}) {
        child.setProgram(KRV_RECORDING_CHILD_PATH);
        child.setArguments(QStringList{dir.path(), QString::number(startSecond), QString::number(seconds)} +
                           extra);
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start();
        ASSERT_TRUE(child.waitForStarted(10000));
    }
};

TEST_F(RecordingProcess, KillNineWhileRecordingTearsNoRowGluesNoneAndShrinksNoFile) {
    std::map<QString, qint64> before;
    for (int round = 0; round < 12; ++round) {
        QProcess child;
        Start(child, 3600 * (round + 1), 0);
        // A different amount of recording before each kill, so that it lands at different points.
        const qint64 grown = QFileInfo(SecondFile()).size() + 1500 + 997 * round;
        ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo(SecondFile()).size() >= grown; }, 60000))
            << "round " << round;
        child.kill(); // SIGKILL
        ASSERT_TRUE(child.waitForFinished(10000));
        ASSERT_EQ(child.exitStatus(), QProcess::CrashExit);
        const TRecordCheck check = CheckRecords(RecordDir());
        EXPECT_TRUE(check.Problems.isEmpty()) << "after kill " << round + 1 << ":\n"
                                              << check.Problems.join('\n').toStdString();
        // Less a torn last row cut off, each run adds far more than it could take.
        for (const auto& [name, size] : before)
            EXPECT_GE(check.Sizes.at(name), size) << name.toStdString() << " shrank at kill " << round + 1;
        before = check.Sizes;
    }
    // A kill inside a write rarely lands: leave each file as one that did, a row cut in a number.
    for (const auto& [name, size] : before)
        ASSERT_TRUE(QFile::resize(QDir(RecordDir()).filePath(name), size - 7));
    QProcess last;
    Start(last, 3600 * 13, 65); // past a minute, so that both files get a row
    ASSERT_TRUE(last.waitForFinished(60000));
    const TRecordCheck check = CheckRecords(RecordDir());
    EXPECT_TRUE(check.Problems.isEmpty()) << check.Problems.join('\n').toStdString();
    EXPECT_TRUE(check.TornTails.isEmpty()) << "left torn: " << check.TornTails.join(' ').toStdString();
    EXPECT_GT(check.SecondRows, 12 * 20);
    EXPECT_GT(check.MinuteRows, 0);
}

// Started under a file-size limit with the signal at its default, as a shell's ulimit -f leaves it.
void LimitFileSizes(rlim_t bytes) {
    std::signal(SIGXFSZ, SIG_DFL);
    const rlimit limit{bytes, bytes};
    setrlimit(RLIMIT_FSIZE, &limit);
}

TEST_F(RecordingProcess, AFileSizeLimitCostsTheRowsPastItNotTheProgram) {
    constexpr rlim_t limit = 6000;
    QProcess child;
    child.setChildProcessModifier([] { LimitFileSizes(limit); });
    Start(child, 3600, 180);
    ASSERT_TRUE(child.waitForFinished(60000));
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(child.exitCode(), 0);
    const TRecordCheck check = CheckRecords(RecordDir());
    EXPECT_TRUE(check.Problems.isEmpty()) << check.Problems.join('\n').toStdString();
    EXPECT_TRUE(check.TornTails.isEmpty()) << "left torn: " << check.TornTails.join(' ').toStdString();
    EXPECT_LE(QFileInfo(SecondFile()).size(), qint64(limit));
    EXPECT_GT(check.SecondRows, 10);
    EXPECT_LT(check.SecondRows, 180) << "the rows past the limit are lost";
    EXPECT_TRUE(QFileInfo::exists(QDir(dir.path()).filePath("BaseSetpoint.ini")))
        << "it closed as the program does";
}

TEST_F(RecordingProcess, WithoutIgnoringTheSignalTheFirstRowPastTheLimitEndsTheProgram) {
    QProcess child;
    child.setChildProcessModifier([] { LimitFileSizes(6000); });
    Start(child, 3600, 180, {"--default-file-size-signal"});
    ASSERT_TRUE(child.waitForFinished(60000));
    EXPECT_EQ(child.exitStatus(), QProcess::CrashExit);
    EXPECT_EQ(child.exitCode(), SIGXFSZ);
}

} // namespace
