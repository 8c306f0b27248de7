#!/usr/bin/env bash
# Builds and runs the benchmarks, then compares whole processes:
#  1. orvendal-bench: MB/s of every algorithm, HMAC and one-pass combinations beside OpenSSL,
#     Crypto++, RHash and zlib, then the ratio table. Arguments replace its default options, e.g.
#     bench/run.sh --benchmark_filter='^(MD5|SHA1)/'
#  2. orvendal-cli (one thread, and parallel) against rhash with the same four algorithms on a 1 GiB
#     file in the page cache, alternating runs, the median ratio of throughputs; orvendal-cli -a crc32
#     against dd bs=256K (reading alone) the same way; then orvendal-cli's peak resident memory.
#  3. Many files: 5,000 files of 100 B to 300 KB (320 MB, made from a fixed seed, in the page
#     cache), SHA-256: orvendal-cli -r (one thread, and files at once) against rhash -r and
#     sha256sum over the same list, orvendal-cli -c against sha256sum -c, alternating runs, the
#     median ratios; then 100,000 small files: the time per file and the peak resident memory.
#  4. The dialog under Wine (the Windows build, driven by tests/e2e/dialog_digests): Calculate with
#     the default four algorithms on the same file, parallel against the same program held to one
#     core, alternating runs, the median ratio of their times.
# Only ratios taken within one run mean anything on a shared machine.
# Environment: ORVENDAL_BENCH_RUNS runs of each program (default 5); ORVENDAL_BENCH_SKIP_LIBRARY=1
# skips part 1, ORVENDAL_BENCH_SKIP_FILE=1 parts 2 and 4, ORVENDAL_BENCH_SKIP_MANY=1 part 3,
# ORVENDAL_BENCH_SKIP_DIALOG=1 part 4; ORVENDAL_BUILD_DIR builds there instead of the native
# preset's directory.
set -euo pipefail
cd "$(dirname "$0")/.."

runs=${ORVENDAL_BENCH_RUNS:-5}
algorithms=md5,sha1,ripemd160,crc32
rhash_options=(--md5 --sha1 --ripemd160 --crc32)

scripts/setup.sh

if [ -n "${ORVENDAL_BUILD_DIR:-}" ]; then
    build=$ORVENDAL_BUILD_DIR
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
else
    build=build/native
    cmake --preset native >/dev/null
fi
cmake --build "$build" --target orvendal-bench orvendal-cli

