#include "InstrumentPort.h"
#include "common/Clock.h"
#include "program/ProgramCore.h"
#include "support/RecordingPrompts.h"
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <chrono>
#include <thread>

namespace {

using Steady = std::chrono::steady_clock;

// The file system, but every record write takes two seconds: a network share that hangs, a USB
// stick flushing.
class SlowStorage final : public RecordStorage {
  public:
    FileResult EnsureFolder(const QString& folder) override { return files_.EnsureFolder(folder); }
    bool IsNewFile(const QString& path) override { return files_.IsNewFile(path); }
    FileResult Append(const QString& path, const QStringList& lines) override {
        std::this_thread::sleep_for(std::chrono::seconds(2));
        return files_.Append(path, lines);
    }

  private:
    TFileStorage files_;
};

// The program in real time (its 200 ms timer, the system clock) polling the in-memory instrument
// with the second record on, on a disk where every record write takes 2 s: how late the requests
// are, with the rows written on the tick's own thread (as before) and on the writer's thread.
// KRV_BENCH_SLOW_DISK_SECONDS sets the run (CI's is short).
void BM_RequestsWithASlowDisk(benchmark::State& state) {
    const auto mode = TRecordWriter::TMode(state.range(0));
    const int seconds = qEnvironmentVariableIsSet("KRV_BENCH_SLOW_DISK_SECONDS")
                            ? qEnvironmentVariableIntValue("KRV_BENCH_SLOW_DISK_SECONDS")
                            : 12;
    state.SetLabel(mode == TRecordWriter::TMode::Inline ? "rows written in the tick"
                                                        : "rows on the writer's thread");
    for (auto _ : state) {
        QTemporaryDir dir;
        InstrumentPort port;
        SystemClock clock;
        RecordingPrompts prompts;
        std::vector<Steady::time_point> sent;
        {
            TProgramCore core(port, clock, prompts, prompts, dir.path(), std::make_unique<SlowStorage>(),
                              mode);
            core.Monitor.SetSecondRecord(true);
            core.BBStartClick();
            QTimer timer;
            timer.setTimerType(Qt::PreciseTimer);
            QObject::connect(&timer, &QTimer::timeout, [&] {
                core.MainTimerTimer();
                sent.push_back(Steady::now());
                port.DeliverAnswers();
            });
            timer.start(200);
            QEventLoop loop;
            QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
            loop.exec();
            timer.stop();
            state.PauseTiming();
        } // the end writes every waiting row: not timed
        state.ResumeTiming();
        double worst = 0, total = 0;
        for (std::size_t i = 1; i < sent.size(); ++i) {
            const double late =
                std::chrono::duration<double, std::milli>(sent[i] - sent[i - 1]).count() - 200;
            worst = std::max(worst, late);
            total += std::max(0.0, late);
        }
        state.counters["requests"] = double(sent.size());
        state.counters["expected"] = seconds * 5.0;
        state.counters["worst_late_ms"] = worst;
        state.counters["mean_late_ms"] = sent.size() > 1 ? total / double(sent.size() - 1) : 0;
    }
}
BENCHMARK(BM_RequestsWithASlowDisk)
    ->Arg(int(TRecordWriter::TMode::Inline))
    ->Arg(int(TRecordWriter::TMode::Thread))
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

} // namespace
