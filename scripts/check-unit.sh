#!/usr/bin/env bash
# Verifies the systemd template unit packaging/krv-monitor@.service with `systemd-analyze verify`:
# the template and two instances, any warning counting as a failure; and that an instance name made
# by systemd-escape gives the port's path (a by-id name whose "-" and "/" are escaped).
#   scripts/check-unit.sh PROGRAM    (the built krv-monitor, standing in for /usr/bin/krv-monitor)
set -euo pipefail
cd "$(dirname "$0")/.."
program="$(realpath "${1:?usage: check-unit.sh PROGRAM}")"
unit=packaging/krv-monitor@.service
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT

byid="serial/by-id/usb-FTDI_FT232R_USB_UART_A12345-if00-port0"
instance="krv-monitor@$(systemd-escape "$byid").service"
sed "s|/usr/bin/krv-monitor|$program|" "$unit" > "$tmp/krv-monitor@.service"
# From inside the folder: verify also looks for units in the current one.
out="$(cd "$tmp" && SYSTEMD_UNIT_PATH="$tmp:" systemd-analyze verify --man=no \
    "$tmp/krv-monitor@.service" krv-monitor@ttyUSB0.service "$instance" 2>&1)" || true
if [ -n "$out" ]; then
    echo "check-unit: $unit:" >&2
    echo "$out" >&2
    exit 1
fi

# systemd names the command it cannot find, so a command that cannot exist shows what /dev/%I became.
mkdir "$tmp/ports"
sed 's|^ExecStart=.*|ExecStart=/nonexistent/dev/%I|' "$unit" > "$tmp/ports/krv-monitor@.service"
out="$(cd "$tmp/ports" && SYSTEMD_UNIT_PATH="$tmp/ports:" systemd-analyze verify --man=no \
    krv-monitor@ttyUSB0.service "$instance" 2>&1)" || true
for port in /dev/ttyUSB0 "/dev/$byid"; do
    grep -qF "Command /nonexistent$port is not executable" <<< "$out" ||
        { echo "check-unit: the instance for $port does not give it:" >&2; echo "$out" >&2; exit 1; }
done
echo "check-unit: $unit verifies; ttyUSB0 and $(systemd-escape "$byid") give their ports"
