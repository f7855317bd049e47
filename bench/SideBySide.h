#pragma once
#include <benchmark/benchmark.h>
#include <ctime>

// The CPU time of the process, in microseconds: on a machine shared with other work, wall time
// counts the waits for a core as well. All threads count (a software OpenGL renderer has its own).
inline double CpuUs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e6 + double(t.tv_nsec) / 1e3;
}

// Today's way and the former way timed in the same run, alternately, so that both see the same
// machine: counters old_us and new_us per iteration and their ratio old/new.
struct SideBySide {
    double OldUs = 0;
    double NewUs = 0;

    template <typename Work> void Old(Work&& work) { OldUs += Timed(work); }
    template <typename Work> void New(Work&& work) { NewUs += Timed(work); }

    void Report(benchmark::State& state) const {
        const double n = double(state.iterations());
        state.counters["old_us"] = OldUs / n;
        state.counters["new_us"] = NewUs / n;
        state.counters["ratio"] = NewUs > 0 ? OldUs / NewUs : 0;
    }

  private:
    template <typename Work> static double Timed(Work& work) {
        const double t0 = CpuUs();
        work();
        return CpuUs() - t0;
    }
};
