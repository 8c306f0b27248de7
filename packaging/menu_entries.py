#!/usr/bin/env python3
"""Writes Explorer's right-click entries of Orvendal.exe in the two forms the packages need,
from one description here and the sum-file names the program reads (one a line: ".sha256" a
suffix, "SHA256SUMS" a whole name, "CHECKSUM.SHA256-*" the start of names):

  * an NSIS include for the installer: the macro WriteMenuEntries (every value, the program in
    $INSTDIR) and the verb key names HASH_VERB and CHECK_VERB, by which the installer finds its
    own entries again to remove them;
  * the zip's README.txt: the template's line "{menu commands}" replaced by the reg commands that
    add the same entries by hand for the program in the current folder, and those that remove
    them.

Every entry is per user, under HKCU\\Software\\Classes: on every file, "compute" for one file;
on sum files, "check", through SystemFileAssociations for their suffixes (no file type of the
user's is taken over) and an AppliesTo condition on every file for their whole names and the
starts of names.

Usage: menu_entries.py NAMES_FILE NSIS_INCLUDE README_TEMPLATE README
"""
import re
import sys

CLASSES = r"Software\Classes"
HASH_VERB = "Orvendal.Hash"
CHECK_VERB = "Orvendal.Check"
HASH_TEXT = "用 Orvendal 计算校验值"
CHECK_TEXT = "用 Orvendal 核对"
PROGRAM = "{folder}\\Orvendal.exe"  # {folder}: $INSTDIR in the installer, %CD% in the commands


def verb_values(text, applies_to=None):
    """(value name, data) of a verb's key: its text, the program's icon, one item at a time."""
    values = [("MUIVerb", text), ("Icon", PROGRAM + ",0"), ("MultiSelectModel", "Single")]
    if applies_to:
        values.append(("AppliesTo", applies_to))
    return values


def command_values(arguments):
    """The verb's command key: its default value ("") starts the program."""
    return [("", f'"{PROGRAM}" {arguments}')]


def read_names(path):
    suffixes, whole_names = [], []
    with open(path, encoding="utf-8") as names:
        for line in names:
            name = line.strip()
            if not name:
                continue
            # What goes into registry paths, AQS and command lines unquoted must be plain.
            plain = re.fullmatch(r"\.?[A-Za-z0-9][A-Za-z0-9_.-]*\*?", name)
            if not plain or (name.startswith(".") and name.endswith("*")):
                sys.exit(f"{path}: unexpected sum-file name {name!r}")
            (suffixes if name.startswith(".") else whole_names).append(name)
    if not suffixes or not whole_names:
        sys.exit(f"{path}: expected suffixes and whole names, got {suffixes} and {whole_names}")
    return suffixes, whole_names


def entries(suffixes, whole_names):
    """(key below HKCU\\Software\\Classes, values) for every entry; "{suffix}" stands for each
    suffix in the key of the suffixes' entry."""
    # ~< is "starts with" in the shell's query syntax.
    applies_to = " OR ".join(
        f'System.FileName:~<"{name[:-1]}"' if name.endswith("*") else f'System.FileName:="{name}"'
        for name in whole_names)
    check_command = command_values('/check "%1"')
    by_suffix = f"SystemFileAssociations\\{{suffix}}\\shell\\{CHECK_VERB}"
    return [
        (f"*\\shell\\{HASH_VERB}", verb_values(HASH_TEXT)),
        (f"*\\shell\\{HASH_VERB}\\command", command_values('"%1"')),
        (f"*\\shell\\{CHECK_VERB}", verb_values(CHECK_TEXT, applies_to)),
        (f"*\\shell\\{CHECK_VERB}\\command", check_command),
        (by_suffix, verb_values(CHECK_TEXT)),
        (by_suffix + "\\command", check_command),
    ]


def nsis_include(suffixes, whole_names):
    lines = [
        "; Written by packaging/menu_entries.py from the program's sum-file names: do not edit.",
        f"!define HASH_VERB `{HASH_VERB}`",
        f"!define CHECK_VERB `{CHECK_VERB}`",
        "!macro WriteMenuEntries",
    ]
    every = entries(suffixes, whole_names)
    expanded = [(key, values) for key, values in every if "{suffix}" not in key]
    for suffix in suffixes:
        expanded += [(key.replace("{suffix}", suffix), values) for key, values in every if "{suffix}" in key]
    for key, values in expanded:
        for name, data in values:
            data = data.replace("{folder}", "$INSTDIR")
            lines.append(f"    WriteRegStr HKCU `{CLASSES}\\{key}` `{name}` `{data}`")
    lines.append("!macroend")
    return "\n".join(lines) + "\n"


def reg_add(path, name, data):
    target = "/ve" if name == "" else f"/v {name}"
    quoted = '"' + data.replace('"', '\\"') + '"'  # reg reads \" as a quote inside a quoted argument
    return f'reg add "HKCU\\{path}" {target} /d {quoted} /f >nul'


def readme_commands(suffixes, whole_names):
    """Lines for a command window (cmd.exe) opened in the program's folder."""
    add, per_suffix = [], []
    for key, values in entries(suffixes, whole_names):
        path = f"{CLASSES}\\{key}".replace("{suffix}", "%e")
        for name, data in values:
            command = reg_add(path, name, data.replace("{folder}", "%CD%"))
            (per_suffix if "{suffix}" in key else add).append(command)
    each_suffix = f"for %e in ({' '.join(suffixes)}) do ("
    add.append(each_suffix + " & ".join(per_suffix) + ")")
    remove = [f'reg delete "HKCU\\{CLASSES}\\*\\shell\\{verb}" /f' for verb in (HASH_VERB, CHECK_VERB)]
    by_suffix = f"HKCU\\{CLASSES}\\SystemFileAssociations\\%e\\shell\\{CHECK_VERB}"
    remove.append(each_suffix + f'reg delete "{by_suffix}" /f)')
    lines = ["添加 / To add:"] + ["  " + line for line in add]
    lines += ["删除 / To remove:"] + ["  " + line for line in remove]
    return lines


def main():
    names_file, include_file, template_file, readme_file = sys.argv[1:5]
    suffixes, whole_names = read_names(names_file)
    with open(include_file, "w", encoding="utf-8", newline="\n") as include:
        include.write(nsis_include(suffixes, whole_names))
    # The template is already in its final form (CRLF lines, byte-order mark), as is what replaces it.
    with open(template_file, encoding="utf-8-sig", newline="") as template:
        text = template.read()
    marker = "{menu commands}\r\n"
    if text.count(marker) != 1:
        sys.exit(f"{template_file}: expected one line {marker.strip()}")
    text = text.replace(marker, "".join(line + "\r\n" for line in readme_commands(suffixes, whole_names)))
    with open(readme_file, "w", encoding="utf-8-sig", newline="") as readme:
        readme.write(text)


if __name__ == "__main__":
    main()
