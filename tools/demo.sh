#!/usr/bin/env bash
# Builds Funkbote and starts it in its demo: a throw-away data folder and the
# simulator beside the program, which prints every SMS it receives. Queue a
# message in the window; it goes out within about ten seconds.
#
#   tools/demo.sh                          a Hayes modem on COM1 dials the centre
#   tools/demo.sh --demo-connection tcp    the centre over TCP/IP, with a login
#   tools/demo.sh --demo-connection gsm    a GSM modem on COM1
#   tools/demo.sh --demo-connection smpp   an SMPP 3.4 centre (bind, window of 10,
#                                          delivery receipts)
set -euo pipefail
cd "$(dirname "$0")/.."
build=build-demo
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DFUNKBOTE_WERROR=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target funkbote modemsim
echo "Funkbote startet mit dem Simulator..."
exec "$PWD/$build/bin/funkbote" --demo "$@"
