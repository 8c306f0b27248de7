#!/usr/bin/env bash
# Builds the release packages of the Windows program into build/windows/packages: the portable
# zip, the per-user installer, SHA256SUMS over both and a PACKAGE.sha256 beside each, written by
# our own orvendal-cli (the native build's: the same code as orvendal-cli.exe, without Wine), and
# the manifests winget and Scoop install them from. Installs what it needs first.
# Usage: [ORVENDAL_DOWNLOAD_BASE=https://...] scripts/package.sh
set -euo pipefail
cd "$(dirname "$0")/.."

# Where a release publishes the packages: the manifests' download addresses are this, a '/' and
# the package's name.
download_base=${ORVENDAL_DOWNLOAD_BASE:-https://www.tamberlyn.example/download/orvendal}

scripts/setup.sh
echo "== Windows build and packages =="
cmake --preset windows >/dev/null
cmake --build --preset windows --target packages
echo "== orvendal-cli (native) for the checksums =="
cmake --preset native >/dev/null
cmake --build --preset native --target orvendal-cli
root=$PWD
cli=$root/build/native/cli/orvendal-cli

packages=()
while read -r path; do
    packages+=("$(basename "$path")")
done <build/windows/packaging/package-names.txt
version=$(cat build/windows/packaging/package-version.txt)
cd build/windows/packages
# Only this version's packages stay, and what is written from them below.
for file in *; do
    case " ${packages[*]} " in
        *" $file "*) ;;
        *) rm -rf -- "$file" ;;
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
for package in "${packages[@]}"; do
    awk -v name="$package" '$2 == name' SHA256SUMS >"$package.sha256"
done

python3 "$root/packaging/write_manifests.py" . "$version" "$download_base" "${packages[@]}"

echo
echo "Release packages in build/windows/packages (manifests: winget/, orvendal.json; downloads from $download_base):"
cat SHA256SUMS
