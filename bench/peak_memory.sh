#!/bin/sh
# Checks that making all three images of a portrait from a 6000 x 4000 JPEG
# photograph peaks under 64 MB of memory: portrait-tool replaces portrait 1
# of a demo game with it (--dry-run: nothing is saved), keeping the image's
# palette and with a new one, under /usr/bin/time, whose %M is the largest
# resident set the process had. Prints one ratio line for each, as the
# benchmark programs do.
#
# Usage: bench/peak_memory.sh BUILD_DIR
# Exit status: non-zero when a run fails or, with --enforce-ratios, when
# the peak is over the limit.
set -u
build=${1:?usage: peak_memory.sh BUILD_DIR [--enforce-ratios]}
enforce=0
[ "${2:-}" = "--enforce-ratios" ] && enforce=1
limit_mb=64
tool=$build/tools/portrait-tool
maker=$build/bench/make-photo

if [ ! -x /usr/bin/time ] || [ ! -x "$tool" ] || [ ! -x "$maker" ]; then
    echo "ratio replace_6000x4000_peak/${limit_mb}MB: not measured (target <= 1.00) skipped" \
        "[needs /usr/bin/time, $tool and $maker]"
    exit 0
fi
work=$(mktemp -d) || exit 1
trap 'rm -rf "$work"' EXIT INT TERM
if ! "$tool" make-demo "$work/game" >/dev/null || ! "$maker" "$work/photo.jpg"; then
    echo "ratio replace_6000x4000_peak/${limit_mb}MB: not measured (target <= 1.00) FAIL" \
        "[the demo game or the photograph could not be made]"
    exit 1
fi

status=0
# measure NAME [replace's options...]
measure() {
    name=$1
    shift
    line="ratio ${name}/${limit_mb}MB:"
    if ! /usr/bin/time -f %M -o "$work/peak" "$tool" --base "$work/game" replace 1 "$work/photo.jpg" \
        --dry-run "$@" >"$work/out" 2>&1; then
        echo "$line not measured (target <= 1.00) FAIL  [portrait-tool failed: $(tail -n 1 "$work/out")]"
        status=1
        return
    fi
    # %M is in kilobytes (KiB); a MB here is a MiB.
    awk -v kb="$(tail -n 1 "$work/peak")" -v limit="$limit_mb" -v line="$line" 'BEGIN {
        mb = kb / 1024; ratio = mb / limit
        printf "%s %.3f (target <= 1.00) %s  [%.1f MB, one run]\n", line, ratio, ratio <= 1 ? "ok" : "FAIL", mb
        exit ratio <= 1 ? 0 : 1
    }' || [ "$enforce" -eq 0 ] || status=2
}
measure replace_6000x4000_peak
measure replace_6000x4000_new_palette_peak --palette new
exit "$status"
