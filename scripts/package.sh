#!/usr/bin/env bash
# Builds the release packages of the Windows program into build/windows/packages: the portable
# zip, the per-user installer, and SHA256SUMS over both, written by our own orvendal-cli (the
# native build's: the same code as orvendal-cli.exe, without Wine). Installs what it needs first.
# Usage: scripts/package.sh
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
echo "== Windows build and packages =="
cmake --preset windows >/dev/null
cmake --build --preset windows --target packages
echo "== orvendal-cli (native) for the checksums =="
cmake --preset native >/dev/null
cmake --build --preset native --target orvendal-cli
cli=$PWD/build/native/cli/orvendal-cli

packages=()
while read -r path; do
    packages+=("$(basename "$path")")
done <build/windows/packaging/package-names.txt
cd build/windows/packages
# Only this version's packages stay beside their checksums.
for file in *; do
    case " ${packages[*]} " in
        *" $file "*) ;;
        *) rm -f -- "$file" ;;
    esac
done

# GNU lines "HEX  FILE", which sha256sum -c and orvendal-cli -c read.
if ! "$cli" --untagged -a sha256 "${packages[@]}" >SHA256SUMS.partial; then
    echo "orvendal-cli could not hash the packages" >&2
    exit 1
fi
if [ "$(grep -cE '^[0-9a-f]{64}  [^ ]+$' SHA256SUMS.partial)" -ne ${#packages[@]} ] ||
    [ "$(wc -l <SHA256SUMS.partial)" -ne ${#packages[@]} ]; then
    echo "orvendal-cli wrote unexpected checksum lines:" >&2
    cat SHA256SUMS.partial >&2
    exit 1
fi
mv SHA256SUMS.partial SHA256SUMS

echo
echo "Release packages in build/windows/packages:"
cat SHA256SUMS
