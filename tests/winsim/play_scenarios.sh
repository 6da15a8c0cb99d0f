#!/usr/bin/env bash
# Plays every scenario of tests/scenarios through DezarorAgent.dll under Wine and compares each
# transcript with the native one byte for byte. One Wine session serves all the runs.
#   play_scenarios.sh RUNNER PREFIX SCENARIO_DIR SKIP_LIST [--control plain|described] [NAME...]
# SKIP_LIST names the scenarios left out, one a line with the reason after the name.
set -uo pipefail
# The information panel is a real window: without a display of our own, run on a virtual one.
if [ -z "${DISPLAY:-}" ] && command -v xvfb-run >/dev/null 2>&1; then exec xvfb-run -a "$0" "$@"; fi
runner=$1 prefix=$2 dir=$3 skips=$4
shift 4
control=(--control plain)
if [ "${1:-}" = --control ]; then
    control=(--control "$2")
    shift 2
fi
export WINEPREFIX=$prefix WINEDEBUG=-all
# The loader of the runner's bitness (WINE_BITS), or a skip when none can run it.
source "$(dirname "$0")/../win/wine_env.sh"
wineserver -p 60

names=("$@")
if [ ${#names[@]} -eq 0 ]; then
    for s in "$dir"/*.dz; do names+=("$(basename "$s" .dz)"); done
fi
passed=0 failed=0 skipped=0
out=$(mktemp -d)
trap 'wineserver -k 2>/dev/null; rm -rf "$out"' EXIT
cd "$dir"
for name in "${names[@]}"; do
    if grep -q "^$name " "$skips"; then
        skipped=$((skipped + 1))
        continue
    fi
    args=("$name.dz")
    first=$(head -n 1 "$name.dz")
    if [[ $first =~ ^#\ mailbox:\ (.+)$ ]]; then args+=(--mailbox "${BASH_REMATCH[1]}"); fi
    expected_status=0
    [ -f "$name.status" ] && expected_status=$(head -n 1 "$name.status")
    wine "$runner" "${args[@]}" "${control[@]}" >"$out/$name.out" 2>"$out/$name.err"
    status=$?
    # A run that printed nothing at all never reached the scenario: Wine itself failed to start it
    # (seen once on the first run after the previous test's Wine session ended). Try it once more.
    if [ "$status" != "$expected_status" ] && [ ! -s "$out/$name.out" ]; then
        echo "retrying $name: Wine started nothing (exit status $status)"
        wine "$runner" "${args[@]}" "${control[@]}" >"$out/$name.out" 2>"$out/$name.err"
        status=$?
    fi
    # The expected transcript with its shared blocks ("@include FILE" lines) written out.
    awk '/^@include /{ while ((getline line < $2) > 0) print line; close($2); next } { print }' \
        "$name.out" >"$out/$name.expected"
    if [ "$status" != "$expected_status" ] || ! cmp -s "$out/$name.out" "$out/$name.expected"; then
        failed=$((failed + 1))
        echo "FAIL $name (exit status $status, expected $expected_status)"
        diff -u "$out/$name.expected" "$out/$name.out" | head -n 40
        head -n 5 "$out/$name.err"
    else
        passed=$((passed + 1))
    fi
done
echo "through COM: $passed passed, $failed failed, $skipped left out"
[ "$failed" -eq 0 ]
