#!/usr/bin/env bash
# Fails, naming file:line and the include, when a source under src/ or tools/krv-sim/ includes a
# header against the layers below, or a Qt module its place may not use. Quoted and angle-bracket
# includes count alike, in every C++ source and header. Usage: check-layers.sh [SOURCE_ROOT]
# (default: this repository). The Qt headers are found with qtpaths6, or in KRV_QT_HEADERS.
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

  Qt modules      headless code and krv-sim: QtCore only; link/serial/: QtCore and QtSerialPort;
                  ui/ folders: any but QtSerialPort; app: any. <QtX/...> names its module; a class
                  header such as <QWidget> or <qwidget.h> belongs to the module folder of the Qt
                  headers that holds it.
'
TOOL=tools/krv-sim
EXTENSIONS=(h hpp hh cpp cc cxx ipp)

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

# Sets why to the reason the include from the first path to the second breaks the rule, or to
# nothing when it does not. (These helpers set variables: a subshell per include is slow.)
offence() {
    why=''
    local kind_s layer_s ui_s
    classify "$1"
    kind_s=$kind layer_s=$layer ui_s=$ui
    classify "$2"
    if [ "$kind_s" = tool ]; then
        [ "$kind" = tool ] && return
        [ "$kind" = layer ] && [ "$ui" = 0 ] && [[ $layer == common || $layer == link ]] && return
        why="krv-sim may include only its own files and headless common and link"
        return
    fi
    if [ "$kind_s" = unknown ] || [ "$kind" = unknown ]; then
        local where=$1
        [ "$kind_s" = unknown ] || where=$2
        why="${where%/*}/ is not a layer of the table"
        return
    fi
    [ "$layer_s" = app ] && return
    if [ "$kind" = serial ]; then
        [ "$kind_s" = serial ] && return
        why="only app may include link/serial/"
        return
    fi
    if [ "$kind_s" = serial ]; then
        [ "$ui" = 0 ] && [[ $layer == common || $layer == link ]] && return
        why="link/serial/ may include only headless link and common"
        return
    fi
    if [ "$ui" = 1 ] && [ "$ui_s" = 0 ]; then
        why="headless code includes a ui/ header"
        return
    fi
    [ "$layer" = "$layer_s" ] && return
    [[ ${allowed[$layer_s]} == *" $layer "* ]] && return
    local from=$layer_s to=$layer
    [ "$ui_s" = 1 ] && from+=/ui
    [ "$ui" = 1 ] && to+=/ui
    why="$from may not include $to (up the layers)"
}

# Sets target to the file an include names, relative to the root: beside the including file
# (quoted only), then in the tool's folder for the tool's files, then under src/. Nothing when it is
# none of these (a library's).
resolve() {
    target=''
    local from=$1 name=$2 quoted=$3 candidate path
    local candidates=()
    [ "$quoted" = 1 ] && candidates+=("${from%/*}/$name")
    [[ $from == "$TOOL"/* ]] && candidates+=("$TOOL/$name")
    candidates+=("src/$name")
    for candidate in "${candidates[@]}"; do
        [ -f "$root/$candidate" ] || continue
        path=$candidate
        [[ /$path/ == */../* || /$path/ == */./* ]] && path=$(realpath -m -s --relative-to="$root" "$root/$path")
        if [[ $path == src/* || $path == "$TOOL"/* ]]; then target=$path; fi
        return 0
    done
}

# Sets module to the Qt module folder that holds a header, or to nothing when it is not Qt's.
declare -A qt_module_of=()
qt_module() {
    module=''
    local name=$1 folder
    if [[ $name =~ ^(Qt[A-Z][A-Za-z]*)/ ]]; then
        module="${BASH_REMATCH[1]}"
        return
    fi
    [[ $name == [Qq]* && $name != */* ]] || return 0
    if [ -z "${qt_module_of[$name]+set}" ]; then
        qt_module_of[$name]=''
        for folder in "$qt_headers"/Qt*/; do
            [ -f "$folder$name" ] || continue
            folder=${folder%/}
            qt_module_of[$name]=${folder##*/}
            break
        done
    fi
    module="${qt_module_of[$name]}"
}

# Sets why to the reason the file may not include the Qt module, or to nothing when it may.
qt_offence() {
    why=''
    local module=$2
    classify "$1"
    [ "$layer" = app ] && return
    if [ "$kind" = serial ]; then
        [[ $module == QtCore || $module == QtSerialPort ]] && return
        why="link/serial/ may use only QtCore and QtSerialPort, not $module"
    elif [ "$kind" = layer ] && [ "$ui" = 1 ]; then
        [ "$module" != QtSerialPort ] && return
        why="only link/serial/ may use QtSerialPort"
    else
        [ "$module" = QtCore ] && return
        why="headless code may use only QtCore, not $module"
    fi
}

qt_headers=${KRV_QT_HEADERS:-$(qtpaths6 --query QT_INSTALL_HEADERS 2> /dev/null || true)}
[ -d "$qt_headers/QtCore" ] || {
    echo "check-layers: no Qt headers (no QtCore folder in \"$qt_headers\"); set KRV_QT_HEADERS" >&2
    exit 2
}

cd "$root"
folders=(src)
[ -d "$TOOL" ] && folders+=("$TOOL")
names=()
for extension in "${EXTENSIONS[@]}"; do names+=(-o -name "*.$extension"); done
files=0 includes=0 failures=0
while IFS= read -r -d '' file; do
    file=${file#./}
    files=$((files + 1))
    while IFS=: read -r line text; do
        if [[ $text =~ include[[:space:]]*\"([^\"]*)\" ]]; then
            name=${BASH_REMATCH[1]} quoted=1 shown="\"${BASH_REMATCH[1]}\""
        elif [[ $text =~ include[[:space:]]*\<([^\>]*)\> ]]; then
            name=${BASH_REMATCH[1]} quoted=0 shown="<${BASH_REMATCH[1]}>"
        else
            continue
        fi
        resolve "$file" "$name" "$quoted"
        if [ -n "$target" ]; then
            offence "$file" "$target"
        else
            qt_module "$name"
            [ -n "$module" ] || continue
            qt_offence "$file" "$module"
        fi
        includes=$((includes + 1))
        [ -n "$why" ] || continue
        echo "$file:$line: #include $shown: $why"
        failures=$((failures + 1))
    done < <(grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]' "$file" || true)
done < <(find "${folders[@]}" -type f \( "${names[@]:1}" \) -print0 | sort -z)

if [ "$failures" -gt 0 ]; then
    echo
    echo "check-layers: $failures include(s) against the layers. The allowed directions:"
    printf '%s\n' "$RULES"
    exit 1
fi
echo "check-layers: $includes includes in $files files follow the layers"
