#!/usr/bin/env bash
# Builds Funkbote and starts it against the modem simulator: the simulator
# plays a Hayes modem on COM1 (a link in the program's folder) and the SMS
# provider's message centre behind it, and prints every SMS it receives.
# Queue a message in the window; it goes out within about ten seconds.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build-demo
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DFUNKBOTE_WERROR=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target funkbote modemsim daten_mdb
bin="$PWD/$build/bin"

# The fresh Daten.mdb of the build names COM1 but no provider number: the
# demo gives it one (a number of your own, if you entered one, is kept).
"$bin/mkdaten" --if-missing --provider "0800 123 456" "$bin/Daten.mdb"
# The simulator becomes COM1 and answers any number dialled.
"$bin/modemsim" --dir "$bin" --port 1 --connect-delay 1000 &
sim=$!
trap 'kill "$sim" 2>/dev/null || true; wait "$sim" 2>/dev/null || true' EXIT
for _ in $(seq 50); do
    [ -L "$bin/COM1" ] && break
    sleep 0.1
done
echo "Modem-Simulator bereit auf COM1. Funkbote startet..."
"$bin/funkbote"
