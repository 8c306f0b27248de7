#!/usr/bin/env bash
# Installs the Debian 12 packages the build and the tests need; installs only what is missing.
set -euo pipefail

packages=(
    build-essential cmake ninja-build git python3
    clang-format                                     # scripts/test.sh checks the layout first
    libgtest-dev googletest libcrypto++-dev          # unit tests (native; sources for Windows) and their oracle
    libcrypto++-utils                                # Crypto++'s copies of published vectors (tests/vectors/extract_cryptopp.py)
    g++-mingw-w64-x86-64-posix                       # the Windows cross-build (brings windres)
    wine64 fonts-wine                                # running the Windows programs
    xvfb xdotool imagemagick                         # a virtual display and screenshots
    fonts-wqy-microhei locales-all                   # Chinese texts, code page 936 under Wine
    fp-utils-3.2.2                                   # chmcmd, the help compiler
    nsis unzip                                       # scripts/package.sh: the installer; the packages' tests
    python3-jsonschema python3-yaml                  # the packages' tests: the manifests against their schemas
    libbenchmark-dev libssl-dev librhash-dev zlib1g-dev  # benchmarks and their anchor libraries
    libsodium-dev libb2-dev                          # BLAKE2b anchors of the benchmarks
    rhash time                                       # bench/run.sh; rhash is also an oracle of tests/huge_file_test.py
    clang libclang-rt-14-dev                         # fuzz/run.sh: libFuzzer and clang's sanitizer runtimes
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
