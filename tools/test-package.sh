#!/usr/bin/env bash
# Checks the installed program: validates the desktop entry and the AppStream
# metainfo, makes the .deb with cpack from an already built folder (default
# build-test, configured by tools/test.sh), stripped like the real
# package, and fails on any lintian error or warning. Unpacks it into a
# throw-away root with `dpkg -x`; checks that the manual page, the D-Bus
# service file and the systemd user unit are there (systemd and a private
# session bus read the last two), that package, changelog and --version name
# one version and that the page covers every option of --help. Then starts
# the unpacked program offscreen with a fresh HOME and checks that its first
# start made a valid Daten.mdb in the user's data folder; then --demo has to
# bring its simulator up from the unpacked package. --quit-after-start writes the first-start box to stderr
# instead of waiting for a click and ends the program once its window shows.
# Usage: tools/test-package.sh [BUILD-FOLDER]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-test}

desktop-file-validate packaging/ch.funkbote.Funkbote.desktop
appstreamcli validate --no-net packaging/ch.funkbote.Funkbote.metainfo.xml

cmake --build "$build" --target funkbote modemsim package_docs
rm -f "$build"/funkbote_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$PWD/$build"/funkbote_*.deb)
lintian --allow-root --fail-on error,warning "$deb"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
dpkg -x "$deb" "$work/root"
man=usr/share/man/man1/funkbote.1.gz
dbus_service=usr/share/dbus-1/services/ch.funkbote.Funkbote.service
unit=usr/lib/systemd/user/funkbote.service
for f in usr/bin/funkbote usr/libexec/funkbote/modemsim \
    usr/share/applications/ch.funkbote.Funkbote.desktop \
    usr/share/metainfo/ch.funkbote.Funkbote.metainfo.xml \
    usr/share/icons/hicolor/scalable/apps/funkbote.svg \
    usr/share/icons/hicolor/48x48/apps/funkbote.png \
    usr/share/funkbote/translations/funkbote_en.qm \
    "$man" "$dbus_service" "$unit" \
    usr/share/doc/funkbote/copyright usr/share/doc/funkbote/changelog.Debian.gz; do
    [ -e "$work/root/$f" ] || { echo "test-package: $f missing in $deb" >&2; exit 1; }
done
# Both start the installed program, whatever prefix the build folder has.
grep -qx "Exec=/usr/bin/funkbote --headless" "$work/root/$dbus_service" ||
    { echo "test-package: $dbus_service does not start /usr/bin/funkbote" >&2; exit 1; }
grep -qx "ExecStart=/usr/bin/funkbote --headless" "$work/root/$unit" ||
    { echo "test-package: $unit does not start /usr/bin/funkbote" >&2; exit 1; }
# systemd reads the unit without a complaint (pointed at the unpacked program).
sed "s|/usr/bin/funkbote|$work/root/usr/bin/funkbote|" "$work/root/$unit" >"$work/funkbote.service"
mkdir -m 700 "$work/runtime"
if ! XDG_RUNTIME_DIR="$work/runtime" systemd-analyze --user --man=no verify \
    "$work/funkbote.service" 2>"$work/verify.txt" || [ -s "$work/verify.txt" ]; then
    cat "$work/verify.txt" >&2
    echo "test-package: systemd finds fault with $unit" >&2
    exit 1
fi
# A session bus that reads the unpacked services folder can start the name.
cat >"$work/bus.conf" <<EOF
<busconfig>
  <type>session</type>
  <listen>unix:dir=$work</listen>
  <servicedir>$work/root/usr/share/dbus-1/services</servicedir>
  <policy context="default"><allow send_destination="*"/><allow eavesdrop="true"/></policy>
</busconfig>
EOF
dbus-run-session --config-file="$work/bus.conf" -- dbus-send --session --print-reply \
    --dest=org.freedesktop.DBus /org/freedesktop/DBus org.freedesktop.DBus.ListActivatableNames \
    >"$work/activatable.txt" 2>"$work/bus.txt" || true
grep -q '"ch.funkbote.Funkbote"' "$work/activatable.txt" || {
    cat "$work/activatable.txt" "$work/bus.txt" >&2
    echo "test-package: the session bus cannot start ch.funkbote.Funkbote" >&2
    exit 1
}
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
# One version everywhere: the package's, the newest changelog entry's and the
# program's own.
version=$(dpkg-deb -f "$deb" Version)
zcat "$work/root/usr/share/doc/funkbote/changelog.Debian.gz" >"$work/changelog"
logged=$(dpkg-parsechangelog -l "$work/changelog" -S Version)
[ "$logged" = "$version" ] ||
    { echo "test-package: the changelog names $logged, the package is $version" >&2; exit 1; }
said=$(run --version)
[ "$said" = "Funkbote ${version%-*}" ] ||
    { echo "test-package: funkbote --version says $said, the package is $version" >&2; exit 1; }
# The manual page documents every option --help lists (roff writes - as \-).
zcat "$work/root/$man" | sed 's/\\-/-/g' >"$work/page.txt"
for option in $(run --help | grep -o -- '--[a-z][a-z-]*' | sort -u); do
    [ "$option" = --help-all ] || grep -q -- "$option" "$work/page.txt" ||
        { echo "test-package: $man lacks $option" >&2; exit 1; }
done
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
