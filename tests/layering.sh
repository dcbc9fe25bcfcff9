#!/usr/bin/env bash
# Only platform/ may reach the window manager and the kernel: no other object file of the
# component may import a function of user32 or kernel32.
# Usage: layering.sh NM COMPILER OBJECT_DIR...
set -euo pipefail
nm=$1 compiler=$2
shift 2

# Every import symbol the two system libraries define.
system=$(mktemp)
trap 'rm -f "$system"' EXIT
for lib in user32 kernel32; do
    "$nm" --defined-only "$("$compiler" -print-file-name=lib$lib.a)" 2>/dev/null |
        awk '$3 ~ /^__imp_/ { print $3 }'
done | sort -u >"$system"
[ -s "$system" ] || { echo "FAIL: no import symbols of user32/kernel32 found"; exit 1; }

checked=0 failed=0
while IFS= read -r -d '' object; do
    case "$object" in */platform/*) continue ;; esac
    checked=$((checked + 1))
    while read -r symbol; do
        echo "FAIL: ${object##*.dir/} calls ${symbol#__imp_} directly"
        failed=1
    done < <("$nm" --undefined-only "$object" | awk '{ print $2 }' | sort -u | comm -12 - "$system")
done < <(find "$@" -name '*.obj' -print0)
[ "$checked" -gt 0 ] || { echo "FAIL: no object files under $*"; exit 1; }
[ "$failed" -eq 0 ] && echo "checked $checked object files"
exit "$failed"
