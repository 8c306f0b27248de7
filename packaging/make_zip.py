#!/usr/bin/env python3
"""Writes the portable zip: the given files at its top level under their own names, and nothing
that depends on when, where or by whom it was built: every entry carries the same time (the
format's earliest, 1980-01-01 00:00) and Windows attributes instead of a Unix owner and mode, so
the same files always give the same bytes.

Usage: make_zip.py ARCHIVE FILE...
"""
import os
import sys
import zipfile

ENTRY_TIME = (1980, 1, 1, 0, 0, 0)
ARCHIVE_ATTRIBUTE = 0x20  # FILE_ATTRIBUTE_ARCHIVE, what Windows gives a file it extracts


def main():
    archive, files = sys.argv[1], sys.argv[2:]
    partial = archive + ".partial"
    with zipfile.ZipFile(partial, "w") as zip_file:
        for path in files:
            entry = zipfile.ZipInfo(os.path.basename(path), date_time=ENTRY_TIME)
            entry.create_system = 0  # MS-DOS: the attributes below are Windows ones
            entry.external_attr = ARCHIVE_ATTRIBUTE
            entry.compress_type = zipfile.ZIP_DEFLATED
            with open(path, "rb") as data:
                zip_file.writestr(entry, data.read(), compresslevel=9)
    os.replace(partial, archive)


if __name__ == "__main__":
    main()
