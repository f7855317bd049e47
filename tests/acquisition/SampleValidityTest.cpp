#include "acquisition/MeasurementStore.h"
#include "common/TextFile.h"
#include "support/CoreRig.h"
#include <QDir>
#include <gtest/gtest.h>

namespace {

// The core recording against the instrument model, the second record on; what reaches the files.
class RecordingCore : public CoreRig {
  public:
    explicit RecordingCore(TDateTime start) : CoreRig(start) {
        port.Model.SetWind(3.5, 270, -4);
        core.Monitor.SetSecondRecord(true);
        core.BBStartClick();
    }
    // The data rows of a record file: the lines that start with the year.
    QList<QStringList> Rows(const QString& name) const {
        QStringList lines;
        if (!ReadLines(QDir(core.Monitor.Records.Folder()).filePath(name), lines)) return {};
        QList<QStringList> rows;
        for (const QString& line : lines)
            if (line.startsWith(QLatin1String("2026/"))) rows << line.split(QLatin1Char(','));
        return rows;
    }
    QList<QStringList> SecondRows() const { return Rows(QStringLiteral("RT_COM7_20260304.csv")); }
    QList<QStringList> MinuteRows() const { return Rows(QStringLiteral("RT_20260304.RCD")); }
};

// The first poll asks for the C-codes; wind, direction and the vector come two polls later. Whatever
// the start's offset into a second, no record holds the zeros the sample had before them.
class StartOffsetTest : public ::testing::TestWithParam<int> {};

TEST_P(StartOffsetTest, FirstRecordsHoldOnlyMeasuredValues) {
    RecordingCore rig(EncodeDateTime(2026, 3, 4, 5, 6, 50, GetParam()));
    rig.Tick(5 * 20); // through the close of minute 05:07
    const QList<QStringList> seconds = rig.SecondRows();
    ASSERT_GE(seconds.size(), 18);
    for (const QStringList& row : seconds) {
        EXPECT_EQ(row[1], "3.500") << row.join(',').toStdString();
        EXPECT_EQ(row[2], "270") << row.join(',').toStdString();
    }
    const QList<QStringList> minutes = rig.MinuteRows();
    ASSERT_EQ(minutes.size(), 1);
    EXPECT_EQ(minutes[0][3], "3.5") << "the minute's minimum wind speed";
}

INSTANTIATE_TEST_SUITE_P(MillisecondsIntoTheSecond, StartOffsetTest,
                         ::testing::Values(0, 100, 300, 500, 700, 900));

// A silent instrument writes no rows rather than repeating its last values, and the minute it
// falls into averages only the seconds that were answered; rows return with the instrument.
TEST(SilentInstrument, WritesNoRowsUntilEveryGroupAnswersAgain) {
    RecordingCore rig(EncodeDateTime(2026, 3, 4, 5, 6, 0, 500));
    rig.Tick(5 * 10); // the minute 05:06 closes at 05:06:06
    const qsizetype before = rig.SecondRows().size();
    rig.port.Answering = false;
    rig.Tick(5 * 60);
    EXPECT_LE(rig.SecondRows().size(), before + 1) << "at most the second in which the silence began";
    rig.port.Model.SetWind(9.0, 90, 0);
    rig.port.Answering = true;
    rig.Tick(5 * 60); // past 05:08:06, where the carried minute closes
    const QList<QStringList> seconds = rig.SecondRows();
    ASSERT_GT(seconds.size(), before + 1);
    EXPECT_EQ(seconds.last()[1], "9.000");

    const QList<QStringList> minutes = rig.MinuteRows();
    ASSERT_EQ(minutes.size(), 2);
    double sum = 0;
    int count = 0;
    for (const QStringList& row : seconds)
        if (row[0] > "2026/03/04 05:06:06" && row[0] <= "2026/03/04 05:08:06") {
            sum += row[1].toDouble();
            ++count;
        }
    EXPECT_NEAR(minutes[1][1].toDouble(), sum / count, 1e-4) << "the average of the rows written, no more";
    EXPECT_EQ(minutes[1][3], "3.5");
    EXPECT_EQ(minutes[1][2], "9");
}

} // namespace
