#!/usr/bin/env bash
# Registers DezarorAgent.dll with regsvr32 in the test prefix, reads every value back,
# unregisters it and checks that the keys are gone. Wine runs programs elevated, so regsvr32
# registers for every user of the machine; the per-user registration is checked in adapter_check.
#   register_test.sh DLL PREFIX   (WINE_BITS: the DLL's bitness, 64 unless told)
set -euo pipefail
dll=$1
export WINEPREFIX=$2 WINEDEBUG=-all
source "$(dirname "$0")/wine_env.sh"

fails=0
fail() { echo "FAIL: $*"; fails=$((fails + 1)); }

# Each key is read once with `reg query KEY`, which prints "    NAME    TYPE    DATA" lines with CRLF
# endings; a Wine process start costs most of a second, so the reads are kept until the next change.
cache=$(mktemp -d)
trap 'rm -rf "$cache"' EXIT
changed() { rm -f "$cache"/*; }
key_text() {  # KEY -> its values; fails when the key is absent
    local file
    file="$cache/$(printf '%s' "$1" | md5sum | cut -c1-32)"
    if [ ! -f "$file" ]; then
        wine reg query "$1" 2>/dev/null | tr -d '\r' >"$file" || echo absent >"$file.absent"
    fi
    [ ! -f "$file.absent" ] && cat "$file"
}

value_of() {  # KEY NAME -> "TYPE DATA"
    local out
    out=$(key_text "$1") || return 1
    out=$(printf '%s\n' "$out" | awk -v n="$2" '
        { line = $0; sub(/^    /, "", line); i = index(line, "    ");
          if (i && substr(line, 1, i - 1) == n) { rest = substr(line, i + 4); j = index(rest, "    ");
            print substr(rest, 1, j - 1) " " substr(rest, j + 4); exit } }')
    [ -n "$out" ] && printf '%s\n' "$out"
}

expect() {  # KEY NAME TYPE DATA
    local got
    got=$(value_of "$1" "$2") || { fail "$1 [$2] missing"; return; }
    [ "$got" = "$3 $4" ] || fail "$1 [$2]: expected '$3 $4', got '$got'"
}

clsid='{6D77B6CF-05DD-4881-9F5F-596B61A97A44}'
progid='DezarorAgent.Connect'
classes='HKEY_CLASSES_ROOT'
addin='HKEY_LOCAL_MACHINE\Software\Microsoft\Office\Outlook\Addins\DezarorAgent.Connect'
libid='{32C13A5F-F391-4FDB-A54E-E01418D650C0}'
iid='{35D981EC-BA68-40A5-9F62-D4A51EA601D5}'
keys=("$classes\\$progid" "$classes\\$progid\\CLSID" "$classes\\CLSID\\$clsid" "$classes\\CLSID\\$clsid\\ProgID"
      "$classes\\CLSID\\$clsid\\InprocServer32" "$classes\\CLSID\\$clsid\\TypeLib"
      "$classes\\TypeLib\\$libid" "$classes\\Interface\\$iid" "$addin")

windows_path=$(winepath -w "$dll" 2>/dev/null | tr -d '\r')
wine regsvr32 /s "$windows_path" || fail "regsvr32 exited $?"
changed

expect "$classes\\$progid" "(Default)" REG_SZ "$progid"
expect "$classes\\$progid\\CLSID" "(Default)" REG_SZ "$clsid"
expect "$classes\\CLSID\\$clsid" "(Default)" REG_SZ "$progid"
expect "$classes\\CLSID\\$clsid\\ProgID" "(Default)" REG_SZ "$progid"
expect "$classes\\CLSID\\$clsid\\InprocServer32" "(Default)" REG_SZ "$windows_path"
expect "$classes\\CLSID\\$clsid\\InprocServer32" ThreadingModel REG_SZ Apartment
expect "$classes\\CLSID\\$clsid\\TypeLib" "(Default)" REG_SZ "$libid"
expect "$classes\\TypeLib\\$libid\\1.1" "(Default)" REG_SZ "OutLook Dezaror Agent"
expect "$classes\\TypeLib\\$libid\\1.1\\0\\win${WINE_BITS:-64}" "(Default)" REG_SZ "$windows_path"
wine reg query "HKEY_CURRENT_USER\\Software\\Classes\\$progid" >/dev/null 2>&1 && fail "the class is in the user's classes too"
expect "$classes\\Interface\\$iid" "(Default)" REG_SZ "_Connect"
# The system's type-library marshaler (PSOAInterface), its class id as the Windows SDK publishes it.
expect "$classes\\Interface\\$iid\\ProxyStubClsid32" "(Default)" REG_SZ '{00020424-0000-0000-C000-000000000046}'
expect "$addin" FriendlyName REG_SZ "Outlook Dezaror Agent"
expect "$addin" Description REG_SZ "Outlook Dezaror Agent.  Use to preview or read message items in Outlook."
expect "$addin" LoadBehavior REG_DWORD 0x3

# A value of someone else's beside ours survives unregistration, and so does its key.
wine reg add "$addin" /v CommandLineSafe /t REG_DWORD /d 0 /f >/dev/null
changed
wine regsvr32 /u /s "$windows_path" || fail "regsvr32 /u exited $?"
changed
for key in "${keys[@]}"; do
    [ "$key" = "$addin" ] && continue
    key_text "$key" >/dev/null && fail "$key still there after unregistration"
done
for name in FriendlyName Description LoadBehavior; do
    value_of "$addin" "$name" >/dev/null && fail "$addin [$name] still there after unregistration"
done
expect "$addin" CommandLineSafe REG_DWORD 0x0

# With only our values there, unregistration leaves no key behind; the add-in list itself stays.
wine reg delete "$addin" /f >/dev/null
changed
wine regsvr32 /s "$windows_path" || fail "second regsvr32 exited $?"
wine regsvr32 /u /s "$windows_path" || fail "second regsvr32 /u exited $?"
changed
for key in "${keys[@]}"; do
    key_text "$key" >/dev/null && fail "$key still there after unregistration"
done
wine reg query 'HKEY_LOCAL_MACHINE\Software\Microsoft\Office\Outlook\Addins' >/dev/null 2>&1 ||
    fail "the mail client's add-in list was removed"

# With the DLL of the other bitness registered too, what the two share stays for it: the ProgID
# and the type library's description; this DLL's platform key goes.
other="win$(( ${WINE_BITS:-64} == 64 ? 32 : 64 ))"
wine regsvr32 /s "$windows_path" || fail "third regsvr32 exited $?"
wine reg add "$classes\\TypeLib\\$libid\\1.1\\0\\$other" /ve /d 'C:\\other\\DezarorAgent.dll' /f >/dev/null
wine regsvr32 /u /s "$windows_path" || fail "third regsvr32 /u exited $?"
changed
expect "$classes\\$progid\\CLSID" "(Default)" REG_SZ "$clsid"
expect "$classes\\TypeLib\\$libid\\1.1" "(Default)" REG_SZ "OutLook Dezaror Agent"
key_text "$classes\\TypeLib\\$libid\\1.1\\0\\win${WINE_BITS:-64}" >/dev/null && fail "this DLL's platform key stayed"
wine reg delete "$classes\\TypeLib\\$libid" /f >/dev/null
wine reg delete "$classes\\$progid" /f >/dev/null

[ $fails -eq 0 ] && echo "registration: all values read back and removed" && exit 0
exit 1
