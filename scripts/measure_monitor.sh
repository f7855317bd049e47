#!/usr/bin/env bash
# Measures krv-monitor (release build) polling krv-sim under Xvfb: CPU time and peak resident memory
# from /usr/bin/time -v, plus the CPU share of the polling alone, read from /proc at the click on the
# start button (or after KRV_MEASURE_SETTLE) and at the end. Runs in build/measure with its own copy of the program and Port0.ini.
# KRV_MEASURE_SECONDS sets the measured polling time (default 60). KRV_MEASURE_SETTLE (default 0)
# lets the program poll that many seconds before the measured time starts: the charts hold only the
# last ten minutes' points, so a steady state needs 600.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
krv_install_packages "${KRV_BUILD_PACKAGES[@]}" "${KRV_DEMO_PACKAGES[@]}" "${KRV_BENCH_PACKAGES[@]}"

cmake --preset release
cmake --build --preset release -j"$(nproc)"

seconds="${KRV_MEASURE_SECONDS:-60}"
settle="${KRV_MEASURE_SETTLE:-0}"
m="$PWD/build/measure"
rm -rf "$m"
mkdir -p "$m"
cp build/release/src/krv-monitor "$m/"
link="$m/krv-sim.port"

sim="" xvfb="" timer="" monitor=""
cleanup() {
    # The program first, so that time reaps it; time itself only when the program was not found.
    if [ -n "$monitor" ]; then kill "$monitor" 2>/dev/null || true; elif [ -n "$timer" ]; then kill "$timer" 2>/dev/null || true; fi
    for p in $sim $xvfb; do kill "$p" 2>/dev/null || true; done
    for p in $timer $sim $xvfb; do wait "$p" 2>/dev/null || true; done
}
trap cleanup EXIT
fail() { echo "measure_monitor: $*" >&2; exit 1; }

# -v logs every frame, which shows that the program really polled.
build/release/tools/krv-sim/krv-sim --link "$link" --vary -v > "$m/krv-sim.out" 2> "$m/krv-sim.log" &
sim=$!
for _ in $(seq 50); do [ -e "$link" ] && break; sleep 0.1; done
[ -e "$link" ] || fail "the simulator did not start"
printf '[ComPortM]\r\nPort=%s\r\nBaudRate=38400\r\nStopBits=1\r\nDataBits=8\r\nParity=None\r\nFlowControl=None\r\n' \
    "$link" > "$m/Port0.ini"

# Xvfb picks a free display and writes its number to fd 3.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3> "$m/display" 2> "$m/xvfb.log" &
xvfb=$!
for _ in $(seq 100); do [ -s "$m/display" ] && break; sleep 0.1; done
[ -s "$m/display" ] || fail "Xvfb did not start"
export DISPLAY=":$(head -n1 "$m/display")"

/usr/bin/time -v -o "$m/time.txt" "$m/krv-monitor" > "$m/krv-monitor.log" 2>&1 &
timer=$!
win=""
for _ in $(seq 200); do
    win=$(xdotool search --onlyvisible --name '^KRV-series monitor\. Ver\.0\.80' 2>/dev/null | head -n1) || true
    [ -n "$win" ] && break
    sleep 0.1
done
[ -n "$win" ] || fail "the main window did not appear"
monitor=$(xdotool getwindowpid "$win")

# BBStart: the first of four 53x41 buttons at the right of the bottom bar (margin 4, spacing 6), which
# sits on the status bar. Coordinates are relative to the client area.
eval "$(xdotool getwindowgeometry --shell "$win")"
start_x=$((WIDTH - 4 - 3 * (53 + 6) - 53 / 2))
start_y=$((HEIGHT - 44))

clk_tck=$(getconf CLK_TCK)
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; } # utime + stime, after the "(comm)" field
rx_count() { grep -c ' rx <RD,' "$m/krv-sim.log" || true; }

# Sleeps until $2 seconds after the moment $1 (date +%s.%N).
sleep_until() { sleep "$(awk -v t="$1" -v now="$(date +%s.%N)" -v s="$2" 'BEGIN { d = t + s - now; print (d > 0 ? d : 0) }')"; }

mark() {
    t0=$(date +%s.%N)
    c0=$(cpu_ticks "$monitor")
    x0=$(cpu_ticks "$xvfb")
    r0=$(rx_count)
}
xdotool mousemove --window "$win" "$start_x" "$start_y" click 1
mark
clicked=$t0

# Polling shows the port in the caption after its first second.
caption=""
for _ in $(seq 50); do
    caption=$(xdotool getwindowname "$win")
    [[ "$caption" == *" | KRV-series monitor. Ver.0.80"* ]] && break
    sleep 0.1
done
[[ "$caption" == *" | KRV-series monitor. Ver.0.80"* ]] || fail "the click on BBStart did not start polling (caption: $caption)"

