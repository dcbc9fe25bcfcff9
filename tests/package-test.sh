#!/usr/bin/env bash
# The package as a user gets it: cpack makes the ZIP from this build and the other leg's, the ZIP
# is unpacked into a fresh Wine prefix, `register.cmd /user` registers it for the current user, a
# script creates every creatable class and a VBScript example drives a window, and
# `register.cmd /user /u` leaves nothing of ours behind.
#   package-test.sh BUILD_DIR LEG SOURCE_DIR        (WRANG_WINE: the leg's Wine loader)
# Exit status 77 (skipped) only when the other leg's build is missing.
set -u
build=$1 leg=$2 source=$3
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/wine.sh"
wine=${WRANG_WINE:-wine}
other=$(sed -n 's/^set(CPACK_WRANG_OTHER_BUILD_DIR "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
if [ ! -f "$other/Wrang.dll" ] || [ ! -f "$other/Wrang.tlb" ]; then
    echo "SKIPPED: the package holds both bitnesses and the other leg's build is missing ($other);"
    echo "         scripts/test.sh builds both legs, so run it, or build that leg first."
    exit 77
fi

work=$(mktemp -d)
export WINEPREFIX=$work/prefix WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
[ "$leg" = x86 ] && export WINEARCH=win32
failures=0
check() {  # check CONDITION-STATUS LABEL
    if [ "$1" -eq 0 ]; then echo "ok: $2"; else echo "FAIL: $2"; failures=$((failures + 1)); fi
}
finish() {
    wineserver -k >/dev/null 2>&1
    rm -rf "$work"
}
trap finish EXIT

# The ZIP and what it holds.
cpack --config "$build/CPackConfig.cmake" -G ZIP -B "$work/out" >"$work/cpack.log" 2>&1
zip=$(ls "$work"/out/Wrang-*-windows.zip 2>/dev/null)
[ -n "$zip" ]; check $? "cpack made $(basename "${zip:-Wrang-?-windows.zip}")"
[ -n "$zip" ] || { cat "$work/cpack.log"; exit 1; }
mkdir -p "$work/unpacked"
(cd "$work/unpacked" && cmake -E tar xf "$zip")
for f in x86/Wrang.dll x86/Wrang.tlb x86/Wrang.SideBySide.manifest x64/Wrang.dll x64/Wrang.tlb \
         x64/Wrang.SideBySide.manifest docs/reference.md README.md CHANGELOG.md register.cmd \
         examples/attributes.vbs examples/tray.js; do
    [ -f "$work/unpacked/$f" ]; check $? "the package holds $f"
done
# The machine type in each DLL's file header: 0x014c for x86, 0x8664 for x64.
machine() { local pe; pe=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' '); od -An -tx2 -j$((pe + 4)) -N2 "$1" | tr -d ' '; }
[ "$(machine "$work/unpacked/x86/Wrang.dll")" = 014c ]; check $? "x86/Wrang.dll is a 32-bit DLL"
[ "$(machine "$work/unpacked/x64/Wrang.dll")" = 8664 ]; check $? "x64/Wrang.dll is a 64-bit DLL"
for a in x86:x86 x64:amd64; do
    grep -q "processorArchitecture=\"${a#*:}\"" "$work/unpacked/${a%%:*}/Wrang.SideBySide.manifest"
    check $? "${a%%:*}/Wrang.SideBySide.manifest is the manifest of the ${a%%:*} build"
done

