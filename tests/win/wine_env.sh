# Shared by the Wine tests: picks the Wine loader for the programs' bitness (WINE_BITS, 64 unless
# told), skips (exit 77) when there is no Wine that can run them, and creates the prefix once.
command -v wine >/dev/null 2>&1 || { echo "wine is not installed: skipped"; exit 77; }
# Wine keeps per-user state under HOME; a bare CI environment may have none.
export HOME=${HOME:-$WINEPREFIX}
# No browser or .NET runtime offered at prefix creation.
export WINEDLLOVERRIDES="mscoree,mshtml="
# Debian's `wine` prefers the 32-bit loader whenever it is installed, even on a kernel that cannot
# run 32-bit programs; `wine` here is always the loader for the bitness under test.
if [ "${WINE_BITS:-64}" = 32 ]; then
    export WINELOADER=/usr/lib/wine/wine WINEARCH=win32
    if ! "$WINELOADER" --version >/dev/null 2>&1; then
        echo "32-bit Wine cannot run here (wine32 missing, or a kernel without 32-bit program support): skipped"
        exit 77
    fi
else
    export WINELOADER=/usr/lib/wine/wine64
    [ -x "$WINELOADER" ] || { echo "64-bit Wine (wine64) is not installed: skipped"; exit 77; }
fi
wine() { "$WINELOADER" "$@"; }
winepath() { "$WINELOADER" winepath.exe "$@"; }
export -f wine winepath
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    wine wineboot -i >/dev/null 2>&1 || true
    wineserver -w
fi
