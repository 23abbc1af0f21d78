#!/usr/bin/env bash
# Builds the native libFuzzer drivers (fuzz/native) with AddressSanitizer and
# UndefinedBehaviorSanitizer into build-native/ and runs each target. Exits
# non-zero if any target crashes, fails a check or reports a sanitizer error.
#
#   bash scripts/fuzz-native.sh                  # 10 minutes per target
#   bash scripts/fuzz-native.sh --minutes 60
#   bash scripts/fuzz-native.sh --runs 200000    # a bounded run, for CI
#   options: --seed N (default 1), --target NAME (repeatable)
set -euo pipefail
cd "$(dirname "$0")/.."

minutes=10
runs=""
seed=1
targets=()
while [ $# -gt 0 ]; do
    case "$1" in
    --minutes) minutes="$2"; runs=""; shift 2 ;;
    --runs) runs="$2"; shift 2 ;;
    --seed) seed="$2"; shift 2 ;;
    --target) targets+=("$2"); shift 2 ;;
    *) echo "usage: $0 [--minutes N | --runs N] [--seed N] [--target NAME]..." >&2; exit 2 ;;
    esac
done
[ ${#targets[@]} -gt 0 ] || targets=(rijndael stringcrypt jorvex logbuffer)

# libFuzzer and the sanitizer runtimes are in libclang-rt-14-dev.
scripts/install-deps.sh clang libclang-rt-14-dev nlohmann-json3-dev cmake ninja-build

build=build-native
cmake -S fuzz/native -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build"

if [ -n "$runs" ]; then limit=(-runs="$runs"); else limit=(-max_total_time=$((minutes * 60))); fi
failed=()
for t in "${targets[@]}"; do
    # New inputs go to build-native/corpus; the tree's seeds are only read.
    work="$build/corpus/$t" artifacts="$build/artifacts/$t/" log="$build/logs/$t.log"
    mkdir -p "$work" "$artifacts" "$(dirname "$log")"
    echo "== $t"
    start=$SECONDS
    if "$build/fuzz-$t" "${limit[@]}" -seed="$seed" -max_len=1024 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$artifacts" "$work" "fuzz/native/corpus/$t" >"$log" 2>&1; then
        echo "   ok in $((SECONDS - start)) s: $(grep -m1 -o 'Done [0-9]* runs' "$log" || echo 'done')"
    else
        echo "   FAILED after $((SECONDS - start)) s; log $log, inputs in $artifacts" >&2
        grep -E 'ERROR|check failed|runtime error|SUMMARY' "$log" | head -20 >&2 || true
        failed+=("$t")
    fi
done
if [ ${#failed[@]} -gt 0 ]; then
    echo "Failed: ${failed[*]}" >&2
    exit 1
fi
