#!/usr/bin/env bash
# The main job: set-up, then a VBScript drives a real application window (Wine's notepad) through
# the registered component.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
trap stop_session EXIT
wine notepad.exe >/dev/null 2>&1 </dev/null &
wine cscript //nologo "$(windows_path "$ROOT/examples/demo.vbs")" </dev/null | tr -d '\r'
