#!/usr/bin/env bash
# Builds the program and the simulator, and runs the program against the simulator in a demo folder
# of its own (its own Port0.ini), so the demo never touches a user's settings.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
krv_install_packages "${KRV_BUILD_PACKAGES[@]}" "${KRV_DEMO_PACKAGES[@]}"

cmake --preset release
cmake --build --preset release -j"$(nproc)"

demo="$PWD/demo"
mkdir -p "$demo"
cp build/release/src/krv-monitor "$demo/"
link="$demo/krv-sim.port"

build/release/tools/krv-sim/krv-sim --link "$link" --vary > "$demo/krv-sim.out" &
sim=$!
trap 'kill "$sim" 2>/dev/null || true; wait "$sim" 2>/dev/null || true' EXIT
for _ in $(seq 50); do [ -e "$link" ] && break; sleep 0.1; done
[ -e "$link" ] || { echo "the simulator did not start" >&2; exit 1; }

printf '[ComPortM]\r\nPort=%s\r\nBaudRate=38400\r\nStopBits=1\r\nDataBits=8\r\nParity=None\r\nFlowControl=None\r\n' \
    "$link" > "$demo/Port0.ini"
"$demo/krv-monitor"
