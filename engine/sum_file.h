// Sum files: the lists of digests that checksum tools publish beside the files they describe.
// One reader for the layouts publishers and tools write, and one writer for the three line
// formats in common use:
//
//   tagged  NAME (FILE) = HEX        NAME an algorithm, any run of spaces before '(' (also
//                                    none, as OpenSSL's NAME(FILE)= HEX); HMAC-NAME marks a
//                                    keyed digest
//   GNU     HEX  FILE  or  HEX *FILE a space or a tab, then a space or '*', between digest and
//           HEX FILE                 name; or one space or tab alone (as BSD's md5 -r writes)
//   SFV     FILE HEX8                CRC-32, the last space or tab on the line separates
//
// Before the lines are read: text starting with a UTF-16 byte-order mark (little or big
// endian) is turned into UTF-8; lines end at '\n', a '\r' before it is dropped. An OpenPGP
// clear-signed message is read for its signed text: the armour lines, the armour headers (a
// "Hash:" header names the signature's digest, never the lines') and the signature block are
// passed over, "- " before a dash-escaped line is dropped, and SumFile::signed_message says the
// signature was there and was not checked. A signature block on its own is passed over alike.
//
// Reading, line by line (spaces, tabs and UTF-8 byte-order marks at the start of a line are
// dropped):
// 1. A blank line, or one starting with '#' or ';', is a comment.
// 2. A line starting with '\' is escaped: the '\' is dropped and the name of the tagged or GNU
//    line after it is unescaped, "\\" to '\', "\n" to a line feed, "\r" to a carriage return;
//    any other backslash in the name makes the line malformed.
// 3. A tagged line is one whose NAME is an algorithm we know (our names and the spellings other
//    tools write, OpenSSL's SHA2-256 and RIPEMD-160 among them, any case). FILE runs from the
//    '(' to the LAST ')' on the line, so a name may itself hold " (" or ") = "; spaces or tabs
//    may surround the '=' and follow the digest.
// 4. Otherwise a line that starts with hex digits, a space or tab and then a space or '*' is a
//    GNU line with the name after these two characters (unless step 6 read an earlier line of
//    the sum file). A GNU line takes its algorithm from the
//    sum file's name (the suffixes, whole names and name starts the algorithm table lists:
//    *.md5, *.sha256sum, SHA256SUMS, sha256sums.txt, SHASUMS256.txt, CHECKSUM.SHA256-* and the
//    like, any case), else from the caller's chosen algorithm, else from the digest's length.
//    A length that several algorithms have (32 hex digits: MD5, MD4, MD2, eDonkey) gives the
//    entry every one of them as candidates, cheapest first; which one it is, checking tells.
// 5. Otherwise a line `FILE: HEX HEX ...` as gpg --print-md writes it, the digest in upper-case
//    groups of 2, 4 or 8 digits, is read as a GNU line of that digest (its algorithm found as
//    in 4); `FILE: ALGO = HEX HEX ...` (gpg --print-md '*') as a tagged line. The digest may go
//    on over lines that start with a space or tab and hold such groups only, and when FILE is
//    long it starts on the line after the colon.
// 6. Otherwise a line of hex digits, a space or tab and a name is a GNU line with that name
//    (coreutils reads it so), when the digest's length fits its algorithm (as found in 4) and
//    the line is not hex groups of one length alone. As in coreutils, the first GNU line of a sum file
//    decides between the two: after a two-character line a one-blank line is not read as GNU, and after a
//    one-blank line everything after the single blank is the name, a leading space or '*' included. A line
//    that reads as SFV (step 9) with a digest of 8 hex digits stays SFV.
// 7. Before all of these: in a sum file whose name ends in an algorithm's suffix
//    (setup.iso.sha256) and whose whole content, blank lines and comments aside, is one digest
//    of that algorithm (maybe in groups and continued as in 5, blanks after it), the digest
//    lists the file the sum file is named after (setup.iso): what publishers put in NAME.sha256.
// 8. Otherwise a line shaped like a tagged line (a name, '(', ')', '=', a digest) whose NAME we
//    do not compute is of an unsupported algorithm: neither an entry nor malformed
//    ("SHA3-256 (f) = ...", "CRC32C (f) = 1a2b3c4d", "HMAC-CRC32 (f) = 1a2b3c4d").
// 9. Otherwise a line ending in a space or tab and 8 hex digits is an SFV line: the name is
//    what comes before, spaces or tabs at its end dropped.
// So "HEX  FILE" is a GNU line even when FILE is 8 hex digits or ends in a space and 8 hex
// digits, as an SFV line would; a tagged line with a name we know is never read as SFV; a name
// may hold spaces in every format. A sum file named *.sfv holds SFV lines only (steps 2 to 8 are
// skipped): there "deadbeef  cafebabe" lists the file "deadbeef", and a GNU or tagged line is
// malformed unless it happens to end in a space and 8 hex digits, which makes it an SFV line.
// Hex digits are read in either case and kept in lower case. A digest whose length does not fit
// its algorithm, an empty name or one holding a zero byte makes the line malformed; a malformed
// line is reported with its number and reason and skipped. The reader takes bytes, never a
// path, keeps names as written (UTF-8, unescaped) and resolves nothing.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "hashlib/hashlib.h"

