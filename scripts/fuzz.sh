#!/usr/bin/env bash
# Coverage-guided fuzzing of the key-string reader and the text conversions, built natively for
# this Linux host with libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer (clang).
#   scripts/fuzz.sh [SECONDS] [--coverage]
# Runs each fuzzer SECONDS (default 20) starting from the checked-in seeds (fuzz/corpus/<name>);
# new inputs go to build/fuzz/corpus/<name>, crashes to build/fuzz/crash-<name>-*. --coverage then
# reports the line and branch coverage of the two sources reached by the whole corpus (llvm-cov).
# libFuzzer draws its random seed itself, unless WRANG_FUZZ_SEED gives one; the summary says which.
# WRANG_FUZZ_RUNS=N runs N inputs each instead of SECONDS, from the checked-in seeds alone (into a
# corpus folder of its own, emptied first): with WRANG_FUZZ_SEED, the same inputs on every run,
# whatever the machine's load. That is the test command's smoke run.
# The last lines are one summary line per fuzzer:
#   FUZZ <name> execs=<N> crashes=<0|1> hangs=<0|1> cov=<edges> seconds=<S>|runs=<N> seed=<S>
# Exit status 0 only when no fuzzer found a crash or a hang.
# WRANG_FUZZ_ONLY=keys|ansi runs one of them; WRANG_FUZZ_MAX_LEN bounds an input (default 256
# bytes: a key string of that length already repeats keys by the ten thousand).
set -uo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
SECONDS_EACH=${1:-20}
COVERAGE=${2:-}
RUNS=${WRANG_FUZZ_RUNS:-}
SEED=${WRANG_FUZZ_SEED:-0}  # 0: libFuzzer draws one
# A run of fixed size also runs without address randomisation: libFuzzer learns from the values the
# code compares, addresses among them, and a new layout each run would make the inputs differ.
same_addresses=()
if [ -n "$RUNS" ] && setarch "$(uname -m)" -R true 2>/dev/null; then same_addresses=(setarch "$(uname -m)" -R); fi
OUT=${WRANG_BUILD_DIR:-$ROOT/build}/fuzz
mkdir -p "$OUT"
CXX=${WRANG_FUZZ_CXX:-clang++}
command -v "$CXX" >/dev/null || { echo "== FAILED: $CXX not found (scripts/setup.sh installs clang)" >&2; exit 1; }

# The Windows code compiled natively: wchar_t is a UTF-16 unit and fuzz/native stands in for the
# few Windows declarations the two sources use.
FLAGS=(-std=c++17 -g -O1 -fshort-wchar -I"$ROOT/fuzz/native" -I"$ROOT")
declare -A SOURCES=([keys]=platform/KeyStrings.cpp [ansi]=platform/AnsiText.cpp)
declare -A HARNESS=([keys]=fuzz/KeyStringsFuzz.cpp [ansi]=fuzz/AnsiTextFuzz.cpp)

status=0
summary=()
for name in ${WRANG_FUZZ_ONLY:-keys ansi}; do
    bin=$OUT/fuzz-$name
    "$CXX" "${FLAGS[@]}" -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
        "$ROOT/${SOURCES[$name]}" "$ROOT/fuzz/native/StandIn.cpp" "$ROOT/${HARNESS[$name]}" -o "$bin" ||
        { echo "== FAILED: building the $name fuzzer" >&2; exit 1; }
    if [ -n "$RUNS" ]; then
        corpus=$OUT/fixed-corpus/$name
        rm -rf "$corpus"
        size=(-runs="$RUNS" -reload=0)  # no look at the corpus folder on a timer either
    else
        corpus=$OUT/corpus/$name
        size=(-max_total_time="$SECONDS_EACH")
    fi
    mkdir -p "$corpus"
    log=$OUT/fuzz-$name.log
    dict=()
    [ -f "$ROOT/fuzz/$name.dict" ] && dict=(-dict="$ROOT/fuzz/$name.dict")
    "${same_addresses[@]}" "$bin" "$corpus" "$ROOT/fuzz/corpus/$name" "${dict[@]}" "${size[@]}" -seed="$SEED" \
        -timeout=10 -rss_limit_mb=2048 -max_len=${WRANG_FUZZ_MAX_LEN:-256} -print_final_stats=1 \
        -artifact_prefix="$OUT/crash-$name-" >"$log" 2>&1
    rc=$?
    execs=$(grep -oE 'stat::number_of_executed_units: *[0-9]+' "$log" | grep -oE '[0-9]+$' | tail -1)
    cov=$(grep -oE 'cov: [0-9]+' "$log" | tail -1 | grep -oE '[0-9]+')
    seed=$(sed -n 's/^INFO: Seed: \([0-9]*\).*/\1/p' "$log" | head -1)
    crashes=0 hangs=0
    if [ "$rc" -ne 0 ]; then
        if grep -q 'ERROR: libFuzzer: timeout' "$log"; then hangs=1; else crashes=1; fi
        status=1
        tail -40 "$log" >&2
    fi
    budget="seconds=$SECONDS_EACH"
    [ -z "$RUNS" ] || budget="runs=$RUNS"
    summary+=("FUZZ $name execs=${execs:-0} crashes=$crashes hangs=$hangs cov=${cov:-0} $budget seed=${seed:-?}")

    if [ "$COVERAGE" = --coverage ] && command -v llvm-profdata >/dev/null && command -v llvm-cov >/dev/null; then
        covbin=$OUT/cov-$name
        "$CXX" "${FLAGS[@]}" -fprofile-instr-generate -fcoverage-mapping \
            "$ROOT/${SOURCES[$name]}" "$ROOT/fuzz/native/StandIn.cpp" "$ROOT/${HARNESS[$name]}" \
            "$ROOT/fuzz/native/RunInputs.cpp" -o "$covbin"
        LLVM_PROFILE_FILE=$OUT/cov-$name.profraw "$covbin" "$corpus" "$ROOT/fuzz/corpus/$name" >/dev/null 2>&1
        llvm-profdata merge -sparse "$OUT/cov-$name.profraw" -o "$OUT/cov-$name.profdata"
        llvm-cov report "$covbin" -instr-profile="$OUT/cov-$name.profdata" "$ROOT/${SOURCES[$name]}" |
            tail -1 | awk -v n="$name" '{print "COVERAGE " n " regions=" $4 " functions=" $7 " lines=" $10 " branches=" $13}'
    fi
done
printf '%s\n' "${summary[@]}"
exit "$status"
