#!/usr/bin/env bash
# The whole test suite: set-up (packages, Wine prefix, build, registration), then CTest.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
trap stop_session EXIT
# One test at a time: several tests move the focus and the foreground window of the one desktop.
ctest --test-dir "$BUILD_DIR" --output-on-failure --timeout 300 "$@"
