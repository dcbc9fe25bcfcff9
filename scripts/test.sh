#!/usr/bin/env bash
# The whole test suite: set-up, then CTest in every leg this host can run. Both targets are always
# built; the x64 leg always runs, the x86 leg only where the host executes 32-bit programs. Extra
# arguments go to ctest. The last lines say which legs ran and end with CTest's own summary.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
trap stop_session EXIT

build_both_legs

status=0
declare -A outcome summary
# One test at a time: several tests move the focus and the foreground window of the one desktop.
test_leg() {
    log "testing $1"
    local log_file=$BUILD_DIR/ctest.log leg_status=0
    ctest --test-dir "$BUILD_DIR" --output-on-failure --timeout 300 "${ctest_args[@]}" 2>&1 | tee "$log_file" ||
        leg_status=$?
    [ "${PIPESTATUS[0]}" -eq 0 ] || leg_status=1
    summary[$1]=$(grep -E '^[0-9]+% tests passed|^Total Test time' "$log_file" || true)
    if [ "$leg_status" -eq 0 ]; then outcome[$1]="ran, passed"; else outcome[$1]="ran, FAILED"; status=1; fi
}
skip_leg() { outcome[$1]="skipped: $SKIP_REASON"; }
ctest_args=("$@")
each_leg test_leg skip_leg

# The parsers' coverage-guided fuzzers, natively on this host: a short smoke run of each, of a
# fixed number of inputs from a fixed seed, so that every run of one commit tries the same inputs
# (scripts/reliability.sh runs them for long, from seeds of libFuzzer's drawing).
log "fuzzing the key-string reader and the text conversions (smoke run)"
fuzz_status=0
WRANG_FUZZ_RUNS=${WRANG_FUZZ_RUNS:-500000} WRANG_FUZZ_SEED=${WRANG_FUZZ_SEED:-1} "$ROOT/scripts/fuzz.sh" |
    tee "$BUILD_ROOT/fuzz-smoke.log" || fuzz_status=1
[ "${PIPESTATUS[0]}" -eq 0 ] || fuzz_status=1
[ "$fuzz_status" -eq 0 ] || status=1

echo
echo "== native fuzz smoke run"
grep '^FUZZ ' "$BUILD_ROOT/fuzz-smoke.log" || echo "   did not run"
echo "== legs"
for leg in x86 x64; do echo "   $leg: ${outcome[$leg]}"; done
for leg in x86 x64; do
    [ -n "${summary[$leg]:-}" ] || continue
    echo "== CTest summary, $leg leg"
    echo "${summary[$leg]}"
done
exit "$status"
