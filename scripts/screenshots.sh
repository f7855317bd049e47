#!/usr/bin/env bash
# Takes the README's screenshots (docs/screenshots/*.png) of the release build under Xvfb
# (1366x768): the main window after KRV_SHOTS_SECONDS (default 30) of polling krv-sim, the monitor
# list, the system setting window's two pages and the write window. The program runs in a scratch
# folder (build/screenshots, --data-dir and --port), so no user file is touched. Controls are found
# through the accessibility bus (scripts/ui_find.py), so the clicks follow the windows' layouts.
set -euo pipefail
cd "$(dirname "$0")/.."
repo="$PWD"

if [ -z "${KRV_SHOTS_INNER:-}" ]; then
    source scripts/packages.sh
    krv_install_packages "${KRV_BUILD_PACKAGES[@]}" "${KRV_DEMO_PACKAGES[@]}" "${KRV_SHOTS_PACKAGES[@]}"
    cmake --preset release
    cmake --build --preset release -j"$(nproc)"
    # The accessibility bus needs a D-Bus session of its own; it ends with this script.
    exec env KRV_SHOTS_INNER=1 dbus-run-session -- "$0" "$@"
fi

seconds="${KRV_SHOTS_SECONDS:-30}"
s="$repo/build/screenshots"
out="$repo/docs/screenshots"
rm -rf "$s"
mkdir -p "$s" "$out"
app=org.krvmonitor.KrvMonitor
find_ui() { /usr/bin/python3 "$repo/scripts/ui_find.py" "$app" "$@"; }
fail() { echo "screenshots: $*" >&2; exit 1; }

sim="" xvfb="" monitor=""
cleanup() {
    for p in $monitor $sim $xvfb; do kill "$p" 2>/dev/null || true; done
    for p in $monitor $sim $xvfb; do wait "$p" 2>/dev/null || true; done
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 1366x768x24 -nolisten tcp 3> "$s/display" 2> "$s/xvfb.log" &
xvfb=$!
for _ in $(seq 100); do [ -s "$s/display" ] && break; sleep 0.1; done
[ -s "$s/display" ] || fail "Xvfb did not start"
export DISPLAY=":$(head -n1 "$s/display")"

# A short port name, as a device's would be: the status bar and the caption show it.
port="$(mktemp -u /tmp/ttySIM.XXXX)"
build/release/tools/krv-sim/krv-sim --link "$port" --vary > "$s/krv-sim.out" 2> "$s/krv-sim.log" &
sim=$!
for _ in $(seq 50); do [ -e "$port" ] && break; sleep 0.1; done
[ -e "$port" ] || fail "the simulator did not start"

QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORM=xcb \
    build/release/src/krv-monitor --data-dir "$s" --port "$port" > "$s/krv-monitor.log" 2>&1 &
monitor=$!

# Clicks the middle of a control; "shift" holds Shift down, "double" clicks twice.
click() {
    local role="$1" name="$2" how="${3:-}" x y w h
    read -r x y w h < <(find_ui "$role" "$name" 20) || fail "no $role '$name'"
    local cmd=(xdotool mousemove $((x + w / 2)) $((y + h / 2)))
    [[ "$how" == *shift* ]] && cmd+=(keydown shift)
    if [[ "$how" == *double* ]]; then cmd+=(click --repeat 2 --delay 100 1); else cmd+=(click 1); fi
    [[ "$how" == *shift* ]] && cmd+=(keyup shift)
    "${cmd[@]}"
}

# The window's picture from the screen, cut to what the screen shows of it.
shoot() {
    local role="$1" name="$2" file="$3" x y w h
    read -r x y w h < <(find_ui "$role" "$name" 20) || fail "no $role '$name'"
    sleep 1 # one more refresh, and the paint of what just opened
    local x0=$((x < 0 ? 0 : x)) y0=$((y < 0 ? 0 : y))
    local x1=$((x + w > 1366 ? 1366 : x + w)) y1=$((y + h > 768 ? 768 : y + h))
    import -window root -crop "$((x1 - x0))x$((y1 - y0))+$x0+$y0" +repage -strip "$out/$file"
    echo "screenshots: $out/$file ($((x1 - x0))x$((y1 - y0))$([ $((x1 - x0)) -lt "$w" ] || [ $((y1 - y0)) -lt "$h" ] && echo ", cut from ${w}x$h"))"
}

click "push button" "データ収取開始"
find_ui window ".* \| KRV-series monitor\. Ver\.0\.80" 20 > /dev/null || fail "polling did not start (no port in the caption)"
echo "screenshots: polling; the main window is taken in $seconds s"
sleep "$seconds"
shoot window ".*KRV-series monitor\. Ver\.0\.80" main-window.png

click "status bar" "" shift,double
shoot window "Monitor List" monitor-list.png

click "push button" "設定変更" shift
click "page tab" "管理操作"
shoot window "System Setting" system-setting-calibration.png
click "page tab" "直接操作"
shoot window "System Setting" system-setting-direct.png

# Below the screen while the window is taller than it: the keyboard presses it.
find_ui --focus "push button" ".*設定送出.*" || fail "cannot focus the write button"
xdotool key space
shoot window "設定送出" write-window.png
