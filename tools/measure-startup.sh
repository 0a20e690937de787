#!/bin/sh
# How long the editor's window takes to start: runs startup-time from a build
# (build/release unless --build says otherwise; this script builds nothing)
# several times under Qt's offscreen platform, on GAME_DIR or on a demo game
# made for the purpose, and prints two medians:
#   startup median  startup-time's own clock, from the top of main() to the
#                   window's first paint; the target (300 ms) is for this one
#   process median  the shell's clock around each run, from starting the
#                   process to its exit: loading the program and Qt's
#                   libraries, and closing down, on top of the first
#
# Usage: tools/measure-startup.sh [--build BUILD_DIR] [GAME_DIR]
# RUNS (default 5) sets the number of runs. Exit status 1 when a run fails;
# a missed target is printed, not enforced.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/release
if [ "${1:-}" = "--build" ]; then
    build=${2:?usage: measure-startup.sh [--build BUILD_DIR] [GAME_DIR]}
    shift 2
fi
game=${1:-}
runs=${RUNS:-5}
program=$build/tools/startup-time
if [ ! -x "$program" ]; then
    echo "measure-startup.sh: no $program (build the target startup-time first)" >&2
    exit 1
fi

scratch=$(mktemp -d "${TMPDIR:-/tmp}/measure-startup.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
if [ -z "$game" ]; then
    game=$scratch/game
    "$build/tools/portrait-tool" make-demo "$game" >/dev/null
fi

# The median of the numbers on standard input, one a line.
median() {
    sort -n | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print int((v[NR / 2] + v[NR / 2 + 1]) / 2 + 0.5) }'
}

i=0
while [ "$i" -lt "$runs" ]; do
    i=$((i + 1))
    before=$(date +%s%N)
    if ! QT_QPA_PLATFORM=offscreen "$program" "$game" >"$scratch/out" 2>"$scratch/err"; then
        cat "$scratch/err" >&2
        echo "measure-startup.sh: run $i failed" >&2
        exit 1
    fi
    after=$(date +%s%N)
    sed -n 's/^startup to first paint: \([0-9]*\) ms$/\1/p' "$scratch/out" >>"$scratch/paint"
    echo $(((after - before) / 1000000)) >>"$scratch/process"
done

paint=$(median <"$scratch/paint")
process=$(median <"$scratch/process")
verdict=ok
[ "$paint" -le 300 ] || verdict=MISSED
echo "startup median: $paint ms (target <= 300 ms) $verdict  [top of main() to first paint, $runs runs]"
echo "process median: $process ms  [process start to exit, timed by the shell]"
