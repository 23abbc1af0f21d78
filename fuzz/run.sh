#!/usr/bin/env bash
# Fuzzes the built Windows binaries under Wine (fuzz/README.md): hostile
# requests through the real export of Tavrel.dll (fuzz-calls.exe), stored
# strings and % patterns through DecryptStringW and ExpandPathVariables
# (fuzz-units.exe). Builds nothing: build first.
#
#   bash fuzz/run.sh                    the long run: 1,000,000 requests and 200,000 unit cases, seed 1
#   bash fuzz/run.sh --seed S           the long run with seed S
#   bash fuzz/run.sh --short            5,000 requests and 5,000 unit cases with seed 1, then the same
#                                       with the date as seed: what scripts/test.sh runs
#   bash fuzz/run.sh --seed S --case N  case N of seed S in both drivers: a failure's replay
#   options: --build DIR (default $TAVREL_BUILD_DIR, else build)
#
# Runs in its own prefix, DIR/fuzz-prefix, with the demo's Start Menu. A
# failing case, a crash and a hang (a case running for a minute) print their
# seed and case; the drivers' output is in DIR/fuzz/. Exits non-zero on any.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${TAVREL_BUILD_DIR:-build}
seeds=(1) requests=1000000 units=200000 only=()
while [ $# -gt 0 ]; do
    case "$1" in
    --short) seeds=(1 "$(date +%Y%m%d)") requests=5000 units=5000; shift ;;
    --seed) seeds=("$2"); shift 2 ;;
    --case) only=(--case "$2"); shift 2 ;;
    --build) build="$2"; shift 2 ;;
    *) echo "usage: $0 [--short | --seed S [--case N]] [--build DIR]" >&2; exit 2 ;;
    esac
done
build=$(realpath "$build")
for program in fuzz-calls fuzz-units tavrel-demo-setup; do
    if [ ! -f "$build/bin/$program.exe" ]; then
        echo "$build/bin/$program.exe is missing: build first" \
            "(cmake --build --preset mingw --target fuzz-calls fuzz-units tavrel-demo-setup)" >&2
        exit 2
    fi
done

prefix=$build/fuzz-prefix out=$build/fuzz
mkdir -p "$out"
export WINEPREFIX=$prefix WINEDEBUG=-all
# A crash must end the process with its exception code, not start a debugger.
export WINEDLLOVERRIDES="winemenubuilder.exe=d;winedbg.exe=d"
# No display: no window exists that a stop request could reach.
unset DISPLAY
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT

# Into a file first: Wine's helper processes may hold a pipe open. The time
# limit only backs up the drivers' own: a case that runs for a minute.
wine_run() {
    local log=$out/$1.txt status=0
    shift
    timeout 10800 cmake/wine-run.sh "$prefix" "$@" >"$log" 2>&1 </dev/null || status=$?
    tr -d '\r' <"$log"
    return $status
}

start=$SECONDS failed=()
# The demo's Start Menu, so that task 1 has something to list.
wine_run demo-setup "$build/bin/tavrel-demo-setup.exe" >/dev/null || { echo "demo setup failed" >&2; exit 2; }
for seed in "${seeds[@]}"; do
    wine_run "calls-$seed" "$build/bin/fuzz-calls.exe" --seed "$seed" --count "$requests" "${only[@]}" ||
        failed+=("calls seed $seed")
    wine_run "units-$seed" "$build/bin/fuzz-units.exe" --seed "$seed" --count "$units" "${only[@]}" ||
        failed+=("units seed $seed")
done
echo "== Wine fuzzing: $((SECONDS - start)) s"
if [ ${#failed[@]} -gt 0 ]; then
    printf 'Failed: %s\n' "${failed[@]}" >&2
    exit 1
fi
