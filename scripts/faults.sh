#!/usr/bin/env bash
# Runs the plug-in's fault cases (bench/faults, faults.exe) under Wine in a
# private prefix, <build>/faults-prefix: no ProductPath, a blocked log folder,
# a junk-filled exception key, 5,000 shortcuts, broken shortcut files and a
# folder that cannot be listed. Prints PASS/FAIL/SKIP and the time of each
# case, then "N passed, M failed"; exits non-zero when a case fails.
#   bash scripts/faults.sh                      uses build/
#   bash scripts/faults.sh --build DIR          or TAVREL_BUILD_DIR=DIR
# Builds nothing. Build first: cmake --preset mingw && cmake --build --preset mingw
set -euo pipefail
cd "$(dirname "$0")/.."

build=${TAVREL_BUILD_DIR:-build}
while [ $# -gt 0 ]; do
    case $1 in
        --build) build=${2:?--build needs a folder}; shift 2 ;;
        *) echo "usage: $0 [--build DIR]" >&2; exit 2 ;;
    esac
done
build=$(cd "$build" && pwd)
for file in faults.exe Tavrel.dll Jorvex.dll Quennet.dll; do
    if [ ! -f "$build/bin/$file" ]; then
        echo "$build/bin/$file is missing; build first: cmake --preset mingw && cmake --build --preset mingw" >&2
        exit 2
    fi
done

prefix=$build/faults-prefix
output=$build/faults-output.txt
export WINEPREFIX=$prefix WINEDEBUG=-all
# A crash must end the case's process, not start a debugger that waits.
export WINEDLLOVERRIDES="winemenubuilder.exe=d;winedbg.exe=d"
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT

start=$SECONDS
status=0
# Into a file first: Wine's helper processes may hold a pipe open.
cmake/wine-run.sh "$prefix" "$build/bin/faults.exe" >"$output" 2>&1 </dev/null || status=$?
tr -d '\r' <"$output"
echo "faults.sh: $((SECONDS - start)) s in all"
exit $status
