#!/usr/bin/env python3
"""Clears the compile time chmcmd writes into a help file, so that the same sources always give
the same bytes: the time stamp of the ITSF header, and record 10 of the #SYSTEM file. Nothing
the viewer reads is changed.

Usage: normalise_chm.py FILE.chm   (rewritten in place)
"""
import sys

from chm_container import read_directory, system_record_spans


def main():
    path = sys.argv[1]
    chm = bytearray(open(path, "rb").read())
    _, files = read_directory(chm)
    chm[0x10:0x14] = bytes(4)
    for code, start, length in system_record_spans(chm, files):
        if code == 10:
            chm[start:start + length] = bytes(length)
    open(path, "wb").write(chm)


if __name__ == "__main__":
    main()
