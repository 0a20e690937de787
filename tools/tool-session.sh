#!/usr/bin/env bash
# One fixed session of portrait-tool commands: make-demo, list and status as
# text and JSON, exports of a frame, a portrait and the catalogue in both
# formats, imports in every mode and refused ones, reverts, a catalogue
# import with a changed, a missing and a wrong-size file, pack and its dry
# run, and validate, status and pack over a broken override file. Every
# command's output, error stream and exit status, and the digest of every
# file left, go into OUT (UTC stamps in names folded), so that the sessions
# of two builds compare with `diff -r OUT1 OUT2`. The game and the export
# live in $TMPDIR (default /tmp)/tv-session-game and tv-session-export.
# Usage: tools/tool-session.sh TOOL OUT
set -u
T=$1; OUT=$2
T=$(cd "$(dirname "$T")" && pwd)/$(basename "$T")
TMP=${TMPDIR:-/tmp}
G=$TMP/tv-session-game; X=$TMP/tv-session-export
# Only a folder of an earlier session is written over.
if [ -e "$OUT" ] && [ ! -f "$OUT/01-make-demo.status" ]; then
  echo "tool-session.sh: $OUT exists and holds no earlier session" >&2
  exit 2
fi
rm -rf "$G" "$X" "$OUT"; mkdir -p "$OUT" "$X"
n=0
run() { n=$((n+1)); local name=$(printf '%02d-%s' $n "$1"); shift
  "$T" "$@" > "$OUT/$name.out" 2> "$OUT/$name.err"; echo $? > "$OUT/$name.status"; }
run make-demo make-demo "$G"
run list --base "$G" list
run list-json --base "$G" list --json
run status --base "$G" status
run status-json --base "$G" status --json
run export-tga --base "$G" export 1 large
run export-png --base "$G" export 1 medium:3 --format png
run export-small --base "$G" export 1 2
run export-none --base "$G" export 1 11
run export-all-tga --base "$G" export-all 2
run export-all-png --base "$G" export-all 3 --format png
run export-catalogue-png --base "$G" export-catalogue "$X/png"
run export-catalogue-tga --base "$G" export-catalogue "$X/tga" --format tga --json
run export-catalogue-refused --base "$G" export-catalogue "$X/png"
L2=$(ls "$G/Portraits" | grep '_LARGE.TGA$' | tail -1)
M3=$(ls "$G/Portraits" | grep '_MEDIUM.PNG$' | head -1)
run import-remap --base "$G" import 1 large "$G/Portraits/$L2"
run import-keep --base "$G" import 1 large "$G/Portraits/$L2" --mode keep
run import-palette --base "$G" import 4 large "$G/Portraits/$L2" --mode palette
run import-perceptual-dither --base "$G" import 5 large "$G/Portraits/$L2" --metric perceptual --dither
run import-medium-png --base "$G" import 6 medium:1 "$G/Portraits/$M3"
run import-wrong-size --base "$G" import 1 small "$G/Portraits/$L2"
printf 'not an image' > "$X/junk.png"
run import-not-image --base "$G" import 1 large "$X/junk.png"
run import-usage --base "$G" import 1 large "$X/junk.png" --mode keep --use-tga-palette
run revert --base "$G" revert 4
run revert-one --base "$G" revert 5 large
run status-after --base "$G" status
# The catalogue round trip: a changed, a missing and a wrong-size file.
P=$(ls "$X/png" | grep -v manifest | head -1)
files=($(ls "$X/png/$P"))
cp "$X/png/$P/${files[1]}" "$X/png/$P/${files[0]}"
rm "$X/png/$P/${files[2]}"
cp "$G/Portraits/$L2" "$X/png/$P/${files[3]}"
run import-catalogue-dry --base "$G" import-catalogue "$X/png" --dry-run
run import-catalogue-json --base "$G" import-catalogue "$X/png" --json --dry-run
run import-catalogue --base "$G" import-catalogue "$X/png" --mode remap
run pack-dry --base "$G" pack --dry-run
run pack --base "$G" pack
run pack-json --base "$G" pack --json
run validate --base "$G" validate
B=$(ls "$G/Portraits" | grep '\.GFX$' | head -1)
printf 'broken override file' > "$G/Portraits/$B"
run validate-broken --base "$G" validate
run validate-broken-json --base "$G" validate --json
run status-broken --base "$G" status
run pack-broken --base "$G" pack
# Stamps of Reverted names are folded in every stream, and in file names.
sed -i -E 's/[0-9]{8}T[0-9]{6}Z/STAMP/g' "$OUT"/*.out "$OUT"/*.err
# Every file left, by path and digest.
(cd "$TMP" && find tv-session-game tv-session-export -type f | sort | while read -r f; do
   printf '%s  %s\n' "$(sha256sum "$f" | cut -c1-64)" "$f"; done) \
  | sed -E 's/[0-9]{8}T[0-9]{6}Z/STAMP/g' > "$OUT/files.txt"
