#!/usr/bin/env bash
# Builds the benchmarks optimised (preset "bench", build/bench) and runs them. Arguments go to
# krv-bench, e.g. --benchmark_filter=PollingTick or --benchmark_repetitions=5.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
# The demo's fonts too: the repaint benchmarks draw the charts' labels as the program does.
krv_install_packages "${KRV_BUILD_PACKAGES[@]}" "${KRV_DEMO_PACKAGES[@]}" "${KRV_BENCH_PACKAGES[@]}"

cmake --preset bench
cmake --build --preset bench -j"$(nproc)"
build/bench/bench/krv-bench "$@"