# A fresh prefix, its server and session started away from CTest's pipes.
new_wine_prefix "$wine"
wineserver -p >/dev/null 2>&1 </dev/null
# Every key of ours below a classes root: ProgIDs, classes, type library, interfaces.
ours=(Wrang.clsWrangler 'CLSID\{FFF37DAE-1BAC-41FB-AFE9-5764A73E09AC}'
      Wrang.clsSysToolbar 'CLSID\{62E7027A-6069-4A93-A1CB-B3556C1240C0}'
      Wrang.clsJuggler 'CLSID\{F9031829-9C6F-42C3-AE0F-FBED703DDEF2}'
      Wrang.clsListReader 'CLSID\{7B263A39-0206-4C54-85AD-2E5998AAB0C4}'
      Wrang.clsTreeReader 'CLSID\{3A7EC052-9E0A-4316-A19C-568D9D1D8258}'
      'TypeLib\{2693CEEF-9FB9-4388-A7CD-03B5944F2B17}'
      'Interface\{77778CE8-3F56-4767-8794-E8835E21F755}' 'Interface\{EBFA69D7-23E2-42E9-892D-3C672C73CD03}'
      'Interface\{7BDE6AB7-3EA0-4DF7-9B19-9BDF63FCC2BD}' 'Interface\{3C7999C7-3EA2-4324-BFD9-46EC2633B69C}'
      'Interface\{3F530BE9-0202-42BD-8517-26246DD70270}' 'Interface\{50A16001-41AD-4FC4-87E3-3A6AC1C7BE86}'
      Wrang.clsWatcher 'CLSID\{56142149-F135-44A0-90E3-34B741385E3B}'
      'Interface\{C409110A-A8F2-4B81-B010-3F66A9B846A6}'
      'Interface\{53C1A17D-1894-4582-BA2D-2D0EEE90AB91}' 'Interface\{5B208A20-4C1C-4E6E-B5D7-AB5A6C6C6353}'
      Wrang.clsFinder 'CLSID\{E76FBF3B-07D0-4C34-A49A-7BB880A7EBD1}' 'Interface\{037872C2-7FF7-406C-B1F5-8E71CEEB7009}'
      Wrang.clsInput 'CLSID\{7A46F1A2-A832-49DA-8511-912586661F01}' 'Interface\{1FC3E6FD-A920-4EFB-8CF5-841CEB62705E}')
