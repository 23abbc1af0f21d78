#!/usr/bin/env bash
# Runs every benchmark under Wine (with a private Xvfb for the window walks)
# and prints the figures. Build first: cmake --preset mingw && cmake --build --preset mingw
set -euo pipefail
cd "$(dirname "$0")/.."
bin=build/bin
prefix=$PWD/build/wineprefix
export WINEPREFIX=$prefix WINEDEBUG=-all
display=:$((190 + RANDOM % 50))
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >build/bench-xvfb.log 2>&1 &
xvfb_pid=$!
export DISPLAY=$display
trap 'wineserver -k >/dev/null 2>&1 || true; kill $xvfb_pid >/dev/null 2>&1 || true' EXIT
sleep 1

run() {
    # Into a file first: Wine's helper processes may hold a pipe open.
    cmake/wine-run.sh "$prefix" "$@" >build/bench-output.txt 2>&1 || true
    tr -d '\r' <build/bench-output.txt
}

echo "== trace and dispatch"
for mode in no-service level-0 level-2; do run "$bin/trace-bench.exe" "$mode"; done
echo "== task 0"
run "$bin/stop-bench.exe"
echo "== common library"
run "$bin/common-bench.exe"
run "$bin/registry-bench.exe"
echo "== task 1"
run "$bin/list-bench.exe"
echo "== cipher against OpenSSL"
bash bench/cipher/run.sh build
