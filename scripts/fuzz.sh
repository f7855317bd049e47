#!/usr/bin/env bash
# Builds the libFuzzer targets (preset "fuzz": clang, AddressSanitizer, UndefinedBehaviorSanitizer;
# build/fuzz) and runs each for SECONDS (default 60) on its seed corpus, KRV_FUZZ_JOBS at a time
# (default: the number of cores). The seeds in fuzz/corpus/ are only read: what a run finds goes to
# a temporary folder, and a failing input to build/fuzz/artifacts/. Prints each target's executions
# and result; exits 1 if any target failed.
#
#   scripts/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
krv_install_packages "${KRV_BUILD_PACKAGES[@]}" "${KRV_FUZZ_PACKAGES[@]}"

seconds="${1:-60}"
shift || true
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(fuzz_frames fuzz_pairs fuzz_numbers fuzz_ini fuzz_setpoint fuzz_cp932 fuzz_core)
jobs="${KRV_FUZZ_JOBS:-$(nproc)}"

launcher=()
command -v ccache > /dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake --preset fuzz "${launcher[@]}" > /dev/null
cmake --build --preset fuzz -j"$(nproc)"

root="$(pwd)"
bin="$root/build/fuzz/fuzz"
artifacts="$root/build/fuzz/artifacts"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$artifacts"
# No fill of new blocks (uninitialised reads are not what these look for) and a smaller quarantine:
# the whole-program target spends half its time in them otherwise.
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:max_malloc_fill_size=0:quarantine_size_mb=64:malloc_context_size=10"
export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

run() {
    local t="$1"
    mkdir -p "$work/$t"
    # New inputs go to the first folder only; the seeds are read from the second.
    local rc=0
    "$bin/$t" -max_total_time="$seconds" -timeout=60 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$artifacts/$t-" "$work/$t" "$root/fuzz/corpus/$t" > "$work/$t.log" 2>&1 || rc=$?
    echo "$rc" > "$work/$t.rc"
}

running=0
for t in "${targets[@]}"; do
    run "$t" &
    running=$((running + 1))
    if [ "$running" -ge "$jobs" ]; then
        wait -n
        running=$((running - 1))
    fi
done
wait

failed=0
failed_count=0
echo "fuzz: ${seconds} s per target"
for t in "${targets[@]}"; do
    rc="$(cat "$work/$t.rc")"
    runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/$t.log")"
    found="$(ls "$work/$t" | wc -l)"
    if [ "$rc" = 0 ]; then
        printf '  %-14s %12s executions, %5s new inputs, no failure\n' "$t" "${runs:-?}" "$found"
    else
        failed=1
        failed_count=$((failed_count + 1))
        printf '  %-14s %12s executions: FAILED (exit %s)\n' "$t" "${runs:-?}" "$rc"
        grep -E 'property failed|ERROR: |SUMMARY|Test unit written|^[^ ].*\.cpp:[0-9]+' "$work/$t.log" | head -20 | sed 's/^/    /'
        cp "$work/$t.log" "$artifacts/$t.log"
    fi
done
echo "fuzz: $((${#targets[@]} - failed_count)) passed, $failed_count failed"
exit "$failed"
