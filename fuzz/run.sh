#!/usr/bin/env bash
# Fuzzes the built Windows binaries under Wine (fuzz/wine/README.md): hostile
# requests through the real export of Tavrel.dll, stored strings through
# DecryptStringW, % patterns through ExpandPathVariables. Builds nothing:
# build first (cmake --preset mingw && cmake --build --preset mingw).
#
#   bash fuzz/run.sh                  1,000,000 requests, 100,000 strings, 100,000 patterns, seed 1
#   bash fuzz/run.sh --short          20,000 requests, 10,000 strings and patterns with seed 1,
#                                     then the same with the date as seed (printed): the CI share
#   bash fuzz/run.sh --seed N         the full counts with seed N
#   bash fuzz/run.sh --replay FILE    runs the cases of a replay file
#   options: --build DIR (default $TAVREL_BUILD_DIR, else build)
#
# Runs in its own prefix, DIR/fuzz-prefix, with the demo's Start Menu. Failing
# cases go to DIR/fuzz/failures-<target>-<seed>.jsonl; a crash or hang leaves
# the case it was running there too. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${TAVREL_BUILD_DIR:-build}
mode=full seed=1 replay=""
while [ $# -gt 0 ]; do
    case "$1" in
    --short) mode=short; shift ;;
    --seed) seed="$2"; shift 2 ;;
    --replay) mode=replay; replay=$(realpath "$2"); shift 2 ;;
    --build) build="$2"; shift 2 ;;
    *) echo "usage: $0 [--short | --seed N | --replay FILE] [--build DIR]" >&2; exit 2 ;;
    esac
done
build=$(realpath "$build")
bin=$build/bin
for program in fuzz-calls fuzz-units tavrel-demo-setup; do
    if [ ! -f "$bin/$program.exe" ]; then
        echo "$bin/$program.exe is missing: build first (cmake --preset mingw && cmake --build --preset mingw)" >&2
        exit 2
    fi
done

prefix=$build/fuzz-prefix
work=$build/fuzz
mkdir -p "$work"
export WINEPREFIX=$prefix WINEDEBUG=-all
# A crash must end the process with its exception code, not start a debugger.
export WINEDLLOVERRIDES="winemenubuilder.exe=d;winedbg.exe=d"
# No display: no window exists that a stop request could reach.
unset DISPLAY
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT

start=$SECONDS
declare -A sent=([calls]=0 [decrypt]=0 [expand]=0)
failed_runs=() crashes=0 growth=0

# The driver's Windows name for a file here: Wine's Z: drive is the root.
windows_path() { local p=${1//\//\\}; echo "Z:$p"; }

# wine NAME SECONDS PROGRAM ARGS...: into a file first, since Wine's helper
# processes may hold a pipe open.
wine_run() {
    local name=$1 limit=$2
    shift 2
    local status=0
    timeout "$limit" cmake/wine-run.sh "$prefix" "$@" >"$work/$name.txt" 2>&1 </dev/null || status=$?
    tr -d '\r' <"$work/$name.txt"
    return $status
}

# fuzz NAME SEED COUNT PROGRAM [TARGET]
fuzz() {
    local name=$1 seed=$2 count=$3 program=$4
    shift 4
    local failures=$work/failures-$name-$seed.jsonl last=$work/last-$name.jsonl status=0
    # A replayed failures file is kept: its cases are read before any is added.
    [ "$failures" = "$replay" ] || rm -f "$failures"
    local args=(--seed "$seed" --count "$count")
    [ "$mode" = replay ] && args=(--replay "$replay")
    # Generous: the full run of requests takes some ten minutes.
    wine_run "$name-$seed" 3600 "$bin/$program.exe" "$@" "${args[@]}" \
        --failures "$(windows_path "$failures")" --last "$(windows_path "$last")" || status=$?
    sent[$name]=$((sent[$name] + $(grep -o '^[a-z]*: sent [0-9]*' "$work/$name-$seed.txt" | tail -1 | grep -o '[0-9]*$' || echo 0)))
    local g
    g=$(grep -o 'handle growth -\?[0-9]*' "$work/$name-$seed.txt" | tail -1 | grep -o -- '-\?[0-9]*$' || true)
    [ -n "$g" ] && [ "$g" != 0 ] && growth=$((growth + g))
    case $status in
    0) return 0 ;;
    1) echo "   $name: failing cases in $failures" >&2 ;;
    2) echo "   $name: the driver could not run" >&2 ;;
    *)
        [ $status = 124 ] && what="hung (killed after the time limit)" || what="crashed (exit status $status)"
        crashes=$((crashes + 1))
        # The mapped file may end in NUL bytes; the case is its first line.
        tr -d '\000' <"$last" | head -n 1 >>"$failures"
        echo "   $name $what; the case it was running is the last line of $failures:" >&2
        tail -n 1 "$failures" | cut -c1-300 >&2
        ;;
    esac
    failed_runs+=("$name")
}

if [ "$mode" = replay ]; then
    runs=("replay 0 0")
elif [ "$mode" = short ]; then
    daily=$(date +%Y%m%d)
    echo "seeds: 1 and $daily (replay a failure with: bash fuzz/run.sh --replay FILE)"
    runs=("1 20000 10000" "$daily 20000 10000")
else
    runs=("$seed 1000000 100000")
fi

# The demo's Start Menu, so that task 1 has something to list.
wine_run demo-setup 300 "$bin/tavrel-demo-setup.exe" >/dev/null || { echo "demo setup failed" >&2; exit 2; }
for run in "${runs[@]}"; do
    read -r s requests strings <<<"$run"
    echo "== seed $s"
    fuzz calls "$s" "$requests" fuzz-calls
    fuzz decrypt "$s" "$strings" fuzz-units decrypt
    fuzz expand "$s" "$strings" fuzz-units expand
done

echo "== requests sent ${sent[calls]}, stored strings ${sent[decrypt]}, patterns ${sent[expand]};" \
    "crashes or hangs $crashes, JSON handle growth $growth, $((SECONDS - start)) s"
if [ ${#failed_runs[@]} -gt 0 ]; then
    echo "Failed: ${failed_runs[*]}" >&2
    exit 1
fi
