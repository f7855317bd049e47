#!/usr/bin/env bash
# Usage: scripts/check-packages.sh BUILD_DIR
#
# After a configure step: every CMake package configuration file that configure loaded from the
# system (a <Name>_DIR entry of BUILD_DIR/CMakeCache.txt under /usr) must come from a Debian package
# that installing KRV_BUILD_PACKAGES (scripts/packages.sh) brings in through Depends and Pre-Depends
# alone, as `apt-get install --no-install-recommends` does. Otherwise a machine that happens to have
# the package builds, and a fresh one fails at configure. Prints the missing packages and exits 1.
#
# The closure is read from apt's package lists. As root the lists are refreshed when missing or
# older than a day (KRV_APT_UPDATE=1 forces it, KRV_APT_UPDATE=0 never); otherwise run
# `sudo apt-get update` first when told to.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"

[ $# -eq 1 ] || { echo "usage: $0 BUILD_DIR" >&2; exit 2; }
cache="$1/CMakeCache.txt"
[ -f "$cache" ] || { echo "check-packages: no $cache; configure first" >&2; exit 2; }
source "$here/packages.sh"

lists=/var/lib/apt/lists
eval "$(apt-config shell lists Dir::State::lists/d)"
lists_present() { [ -n "$(find "$lists" -maxdepth 1 -name '*_Packages*' -print -quit 2>/dev/null)" ]; }
# Any Packages index changed within the last day.
lists_fresh() { [ -n "$(find "$lists" -maxdepth 1 -name '*_Packages*' -mmin -1440 -print -quit 2>/dev/null)" ]; }
update="${KRV_APT_UPDATE:-auto}"
if [ "$(id -u)" -eq 0 ] && { [ "$update" = 1 ] || { [ "$update" = auto ] && ! lists_fresh; }; }; then
    echo "check-packages: refreshing apt's package lists (apt-get update)"
    # Offline, the old lists still serve; apt-cache then reports what it cannot find.
    apt-get update -qq || echo "check-packages: warning: apt-get update failed; using the lists as they are" >&2
elif ! lists_present; then
    echo "check-packages: warning: apt has no package lists, so only installed packages' dependencies" >&2
    echo "  (from dpkg's status) are known; run 'sudo apt-get update' to check against the archive" >&2
elif ! lists_fresh; then
    echo "check-packages: warning: apt's package lists are over a day old; run 'sudo apt-get update'" >&2
fi

# The install closure: every package apt-cache visits from the list following Depends and
# Pre-Depends. Alternatives ("a | b") and virtual packages' providers are all followed, so the
# closure can be larger than what apt would pick, never smaller.
errors=$(mktemp)
trap 'rm -f "$errors"' EXIT
deps=$(apt-cache depends --recurse --no-recommends --no-suggests --no-conflicts --no-breaks \
    --no-replaces --no-enhances "${KRV_BUILD_PACKAGES[@]}" 2> "$errors") || true
declare -A closure=()
while read -r p; do closure[$p]=1; done < <(echo "$deps" | sed -n '/^[^ ]/ s/^<\{0,1\}\([^ <>:]*\).*/\1/p')
unknown=()
for p in "${KRV_BUILD_PACKAGES[@]}"; do [ -n "${closure[$p]:-}" ] || unknown+=("$p"); done
if [ ${#unknown[@]} -gt 0 ]; then
    sed 's/^/  apt-cache: /' "$errors" >&2
    echo "check-packages: apt knows nothing of: ${unknown[*]}" >&2
    echo "  run 'sudo apt-get update' (the lists may be missing), and check the names in scripts/packages.sh" >&2
    exit 2
fi

# <Name>_DIR entries under /usr whose directory holds Name's configuration file (the name cases
# find_package accepts). Other *_DIR entries (include directories and the like) name no package file.
configs=()
while IFS='=' read -r key dir; do
    name="${key%%_DIR:*}"
    case "$dir" in /usr/*) ;; *) continue ;; esac
    lower="$(echo "$name" | tr '[:upper:]' '[:lower:]')"
    for f in "$dir/${name}Config.cmake" "$dir/${lower}-config.cmake"; do
        if [ -f "$f" ]; then configs+=("$f"); break; fi
    done
done < <(grep -E '^[A-Za-z0-9_.+-]+_DIR:(PATH|STRING|UNINITIALIZED)=' "$cache")
[ ${#configs[@]} -gt 0 ] || { echo "check-packages: no package configuration files under /usr in $cache" >&2; exit 2; }

declare -A missing=()
unowned=()
for f in "${configs[@]}"; do
    # dpkg records paths as packaged; on a merged /usr the real path may be the one it knows.
    owners=$(dpkg -S "$f" 2>/dev/null || dpkg -S "$(realpath "$f")" 2>/dev/null || true)
    # "pkg1:amd64, pkg2: /path" -> pkg1 pkg2; diversion lines name no owner.
    owners=$(echo "$owners" | grep -v '^diversion ' | sed -n 's|: /.*||p' | tr ',' '\n' |
        sed 's/^ *//; s/:.*//; /^$/d' | sort -u)
    if [ -z "$owners" ]; then
        unowned+=("$f")
        continue
    fi
    ok=""
    for o in $owners; do if [ -n "${closure[$o]:-}" ]; then ok=1; fi; done
    if [ -z "$ok" ]; then
        for o in $owners; do missing[$o]+="    ${f}"$'\n'; done
    fi
done

status=0
if [ ${#missing[@]} -gt 0 ]; then
    echo "check-packages: configure used CMake packages from Debian packages that KRV_BUILD_PACKAGES"
    echo "  (scripts/packages.sh) does not bring in through Depends/Pre-Depends:"
    for p in $(printf '%s\n' "${!missing[@]}" | sort); do
        echo "  $p"
        printf '%s' "${missing[$p]}"
    done
    echo "check-packages: missing packages: $(printf '%s\n' "${!missing[@]}" | sort | paste -sd' ')"
    status=1
fi
if [ ${#unowned[@]} -gt 0 ]; then
    echo "check-packages: configure used CMake packages that no Debian package installed:"
    printf '    %s\n' "${unowned[@]}"
    status=1
fi
[ $status -eq 0 ] && echo "check-packages: ${#configs[@]} CMake package configurations, all from the listed packages' closure"
exit $status
