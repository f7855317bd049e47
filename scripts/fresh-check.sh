#!/usr/bin/env bash
# Usage (as root): scripts/fresh-check.sh
#
# Tries the package lists of scripts/packages.sh where nothing else is installed: builds a minimal
# Debian 12 root (mmdebstrap, variant "apt": the Essential packages and apt) from the host's Debian
# mirror, clones the repository's HEAD into it and, in a private mount and PID namespace with its
# own /proc and pseudo-terminals, runs
#   1. scripts/test.sh (installs the build list, builds with the sanitizers, runs every test),
#      then scripts/check-packages.sh with libqt6opengl6-dev left out (must fail naming it),
#   2. scripts/demo.sh with QT_QPA_PLATFORM=offscreen: krv-sim and krv-monitor must still be
#      running after KRV_FRESH_DEMO_SECONDS (default 5),
#   3. scripts/demo.sh without a display (must refuse), then under xvfb-run as it advises,
#   4. scripts/bench.sh briefly and scripts/measure_monitor.sh for 5 s,
#   5. scripts/screenshots.sh with KRV_SHOTS_SECONDS=5,
#   6. scripts/package.sh, then `apt-get install ./krv-monitor_*.deb`: the installed krv-monitor
#      --version and --help without a display; then, as a normal user (krvtech, in dialout), the
#      installed krv-monitor under Xvfb with --port on the installed krv-sim and the second record
#      switched on in ~/.config/krv-monitor: the start button is clicked (found through the
#      accessibility bus) and after KRV_FRESH_RECORD_SECONDS (default 8) the second record must
#      hold rows in ~/.local/share/krv-monitor/Record, and nothing under /usr may have changed.
# Run it by hand before changing the package list; it takes a while and needs the network.
# Everything it makes (mounts, the root directory) is removed on every exit.
set -euo pipefail
repo="$(git -C "$(dirname "$0")/.." rev-parse --show-toplevel)"
[ "$(id -u)" -eq 0 ] || { echo "fresh-check: run as root (mmdebstrap, chroot, mounts)" >&2; exit 2; }

