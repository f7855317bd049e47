#include "acquisition/LiveTexts.h"
#include "acquisition/MeasurementStore.h"
#include <benchmark/benchmark.h>

namespace {

// The main window's texts of one sample.
void BM_MakeLiveTexts(benchmark::State& state) {
    TSampleRec sample;
    sample.WindSpeed = 3.456f;
    sample.Azimuth = 271.4f;
    sample.Depression = -3.2f;
    sample.AirTemp = 21.35f;
    sample.ModelNumber = 17.03f;
    sample.FirmwareVersion = 0.80f;
    const QString port = QStringLiteral("/dev/ttyUSB0");
    for (auto _ : state) {
        TLiveTexts t = MakeLiveTexts(sample, port);
        benchmark::DoNotOptimize(t);
    }
}
BENCHMARK(BM_MakeLiveTexts)->Unit(benchmark::kMicrosecond);

} // namespace
