#include "PollingRig.h"
#include "acquisition/TrendPoints.h"

namespace {

// The chart points of a full history (3 x 599), without the window.
void BM_MakeTrendPoints(benchmark::State& state) {
    PollingRig rig;
    rig.FillHistory();
    qsizetype points = 0;
    for (auto _ : state) {
        const TTrendPoints p = MakeTrendPoints(rig.core.Store.SampleHistory);
        points = p.WindSpeed.size();
        benchmark::DoNotOptimize(p);
    }
    state.counters["points"] = double(points);
}
BENCHMARK(BM_MakeTrendPoints)->Unit(benchmark::kMicrosecond);

} // namespace