started=$(date +%s)
work="" runner=""
cleanup() {
    local rc=$?
    trap - EXIT INT TERM HUP
    # unshare ignores SIGTERM and SIGINT while it waits; killed, it takes the namespace with it
    # (--kill-child), and the namespace its mounts.
    if [ -n "$runner" ] && kill -0 "$runner" 2>/dev/null; then
        kill -KILL "$runner" 2>/dev/null || true
        wait "$runner" 2>/dev/null || true
    fi
    if [ -n "$work" ] && [ -d "$work" ]; then
        # Mounts exist only inside the namespace; this guards against a root mounted out here.
        if findmnt -rn -o TARGET | grep -q "^$work/"; then
            echo "fresh-check: something is still mounted under $work; left in place" >&2
        else
            rm -rf --one-file-system "$work"
        fi
    fi
    echo "fresh-check: wall time $(( $(date +%s) - started )) s, exit status $rc"
    exit $rc
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM HUP

command -v mmdebstrap > /dev/null || {
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends mmdebstrap
}

# The host's Debian sources for bookworm and its updates, as one-line entries.
mirrors=()
while read -r uri suite comps; do
    mirrors+=("deb $uri $suite $comps")
done < <(apt-get indextargets --format '$(TARGET_OF) $(REPO_URI) $(RELEASE) $(COMPONENT)' 'Created-By: Packages' |
    awk '$1 == "deb" && $3 ~ /^bookworm(-updates|-security)?$/ { c[$2 " " $3] = c[$2 " " $3] " " $4 }
         END { for (k in c) print k c[k] }' | sort -u)
[ ${#mirrors[@]} -gt 0 ] || { echo "fresh-check: no bookworm sources on the host (apt-get update?)" >&2; exit 2; }
printf 'fresh-check: source: %s\n' "${mirrors[@]}"

work="$(mktemp -d "${TMPDIR:-/var/tmp}/krv-fresh.XXXXXX")"
root="$work/root"
echo "fresh-check: building $root"
mmdebstrap --variant=apt --mode=root bookworm "$root" "${mirrors[@]}"

head="$(git -C "$repo" rev-parse HEAD)"
git clone -q --no-hardlinks "$repo" "$root/src"
git -C "$root/src" checkout -q --detach "$head"
rm -rf "$root/src/.git" # no git in the root, and none needed
echo "fresh-check: clone of $head ($(git -C "$repo" log -1 --format=%s "$head"))"
cp /etc/resolv.conf "$root/etc/resolv.conf"

cat > "$root/fresh-run.sh" <<'INNER'
set -euo pipefail
cd /src
seconds="${KRV_FRESH_DEMO_SECONDS:-5}"
step() { echo; echo "=== fresh-check: $* ($(date +%T))"; }
fail() { echo "fresh-check: FAILED: $*" >&2; exit 1; }
# No procps in the root: processes by name from /proc.
pids_of() {
    local d
    # A zombie has ended; only its parent's wait is missing.
    for d in /proc/[0-9]*; do
        [ "$(cat "$d/comm" 2>/dev/null)" = "$1" ] || continue
        [ "$(sed -n 's/^State:[[:space:]]*\([A-Z]\).*/\1/p' "$d/status" 2>/dev/null)" = Z ] || echo "${d#/proc/}"
    done
    return 0
}

# Starts the demo with the given runner and environment, waits for its build and for the program,
# and checks that the simulator and the program are both running $seconds later.
try_demo() {
    local what="$1" log="/tmp/demo-$2.log"
    shift 2
    "$@" > "$log" 2>&1 &
    local demo=$! t=0
    while [ -z "$(pids_of krv-monitor)" ]; do
        kill -0 "$demo" 2>/dev/null || { cat "$log"; fail "$what: demo.sh ended before krv-monitor started"; }
        sleep 1
        t=$((t + 1))
        [ $t -lt 3600 ] || fail "$what: krv-monitor did not start"
    done
    sleep "$seconds"
    local mon sim
    mon=$(pids_of krv-monitor) sim=$(pids_of krv-sim)
    echo "$what: after ${seconds} s: krv-monitor ${mon:-not running}, krv-sim ${sim:-not running}"
    [ -n "$mon" ] && [ -n "$sim" ] || { cat "$log"; fail "$what: not both running"; }
    # What the program loaded besides libraries: Qt plugins and fonts, and their packages.
    echo "$what: krv-monitor has mapped:"
    awk '$6 ~ /\/qt6\/plugins\/|^\/usr\/share\// { print $6 }' "/proc/$mon/maps" | sort -u |
        xargs -r dpkg -S 2>&1 | sed 's/^/    /'
    # Ends as closing the window would; demo.sh then stops the simulator.
    kill $mon
    wait "$demo" || true
    sed -n '/^\[[0-9]*\/[0-9]*\]/d; p' "$log" | tail -n 15
    [ -z "$(pids_of krv-sim)" ] || fail "$what: krv-sim still running after the program ended"
}

step "scripts/test.sh"
t0=$(date +%s)
scripts/test.sh 2>&1 | tee /tmp/test.log
echo "fresh-check: test.sh took $(( $(date +%s) - t0 )) s"
grep -E 'tests passed, [0-9]+ tests failed out of' /tmp/test.log | sed 's/^/fresh-check: /'

step "check-packages.sh without libqt6opengl6-dev"
# The check must name the package whose absence broke a fresh configure once.
mkdir -p /tmp/selftest
cp scripts/check-packages.sh /tmp/selftest/
sed 's/ libqt6opengl6-dev / /' scripts/packages.sh > /tmp/selftest/packages.sh
! grep -q 'libqt6opengl6-dev' /tmp/selftest/packages.sh || fail "could not drop libqt6opengl6-dev from a copy of the list"
rc=0
/tmp/selftest/check-packages.sh build/test > /tmp/selftest.log 2>&1 || rc=$?
cat /tmp/selftest.log
[ $rc -eq 1 ] && grep -q '^check-packages: missing packages: libqt6opengl6-dev$' /tmp/selftest.log ||
    fail "check-packages.sh did not name libqt6opengl6-dev (exit $rc)"

step "demo programs, offscreen"
try_demo offscreen offscreen env QT_QPA_PLATFORM=offscreen scripts/demo.sh

step "demo without a display, then as it advises"
rc=0
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM scripts/demo.sh > /tmp/nodisplay.log 2>&1 || rc=$?
cat /tmp/nodisplay.log
[ $rc -ne 0 ] && grep -q 'xvfb-run -a scripts/demo.sh' /tmp/nodisplay.log || fail "demo.sh without a display (exit $rc)"
install=$(sed -n 's/^ *sudo \(apt-get install .*\)$/\1/p' /tmp/nodisplay.log)
[ -n "$install" ] || fail "demo.sh named no packages to install"
DEBIAN_FRONTEND=noninteractive $install -y
try_demo xvfb-run xvfb env -u QT_QPA_PLATFORM xvfb-run -a scripts/demo.sh
# xvfb-run signals its server and exits without waiting for it, so give the server a moment.
for _ in $(seq 50); do [ -z "$(pids_of Xvfb)" ] && break; sleep 0.1; done
[ -z "$(pids_of Xvfb)" ] || fail "Xvfb still running 5 s after xvfb-run ended"

step "scripts/bench.sh, briefly"
scripts/bench.sh --benchmark_min_time=0.01 2>&1 | grep -v '^\[[0-9]*/[0-9]*\]'

step "scripts/measure_monitor.sh, 5 s"
KRV_MEASURE_SECONDS=5 scripts/measure_monitor.sh 2>&1 | grep -v '^\[[0-9]*/[0-9]*\]'

step "scripts/screenshots.sh, 5 s of polling"
KRV_SHOTS_SECONDS=5 scripts/screenshots.sh 2>&1 | grep -v '^\[[0-9]*/[0-9]*\]'
ls -l docs/screenshots

step "scripts/package.sh"
t0=$(date +%s)
scripts/package.sh 2>&1 | grep -v '^\[[0-9]*/[0-9]*\]' | tee /tmp/package.log
echo "fresh-check: package.sh took $(( $(date +%s) - t0 )) s"
deb=$(tail -n1 /tmp/package.log)
[ -f "$deb" ] || fail "package.sh named no package"

step "apt-get install ./$(basename "$deb")"
DEBIAN_FRONTEND=noninteractive apt-get install -y "$deb" 2>&1 | tail -n 5
[ "$(command -v krv-monitor)" = /usr/bin/krv-monitor ] || fail "krv-monitor is not /usr/bin/krv-monitor"
dpkg -L krv-monitor | grep -E '/bin/|\.desktop$|metainfo|scalable|/man1/'
version=$(env -u DISPLAY QT_QPA_PLATFORM=xcb krv-monitor --version)
echo "krv-monitor --version: $version"
[[ "$version" == "krv-monitor 0.80 (Qt "*")" ]] || fail "krv-monitor --version"
env -u DISPLAY QT_QPA_PLATFORM=xcb krv-monitor --help > /tmp/help.txt || fail "krv-monitor --help"
grep -q -- '--port <PATH>' /tmp/help.txt || fail "krv-monitor --help names no --port"
echo "krv-sim --version: $(krv-sim --version)"

step "the installed program as a normal user"
source scripts/packages.sh
krv_install_packages passwd "${KRV_SHOTS_PACKAGES[@]}"
id krvtech > /dev/null 2>&1 || useradd --create-home --groups dialout krvtech
mkdir -p -m 1777 /tmp/.X11-unix
touch /tmp/before-run
sleep 1 # a file written in the same second as the stamp would not count as newer
cat > /home/krvtech/run.sh <<'USER'
set -euo pipefail
cd
seconds="$1"
mkdir -p .config/krv-monitor
printf '[Record]\r\nSecRec=1\r\n' > .config/krv-monitor/BaseSetpoint.ini
krv-monitor --paths
Xvfb -displayfd 3 -screen 0 1366x768x24 -nolisten tcp 3> display 2> xvfb.log &
xvfb=$!
sim="" monitor=""
trap 'kill $monitor $sim $xvfb 2>/dev/null || true' EXIT
for _ in $(seq 100); do [ -s display ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 display)"
port=/tmp/krvtech-sim.port
krv-sim --link "$port" --vary > sim.out 2> sim.log &
sim=$!
for _ in $(seq 50); do [ -e "$port" ] && break; sleep 0.1; done
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 krv-monitor --port "$port" > monitor.log 2>&1 &
monitor=$!
read -r x y w h < <(/usr/bin/python3 /src/scripts/ui_find.py org.krvmonitor.KrvMonitor "push button" "データ収取開始" 30)
xdotool mousemove $((x + w / 2)) $((y + h / 2)) click 1
sleep "$seconds"
USER
chmod 644 /home/krvtech/run.sh
runuser -u krvtech -- env -i PATH=/usr/bin:/bin HOME=/home/krvtech USER=krvtech LANG=C.UTF-8 \
    dbus-run-session -- bash /home/krvtech/run.sh "${KRV_FRESH_RECORD_SECONDS:-8}" 2>&1 |
    { grep -v '^dbus-daemon\|^SpiRegistry' || true; }
data=/home/krvtech/.local/share/krv-monitor
ls -l "$data" "$data/Record" || fail "no Record folder in $data"
record=$(ls "$data"/Record/RT_krvtech-sim.port_*.csv 2>/dev/null | head -n1)
[ -n "$record" ] || fail "no second record in $data/Record"
rows=$(grep -c '^[0-9]\{4\}/' "$record" || true)
echo "fresh-check: $(basename "$record"): $rows rows"
[ "$rows" -ge 3 ] || fail "the second record holds $rows rows"
[ "$(stat -c %U "$record")" = krvtech ] || fail "the record is not the user's"
changed=$(find /usr -newer /tmp/before-run -print | head -n 20)
[ -z "$changed" ] || { echo "$changed"; fail "files under /usr changed while the program ran"; }
echo "fresh-check: nothing under /usr changed"

step "done"
INNER

echo "fresh-check: entering the root"
# A private mount and PID namespace: its /proc, a pty instance of its own (the host's /dev/pts is
# untouched), a /dev/shm; all gone when its first process ends. --kill-child ends it with us.
unshare --mount --pid --fork --kill-child --propagation private -- env -i \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin HOME=/root TERM="${TERM:-dumb}" \
    KRV_FRESH_DEMO_SECONDS="${KRV_FRESH_DEMO_SECONDS:-5}" KRV_FRESH_RECORD_SECONDS="${KRV_FRESH_RECORD_SECONDS:-8}" \
    ROOT="$root" bash -c '
    set -euo pipefail
    mount -t proc proc "$ROOT/proc"
    mount -t devpts -o newinstance,ptmxmode=0666,mode=0620,gid=5 devpts "$ROOT/dev/pts"
    rm -f "$ROOT/dev/ptmx"
    ln -s pts/ptmx "$ROOT/dev/ptmx"
    mkdir -p "$ROOT/dev/shm"
    mount -t tmpfs -o mode=1777 shm "$ROOT/dev/shm"
    exec chroot "$ROOT" /bin/bash /fresh-run.sh' &
runner=$!
wait "$runner"
runner=""
echo "fresh-check: passed"
