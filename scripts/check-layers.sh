#!/usr/bin/env bash
# Fails, naming file:line and the include, when a source under src/ or tools/krv-sim/ includes a
# header against the layers below. Usage: check-layers.sh [SOURCE_ROOT] (default: this repository).
set -euo pipefail

# The rule. Each layer is a folder under src/ and may include itself and the layers after its colon.
RULES='
  layer        may include
  common       :
  link         : common
  acquisition  : common link
  monitor      : common link acquisition
  settings     : common link acquisition
  calibration  : common link acquisition monitor settings
  program      : common link acquisition monitor settings calibration
  app          : everything

  X/ui/           the windows of layer X: may include X, what X may include, and the ui/ folders
                  of those layers.
  headless code   (anything not in a ui/ folder) never includes a ui/ header; app, which puts the
                  program together, may.
  link/serial/    the QSerialPort adapter: may include link and common (headless); only app may
                  include it.
  tools/krv-sim/  may include its own files and headless common and link.
'
TOOL=tools/krv-sim

root=${1:-"$(dirname "$0")/.."}
[ -d "$root/src" ] || { echo "check-layers: $root has no src/ folder" >&2; exit 2; }
root=$(cd "$root" && pwd)

declare -A allowed=()
layers=()
while read -r name rest; do
    layers+=("$name")
    allowed[$name]=" ${rest#:} "
done < <(printf '%s\n' "$RULES" | grep -E '^  [a-z]+ +:')
for name in "${layers[@]}"; do
    [[ ${allowed[$name]} == *" everything "* ]] && allowed[$name]=" ${layers[*]} "
done

# Sets kind (layer, serial, tool or unknown), layer and ui (1 inside a ui/ folder) for a path
# relative to the root.
classify() {
    local path=$1
    kind=unknown layer='' ui=0
    if [[ $path == "$TOOL"/* ]]; then
        kind=tool
        return
    fi
    local rest=${path#src/}
    layer=${rest%%/*}
    [[ $rest == */* ]] || layer=''
    [[ /${rest%/*}/ == */ui/* ]] && ui=1
    if [[ $rest == link/serial/* ]]; then
        kind=serial
    elif [ -n "$layer" ] && [ -n "${allowed[$layer]+set}" ]; then
        kind=layer
    fi
}

# Why the include from the first path to the second breaks the rule, or nothing when it does not.
offence() {
    local kind_s layer_s ui_s
    classify "$1"
    kind_s=$kind layer_s=$layer ui_s=$ui
    classify "$2"
    if [ "$kind_s" = tool ]; then
        [ "$kind" = tool ] && return
        [ "$kind" = layer ] && [ "$ui" = 0 ] && [[ $layer == common || $layer == link ]] && return
        echo "krv-sim may include only its own files and headless common and link"
        return
    fi
    if [ "$kind_s" = unknown ] || [ "$kind" = unknown ]; then
        local where=$1
        [ "$kind_s" = unknown ] || where=$2
        echo "${where%/*}/ is not a layer of the table"
        return
    fi
    [ "$layer_s" = app ] && return
    if [ "$kind" = serial ]; then
        [ "$kind_s" = serial ] && return
        echo "only app may include link/serial/"
        return
    fi
    if [ "$kind_s" = serial ]; then
        [ "$ui" = 0 ] && [[ $layer == common || $layer == link ]] && return
        echo "link/serial/ may include only headless link and common"
        return
    fi
    if [ "$ui" = 1 ] && [ "$ui_s" = 0 ]; then
        echo "headless code includes a ui/ header"
        return
    fi
    [ "$layer" = "$layer_s" ] && return
    [[ ${allowed[$layer_s]} == *" $layer "* ]] && return
    local from=$layer_s to=$layer
    [ "$ui_s" = 1 ] && from+=/ui
    [ "$ui" = 1 ] && to+=/ui
    echo "$from may not include $to (up the layers)"
}

# The file an include names, relative to the root: beside the including file, then in the tool's
# folder for the tool's files, then under src/. Nothing when it is none of these (a library's).
resolve() {
    local from=$1 name=$2 candidate path
    local candidates=("${from%/*}/$name")
    [[ $from == "$TOOL"/* ]] && candidates+=("$TOOL/$name")
    candidates+=("src/$name")
    for candidate in "${candidates[@]}"; do
        [ -f "$root/$candidate" ] || continue
        path=$candidate
        [[ /$path/ == */../* || /$path/ == */./* ]] && path=$(realpath -m -s --relative-to="$root" "$root/$path")
        if [[ $path == src/* || $path == "$TOOL"/* ]]; then echo "$path"; fi
        return 0
    done
}

cd "$root"
folders=(src)
[ -d "$TOOL" ] && folders+=("$TOOL")
files=0 includes=0 failures=0
while IFS= read -r -d '' file; do
    file=${file#./}
    files=$((files + 1))
    while IFS=: read -r line text; do
        [[ $text =~ \"([^\"]*)\" ]] || continue
        name=${BASH_REMATCH[1]}
        target=$(resolve "$file" "$name")
        [ -n "$target" ] || continue
        includes=$((includes + 1))
        why=$(offence "$file" "$target")
        [ -n "$why" ] || continue
        echo "$file:$line: #include \"$name\": $why"
        failures=$((failures + 1))
    done < <(grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file" || true)
done < <(find "${folders[@]}" -type f \( -name '*.h' -o -name '*.cpp' \) -print0 | sort -z)

if [ "$failures" -gt 0 ]; then
    echo
    echo "check-layers: $failures include(s) against the layers. The allowed directions:"
    printf '%s\n' "$RULES"
    exit 1
fi
echo "check-layers: $includes includes in $files files follow the layers"
