#!/usr/bin/env bash
# Builds Funkbote with AddressSanitizer and UBSan, with its tests and
# benchmarks, and runs the whole test suite on it (any report fails it); then
# builds the program and the simulator as they are shipped and unpacks and
# tries their .deb (tools/test-package.sh). Then runs every fuzz target for
# FUNKBOTE_FUZZ_SECONDS seconds (default 5; 0 runs only their seed corpus).
# Usage: tools/test.sh   (from anywhere in the repository)
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$PWD/tools/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"

# How the suites are built: lld links the hundred-odd programs in a fraction
# of the time of ld.bfd.
tooling=()
if command -v ld.lld > /dev/null; then
    tooling=(-DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld -DCMAKE_SHARED_LINKER_FLAGS=-fuse-ld=lld)
fi
# A compiler cache outside the clone: a later run on the same machine
# compiles only what changed (paths are taken relative to the clone, so
# another clone of the same commit hits the cache too).
if command -v ccache > /dev/null; then
    export CCACHE_DIR=${CCACHE_DIR:-$HOME/.cache/funkbote-ccache}
    export CCACHE_BASEDIR=$PWD
    export CCACHE_NOHASHDIR=1
    tooling+=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi

configure() {
    local dir=$1
    shift
    # A Debug build keeps the assertions on; the debug information is chosen
    # by the caller.
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug "${tooling[@]}" "$@"
}

echo "== Layers =="
bash tools/check-layers.sh
echo "== Build and tests with AddressSanitizer and UBSan =="
# Every test runs once, under the sanitizers. The benchmarks are built here
# too (so they keep compiling) but not run. Line tables only (-g1): sanitizer
# reports still name file and line.
configure build-asan -DCMAKE_CXX_FLAGS_DEBUG=-g1 -DFUNKBOTE_SANITIZE=ON
cmake --build build-asan -j "$jobs"
ctest --test-dir build-asan --output-on-failure -j "$jobs"
echo "== Package: desktop entry, metainfo, .deb unpacked and started =="
# Without sanitizers and without debug information, as shipped; the package
# test builds what goes into the .deb.
configure build-test -DCMAKE_CXX_FLAGS_DEBUG=-g0 -DFUNKBOTE_BENCH=OFF
bash tools/test-package.sh build-test
echo "== Fuzzing with libFuzzer, AddressSanitizer and UBSan (clang) =="
bash tools/fuzz.sh "${FUNKBOTE_FUZZ_SECONDS:-5}"
