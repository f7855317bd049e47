#include "common/Clock.h"
#include "program/ProgramCore.h"
#include "support/RecordingPrompts.h"
#include "support/SimulatedInstrumentPort.h"
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

// A technician's whole calibration without a window: the core against the simulator's instrument
// model in its calibration setting (the model answers every request itself, writes included), the
// manual clock, each confirmation as soon as its button would be enabled. Counts the simulated time.
struct CalibrationRun {
    QTemporaryDir dir;
    SimulatedInstrumentPort port;
    ManualClock clock{EncodeDateTime(2024, 5, 29, 9, 5, 0)};
    RecordingPrompts prompts;
    TProgramCore core{port, clock, prompts, prompts, dir.path()};
    TCalibration& cal = core.Calibration;
    int ticks = 0;

    void Tick() {
        core.MainTimerTimer();
        port.DeliverAnswers();
        clock.AdvanceMs(200);
        ++ticks;
    }
    template <class F> bool RunUntil(F done, int seconds = 120) {
        for (int s = 0; s < seconds; ++s) {
            for (int t = 0; t < 5; ++t)
                Tick();
            if (done()) return true;
        }
        return false;
    }

    // True when the instrument reads inside the band at the end.
    bool Run() {
        port.Model.UseCalibrationSetting();
        port.Model.SetWind(0, 45, 0);
        core.Create();
        core.Show();
        core.SetSettingsViewVisible(true);
        core.BBStartClick();
        cal.BBCalStartClick(QStringLiteral("BENCH"));
        return RunUntil([&] { return cal.CalStep == 4 && cal.View.BBATRcvFin; }) &&
               (cal.BBATRcvFinClick(), RunUntil([&] { return cal.View.BBWSTRcvFin; })) &&
               (cal.BBWSTRcvFinClick(), RunUntil([&] { return cal.View.BB0mCalFin; })) &&
               (cal.BB0mCalFinClick(), RunUntil([&] { return cal.CalStep == 9; })) &&
               (port.Model.SetWindSpeed(5.0), RunUntil([&] { return cal.View.BB4mCalFin; })) &&
               (cal.BB4mCalFinClick(), RunUntil([&] { return cal.CalStep == 11; })) &&
               (cal.BBFinClick(),
                std::abs(port.Model.ValueText(QStringLiteral("M01")).toDouble() - 5.0) < 0.0125);
    }
};

void BM_WholeCalibration(benchmark::State& state) {
    int ticks = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto run = std::make_unique<CalibrationRun>();
        state.ResumeTiming();
        if (!run->Run()) state.SkipWithError("the calibration did not complete");
        state.PauseTiming();
        ticks = run->ticks;
        run.reset();
        state.ResumeTiming();
    }
    state.counters["ticks"] = ticks;
    state.counters["simulated_s"] = ticks * 0.2;
}
BENCHMARK(BM_WholeCalibration)->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace
