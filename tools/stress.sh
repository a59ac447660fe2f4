#!/usr/bin/env bash
# The long runs that do not fit in CI, with one table of their results:
# test, runs, failures, figure. Exits non-zero when any of them failed.
# Usage: tools/stress.sh [step...]   (from anywhere in the repository)
# Steps: stress_crash, stress_soak, stress_fuzz; all of them when none is named.
# FUNKBOTE_STRESS_FUZZ_SECONDS shortens the fuzz runs (default 600 per target).
#
# A row is added by writing a function that runs its test and calls
#   row "<test>" <runs> <failures> "<figure>"
# once per line of the table, and by naming the function in `steps`.
set -euo pipefail
cd "$(dirname "$0")/.."

work=$(mktemp -d "${TMPDIR:-/tmp}/funkbote-stress.XXXXXX")
trap 'rm -rf "$work"' EXIT
rows=$work/rows.tsv
: > "$rows"

row() { printf '%s\t%s\t%s\t%s\n' "$1" "$2" "$3" "$4" >> "$rows"; }

# Every fuzz target for ten minutes; fuzz.sh writes one row per target.
stress_fuzz()
{
    local status=0
    FUNKBOTE_FUZZ_SUMMARY=$rows bash tools/fuzz.sh "${FUNKBOTE_STRESS_FUZZ_SECONDS:-600}" ||
        status=$?
    return "$status"
}

# The program and the tests that run it, built once for the steps below.
build=build
build_targets()
{
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug > "$work/configure.log" 2>&1 ||
        { cat "$work/configure.log"; return 1; }
    nice cmake --build "$build" --target "$@"
}

# 0 when the test function passed, 1 otherwise.
failed_in() { grep -q "^PASS   : .*::$2()" "$1" && echo 0 || echo 1; }

# The real program killed with SIGKILL at 100 moments while it sends, and the
# address book's saves killed at 25.
stress_crash()
{
    build_targets funkbote modemsim tst_crashsafety || return 1
    local log=$work/crash.log status=0
    QT_QPA_PLATFORM=offscreen QTEST_FUNCTION_TIMEOUT=3600000 \
        FUNKBOTE_CRASH_KILLS=${FUNKBOTE_STRESS_KILLS:-100} \
        "$build/bin/tst_crashsafety" > "$log" 2>&1 || status=$?
    grep -E 'QINFO|FAIL|Loc:' "$log" | cut -c1-300
    local kills figure
    kills=$(grep -o 'kills: .*' "$log" | head -n 1 | wc -w)
    figure=$(grep -o '[0-9]* messages logged once each.*' "$log" | head -n 1)
    row "crash: SIGKILL while sending" "$((kills > 0 ? kills - 1 : 0))" \
        "$(failed_in "$log" killedAtRandomMoments)" "${figure:-see the log above}"
    local saves
    saves=$(grep -o 'address book: [0-9]* persons saved whole across [0-9]* kills' "$log")
    row "crash: SIGKILL while saving addresses" "$(echo "$saves" | grep -o '[0-9]* kills' | cut -d' ' -f1)" \
        "$(failed_in "$log" killedWhileSavingAddresses)" "${saves#address book: }"
    return "$status"
}

# 10,000 messages through the simulator: logged once each, memory and open
# files as after the first 1,000.
stress_soak()
{
    build_targets funkbote modemsim tst_soak || return 1
    local log=$work/soak.log status=0 messages=${FUNKBOTE_STRESS_MESSAGES:-10000}
    QT_QPA_PLATFORM=offscreen QTEST_FUNCTION_TIMEOUT=3600000 FUNKBOTE_SOAK_MESSAGES=$messages \
        "$build/bin/tst_soak" \
        > "$log" 2>&1 || status=$?
    grep -E 'QINFO|FAIL|Loc:' "$log" | cut -c1-300
    local figure
    figure=$(grep -o 'RSS .*' "$log" | head -n 1)
    row "soak: modem, no delays" "$messages" "$([ "$status" -eq 0 ] && echo 0 || echo 1)" \
        "${figure:-see the log above}"
    return "$status"
}

steps=(
    stress_crash
    stress_soak
    stress_fuzz
)
[ "$#" -eq 0 ] || steps=("$@")

failed=0
for step in "${steps[@]}"; do
    echo "== $step"
    before=$(wc -l < "$rows")
    if ! "$step"; then
        failed=1
        # A step that ended before writing its rows still shows in the table.
        [ "$(wc -l < "$rows")" -gt "$before" ] || row "$step" 0 1 "ended early"
    fi
done

echo
{
    printf 'test\truns\tfailures\tfigure\n'
    cat "$rows"
} | awk -F '\t' '
    { for (i = 1; i <= NF; ++i) { cell[NR, i] = $i; if (length($i) > width[i]) width[i] = length($i) } }
    END {
        for (r = 1; r <= NR; ++r)
            printf "%-*s  %*s  %*s  %s\n", width[1], cell[r, 1], width[2], cell[r, 2],
                   width[3], cell[r, 3], cell[r, 4]
    }'
exit "$failed"
