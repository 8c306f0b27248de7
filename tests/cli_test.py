#!/usr/bin/env python3
"""orvendal-cli end to end, against Python's hashlib, hmac and zlib (independent implementations
of MD5, SHA-1, SHA-2, RIPEMD-160, CRC-32, Adler-32, SHA-3 and BLAKE2b).

Usage: cli_test.py CLI [EMULATOR...]   (EMULATOR runs a Windows build, e.g. wine64)

Files are named relative to the working directory, so a Windows build under Wine gets names it
can open as they are.
"""
import hashlib
import hmac
import os
import subprocess
import sys
import tempfile
import unittest
import zlib

CLI = os.path.abspath(sys.argv[1])
EMULATOR = sys.argv[2:]
WINDOWS = CLI.lower().endswith(".exe")
# What the program does with a text argument: the bytes of the system code page (936 under our
# Wine prefix), or on POSIX the bytes as given.
TEXT_ENCODING = "gbk" if WINDOWS else "utf-8"

TAGS = {"md5": "MD5", "sha1": "SHA1", "sha256": "SHA256", "sha384": "SHA384", "sha512": "SHA512",
        "ripemd160": "RIPEMD160", "crc32": "CRC32", "adler32": "ADLER32", "sha3_256": "SHA3-256",
        "sha3_512": "SHA3-512", "blake2b": "BLAKE2b"}
# The algorithms added after the dialog's thirteen, chosen by name only ("-a all" leaves them out).
ADDED = ["sha3_256", "sha3_512", "blake2b"]
HASHES = [name for name in ("md5", "sha1", "sha256", "sha384", "sha512", "ripemd160")
          if name in hashlib.algorithms_available]
CHECKED = HASHES + ["adler32", "crc32"]  # in the dialog's order, as the output lists them


def digest(name, data, key=None):
    if key is not None:
        return hmac.new(key, data, name).hexdigest()
    if name == "crc32":
        return "%08x" % zlib.crc32(data)
    if name == "adler32":
        return "%08x" % zlib.adler32(data)
    return hashlib.new(name, data).hexdigest()


def expected_lines(label, data, names=CHECKED, key=None):
    prefix = "HMAC-" if key is not None else ""
    return ["%s%s (%s) = %s" % (prefix, TAGS[n], label, digest(n, data, key)) for n in names]


