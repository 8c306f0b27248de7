#!/usr/bin/env python3
"""Clears the compile time chmcmd writes into a help file, so that the same sources always give
the same bytes: the time stamp of the ITSF header, and record 10 of the #SYSTEM file (which
chmcmd stores uncompressed). Nothing the viewer reads is changed.

Usage: normalise_chm.py FILE.chm   (rewritten in place)
"""
import struct
import sys


def encint(data, pos):
    value = 0
    while True:
        byte = data[pos]
        pos += 1
        value = (value << 7) | (byte & 0x7F)
        if not byte & 0x80:
            return value, pos


def main():
    path = sys.argv[1]
    chm = bytearray(open(path, "rb").read())
    if chm[:4] != b"ITSF" or struct.unpack_from("<I", chm, 4)[0] != 3:
        raise SystemExit(f"{path}: not a version 3 compiled help file")
    chm[0x10:0x14] = bytes(4)

    # The directory entry: the name with its length in front, then section, offset and size.
    directory, directory_length = struct.unpack_from("<QQ", chm, 0x48)
    content = struct.unpack_from("<Q", chm, 0x58)[0]
    entry = b"\x08/#SYSTEM"
    at = chm.find(entry, directory, directory + directory_length)
    if at < 0:
        raise SystemExit(f"{path}: no #SYSTEM file")
    section, pos = encint(chm, at + len(entry))
    offset, pos = encint(chm, pos)
    size, pos = encint(chm, pos)
    if section != 0:
        raise SystemExit(f"{path}: #SYSTEM is compressed")

    # #SYSTEM: a version, then records of code, length and data.
    pos, end = content + offset + 4, content + offset + size
    while pos + 4 <= end:
        code, length = struct.unpack_from("<HH", chm, pos)
        if code == 10:
            chm[pos + 4:pos + 4 + length] = bytes(length)
        pos += 4 + length
    open(path, "wb").write(chm)


if __name__ == "__main__":
    main()
