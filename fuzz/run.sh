#!/bin/sh
# Runs fuzz targets of the sanitizer build for a bounded time each.
#
#   fuzz/run.sh [-t seconds] [-r runs] [-j jobs] [-b build-dir] [target...]
#
# Without targets every fuzz_* program of <build-dir>/fuzz runs (default
# build-asan, 50 s each, 2 at a time; -r also stops a target after that many
# executions). Each target starts from its seeds in
# fuzz/corpus/<target> and from what earlier runs found, kept in
# <build-dir>/fuzz-corpus/<target>. A crash, a sanitizer report, a leak, a
# time-out or running out of memory leaves a reproducer in
# <build-dir>/fuzz-findings/; the script then names every reproducer and
# exits with 1. Reproduce one with: <build-dir>/fuzz/fuzz_<target> <reproducer>
set -u
seconds=50
jobs=2
runs=-1
build=build-asan
while getopts t:r:j:b: option; do
    case $option in
    t) seconds=$OPTARG ;;
    r) runs=$OPTARG ;;
    j) jobs=$OPTARG ;;
    b) build=$OPTARG ;;
    *) exit 2 ;;
    esac
done
shift $((OPTIND - 1))
cd "$(dirname "$0")/.."
if [ $# -eq 0 ]; then
    for program in "$build"/fuzz/fuzz_*; do
        [ -f "$program" ] && [ -x "$program" ] && set -- "$@" "${program##*/fuzz_}"
    done
fi
findings="$build/fuzz-findings"
logs="$build/fuzz-logs"
mkdir -p "$findings" "$logs"

run_one() {
    name=$1
    corpus="$build/fuzz-corpus/$name"
    mkdir -p "$corpus"
    rm -f "$findings/$name"-*
    ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1} UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1} \
        LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/tests/lsan.supp} \
        "$build/fuzz/fuzz_$name" "$corpus" "fuzz/corpus/$name" \
        -max_total_time="$seconds" -runs="$runs" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$findings/$name-" >"$logs/$name.log" 2>&1
    status=$?
    executed=$(sed -n 's/^stat::number_of_executed_units: *//p' "$logs/$name.log" | tail -n 1)
    time=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$logs/$name.log" | tail -n 1)
    echo "fuzz_$name: ${executed:-?} runs in ${time:-?} s, exit $status"
    return $status
}

failed=0
running=0
pids=""
for name in "$@"; do
    if [ ! -x "$build/fuzz/fuzz_$name" ]; then
        echo "no fuzz target $build/fuzz/fuzz_$name" >&2
        failed=1
        continue
    fi
    run_one "$name" &
    pids="$pids $!"
    running=$((running + 1))
    if [ "$running" -ge "$jobs" ]; then
        for pid in $pids; do wait "$pid" || failed=1; done
        pids=""
        running=0
    fi
done
for pid in $pids; do wait "$pid" || failed=1; done

for name in "$@"; do
    for reproducer in "$findings/$name"-*; do
        [ -e "$reproducer" ] || continue
        echo "FUZZ FINDING in fuzz_$name: $reproducer (log: $logs/$name.log)"
        failed=1
    done
done
if [ "$failed" -ne 0 ]; then
    echo "fuzzing failed; rerun a reproducer with $build/fuzz/fuzz_<target> <reproducer>" >&2
    exit 1
fi
echo "fuzzing found nothing"