# The sections of ours in a registry export (one Wine call per look: each takes a while).
sections() {  # sections ROOT (HKEY_CURRENT_USER or HKEY_LOCAL_MACHINE): our keys there, with their values
    local short=HKCU
    [ "$1" = HKEY_LOCAL_MACHINE ] && short=HKLM
    rm -f "$work/export.reg"
    "$wine" reg export "$short\\Software\\Classes" "$(windows_path "$work/export.reg")" /y >/dev/null 2>&1 </dev/null
    [ -f "$work/export.reg" ] || return 0
    iconv -f UTF-16LE -t UTF-8 "$work/export.reg" | tr -d '\r' | sed '1s/^\xEF\xBB\xBF//' |
        awk -v root="$1\\Software\\Classes\\" -v keys="$(printf '%s\n' "${ours[@]}")" '
            BEGIN { n = split(tolower(keys), k, "\n") }
            /^\[/ { keep = 0; name = tolower(substr($0, 2, length($0) - 2))
                    w = index(name, "\\wow6432node\\"); if (w) name = substr(name, 1, w) substr(name, w + 13)  # the 32-bit view
                    for (i = 1; i <= n; i++) if (k[i] != "" && (name == tolower(root) k[i] || index(name, tolower(root) k[i] "\\") == 1)) keep = 1 }
            keep'
}
has() { printf '%s\n' "$2" | grep -qiF "[$1\\Software\\Classes\\$3]"; }

# register.cmd /user: this leg's DLL must be registered; a half it could not register must be
# reported as such, with a failing exit code, never as done.
"$wine" cmd /c "$(windows_path "$work/unpacked/register.cmd")" /user >"$work/register.log" 2>&1 </dev/null
status=$?
report=$(tr -d '\r' <"$work/register.log")
echo "$report" | sed 's/^/   register.cmd: /'
echo "$report" | grep -q "^OK, registered for the current user: $leg\\\\Wrang.dll"; check $? "register.cmd /user registered $leg\\Wrang.dll"
if echo "$report" | grep -q "^NOT registered"; then
    [ "$status" -ne 0 ]; check $? "register.cmd fails when a half was not registered"
fi
user=$(sections HKEY_CURRENT_USER)
machine=$(sections HKEY_LOCAL_MACHINE)
for k in "${ours[@]}"; do has HKEY_CURRENT_USER "$user" "$k"; check $? "registered for the user: $k"; done
[ -z "$machine" ]; check $? "nothing of ours machine-wide"

# Each half that register.cmd registered is used by a client of its own bitness. On Windows both
# halves are usable side by side after register.cmd /user: a 32-bit process's writes under the
# user's CLSID key go to a 32-bit view of their own.
# Wine differs: the user's classes key is one view for both bitnesses there, so the half registered
# last owns the class keys, and Wine's COM reads classes from the machine-wide view only. So each
# half is registered once more on its own, by the regsvr32 of its bitness, exactly the keys it
# wrote for the user are mirrored into the machine-wide view of its bitness for its script host,
# and that mirror is removed again afterwards.
system=system32
[ "$WINEARCH" = win64 ] && system=syswow64  # where the 32-bit programs of a 64-bit prefix live
use_half() {  # use_half HALF SYSTEM-FOLDER: register HALF alone, create the classes, drive notepad
    local half=$1 tools="C:\\windows\\$2"
    "$wine" "$tools\\regsvr32.exe" /s /n /i:user "$(windows_path "$work/unpacked/$half/Wrang.dll")" </dev/null
    check $? "$half half registered on its own"
    { echo REGEDIT4; echo; sections HKEY_CURRENT_USER | sed 's/^\[HKEY_CURRENT_USER\\/[HKEY_LOCAL_MACHINE\\/I'; } >"$work/mirror.reg"
    "$wine" "$tools\\reg.exe" import "$(windows_path "$work/mirror.reg")" >/dev/null 2>&1 </dev/null
    "$wine" "$tools\\cscript.exe" //nologo "$(windows_path "$work/create.vbs")" </dev/null | tr -d '\r' | tee "$work/create.log"
    grep -q "created 8 of 8 classes" "$work/create.log"; check $? "a $half script creates every creatable class"
    WRANG_WINE=$wine WRANG_SCRIPT_HOST="$tools\\cscript.exe" "$source/tests/scripts/run-script.sh" \
        "$work/unpacked/examples/attributes.vbs" 2>&1 | tr -d '\r' | tee "$work/example.log" | sed "s/^/   attributes.vbs ($half): /"
    grep -q "Edit box text: Written by the attributes example" "$work/example.log"; check $? "the attributes example drove notepad from a $half script"
    { echo REGEDIT4; echo; for k in "${ours[@]}"; do echo "[-HKEY_LOCAL_MACHINE\\Software\\Classes\\$k]"; done; } >"$work/unmirror.reg"
    "$wine" "$tools\\reg.exe" import "$(windows_path "$work/unmirror.reg")" >/dev/null 2>&1 </dev/null
}
cat >"$work/create.vbs" <<'VBS'
Dim name, made
made = 0
On Error Resume Next
For Each name In Array("Wrang.clsWrangler", "Wrang.clsSysToolbar", "Wrang.clsJuggler", "Wrang.clsListReader", _
                       "Wrang.clsTreeReader", "Wrang.clsWatcher", "Wrang.clsFinder", "Wrang.clsInput")
    Err.Clear
    If Not CreateObject(name) Is Nothing And Err.Number = 0 Then made = made + 1 Else WScript.Echo "cannot create " & name
Next
WScript.Echo "created " & made & " of 8 classes"
VBS
echo "$report" | grep -q "^OK, registered for the current user: x64" && use_half x64 system32
echo "$report" | grep -q "^OK, registered for the current user: x86" && use_half x86 "$system"
[ -z "$(sections HKEY_LOCAL_MACHINE)" ]; check $? "nothing of ours machine-wide after the clients ran"

"$wine" cmd /c "$(windows_path "$work/unpacked/register.cmd")" /user /u >"$work/register.log" 2>&1 </dev/null
report=$(tr -d '\r' <"$work/register.log")
echo "$report" | sed 's/^/   register.cmd \/u: /'
echo "$report" | grep -q "^OK, unregistered for the current user: $leg\\\\Wrang.dll"; check $? "register.cmd /user /u unregistered $leg\\Wrang.dll"
left=$(sections HKEY_CURRENT_USER)
[ -z "$left" ]; check $? "nothing of ours left for the user"
[ -z "$left" ] || printf '%s\n' "$left" | grep '^\[' | sed 's/^/   left: /'
[ -z "$(sections HKEY_LOCAL_MACHINE)" ]; check $? "nothing of ours left machine-wide"

if [ "$failures" -eq 0 ]; then echo "ALL PASSED"; else echo "$failures check(s) failed"; exit 1; fi
