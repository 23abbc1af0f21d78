#!/usr/bin/env bash
# Soaks the built plug-in under Wine in its own prefix (build/soak-prefix,
# with the demo's Start Menu): many calls in one load, load/unload rounds,
# four threads at once, and short-lived threads. Exits non-zero when anything
# the process holds grows past its margin or a threaded answer differs.
#   bash scripts/soak.sh           10,000 calls, 300 rounds, 4 threads for 60 s, 3,000 threads
#   bash scripts/soak.sh --short   1,000 calls, 100 rounds, 4 threads for 10 s, 1,000 threads (CI)
# Build first: cmake --preset mingw && cmake --build --preset mingw
set -euo pipefail
cd "$(dirname "$0")/.."
calls=10000 cycles=300 seconds=60 churn=3000
if [ "${1:-}" = "--short" ]; then calls=1000 cycles=100 seconds=10 churn=1000; fi

prefix=$PWD/build/soak-prefix
export WINEPREFIX=$prefix WINEDEBUG=-all
# A crash must end the process, not start a debugger that waits.
export WINEDLLOVERRIDES="winemenubuilder.exe=d;winedbg.exe=d"
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT

run() {
    # Into a file first: Wine's helper processes may hold a pipe open.
    local status=0
    cmake/wine-run.sh "$prefix" "$@" >build/soak-output.txt 2>&1 </dev/null || status=$?
    tr -d '\r' <build/soak-output.txt
    return $status
}

run build/bin/tavrel-demo-setup.exe
echo "== $calls calls of each task in one load"
run build/bin/soak.exe calls "$calls"
echo "== $cycles rounds of load, task 1, task 0, unload"
run build/bin/soak.exe cycles "$cycles"
echo "== 4 threads for $seconds s"
run build/bin/soak.exe threads 4 "$seconds"
echo "== $churn short-lived threads, each listing once (no exception key)"
run build/bin/soak.exe churn "$churn"
