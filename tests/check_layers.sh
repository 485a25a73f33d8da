#!/usr/bin/env bash
# The layers' includes run one way (allowed() below), each quoted include resolved as the build
# resolves it. The core includes no Qt header but Qt Core's, and the headless project tools link
# no Qt Widgets or Gui.
# Usage: check_layers.sh SOURCE_DIR [QTCORE_INCLUDE_DIR [PROGRAM...]]
set -u
cd "$1" || exit 2
qtcore=${2:-}
shift $(($# < 2 ? $# : 2))
failures=0
fail() {
    echo "$*"
    failures=$((failures + 1))
}

allowed() { # the top-level folders a file of folder $1 may include from
    case $1 in
    platform/*) echo platform ;;
    engine/*) echo "engine platform" ;;
    core/*) echo "core engine platform" ;;
    app/*) echo "app core engine platform" ;;
    tools/screenshots/*) echo "tools app core engine platform tests" ;;
    tools/*) echo "tools core engine platform" ;;
    esac
}

resolve() { # prints where "#include $2" in file $1 lands
    local here
    here=$(dirname "$1")
    if [[ -f $here/$2 ]]; then
        realpath --relative-to=. "$here/$2"
        return
    fi
    for root in . core app engine/api tests/app; do
        [[ -f $root/$2 ]] && realpath --relative-to=. "$root/$2"
    done | head -1
}

while IFS= read -r file; do
    ok=$(allowed "$file")
    while IFS= read -r name; do
        targets=$(resolve "$file" "$name")
        [[ -z $targets ]] && continue # generated (ui_*.h, *.moc) or a system header
        [[ " $ok " == *" ${targets%%/*} "* ]] || fail "$file includes $targets"
    done < <(sed -n 's/^#include "\([^"]*\)".*/\1/p' "$file")
done < <(find platform engine core app tools -name '*.h' -o -name '*.cpp' -o -name '*.def')

if [[ -n $qtcore ]]; then
    while IFS=: read -r file name; do
        [[ -f $qtcore/${name#QtCore/} ]] || fail "$file includes <$name>, not a Qt Core header"
    done < <(grep -roE '^#include <Q[A-Za-z/]*>' core | sed 's/#include <\(.*\)>/\1/')
fi

for program in "$@"; do
    ldd "$program" | grep -E 'libQt6(Widgets|Gui)' && fail "$program links Qt Widgets or Gui"
done

echo "$failures layer faults"
[[ $failures -eq 0 ]]
