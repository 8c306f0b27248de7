#!/usr/bin/env python3
"""A file beyond 4 GiB through orvendal-cli or the dialog: a sparse file of 5 GiB and a little more (its holes
read as zeros) with non-zero bytes placed where 32-bit sizes, offsets and bit counts break, hashed
with the dialog's default selection plus SHA-256, SHA-512, Tiger and eDonkey, each line compared
with an independent implementation: Python's hashlib and zlib (MD5, SHA-1, SHA-256, SHA-512,
RIPEMD-160, CRC-32), and for Tiger and eDonkey (and RIPEMD-160 where hashlib lacks it) the
Crypto++ helper oracle-digest in native builds, RHash otherwise.

Usage: huge_file_test.py [--oracle-digest HELPER] [--oracle-cache FILE] --scratch DIR [--dialog]
                         PROGRAM [EMULATOR...]

PROGRAM is orvendal-cli, or with --dialog the dialog_digests helper, which starts Orvendal.exe
with the file and prints what the dialog shows in orvendal-cli's form. DIR is created for the
file and removed afterwards. The program gets the file by a relative name in DIR, so a Windows
build under Wine opens it as it is. With --oracle-cache the oracles' digests are kept in FILE,
keyed by the file's layout, so the next build's run (native, then Windows) reads the same
independent digests instead of hashing 5 GiB again.
"""
import argparse
import hashlib
import json
import os
import shutil
import subprocess
import sys
import zlib

GIB = 1 << 30
# Neither a multiple of the 8192-byte block nor of the 9728000-byte eDonkey chunk: the last block
# is short and the last chunk partial.
SIZE = 5 * GIB + 1234567
CHUNK = 9728000
# (offset, bytes): the first byte, across 2^31, across 2^32, around the eDonkey chunk boundary
# just past 2^32, a block past 2^32, and the last bytes.
MARKS = [
    (0, b"\x01"),
    ((1 << 31) - 2, b"\x7f\x80\x81\x82"),
    ((1 << 32) - 3, b"\xfe\xff\x00\x01\x02\x03"),
    (442 * CHUNK - 1, b"\x55\xaa"),
    ((1 << 32) + 8192, b"\xc3"),
    (SIZE - 5, b"tail!"),
]
ALGORITHMS = ["md5", "sha1", "ripemd160", "crc32", "sha256", "sha512", "tiger", "edonkey"]
# The output's order is the dialog's, whatever the order on the command line.
OUTPUT_ORDER = ["md5", "sha1", "sha256", "sha512", "ripemd160", "tiger", "crc32", "edonkey"]
TAGS = {"md5": "MD5", "sha1": "SHA1", "sha256": "SHA256", "sha512": "SHA512", "ripemd160": "RIPEMD160",
        "tiger": "TIGER", "crc32": "CRC32", "edonkey": "EDONKEY"}
RHASH_NAMES = {"tiger": "tiger", "edonkey": "ed2k", "ripemd160": "ripemd160"}


def make_sparse_file(path):
    assert SIZE % 8192 != 0 and SIZE % CHUNK != 0
    with open(path, "wb") as f:
        f.truncate(SIZE)
        for offset, data in MARKS:
            f.seek(offset)
            f.write(data)
    assert os.path.getsize(path) == SIZE


def python_digests(path, names):
    """One pass over the file with hashlib and zlib."""
    hashes = {name: hashlib.new(name) for name in names if name != "crc32"}
    crc = 0
    buffer = bytearray(8 << 20)
    view = memoryview(buffer)
    with open(path, "rb", buffering=0) as f:
        while True:
            got = f.readinto(buffer)
            if not got:
                break
            piece = view[:got]
            for h in hashes.values():
                h.update(piece)
            if "crc32" in names:
                crc = zlib.crc32(piece, crc)
    result = {name: h.hexdigest() for name, h in hashes.items()}
    if "crc32" in names:
        result["crc32"] = "%08x" % crc
    return result


