#!/usr/bin/env bash
# Builds the native libFuzzer targets (fuzz/native) with AddressSanitizer and
# UndefinedBehaviorSanitizer into build-native/ and runs each. Exits non-zero
# if any target crashes, fails a check or reports a sanitizer error.
#
#   bash scripts/fuzz-native.sh                  # the long run: 10 minutes per target
#   bash scripts/fuzz-native.sh --minutes 60
#   bash scripts/fuzz-native.sh --runs 20000     # a bounded run (scripts/test.sh)
#   options: --seed N (default 1), --target rijndael|stringcrypt (repeatable)
set -euo pipefail
cd "$(dirname "$0")/.."

limit=(-max_total_time=600) seed=1 targets=()
while [ $# -gt 0 ]; do
    case "$1" in
    --minutes) limit=(-max_total_time=$(($2 * 60))); shift 2 ;;
    --runs) limit=(-runs="$2"); shift 2 ;;
    --seed) seed="$2"; shift 2 ;;
    --target) targets+=("$2"); shift 2 ;;
    *) echo "usage: $0 [--minutes N | --runs N] [--seed N] [--target NAME]..." >&2; exit 2 ;;
    esac
done
[ ${#targets[@]} -gt 0 ] || targets=(rijndael stringcrypt)

# libFuzzer and the sanitizer runtimes are in libclang-rt-14-dev.
scripts/install-deps.sh clang libclang-rt-14-dev cmake ninja-build

build=build-native
cmake -S fuzz/native -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ >/dev/null
nice cmake --build "$build" >/dev/null

failed=()
for t in "${targets[@]}"; do
    # New inputs go to build-native/corpus; the seeds beside the target are only read.
    work="$build/corpus/$t" artifacts="$build/artifacts/$t/" log="$build/logs/$t.log"
    mkdir -p "$work" "$artifacts" "$(dirname "$log")"
    start=$SECONDS
    if "$build/fuzz-$t" "${limit[@]}" -seed="$seed" -max_len=1024 -print_final_stats=1 \
        -artifact_prefix="$artifacts" "$work" "fuzz/native/$t/seeds" >"$log" 2>&1; then
        echo "== $t, seed $seed: ok in $((SECONDS - start)) s, $(grep -m1 -o 'Done [0-9]* runs' "$log" || echo done)"
    else
        echo "== $t, seed $seed: FAILED after $((SECONDS - start)) s; log $log, input in $artifacts" >&2
        grep -E 'ERROR|runtime error|SUMMARY|deadly signal' "$log" | head -20 >&2 || true
        failed+=("$t")
    fi
done
if [ ${#failed[@]} -gt 0 ]; then
    echo "Failed: ${failed[*]}" >&2
    exit 1
fi
