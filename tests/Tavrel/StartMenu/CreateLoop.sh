#!/usr/bin/env bash
# Makes C:\tavrel-loop\Menu\Games\Back a link back up to Menu, in the test
# prefix: upstream Wine has no junctions, and a Unix link to a folder is what
# it shows as one.
set -euo pipefail
prefix=$1 runner=$2
"$runner" "$prefix" cmd /c exit >/dev/null 2>&1 </dev/null
menu=$prefix/drive_c/tavrel-loop/Menu
mkdir -p "$menu/Games"
ln -sfn .. "$menu/Games/Back"