def start_other_oracle(helper, path, names):
    if helper:
        return subprocess.Popen([helper, path] + names, stdout=subprocess.PIPE, text=True)
    rhash = shutil.which("rhash")
    if rhash is None:
        sys.exit("huge_file_test: neither oracle-digest nor rhash is available")
    fmt = " ".join("%%{%s}" % RHASH_NAMES[name] for name in names) + "\\n"
    return subprocess.Popen([rhash, "--printf", fmt, path], stdout=subprocess.PIPE, text=True)


def finish_other_oracle(process, helper, names):
    out, _ = process.communicate(timeout=900)
    if process.returncode != 0:
        sys.exit("huge_file_test: the oracle failed (status %d)" % process.returncode)
    if helper:
        return dict(line.split(" ") for line in out.splitlines())
    return dict(zip(names, out.split()))


def layout_key():
    return hashlib.sha256(repr((SIZE, MARKS, sorted(ALGORITHMS))).encode()).hexdigest()


def cached_digests(cache):
    try:
        with open(cache) as f:
            stored = json.load(f)
    except (OSError, ValueError):
        return None
    if not isinstance(stored, dict) or stored.get("layout") != layout_key():
        return None
    digests = stored.get("digests")
    if not isinstance(digests, dict) or sorted(digests) != sorted(ALGORITHMS):
        return None
    return digests


def store_digests(cache, digests):
    temporary = cache + ".tmp"
    with open(temporary, "w") as f:
        json.dump({"layout": layout_key(), "digests": digests}, f)
    os.replace(temporary, cache)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--oracle-digest")
    parser.add_argument("--oracle-cache")
    parser.add_argument("--scratch", required=True)
    parser.add_argument("--dialog", action="store_true")
    parser.add_argument("program")
    parser.add_argument("emulator", nargs="*")
    args = parser.parse_args()

    python_names = ["md5", "sha1", "crc32", "sha256", "sha512"]
    other_names = ["tiger", "edonkey"]
    if "ripemd160" in hashlib.algorithms_available:
        python_names.append("ripemd160")
    else:
        other_names.append("ripemd160")

    shutil.rmtree(args.scratch, ignore_errors=True)
    os.makedirs(args.scratch)
    name = "huge.bin"
    path = os.path.join(args.scratch, name)
    started = []
    try:
        make_sparse_file(path)
        # The program and the two oracles read the file at the same time.
        options = [",".join(ALGORITHMS)] if args.dialog else ["-a", ",".join(ALGORITHMS)]
        program = subprocess.Popen(args.emulator + [os.path.abspath(args.program)] + options + [name],
                                   cwd=args.scratch, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        started.append(program)
        expected = cached_digests(args.oracle_cache) if args.oracle_cache else None
        if expected is None:
            other = start_other_oracle(args.oracle_digest, path, other_names)
            started.append(other)
            expected = python_digests(path, python_names)
            expected.update(finish_other_oracle(other, args.oracle_digest, other_names))
            if args.oracle_cache:
                store_digests(args.oracle_cache, expected)
        out, err = program.communicate(timeout=900)
    finally:
        for process in started:
            if process.poll() is None:
                process.kill()
                process.wait()
        shutil.rmtree(args.scratch, ignore_errors=True)

    lines = out.decode("utf-8").splitlines()
    wanted = ["%s (%s) = %s" % (TAGS[n], name, expected[n]) for n in OUTPUT_ORDER]
    failures = []
    if program.returncode != 0 or err:
        failures.append("exit status %d, standard error %r" % (program.returncode, err.decode("utf-8", "replace")))
    for i, line in enumerate(wanted):
        got = lines[i] if i < len(lines) else "(missing)"
        print(("ok    " if got == line else "WRONG ") + got)
        if got != line:
            failures.append("expected " + line)
    if len(lines) != len(wanted):
        failures.append("%d lines instead of %d" % (len(lines), len(wanted)))
    for failure in failures:
        print(failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
