#!/usr/bin/env bash
# Runs a Windows test program under Wine in the test prefix.
#   run_wine.sh [--display] PREFIX PROGRAM ARGS...
# --display: the program makes visible windows; without a display of our own it runs on a virtual
# one (xvfb-run) when there is one to be had, and otherwise without any (it skips those checks).
set -euo pipefail
display=no
if [ "${1:-}" = --display ]; then
    display=yes
    shift
fi
export WINEPREFIX=$1 WINEDEBUG=-all
shift
source "$(dirname "$0")/wine_env.sh"
program=$1
shift
args=()
for a in "$@"; do
    if [ -e "$a" ]; then args+=("$(winepath -w "$a" 2>/dev/null | tr -d '\r')"); else args+=("$a"); fi
done
if [ $display = yes ] && [ -z "${DISPLAY:-}" ] && command -v xvfb-run >/dev/null 2>&1; then
    # The prefix's processes are bound to the virtual display: end them with it.
    xvfb-run -a bash -c '"$WINELOADER" "$@"; status=$?; wineserver -k; exit $status' wine "$program" "${args[@]}" |
        tr -d '\r'
else
    wine "$program" "${args[@]}" | tr -d '\r'
fi
exit "${PIPESTATUS[0]}"
