#!/usr/bin/env bash
# Builds the fuzz targets of fuzz/ with clang, libFuzzer, AddressSanitizer and
# UBSan in build-fuzz and runs each for the given number of seconds on a copy
# of its seed corpus (the repository's corpus is never written). Exits
# non-zero on any crash, sanitizer report or failed property; the input that
# caused it is kept in build-fuzz/findings/ and can be replayed by passing it
# to the target: build-fuzz/bin/<target> build-fuzz/findings/<file>.
#
# Usage: tools/fuzz.sh [seconds] [target...]
#   seconds  per target, default 60; 0 runs each seed corpus once only
#   target   run only these (default: every target in fuzz/CMakeLists.txt)
# With FUNKBOTE_FUZZ_SUMMARY=file one line per target is appended to file:
#   target<TAB>runs<TAB>failures<TAB>figure
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
build=build-fuzz
findings=$build/findings

if ! command -v clang++ > /dev/null; then
    echo "fuzz.sh: clang++ is missing (tools/install-deps.sh installs it)" >&2
    exit 1
fi

mkdir -p "$build"
# With ccache (tools/test.sh sets where its cache lives) a later run compiles
# only what changed.
launcher=()
if command -v ccache > /dev/null; then
    launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
# -O1 keeps the targets fast; a Debug build keeps Qt's and our assertions on;
# line tables (-g1) are enough for the sanitizers' reports.
CC=clang CXX=clang++ nice cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_CXX_FLAGS_DEBUG="-g1 -O1" -DFUNKBOTE_FUZZ=ON "${launcher[@]}" > "$build/configure.log" 2>&1 ||
    { cat "$build/configure.log"; exit 1; }
nice cmake --build "$build" --target fuzz_all -j "$(nproc)"

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$PWD/tools/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
if [ -x /usr/lib/llvm-14/bin/llvm-symbolizer ]; then
    export ASAN_SYMBOLIZER_PATH=/usr/lib/llvm-14/bin/llvm-symbolizer
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/funkbote-fuzz.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$findings"

# The last figure of a libFuzzer log: "stat::name: value" or "name: value" on a status line.
final_stat() { grep -o "^stat::$1: *[0-9]*" "$2" | grep -o '[0-9]*$' | tail -n 1 || true; }
status_figure() { grep -o "$1: [0-9]*" "$2" | tail -n 1 | grep -o '[0-9]*$' || true; }

failed=0
ran=0
table=$(printf '%-20s %10s %8s %6s %6s %8s  %s' target runs exec/s cov ft corpus result)
while read -r name path; do
    if [ $# -gt 0 ] && ! printf '%s\n' "$@" | grep -qx "$name"; then
        continue
    fi
    ran=$((ran + 1))
    corpus=$work/corpus/$name
    mkdir -p "$corpus"
    if [ -d "fuzz/corpus/$name" ]; then
        cp -r "fuzz/corpus/$name/." "$corpus/"
    fi
    args=(-timeout=25 -print_final_stats=1 "-artifact_prefix=$findings/$name-")
    if [ "$seconds" -gt 0 ]; then
        args+=("-max_total_time=$seconds")
    else
        args+=(-runs=0)
    fi
    if [ -f "fuzz/dict/$name.dict" ]; then
        args+=("-dict=fuzz/dict/$name.dict")
    fi
    log=$work/$name.log
    echo "== $name: ${seconds} s"
    result=ok
    if ! nice "$path" "${args[@]}" "$corpus" > "$log" 2>&1; then
        result=FAILED
    fi
    if grep -qE 'ERROR: (AddressSanitizer|LeakSanitizer)|runtime error:|property failed' "$log"; then
        result=FAILED
    fi
    runs=$(final_stat number_of_executed_units "$log")
    speed=$(final_stat average_exec_per_sec "$log")
    cov=$(status_figure cov "$log")
    ft=$(status_figure ft "$log")
    files=$(find "$corpus" -type f | wc -l)
    if [ "$result" != ok ]; then
        failed=1
        tail -n 60 "$log"
        echo "== $name FAILED; the input is in $findings/"
    fi
    table+=$'\n'$(printf '%-20s %10s %8s %6s %6s %8s  %s' "$name" "${runs:-?}" "${speed:-?}" \
        "${cov:-?}" "${ft:-?}" "$files" "$result")
    if [ -n "${FUNKBOTE_FUZZ_SUMMARY:-}" ]; then
        printf '%s\t%s\t%s\t%s\n' "$name" "${runs:-0}" "$([ "$result" = ok ] && echo 0 || echo 1)" \
            "${speed:-?} exec/s, cov ${cov:-?}, ft ${ft:-?}" >> "$FUNKBOTE_FUZZ_SUMMARY"
    fi
done < "$build/fuzz-targets.txt"

echo "$table"
if [ "$ran" -eq 0 ]; then
    echo "fuzz.sh: no target named $*" >&2
    exit 1
fi
exit "$failed"
