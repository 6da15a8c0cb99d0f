# Shared by the Wine tests: skips (exit 77) without wine, and creates the prefix once.
command -v wine >/dev/null 2>&1 || { echo "wine is not installed: skipped"; exit 77; }
# Wine keeps per-user state under HOME; a bare CI environment may have none.
export HOME=${HOME:-$WINEPREFIX}
# No browser or .NET runtime offered at prefix creation.
export WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    wine wineboot -i >/dev/null 2>&1 || true
    wineserver -w
fi
