# Debian 12 packages the build, the tests, the demo, the measurements and the package need. They are installed
# with --no-install-recommends, so whatever another package only recommends must be listed here.
# Sourced by the other scripts. scripts/check-packages.sh checks the build's list against what
# configure used; scripts/fresh-check.sh tries every list on a fresh system.
KRV_BUILD_PACKAGES=(build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-serialport-dev qt6-charts-dev libqt6opengl6-dev libgl-dev libsimpleini-dev
    libdouble-conversion-dev
    libgtest-dev libgmock-dev libbenchmark-dev locales)
KRV_DEMO_PACKAGES=(fonts-noto-cjk fonts-liberation fonts-dejavu-core)
# The measured run: a virtual X server, clicks, /usr/bin/time; python3 (ctypes) closes the window.
KRV_BENCH_PACKAGES=(time xvfb xdotool python3)
# The demo without a graphical session: xvfb-run needs xauth, which xvfb only recommends.
KRV_XVFB_RUN_PACKAGES=(xvfb xauth)
# The fuzz targets (scripts/fuzz.sh, run by the test command): clang, and the sanitizer and libFuzzer
# runtimes, which clang only recommends.
KRV_FUZZ_PACKAGES=(clang libclang-rt-14-dev)
# The test command's checks of the sources: formatting (clang-format) over the tracked files (git).
KRV_CHECK_PACKAGES=(clang-format git)
# The Debian package (scripts/package.sh): file for CPack's dpkg-shlibdeps step, lintian, and the
# validators of the desktop entry and the AppStream metadata.
KRV_PACKAGE_PACKAGES=(file lintian desktop-file-utils appstream)
# The screenshots (scripts/screenshots.sh): a virtual X server, clicks, the screen's picture
# (imagemagick's import), and the accessibility bus through which the script finds the controls.
KRV_SHOTS_PACKAGES=(xvfb xdotool imagemagick dbus-daemon at-spi2-core python3-pyatspi)

# Installs whichever of the named packages are missing.
krv_install_packages() {
    local missing=() p
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" apt-get update
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
}
