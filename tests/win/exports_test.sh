#!/usr/bin/env bash
# The DLL exports exactly the four entry points of an in-process COM server.
#   exports_test.sh OBJDUMP DLL
set -euo pipefail
got=$("$1" -p "$2" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | grep -v 'Name Pointer' | sed -n 's/^.*\] //p' | tr -d '\r' | sort)
want=$(printf '%s\n' DllCanUnloadNow DllGetClassObject DllRegisterServer DllUnregisterServer)
if [ "$got" != "$want" ]; then
    printf 'FAIL: exports are\n%s\nnot\n%s\n' "$got" "$want"
    exit 1
fi
echo "exports: exactly the four entry points"
