#!/usr/bin/env bash
# The set-up's messages and its package installation. Sourced by scripts/setup.sh; it only defines
# functions, so that tests/packages-test.sh can run the installation with stand-ins for apt-get,
# dpkg-query, dpkg and id on the PATH.

log() { printf '== %s\n' "$*" >&2; }
# A set-up step that fails says what failed and what to do, and ends the command.
fail() {
    printf '== FAILED: %s\n' "$1" >&2
    [ -z "${2:-}" ] || printf '   what to do: %s\n' "$2" >&2
    exit 1
}

# The release this machine follows (bookworm), from the system's own description of itself.
OS_RELEASE_FILE=${OS_RELEASE_FILE:-/etc/os-release}
release_name() { sed -n 's/^VERSION_CODENAME=//p' "$OS_RELEASE_FILE" 2>/dev/null | tr -d '"'; }

# apt-get install, its output shown as it comes and kept in $APT_OUTPUT for a look afterwards.
apt_install() {
    $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "$@" 2>&1 |
        tee "$APT_OUTPUT"
    return "${PIPESTATUS[0]}"
}

# Installs those of the packages given that are not installed yet (nothing at all when every one
# is). A package mirror is often in the middle of a sync: one index fails to download, or the
# security suite already lists a newer library for one architecture than any index lists for the
# other, and a package that needs both architectures at one version (wine32:i386 with liblzma5,
# zlib1g, libssl3...) has "unmet dependencies". So:
#  - a failed index refresh is a warning: the indexes apt already has may well do;
#  - an install with unmet dependencies is tried once more with every package taken from the
#    release's own index (apt-get -t RELEASE), where both architectures carry the same versions;
#  - only when that fails too does the set-up stop, saying what failed and what to do.
# No installed package is downgraded: -t gives the release's versions the pin priority 990, and
# apt installs a version of priority below 1000 only when it is more recent than the installed
# one (apt_preferences(5)); were a version chosen anyway that is older, apt-get -y stops rather
# than downgrade, since it is not given --allow-downgrades.
install_packages() {
    local missing=() p
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    log "installing: ${missing[*]}"
    SUDO=""
    [ "$(id -u)" -eq 0 ] || SUDO="sudo"
    case " ${missing[*]}" in
        *:i386*) $SUDO dpkg --add-architecture i386 || fail "could not enable the i386 architecture" \
            "run 'dpkg --add-architecture i386' as root, or set WRANG_LEGS=x64" ;;
    esac
    local refreshed=yes
    if ! $SUDO apt-get update -q >/dev/null; then
        refreshed=no
        log "warning: apt-get update could not read every package index (messages above; a mirror in the middle of a sync?); installing from the indexes apt has"
    fi
    APT_OUTPUT=$(mktemp)
    local status=0 release
    apt_install "${missing[@]}" || status=$?
    if [ "$status" -ne 0 ] && grep -q "unmet dependencies" "$APT_OUTPUT"; then
        release=$(release_name)
        if [ -n "$release" ]; then
            log "the architectures' package indexes disagree on versions: installing every package from $release's own index instead (apt-get install -t $release)"
            status=0
            apt_install -t "$release" "${missing[@]}" || status=$?
        fi
    fi
    local reason
    reason=$(grep -m1 '^E: ' "$APT_OUTPUT" || true)
    rm -f "$APT_OUTPUT"
    [ "$status" -eq 0 ] && return 0
    local todo="install them by hand (apt-get install ${missing[*]}) and run this command again"
    [ "$refreshed" = yes ] || todo="run 'apt-get update' once the package mirror answers in full (or choose another mirror in /etc/apt/sources.list), then run this command again; or $todo"
    fail "could not install ${missing[*]}${reason:+ ($reason)}" "$todo"
}
