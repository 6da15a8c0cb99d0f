#!/usr/bin/env bash
# Builds the setup programs from both DLLs and installs and uninstalls one silently under Wine:
# the files, the class, the add-in entry and the uninstaller's entry are there after install and
# gone after uninstall, and the user's settings are left alone.
#   installer_test.sh DLL32 DLL64 PREFIX OUTDIR
# OUTDIR receives DezarorAgent-setup.exe (runs on any Windows) and DezarorAgent-setup-x64.exe.
# The 64-bit one is tested: Wine here may have no 32-bit side to run the other.
set -euo pipefail
dll32=$(realpath "$1") dll64=$(realpath "$2") out=$4
mkdir -p "$3"
export WINEPREFIX=$(realpath "$3") WINEDEBUG=-all WINE_BITS=64
here=$(cd "$(dirname "$0")" && pwd)
nsi=$here/../../installer/DezarorAgent.nsi
command -v makensis >/dev/null 2>&1 || { echo "makensis is not installed: skipped"; exit 77; }
mkdir -p "$out"
for target in x86-unicode amd64-unicode; do
    name=DezarorAgent-setup.exe
    [ $target = amd64-unicode ] && name=DezarorAgent-setup-x64.exe
    makensis -V1 -DTARGET=$target -DDLL32="$dll32" -DDLL64="$dll64" -DOUTFILE="$(realpath "$out")/$name" "$nsi"
done
source "$here/wine_env.sh"

fails=0
fail() { echo "FAIL: $*"; fails=$((fails + 1)); }
has_value() { wine reg query "$1" /v "$2" >/dev/null 2>&1; }
has_key() { wine reg query "$1" >/dev/null 2>&1; }

clsid='HKEY_CLASSES_ROOT\CLSID\{6D77B6CF-05DD-4881-9F5F-596B61A97A44}'
addin='HKEY_LOCAL_MACHINE\Software\Microsoft\Office\Outlook\Addins\DezarorAgent.Connect'
uninstall='HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Uninstall\DezarorAgent'
settings='HKEY_CURRENT_USER\Software\VB and VBA Program Settings\Outlook Dezaror Agent\Settings'
folder="$WINEPREFIX/drive_c/Program Files/DezarorAgent"

wine "$(winepath -w "$out/DezarorAgent-setup-x64.exe" | tr -d '\r')" /S >/dev/null 2>&1 || fail "setup exited $?"
wineserver -w
[ -f "$folder/x64/DezarorAgent.dll" ] && [ -f "$folder/x86/DezarorAgent.dll" ] || fail "the DLLs are not installed"
wine reg query "$clsid\\InprocServer32" /ve 2>/dev/null | tr -d '\r' | grep -qF 'C:\Program Files\DezarorAgent\x64\DezarorAgent.dll' ||
    fail "the 64-bit DLL is not the registered class"
has_value "$addin" LoadBehavior || fail "no add-in entry after install"
wine reg query "$uninstall" /v DisplayName 2>/dev/null | grep -q 'Outlook Dezaror Agent' || fail "not in the list of programs"
has_value "$uninstall" QuietUninstallString || fail "no silent uninstall command"

wine reg add "$settings" /v AgentLeft /t REG_SZ /d 120 /f >/dev/null 2>&1
wine 'C:\Program Files\DezarorAgent\uninstall.exe' /S >/dev/null 2>&1 || fail "uninstall exited $?"
wineserver -w
has_key "$clsid" && fail "the class is still registered after uninstall"
has_key "$addin" && fail "the add-in entry is still there after uninstall"
has_key "$uninstall" && fail "still in the list of programs after uninstall"
[ -e "$folder" ] && fail "the program folder is still there after uninstall"
wine reg query "$settings" /v AgentLeft 2>/dev/null | grep -q 120 || fail "uninstall removed the user's settings"
wine reg delete "$settings" /f >/dev/null 2>&1 || true

[ $fails -eq 0 ] && echo "setup: installed, registered, listed; uninstalled, settings kept" && exit 0
exit 1
