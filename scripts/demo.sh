#!/usr/bin/env bash
# The main job: builds everything, prepares a demo in a private Wine prefix
# (build/demo-prefix: a product folder, a few applications, Start Menu
# shortcuts, an exception folder) and lists its Start Menu applications
# through the plug-in, as the suite's host would. Running it again gives the
# same result.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset mingw >/dev/null
cmake --build --preset mingw --target Tavrel tavrel-host tavrel-demo-setup

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

# A product folder, applications, Start Menu shortcuts and an exception folder.
cmake/wine-run.sh "$prefix" build/bin/tavrel-demo-setup.exe >build/demo-output.txt 2>&1 || {
    tr -d '\r' <build/demo-output.txt
    exit 1
}
# "demo ready: <the demo's Start Menu folder>"
demo_menu=$(sed -n 's/^demo ready: //p' build/demo-output.txt | tr -d '\r')

host --version
host product-path
host exceptions list
echo
echo "Applications of the current user's Start Menu, as the plug-in lists them:"
host list
echo
echo "Why is Notepad not listed?"
host explain "$demo_menu\\Notepad.lnk"
