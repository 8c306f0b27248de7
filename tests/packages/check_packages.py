#!/usr/bin/env python3
"""Checks the release packages scripts/package.sh wrote: the zip holds exactly Orvendal.exe,
Orvendal.chm, orvendal-cli.exe and README.txt at its top level, the program files equal to the
build's, and they run where they are unzipped (orvendal-cli.exe, in a scratch folder, hashes a
file as Python's hashlib does); the installer is a 64-bit program that asks for no elevation;
SHA256SUMS lists the zip and the installer, each has a PACKAGE.sha256 of its own, and
`sha256sum -c` accepts them all; the winget and Scoop manifests are valid against their schemas
(schemas/) and give this version, the packages' names and their SHA-256 as Python's hashlib
computes it. The zip is read with Info-ZIP's unzip, not with the module that wrote it.

Usage: check_packages.py PACKAGE_DIR ZIP INSTALLER ORVENDAL_EXE HELP_FILE CLI_EXE VERSION SCRATCH [RUNNER...]
RUNNER runs a Windows program (Wine) where the host is not Windows.
"""
import hashlib
import json
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
    for sums_file, package in [("SHA256SUMS", None)] + [(os.path.basename(p) + ".sha256", p) for p in (zip_file, installer)]:
        path = os.path.join(package_dir, sums_file)
        if package and not re.fullmatch(r"[0-9a-f]{64}  " + re.escape(os.path.basename(package)) + "\n",
                                        open(path, encoding="utf-8").read() if os.path.isfile(path) else ""):
            failures.append(f"{sums_file} is not one GNU line for {os.path.basename(package)}")
        check = subprocess.run(["sha256sum", "-c", sums_file], cwd=package_dir, capture_output=True, text=True)
        if check.returncode != 0:
            failures.append(f"sha256sum -c {sums_file} failed: {check.stdout}{check.stderr}")

    check_manifests(package_dir, zip_file, installer, version, failures)

    for failure in failures:
        print(failure)
    print(f"{zip_file}: {len(names)} entries; SHA256SUMS: {len(listed)} lines; {'FAILED' if failures else 'ok'}")
    return 1 if failures else 0


def check_manifests(package_dir, zip_file, installer, version, failures):
    try:
        import jsonschema
        import yaml
    except ImportError:
        failures.append("the manifests' check needs python3-jsonschema and python3-yaml: run scripts/setup.sh")
        return
    schemas = os.path.join(os.path.dirname(os.path.abspath(__file__)), "schemas")

    def load(path, reader, schema):
        if not os.path.isfile(path):
            failures.append(f"{path} is missing")
            return {}
        with open(path, encoding="utf-8") as manifest:
            content = reader(manifest)
        with open(os.path.join(schemas, schema), encoding="utf-8") as schema_file:
            validator = jsonschema.Draft7Validator(json.load(schema_file))
        for error in validator.iter_errors(content):
            failures.append(f"{os.path.basename(path)}: {error.json_path}: {error.message}")
        return content

    def expect(what, actual, expected):
        if actual != expected:
            failures.append(f"{what} is {actual!r}, expected {expected!r}")

    def digest(path):
        return hashlib.sha256(open(path, "rb").read()).hexdigest()

    def expect_download(what, url, package):
        if not (isinstance(url, str) and url.startswith("https://") and url.endswith("/" + os.path.basename(package))):
            failures.append(f"{what} is {url!r}, not an https address of {os.path.basename(package)}")

    winget = {}
    for kind, file_name in (("version", "Tamberlyn.Orvendal.yaml"), ("installer", "Tamberlyn.Orvendal.installer.yaml"),
                            ("defaultLocale", "Tamberlyn.Orvendal.locale.zh-CN.yaml")):
        manifest = load(os.path.join(package_dir, "winget", file_name), yaml.safe_load,
                        os.path.join("winget-1.10.0", f"manifest.{kind}.1.10.0.json"))
        winget[kind] = manifest
        expect(f"{file_name}'s type", manifest.get("ManifestType"), kind)
        expect(f"{file_name}'s package", manifest.get("PackageIdentifier"), "Tamberlyn.Orvendal")
        expect(f"{file_name}'s version", manifest.get("PackageVersion"), version)
    expect("the default locale", winget["defaultLocale"].get("PackageLocale"), winget["version"].get("DefaultLocale"))
    entry = winget["installer"]
    expect("the winget installer type and scope", (entry.get("InstallerType"), entry.get("Scope")), ("nullsoft", "user"))
    expect("the winget silent switches", entry.get("InstallerSwitches", {}).get("Silent"), "/S")
    expect("the winget Uninstall entry's version",
           [e.get("DisplayVersion") for e in entry.get("AppsAndFeaturesEntries", [])], [version])
    installers = entry.get("Installers", [{}])
    expect("the winget installers' count", len(installers), 1)
    expect("the winget installer's SHA-256", installers[0].get("InstallerSha256", "").lower(), digest(installer))
    expect_download("the winget installer's address", installers[0].get("InstallerUrl"), installer)

    scoop = load(os.path.join(package_dir, "orvendal.json"), json.load, os.path.join("scoop", "schema.json"))
    expect("the Scoop version", scoop.get("version"), version)
    zip_entry = scoop.get("architecture", {}).get("64bit", {})
    expect("the Scoop zip's hash", zip_entry.get("hash"), digest(zip_file))
    expect_download("the Scoop zip's address", zip_entry.get("url"), zip_file)
    expect("the Scoop bin", scoop.get("bin"), "orvendal-cli.exe")
    expect("the Scoop shortcuts' programs", [s[0] for s in scoop.get("shortcuts", [])], ["Orvendal.exe"])


if __name__ == "__main__":
    sys.exit(main())
