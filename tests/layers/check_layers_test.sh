#!/usr/bin/env bash
# The layer check on small made-up trees, with a made-up Qt: a tree that follows the layers passes;
# each tree with one bad include fails and names that file and line. Usage: check_layers_test.sh PATH/TO/check-layers.sh
set -uo pipefail
check=$(realpath "${1:?usage: check_layers_test.sh PATH/TO/check-layers.sh}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The include as written: a name given in angle brackets stays so, any other is quoted.
written() {
    if [[ $1 == \<* ]]; then echo "$1"; else echo "\"$1\""; fi
}

# Writes a source file whose lines are the include names given.
source_file() {
    local file=$1 name
    shift
    mkdir -p "$(dirname "$file")"
    : > "$file"
    for name in "$@"; do echo "#include $(written "$name")" >> "$file"; done
}

# A few headers of each Qt module, where the check looks for them.
for header in QtCore/QString QtCore/QtGlobal QtCore/qobject.h QtGui/QColor QtWidgets/QWidget \
    QtWidgets/qwidget.h QtSerialPort/QSerialPort QtCharts/QChart; do
    mkdir -p "$work/qt/${header%/*}"
    : > "$work/qt/$header"
done
export KRV_QT_HEADERS=$work/qt

# Every allowed kind of include, and one that resolves nowhere (ignored).
clean_tree() {
    rm -rf "$work/tree"
    cd "$work" || exit 1
    source_file tree/src/common/Base.h "gtest/gtest.h" "<QString>" "<QtCore/QObject>" "<qobject.h>"
    source_file tree/src/common/Local.hpp "<Base.h>" "<vector>"
    source_file tree/src/common/ui/Style.h "common/Base.h" "<QWidget>" "<QtGui/QColor>"
    source_file tree/src/link/Link.h "<common/Base.h>" "<QtGlobal>"
    source_file tree/src/link/ui/Window.h "link/Link.h" "common/ui/Style.h" "<QChart>"
    source_file tree/src/link/serial/Port.h "link/Link.h" "common/Base.h" "<QSerialPort>"
    source_file tree/src/acquisition/Store.h "link/Link.h"
    source_file tree/src/program/Core.h "acquisition/Store.h" "common/Base.h"
    source_file tree/src/program/ui/Main.h "program/Core.h" "<link/ui/Window.h>"
    source_file tree/src/app/main.cpp "program/ui/Main.h" "link/serial/Port.h" "<QtSerialPort/QSerialPort>"
    source_file tree/tools/krv-sim/Pty.h "link/Link.h" "<QString>"
    source_file tree/tools/krv-sim/model/Model.h "common/Base.h"
    source_file tree/tools/krv-sim/main.cpp "Pty.h" "<model/Model.h>"
}

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

clean_tree
out=$("$check" "$work/tree" 2>&1) || fail "a tree that follows the layers was refused:"$'\n'"$out"

# Each case: the file given one bad include, and the include.
cases=(
    "src/link/Bad.cpp|link/ui/Window.h"
    "src/common/Bad.cpp|acquisition/Store.h"
    "src/link/ui/Bad.cpp|program/ui/Main.h"
    "src/program/Bad.cpp|link/serial/Port.h"
    "src/link/serial/Bad.cpp|link/ui/Window.h"
    "tools/krv-sim/Bad.cpp|acquisition/Store.h"
    "src/link/Bad.cpp|../acquisition/Store.h"
    # Angle brackets name the same files.
    "src/common/Bad.cpp|<acquisition/Store.h>"
    "tools/krv-sim/Bad.cpp|<program/Core.h>"
    # Every source extension is read.
    "src/common/Bad.hpp|acquisition/Store.h"
    "src/common/Bad.hh|acquisition/Store.h"
    "src/common/Bad.cc|acquisition/Store.h"
    "src/common/Bad.cxx|acquisition/Store.h"
    "src/common/Bad.ipp|acquisition/Store.h"
    # Qt modules: by folder name, by class header, by file name.
    "src/acquisition/Bad.h|<QtWidgets/QWidget>"
    "src/acquisition/Bad.h|<QWidget>"
    "src/acquisition/Bad.h|<qwidget.h>"
    "src/program/Bad.cpp|<QColor>"
    "src/link/Bad.cpp|<QSerialPort>"
    "src/link/ui/Bad.cpp|<QtSerialPort/QSerialPort>"
    "src/link/serial/Bad.cpp|<QWidget>"
    "tools/krv-sim/Bad.cpp|<QChart>"
)
for entry in "${cases[@]}"; do
    file=${entry%%|*} name=${entry#*|}
    clean_tree
    source_file "tree/$file" "common/Base.h" "$name"
    if out=$("$check" "$work/tree" 2>&1); then
        fail "$file including \"$name\" passed"
    elif ! grep -qF "$file:2: #include $(written "$name")" <<< "$out"; then
        fail "$file including \"$name\" failed without naming it:"$'\n'"$out"
    elif [ "$(grep -c '^src/\|^tools/' <<< "$out")" != 1 ]; then
        fail "$file including \"$name\" named more than the offender:"$'\n'"$out"
    fi
done

[ "$failures" = 0 ] && echo "check_layers_test: the clean tree and ${#cases[@]} bad includes behave"
exit $((failures > 0))
