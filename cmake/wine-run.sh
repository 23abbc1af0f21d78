#!/usr/bin/env bash
# Runs one Windows program under Wine in the build's private prefix.
# Usage: wine-run.sh PREFIX PROGRAM [ARGS...]
# The prefix is created on first use, under a lock so that parallel callers
# wait for one wineboot instead of racing.
set -euo pipefail
prefix=$1; shift
export WINEPREFIX=$prefix
export WINEDEBUG=${WINEDEBUG:--all}
# Saving shell links would start winemenubuilder; it is of no use here.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-winemenubuilder.exe=d}
if [ ! -f "$prefix/system.reg" ]; then
    mkdir -p "$(dirname "$prefix")"
    (
        flock 9
        if [ ! -f "$prefix/system.reg" ]; then
            wineboot -i >"$prefix.boot.log" 2>&1 </dev/null
            wineserver -w
        fi
    ) 9>"$prefix.lock"
fi
# A server started by the program itself would inherit its output streams
# and keep the caller's pipes open; start a lingering one detached instead.
# It refuses to start when one is already running for the prefix.
wineserver -p30 >/dev/null 2>&1 </dev/null || true
exec wine "$@"
