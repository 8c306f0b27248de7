#!/usr/bin/env python3
"""Writes sha3-256.vec, sha3-512.vec and blake2b.vec from Crypto++'s copies of the published
known-answer files (Debian 12: libcrypto++-utils, /usr/share/crypto++/TestVectors), keeping the
records whose message length is listed below: every length around the block sizes (136 and 72
bytes for SHA-3, 128 for BLAKE2b) and a few multi-block ones. The one-million-"a" records come
from Python's hashlib, an independent implementation. Run by hand; the output is committed."""

import hashlib
import pathlib
import sys

SOURCE = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else "/usr/share/crypto++/TestVectors")
OUT = pathlib.Path(__file__).resolve().parent

# (output, source file, command name, message lengths in bytes to keep, header lines)
FILES = [
    ("sha3-256.vec", "sha3_256_fips_202.txt", "sha3-256",
     {0, 1, 2, 3, 4, 7, 8, 9, 16, 31, 32, 33, 63, 64, 65, 71, 72, 73, 127, 128, 129, 134, 135, 136, 273, 410},
     ["SHA3-256 (FIPS 202): records of the NIST CAVP byte-oriented test files SHA3_256ShortMsg.rsp and",
      "SHA3_256LongMsg.rsp (the first two), as Crypto++ 8.7 ships them in TestVectors/sha3_256_fips_202.txt.",
      "\"a\" x1000000: Python 3.11's hashlib.sha3_256. Written by extract_cryptopp.py."]),
    ("sha3-512.vec", "sha3_512_fips_202.txt", "sha3-512",
     {0, 1, 2, 3, 4, 7, 8, 9, 16, 31, 32, 33, 63, 64, 65, 70, 71, 72, 145, 218, 291},
     ["SHA3-512 (FIPS 202): records of the NIST CAVP byte-oriented test files SHA3_512ShortMsg.rsp and",
      "SHA3_512LongMsg.rsp (the first three), as Crypto++ 8.7 ships them in TestVectors/sha3_512_fips_202.txt.",
      "\"a\" x1000000: Python 3.11's hashlib.sha3_512. Written by extract_cryptopp.py."]),
    ("blake2b.vec", "blake2b.txt", "blake2b",
     {0, 1, 2, 3, 4, 7, 8, 63, 64, 65, 111, 112, 127, 128, 129, 143, 144},
     ["BLAKE2b-512, unkeyed (RFC 7693): records of the BLAKE2 authors' reference implementation",
      "(blake2b-ref.c) as Crypto++ 8.7 ships them in TestVectors/blake2b.txt; \"abc\" is also RFC 7693's",
      "appendix A example. \"a\" x1000000: Python 3.11's hashlib.blake2b. Written by extract_cryptopp.py."]),
]


def records(path):
    """(message bytes, digest hex) of every Message/Digest pair of a Crypto++ test file."""
    message = None
    for line in path.read_text().splitlines():
        line = line.strip()
        if line.startswith("Message:"):
            value = line[len("Message:"):].strip()
            message = value[1:-1].encode() if value.startswith('"') else bytes.fromhex(value)
        elif line.startswith("Digest:"):
            yield message, line[len("Digest:"):].strip().lower()


def record_line(message, digest):
    printable = all(0x20 <= b < 0x7F and b != 0x22 for b in message)
    text = f'text "{message.decode()}"' if printable else f"hex {message.hex()}"
    return f"{text} = {digest}"


def main():
    for output, source, name, lengths, header in FILES:
        kept = [(m, d) for m, d in records(SOURCE / source) if len(m) in lengths]
        assert {len(m) for m, _ in kept} == lengths, f"{source}: a listed length is missing"
        lines = [f"# {h}" for h in header] + [f"algorithm {name}"]
        lines += [record_line(m, d) for m, d in kept]
        million = hashlib.new(name.replace("-", "_") if name != "blake2b" else "blake2b", b"a" * 1000000)
        lines.append(f'text "a" x1000000 = {million.hexdigest()}')
        (OUT / output).write_text("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
