#!/usr/bin/env python3
"""Checks the release packages scripts/package.sh wrote: the zip holds exactly Orvendal.exe,
Orvendal.chm, orvendal-cli.exe and README.txt at its top level, the program files equal to the
build's, and they run where they are unzipped (orvendal-cli.exe, in a scratch folder, hashes a
file as Python's hashlib does); the installer is a 64-bit program that asks for no elevation;
SHA256SUMS lists the zip and the installer and `sha256sum -c` accepts it. The zip is read with
Info-ZIP's unzip, not with the module that wrote it.

Usage: check_packages.py PACKAGE_DIR ZIP INSTALLER ORVENDAL_EXE HELP_FILE CLI_EXE VERSION SCRATCH [RUNNER...]
RUNNER runs a Windows program (Wine) where the host is not Windows.
"""
import hashlib
import os
import re
import shutil
import struct
import subprocess
import sys


def main():
    package_dir, zip_file, installer, program, help_file, cli, version, scratch = sys.argv[1:9]
    runner = sys.argv[9:]
    failures = []
    for package in (zip_file, installer):
        if not os.path.isfile(package):
            print(f"{package} is missing: run scripts/package.sh")
            return 1

    names = subprocess.run(["unzip", "-Z1", zip_file], check=True, capture_output=True, text=True).stdout.splitlines()
    wanted = ["Orvendal.exe", "Orvendal.chm", "orvendal-cli.exe", "README.txt"]
    if sorted(names) != sorted(wanted):
        failures.append(f"the zip holds {names}, expected {wanted}")
    for name, built in (("Orvendal.exe", program), ("Orvendal.chm", help_file), ("orvendal-cli.exe", cli)):
        packed = subprocess.run(["unzip", "-p", zip_file, name], check=True, capture_output=True).stdout
        if packed != open(built, "rb").read():
            failures.append(f"the zip's {name} is not the build's (run scripts/package.sh after building)")
    readme = subprocess.run(["unzip", "-p", zip_file, "README.txt"], check=True, capture_output=True).stdout
    if f"Orvendal {version}".encode() not in readme:
        failures.append(f"README.txt does not name version {version}")

    # Portable use: unzipped into a folder of its own, the command-line program runs as it is.
    unzipped = os.path.join(scratch, "unzipped here")
    shutil.rmtree(unzipped, ignore_errors=True)
    os.makedirs(unzipped)
    subprocess.run(["unzip", "-q", zip_file, "-d", unzipped], check=True)
    run = subprocess.run(runner + [os.path.join(unzipped, "orvendal-cli.exe"), "-a", "sha256", "README.txt"],
                         cwd=unzipped, capture_output=True, text=True, timeout=120)
    expected = f"SHA256 (README.txt) = {hashlib.sha256(readme).hexdigest()}"
    if run.returncode != 0 or run.stdout.strip() != expected:
        failures.append(f"the unzipped orvendal-cli.exe gave {run.returncode}, {run.stdout!r}; expected {expected!r}")

    # The installer: a 64-bit program whose manifest asks for the user's own rights only.
    program_bytes = open(installer, "rb").read()
    machine = struct.unpack_from("<H", program_bytes, struct.unpack_from("<I", program_bytes, 0x3C)[0] + 4)[0]
    if machine != 0x8664:
        failures.append(f"the installer is for machine {machine:#x}, not x64")
    if b'requestedExecutionLevel level="asInvoker"' not in program_bytes:
        failures.append("the installer's manifest asks for more than the user's own rights")

    sums_path = os.path.join(package_dir, "SHA256SUMS")
    sums = open(sums_path, encoding="utf-8").read() if os.path.isfile(sums_path) else ""
    listed = re.findall(r"^[0-9a-f]{64}  (\S+)$", sums, re.MULTILINE)
    if sorted(listed) != sorted(os.path.basename(p) for p in (zip_file, installer)) or len(sums.splitlines()) != 2:
        failures.append(f"SHA256SUMS is {sums!r}, expected a line for each package")
    check = subprocess.run(["sha256sum", "-c", "SHA256SUMS"], cwd=package_dir, capture_output=True, text=True)
    if check.returncode != 0:
        failures.append(f"sha256sum -c SHA256SUMS failed: {check.stdout}{check.stderr}")

    for failure in failures:
        print(failure)
    print(f"{zip_file}: {len(names)} entries; SHA256SUMS: {len(listed)} lines; {'FAILED' if failures else 'ok'}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
