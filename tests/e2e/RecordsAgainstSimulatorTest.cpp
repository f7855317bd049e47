#include "common/Clock.h"
#include "common/NumberFormat.h"
#include "common/TextFile.h"
#include "link/serial/TComPort.h"
#include "program/ProgramCore.h"
#include "support/RecordingPrompts.h"
#include "support/SimProcess.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <gmock/gmock.h>

namespace {

// The core with no window on krv-sim's pseudo-terminal, its manual clock two seconds before a
// minute so that the minute closes after ten seconds of polling. Each tick waits for its answer.
TEST(RecordsAgainstSimulator, MinuteRowAveragesTheSimulatorsValuesAndEverySecondHasItsRow) {
    QTemporaryDir dir;
    const QString portPath = QDir(dir.path()).filePath("krv.port");
    SimProcess sim;
    ASSERT_FALSE(sim.Start({"--link", portPath, "--wind-speed", "3.5", "--azimuth", "270.4", "--depression",
                            "-4.6", "--air-temp", "21.25"})
                     .isEmpty());
    QFile ini(QDir(dir.path()).filePath("Port0.ini"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[ComPortM]\r\nPort=" + portPath.toLocal8Bit() + "\r\nBaudRate=38400\r\n");
    ini.close();

    const TDateTime start = EncodeDateTime(2026, 12, 9, 9, 0, 58);
    ManualClock clock{start};
    TComPort port;
    RecordingPrompts prompts;
    TProgramCore core(port, clock, prompts, prompts, dir.path());
    core.Create();
    core.Show();
    core.Monitor.SetSecondRecord(true);
    core.MainTimerTimer(); // idle: second 58 passes before the start button
    core.BBStartClick();
    ASSERT_TRUE(core.Link.LinkOpen());
    // 09:00:58.2 to 09:01:08.0; by the first whole second four answers have filled the sample.
    for (int k = 1; k <= 50; ++k) {
        clock.Set(start + k / 432000.0);
        core.MainTimerTimer();
        ASSERT_TRUE(QTest::qWaitFor([&] { return core.Exchange.AnswerReceived(); }, 3000)) << "tick " << k;
    }
    EXPECT_TRUE(prompts.Errors.isEmpty());
    core.Monitor.FlushRecords();

    QStringList minute, second;
    ASSERT_TRUE(ReadLines(QDir(dir.path()).filePath("Record/RT_20261209.RCD"), minute));
    ASSERT_TRUE(ReadLines(QDir(dir.path()).filePath("Record/RT_krv.port_20261209.csv"), second));
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
    // From +X toward +Y: 90 - 270.4 + 360, near enough for the three decimals the instrument sends.
    EXPECT_NEAR(f[4].toDouble(), 179.6, 0.05);

    ASSERT_EQ(second.size(), 2 + 10);
    EXPECT_TRUE(second[0].startsWith(portPath + ","));
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(second[2 + i].left(20), FormatDateTime("yyyy/mm/dd hh:nn:ss,", start + (i + 1) / 86400.0))
            << i;
    EXPECT_TRUE(second[2].section(',', 1).startsWith("3.500,270,-5,21.3,")) << second[2].toStdString();
}

} // namespace
