#!/usr/bin/env bash
# The benchmark: the same set-up as the tests (packages, both builds, a Wine prefix per leg), then in
# every leg this host can run wrang_bench.exe (member costs against their raw calls, scaling, resources)
# and a VBScript loop against Scripting.Dictionary in the same engine. Each leg's tables go to
# build/<leg>/bench/results.md. Extra arguments go to wrang_bench.exe (e.g. --quick).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
trap stop_session EXIT

build_both_legs

# A script-level peer: a few members of ours against as many Scripting.Dictionary calls.
write_script_loop() {
    cat >"$1" <<'EOF'
Dim w, d, i, t, n, a
n = 20000
Set w = CreateObject("Wrang.clsWrangler").InitByWindow("WrangBenchScript", "Bench window")
Set d = CreateObject("Scripting.Dictionary")
d.Add "key", "a value of some length"
Sub Report(name, started)
    WScript.Echo name & "|" & CLng((Timer - started) * 1000000000 / n)
End Sub
t = Timer : For i = 1 To n : a = w.IsWindow : Next : Report "clsWrangler.IsWindow", t
t = Timer : For i = 1 To n : a = w.Left : Next : Report "clsWrangler.Left", t
t = Timer : For i = 1 To n : a = w.Text : Next : Report "clsWrangler.Text", t
t = Timer : For i = 1 To n : a = w.hWnd : Next : Report "clsWrangler.hWnd", t
t = Timer : For i = 1 To n : a = d.Exists("key") : Next : Report "Dictionary.Exists", t
t = Timer : For i = 1 To n : a = d.Item("key") : Next : Report "Dictionary.Item", t
t = Timer : For i = 1 To n : a = d.Count : Next : Report "Dictionary.Count", t
t = Timer : For i = 1 To n : a = d.Keys : Next : Report "Dictionary.Keys", t
WScript.Echo "calls|" & n
w.CloseWindow
EOF
}

# The lines "name|ns" of the script as a Markdown table, ours beside the dictionary's.
script_table() {
    awk -F'|' '
        $1 == "calls" { calls = $2; next }
        $1 ~ /^clsWrangler/ { ours[++o] = $1; oursNs[o] = $2 + 0; oursTotal += $2; next }
        $1 ~ /^Dictionary/ { peer[++p] = $1; peerNs[p] = $2 + 0; peerTotal += $2; next }
        END {
            print ""
            print "### VBScript loop (wine cscript), " calls " calls of each"
            print ""
            print "| Wrang member | ns per call | Scripting.Dictionary | ns per call |"
            print "|---|---:|---|---:|"
            for (i = 1; i <= (o > p ? o : p); i++) printf "| %s | %s | %s | %s |\n", ours[i], oursNs[i], peer[i], peerNs[i]
            if (o && p) printf "\nMean of ours against the mean of the dictionary: %.2f\n", (oursTotal / o) / (peerTotal / p)
        }'
}

legs_run=""
bench_leg() {
    local out=$BUILD_DIR/bench target
    mkdir -p "$out"
    log "benchmark, $1 leg (under two minutes)"
    "$WINE" "$out/wrang_bench.exe" --markdown "$(windows_path "$out/results.md")" "${bench_args[@]}" </dev/null ||
        fail "wrang_bench.exe failed in the $1 leg" "run '$WINE $out/wrang_bench.exe' to see why"

    log "script loop, $1 leg"
    write_script_loop "$out/script-loop.vbs"
    "$WINE" "$BUILD_DIR/tests/wrang_target.exe" --window WrangBenchScript "Bench window" </dev/null >/dev/null 2>&1 &
    target=$!
    sleep 2
    "$WINE" cscript //nologo "$(windows_path "$out/script-loop.vbs")" </dev/null 2>&1 | tr -d '\r' >"$out/script-loop.txt" || true
    kill "$target" 2>/dev/null || true
    if grep -q '^calls|' "$out/script-loop.txt"; then
        script_table <"$out/script-loop.txt" | tee -a "$out/results.md"
    else
        echo "(the script loop did not finish: $(head -c 400 "$out/script-loop.txt"))" | tee -a "$out/results.md"
    fi
    legs_run="$legs_run $1"
    log "$1 results: $out/results.md"
}
skip_leg() { log "$1: skipped: $SKIP_REASON"; }
bench_args=("$@")
each_leg bench_leg skip_leg
[ -n "$legs_run" ] || fail "no leg could run here" "see the reason above"
