#include "SideBySide.h"
#include "common/NumberFormat.h"
#include "support/ReferenceNumberFormat.h"
#include <QList>
#include <cmath>

namespace {

// What the records format: singles widened to double, at the second record's decimals (3, 0, 0, 1)
// and in the minute record's general format.
QList<double> RecordValues() {
    QList<double> values;
    for (int i = 0; i < 1000; ++i)
        values << double(float(2.5 + std::sin(i * 0.37) * 3 + i * 0.001)) << double(float(i * 0.359))
               << double(float(-3 + std::cos(i * 0.11) * 10)) << double(float(20 + i * 0.0071));
    return values;
}

// Each iteration formats 4,000 numbers fixed and 4,000 general, with the former exact-expansion
// formatter and with today's.
void BM_FormatNumbers(benchmark::State& state) {
    const QList<double> values = RecordValues();
    static constexpr int Decimals[] = {3, 0, 0, 1};
    SideBySide timing;
    qsizetype chars = 0;
    for (auto _ : state) {
        timing.Old([&] {
            for (qsizetype i = 0; i < values.size(); ++i) {
                chars += reference::FormatFixed(values[i], Decimals[i % 4]).size();
                chars += reference::FormatGeneral(values[i]).size();
            }
        });
        timing.New([&] {
            for (qsizetype i = 0; i < values.size(); ++i) {
                chars += FormatFixed(values[i], Decimals[i % 4]).size();
                chars += FormatGeneral(values[i]).size();
            }
        });
    }
    benchmark::DoNotOptimize(chars);
    timing.Report(state);
    state.counters["numbers"] = double(values.size() * 2);
}
BENCHMARK(BM_FormatNumbers)->Unit(benchmark::kMillisecond);

} // namespace
