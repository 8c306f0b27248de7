#!/usr/bin/env bash
# Builds the Windows program and its packages a second time, from a copy of the sources at
# another path into another build folder (the preset's settings, tests left out), and compares
# the results byte for byte with the regular build's: a time stamp or a build path anywhere in
# them shows up as a difference.
# Usage: check_reproducible.sh SOURCE_DIR BUILD_DIR SCRATCH_DIR
set -euo pipefail
source_dir=$1
build_dir=$2
scratch=$3

if [ ! -d "$build_dir/packages" ]; then
    echo "No packages in $build_dir/packages: run scripts/package.sh first." >&2
    exit 1
fi
rm -rf "$scratch"
copy="$scratch/another checkout/orvendal"
mkdir -p "$copy"
tar -C "$source_dir" --exclude=./build --exclude=./out --exclude=./.git -cf - . | tar -C "$copy" -xf -
(cd "$copy" && cmake --preset windows -B "$scratch/build" -DORVENDAL_BUILD_TESTS=OFF >/dev/null)
cmake --build "$scratch/build" --target packages

differing=0
compared=0
compare() {
    compared=$((compared + 1))
    if cmp "$1" "$2"; then
        echo "same: ${1#"$build_dir"/}"
    else
        differing=$((differing + 1))
    fi
}
compare "$build_dir/app/Orvendal.exe" "$scratch/build/app/Orvendal.exe"
compare "$build_dir/cli/orvendal-cli.exe" "$scratch/build/cli/orvendal-cli.exe"
compare "$build_dir/app/Orvendal.chm" "$scratch/build/app/Orvendal.chm"
for package in "$scratch"/build/packages/*; do
    compare "$build_dir/packages/$(basename "$package")" "$package"
done
echo "$compared files compared, $differing differ"
[ $differing -eq 0 ] && [ $compared -eq 5 ]
