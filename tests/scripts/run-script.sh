#!/usr/bin/env bash
# Runs one script (a test, an example or the demo) under Wine's cscript. The applications it names
# on a line, separated by ";", each with its arguments
#   ' needs: notepad.exe     (or // needs: ... in JScript; or wrang_target --lists)
# are started first, with their output away from CTest's pipes (a program started from the script
# itself would inherit them and keep CTest waiting), and ended afterwards. Before the script runs,
# the runner waits (up to a minute each) until every program it knows below shows its window, so
# that the script finds them at once, as it does when a user starts them first.
set -u
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/wine.sh"
# The Wine loader of the leg under test (the 64-bit one runs the 64-bit script host).
wine=${WRANG_WINE:-wine}
script=$1; shift
# WRANG_SCRIPT_HOST: another script host, such as the 32-bit one of a 64-bit prefix.
host=${WRANG_SCRIPT_HOST:-cscript}
# The window that shows a program is ready: class and caption. The stand-in shell sets its caption
# once its tray toolbar and every button are in place.
declare -A window_of=(
    [notepad.exe]="Notepad|Untitled - Notepad"
    [wrang_fakeshell.exe]="Shell_TrayWnd|Wrang fake shell, default buttons"
    [wrang_target]="WrangScriptTarget|Script target"
    [wrang_target --lists]="WrangListsTarget|Lists target"
)
waiter=$(windows_path "$(realpath "$(dirname "${BASH_SOURCE[0]}")/wait-for-window.vbs")")
pids=()
# Ended and waited for, so that the next test that starts the same program cannot find this one's
# window still there.
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null; done
}
trap cleanup EXIT
IFS=';' read -ra needed <<<"$(sed -n "s#^\(' \|// \)needs: ##p" "$script")"
for app in "${needed[@]}"; do
    read -ra command <<<"$app"
    [ ${#command[@]} -gt 0 ] || continue
    # A built program may be named relative to the test's working directory (the build's tests/).
    if [ -f "${command[0]}" ]; then command[0]=$(windows_path "$(realpath "${command[0]}")"); fi
    "$wine" "${command[@]}" >/dev/null 2>&1 </dev/null &
    pids+=($!)
done
for app in "${needed[@]}"; do
    app=$(echo $app)  # the name as the table has it, without surrounding spaces
    [ -n "${window_of[$app]:-}" ] || continue
    IFS='|' read -r class caption <<<"${window_of[$app]}"
    "$wine" "$host" //nologo "$waiter" "$class" "$caption" </dev/null ||
        echo "run-script.sh: no \"$caption\" window of $app after a minute" >&2
done
winscript=$(windows_path "$script")
# The script's output goes through a file: a program that the script starts itself (an example that
# starts notepad and waits for it) inherits it, not CTest's pipes.
output=$(mktemp)
"$wine" "$host" //nologo "$winscript" "$@" </dev/null >"$output" 2>&1
status=$?
cat "$output"
rm -f "$output"
exit "$status"
