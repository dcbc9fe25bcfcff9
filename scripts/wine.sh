#!/usr/bin/env bash
# What every script that runs the Windows programs under Wine shares: sourced, it only defines
# functions. scripts/setup.sh, tests/scripts/run-script.sh and tests/package-test.sh use it. The
# Wine loader of a leg is chosen once, by the build (cmake/mingw-common.cmake), and handed on:
# to CTest's tests as WRANG_WINE, to the scripts through wine_loader_of.

# A file of this machine as the Windows programs under Wine name it.
windows_path() { printf 'Z:%s' "$1" | tr '/' '\\'; }

# The Wine loader the build in folder $1 runs its programs with.
wine_loader_of() { sed -n 's/^CMAKE_CROSSCOMPILING_EMULATOR:[A-Z]*=//p' "$1/CMakeCache.txt" 2>/dev/null; }

# Makes the Wine prefix $WINEPREFIX (of $WINEARCH) with the loader $1: headless, since Wine's null
# graphics driver needs no X server, and a crash ends its process instead of waiting in a debugger
# dialog. The server is stopped at the end, so that the settings hold from the next program on.
new_wine_prefix() {
    local wine=$1
    "$wine" wineboot.exe -i >/dev/null 2>&1 </dev/null || return 1
    wineserver -w
    "$wine" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1 </dev/null
    "$wine" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1 </dev/null
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
}
