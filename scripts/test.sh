#!/usr/bin/env bash
# Builds everything and runs the whole test suite under Wine (and Xvfb, for
# the tests that need real windows). Exits non-zero when anything fails.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset mingw >/dev/null
cmake --build --preset mingw

build=build
prefix=$build/wineprefix
export WINEPREFIX=$PWD/$prefix WINEDEBUG=-all

# A private X display: windows exist in Wine only with a display.
display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >"$build/xvfb.log" 2>&1 &
xvfb_pid=$!
export DISPLAY=$display

cleanup() {
    wineserver -k >/dev/null 2>&1 || true
    kill "$xvfb_pid" >/dev/null 2>&1 || true
}
trap cleanup EXIT

# Create the prefix once, before the first test.
cmake/wine-run.sh "$WINEPREFIX" cmd /c exit >"$build/wine-first-run.log" 2>&1 </dev/null || true

ctest --preset mingw --output-junit test-results.xml "$@"