if [ "$settle" != 0 ]; then
    sleep_until "$clicked" "$settle"
    mark
fi
sleep_until "$t0" "$seconds"
c1=$(cpu_ticks "$monitor")
x1=$(cpu_ticks "$xvfb")
t1=$(date +%s.%N)
r1=$(rx_count)
hwm_kb=$(awk '/^VmHWM:/ { print $2 }' "/proc/$monitor/status")
rss_kb=$(awk '/^VmRSS:/ { print $2 }' "/proc/$monitor/status")
caption=$(xdotool getwindowname "$win")

# Closes the window as a window manager would (WM_DELETE_WINDOW): no window manager runs under Xvfb,
# and xdotool's windowclose destroys the window while the program runs on.
close_window() {
    command -v python3 > /dev/null || return 1
    python3 - "$1" <<'PY'
import ctypes, sys
x = ctypes.cdll.LoadLibrary("libX11.so.6")
x.XOpenDisplay.restype = ctypes.c_void_p
x.XOpenDisplay.argtypes = [ctypes.c_char_p]
x.XInternAtom.restype = ctypes.c_ulong
x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long, ctypes.c_void_p]
x.XFlush.argtypes = [ctypes.c_void_p]
x.XCloseDisplay.argtypes = [ctypes.c_void_p]
class ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]
class XEvent(ctypes.Union):
    _fields_ = [("xclient", ClientMessage), ("pad", ctypes.c_long * 24)]
d = x.XOpenDisplay(None)
if not d:
    sys.exit(1)
e = XEvent()
e.xclient.type = 33  # ClientMessage
e.xclient.window = int(sys.argv[1])
e.xclient.message_type = x.XInternAtom(d, b"WM_PROTOCOLS", 0)
e.xclient.format = 32
e.xclient.data[0] = x.XInternAtom(d, b"WM_DELETE_WINDOW", 0)
x.XSendEvent(d, e.xclient.window, 0, 0, ctypes.byref(e))
x.XFlush(d)
x.XCloseDisplay(d)
PY
}
closed_by="the window's close request"
close_window "$win" || true
for _ in $(seq 100); do kill -0 "$monitor" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$monitor" 2>/dev/null; then
    closed_by="SIGTERM (the close request did not end it)"
    kill "$monitor"
fi
rc=0
wait "$timer" || rc=$?
timer="" monitor=""

field() { sed -n "s/^[[:space:]]*$1: //p" "$m/time.txt"; }
user=$(field 'User time (seconds)')
sys=$(field 'System time (seconds)')
elapsed=$(field 'Elapsed (wall clock) time (h:mm:ss or m:ss)')
maxrss_kb=$(field 'Maximum resident set size (kbytes)')
[ -n "$user" ] && [ -n "$maxrss_kb" ] || fail "/usr/bin/time gave no report (see $m/time.txt)"

awk -v user="$user" -v sys="$sys" -v elapsed="$elapsed" -v maxrss="$maxrss_kb" \
    -v c0="$c0" -v c1="$c1" -v x0="$x0" -v x1="$x1" -v t0="$t0" -v t1="$t1" -v hz="$clk_tck" \
    -v hwm="$hwm_kb" -v rss="$rss_kb" -v requests="$((r1 - r0))" -v rc="$rc" \
    -v caption="$caption" -v closed="$closed_by" -v settle="$settle" 'BEGIN {
    n = split(elapsed, p, ":"); wall = 0
    for (i = 1; i <= n; ++i) wall = wall * 60 + p[i]
    span = t1 - t0; cpu = (c1 - c0) / hz; xcpu = (x1 - x0) / hz
    printf "krv-monitor polling krv-sim under Xvfb\n"
    printf "  whole run (start-up, polling, close), /usr/bin/time -v:\n"
    printf "    CPU: user %.2f s + sys %.2f s = %.2f s over %.2f s elapsed = %.2f %% of one core\n",
        user, sys, user + sys, wall, 100 * (user + sys) / wall
    printf "    maximum resident set size: %d kB = %.1f MiB\n", maxrss, maxrss / 1024
    printf "    exit status: %d, closed by %s\n", rc, closed
    if (settle > 0) printf "  polling alone (from %d s after the click on BBStart to the end), /proc/<pid>/stat:\n", settle
    else printf "  polling alone (click on BBStart to the end), /proc/<pid>/stat:\n"
    printf "    CPU: %.2f s over %.2f s = %.2f %% of one core\n", cpu, span, 100 * cpu / span
    printf "    resident at the end: %.1f MiB (peak so far %.1f MiB)\n", rss / 1024, hwm / 1024
    printf "    requests krv-sim received: %d (%.2f per second)\n", requests, requests / span
    printf "    X server (Xvfb) CPU meanwhile: %.2f s = %.2f %% of one core\n", xcpu, 100 * xcpu / span
    printf "  caption at the end: %s\n", caption
}'
