#!/usr/bin/env bash
# Builds the fuzz targets (the `fuzz` preset: clang's libFuzzer with AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each for SECONDS (default 60), starting from its seed
# corpus in fuzz/corpus/<target>/. Inputs the fuzzer finds go to a fresh scratch directory in the
# build tree; the committed corpus grows only with --grow-corpus (a libFuzzer merge, which keeps
# just the inputs that add coverage).
#
# Usage: fuzz/run.sh [--grow-corpus] [SECONDS] [TARGET...]
# ORVENDAL_FUZZ_BUILD_DIR (default build/fuzz) is the build directory; ORVENDAL_FUZZ_JOBS
# (default 2) how many targets run at once. Ends with a ctest-style count line; the exit status
# is non-zero when any target found a fault. A finding is saved as
# <build>/fuzz-run/artifacts/<target>-crash-...; replay it with `<build>/fuzz/<target> FILE`.
set -euo pipefail
cd "$(dirname "$0")/.."

grow=0
if [ "${1:-}" = "--grow-corpus" ]; then
    grow=1
    shift
fi
seconds=${1:-60}
[ $# -gt 0 ] && shift
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    targets=(fuzz_calculate_command fuzz_settings fuzz_cli_arguments fuzz_digest_objects fuzz_sum_file)
fi
build=${ORVENDAL_FUZZ_BUILD_DIR:-build/fuzz}
jobs=${ORVENDAL_FUZZ_JOBS:-2}

scripts/setup.sh
echo "== Fuzz build ($build) =="
cmake --preset fuzz -B "$build" >/dev/null
cmake --build "$build" --target "${targets[@]}"

work="$build/fuzz-run"
rm -rf "$work"
mkdir -p "$work/artifacts" "$work/tmp"
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}
# The calculate target's scratch file lands here, not in the system's temporary directory.
TMPDIR=$(cd "$work/tmp" && pwd)
export TMPDIR

# One target: new inputs into its scratch directory, the committed corpus read alongside.
run_target() {
    local target=$1
    local options=()
    # Digests get longer inputs: past Adler-32's 5552-byte reduction interval and through the
    # fast paths' large-block loops.
    if [ "$target" = fuzz_digest_objects ]; then
        options=(-max_len=16384)
    fi
    mkdir -p "$work/corpus/$target"
    "$build/fuzz/$target" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 -print_final_stats=1 \
        "${options[@]}" -artifact_prefix="$work/artifacts/$target-" "$work/corpus/$target" \
        "fuzz/corpus/$target" >"$work/$target.log" 2>&1
}

echo "== Fuzzing: ${#targets[@]} targets, $seconds s each, $jobs at a time =="
declare -A pids=()
statuses=()
for target in "${targets[@]}"; do
    while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do
        sleep 1
    done
    run_target "$target" &
    pids[$target]=$!
done

passed=0
failed=0
for target in "${targets[@]}"; do
    set +e
    wait "${pids[$target]}"
    status=$?
    set -e
    runs=$(grep -Eo 'stat::number_of_executed_units: [0-9]+' "$work/$target.log" | grep -Eo '[0-9]+$' || true)
    if [ "$status" -eq 0 ]; then
        passed=$((passed + 1))
        echo "$target: passed, ${runs:-?} inputs in $seconds s"
    else
        failed=$((failed + 1))
        echo "$target: FAILED (status $status); the end of its log ($work/$target.log):"
        tail -n 40 "$work/$target.log"
    fi
    if [ $grow -eq 1 ]; then
        "$build/fuzz/$target" -merge=1 "fuzz/corpus/$target" "$work/corpus/$target" >>"$work/$target.log" 2>&1
        echo "$target: committed corpus now $(find "fuzz/corpus/$target" -type f | wc -l) inputs"
    fi
done

total=$((passed + failed))
echo "$((100 * passed / total))% tests passed, $failed tests failed out of $total"
[ $failed -eq 0 ]
