#include "common/NumberFormat.h"
#include "common/TextFile.h"
#include "e2e/SimulatorRig.h"
#include <gmock/gmock.h>

namespace {

// The core with no window on krv-sim's pseudo-terminal, its manual clock two seconds before a
// minute so that the minute closes after ten seconds of polling. Each tick waits for its answer.
TEST(RecordsAgainstSimulator, MinuteRowAveragesTheSimulatorsValuesAndEverySecondHasItsRow) {
    const TDateTime start = EncodeDateTime(2026, 12, 9, 9, 0, 58);
    SimulatorRig rig(start);
    ASSERT_TRUE(rig.Start(
        {"--wind-speed", "3.5", "--azimuth", "270.4", "--depression", "-4.6", "--air-temp", "21.25"}));
    TProgramCore& core = rig.Core();
    core.Create();
    core.Show();
    core.Monitor.SetSecondRecord(true);
    core.MainTimerTimer(); // idle: second 58 passes before the start button
    rig.Advance();
    core.BBStartClick();
    ASSERT_TRUE(core.Link.LinkOpen());
    // 09:00:58.2 to 09:01:08.0; by the first whole second four answers have filled the sample.
    for (int k = 1; k <= 50; ++k)
        ASSERT_TRUE(rig.Tick()) << "tick " << k;
    EXPECT_TRUE(rig.prompts.Errors.isEmpty());
    core.Monitor.FlushRecords();

    QStringList minute, second;
    ASSERT_TRUE(ReadLines(QDir(rig.dir.path()).filePath("Record/RT_20261209.RCD"), minute));
    ASSERT_TRUE(ReadLines(QDir(rig.dir.path()).filePath("Record/RT_krv.port_20261209.csv"), second));
    ASSERT_EQ(minute.size(), 2 + 1);
    const QStringList f = minute[2].split(',');
    EXPECT_EQ(f[0], "2026/12/09 09:01");
    const auto triple = [&](int first) { return f.mid(first, 3); };
    const auto same = [](float v) {
        const QString t = FormatGeneral(double(v));
        return QStringList{t, t, t};
    };
    EXPECT_EQ(triple(1), same(3.5f)) << "wind speed";
    EXPECT_EQ(triple(5), same(270.4f)) << "azimuth";
    EXPECT_EQ(triple(8), same(-4.6f)) << "depression";
    EXPECT_EQ(triple(11), same(21.25f)) << "air temperature";

    ASSERT_EQ(second.size(), 2 + 10);
    EXPECT_TRUE(second[0].startsWith(rig.portPath + ","));
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(second[2 + i].left(20), FormatDateTime("yyyy/mm/dd hh:nn:ss,", start + (i + 1) / 86400.0))
            << i;
    EXPECT_TRUE(second[2].section(',', 1).startsWith("3.500,270,-5,21.3,")) << second[2].toStdString();
}

} // namespace
