#!/usr/bin/env python3
"""orvendal-cli's check mode (-c), its --untagged and --sfv output and -r, end to end: what it
writes it checks, coreutils and RHash (where installed) check what it writes and it checks what
they write; expected digests come from Python's hashlib, hmac and zlib.

Usage: cli_check_test.py CLI [EMULATOR...]   (EMULATOR runs a Windows build, e.g. wine64)

Names are relative to the working directory, so a Windows build under Wine opens them as they
are; the real tools run natively on the same files.
"""
import hashlib
import hmac
import os
import shutil
import subprocess
import sys
import tempfile
import unittest
import zlib

CLI = os.path.abspath(sys.argv[1])
EMULATOR = sys.argv[2:]
WINDOWS = CLI.lower().endswith(".exe")
SEP = "\\" if WINDOWS else "/"
COREUTILS = {name: shutil.which(tool) for name, tool in (("md5", "md5sum"), ("sha1", "sha1sum"),
                                                         ("sha256", "sha256sum"), ("sha384", "sha384sum"),
                                                         ("sha512", "sha512sum"), ("blake2b", "b2sum"))}
# The suffix of a sum file's name that names the algorithm of its untagged lines, where it is not
# the algorithm's own name.
SUFFIXES = {"blake2b": "b2"}
RHASH = shutil.which("rhash")
OPENSSL = shutil.which("openssl")
TAGS = {"md5": "MD5", "sha1": "SHA1", "sha256": "SHA256", "sha384": "SHA384", "sha512": "SHA512",
        "crc32": "CRC32"}


def digest(name, data, key=None):
    if key is not None:
        return hmac.new(key, data, name).hexdigest()
    if name == "crc32":
        return "%08x" % zlib.crc32(data)
    return hashlib.new(name, data).hexdigest()


def tagged(name, label, data, key=None):
    return "%s%s (%s) = %s" % ("HMAC-" if key is not None else "", TAGS[name], label, digest(name, data, key))


def shown(name):
    """A listed name as check mode prints it: escaped as coreutils does when it holds a line feed
    or, but for Windows, where it separates folders, a backslash."""
    if "\n" in name or ("\\" in name and not WINDOWS):
        return "\\" + name.replace("\\", "\\\\").replace("\n", "\\n")
    return name


def warning(count, one, many):
    return "orvendal-cli: WARNING: %d %s" % (count, one if count == 1 else many)


def mismatched(count):
    return warning(count, "computed checksum did NOT match", "computed checksums did NOT match")


MALFORMED = warning(1, "line is improperly formatted", "")
UNREAD = warning(1, "listed file could not be read", "")


