#include "PollingRig.h"
#include "acquisition/MeasurementStore.h"
#include "common/TextFile.h"
#include "monitor/RecordRows.h"
#include "monitor/RecordStorage.h"
#include <QFileInfo>
#include <chrono>

namespace {

using Steady = std::chrono::steady_clock;

// One second-record row appended to a day file holding 10 rows and to one holding a full day's
// 86,400, alternately, so that both see the same disk and cache. Appends never read the file, so
// the ratio should stay near 1.
void BM_SecondRowAppend(benchmark::State& state) {
    QTemporaryDir dir;
    TFileStorage storage;
    TRecordFiles records(storage, dir.filePath("Record"));
    (void)storage.EnsureFolder(records.Folder());
    const TDateTime day = EncodeDateTime(2026, 12, 9, 10, 0, 0);
    TSampleRec sample;
    sample.WindSpeed = 3.25f;
    sample.Azimuth = 270.4f;
    const QString ports[2] = {QStringLiteral("small"), QStringLiteral("large")};
    for (int f = 0; f < 2; ++f) {
        const int rows = f == 0 ? 10 : 86'400;
        // One row repeated: the cost of an append does not depend on what the earlier rows say.
        QStringList lines = SecondRecordHeader(ports[f]);
        const QString row = SecondRecordRow(sample, day);
        for (int s = 0; s < rows; ++s)
            lines << row;
        if (!AppendLines(QDir(records.Folder()).filePath(SecondRecordFileName(ports[f], day)), lines)) {
            state.SkipWithError("cannot fill the day files");
            return;
        }
    }
    Steady::duration spent[2]{};
    int k = 0;
    for (auto _ : state) {
        for (int f = 0; f < 2; ++f) {
            const Steady::time_point t0 = Steady::now();
            const TDateTime now = day + (k % 86400) / 86400.0;
            if (!records.Write({TRecordKind::Second, SecondRecordFileName(ports[f], now),
                                SecondRecordHeader(ports[f]), false, SecondRecordRow(sample, now)}))
                state.SkipWithError("append failed");
            spent[f] += Steady::now() - t0;
        }
        ++k;
    }
    const auto us = [&](int f) { return std::chrono::duration<double, std::micro>(spent[f]).count() / k; };
    state.counters["at_10_us"] = us(0);
    state.counters["at_86400_us"] = us(1);
    state.counters["ratio"] = us(1) / us(0);
}
BENCHMARK(BM_SecondRowAppend)->Unit(benchmark::kMicrosecond);

// A day of the program with no window: 432,000 ticks of polling the in-memory instrument, the
// monitor's step each tick, a minute row every minute and a second row every second. CI's short
// run shortens the day with KRV_BENCH_DAY_SECONDS. KRV_BENCH_DAY_KEEP names a folder that receives
// the day's two files, so that two builds' files can be compared.
void BM_SimulatedDay(benchmark::State& state) {
    const int seconds = qEnvironmentVariableIsSet("KRV_BENCH_DAY_SECONDS")
                            ? qEnvironmentVariableIntValue("KRV_BENCH_DAY_SECONDS")
                            : 86'400;
    for (auto _ : state) {
        state.PauseTiming();
        auto rig = std::make_unique<PollingRig>();
        const TDateTime midnight = EncodeDateTime(2026, 12, 10);
        rig->clock.Set(midnight);
        rig->core.Create();
        rig->core.Show();
        rig->core.Monitor.SetSecondRecord(true);
        rig->core.BBStartClick();
        state.ResumeTiming();
        for (int k = 0; k < seconds * 5; ++k) {
            rig->clock.Set(midnight + k / 432000.0);
            rig->core.MainTimerTimer();
            rig->port.DeliverAnswers();
        }
        rig->core.Monitor.FlushRecords();
        state.PauseTiming();
        const QDir records(rig->core.Monitor.Records.Folder());
        const QFileInfo minute(records.filePath(MinuteRecordFileName(midnight)));
        const QFileInfo second(records.filePath(SecondRecordFileName(rig->core.Link.PortName(), midnight)));
        if (!rig->core.IsPolling() || !minute.exists() || !second.exists())
            state.SkipWithError("the day did not record");
        if (const QString keep = qEnvironmentVariable("KRV_BENCH_DAY_KEEP"); !keep.isEmpty()) {
            QDir().mkpath(keep);
            for (const QFileInfo& file : {minute, second}) {
                const QString target = QDir(keep).filePath(file.fileName());
                QFile::remove(target);
                if (!QFile::copy(file.filePath(), target)) state.SkipWithError("cannot keep the day's files");
            }
        }
        state.counters["ticks"] = seconds * 5;
        state.counters["minute_file_bytes"] = double(minute.size());
        state.counters["second_file_bytes"] = double(second.size());
        rig.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_SimulatedDay)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace
