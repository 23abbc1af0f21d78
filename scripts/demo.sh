#!/usr/bin/env bash
# The main job: builds everything, then runs the plug-in through tavrel-host
# in a private Wine prefix (build/demo-prefix) and prints what it answers.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset mingw >/dev/null
cmake --build --preset mingw

prefix=$PWD/build/demo-prefix
export WINEPREFIX=$prefix WINEDEBUG=-all
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT

host() {
    # Wine's output goes to a file first: its helper processes may keep a pipe open.
    cmake/wine-run.sh "$prefix" build/bin/tavrel-host.exe "$@" >build/demo-output.txt 2>&1 || {
        tr -d '\r' <build/demo-output.txt
        return 1
    }
    tr -d '\r' <build/demo-output.txt
}

host --version
echo
echo "Applications of the current user's Start Menu:"
host call '{"TaskID":1}'
