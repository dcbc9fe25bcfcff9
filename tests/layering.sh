#!/usr/bin/env bash
# The floors of the component, checked on its sources and on its objects.
#   layering.sh SOURCE_ROOT [NM COMPILER OBJECT_DIR...]
# Includes: platform/ is the ground and includes system headers and platform/ only; frame/ stands
# on it; the class folders (window/, menu/, tray/, watch/, lists/, finder/, input/) stand on both and never include
# one another (they meet through the creation functions of frame/Classes.h). Only frame/ and the class folders see the header
# generated from the IDL. Objects (when NM, COMPILER and OBJECT_DIRs are given): only platform/
# may reach the window manager and the kernel, so no other object file of the component may import
# a function of user32 or kernel32.
set -euo pipefail
root=$1
shift

floor_of() {
    case $1 in
        platform) echo 0 ;;
        frame) echo 1 ;;
        window | menu | tray | watch | lists | finder | input) echo 2 ;;
        *) echo -1 ;;
    esac
}

failed=0 sources=0
for folder in platform frame window menu tray watch lists finder input; do
    [ -d "$root/$folder" ] || continue
    own=$(floor_of "$folder")
    while IFS= read -r -d '' file; do
        sources=$((sources + 1))
        while IFS=: read -r line included; do
            target=${included%%/*}
            if [ "$target" = "$included" ]; then
                # No folder: the generated header of the type library, from frame/ up.
                [ "$included" = Wrang_h.h ] && [ "$own" -ge 1 ] && continue
            else
                theirs=$(floor_of "$target")
                [ "$target" = "$folder" ] && continue
                [ "$theirs" -ge 0 ] && [ "$theirs" -lt "$own" ] && continue
            fi
            echo "FAIL: ${file#"$root"/}:$line includes \"$included\", which $folder/ may not include"
            failed=1
        done < <(grep -n -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file" |
                 sed -E 's/^([0-9]+):[^"]*"([^"]*)".*/\1:\2/')
    done < <(find "$root/$folder" -type f \( -name '*.cpp' -o -name '*.h' \) -print0)
done
[ "$sources" -gt 0 ] || { echo "FAIL: no sources under $root"; exit 1; }
[ "$failed" -eq 0 ] && echo "checked the includes of $sources sources"
[ $# -eq 0 ] && exit "$failed"

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

checked=0
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
