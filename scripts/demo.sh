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
# The test runner starts notepad (the script's "needs:" line), waits for its window and ends it
# afterwards.
WRANG_WINE=$WINE "$ROOT/tests/scripts/run-script.sh" "$ROOT/examples/demo.vbs" | tr -d '\r'
