#!/usr/bin/env bash
# The whole test suite: set-up (packages, Wine prefix, build, registration), then CTest.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
trap stop_session EXIT
ctest --test-dir "$BUILD_DIR" --output-on-failure -j "$(nproc)" --timeout 300 "$@"
