#include "common/Clock.h"
#include "common/TextFile.h"
#include "program/ProgramCore.h"
#include "support/RecordingPrompts.h"
#include "support/SimulatedInstrumentPort.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// The core with no window, polling the simulator's instrument model from 23:50 to 00:10 with the
// second record on and one stop and start in between; ticks every 200 ms of the manual clock.
class MonitorStretchTest : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    SimulatedInstrumentPort port;
    ManualClock clock;
    RecordingPrompts prompts;
    std::unique_ptr<TProgramCore> core;
    const TDateTime start = EncodeDateTime(2024, 5, 29, 23, 50, 0);

    void SetUp() override {
        QFile ini(QDir(dir.path()).filePath("Port0.ini"));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("[ComPortM]\r\nPort=/dev/ttyKRV0\r\n");
        ini.close();
        core = std::make_unique<TProgramCore>(port, clock, prompts, prompts, dir.path());
        core->Create();
        core->Show();
    }
    // Tick k of the stretch; set, not accumulated, so the clock does not drift over 6000 ticks.
    TDateTime TickTime(int k) const { return start + k / 432000.0; }
    QStringList Rows(const QString& name) const {
        QStringList lines;
        if (!ReadLines(QDir(dir.path()).filePath("Record/" + name), lines)) return {};
        return lines.mid(2);
    }
    static QString Stamp(TDateTime t, const char* pattern) { return FormatDateTime(pattern, t); }
};

TEST_F(MonitorStretchTest, EveryMinuteRowInItsDayFileAndOneSecondRowPerCollectingSecond) {
    const int stopTick = (5 * 60 + 30) * 5;  // 23:55:30
    const int startTick = (7 * 60 + 15) * 5; // 23:57:15
    const int endTick = 20 * 60 * 5;         // 00:10:00
    port.Model.SetWind(3.25, 120, 2);
    core->Monitor.SetSecondRecord(true);
    core->BBStartClick();
    for (int k = 0; k < endTick; ++k) {
        if (k == stopTick) core->BBStopClick();
        if (k == startTick) core->BBStartClick();
        clock.Set(TickTime(k));
        core->MainTimerTimer();
        port.DeliverAnswers();
    }
    EXPECT_TRUE(prompts.Errors.isEmpty() && prompts.Messages.isEmpty());

    // Seconds of collection: from the start to the stop, and from the restart to the end. The
    // second of each start has no row: its only tick sent the first request, nothing was answered.
    QStringList expectedSeconds[2];
    for (int s = 0; s < endTick / 5; ++s) {
        if (s >= stopTick / 5 && s < startTick / 5) continue;
        if (s == 0 || s == startTick / 5) continue;
        const TDateTime t = start + s / 86400.0 + 1e-9;
        expectedSeconds[s < 600 ? 0 : 1] << Stamp(t, "yyyy/mm/dd hh:nn:ss");
    }
    // Closes at second 6; those at 23:56 and 23:57 fall in the pause and carry over to 23:58.
    QStringList expectedMinutes[2];
    for (int m = 0; m < 20; ++m) {
        if (m == 6 || m == 7) continue;
        expectedMinutes[m < 10 ? 0 : 1] << Stamp(start + m / 1440.0 + 1e-9, "yyyy/mm/dd hh:nn");
    }
    const char* days[2] = {"20240529", "20240530"};
    for (int d = 0; d < 2; ++d) {
        QStringList seconds, minutes;
        for (const QString& row : Rows(QStringLiteral("RT_ttyKRV0_%1.csv").arg(days[d])))
            seconds << row.section(',', 0, 0);
        for (const QString& row : Rows(QStringLiteral("RT_%1.RCD").arg(days[d])))
            minutes << row.section(',', 0, 0);
        EXPECT_EQ(seconds, expectedSeconds[d]) << days[d];
        EXPECT_EQ(minutes, expectedMinutes[d]) << days[d];
    }
    const QStringList last = Rows("RT_20240530.RCD");
    ASSERT_FALSE(last.isEmpty());
    EXPECT_EQ(last.last().section(',', 1, 3), "3.25,3.25,3.25") << "wind speed average, maximum, minimum";
}

} // namespace
