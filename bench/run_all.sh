#!/bin/sh
# Runs every benchmark program of a build briefly (a few seconds in all) and
# prints the results and ratio lines, then the peak memory of portrait-tool
# on a large photograph (peak_memory.sh). Repetitions run interleaved in random
# order and ratios use medians, so that other work on the machine shifts both
# sides of a ratio alike instead of one side only.
#
# Usage: bench/run_all.sh BUILD_DIR [--enforce-ratios] [--benchmark_... flags]
# Later flags override the defaults below. Exit status: non-zero when a
# program fails, or with --enforce-ratios when a ratio target is missed.
set -u
build=${1:?usage: run_all.sh BUILD_DIR [--enforce-ratios] [flags]}
shift

status=0
found=0
for program in "$build"/bench/bench_*; do
    [ -f "$program" ] && [ -x "$program" ] || continue
    found=1
    echo "== ${program##*/}"
    "$program" --benchmark_min_time=0.1 --benchmark_repetitions=5 \
        --benchmark_enable_random_interleaving=true \
        --benchmark_display_aggregates_only=true "$@" || status=1
done
if [ "$found" -eq 0 ]; then
    echo "run_all.sh: no bench_* programs in $build/bench (configure with -DTV_BUILD_BENCH=ON)" >&2
    exit 1
fi
# A peak of memory is the whole process's, not a benchmark's: portrait-tool
# is run on a photograph under /usr/bin/time instead.
enforce=
for flag in "$@"; do
    [ "$flag" = "--enforce-ratios" ] && enforce=--enforce-ratios
done
echo "== peak_memory.sh"
"$(dirname "$0")/peak_memory.sh" "$build" $enforce || status=1
exit "$status"
