#!/usr/bin/env bash
# Measures krv-monitor's start-up (release build) under Xvfb: from just before exec to the end of the
# main window's first paint, as the program reports it when KRV_STARTUP_NS is set. Each run starts on
# an empty --data-dir, as a first start does. KRV_STARTUP_RUNS sets the number of runs (default 10);
# the first, with cold caches after the build, is shown apart.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
krv_install_packages "${KRV_BUILD_PACKAGES[@]}" "${KRV_DEMO_PACKAGES[@]}" "${KRV_BENCH_PACKAGES[@]}"

cmake --preset release
cmake --build --preset release -j"$(nproc)"

runs="${KRV_STARTUP_RUNS:-10}"
m="$PWD/build/measure-startup"
rm -rf "$m"
mkdir -p "$m"

xvfb="" monitor=""
cleanup() {
    for p in $monitor $xvfb; do kill "$p" 2>/dev/null || true; done
    for p in $monitor $xvfb; do wait "$p" 2>/dev/null || true; done
}
trap cleanup EXIT
fail() { echo "measure_startup: $*" >&2; exit 1; }

Xvfb -displayfd 3 -screen 0 1366x768x24 -nolisten tcp -noreset 3> "$m/display" 2> "$m/xvfb.log" &
xvfb=$!
for _ in $(seq 100); do [ -s "$m/display" ] && break; sleep 0.1; done
[ -s "$m/display" ] || fail "Xvfb did not start"
export DISPLAY=":$(head -n1 "$m/display")"

times=()
for run in $(seq "$runs"); do
    rm -rf "$m/data" && mkdir -p "$m/data"
    # -s: the log may not exist yet when the first look comes.
    KRV_STARTUP_NS=$(date +%s%N) build/release/src/krv-monitor --data-dir "$m/data" 2> "$m/run$run.log" &
    monitor=$!
    for _ in $(seq 400); do grep -qs '^first paint after' "$m/run$run.log" && break; sleep 0.05; done
    ms=$(sed -n 's/^first paint after \([0-9.]*\) ms$/\1/p' "$m/run$run.log")
    kill "$monitor"; wait "$monitor" 2>/dev/null || true; monitor=""
    [ -n "$ms" ] || fail "run $run: no first paint within 20 s ($(cat "$m/run$run.log"))"
    times+=("$ms")
    echo "run $run: $ms ms"
done
first="${times[0]}"
sorted=$(printf '%s\n' "${times[@]:1}" | sort -n)
n=$((runs - 1))
median=$(echo "$sorted" | awk -v n="$n" '{ t[NR] = $1 } END { print (n % 2 ? t[(n + 1) / 2] : (t[n / 2] + t[n / 2 + 1]) / 2) }')
echo "start-up to the first painted main window: first run $first ms; runs 2-$runs: median $median ms, fastest $(echo "$sorted" | head -n1) ms, slowest $(echo "$sorted" | tail -n1) ms"
