#!/usr/bin/env python3
"""Writes the package managers' manifests beside the release packages (scripts/package.sh runs
it after SHA256SUMS, whose digests it takes):

  winget/Tamberlyn.Orvendal.yaml                   winget's version manifest
  winget/Tamberlyn.Orvendal.installer.yaml         the per-user installer (schema 1.10.0)
  winget/Tamberlyn.Orvendal.locale.zh-CN.yaml      the default locale's texts
  orvendal.json                                    Scoop's manifest of the portable zip

The installer's values (its Uninstall entry's key, display name, publisher and version, its
silent switch and /D=) are those packaging/Orvendal.nsi writes and takes; the installer test
holds the manifest against what an installation really writes.

Usage: write_manifests.py PACKAGE_DIR VERSION DOWNLOAD_BASE ZIP INSTALLER
DOWNLOAD_BASE is the address the packages are published under; each file's own name follows it.
"""
import json
import os
import re
import sys

IDENTIFIER = "Tamberlyn.Orvendal"
MANIFEST_VERSION = "1.10.0"
LOCALE = "zh-CN"
PUBLISHER = "Tamberlyn"
NAME = "Orvendal"
PRODUCT_CODE = "Orvendal"  # the installer's Uninstall key
HOMEPAGE = "https://www.tamberlyn.example/"
LICENSE = "Proprietary"
COPYRIGHT = "版权所有 (C) Tamberlyn"
SHORT_DESCRIPTION = "校验值计算程序：文件、文本串或十六进制串的 MD5、SHA-1、SHA-256 等校验值。"
DESCRIPTION = (
    "Orvendal 计算文件、文本串或十六进制串的校验值（MD5、SHA-1、SHA-256、SHA-512、CRC-32 等），也可计算 HMAC；"
    "附带命令行版本 orvendal-cli。安装程序按用户安装，无需管理员权限，并添加资源管理器右键菜单。"
)
ENGLISH_DESCRIPTION = (
    "A hash calculator: MD5, SHA-1, SHA-256 and more of a file, a text string or a hex string, "
    "with the command-line tool orvendal-cli."
)
TAGS = ["checksum", "hash", "hmac", "md5", "sha1", "sha256", "sha512", "crc32"]


def yaml_lines(value, indent=""):
    """A small YAML writer for what the manifests hold: mappings, lists and strings. Strings are
    written as JSON strings, which YAML reads as double-quoted scalars."""
    lines = []
    if isinstance(value, dict):
        for key, item in value.items():
            if isinstance(item, (dict, list)):
                lines.append(f"{indent}{key}:")
                lines += yaml_lines(item, indent + "  ")
            else:
                lines.append(f"{indent}{key}: {json.dumps(item, ensure_ascii=False)}")
    else:
        for item in value:
            if isinstance(item, dict):
                first, *rest = yaml_lines(item, indent + "  ")
                lines.append(f"{indent}- {first.lstrip()}")
                lines += rest
            else:
                lines.append(f"{indent}- {json.dumps(item, ensure_ascii=False)}")
    return lines


def write_yaml(path, manifest_type, content):
    schema = f"https://aka.ms/winget-manifest.{manifest_type}.{MANIFEST_VERSION}.schema.json"
    header = f"# yaml-language-server: $schema={schema}"
    content = dict(content, ManifestType=manifest_type, ManifestVersion=MANIFEST_VERSION)
    with open(path, "w", encoding="utf-8", newline="\n") as manifest:
        manifest.write("\n".join([header, ""] + yaml_lines(content)) + "\n")


def read_digests(package_dir):
    """SHA-256 per file name, from SHA256SUMS."""
    digests = {}
    with open(os.path.join(package_dir, "SHA256SUMS"), encoding="utf-8") as sums:
        for line in sums:
            match = re.fullmatch(r"([0-9a-f]{64})  (\S+)\n", line)
            if not match:
                sys.exit(f"unexpected line in SHA256SUMS: {line!r}")
            digests[match.group(2)] = match.group(1)
    return digests


def main():
    package_dir, version, download_base, zip_file, installer = sys.argv[1:6]
    zip_name, installer_name = os.path.basename(zip_file), os.path.basename(installer)
    digests = read_digests(package_dir)
    url = lambda name: download_base.rstrip("/") + "/" + name

    winget = os.path.join(package_dir, "winget")
    os.makedirs(winget, exist_ok=True)
    common = {"PackageIdentifier": IDENTIFIER, "PackageVersion": version}
    write_yaml(os.path.join(winget, f"{IDENTIFIER}.yaml"), "version", dict(common, DefaultLocale=LOCALE))
    write_yaml(os.path.join(winget, f"{IDENTIFIER}.installer.yaml"), "installer", dict(
        common,
        InstallerLocale=LOCALE,
        InstallerType="nullsoft",
        Scope="user",
        InstallModes=["interactive", "silent", "silentWithProgress"],
        InstallerSwitches={"Silent": "/S", "SilentWithProgress": "/S", "InstallLocation": "/D=<INSTALLPATH>"},
        UpgradeBehavior="install",
        ProductCode=PRODUCT_CODE,
        AppsAndFeaturesEntries=[{"DisplayName": NAME, "Publisher": PUBLISHER, "DisplayVersion": version,
                                 "ProductCode": PRODUCT_CODE}],
        Installers=[{"Architecture": "x64", "InstallerUrl": url(installer_name),
                     "InstallerSha256": digests[installer_name].upper()}],
    ))
    write_yaml(os.path.join(winget, f"{IDENTIFIER}.locale.{LOCALE}.yaml"), "defaultLocale", dict(
        common,
        PackageLocale=LOCALE,
        Publisher=PUBLISHER,
        PublisherUrl=HOMEPAGE,
        PackageName=NAME,
        PackageUrl=HOMEPAGE,
        License=LICENSE,
        Copyright=COPYRIGHT,
        ShortDescription=SHORT_DESCRIPTION,
        Description=DESCRIPTION,
        Moniker="orvendal",
        Tags=TAGS,
    ))

    scoop = {
        "version": version,
        "description": ENGLISH_DESCRIPTION,
        "homepage": HOMEPAGE,
        "license": LICENSE,
        "architecture": {"64bit": {"url": url(zip_name), "hash": digests[zip_name]}},
        "bin": "orvendal-cli.exe",
        "shortcuts": [["Orvendal.exe", NAME]],
    }
    with open(os.path.join(package_dir, "orvendal.json"), "w", encoding="utf-8", newline="\n") as manifest:
        json.dump(scoop, manifest, ensure_ascii=False, indent=4)
        manifest.write("\n")


if __name__ == "__main__":
    main()
