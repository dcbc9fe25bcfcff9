#!/usr/bin/env bash
# Shared set-up of the two README commands: installs what is missing, makes a private headless Wine
# prefix, builds Wrang.dll and the tests, and registers the DLL. Source it; it exports the Wine
# environment for what follows.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_DIR=${WRANG_BUILD_DIR:-$ROOT/build}
export WINEPREFIX=${WRANG_WINEPREFIX:-$BUILD_DIR/wineprefix}
export WINEARCH=win32
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

log() { printf '== %s\n' "$*" >&2; }

install_packages() {
    local wanted=(cmake make g++-mingw-w64-i686-posix mingw-w64-tools libwine-dev wine wine32:i386 googletest)
    local missing=()
    for p in "${wanted[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    log "installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo dpkg --add-architecture i386
    $sudo apt-get update -q
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
}

wine_reg() { wine reg add "$@" /f >/dev/null 2>&1; }

make_prefix() {
    if [ ! -f "$WINEPREFIX/.wrang-ready" ]; then
        log "making Wine prefix $WINEPREFIX"
        rm -rf "$WINEPREFIX"
        mkdir -p "$(dirname "$WINEPREFIX")"
        wineboot -i >/dev/null 2>&1 </dev/null
        wineserver -w
        # Headless: Wine's null graphics driver needs no X server.
        wine_reg 'HKCU\Software\Wine\Drivers' /v Graphics /d null
        # A crash ends its process instead of waiting in a debugger dialog.
        wine_reg 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0
        wineserver -k || true
        wineserver -w || true
        touch "$WINEPREFIX/.wrang-ready"
    fi
}

# Wine's server and its system processes start with the first Wine program and inherit its output;
# start them here, away from CTest's pipes, and keep the session alive with an idle program.
start_session() {
    wineserver -p >/dev/null 2>&1 </dev/null || true  # already running is fine
    if ! pgrep -f 'wrang_target.exe --idle' >/dev/null 2>&1; then
        nohup wine "$BUILD_DIR/tests/wrang_target.exe" --idle >/dev/null 2>&1 </dev/null &
    fi
    wine cmd /c exit >/dev/null 2>&1 </dev/null || true
}

stop_session() {
    wineserver -k >/dev/null 2>&1 || true
}

build() {
    log "building in $BUILD_DIR"
    cmake -S "$ROOT" -B "$BUILD_DIR" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-i686.cmake" \
        -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$BUILD_DIR" -j "$(nproc)"
}

windows_path() { printf 'Z:%s' "$1" | tr '/' '\\'; }

register() {
    log "registering Wrang.dll"
    wine regsvr32 /s "$(windows_path "$BUILD_DIR/Wrang.dll")" </dev/null
}

install_packages
make_prefix
build
start_session
register
