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
export WINEPREFIX=$PWD/$prefix WINEDEBUG=-all WINEDLLOVERRIDES=winemenubuilder.exe=d

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

# Create the prefix once, before the first test, and keep one server for the
# whole run, so that no test starts while a lingering server shuts down.
cmake/wine-run.sh "$WINEPREFIX" cmd /c exit >"$build/wine-first-run.log" 2>&1 </dev/null || true
wineserver -k >/dev/null 2>&1 || true
wineserver -w >/dev/null 2>&1 || true
wineserver -p >/dev/null 2>&1 </dev/null || true
# Wine's helper processes start with the first program; start them here, away
# from ctest's pipes (rundll32 makes a window, so the desktop starts too).
wine rundll32.exe user32.dll,GetDesktopWindow >/dev/null 2>&1 </dev/null || true

# Unless only some tests were asked for: two builds of the commit that must
# give the same release archive, the soak cases once with their bounded
# counts (the run below then leaves them out), the Wine fuzzers, and the
# native sanitizer fuzzers, once with a fixed seed and once with a seed of
# the day (printed, to replay).
if [ $# -eq 0 ]; then
    bash scripts/reproduce.sh
    ctest --preset mingw -L soak --repeat until-pass:2
    set -- -LE soak
    bash fuzz/run.sh --short
    bash scripts/fuzz-native.sh --runs 20000 --seed 1
    bash scripts/fuzz-native.sh --runs 10000 --seed "$(date +%Y%m%d)"
fi

# Wine now and then fails to start a program at all (no output, a few
# milliseconds); such a case gets one more run. A test that fails on its
# own fails twice.
ctest --preset mingw --output-junit test-results.xml --repeat until-pass:2 "$@"