namespace engine {

enum class SumLineFormat { Tagged, Gnu, Sfv };

// A sum file whose name ends in this (any case) holds SFV lines only.
inline constexpr std::string_view SfvSuffix = ".sfv";

struct SumEntry {
    size_t line = 0;  // 1-based number of the line in the sum file
    SumLineFormat format = SumLineFormat::Tagged;
    int algorithm = 0;      // Algorithm identifier
    bool keyed = false;     // an HMAC- line: the digest is keyed under a key the caller holds
    std::string file_name;  // as written, unescaped; never empty, never holds a zero byte
    std::string digest;     // lower-case hex, twice the algorithm's digest size in characters
    // For an untagged line that nothing but its length names, when several algorithms have that
    // length: every one of them, cheapest to compute first (`algorithm` is the first). Empty
    // when the line's algorithm is known.
    std::vector<int> candidates;
    bool operator==(const SumEntry&) const = default;
};

enum class SumLineProblem {
    NotASumLine,          // fits none of the layouts
    DigestNotHex,         // a tagged line whose digest holds other characters than hex digits
    WrongDigestLength,    // the digest's length does not fit the line's algorithm
    UnknownDigestLength,  // an untagged line of no known algorithm whose length no algorithm has
    BadEscape,            // an escaped name with a backslash not followed by '\', 'n' or 'r'
    BadFileName,          // an empty name, or one holding a zero byte
};

struct SumLineError {
    size_t line = 0;  // 1-based
    SumLineProblem problem = SumLineProblem::NotASumLine;
    bool operator==(const SumLineError&) const = default;
};

// A tagged line of an algorithm we do not compute: well formed, but nothing to check it with.
struct UnsupportedLine {
    size_t line = 0;        // 1-based
    std::string algorithm;  // as the line names it ("SHA3-256", "HMAC-CRC32")
    std::string file_name;  // as written
    bool operator==(const UnsupportedLine&) const = default;
};

struct SumFile {
    std::vector<SumEntry> entries;             // in line order
    std::vector<SumLineError> malformed;       // in line order; comments are neither
    std::vector<UnsupportedLine> unsupported;  // in line order
    bool signed_message = false;               // OpenPGP armour was passed over: a signature nobody checked
};

// Reads a sum file's bytes. `sum_file_name` is its name or path (only the part after the last
// '/' or '\' counts: it may choose the algorithm of GNU lines, or make the file an SFV file);
// empty for standard input. `chosen_algorithm` is the algorithm GNU lines have when the name
// gives none, or -1. Never throws but for memory; linear in the input's length.
SumFile ReadSumFile(std::string_view bytes, std::string_view sum_file_name, int chosen_algorithm = -1);

// Every algorithm whose digest is `hex_digits` hex digits long: the common thirteen before the
// others, each group cheapest to compute first (by the algorithm table's relative cost, then
// identifier).
std::vector<int> AlgorithmsOfHexLength(size_t hex_digits);

// A short English reason for a malformed line ("digest length fits no algorithm").
const char* SumLineProblemText(SumLineProblem problem);

// Indices of entries, in groups: two flat lists rather than a list per group, which for a sum
// file of many names would cost an allocation each.
struct EntryGroups {
    std::vector<size_t> entries;  // group after group
    std::vector<size_t> ends;     // where each group ends in `entries`
    size_t size() const { return ends.size(); }
    std::span<const size_t> operator[](size_t group) const {
        const size_t begin = group == 0 ? 0 : ends[group - 1];
        return {entries.data() + begin, ends[group] - begin};
    }
};

// The entries grouped by file name (compared byte for byte): the indices of each name's entries
// in line order, names in the order they first appear, so each listed file can be read once.
// With `include`, only the entries it accepts are grouped (and ordered).
EntryGroups GroupEntriesByFile(const std::vector<SumEntry>& entries,
                               const std::function<bool(const SumEntry&)>& include = {});

// A digest a file is expected to have, and where it was read: what tells the user which list
// a result agrees or disagrees with.
struct ExpectedDigest {
    std::string digest;    // lower-case hex, as the sum file's entry holds it
    std::string sum_file;  // the sum file's name without its folder (UTF-8)
    // False for a line that its length alone names and that several algorithms fit: it is
    // expected of each of them, so a digest of one cannot contradict it.
    bool certain = true;
    bool operator==(const ExpectedDigest&) const = default;
};

// Digests a file is expected to have, per Algorithm identifier, in the order they were added.
using ExpectedDigests = std::array<std::vector<ExpectedDigest>, hashlib::AlgorithmCount>;

// Whether a listed name names the file `file_name` (a bare name, no folder) in the sum file's
// own folder: the listed name, after any leading "./" or ".\", equals it ignoring ASCII case.
bool NamesFileBeside(std::string_view listed_name, std::string_view file_name);

// Adds to `expected` the digest of every plain (not keyed) entry that names the file
// `file_name` (a bare name, no folder) in the sum file's own folder: the listed name, after any
// leading "./" or ".\", equals `file_name` ignoring ASCII case. `sum_file_name` is the sum
// file's name or path; its part after the last '/' or '\' goes with each digest. An entry with
// candidates is expected of each, not certain.
void AddExpectedDigests(const SumFile& sum_file, std::string_view sum_file_name, std::string_view file_name,
                        ExpectedDigests& expected);

// Adds one entry's digest, from the sum file named `sum_file` (no folder), under its algorithm or,
// not certain, under each of its candidates.
void AddExpectedDigest(const SumEntry& entry, const std::string& sum_file, ExpectedDigests& expected);

// A digest the user pasted (the clipboard's text, say) for the file named `file_name` (a bare
// name; empty when the input is no file). After trimming white space it is one of: a digest,
// white space inside it ignored; a digest after an algorithm's name and ':' ("sha256:..." as
// GitHub shows it, any name the algorithm table knows, any case); or one whole sum-file line of
// any layout the reader takes, naming that file (as AddExpectedDigests matches names; not
// keyed). Nothing for any other text, a named algorithm's digest of another length included.
struct PastedDigest {
    std::string digest;  // lower-case hex
    int algorithm = -1;  // the Algorithm identifier the text names; -1 when it names none
    bool operator==(const PastedDigest&) const = default;
};
std::optional<PastedDigest> ReadPastedDigest(std::string_view text, std::string_view file_name);

// Whether a computed digest is the one a sum file or the user gives: the same hex digits, either
// in any case. Nothing that is empty or holds anything but hex digits equals anything. The one
// comparison of checking and of the dialog's marks.
bool DigestsEqual(std::string_view computed, std::string_view expected);

// A name escaped as coreutils escapes the names in its lines: "\\" for a backslash, "\n" for
// a line feed and "\r" for a carriage return, the line then starting with a backslash. Nothing
// when the name needs no escape: one without a line break, or without a backslash either when
// `backslash_too`.
std::optional<std::string> EscapedName(std::string_view name, bool backslash_too);

// One sum-file line with its '\n', or nothing when the format cannot carry it: an unknown
// algorithm, a digest that is not hex of the algorithm's length, an empty name or one holding a
// zero byte; keyed lines only tagged and only for keyable algorithms; SFV only for CRC-32 and a
// name with no line break, no leading or trailing space or tab, not starting with '#', ';' or a
// byte-order mark.
// Tagged lines are `NAME (FILE) = hex`, NAME prefixed `HMAC-` when keyed; they are escaped only
// when the name holds a line break. GNU lines are `hex  FILE`, escaped when the name holds a
// backslash or a line break. SFV lines are `FILE hex`. Digests are written in lower case.
std::optional<std::string> FormatSumLine(SumLineFormat format, int algorithm, bool keyed,
                                         std::string_view file_name, std::string_view digest);

}  // namespace engine
