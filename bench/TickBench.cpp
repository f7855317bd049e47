#include "FormRig.h"

namespace {

// One plain 200 ms tick: decode the previous answer, send the next request; then that answer
// arrives (frame reassembly and pair split), as it does between two ticks.
void BM_PollingTick(benchmark::State& state) {
    PollingRig rig;
    rig.core.Create();
    rig.core.Show();
    rig.core.BBStartClick();
    if (!rig.CheckPolling(state)) return;
    for (auto _ : state) {
        // Held off the second's end, so that every tick is a plain one.
        rig.core.Polling.TickCount = 0;
        rig.Tick();
    }
    state.counters["pairs"] = rig.AnsweredPairs();
}
BENCHMARK(BM_PollingTick)->Unit(benchmark::kMicrosecond);

// A whole second of polling on the real main window: five ticks, the fifth shifting the history
// and refreshing the window (texts, 3 x 599 chart points). With repaint, the charts are drawn too,
// as the event loop would draw them; the X server's side is not in it.
void BM_PollingSecond(benchmark::State& state, bool repaint) {
    FormRig rig;
    if (!rig.CheckPolling(state)) return;
    rig.FillHistory();
    rig.core.Polling.TickCount = 0;
    rig.Repaint();
    rig.counter.Paints = 0;
    for (auto _ : state) {
        for (int i = 0; i < TPollingCycle::TicksPerSecond; ++i)
            rig.Tick();
        if (repaint) rig.Repaint();
    }
    state.counters["chart_paints"] =
        benchmark::Counter(rig.counter.Paints, benchmark::Counter::kAvgIterations);
}
BENCHMARK_CAPTURE(BM_PollingSecond, no_repaint, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_PollingSecond, repaint, true)->Unit(benchmark::kMicrosecond);

} // namespace
