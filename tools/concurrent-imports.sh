#!/usr/bin/env bash
# Runs two `portrait-tool import`s at the same moment on one game folder, many
# times over, and checks that every run ends in exactly one outcome that the
# exit statuses tell: both changes (0 and 0), or one of them with the other
# process refused with exit 1, naming the override file. Nothing else in the
# image may change, validate must pass, and no temporary file may be left.
# Usage: tools/concurrent-imports.sh [RUNS] [SCENARIO...]     (default: 50 a b)
#   a: A = import 1 medium:1 <frame 2's PNG>,  B = import 1 medium:2 <frame 1's PNG>
#   b: A = import 1 medium:1 <frame 2's PNG>,  B = import 1 medium:1 <frame 3's PNG>
# Env: TOOL (default: build/release/tools/portrait-tool, as ./run.sh builds it),
#      WORK (default: $TMPDIR/tv-concurrent-imports),
#      PORTRAITS=absent|empty (a pristine copy without, or with, an empty Portraits folder),
#      JITTER_MS=N (B starts 0..N-1 ms after A; default 0: both at once).
# Output: $WORK/results-<scenario>.tsv, a line a run; a failing run keeps its
# folder in $WORK/runs/<scenario>-<n>/. Exits 0 only when every run was right.
set -u
TOOL=${TOOL:-$(cd "$(dirname "$0")/.." && pwd)/build/release/tools/portrait-tool}
WORK=${WORK:-${TMPDIR:-/tmp}/tv-concurrent-imports}
PORTRAITS=${PORTRAITS:-absent}
JITTER_MS=${JITTER_MS:-0}
RUNS=${1:-50}; shift || true
SCENARIOS=("$@"); [ ${#SCENARIOS[@]} -eq 0 ] && SCENARIOS=(a b)
P=1                                   # the portrait
PRISTINE=$WORK/game0
REFS=$WORK/refs; INPUTS=$WORK/inputs; RUNDIR=$WORK/runs
die() { echo "concurrent-imports.sh: $*" >&2; exit 2; }

[ -x "$TOOL" ] || die "no tool at $TOOL"
[ -d "$PRISTINE" ] || "$TOOL" make-demo "$PRISTINE" >/dev/null || die "make-demo failed"
[ -z "$(ls -A "$PRISTINE/Portraits" 2>/dev/null)" ] || die "$PRISTINE/Portraits is not empty"
NMED=$("$TOOL" --base "$PRISTINE" list | awk -v p=$P '$1==p' | grep -o 'MEDIUM #[0-9]* [0-9]*x' | grep -o '[0-9]*x$' | tr -d x)
[ "${NMED:-0}" -ge 4 ] || die "portrait $P has ${NMED:-?} MEDIUM frames, need 4 or more"
SLOTS=(large small); for ((f = 0; f < NMED; f++)); do SLOTS+=("medium:$f"); done
slotfile() { echo "${1/:/}.png"; }    # medium:2 -> medium2.png

fresh() {                             # fresh DIR: a pristine copy
    rm -rf "$1"; cp -a "$PRISTINE" "$1"
    if [ "$PORTRAITS" = empty ]; then mkdir -p "$1/Portraits"; fi
}
export_all() {                        # export_all GAME DEST: every slot of the portrait as PNG
    mkdir -p "$2"; local s out
    for s in "${SLOTS[@]}"; do
        out=$("$TOOL" --base "$1" export $P "$s" --format png 2>>"$2/export.err" | head -1) || return 1
        [ -f "$out" ] || return 1
        mv "$out" "$2/$(slotfile "$s")"
    done
}
same_set() {                          # same_set DIR1 DIR2: all slot files byte-identical
    local s; for s in "${SLOTS[@]}"; do cmp -s "$1/$(slotfile "$s")" "$2/$(slotfile "$s")" || return 1; done
}
stray() {                             # stray GAME: files in Portraits that are not .GFX, .PNG or Reverted
    ls -A "$1/Portraits" 2>/dev/null | grep -v -e '\.GFX$' -e '\.PNG$' -e '^Reverted$' | tr '\n' ' '
}

# --- once: pristine exports, inputs, sequential outcomes ---
T0=$(date +%s.%N)
rm -rf "$REFS"; mkdir -p "$REFS" "$INPUTS" "$RUNDIR"
fresh "$WORK/tmpgame"; export_all "$WORK/tmpgame" "$REFS/pristine" || die "export of the pristine game failed"
for f in 1 2 3; do cp "$REFS/pristine/medium$f.png" "$INPUTS/f$f.png"; done
cmp -s "$INPUTS/f1.png" "$INPUTS/f2.png" && die "frames 1 and 2 are the same"
cmp -s "$INPUTS/f2.png" "$INPUTS/f3.png" && die "frames 2 and 3 are the same"

declare -A ARGS_A ARGS_B TARGETS
ARGS_A[a]="medium:1 $INPUTS/f2.png"; ARGS_B[a]="medium:2 $INPUTS/f1.png"; TARGETS[a]="medium:1 medium:2"
ARGS_A[b]="medium:1 $INPUTS/f2.png"; ARGS_B[b]="medium:1 $INPUTS/f3.png"; TARGETS[b]="medium:1"

for sc in "${SCENARIOS[@]}"; do
    [ -n "${ARGS_A[$sc]:-}" ] || die "unknown scenario $sc"
    for st in A B AB BA; do           # sequential, each on a fresh copy
        g=$WORK/tmpgame; fresh "$g"
        for step in $(echo $st | grep -o .); do
            if [ $step = A ]; then args=${ARGS_A[$sc]}; else args=${ARGS_B[$sc]}; fi
            gfx=$("$TOOL" --base "$g" import $P $args 2>/dev/null | head -1) || die "sequential $sc/$st failed"
        done
        GFXNAME=$(basename "$gfx")
        cp "$gfx" "$REFS/$sc-$st.GFX"
        export_all "$g" "$REFS/$sc/$st" || die "export $sc/$st failed"
        for s in "${SLOTS[@]}"; do     # untouched slots must stay pristine
            [[ " ${TARGETS[$sc]} " == *" $s "* ]] && continue
            cmp -s "$REFS/$sc/$st/$(slotfile "$s")" "$REFS/pristine/$(slotfile "$s")" || die "sequential $sc/$st changed $s"
        done
    done
    same_set "$REFS/$sc/A" "$REFS/pristine" && die "$sc: A changes nothing"
    same_set "$REFS/$sc/B" "$REFS/pristine" && die "$sc: B changes nothing"
    same_set "$REFS/$sc/A" "$REFS/$sc/B" && die "$sc: A and B give the same"
done
rm -rf "$WORK/tmpgame"
T1=$(date +%s.%N)

# --- the runs ---
why() {                               # why RC ERRFILE: the refusal, as told
    [ "$1" = 0 ] && { echo -; return; }
    if grep -q "$GFXNAME" "$2" && grep -q 'replaced or removed that file since it was loaded' "$2"; then echo replaced
    elif grep -q 'busy' "$2"; then echo busy; else echo other; fi
}
for sc in "${SCENARIOS[@]}"; do
    TSV=$WORK/results-$sc.tsv
    printf 'run\trcA\trcB\tstate\tverdict\twhyA\twhyB\tvalidate\tstray\tchanged_elsewhere\tgfx_bytes\n' >"$TSV"
    # states to tell apart, first match wins (b: AB looks like B, BA like A)
    states=(A B AB); same_set "$REFS/$sc/AB" "$REFS/$sc/BA" || states+=(BA)
    for ((n = 1; n <= RUNS; n++)); do
        R=$RUNDIR/$sc-$n; rm -rf "$R"; mkdir -p "$R"; g=$R/game; fresh "$g"
        go=$R/go
        ( until [ -e "$go" ]; do :; done; exec "$TOOL" --base "$g" import $P ${ARGS_A[$sc]} >"$R/A.out" 2>"$R/A.err" ) & pa=$!
        d=0; [ "$JITTER_MS" -gt 0 ] && d=$((RANDOM % JITTER_MS))
        ( until [ -e "$go" ]; do :; done; [ $d -gt 0 ] && sleep "$(printf '0.%03d' $d)"
          exec "$TOOL" --base "$g" import $P ${ARGS_B[$sc]} >"$R/B.out" 2>"$R/B.err" ) & pb=$!
        : >"$go"
        wait $pa; ra=$?; wait $pb; rb=$?
        st1=$(stray "$g")                                   # before the exports add PNGs
        ls -lA "$g/Portraits" >"$R/portraits.ls" 2>&1
        "$TOOL" --base "$g" validate >"$R/validate.out" 2>&1; rv=$?
        state=NONE
        if export_all "$g" "$R/exp"; then
            same_set "$R/exp" "$REFS/pristine" && state=PRISTINE
            if [ $state = NONE ]; then
                for s in "${states[@]}"; do same_set "$R/exp" "$REFS/$sc/$s" && { state=$s; break; }; done
            fi
        else
            state=EXPORT_FAILED
        fi
        [ $state = NONE ] && state=OTHER
        st2=$(stray "$g"); strayall="$st1$st2"
        changed=""                                          # untouched slots that differ from pristine
        for s in "${SLOTS[@]}"; do
            [[ " ${TARGETS[$sc]} " == *" $s "* ]] && continue
            cmp -s "$R/exp/$(slotfile "$s")" "$REFS/pristine/$(slotfile "$s")" || changed+="$s "
        done
        gfxb=-
        if [ -f "$g/Portraits/$GFXNAME" ]; then
            gfxb=other
            for s in "${states[@]}"; do cmp -s "$g/Portraits/$GFXNAME" "$REFS/$sc-$s.GFX" && { gfxb=$s; break; }; done
        fi
        wa=$(why $ra "$R/A.err"); wb=$(why $rb "$R/B.err")
        # the verdict: exit codes must say which outcome the file holds
        v=BAD
        case "$sc:$state:$ra:$rb" in
            a:AB:0:0 | a:BA:0:0) v=ok ;;
            a:A:0:1 | b:A:0:1) [ $wb = replaced ] && v=ok ;;
            a:B:1:0 | b:B:1:0) [ $wa = replaced ] && v=ok ;;
            b:A:0:0 | b:B:0:0) v=ok ;;                     # the second loaded the first's file
        esac
        [ $rv = 0 ] && [ -z "$strayall" ] && [ -z "$changed" ] || v=BAD
        printf '%d\t%d\t%d\t%s\t%s\t%s\t%s\t%d\t%s\t%s\t%s\n' $n $ra $rb $state $v $wa $wb $rv \
            "${strayall:--}" "${changed:--}" $gfxb >>"$TSV"
        [ $v = ok ] && rm -rf "$R"                          # keep only the bad runs
    done
done
T2=$(date +%s.%N)

for sc in "${SCENARIOS[@]}"; do
    TSV=$WORK/results-$sc.tsv
    echo "== scenario $sc ($RUNS runs, PORTRAITS=$PORTRAITS, JITTER_MS=$JITTER_MS): rcA rcB state verdict whyA whyB gfx_bytes -> count"
    tail -n +2 "$TSV" | awk -F'\t' '{print $2, $3, $4, $5, $6, $7, $11}' | sort | uniq -c
    awk -F'\t' 'NR > 1 && $5 != "ok"' "$TSV" | sed 's/^/BAD run: /'
done
awk -v a=$T0 -v b=$T1 -v c=$T2 'BEGIN { printf "setup %.1f s, runs %.1f s\n", b - a, c - b }'
bad=0; for sc in "${SCENARIOS[@]}"; do grep -q $'\tBAD\t' "$WORK/results-$sc.tsv" && bad=1; done
exit $bad
