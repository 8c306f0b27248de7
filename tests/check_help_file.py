#!/usr/bin/env python3
"""Checks the compiled help file against its project: a Chinese (0x804) file whose default
window is "Main", whose title reads correctly in the viewer's code page (GBK), and which
holds every file the project lists.

Usage: check_help_file.py Orvendal.chm Orvendal.hhp

Reads the container directly: the ITSF header, the PMGL directory chunks and the #SYSTEM
file, which is stored uncompressed. The layout is the published description of the format
(ITSF version 3 header, ENCINT-coded directory entries, #SYSTEM records of code, length, data).
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


def read_directory(chm):
    if chm[:4] != b"ITSF":
        raise SystemExit("not a compiled help file")
    version, lcid = struct.unpack_from("<I", chm, 4)[0], struct.unpack_from("<I", chm, 0x14)[0]
    section0_offset, section0_length, dir_offset, _ = struct.unpack_from("<QQQQ", chm, 0x38)
    content = struct.unpack_from("<Q", chm, 0x58)[0] if version >= 3 else section0_offset + section0_length
    if chm[dir_offset:dir_offset + 4] != b"ITSP":
        raise SystemExit("no directory header")
    header_length = struct.unpack_from("<I", chm, dir_offset + 8)[0]
    chunk_size = struct.unpack_from("<I", chm, dir_offset + 0x10)[0]
    chunk_count = struct.unpack_from("<I", chm, dir_offset + 0x2C)[0]
    files = {}
    for index in range(chunk_count):
        start = dir_offset + header_length + index * chunk_size
        chunk = chm[start:start + chunk_size]
        if chunk[:4] != b"PMGL":
            continue
        end = chunk_size - struct.unpack_from("<I", chunk, 4)[0]
        pos = 0x14
        while pos < end:
            length, pos = encint(chunk, pos)
            name = chunk[pos:pos + length].decode("utf-8")
            pos += length
            section, pos = encint(chunk, pos)
            offset, pos = encint(chunk, pos)
            size, pos = encint(chunk, pos)
            files[name] = (section, content + offset, size)
    return lcid, files


def system_records(chm, files):
    section, offset, size = files["/#SYSTEM"]
    if section != 0:
        raise SystemExit("#SYSTEM is not stored uncompressed")
    data = chm[offset:offset + size]
    records = {}
    pos = 4  # version
    while pos + 4 <= len(data):
        code, length = struct.unpack_from("<HH", data, pos)
        records[code] = data[pos + 4:pos + 4 + length]
        pos += 4 + length
    return records


def project_files(hhp_path):
    listed, in_files = [], False
    with open(hhp_path, encoding="utf-8") as hhp:
        for line in hhp:
            line = line.strip()
            if line.startswith("["):
                in_files = line == "[FILES]"
            elif in_files and line:
                listed.append(line)
    return listed


def main():
    chm = open(sys.argv[1], "rb").read()
    lcid, files = read_directory(chm)
    records = system_records(chm, files)
    text = lambda code: records.get(code, b"").split(b"\0")[0].decode("gbk", errors="replace")
    failures = []

    def expect(what, actual, wanted):
        if actual != wanted:
            failures.append(f"{what}: {actual!r}, expected {wanted!r}")

    expect("language", lcid, 0x804)
    expect("language in #SYSTEM", struct.unpack_from("<I", records.get(4, b"\0" * 4))[0], 0x804)
    expect("default window", text(5), "Main")
    expect("title", text(3), "Orvendal 帮助")
    expect("default topic", text(2), "index.htm")
    expect("contents file", text(0), "Orvendal.hhc")
    expect("index file", text(1), "Orvendal.hhk")
    expect("window types present", "/#WINDOWS" in files and files["/#WINDOWS"][2] > 0, True)
    for name in project_files(sys.argv[2]) + ["Orvendal.hhc", "Orvendal.hhk"]:
        expect(f"{name} present", "/" + name in files and files["/" + name][2] > 0, True)

    for failure in failures:
        print(failure)
    print(f"{sys.argv[1]}: {len(files)} entries, {'FAILED' if failures else 'ok'}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
