#include "FormRig.h"

namespace {

// The once-a-second work alone: the history shift and the main window's refresh (texts, then the
// charts rebuilt from a full history: 3 x 599 points). With repaint, the charts are drawn too.
void BM_SecondWork(benchmark::State& state, bool repaint) {
    FormRig rig;
    if (!rig.CheckPolling(state)) return;
    rig.FillHistory();
    rig.Repaint();
    rig.counter.Paints = 0;
    int step = 0;
    for (auto _ : state) {
        rig.Vary(step++);
        rig.clock.AdvanceMs(1000);
        rig.core.Store.ShiftHistory(rig.clock.Now());
        rig.form->ShowLiveValues();
        if (repaint) rig.Repaint();
    }
    state.counters["chart_paints"] =
        benchmark::Counter(rig.counter.Paints, benchmark::Counter::kAvgIterations);
    state.counters["points"] = rig.form->Series1->count();
}
BENCHMARK_CAPTURE(BM_SecondWork, no_repaint, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_SecondWork, repaint, true)->Unit(benchmark::kMicrosecond);

} // namespace
