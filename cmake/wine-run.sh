#!/usr/bin/env bash
# Runs one Windows program under Wine in the build's private prefix.
# Usage: wine-run.sh PREFIX PROGRAM [ARGS...]
set -euo pipefail
prefix=$1; shift
export WINEPREFIX=$prefix
export WINEDEBUG=${WINEDEBUG:--all}
# Saving shell links would start winemenubuilder; it is of no use here.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-winemenubuilder.exe=d}
mkdir -p "$(dirname "$prefix")"
(
    # One caller at a time prepares the prefix; the others wait here. Nothing
    # started here may inherit the lock (9>&-), or it would be held as long
    # as the server lingers.
    flock 9
    if [ ! -f "$prefix/system.reg" ]; then
        wineboot -i >"$prefix.boot.log" 2>&1 </dev/null 9>&-
        wineserver -w 9>&-
    fi
    # Wine's helper processes (services.exe, winedevice.exe, ...) inherit the
    # output streams of the program that starts the server and would hold the
    # caller's pipes open until the server ends. So when no server runs, start
    # a lingering one detached and let a throw-away program start the helpers.
    if wineserver -p30 >/dev/null 2>&1 </dev/null 9>&-; then
        # rundll32 makes a window, so the desktop process starts here too.
        wine rundll32.exe user32.dll,GetDesktopWindow >/dev/null 2>&1 </dev/null 9>&- || true
    fi
) 9>"$prefix.lock"
exec wine "$@"
