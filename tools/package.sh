#!/usr/bin/env bash
# Builds the Debian package: a Release build in build-package, then
# `cpack -G DEB` (which builds only what it installs). Prints the path of the .deb; install it with
# `sudo apt install ./funkbote_*.deb`.
# Usage: tools/package.sh   (from anywhere in the repository)
set -euo pipefail
cd "$(dirname "$0")/.."
build=build-package
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
    -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON -DFUNKBOTE_WERROR=OFF >&2
cmake --build "$build" -j "$(nproc)" --target funkbote modemsim package_docs >&2
(cd "$build" && cpack -G DEB >&2)
ls "$PWD/$build"/funkbote_*.deb
