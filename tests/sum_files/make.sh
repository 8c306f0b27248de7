#!/usr/bin/env bash
# Writes the sum files of this folder with the real tools (Debian 12: coreutils 9.1, RHash
# 1.4.3), over files whose content is their own name, so tests/sum_file_test.cpp can check every
# line against the digest of its name. Run by hand; the output is committed.
set -euo pipefail
out=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

# Names any tool writes as they are, and names coreutils escapes. RHash escapes nothing (and
# reads '\' as a separator), so it gets the first kind only.
plain=(plain.txt 'with  spaces.txt' 'g h (1) = x' 'ünï.txt' deadbeef)
escaped=('a\b' $'c\nd' $'e\rf')
for name in "${plain[@]}" "${escaped[@]}"; do
    printf '%s' "$name" >"$name"
done
all=("${plain[@]}" "${escaped[@]}")

md5sum -- "${all[@]}" >"$out/MD5SUMS"
sha256sum --binary -- "${all[@]}" >"$out/binary.sha256"
{
    md5sum --tag -- "${all[@]}"
    sha1sum --tag -- "${all[@]}"
    sha384sum --tag -- "${all[@]}"
    sha512sum --tag -- "${all[@]}"
} >"$out/coreutils-tagged.txt"
# Untagged in a file whose name says nothing: only the digest's length tells the algorithm.
sha384sum -- "${all[@]}" >"$out/coreutils-sha384.txt"
sha512sum -- "${all[@]}" >"$out/coreutils-sha512.txt"

rhash --sfv -- "${plain[@]}" >"$out/rhash.sfv"
# CRC32C is not ours: its lines are reported as an unknown algorithm.
rhash --bsd --md5 --md4 --sha1 --sha256 --sha384 --sha512 --ripemd160 --tiger --crc32 --ed2k --sha3-256 --crc32c \
    -- "${plain[@]}" >"$out/rhash-bsd.txt"
rhash --simple --sha256 -- "${plain[@]}" >"$out/rhash-simple.sha256"
