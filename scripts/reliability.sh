#!/usr/bin/env bash
# The reliability figures: the native parser fuzzers for a chosen time, then the dispatch fuzzer and
# the soak at full size in the x64 leg (in a Wine prefix of their own, so that the test suite can
# run beside them), and one table of calls made, crashes, hangs and leaks per part.
#   scripts/reliability.sh [FUZZ_SECONDS]
# Sizes: FUZZ_SECONDS per parser fuzzer (default 600); WRANG_DISPATCH_CALLS (default 250000);
# WRANG_SOAK_CYCLES (default 100000). The dispatch fuzzer runs from a new random seed each time
# (WRANG_DISPATCH_SEED repeats one), printed first, so that any finding can be replayed with
# wrang_dispatchfuzz --seed S --calls N. Exit status 0 only when every part reports no crash, no
# hang and no leak.
set -uo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
FUZZ_SECONDS=${1:-600}
DISPATCH_CALLS=${WRANG_DISPATCH_CALLS:-250000}
SOAK_CYCLES=${WRANG_SOAK_CYCLES:-100000}
DISPATCH_SEED=${WRANG_DISPATCH_SEED:-$(od -An -N4 -tu4 /dev/urandom | tr -d ' ')}
OUT=${WRANG_BUILD_DIR:-$ROOT/build}/reliability
mkdir -p "$OUT"

source "$ROOT/scripts/setup.sh"
log "dispatch fuzzer: seed $DISPATCH_SEED, $DISPATCH_CALLS calls (repeat with wrang_dispatchfuzz --seed $DISPATCH_SEED --calls $DISPATCH_CALLS)"
set +e  # every part runs, whatever the one before it found
( set -e; build_leg x64 >/dev/null ) || { echo "== FAILED: building x64" >&2; exit 1; }

"$ROOT/scripts/fuzz.sh" "$FUZZ_SECONDS" >"$OUT/fuzz.log" 2>&1
fuzz_status=$?

# The Windows parts, in their own prefix and Wine server.
(
    export WRANG_WINEPREFIX=${WRANG_RELIABILITY_PREFIX:-$ROOT/build/x64/wineprefix-reliability}
    prepare_leg x64 >/dev/null 2>&1
    cd "$BUILD_DIR/tests"
    # A run that ends without its summary line is a crash or a hang: the program prints which.
    timeout $((DISPATCH_CALLS / 100 + 600)) "$WINE" wrang_dispatchfuzz.exe --seed "$DISPATCH_SEED" --calls "$DISPATCH_CALLS" \
        >"$OUT/dispatch.log" 2>&1
    echo "exit $?" >>"$OUT/dispatch.log"
    timeout $((SOAK_CYCLES / 10 + 1800)) "$WINE" wrang_soak.exe --cycles "$SOAK_CYCLES" >"$OUT/soak.log" 2>&1
    echo "exit $?" >>"$OUT/soak.log"
    stop_session
)

status=0
row() { printf '%-36s %14s %8s %6s %6s\n' "$@"; }
echo
row part calls crashes hangs leaks
row ---- ----- ------- ----- -----
while read -r _ name rest; do
    execs=$(sed -n 's/.*execs=\([0-9]*\).*/\1/p' <<<"$rest")
    crashes=$(sed -n 's/.*crashes=\([0-9]*\).*/\1/p' <<<"$rest")
    hangs=$(sed -n 's/.*hangs=\([0-9]*\).*/\1/p' <<<"$rest")
    seed=$(sed -n 's/.*seed=\([0-9?]*\).*/\1/p' <<<"$rest")
    row "fuzz $name (${FUZZ_SECONDS}s, seed $seed)" "$execs" "$crashes" "$hangs" 0
    [ "$crashes$hangs" = 00 ] || status=1
done < <(grep '^FUZZ ' "$OUT/fuzz.log")
[ "$fuzz_status" -eq 0 ] || status=1

line=$(grep '^DISPATCHFUZZ ' "$OUT/dispatch.log" | tail -1)
if [ -n "$line" ]; then
    get() { sed -n "s/.*$1=\([0-9?]*\).*/\1/p" <<<"$line"; }
    row "dispatch (seed $(get seed))" "$(get calls)" "$(get crashes)" "$(get hangs)" "$(get leaks)"
    [ "$(get crashes)$(get hangs)$(get leaks)$(get faults)" = 0000 ] || status=1
    [ "$(get faults)" = 0 ] || echo "   dispatch: $(get faults) calls broke a rule, see $OUT/dispatch.log"
else
    row "dispatch (seed $DISPATCH_SEED)" "?" "?" "?" "?"
    echo "   dispatch: no summary; timed out (a hang) or died, see $OUT/dispatch.log"
    status=1
fi

if grep -q '^SOAK total' "$OUT/soak.log"; then
    while read -r _ name rest; do
        calls=$(sed -n 's/.*calls=\([0-9]*\).*/\1/p' <<<"$rest")
        leaks=$(sed -n 's/.*leaks=\([0-9]*\).*/\1/p' <<<"$rest")
        row "soak $name" "$calls" 0 0 "$leaks"
        [ "$leaks" = 0 ] || status=1
    done < <(grep '^SOAK ' "$OUT/soak.log")
else
    row soak "?" "?" "?" "?"
    echo "   soak: no summary; timed out (a hang) or died, see $OUT/soak.log"
    status=1
fi
echo "logs: $OUT"
exit "$status"
