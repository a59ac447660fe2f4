#!/usr/bin/env bash
# Checks the installed program: validates the desktop entry and the AppStream
# metainfo, makes the .deb with cpack from an already built folder (default
# build-test, which tools/test.sh has just built), unpacks it into a
# throw-away root with `dpkg -x`, starts the unpacked program offscreen with
# a fresh HOME and checks that its first start made a valid Daten.mdb in the
# user's data folder; then --demo has to bring its simulator up from the
# unpacked package. --quit-after-start writes the first-start box to stderr
# instead of waiting for a click and ends the program once its window shows.
# Usage: tools/test-package.sh [BUILD-FOLDER]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-test}

desktop-file-validate packaging/ch.funkbote.Funkbote.desktop
appstreamcli validate --no-net packaging/ch.funkbote.Funkbote.metainfo.xml

cmake --build "$build" --target funkbote modemsim
rm -f "$build"/funkbote_*.deb
(cd "$build" && cpack -G DEB -D CPACK_STRIP_FILES=OFF >/dev/null)
deb=$(ls "$PWD/$build"/funkbote_*.deb)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
dpkg -x "$deb" "$work/root"
for f in usr/bin/funkbote usr/libexec/funkbote/modemsim \
    usr/share/applications/ch.funkbote.Funkbote.desktop \
    usr/share/metainfo/ch.funkbote.Funkbote.metainfo.xml \
    usr/share/icons/hicolor/scalable/apps/funkbote.svg \
    usr/share/icons/hicolor/48x48/apps/funkbote.png \
    usr/share/funkbote/translations/funkbote_en.qm; do
    [ -e "$work/root/$f" ] || { echo "test-package: $f missing in $deb" >&2; exit 1; }
done
depends=$(dpkg-deb -f "$deb" Depends)
for d in libqt6sql6-sqlite qt6-qpa-plugins qt6-translations-l10n libqt6widgets6; do
    [[ $depends == *"$d"* ]] || { echo "test-package: Depends lacks $d: $depends" >&2; exit 1; }
done

mkdir "$work/home" "$work/home-en"
# A German system unless the caller names another language.
run() {
    (cd "$work" && env -u XDG_DATA_HOME -u XDG_CONFIG_HOME -u LANGUAGE -u LC_ALL -u LC_MESSAGES \
        HOME="${home:-$work/home}" LANG="${lang:-de_CH.UTF-8}" \
        QT_QPA_PLATFORM=offscreen timeout 60 "$work/root/usr/bin/funkbote" "$@")
}
run --quit-after-start 2>"$work/first.txt" || { cat "$work/first.txt" >&2; exit 1; }
grep -q "legt seine Daten neu an in" "$work/first.txt"
db="$work/home/.local/share/Funkbote/Daten.mdb"
[ -f "$db" ] || { echo "test-package: $db not created" >&2; exit 1; }
[ "$(head -c 15 "$db")" = "SQLite format 3" ] || { echo "test-package: $db is no SQLite file" >&2; exit 1; }
for table in Einstellungen Adressen VersandLog; do
    grep -Eq "CREATE TABLE \"?$table\"? \(" <(strings "$db") ||
        { echo "test-package: table $table missing in $db" >&2; exit 1; }
done
# A later start uses the file and shows no box.
run --quit-after-start 2>"$work/second.txt"
if grep -q "^funkbote:" "$work/second.txt"; then cat "$work/second.txt" >&2; exit 1; fi
# On an English system the program speaks English (its translation is built in).
home="$work/home-en" lang=en_US.UTF-8 run --quit-after-start 2>"$work/english.txt" ||
    { cat "$work/english.txt" >&2; exit 1; }
grep -q "is starting for the first time" "$work/english.txt"
# The demo finds the simulator in the unpacked libexec folder.
run --demo --quit-after-start 2>"$work/demo.txt" || { cat "$work/demo.txt" >&2; exit 1; }
echo "test-package: $deb installs and starts"