class Cli(unittest.TestCase):
    def setUp(self):
        self.directory = tempfile.TemporaryDirectory(prefix="orvendal-cli-")
        self.cwd = self.directory.name

    def tearDown(self):
        self.directory.cleanup()

    def write(self, name, data):
        with open(os.path.join(self.cwd, name), "wb") as f:
            f.write(data)
        return name

    def run_cli(self, *arguments, stdin=b""):
        done = subprocess.run(EMULATOR + [CLI] + list(arguments), input=stdin, cwd=self.cwd,
                              capture_output=True, timeout=120)
        return done.returncode, done.stdout.decode("utf-8").splitlines(), done.stderr.decode("utf-8")

    def test_files_of_every_size_around_the_block(self):
        names, expected = [], []
        # Around the 8192-byte block and the 256 KiB read.
        for size in (0, 1, 8191, 8192, 8193, 3 * 8192, 100003, 262143, 262144, 262144 + 8192, 1048577):
            data = os.urandom(size)
            names.append(self.write("f%d" % size, data))
            expected += expected_lines(names[-1], data)
        for threads in ([], ["--single-thread"]):
            status, lines, errors = self.run_cli("-a", ",".join(CHECKED).upper(), *threads, *names)
            self.assertEqual((status, errors), (0, ""), "no progress or messages when not on a terminal")
            self.assertEqual(lines, expected, threads)

    def test_default_algorithms_are_the_dialogs(self):
        self.write("abc", b"abc")
        status, lines, _ = self.run_cli("abc")
        self.assertEqual(status, 0)
        self.assertEqual([line.split(" ")[0] for line in lines], ["MD5", "SHA1", "RIPEMD160", "CRC32"])
        self.assertEqual(lines[0], expected_lines("abc", b"abc", ["md5"])[0])
        self.assertEqual(lines[3], expected_lines("abc", b"abc", ["crc32"])[0])

    def test_text_and_hex(self):
        algorithms = ",".join(CHECKED)
        status, text, _ = self.run_cli("-a", algorithms, "--text", "abc")
        self.assertEqual(status, 0)
        self.assertEqual(text, expected_lines("-", b"abc"))
        self.assertEqual(self.run_cli("-a", algorithms, "--hex", "61 62 63")[1], text)
        status, lines, _ = self.run_cli("-a", algorithms, "-t", " a b ", "-x", "", "-t", "中文")
        self.assertEqual(status, 0)
        self.assertEqual(lines, expected_lines("-", b" a b ") + expected_lines("-", b"") +
                         expected_lines("-", "中文".encode(TEXT_ENCODING)))

    def test_hmac(self):
        data = os.urandom(20000)
        self.write("data", data)
        status, lines, _ = self.run_cli("-a", "all", "-k", "a key", "data")
        self.assertEqual(status, 0)
        self.assertEqual([line.split(" ")[0] for line in lines],
                         ["HMAC-" + n for n in ("MD5", "MD4", "SHA1", "SHA256", "SHA384", "SHA512",
                                                 "RIPEMD160", "PANAMA", "TIGER")])
        keyed = [line for line in lines if line.split(" ")[0][5:].lower() in HASHES]
        self.assertEqual(keyed, expected_lines("data", data, HASHES, b"a key"))
        # RFC 2202 test case 2, and a hex key equal to a text key of the same bytes.
        status, lines, _ = self.run_cli("-a", "md5,sha1", "--hmac", "Jefe", "-t", "what do ya want for nothing?")
        self.assertEqual(lines, ["HMAC-MD5 (-) = 750c783e6ab0b503eaa86e310a5db738",
                                 "HMAC-SHA1 (-) = effcdf6ae5eb2fa2d27416d5f184df9c259a7c79"])
        hex_key = self.run_cli("-a", "all", "--hmac-hex", "0b 0b 0b", "data")
        text_key = self.run_cli("-a", "all", "--hmac", "\x0b\x0b\x0b", "data")
        self.assertEqual(hex_key, text_key)
        self.assertEqual(len(hex_key[1]), 9)

    def test_algorithms_chosen_by_name_only(self):
        data = os.urandom(10000)
        self.write("data", data)
        status, lines, _ = self.run_cli("-a", "SHA3-256,sha3-512,Blake2b", "--single-thread", "data", "-t", "abc")
        self.assertEqual(status, 0)
        self.assertEqual(lines, expected_lines("data", data, ADDED) + expected_lines("-", b"abc", ADDED))
        # Keyed: SHA-3 as HMAC (NIST's HMAC-SHA3 uses blocks of 136 and 72 bytes), and BLAKE2b
        # refused by name rather than quietly left out.
        for key in (b"k", bytes(range(136)), bytes(range(200))):
            status, lines, _ = self.run_cli("-a", "sha3-256,sha3-512", "--hmac-hex", key.hex(), "data")
            self.assertEqual(lines, expected_lines("data", data, ADDED[:2], key))
        status, lines, errors = self.run_cli("-a", "sha256,blake2b", "--hmac", "k", "data")
        self.assertEqual((status, lines), (2, []))
        self.assertIn("blake2b cannot be keyed", errors)
        self.assertEqual(len(self.run_cli("-a", "all", "data")[1]), 13)

    def test_refused_inputs_are_reported_and_the_others_hashed(self):
        self.write("a", b"first")
        self.write("b", b"second")
        os.mkdir(os.path.join(self.cwd, "directory"))
        status, lines, errors = self.run_cli("-a", "md5", "a", "missing", "directory", "b", "-x", "616",
                                             "-x", "6g")
        self.assertEqual(status, 1)
        self.assertEqual(lines, expected_lines("a", b"first", ["md5"]) + expected_lines("b", b"second", ["md5"]))
        self.assertEqual(errors.splitlines(), [
            "orvendal-cli: missing: 不能打开指定文件!",
            "orvendal-cli: directory: 指定文件拒绝访问!",
            "orvendal-cli: -: 十六进制串长度必须是偶数!",
            "orvendal-cli: -: 十六进制串中包含非法字符!",
        ])
        status, lines, errors = self.run_cli("-a", "crc32,md2", "-k", "key", "-t", "abc")
        self.assertEqual((status, lines), (1, []))
        self.assertEqual(errors.splitlines(), ["orvendal-cli: -: 请先选择一个校验算法!"])

    def test_usage_errors(self):
        self.write("f", b"")
        for arguments in ([], ["-a", "bogus", "f"], ["--bogus", "f"], ["f", "-t"], ["-k", "a", "--hmac-hex", "0b", "f"]):
            status, lines, errors = self.run_cli(*arguments)
            self.assertEqual((status, lines), (2, []), arguments)
            self.assertIn("Usage: orvendal-cli", errors)

    def test_standard_input(self):
        data = os.urandom(50000)
        status, lines, _ = self.run_cli("-a", ",".join(CHECKED), "-", stdin=data)
        self.assertEqual(status, 0)
        self.assertEqual(lines, expected_lines("-", data))

    def test_help_and_version(self):
        status, lines, _ = self.run_cli("--help")
        self.assertEqual(status, 0)
        self.assertTrue(lines[0].startswith("Usage: orvendal-cli"))
        self.assertEqual(self.run_cli("--version")[:2], (0, ["orvendal-cli 2.02.00337"]))

    def test_one_thread_and_several_agree(self):
        # Many files read at once come out as one thread gives them: the same lines, messages and
        # status, in the inputs' order, with refused, missing and (on Linux) unreadable inputs
        # between them.
        files = {}
        for i in range(60):
            name = "tree/%s/%02d" % ("abc"[i % 3], i)
            os.makedirs(os.path.join(self.cwd, os.path.dirname(name)), exist_ok=True)
            files[name] = os.urandom((i * 7919) % 70000 if i % 10 else 0)
            self.write(name, files[name])
        self.write("plain", b"plain")
        unreadable = []
        if not WINDOWS and os.path.exists("/proc/self/mem"):
            os.symlink("/proc/self/mem", os.path.join(self.cwd, "tree", "b", "mem"))  # reads fail
            unreadable = ["orvendal-cli: tree/b/mem: 指定文件拒绝访问!"]
        arguments = ["-r", "-a", "md5,crc32", "-t", "abc", "tree", "missing", "-x", "616", "plain"]
        runs = [self.run_cli(*threads, *arguments) for threads in (["--single-thread"], [])]
        self.assertEqual(runs[0], runs[1])
        status, lines, errors = runs[1]
        in_walk = sorted(files, key=lambda n: n.encode())
        expected = expected_lines("-", b"abc", ["md5", "crc32"])
        for name in in_walk:
            expected += expected_lines(name, files[name], ["md5", "crc32"])
        expected += expected_lines("plain", b"plain", ["md5", "crc32"])
        self.assertEqual((status, lines), (1, expected))
        self.assertEqual(errors.splitlines(), unreadable + [
            "orvendal-cli: missing: 不能打开指定文件!", "orvendal-cli: -: 十六进制串长度必须是偶数!"])

    def test_names_in_and_outside_the_chinese_code_page(self):
        names = ["数据 文件.bin", "ทดสอบ.bin"]
        for name in names:
            self.write(name, name.encode("utf-8"))
        status, lines, errors = self.run_cli("-a", "sha256", *names)
        self.assertEqual((status, errors), (0, ""))
        self.assertEqual(lines, [line for name in names for line in
                                 expected_lines(name, name.encode("utf-8"), ["sha256"])])


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