class CliCheck(unittest.TestCase):
    def setUp(self):
        self.directory = tempfile.TemporaryDirectory(prefix="orvendal-check-")
        self.cwd = self.directory.name

    def tearDown(self):
        self.directory.cleanup()

    def path(self, name):
        return os.path.join(self.cwd, name)

    def write(self, name, data):
        os.makedirs(os.path.dirname(self.path(name)), exist_ok=True)
        with open(self.path(name), "wb") as f:
            f.write(data.encode("utf-8") if isinstance(data, str) else data)
        return name

    def read(self, name):
        with open(self.path(name), "rb") as f:
            return f.read()

    def run_raw(self, *arguments, stdin=b"", **options):
        done = subprocess.run(EMULATOR + [CLI] + list(arguments), input=stdin, cwd=self.cwd,
                              capture_output=True, timeout=120, **options)
        return done.returncode, done.stdout, done.stderr.decode("utf-8").splitlines()

    def run_cli(self, *arguments, stdin=b"", **options):
        status, out, errors = self.run_raw(*arguments, stdin=stdin, **options)
        return status, out.decode("utf-8").splitlines(), errors

    def run_tool(self, *arguments):
        return subprocess.run(list(arguments), cwd=self.cwd, capture_output=True, timeout=120,
                              env=dict(os.environ, LC_ALL="C"))  # "OK", not a translation

    def test_what_it_writes_it_checks(self):
        files = {"a file.bin": os.urandom(70000), "b.txt": b"second\n", "t/sub/x": b"deep"}
        for name, data in files.items():
            self.write(name, data)
        top = ["a file.bin", "b.txt"]
        in_tree = "t/sub/x"
        writes = {  # sum file: what writes it, the names it lists
            "all.txt": (["-a", "all"] + top, top),
            "default.txt": (top, top),
            "SHA256SUMS": (["--untagged", "-a", "sha256"] + top, top),
            "list.md5": (["--untagged", "-a", "MD5"] + top, top),
            "list": (["--untagged", "-a", "sha512"] + top, top),  # by its length alone
            "list.sfv": (["--sfv"] + top, top),
            "tree.txt": (["-r", "-a", "sha1", "t", "b.txt"], [in_tree, "b.txt"]),
            "keyed.txt": (["-a", "all", "--hmac", "a key"] + top, top),
        }
        for sum_file, (arguments, listed) in writes.items():
            status, out, errors = self.run_raw(*arguments)
            self.assertEqual((status, errors), (0, []), arguments)
            self.write(sum_file, out)
        self.assertEqual(self.read("SHA256SUMS").decode().splitlines(),
                         ["%s  %s" % (digest("sha256", files[n]), n) for n in top])
        self.assertEqual(self.read("list.sfv").decode().splitlines(),
                         ["%s %s" % (n, digest("crc32", files[n])) for n in top])
        self.assertEqual(len(self.read("all.txt").decode().splitlines()), 2 * 13)
        # A verdict per line: a file listed for every algorithm gets one for each.
        per_file = {s: len(self.read(s).splitlines()) // len(listed) for s, (_, listed) in writes.items()}
        for sum_file, (_, listed) in writes.items():
            key = ["--hmac", "a key"] if sum_file == "keyed.txt" else []
            self.assertEqual(self.run_cli("-c", *key, sum_file),
                             (0, [shown(n) + ": OK" for n in listed for _ in range(per_file[sum_file])], []),
                             sum_file)

        self.write("b.txt", b"second!\n")
        status, out, errors = self.run_cli("-c", "--hmac", "a key", *writes)
        self.assertEqual(status, 1)
        self.assertEqual(out, [shown(n) + (": FAILED" if n == "b.txt" else ": OK")
                               for s, (_, listed) in writes.items() for n in listed
                               for _ in range(per_file[s])])
        self.assertEqual(errors, [mismatched(self.read(s).decode().count("b.txt")) for s in writes])

    def test_the_real_tools_agree(self):
        names = ["a file.bin", "plain"]
        if not WINDOWS:
            names += ["back\\slash", "new\nline"]
        for name in names:
            self.write(name, os.urandom(3000) + name.encode())
        ran = 0
        for algorithm, tool in COREUTILS.items():
            if not tool:
                continue
            ran += 1
            for untagged in ([], ["--untagged"]):
                status, out, errors = self.run_raw(*untagged, "-a", algorithm, *names)
                self.assertEqual((status, errors), (0, []))
                self.write("ours", out)
                done = self.run_tool(tool, "-c", "ours")
                # How coreutils spells a name in its report varies with the line; each is OK.
                self.assertEqual((done.returncode, done.stdout.count(b": OK\n")), (0, len(names)),
                                 (tool, untagged, done.stdout))
            for tag in ([], ["--tag"]):
                done = self.run_tool(tool, *tag, "--", *names)
                self.assertEqual(done.returncode, 0)
                theirs = "theirs." + SUFFIXES.get(algorithm, algorithm)
                self.write(theirs, done.stdout)
                self.assertEqual(self.run_cli("-c", theirs),
                                 (0, [shown(n) + ": OK" for n in names], []), (tool, tag))
        if RHASH:
            ran += 1
            plain = names[:2]
            for arguments, sum_file, chosen in (
                    (["--sfv"], "rhash.sfv", []),
                    (["--bsd", "--md5", "--sha1", "--sha256", "--sha512", "--crc32"], "rhash.txt", []),
                    (["--simple", "--sha1"], "rhash.txt", ["-a", "sha1"]),
                    (["--simple", "--sha512"], "rhash", [])):
                done = self.run_tool(RHASH, *arguments, "--", *plain)
                self.assertEqual(done.returncode, 0)
                self.write(sum_file, done.stdout)
                lines = 5 if "--bsd" in arguments else 1  # a verdict per line
                self.assertEqual(self.run_cli("-c", *chosen, sum_file),
                                 (0, [n + ": OK" for n in plain for _ in range(lines)], []), arguments)
                self.write("plain", b"changed")
                self.assertEqual(self.run_cli("-c", *chosen, sum_file)[:2],
                                 (1, ["a file.bin: OK"] * lines + ["plain: FAILED"] * lines), arguments)
                self.write("plain", os.urandom(3000) + b"plain")
        if OPENSSL:
            ran += 1
            plain = names[:2]
            for algorithm, sum_file in (("sha3-256", "SHA3-256SUMS"), ("sha3-512", "list.sha3-512")):
                done = self.run_tool(OPENSSL, "dgst", "-" + algorithm, "-r", *plain)
                self.assertEqual(done.returncode, 0)
                self.write(sum_file, done.stdout)
                self.assertEqual(self.run_cli("-c", sum_file), (0, [n + ": OK" for n in plain], []), algorithm)
        # A list whose name says no algorithm: 128 digits are tried as SHA-512, then BLAKE2b and
        # SHA3-512; 64 as SHA-256 and PANAMA, then SHA3-256.
        for algorithm, tool in (("sha3-512", [OPENSSL, "dgst", "-sha3-512", "-r"] if OPENSSL else None),
                                ("sha3-256", [OPENSSL, "dgst", "-sha3-256", "-r"] if OPENSSL else None),
                                ("blake2b", [COREUTILS["blake2b"]] if COREUTILS["blake2b"] else None)):
            if tool:
                ran += 1
                self.write("checksums", self.run_tool(*tool, *names[:2]).stdout)
                self.assertEqual(self.run_cli("-c", "checksums"), (0, [n + ": OK" for n in names[:2]], []),
                                 algorithm)
        if not ran:
            self.skipTest("neither coreutils' sha*sum, rhash nor openssl is installed")

    def test_check_reports(self):
        self.write("good", b"good")
        self.write("bad", b"bad")
        self.write("sums", "\n".join([tagged("sha1", "good", b"good"), tagged("sha1", "bad", b"other"),
                                      tagged("md5", "missing", b""), "this is not a line", ""]))
        out = ["good: OK", "bad: FAILED", "missing: FAILED open or read"]
        errors = ["orvendal-cli: missing: 不能打开指定文件!", MALFORMED, UNREAD, mismatched(1)]
        self.assertEqual(self.run_cli("-c", "sums"), (1, out, errors))
        self.assertEqual(self.run_cli("--check", "--quiet", "sums"), (1, out[1:], errors))
        self.assertEqual(self.run_cli("-c", "--status", "sums"), (1, [], []))
        self.assertEqual(self.run_cli("-c", "--ignore-missing", "sums"), (1, out[:2], [MALFORMED, mismatched(1)]))
        status, lines, warned = self.run_cli("-c", "-w", "sums")
        line_warning = "orvendal-cli: sums: 4: improperly formatted line (not a checksum line)"
        self.assertIn(line_warning, warned)
        self.assertEqual((status, lines, [e for e in warned if e != line_warning]), (1, out, errors))

        self.write("ok", "%s\n%s\n" % (tagged("sha1", "good", b"good"), tagged("md5", "missing", b"")))
        self.assertEqual(self.run_cli("-c", "--ignore-missing", "ok"), (0, ["good: OK"], []))
        self.write("gone", tagged("md5", "missing", b"") + "\n")
        self.assertEqual(self.run_cli("-c", "--ignore-missing", "gone"),
                         (1, [], ["orvendal-cli: gone: no file was verified"]))
        self.write("loose", "%s\r\nnot a line\r\n" % tagged("sha1", "good", b"good"))
        self.assertEqual(self.run_cli("-c", "loose"), (0, ["good: OK"], [MALFORMED]))
        self.assertEqual(self.run_cli("-c", "--strict", "loose"), (1, ["good: OK"], [MALFORMED]))
        self.write("junk", "not a line\n# a comment\n")
        status, lines, junk = self.run_cli("-c", "junk", "loose")
        self.assertEqual((status, lines), (1, ["good: OK"]))
        self.assertIn("orvendal-cli: junk: no properly formatted checksum lines found", junk)
        self.assertEqual(self.run_cli("-c", "absent", "loose"),
                         (1, ["good: OK"], ["orvendal-cli: absent: 不能打开指定文件!", MALFORMED]))

    def test_one_thread_and_several_agree(self):
        # Many listed files read at once are reported as one thread reports them: the same
        # lines, messages and status, in the order of the sum file, whatever fails.
        listed = []  # (name, digest listed, what the check says)
        for i in range(50):
            data = os.urandom((i * 7919) % 60000)
            name = self.write("f%02d" % i, data)
            listed.append((name, digest("sha256", b"other" if i % 7 == 3 else data),
                           "FAILED" if i % 7 == 3 else "OK"))
        unreadable = [("missing", digest("sha256", b""), "FAILED open or read"),
                      ("folder", digest("sha256", b""), "FAILED open or read")]
        os.mkdir(self.path("folder"))
        if not WINDOWS and os.path.exists("/proc/self/mem"):
            os.symlink("/proc/self/mem", self.path("mem"))  # reads fail
            unreadable.append(("mem", digest("sha256", b""), "FAILED open or read"))
        listed[10:10] = unreadable
        self.write("SHA256SUMS", "".join("%s  %s\n" % (digest_, name) for name, digest_, _ in listed))
        runs = [self.run_cli(*threads, "-c", "SHA256SUMS") for threads in (["--single-thread"], [])]
        self.assertEqual(runs[0], runs[1])
        status, out, errors = runs[1]
        self.assertEqual((status, out), (1, ["%s: %s" % (name, said) for name, _, said in listed]))
        self.assertEqual(errors[-2:], [warning(len(unreadable), "", "listed files could not be read"),
                                       mismatched(7)])

    def test_where_names_lead_and_which_algorithm(self):
        self.write("f", b"top")
        self.write("h", b"other")
        self.write("sub/f", b"below")
        listing = tagged("sha256", "f", b"top") + "\n"
        self.assertEqual(self.run_cli("-c", stdin=listing.encode()), (0, ["f: OK"], []))
        self.assertEqual(self.run_cli("-c", "-", stdin=listing.encode()), (0, ["f: OK"], []))
        self.assertEqual(self.run_cli("-c", "--ignore-missing", stdin=tagged("md5", "none", b"").encode()),
                         (1, [], ["orvendal-cli: -: no file was verified"]))
        self.write("sub/SHA256SUMS", "%s  f\n" % digest("sha256", b"below"))
        self.assertEqual(self.run_cli("-c", "sub" + SEP + "SHA256SUMS"), (0, ["f: OK"], []))

        # 32 hex digits could be MD5, MD4, MD2 or eDonkey: each is tried, -w says which matched,
        # -a forces one.
        self.write("list.txt", "%s  h\n%s\n" % (digest("md5", b"other"), tagged("sha1", "f", b"top")))
        self.assertEqual(self.run_cli("-c", "list.txt"), (0, ["h: OK", "f: OK"], []))
        self.assertEqual(self.run_cli("-c", "-w", "list.txt"), (0, ["h: OK (MD5)", "f: OK"], []))
        self.assertEqual(self.run_cli("-c", "-a", "md5", "list.txt"), (0, ["h: OK", "f: OK"], []))
        self.assertEqual(self.run_cli("-c", "-a", "md4", "list.txt"), (1, ["h: FAILED", "f: OK"], [mismatched(1)]))

        self.write("keyed", "%s\n%s\n" % (tagged("sha256", "f", b"top", b"k\x01"), tagged("md5", "h", b"other")))
        self.assertEqual(self.run_cli("-c", "keyed"), (0, ["h: OK"], [MALFORMED]))
        self.assertEqual(self.run_cli("-c", "--hmac-hex", "6b 01", "keyed"), (0, ["f: OK", "h: OK"], []))
        self.assertEqual(self.run_cli("-c", "--hmac", "k", "keyed"), (1, ["f: FAILED", "h: OK"], [mismatched(1)]))

        if WINDOWS:
            self.write("SHA256SUMS", "%s  sub/f\n%s  sub\\f\n" % ((digest("sha256", b"below"),) * 2))
            self.assertEqual(self.run_cli("-c", "SHA256SUMS"), (0, ["sub/f: OK", shown("sub\\f") + ": OK"], []))

    def tool_output(self, *arguments, **options):
        """What a real tool prints, or None when it is not installed here."""
        if not shutil.which(arguments[0]):
            return None
        done = subprocess.run(list(arguments), cwd=self.cwd, capture_output=True, timeout=120, **options)
        self.assertEqual(done.returncode, 0, (arguments, done.stderr))
        return done.stdout

    def test_published_layouts(self):
        data = {"f": b"abc", "a-long-name-that-gpg-puts-its-digest-after.bin": os.urandom(5000)}
        for name, content in data.items():
            self.write(name, content)
        f, long = list(data)
        sha256 = digest("sha256", data[f])
        layouts = {  # sum file: its bytes (None: the tool is not installed)
            "one-space": "%s %s\n" % (sha256, f),
            "tab": "%s\t%s\r\n" % (sha256, f),
            "dot-slash": "%s  ./%s\n" % (sha256, f),
            "openssl.txt": self.tool_output("openssl", "dgst", "-sha256", f, long),
            "openssl-r.txt": self.tool_output("openssl", "dgst", "-r", "-sha1", f),
            "gpg.txt": self.tool_output("gpg", "--print-md", "sha512", f, long),
            "gpg-all.txt": self.tool_output("gpg", "--print-md", "sha256", long),
            # A release asset's NAME.sha256: the digest alone.
            f + ".sha256": sha256 + "\n",
            f + ".sha512sum": digest("sha512", data[f]),
        }
        text = "%s  %s\n" % (sha256, f)
        layouts["utf-8-bom"] = b"\xef\xbb\xbf" + text.encode()
        layouts["utf-16le"] = b"\xff\xfe" + text.replace("\n", "\r\n").encode("utf-16-le")
        layouts["utf-16be"] = b"\xfe\xff" + text.encode("utf-16-be")
        for sum_file, content in layouts.items():
            if content is None:
                continue
            self.write(sum_file, content)
            status, out, errors = self.run_cli("-c", sum_file)
            self.assertEqual((status, errors), (0, []), (sum_file, content))
            self.assertTrue(out and all(line.endswith(": OK") for line in out), (sum_file, out))
            if sum_file in ("one-space", "tab", "dot-slash") and COREUTILS["sha256"]:
                self.assertEqual(self.run_tool(COREUTILS["sha256"], "-c", sum_file).returncode, 0, sum_file)

        # Clear-signed: the armour is neither checked nor malformed, and its Hash: header is not
        # the lines' algorithm. The key is made here and thrown away.
        home = tempfile.TemporaryDirectory(prefix="orvendal-gpg-")
        self.addCleanup(home.cleanup)
        if shutil.which("gpgconf"):  # the agent gpg starts for the key ends with it
            self.addCleanup(subprocess.run, ["gpgconf", "--homedir", home.name, "--kill", "gpg-agent"],
                            capture_output=True, timeout=30)
        gpg = ["gpg", "--batch", "--homedir", home.name, "--pinentry-mode", "loopback", "--passphrase", ""]
        self.write("SHA1SUMS", "%s  %s\n" % (digest("sha1", data[f]), f))
        if self.tool_output(*gpg, "--quick-gen-key", "Test <test@example.org>", "ed25519", "sign", "never") is not None:
            signed = self.tool_output(*gpg, "--digest-algo", "SHA512", "--clearsign", "--output", "-", "SHA1SUMS")
            self.write("SHA1SUMS", signed)
            self.assertEqual(self.run_cli("-c", "-w", "--strict", "SHA1SUMS"),
                             (0, ["f: OK"], ["orvendal-cli: SHA1SUMS: the OpenPGP signature was not checked"]))

        # An algorithm we do not compute is told apart, never FAILED; alone it fails the check.
        unsupported = warning(1, "line is of an unsupported algorithm", "")
        self.write("other", "SM3(f)= %s\nSHA2-512/256(f)= %s\n" % (sha256, sha256))
        self.assertEqual(self.run_cli("-c", "other"),
                         (1, [], [warning(2, "", "lines are of an unsupported algorithm"),
                                  "orvendal-cli: other: no line of a supported algorithm found"]))
        self.write("mixed", "SM3(f)= %s\n%s  f\n" % (sha256, sha256))
        self.assertEqual(self.run_cli("-c", "mixed"), (0, ["f: OK"], [unsupported]))
        self.assertIn("orvendal-cli: mixed: 1: unsupported algorithm (SM3)", self.run_cli("-c", "-w", "mixed")[2])

    def test_a_verdict_per_line_as_coreutils_gives(self):
        self.write("h.txt", b"hello")
        right, wrong = digest("sha256", b"hello"), digest("sha256", b"other")
        self.write("SHA256SUMS", "%s  h.txt\n%s  h.txt\n%s  h.txt\n" % (right, wrong, right))
        self.write("gone", "%s  missing\n" % right * 3)
        os.mkdir(self.path("folder"))
        self.write("folders", "%s  folder\n" % right)
        ours = {name: self.run_cli("-c", name) for name in ("SHA256SUMS", "gone", "folders")}
        self.assertEqual(ours["SHA256SUMS"], (1, ["h.txt: OK", "h.txt: FAILED", "h.txt: OK"], [mismatched(1)]))
        self.assertEqual(ours["gone"], (1, ["missing: FAILED open or read"] * 3,
                                        ["orvendal-cli: missing: 不能打开指定文件!"] * 3 +
                                        [warning(3, "", "listed files could not be read")]))
        self.assertEqual(ours["folders"][:2], (1, ["folder: FAILED open or read"]))
        self.assertIn("orvendal-cli: folder: is a folder", ours["folders"][2])
        self.assertEqual(self.run_cli("-c", "folder")[2], ["orvendal-cli: folder: is a folder"])
        if COREUTILS["sha256"]:
            for name, (status, out, _) in ours.items():
                done = self.run_tool(COREUTILS["sha256"], "-c", name)
                self.assertEqual((done.returncode, done.stdout.decode().splitlines()), (status, out), name)

    def test_verify_with_the_sum_files_beside(self):
        self.write("dl/setup.iso", b"setup")
        self.write("dl/notes.txt", b"notes")
        self.write("dl/lone.bin", b"lone")
        self.write("dl/SHASUMS256.txt", "%s  setup.iso\n%s  notes.txt\n" % (
            digest("sha256", b"setup"), digest("sha256", b"changed")))
        self.write("dl/setup.iso.md5", digest("md5", b"setup") + "\n")
        files = ["dl" + SEP + n for n in ("setup.iso", "notes.txt", "lone.bin")]
        self.assertEqual(self.run_cli("--verify", *files),
                         (1, [files[0] + ": OK (MD5, setup.iso.md5)", files[1] + ": FAILED (SHA256, SHASUMS256.txt)"],
                          ["orvendal-cli: %s: no sum file beside it lists it" % files[2]]))
        self.assertEqual(self.run_cli("--verify", files[0]), (0, [files[0] + ": OK (MD5, setup.iso.md5)"], []))
        self.assertEqual(self.run_cli("--verify", "--quiet", *files[:2]),
                         (1, [files[1] + ": FAILED (SHA256, SHASUMS256.txt)"], []))
        self.assertEqual(self.run_cli("--verify", "--status", *files), (1, [], []))
        self.write("dl/setup.iso.md5", digest("md5", b"other") + "\n")
        self.assertEqual(self.run_cli("--verify", files[0]), (1, [files[0] + ": FAILED (MD5, setup.iso.md5)"], []))
        self.assertEqual(self.run_cli("--verify", "-t", "x")[0], 2)

    def test_usage_errors(self):
        self.write("f", b"")
        for arguments in (["--untagged", "f"], ["--sfv", "-a", "sha1", "f"], ["--sfv", "--hmac", "k", "f"],
                          ["--untagged", "-a", "sha1", "--hmac", "k", "f"], ["--quiet", "f"],
                          ["--ignore-missing", "f"], ["-c", "--text", "abc"], ["-c", "-r", "f"]):
            status, out, errors = self.run_cli(*arguments)
            self.assertEqual((status, out), (2, []), arguments)
            self.assertTrue(errors and errors[0].startswith("orvendal-cli: "), (arguments, errors))
        # SFV cannot carry a name starting with '#': that one is refused, the others written.
        self.write("#x", b"")
        status, out, errors = self.run_cli("--sfv", "#x", "f")
        self.assertEqual((status, out), (1, ["f 00000000"]))
        self.assertEqual(len(errors), 1)
        self.assertTrue(errors[0].startswith("orvendal-cli: #x: "), errors)

    def test_recursive_walk(self):
        # Byte order (B before a, the folder sub before sub.txt) differs from case-blind order.
        # Paths are joined with '/' everywhere; the argument's own separator stays.
        names = ["B", "a", "a.txt", "sub/deeper/y", "sub/x", "sub.txt"]
        for name in names:
            self.write("t/" + name, name.encode())
        if not WINDOWS:
            os.symlink("sub", self.path("t/link"))
            os.mkfifo(self.path("t/fifo"))

        def lines(names, folder="t/"):
            return [tagged("sha1", folder + n, n.encode()) for n in names]

        for argument, folder in (("t", "t/"), ("t" + SEP, "t" + SEP)):
            self.assertEqual(self.run_cli("-r", "-a", "sha1", argument), (0, lines(names, folder), []), argument)
        status, out, errors = self.run_cli("-a", "sha1", "t")
        self.assertEqual((status, out), (1, []))

        if WINDOWS:
            return
        # A folder that cannot be listed: permissions do not stop root, so it is run as nobody.
        self.write("t/locked/z", b"z")
        as_user = {}
        if os.geteuid() == 0:
            os.chmod(self.cwd, 0o755)
            as_user = {"user": 65534, "group": 65534}
        os.chmod(self.path("t/locked"), 0)
        try:
            status, out, errors = self.run_cli("-r", "-a", "sha1", "t", **as_user)
        except PermissionError:
            self.skipTest("the user nobody cannot run " + CLI)
        finally:
            os.chmod(self.path("t/locked"), 0o755)
        self.assertEqual((status, out, errors),
                         (1, lines(names), ["orvendal-cli: t/locked: cannot read the folder"]))


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
