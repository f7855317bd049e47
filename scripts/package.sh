#!/usr/bin/env bash
# Builds the Debian package from a clean release build of its own (build/package): Debian's hardening
# flags, installed under /usr, CPack's DEB generator with the libraries' packages from
# dpkg-shlibdeps. Validates the desktop entry and the AppStream metadata, runs lintian on the
# package (fails on an error) and prints the package's path as its last line.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
krv_install_packages "${KRV_BUILD_PACKAGES[@]}" "${KRV_PACKAGE_PACKAGES[@]}"

b="$PWD/build/package"
rm -rf "$b"
# The flags a Debian package build uses; CMake reads no CPPFLAGS, so they go with the compiler's.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cxxflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
ldflags="$(dpkg-buildflags --get LDFLAGS)"
cmake -S . -B "$b" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKRV_BUILD_TESTS=OFF -DKRV_BUILD_BENCH=OFF \
    -DCMAKE_INSTALL_PREFIX=/usr -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags"
cmake --build "$b" -j"$(nproc)"
(cd "$b" && cpack -G DEB)
debs=("$b"/krv-monitor_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { echo "package: no single .deb in $b" >&2; exit 1; }
deb="${debs[0]}"

echo "package: checking $(basename "$deb")"
dpkg-deb --field "$deb"
desktop-file-validate packaging/*.desktop
appstreamcli validate --no-net packaging/*.metainfo.xml
# Errors fail the package; warnings are shown (the README lists the ones that remain, and why).
lintian --fail-on error --display-info "$deb"
echo "package: lintian found no errors"
echo "$deb"
