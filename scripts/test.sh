#!/usr/bin/env bash
# Sets up, builds everything and runs every test: native, under the sanitizers, and the Windows
# build and its release packages under Wine on a virtual display, then a second Windows build
# at another path that must give the same bytes, and the fuzz targets for 20 s each. `--quick`
# skips the sanitizer build, the second build, the fuzzing, and the long and huge (beyond 4 GiB)
# tests.
set -euo pipefail
cd "$(dirname "$0")/.."

quick=0
[ "${1:-}" = "--quick" ] && quick=1

summary=()
failed_runs=0
timings=()
phase_start=$SECONDS
# phase_done NAME: records how long the step since the previous one took.
phase_done() {
    timings+=("$1: $((SECONDS - phase_start)) s")
    phase_start=$SECONDS
}

scripts/setup.sh
phase_done setup

# Layout first: a C++ file that clang-format would change fails the run before anything builds.
echo "== clang-format =="
if ! find . \( -path ./build -o -path ./out -o -path ./.git \) -prune -o \( -name '*.h' -o -name '*.cpp' \) -print0 |
    xargs -0 clang-format --dry-run -Werror; then
    echo "clang-format: the lines above are not laid out as .clang-format says; run clang-format -i on those files" >&2
    exit 1
fi
phase_done "clang-format"

# run_counted NAME LOG COMMAND...: runs COMMAND, keeping its output in LOG, and records its
# closing ctest-style count line in the summary; a failure or a missing count fails the run.
run_counted() {
    local name=$1 log=$2
    shift 2
    set +e
    "$@" 2>&1 | tee "$log"
    local status=${PIPESTATUS[0]}
    set -e
    local line
    line=$(grep -E "tests passed, [0-9]+ tests? failed out of [0-9]+" "$log" | tail -n 1 || true)
    summary+=("$name: ${line:-nothing ran}")
    if [ "$status" -ne 0 ] || [ -z "$line" ]; then
        failed_runs=$((failed_runs + 1))
    fi
}

# run_ctest NAME BUILD_DIR [ctest args...]
run_ctest() {
    local name=$1 dir=$2
    shift 2
    echo "== $name tests =="
    run_counted "$name" "$dir/ctest.log" ctest --test-dir "$dir" --output-on-failure -j2 "$@"
}

echo "== Native build =="
cmake --preset native >/dev/null
cmake --build --preset native
phase_done "native build"
if [ $quick -eq 1 ]; then
    run_ctest native build/native -LE 'long|huge'
else
    run_ctest native build/native
fi
phase_done "native tests"

if [ $quick -eq 0 ]; then
    echo "== Sanitizer build =="
    cmake --preset asan >/dev/null
    cmake --build --preset asan
    phase_done "sanitizer build"
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        run_ctest sanitizers build/asan -LE 'long|huge'
    phase_done "sanitizer tests"
fi

echo "== Windows build =="
cmake --preset windows >/dev/null
cmake --build --preset windows
phase_done "Windows build"
scripts/package.sh
phase_done "packages"
. scripts/wine-env.sh build/windows
wine_prepare_prefix
wine_start_display
wine_start_server
trap wine_stop_display EXIT
if [ $quick -eq 1 ]; then
    run_ctest windows build/windows -LE 'huge|rebuild'
else
    run_ctest windows build/windows -LE rebuild
fi
wine_stop_display
trap - EXIT
phase_done "Windows tests"

if [ $quick -eq 0 ]; then
    echo "== Second Windows build, compared byte for byte =="
    run_counted reproducible build/windows/ctest-rebuild.log \
        ctest --test-dir build/windows --output-on-failure -L rebuild
    phase_done "second Windows build (reproducible)"
fi

# run_fuzz SECONDS: every fuzz target for SECONDS each; each target counts as one test.
run_fuzz() {
    run_counted fuzz build/fuzz-run.log fuzz/run.sh "$1"
}
if [ $quick -eq 0 ]; then
    run_fuzz 20
    phase_done "fuzzing (build and runs)"
fi

echo
echo "== Time taken =="
printf '%s\n' "${timings[@]}"
echo
echo "== Summary =="
total_passed=0
total_failed=0
for line in "${summary[@]}"; do
    echo "$line"
    if [[ $line =~ ([0-9]+)\ tests?\ failed\ out\ of\ ([0-9]+) ]]; then
        total_failed=$((total_failed + BASH_REMATCH[1]))
        total_passed=$((total_passed + BASH_REMATCH[2] - BASH_REMATCH[1]))
    fi
done
echo "total: $total_passed passed, $total_failed failed"
[ $failed_runs -eq 0 ]