# Without options: three repetitions in random order, so that a neighbour's load spreads over
# ours and the anchors alike; the table uses the medians.
bench_options=("$@")
if [ $# -eq 0 ]; then
    bench_options=(--benchmark_repetitions=3 --benchmark_enable_random_interleaving=true
        --benchmark_report_aggregates_only=true)
fi
if [ "${ORVENDAL_BENCH_SKIP_LIBRARY:-0}" != 1 ]; then
    echo
    echo "== orvendal-bench (CPU time; 64 MiB in 8192-byte updates) =="
    "$build/bench/orvendal-bench" "${bench_options[@]}"
fi

cli="$PWD/$build/cli/orvendal-cli"
[[ $build = /* ]] && cli="$build/cli/orvendal-cli"

# "WALL CPU": wall-clock and CPU (user + system) seconds of one run. Its output is discarded (and
# so is a progress line on a terminal); its errors are shown if it fails.
times_file=$(mktemp)
errors=$(mktemp)
trap 'rm -f "$times_file" "$errors"' EXIT
timed() {
    local start=$EPOCHREALTIME
    if ! /usr/bin/time -f '%U %S' -o "$times_file" "$@" >/dev/null 2>"$errors"; then
        echo "failed: $*" >&2
        cat "$errors" >&2
        return 1
    fi
    local end=$EPOCHREALTIME
    awk -v a="$start" -v b="$end" '{ printf "%.6f %.2f", b - a, $1 + $2 }' "$times_file"
}
median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", b / a }'; }
median_of() { printf '%s\n' "$@" | median; }
peak_kib() { /usr/bin/time -v "$@" 2>&1 >/dev/null | awk -F': ' '/Maximum resident set size/ { print $2 }'; }

# Both programs must compute the same four digests, or the timing compares different work.
digests() { { grep -oiE '\b[0-9a-f]{8}([0-9a-f]{24}([0-9a-f]{8})?)?\b' || true; } | tr 'A-F' 'a-f' | sort | tr '\n' ' '; }

data=build/bench-data/1GiB.bin
size=$((1 << 30))
mbps() { awk -v s="$1" -v n=$size 'BEGIN { printf "%.1f", n / s / 1e6 }'; }

if [ "${ORVENDAL_BENCH_SKIP_FILE:-0}" != 1 ]; then
echo
echo "== orvendal-cli against rhash: -a $algorithms on a 1 GiB file in the page cache =="

# Created once and kept for later runs (build/ is not tracked); random bytes, so nothing is sparse.
if [ ! -f "$data" ] || [ "$(stat -c %s "$data")" -ne $size ]; then
    mkdir -p "$(dirname "$data")"
    echo "Creating $data"
    head -c $size /dev/urandom >"$data.tmp"
    mv "$data.tmp" "$data"
fi
cat "$data" >/dev/null
if command -v fincore >/dev/null; then
    echo "In the page cache: $(fincore --noheadings --bytes --output RES "$data" | tr -d ' ') of $size bytes"
fi

ours=$("$cli" -a "$algorithms" "$data" | digests)
theirs=$(rhash "${rhash_options[@]}" "$data" | digests)
if [ "$ours" != "$theirs" ]; then
    echo "orvendal-cli and rhash disagree on $data:"
    echo "  orvendal-cli: $ours"
    echo "  rhash:        $theirs"
    exit 1
fi

# Wall-clock time is what a user waits for; CPU time is steadier while others share the machine.
# orvendal-cli runs twice per round: on one thread and with its default parallel feeding.
read_walls=() rhash_walls=() single_walls=() parallel_walls=()
single_ratios=() single_cpu_ratios=() parallel_ratios=()
for ((i = 1; i <= runs; i++)); do
    result=$(timed dd if="$data" of=/dev/null bs=8k status=none)
    read_walls+=("${result% *}")
    result=$(timed rhash "${rhash_options[@]}" "$data")
    read -r rhash_wall rhash_cpu <<<"$result"
    result=$(timed "$cli" --single-thread -a "$algorithms" "$data")
    read -r single_wall single_cpu <<<"$result"
    result=$(timed "$cli" -a "$algorithms" "$data")
    read -r parallel_wall _ <<<"$result"
    rhash_walls+=("$rhash_wall")
    single_walls+=("$single_wall")
    parallel_walls+=("$parallel_wall")
    single_ratios+=("$(ratio "$single_wall" "$rhash_wall")")
    single_cpu_ratios+=("$(ratio "$single_cpu" "$rhash_cpu")")
    parallel_ratios+=("$(ratio "$parallel_wall" "$rhash_wall")")
    printf 'run %d: rhash %s MB/s; orvendal-cli one thread %s MB/s (ratio %s, by CPU time %s), parallel %s MB/s (ratio %s)\n' \
        "$i" "$(mbps "$rhash_wall")" "$(mbps "$single_wall")" "${single_ratios[-1]}" "${single_cpu_ratios[-1]}" \
        "$(mbps "$parallel_wall")" "${parallel_ratios[-1]}"
done
printf 'reading alone (dd, 8 KiB blocks): %s MB/s median\n' "$(mbps "$(median_of "${read_walls[@]}")")"
printf 'medians: rhash %s MB/s; orvendal-cli one thread %s MB/s, parallel %s MB/s\n' \
    "$(mbps "$(median_of "${rhash_walls[@]}")")" "$(mbps "$(median_of "${single_walls[@]}")")" \
    "$(mbps "$(median_of "${parallel_walls[@]}")")"
printf 'orvendal-cli --single-thread / rhash, median of %d rounds: %s (by CPU time %s); target: at least 1.15\n' \
    "$runs" "$(median_of "${single_ratios[@]}")" "$(median_of "${single_cpu_ratios[@]}")"
printf 'orvendal-cli (parallel) / rhash, median of %d rounds: %s; target: at least 1.8\n' \
    "$runs" "$(median_of "${parallel_ratios[@]}")"

echo
echo "== orvendal-cli -a crc32 against dd bs=256K (reading alone) on the same file =="
dd_walls=() crc_single_ratios=() crc_parallel_ratios=()
for ((i = 1; i <= runs; i++)); do
    result=$(timed dd if="$data" of=/dev/null bs=256K status=none)
    dd_wall=${result% *}
    result=$(timed "$cli" --single-thread -a crc32 "$data")
    crc_single_wall=${result% *}
    result=$(timed "$cli" -a crc32 "$data")
    crc_parallel_wall=${result% *}
    dd_walls+=("$dd_wall")
    crc_single_ratios+=("$(ratio "$crc_single_wall" "$dd_wall")")
    crc_parallel_ratios+=("$(ratio "$crc_parallel_wall" "$dd_wall")")
    printf 'run %d: dd %s MB/s; orvendal-cli -a crc32 one thread %s MB/s (ratio %s), parallel %s MB/s (ratio %s)\n' \
        "$i" "$(mbps "$dd_wall")" "$(mbps "$crc_single_wall")" "${crc_single_ratios[-1]}" \
        "$(mbps "$crc_parallel_wall")" "${crc_parallel_ratios[-1]}"
done
printf 'orvendal-cli -a crc32 / dd bs=256K, median of %d rounds: one thread %s, parallel %s; target: at least 0.8\n' \
    "$runs" "$(median_of "${crc_single_ratios[@]}")" "$(median_of "${crc_parallel_ratios[@]}")"

echo
echo "== Peak resident memory on the 1 GiB file (target: under 16 MiB) =="
printf 'orvendal-cli -a %s: %s KiB\n' "$algorithms" "$(peak_kib "$cli" -a "$algorithms" "$data")"
printf 'rhash %s: %s KiB\n' "${rhash_options[*]}" "$(peak_kib rhash "${rhash_options[@]}" "$data")"
fi

if [ "${ORVENDAL_BENCH_SKIP_MANY:-0}" != 1 ]; then
# Files of random bytes from a fixed seed, in FOLDERS subfolders: the size of each is SMALLEST +
# (LARGEST - SMALLEST) x u^POWER for u uniform in [0, 1). The 5,000: 100 B to 300 KB with POWER
# 3.7, so most are small (the median about 8 KB, the mean 64 KB), in 50 folders. Made once, kept.
make_files() {  # FOLDER COUNT FOLDERS SMALLEST LARGEST POWER
    python3 - "$@" <<'MAKE'
import os, random, sys
folder, count, folders, smallest, largest = sys.argv[1], *map(int, sys.argv[2:6])
power = float(sys.argv[6])
rng = random.Random(23)
for i in range(count):
    subfolder = os.path.join(folder, "d%03d" % (i % folders))
    os.makedirs(subfolder, exist_ok=True)
    size = smallest + int((largest - smallest) * rng.random() ** power)
    with open(os.path.join(subfolder, "f%06d.bin" % i), "wb") as f:
        f.write(rng.randbytes(size))
MAKE
}
made() {  # FOLDER COUNT FOLDERS SMALLEST LARGEST POWER: the folder made with these, or made again
    local folder=$1 mark="$1.made"
    if [ ! -f "$mark" ] || [ "$(cat "$mark")" != "${*:2}" ]; then
        echo "Creating $folder"
        rm -rf "$folder" "$mark"
        make_files "$@"
        echo "${*:2}" >"$mark"
    fi
}
cd build/bench-data
made many-files 5000 50 100 300000 3.7
made many-100k 100000 1 1 100 1  # all in one folder: the longest list a folder can give
find many-files many-100k -type f -exec cat {} + >/dev/null  # into the page cache

echo
echo "== Many files: 5,000 files, $(du -sb many-files | cut -f1) bytes in the page cache, SHA-256 =="
# The same lines, byte for byte, on one thread and with files at once, and from sha256sum over
# the list they give; rhash -r gives the same lines in the order it finds the files.
many_ours=$("$cli" --single-thread -r -a sha256 --untagged many-files)
if [ "$many_ours" != "$("$cli" -r -a sha256 --untagged many-files)" ]; then
    echo "orvendal-cli -r gives other lines with files at once than on one thread"
    exit 1
fi
list=$(mktemp)
trap 'rm -f "$times_file" "$errors" "$list"' EXIT
cut -c67- <<<"$many_ours" >"$list"
if [ "$many_ours" != "$(xargs -a "$list" -d '\n' sha256sum --)" ] ||
    [ "$(sort <<<"$many_ours")" != "$(rhash -r --sha256 many-files | sort)" ]; then
    echo "orvendal-cli -r, sha256sum and rhash -r disagree on many-files"
    exit 1
fi
echo "$many_ours" >many-files.sha256  # beside the folder: not in what -r reads

rhash_walls=() sum_walls=() check_walls=() r_single_ratios=() r_parallel_ratios=() r_sum_ratios=()
c_ratios=() c_single_ratios=()
for ((i = 1; i <= runs; i++)); do
    rhash_wall=$(timed rhash -r --sha256 many-files)
    rhash_wall=${rhash_wall% *}
    single_wall=$(timed "$cli" --single-thread -r -a sha256 --untagged many-files)
    single_wall=${single_wall% *}
    parallel_wall=$(timed "$cli" -r -a sha256 --untagged many-files)
    parallel_wall=${parallel_wall% *}
    sum_wall=$(timed xargs -a "$list" -d '\n' sha256sum --)
    sum_wall=${sum_wall% *}
    check_wall=$(timed sha256sum -c many-files.sha256)
    check_wall=${check_wall% *}
    c_single_wall=$(timed "$cli" --single-thread -c many-files.sha256)
    c_single_wall=${c_single_wall% *}
    c_wall=$(timed "$cli" -c many-files.sha256)
    c_wall=${c_wall% *}
    rhash_walls+=("$rhash_wall") sum_walls+=("$sum_wall") check_walls+=("$check_wall")
    r_single_ratios+=("$(ratio "$single_wall" "$rhash_wall")")
    r_parallel_ratios+=("$(ratio "$parallel_wall" "$rhash_wall")")
    r_sum_ratios+=("$(ratio "$parallel_wall" "$sum_wall")")
    c_single_ratios+=("$(ratio "$c_single_wall" "$check_wall")")
    c_ratios+=("$(ratio "$c_wall" "$check_wall")")
    printf 'run %d: rhash -r %.3f s, sha256sum %.3f s; orvendal-cli -r one thread %.3f s (ratio %s), at once %.3f s (ratio %s); sha256sum -c %.3f s, orvendal-cli -c one thread %.3f s (ratio %s), at once %.3f s (ratio %s)\n' \
        "$i" "$rhash_wall" "$sum_wall" "$single_wall" "${r_single_ratios[-1]}" "$parallel_wall" \
        "${r_parallel_ratios[-1]}" "$check_wall" "$c_single_wall" "${c_single_ratios[-1]}" "$c_wall" "${c_ratios[-1]}"
done
printf 'medians: rhash -r %.3f s, sha256sum over the list %.3f s, sha256sum -c %.3f s\n' \
    "$(median_of "${rhash_walls[@]}")" "$(median_of "${sum_walls[@]}")" "$(median_of "${check_walls[@]}")"
printf 'orvendal-cli --single-thread -r / rhash -r, median of %d rounds: %s; target: at least 1.0\n' \
    "$runs" "$(median_of "${r_single_ratios[@]}")"
printf 'orvendal-cli -r / rhash -r, median of %d rounds: %s; target: at least 1.8\n' \
    "$runs" "$(median_of "${r_parallel_ratios[@]}")"
printf 'orvendal-cli -r / sha256sum over the list, median of %d rounds: %s\n' "$runs" "$(median_of "${r_sum_ratios[@]}")"
printf 'orvendal-cli -c / sha256sum -c, median of %d rounds: %s (one thread %s); target: at least 1.8\n' \
    "$runs" "$(median_of "${c_ratios[@]}")" "$(median_of "${c_single_ratios[@]}")"

echo
echo "== 100,000 files of 1 to 100 bytes: time per file and peak resident memory (target: under 32 MiB) =="
"$cli" --single-thread -r -a sha256 --untagged many-100k >many-100k.sha256
per_file() { awk -v s="${1% *}" 'BEGIN { printf "%.1f", s / 100000 * 1e6 }'; }
printf 'time per file: orvendal-cli -r one thread %s us, at once %s us; rhash -r %s us\n' \
    "$(per_file "$(timed "$cli" --single-thread -r -a sha256 --untagged many-100k)")" \
    "$(per_file "$(timed "$cli" -r -a sha256 --untagged many-100k)")" \
    "$(per_file "$(timed rhash -r --sha256 many-100k)")"
printf 'peak: orvendal-cli -r one thread %s KiB, at once %s KiB; -c at once %s KiB; rhash -r %s KiB\n' \
    "$(peak_kib "$cli" --single-thread -r -a sha256 --untagged many-100k)" \
    "$(peak_kib "$cli" -r -a sha256 --untagged many-100k)" \
    "$(peak_kib "$cli" -c many-100k.sha256)" "$(peak_kib rhash -r --sha256 many-100k)"
cd ../..
fi

echo
echo "== The dialog under Wine: Calculate with -a $algorithms on the same file, parallel against one core =="
if [ "${ORVENDAL_BENCH_SKIP_DIALOG:-0}" = 1 ] || [ "${ORVENDAL_BENCH_SKIP_FILE:-0}" = 1 ]; then
    echo "skipped (ORVENDAL_BENCH_SKIP_DIALOG=1 or ORVENDAL_BENCH_SKIP_FILE=1)"
    exit 0
fi
cmake --preset windows >/dev/null
cmake --build --preset windows --target Orvendal dialog_digests
driver=$PWD/build/windows/tests/e2e/dialog_digests.exe
. scripts/wine-env.sh build/windows
wine_prepare_prefix
trap 'rm -f "$times_file" "$errors"; wine_stop_display' EXIT
wine_start_display
wine_start_server
# The driver times Calculate alone (not the program's start); held to one core, the program
# finds one usable core and feeds the algorithms in turn, as it would on a one-core machine.
dialog_seconds() {
    local output
    output=$(cd "$(dirname "$data")" && timeout 900 "$WINE" "$driver" --time "$@" "$algorithms" "$(basename "$data")" 2>"$errors") || {
        echo "failed: dialog_digests $*" >&2
        cat "$errors" >&2
        return 1
    }
    local shown
    shown=$(grep -v '^seconds:' <<<"$output" | digests)
    if [ "$shown" != "$ours" ]; then
        echo "the dialog and orvendal-cli disagree on $data: $shown against $ours" >&2
        return 1
    fi
    awk '/^seconds:/ { print $2 }' <<<"$output"
}
dialog_ratios=() one_core_times=() parallel_times=()
for ((i = 1; i <= runs; i++)); do
    one_core=$(dialog_seconds --one-core)
    parallel=$(dialog_seconds)
    one_core_times+=("$one_core")
    parallel_times+=("$parallel")
    dialog_ratios+=("$(ratio "$parallel" "$one_core")")
    printf 'run %d: dialog on one core %s MB/s, parallel %s MB/s (ratio %s)\n' \
        "$i" "$(mbps "$one_core")" "$(mbps "$parallel")" "${dialog_ratios[-1]}"
done
printf 'medians: dialog on one core %s MB/s, parallel %s MB/s\n' \
    "$(mbps "$(median_of "${one_core_times[@]}")")" "$(mbps "$(median_of "${parallel_times[@]}")")"
printf 'dialog parallel / one core, median of %d rounds: %s; target: at least 1.6\n' \
    "$runs" "$(median_of "${dialog_ratios[@]}")"
