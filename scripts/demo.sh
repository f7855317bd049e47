#!/usr/bin/env bash
# Builds the program and the simulator, and runs the program against the simulator in a demo folder
# of its own (its own Port0.ini), so the demo never touches a user's settings.
# `scripts/demo.sh calibration` starts the simulator as an instrument to calibrate, in still air; its
# commands (wind 5, wind 0, ...) are written to demo/krv-sim.in from another terminal:
#     echo "wind 5" > demo/krv-sim.in
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh

# Without a display Qt aborts ("could not connect to display"); say so before installing and
# building. A platform chosen in QT_QPA_PLATFORM other than X11 or Wayland (offscreen) needs none.
case "${QT_QPA_PLATFORM:-}" in
    "" | xcb* | wayland*)
        if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
            cat >&2 <<END
demo.sh: no graphical session (neither DISPLAY nor WAYLAND_DISPLAY is set).
The demo shows the program's window: run it in a desktop session, or over ssh -X.
To try it without one, under a virtual X server (nothing is shown; Ctrl+C ends it):
    sudo apt-get install --no-install-recommends ${KRV_XVFB_RUN_PACKAGES[*]}
    xvfb-run -a scripts/demo.sh
END
            exit 1
        fi
        ;;
esac
krv_install_packages "${KRV_BUILD_PACKAGES[@]}" "${KRV_DEMO_PACKAGES[@]}"

cmake --preset release
cmake --build --preset release -j"$(nproc)"

demo="$PWD/demo"
mkdir -p "$demo"
cp build/release/src/krv-monitor "$demo/"
link="$demo/krv-sim.port"

if [ "${1:-}" = calibration ]; then
    commands="$demo/krv-sim.in"
    rm -f "$commands"
    mkfifo "$commands"
    # Held open for reading and writing, so the simulator's input never ends between two commands.
    exec 3<>"$commands"
    build/release/tools/krv-sim/krv-sim --link "$link" --calibration-setting --wind-speed 0 <&3 \
        > "$demo/krv-sim.out" &
    echo "demo.sh: simulator commands go to $commands (echo \"wind 5\" > $commands)"
else
    build/release/tools/krv-sim/krv-sim --link "$link" --vary > "$demo/krv-sim.out" &
fi
sim=$!
trap 'kill "$sim" 2>/dev/null || true; wait "$sim" 2>/dev/null || true' EXIT
for _ in $(seq 50); do [ -e "$link" ] && break; sleep 0.1; done
[ -e "$link" ] || { echo "the simulator did not start" >&2; exit 1; }

printf '[ComPortM]\r\nPort=%s\r\nBaudRate=38400\r\nStopBits=1\r\nDataBits=8\r\nParity=None\r\nFlowControl=None\r\n' \
    "$link" > "$demo/Port0.ini"
"$demo/krv-monitor"
