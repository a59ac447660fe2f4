#!/usr/bin/env bash
# Fails when a file under src/ includes a header of a higher layer or of a
# folder its own does not build on, or a layer below the windows includes a
# Qt Widgets or Gui header.
#
# Layers, from the bottom up (a folder may include its own headers and those
# of any lower layer; folders on the same layer do not include each other):
#   0 base    1 store, queue    2 contacts, engine, widgets    3 core
#   4 queue/ui    5 addressbook, dialogs    6 app
# Headers are included by file name (each library exports its folder), so a
# header's layer is the layer of the folder it lives in. A ranked sub-folder
# (queue/ui) is a library of its own: its files are not its parent's.
set -euo pipefail
cd "$(dirname "$0")/../src"

declare -A rank=([base]=0 [store]=1 [queue]=1 [contacts]=2 [engine]=2 [widgets]=2
                 [core]=3 [queue/ui]=4 [addressbook]=5 [dialogs]=5 [app]=6)

# The lower folders each folder builds on, as its library links them: an
# include from any other folder is refused even when it points down (the
# window pieces in widgets, say, know nothing of the queue).
declare -A uses=([base]="" [store]="base" [queue]="base" [contacts]="base store"
                 [engine]="base store queue" [widgets]="base"
                 [core]="base store queue contacts engine"
                 [queue/ui]="base queue widgets engine core"
                 [addressbook]="base store queue contacts widgets core"
                 [dialogs]="base store queue contacts engine widgets core"
                 [app]="base store queue contacts engine widgets core queue/ui addressbook dialogs")

# Qt modules each layer may not use at all.
declare -A forbiddenModules=([base]="QtGui QtWidgets QtSql QtSerialPort QtNetwork"
                             [queue]="QtGui QtWidgets QtSql QtSerialPort QtNetwork"
                             [store]="QtGui QtWidgets QtSerialPort QtNetwork"
                             [contacts]="QtGui QtWidgets QtSerialPort QtNetwork"
                             [engine]="QtGui QtWidgets"
                             [widgets]="QtSql QtSerialPort QtNetwork"
                             [core]="QtGui QtWidgets"
                             [queue/ui]="QtSql QtSerialPort QtNetwork")

# The files of a ranked folder matching the find tests given, without those
# of a ranked folder inside it.
filesOf() {
    local dir=$1 prune=() other
    shift
    for other in "${!rank[@]}"; do
        [[ $other == "$dir"/* ]] && prune+=(-path "$other" -prune -o)
    done
    find "$dir" "${prune[@]}" \( "$@" \) -print
}

qtInclude=$(qtpaths6 --query QT_INSTALL_HEADERS 2>/dev/null ||
            echo /usr/include/x86_64-linux-gnu/qt6)

declare -A folderOf
for dir in "${!rank[@]}"; do
    [ -d "$dir" ] || { echo "check-layers: folder src/$dir is missing" >&2; exit 1; }
    while IFS= read -r header; do
        name=${header##*/}
        if [ -n "${folderOf[$name]:-}" ] && [ "${folderOf[$name]}" != "$dir" ]; then
            echo "check-layers: header $name exists in src/${folderOf[$name]} and src/$dir" >&2
            exit 1
        fi
        folderOf[$name]=$dir
    done < <(filesOf "$dir" -name '*.h')
done

# Every folder under src/ must have a layer.
for dir in */; do
    dir=${dir%/}
    [ -n "${rank[$dir]:-}" ] || { echo "check-layers: src/$dir has no layer" >&2; exit 1; }
done

# Qt class headers of a module, e.g. QWidget for QtWidgets.
declare -A moduleOf
for module in QtGui QtWidgets QtSql QtSerialPort QtNetwork; do
    [ -d "$qtInclude/$module" ] || continue
    for path in "$qtInclude/$module"/Q*; do
        name=${path##*/}
        [[ $name == *.h ]] && continue
        # QtGui re-exports nothing of Core, but some names exist in several
        # modules' folders as forwarding headers: the first module wins.
        [ -n "${moduleOf[$name]:-}" ] || moduleOf[$name]=$module
    done
done

violations=0
for dir in "${!rank[@]}"; do
    while IFS= read -r file; do
        while IFS= read -r line; do
            if [[ $line =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\"([^\"]+)\" ]]; then
                name=${BASH_REMATCH[1]##*/}
                target=${folderOf[$name]:-}
                [ -z "$target" ] || [ "$target" = "$dir" ] && continue
                if [ "${rank[$target]}" -ge "${rank[$dir]}" ]; then
                    echo "src/$file: includes $name from src/$target (layer ${rank[$target]}), which is not below src/$dir (layer ${rank[$dir]})"
                    violations=$((violations + 1))
                elif [[ " ${uses[$dir]} " != *" $target "* ]]; then
                    echo "src/$file: includes $name from src/$target, which src/$dir does not build on"
                    violations=$((violations + 1))
                fi
            elif [[ $line =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\<(Qt[A-Za-z]+/)?([A-Za-z0-9_]+)\> ]]; then
                module=${BASH_REMATCH[1]%/}
                [ -n "$module" ] || module=${moduleOf[${BASH_REMATCH[2]}]:-}
                [ -n "$module" ] || continue
                for banned in ${forbiddenModules[$dir]:-}; do
                    if [ "$module" = "$banned" ]; then
                        echo "src/$file: includes <${BASH_REMATCH[2]}> of $module, which src/$dir may not use"
                        violations=$((violations + 1))
                    fi
                done
            fi
        done < "$file"
    done < <(filesOf "$dir" -name '*.h' -o -name '*.cpp')
done

if [ "$violations" -gt 0 ]; then
    echo "check-layers: $violations include(s) point the wrong way" >&2
    exit 1
fi
echo "check-layers: all includes point down"
