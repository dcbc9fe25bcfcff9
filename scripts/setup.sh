#!/usr/bin/env bash
# Shared set-up of the README commands. Source it: it installs what is missing, finds out which
# legs this host can run, and defines the steps that build, prepare and register one leg:
#   x64  the component for 64-bit clients, in a 64-bit Wine prefix; runs on every x86-64 host
#   x86  the 32-bit component, in a 32-bit Wine prefix; only where the kernel runs 32-bit programs
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$ROOT/scripts/wine.sh"
source "$ROOT/scripts/packages.sh"  # log, fail and install_packages
BUILD_ROOT=${WRANG_BUILD_DIR:-$ROOT/build}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

# Whether the kernel runs 32-bit x86 programs: a minimal 32-bit ELF program that only exits 0.
# Some hosts run 64-bit programs only ("IA-32 emulation off"): there it fails to start at all.
host_runs_32bit() {
    local probe status
    probe=$(mktemp)
    printf '\177ELF\001\001\001\000\000\000\000\000\000\000\000\000' >"$probe"       # ident
    printf '\002\000\003\000\001\000\000\000\124\200\004\010\064\000\000\000' >>"$probe"  # exec, i386, entry
    printf '\000\000\000\000\000\000\000\000\064\000\040\000\001\000\000\000' >>"$probe"  # one program header
    printf '\000\000\000\000' >>"$probe"
    printf '\001\000\000\000\000\000\000\000\000\200\004\010\000\200\004\010' >>"$probe"  # load at 0x8048000
    printf '\135\000\000\000\135\000\000\000\005\000\000\000\000\020\000\000' >>"$probe"
    printf '\270\001\000\000\000\061\333\315\200' >>"$probe"                           # exit(0)
    chmod +x "$probe"
    status=0
    PROBE_ERROR=$( ("$probe") 2>&1 >/dev/null) || status=$?
    rm -f "$probe"
    PROBE_ERROR=${PROBE_ERROR##*: }
    return "$status"
}

if [ -n "${WRANG_LEGS:-}" ]; then
    RUNNABLE_LEGS=$WRANG_LEGS
    SKIP_REASON="not asked for (WRANG_LEGS=$WRANG_LEGS)"
elif host_runs_32bit; then
    RUNNABLE_LEGS="x86 x64"
    SKIP_REASON=""
else
    RUNNABLE_LEGS="x64"
    SKIP_REASON="this host cannot execute 32-bit programs (a 32-bit probe program failed: ${PROBE_ERROR:-no message}; on such hosts dmesg says 'IA-32 emulation off')"
fi
leg_runs() { case " $RUNNABLE_LEGS " in *" $1 "*) return 0 ;; esac; return 1; }

# The environment of one built leg: its build folder, Wine prefix and the Wine loader its build chose.
use_leg() {
    LEG=$1
    BUILD_DIR=$BUILD_ROOT/$LEG
    export WINEPREFIX=${WRANG_WINEPREFIX:-$BUILD_DIR/wineprefix}
    export WINEARCH=win32
    if [ "$LEG" = x64 ]; then WINEARCH=win64; fi
    WINE=$(wine_loader_of "$BUILD_DIR")
    [ -x "$WINE" ] || fail "the $LEG build names no Wine loader ($BUILD_DIR/CMakeCache.txt)" \
        "build the $LEG leg first; configuring it finds wine (cmake/mingw-common.cmake)"
    export WRANG_WINE=$WINE
}

build_leg() {
    local toolchain=mingw-i686
    [ "$1" = x64 ] && toolchain=mingw-x86_64
    local dir=$BUILD_ROOT/$1
    log "building $1 in $dir"
    cmake -S "$ROOT" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/$toolchain.cmake" \
        -DCMAKE_BUILD_TYPE=Release "${@:2}" >/dev/null ||
        fail "configuring the $1 build failed" "read the messages above; 'cmake -S . -B $dir' repeats the step"
    cmake --build "$dir" -j "$(nproc)" || fail "building $1 failed" "read the compiler messages above"
}

# Both builds, configured alike by every command so that none rebuilds another's. Where the host
# runs 32-bit programs, the x64 build also runs the mixed tray cases against the x86 build.
build_both_legs() {
    build_leg x86
    if leg_runs x86; then
        build_leg x64 -DWRANG_PEER_BUILD_DIR="$BUILD_ROOT/x86"
    else
        build_leg x64 -UWRANG_PEER_BUILD_DIR
    fi
}

make_prefix() {
    [ -f "$WINEPREFIX/.wrang-ready" ] && return 0
    log "making $WINEARCH Wine prefix $WINEPREFIX"
    rm -rf "$WINEPREFIX"
    mkdir -p "$(dirname "$WINEPREFIX")"
    new_wine_prefix "$WINE" ||
        fail "Wine could not make its prefix ($WINE wineboot.exe -i failed)" \
            "run '$WINE wineboot.exe -i' by hand to see why; for a 32-bit prefix the host must run 32-bit programs"
    touch "$WINEPREFIX/.wrang-ready"
}

# Wine's server and its system processes start with the first Wine program and inherit its output;
# start them here, away from CTest's pipes, and keep the session alive with an idle program.
start_session() {
    wineserver -p >/dev/null 2>&1 </dev/null || true  # already running is fine
    nohup "$WINE" "$BUILD_DIR/tests/wrang_target.exe" --idle >/dev/null 2>&1 </dev/null &
    "$WINE" cmd /c exit >/dev/null 2>&1 </dev/null ||
        fail "Wine does not start programs in $WINEPREFIX" \
            "delete $WINEPREFIX and run this command again"
}

stop_session() {
    [ -n "${WINEPREFIX:-}" ] && wineserver -k >/dev/null 2>&1 || true
}

register() {
    log "registering the $LEG Wrang.dll"
    "$WINE" regsvr32 /s "$(windows_path "$BUILD_DIR/Wrang.dll")" </dev/null ||
        fail "regsvr32 could not register $BUILD_DIR/Wrang.dll" "run '$WINE regsvr32 $(windows_path "$BUILD_DIR/Wrang.dll")' to see its message"
}

# Everything one leg needs before a client can use it.
prepare_leg() {
    use_leg "$1"
    make_prefix
    start_session
    register
}

# The one loop over the legs: `$1 LEG` runs in every leg this host can run, with the leg prepared
# before and its session stopped after; a leg that cannot run goes to `$2 LEG` instead.
each_leg() {
    local step=$1 skipped=$2 leg
    for leg in x86 x64; do
        if ! leg_runs "$leg"; then
            "$skipped" "$leg"
            continue
        fi
        prepare_leg "$leg"
        "$step" "$leg"
        stop_session
    done
}

# What the commands need: MinGW-w64 for both legs, widl, Wine, GoogleTest's sources, and clang for
# the native coverage-guided fuzzers (scripts/fuzz.sh); 32-bit Wine only where the x86 leg runs.
wanted_packages=(cmake make g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix mingw-w64-tools
                 libwine-dev wine wine64 googletest clang libclang-rt-14-dev llvm)
if leg_runs x86; then wanted_packages+=(wine32:i386); fi
install_packages "${wanted_packages[@]}"
