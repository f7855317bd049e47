#!/usr/bin/env bash
# Unattended recording tried as a user would: KRV_HEADLESS_COUNT (default 2) simulators and as many
# `krv-monitor --headless` recorders side by side (release build), each with its own --data-dir, for
# KRV_MEASURE_SECONDS (default 600). Prints each recorder's resident memory (VmRSS) 2 s after its
# start, after 60 s and at the end, and its CPU time; then stops it with SIGTERM and checks its
# folder: every whole minute has its 60 second rows in a row and its minute row, every row has its
# layout's fields, no row is all zeros. Exits 1 on any failure. Works in build/headless.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
krv_install_packages "${KRV_BUILD_PACKAGES[@]}" python3

cmake --preset release > /dev/null
cmake --build --preset release -j"$(nproc)"

seconds="${KRV_MEASURE_SECONDS:-600}"
count="${KRV_HEADLESS_COUNT:-2}"
w="$PWD/build/headless"
rm -rf "$w"
mkdir -p "$w"

sims=() monitors=()
cleanup() {
    for p in "${monitors[@]}" "${sims[@]}"; do kill "$p" 2>/dev/null || true; done
    for p in "${monitors[@]}" "${sims[@]}"; do wait "$p" 2>/dev/null || true; done
}
trap cleanup EXIT
fail() { echo "measure_headless: $*" >&2; exit 1; }
rss() { awk '/^VmRSS/ { print $2 }' "/proc/$1/status"; }
# User and system CPU seconds so far.
cpu() { awk -v hz="$(getconf CLK_TCK)" '{ printf "%.2f", ($14 + $15) / hz }' "/proc/$1/stat"; }

for i in $(seq "$count"); do
    mkdir -p "$w/$i"
    build/release/tools/krv-sim/krv-sim --link "$w/$i/port" --vary --wind-speed 3.5 --azimuth $((90 * i)) \
        < /dev/null > "$w/$i/krv-sim.out" 2> "$w/$i/krv-sim.log" &
    sims+=($!)
    for _ in $(seq 50); do [ -e "$w/$i/port" ] && break; sleep 0.1; done
    [ -e "$w/$i/port" ] || fail "simulator $i did not start"
    build/release/src/krv-monitor --headless --port "$w/$i/port" --data-dir "$w/$i/data" --second-record on \
        2> "$w/$i/krv-monitor.log" &
    monitors+=($!)
done

declare -A start minute
sleep 2
for i in $(seq "$count"); do start[$i]=$(rss "${monitors[$((i - 1))]}"); done
sleep 58
for i in $(seq "$count"); do minute[$i]=$(rss "${monitors[$((i - 1))]}"); done
sleep $((seconds - 60))
status=0
for i in $(seq "$count"); do
    p=${monitors[$((i - 1))]}
    echo "recorder $i: VmRSS ${start[$i]} kB after 2 s, ${minute[$i]} kB after 60 s, $(rss "$p") kB after ${seconds} s; CPU $(cpu "$p") s"
    kill -TERM "$p"
    code=0
    wait "$p" || code=$?
    [ "$code" -eq 0 ] || { echo "recorder $i: exit status $code" >&2; status=1; }
done
monitors=()

python3 - "$w" "$count" <<'EOF' || status=1
import glob, os, sys
from datetime import datetime, timedelta

work, count = sys.argv[1], int(sys.argv[2])
bad = 0
for i in range(1, count + 1):
    folder = os.path.join(work, str(i), "data", "Record")
    problems = []
    seconds, minutes = [], []
    for path in sorted(glob.glob(os.path.join(folder, "*"))):
        second = path.endswith(".csv")
        data = open(path, "rb").read()
        if not data.endswith(b"\r\n"):
            problems.append(f"{path}: does not end with CR LF")
        widths = set()
        for n, line in enumerate(data.split(b"\r\n")[:-1], 1):
            if not line[:2].isdigit():
                continue  # a header line
            fields = line.decode("ascii").split(",")
            widths.add(len(fields))
            if fields[-1] != "" or all(float(f) == 0 for f in fields[1:-1]):
                problems.append(f"{path}:{n}: {line!r}")
            stamp = datetime.strptime(fields[0], "%Y/%m/%d %H:%M:%S" if second else "%Y/%m/%d %H:%M")
            (seconds if second else minutes).append(stamp)
        if len(widths) > 1:
            problems.append(f"{path}: rows of {sorted(widths)} fields")
    if not seconds or not minutes:
        problems.append("no second or no minute rows")
    else:
        gaps = [(a, b) for a, b in zip(seconds, seconds[1:]) if b - a != timedelta(seconds=1)]
        problems += [f"second rows jump from {a} to {b}" for a, b in gaps]
        first = seconds[0].replace(second=0) + timedelta(minutes=1)
        last = seconds[-1].replace(second=0) - timedelta(minutes=1)
        whole = 0
        m = first
        while m <= last:
            n = sum(1 for s in seconds if s.replace(second=0) == m)
            if n != 60:
                problems.append(f"minute {m:%H:%M}: {n} second rows")
            whole += 1
            m += timedelta(minutes=1)
        gaps = [(a, b) for a, b in zip(minutes, minutes[1:]) if b - a != timedelta(minutes=1)]
        problems += [f"minute rows jump from {a} to {b}" for a, b in gaps]
    print(f"recorder {i}: {len(seconds)} second rows, {len(minutes)} minute rows, "
          f"{whole if seconds else 0} whole minutes of 60 second rows, {len(problems)} problems")
    for p in problems[:20]:
        print("  " + p)
    bad += bool(problems)
sys.exit(1 if bad else 0)
EOF
for i in $(seq "$count"); do
    echo "recorder $i log:"
    sed 's/^/  /' "$w/$i/krv-monitor.log"
done
exit $status
