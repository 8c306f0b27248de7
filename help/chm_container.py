"""Reading the container of a compiled help file: the directory and the #SYSTEM file, which
chmcmd stores uncompressed. The layout is the published description of the format (ITSF
version 3 header, ENCINT-coded directory entries in PMGL chunks, #SYSTEM records of code,
length and data).
"""
import struct


def encint(data, pos):
    value = 0
    while True:
        byte = data[pos]
        pos += 1
        value = (value << 7) | (byte & 0x7F)
        if not byte & 0x80:
            return value, pos


def read_directory(chm):
    """The language and the files: name -> (section, offset in the file, size)."""
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


def system_record_spans(chm, files):
    """Each #SYSTEM record as (code, offset of its data in the file, length)."""
    section, offset, size = files["/#SYSTEM"]
    if section != 0:
        raise SystemExit("#SYSTEM is not stored uncompressed")
    spans = []
    pos, end = offset + 4, offset + size  # after the version
    while pos + 4 <= end:
        code, length = struct.unpack_from("<HH", chm, pos)
        spans.append((code, pos + 4, length))
        pos += 4 + length
    return spans


def system_records(chm, files):
    return {code: bytes(chm[start:start + length]) for code, start, length in system_record_spans(chm, files)}
