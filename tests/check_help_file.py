#!/usr/bin/env python3
"""Checks the compiled help file against its project: a Chinese (0x804) file whose default
window is "Main", whose title reads correctly in the viewer's code page (GBK), and which
holds every file the project lists; and the project itself: every page is in the table of
contents, and every link of the contents, the index and the pages leads to a file the project
compiles in.

Usage: check_help_file.py Orvendal.chm Orvendal.hhp

Reads the container directly (help/chm_container.py): the ITSF header, the PMGL directory
chunks and the #SYSTEM file, which is stored uncompressed.
"""
import os
import re
import struct
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "help"))
from chm_container import read_directory, system_records  # noqa: E402


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


def link_problems(project_dir, listed):
    """What the contents misses, and links (contents, index, pages) to files not compiled in."""
    read = lambda name: open(os.path.join(project_dir, name), encoding="utf-8").read()
    local = r'<param name="Local" value="([^"]+)">'
    pages = [name for name in listed if name.endswith(".htm")]
    contents = set(re.findall(local, read("Orvendal.hhc")))
    problems = [f"{page} is not in the table of contents" for page in pages if page not in contents]
    for source in ["Orvendal.hhc", "Orvendal.hhk"] + pages:
        text = read(source)
        targets = re.findall(local, text) + re.findall(r'href="([^"]+)"', text)
        for target in targets:
            name = target.split("#")[0]
            if name and ":" not in name and name not in listed:
                problems.append(f"{source} links to {target}, which the project does not compile in")
    return problems


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
    listed = project_files(sys.argv[2])
    for name in listed + ["Orvendal.hhc", "Orvendal.hhk"]:
        expect(f"{name} present", "/" + name in files and files["/" + name][2] > 0, True)
    failures += link_problems(os.path.dirname(os.path.abspath(sys.argv[2])), listed)

    for failure in failures:
        print(failure)
    print(f"{sys.argv[1]}: {len(files)} entries, {'FAILED' if failures else 'ok'}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
