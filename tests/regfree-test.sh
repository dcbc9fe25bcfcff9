#!/usr/bin/env bash
# Use without registration, as a user gets it: Wrang.dll and its side-by-side manifest copied into
# an application's folder in a fresh Wine prefix, where nothing of ours was ever registered. The
# client first activates a context made at run time from a client manifest that depends on our
# assembly, then runs again with that manifest as its own (wrang_regfree_client.exe.manifest).
#   regfree-test.sh BUILD_DIR LEG ASSEMBLY_NAME     (WRANG_WINE: the leg's Wine loader)
set -u
build=$1 leg=$2 assembly=$3
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/wine.sh"
wine=${WRANG_WINE:-wine}
work=$(mktemp -d)
export WINEPREFIX=$work/prefix WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
[ "$leg" = x86 ] && export WINEARCH=win32
trap 'wineserver -k >/dev/null 2>&1; rm -rf "$work"' EXIT

app=$work/app
mkdir -p "$app"
cp "$build/Wrang.dll" "$build/$assembly.manifest" "$build/tests/wrang_regfree_client.exe" "$app/" || exit 1
identity=$(grep -o '<assemblyIdentity [^>]*>' "$app/$assembly.manifest")
cat >"$app/client.manifest" <<MANIFEST
<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<assembly xmlns="urn:schemas-microsoft-com:asm.v1" manifestVersion="1.0">
  <assemblyIdentity type="win32" name="Wrang.RegFreeClient" version="1.0.0.0"/>
  <dependency><dependentAssembly>$identity</dependentAssembly></dependency>
</assembly>
MANIFEST

# A fresh headless prefix, its server started away from CTest's pipes.
new_wine_prefix "$wine"
wineserver -p >/dev/null 2>&1 </dev/null

echo "== a context activated at run time from $(windows_path "$app/client.manifest")"
"$wine" "$app/wrang_regfree_client.exe" "$(windows_path "$app/client.manifest")" </dev/null | tr -d '\r'
echo "== the program's own manifest"
cp "$app/client.manifest" "$app/wrang_regfree_client.exe.manifest"
"$wine" "$app/wrang_regfree_client.exe" </dev/null | tr -d '\r'
