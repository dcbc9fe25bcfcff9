#!/usr/bin/env bash
# The main job: set-up, then a VBScript drives a real application window (Wine's notepad) through
# the registered component: the 32-bit DLL where this host runs 32-bit programs, else the 64-bit one.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
trap stop_session EXIT
if leg_runs x86; then leg=x86; else leg=x64; fi
build_leg "$leg"
prepare_leg "$leg"
if [ "$leg" = x86 ]; then
    log "demo with the 32-bit Wrang.dll"
else
    log "demo with the 64-bit Wrang.dll (the x86 leg is not run here: $SKIP_REASON)"
fi
"$WINE" notepad.exe >/dev/null 2>&1 </dev/null &
"$WINE" cscript //nologo "$(windows_path "$ROOT/examples/demo.vbs")" </dev/null | tr -d '\r'
