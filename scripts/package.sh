#!/usr/bin/env bash
# Builds the package Wrang-<version>-windows.zip (both DLLs with their type libraries and
# side-by-side manifests, the reference, the examples, the README, the change log and register.cmd)
# from a fresh clone. Both legs are built:
# building the 32-bit DLL works on every host, only running it needs a host that runs 32-bit
# programs. The ZIP is written to build/package/ (or $WRANG_BUILD_DIR/package/).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
build_both_legs
log "packing both legs"
cpack --config "$BUILD_ROOT/x64/CPackConfig.cmake" -G ZIP -B "$BUILD_ROOT/package" >/dev/null ||
    fail "cpack could not make the package" "run 'cpack --config $BUILD_ROOT/x64/CPackConfig.cmake' to see why"
rm -rf "$BUILD_ROOT/package/_CPack_Packages"
log "package: $(ls "$BUILD_ROOT"/package/Wrang-*-windows.zip)"
