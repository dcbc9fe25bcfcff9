#!/usr/bin/env bash
# Runs one script test under Wine's cscript. The applications the script names on a line
#   ' needs: notepad.exe     (or // needs: ... in JScript)
# are started first, with their output away from CTest's pipes (a program started from the script
# itself would inherit them and keep CTest waiting), and ended afterwards.
set -u
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/wine.sh"
# The Wine loader of the leg under test (the 64-bit one runs the 64-bit script host).
wine=${WRANG_WINE:-wine}
script=$1; shift
pids=()
cleanup() { for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done; }
trap cleanup EXIT
for app in $(sed -n "s#^\(' \|// \)needs: ##p" "$script"); do
    # A built program may be named relative to the test's working directory (the build's tests/).
    if [ -f "$app" ]; then app=$(windows_path "$(realpath "$app")"); fi
    "$wine" $app >/dev/null 2>&1 </dev/null &
    pids+=($!)
done
winscript=$(windows_path "$script")
# WRANG_SCRIPT_HOST: another script host, such as the 32-bit one of a 64-bit prefix.
"$wine" "${WRANG_SCRIPT_HOST:-cscript}" //nologo "$winscript" "$@" </dev/null
