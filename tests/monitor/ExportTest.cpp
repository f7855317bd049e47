#include "MonitorRig.h"

namespace {

class ExportTest : public MonitorRig {
  protected:
    QString target = QDir(dir.path()).filePath("log.csv");

    void Shifts(int n) {
        store.CurrentSample.Valid = true;
        for (int k = 0; k < n; ++k) {
            store.CurrentSample.WindSpeed = float(k);
            store.ShiftHistory(clock.Now());
            clock.AdvanceMs(1000);
        }
    }
    QStringList Exported(void (TMonitor::*click)()) {
        prompts.SaveChoice = target;
        (monitor.*click)();
        QStringList lines;
        if (!ReadLines(target, lines)) return {QStringLiteral("<unreadable>")};
        return lines;
    }
};

TEST_F(ExportTest, RightAfterStartUpOnlyTheHeaderLines) {
    EXPECT_EQ(Exported(&TMonitor::BBSaveFileClick).size(), 2);
    EXPECT_EQ(Exported(&TMonitor::ExportPlotData).size(), 2);
}

TEST_F(ExportTest, TenShiftsGiveNineRowsOldestFirstOneSecondApart) {
    Shifts(10);
    const QStringList lines = Exported(&TMonitor::ExportPlotData);
    ASSERT_EQ(lines.size(), 2 + 9);
    for (int i = 0; i < 9; ++i) {
        const QStringList fields = lines[2 + i].split(',');
        EXPECT_EQ(fields[0], QStringLiteral("2024/05/29 10:00:0%1").arg(i));
        EXPECT_EQ(fields[1], QString::number(i)) << "wind speed of shift " << i;
    }
}

TEST_F(ExportTest, FullHistoryGives1023RowsWithoutTheNewest) {
    Shifts(1100);
    const QStringList lines = Exported(&TMonitor::BBSaveFileClick);
    ASSERT_EQ(lines.size(), 2 + 1023);
    EXPECT_EQ(lines[2].section(',', 0, 1), "2024/05/29 10:01:16,76") << "the 77th shift is the oldest kept";
    EXPECT_EQ(lines.last().split(',')[1], "1098");
}

TEST_F(ExportTest, QuantitiesNoAnswerFillsAreWrittenAsZero) {
    store.CurrentSample.Debug = {0.1f, 0.2f, 0, 0};
    Shifts(2);
    const QStringList fields = Exported(&TMonitor::BBSaveFileClick)[2].split(',');
    ASSERT_EQ(fields.size(), 1 + 24 + 1);
    EXPECT_EQ(fields[10], "0");                 // Vector長さ
    EXPECT_EQ(fields[21], "0.100000001490116"); // DBG#0, the single-precision value
    EXPECT_EQ(fields[23], "0");
    EXPECT_EQ(fields[24], "0");
}

TEST_F(ExportTest, UnwritableTargetIsReportedWithTheReasonAndTheOldFileStaysWhole) {
    Put(target, "old\r\n");
    Shifts(5);
    prompts.SaveChoice = target;
    {
        const FileSizeLimit full(64);
        monitor.BBSaveFileClick();
    }
    ASSERT_EQ(prompts.Errors.size(), 1);
    EXPECT_TRUE(prompts.Errors[0].contains("log.csv"));
    EXPECT_GT(prompts.Errors[0].split('\n').last().size(), 0) << "the system's reason";
    EXPECT_EQ(Bytes(target), "old\r\n");
}

// Each export's dialog offers the name last confirmed for that export, never the other's file.
TEST_F(ExportTest, CancelledDialogWritesNothingAndEachDialogOffersItsOwnLastName) {
    monitor.BBSaveFileClick();
    EXPECT_FALSE(QFile::exists(target));
    EXPECT_TRUE(prompts.Errors.isEmpty());
    Exported(&TMonitor::BBSaveFileClick);
    prompts.SaveChoice.clear();
    monitor.ExportPlotData();
    monitor.BBSaveFileClick();
    const QString plot = QDir(dir.path()).filePath("plot.csv");
    prompts.SaveChoice = plot;
    monitor.ExportPlotData();
    monitor.ExportPlotData();
    monitor.BBSaveFileClick();
    QStringList offered;
    for (const TSaveFileRequest& r : prompts.SaveRequests)
        offered << r.InitialName;
    EXPECT_EQ(offered, QStringList({"", "", "", target, "", plot, target}));
}

} // namespace
