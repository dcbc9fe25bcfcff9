#!/usr/bin/env bash
# The set-up's package installation (scripts/packages.sh) against a package mirror in the middle of
# a sync, with stand-ins for apt-get, dpkg-query, dpkg and id on the PATH: the real apt-get never
# runs. One row per case: which packages are installed already, whether the index refresh works,
# what each install answers in turn, and what must follow (exit status, the apt-get calls made in
# order, and a text the output must hold).
#   packages-test.sh SCRIPTS_DIR
set -uo pipefail
scripts=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The stand-ins. apt-get records its arguments; an install answers the next word of $INSTALLS:
# ok, unmet (the architectures disagree on versions) or unknown (no such package in any index).
mkdir "$work/bin"
cat >"$work/bin/apt-get" <<'EOF'
#!/usr/bin/env bash
echo "apt-get $*" >>"$CALLS"
if [ "$1" = update ]; then
    [ "$UPDATE" = ok ] && exit 0
    echo "E: Failed to fetch .../binary-i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress?" >&2
    exit 100
fi
answers=($INSTALLS)
turn=$(grep -c '^apt-get install' "$CALLS")
case ${answers[turn - 1]:-unknown} in
    ok) echo "Setting up wine32:i386 ..."; exit 0 ;;
    unmet) printf '%s\n' "The following packages have unmet dependencies:" \
        " liblzma5:i386 : Breaks: liblzma5 (!= 5.4.1-1) but 5.4.1-1+deb12u2 is to be installed" \
        "E: Unable to correct problems, you have held broken packages."; exit 100 ;;
    *) echo "E: Unable to locate package $5"; exit 100 ;;
esac
EOF
cat >"$work/bin/dpkg-query" <<'EOF'
#!/usr/bin/env bash
# dpkg-query -W -f=... PACKAGE
[ "$INSTALLED" = all ] && printf 'install ok installed' && exit 0
exit 1
EOF
printf '#!/bin/sh\necho "dpkg $*" >>"$CALLS"\n' >"$work/bin/dpkg"
printf '#!/bin/sh\necho 0\n' >"$work/bin/id"
chmod +x "$work/bin/"*
printf 'PRETTY_NAME="Debian GNU/Linux 12 (bookworm)"\nVERSION_CODENAME=bookworm\n' >"$work/os-release"

# name | installed | update | installs | status | apt-get calls | the output holds
cases=(
    "everything installed|all|ok|ok|0||"
    "index refresh fails, install works|none|fail|ok|0|update -q;install PKGS|warning: apt-get update could not read every package index"
    "architectures disagree, then the release's index|none|ok|unmet ok|0|update -q;install PKGS;install -t bookworm PKGS|installing every package from bookworm's own index instead"
    "both installs unmet after a failed refresh|none|fail|unmet unmet|1|update -q;install PKGS;install -t bookworm PKGS|what to do: run 'apt-get update' once the package mirror answers in full"
    "a package no index has|none|ok|unknown|1|update -q;install PKGS|FAILED: could not install wine wine32:i386 (E: Unable to locate package"
)

failed=0
for row in "${cases[@]}"; do
    IFS='|' read -r name installed update installs want_status want_calls want_text <<<"$row"
    : >"$work/calls"
    output=$(
        set -euo pipefail  # as scripts/setup.sh runs it
        export PATH="$work/bin:$PATH" CALLS="$work/calls" INSTALLED=$installed UPDATE=$update INSTALLS=$installs
        export OS_RELEASE_FILE="$work/os-release"
        source "$scripts/packages.sh"
        install_packages wine wine32:i386 2>&1
    )
    status=$?
    calls=$(sed -n 's/^apt-get //p' "$work/calls" | sed 's/ -y -q --no-install-recommends//; s/wine wine32:i386/PKGS/' | paste -sd';')
    problem=""
    [ "$status" = "$want_status" ] || problem+=" exit status $status, not $want_status;"
    [ "$calls" = "$want_calls" ] || problem+=" apt-get calls '$calls', not '$want_calls';"
    [ -z "$want_text" ] || grep -qF -- "$want_text" <<<"$output" || problem+=" no '$want_text' in the output;"
    grep -q -- --allow-downgrades "$work/calls" && problem+=" an install allowed downgrades;"
    [ "$installed" = none ] || [ ! -s "$work/calls" ] || problem+=" nothing was missing, yet apt-get or dpkg ran;"
    if [ "$installed" = none ] && ! grep -qx 'dpkg --add-architecture i386' "$work/calls"; then
        problem+=" the i386 architecture was not enabled;"
    fi
    if [ -n "$problem" ]; then
        echo "FAIL $name:$problem"
        printf '%s\n' "$output" | sed 's/^/    /'
        failed=1
    else
        echo "ok   $name"
    fi
done
exit "$failed"
