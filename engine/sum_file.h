// Sum files: the lists of digests that checksum tools publish beside the files they describe.
// One reader and one writer for the three line formats in common use:
//
//   tagged  NAME (FILE) = HEX        NAME an algorithm, any run of spaces before '(' (also
//                                    none); HMAC-NAME marks a keyed digest
//   GNU     HEX  FILE  or  HEX *FILE two characters between digest and name, a space or a tab
//                                    and then a space or '*'
//   SFV     FILE HEX8                CRC-32, the last space or tab on the line separates
//
// Reading, line by line (lines end at '\n'; a '\r' before it, and spaces, tabs and UTF-8
// byte-order marks at the start of a line are dropped):
// 1. A blank line, or one starting with '#' or ';', is a comment.
// 2. A line starting with '\' is escaped: the '\' is dropped and the name of the tagged or GNU
//    line after it is unescaped, "\\" to '\', "\n" to a line feed, "\r" to a carriage return;
//    any other backslash in the name makes the line malformed.
// 3. A tagged line is one whose NAME is an algorithm we know (our names and the spellings other
//    tools write, any case). FILE runs from the '(' to the LAST ')' on the line, so a name may
//    itself hold " (" or ") = "; spaces or tabs may surround the '=' and follow the digest.
// 4. Otherwise a line that starts with hex digits followed by the GNU separator is a GNU line.
//    Its name is everything after the separator, spaces included. Its algorithm comes from the
//    sum file's name (the suffixes and whole names the algorithm table lists: *.md5, *.rmd160,
//    SHA256SUMS and the like, any case), else from the caller's chosen algorithm, else from the
//    digest's length when only one algorithm has it (Tiger 48, SHA-384 96, SHA-512 128 hex
//    digits); a length several algorithms share is reported as ambiguous, never guessed.
// 5. Otherwise a line shaped like a tagged line (a name, '(', ')', '=', a digest) names an
//    algorithm we do not compute ("CRC32C (f) = 1a2b3c4d" is not an SFV line).
// 6. Otherwise a line ending in a space or tab and 8 hex digits is an SFV line: the name is
//    what comes before, spaces or tabs at its end dropped.
// So "HEX  FILE" is a GNU line even when FILE is 8 hex digits or ends in a space and 8 hex
// digits, as an SFV line would; a tagged line with a name we know is never read as SFV; a name
// may hold spaces in every format. A sum file named *.sfv holds SFV lines only (steps 2 to 5 are
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
    bool operator==(const SumEntry&) const = default;
};

enum class SumLineProblem {
    NotASumLine,            // fits none of the three formats
    UnknownAlgorithm,       // a tagged line naming an algorithm we do not compute (or cannot key)
    DigestNotHex,           // a tagged line whose digest holds other characters than hex digits
    WrongDigestLength,      // the digest's length does not fit the line's algorithm
    AmbiguousDigestLength,  // a GNU line of no known algorithm whose length several algorithms have
    UnknownDigestLength,    // a GNU line of no known algorithm whose length no algorithm has
    BadEscape,              // an escaped name with a backslash not followed by '\', 'n' or 'r'
    BadFileName,            // an empty name, or one holding a zero byte
};

struct SumLineError {
    size_t line = 0;  // 1-based
    SumLineProblem problem = SumLineProblem::NotASumLine;
    bool operator==(const SumLineError&) const = default;
};

struct SumFile {
    std::vector<SumEntry> entries;        // in line order
    std::vector<SumLineError> malformed;  // in line order; comments are neither
};

// Reads a sum file's bytes. `sum_file_name` is its name or path (only the part after the last
// '/' or '\' counts: it may choose the algorithm of GNU lines, or make the file an SFV file);
// empty for standard input. `chosen_algorithm` is the algorithm GNU lines have when the name
// gives none, or -1. Never throws but for memory; linear in the input's length.
SumFile ReadSumFile(std::string_view bytes, std::string_view sum_file_name, int chosen_algorithm = -1);

// A short English reason for a malformed line ("digest length fits several algorithms").
const char* SumLineProblemText(SumLineProblem problem);

// The entries grouped by file name (compared byte for byte): one list of indices into
// `entries` per name, in the order names first appear, so each listed file can be read once.
// With `include`, only the entries it accepts are grouped (and ordered).
std::vector<std::vector<size_t>> GroupEntriesByFile(const std::vector<SumEntry>& entries,
                                                    const std::function<bool(const SumEntry&)>& include = {});

// A digest a file is expected to have, and where it was read: what tells the user which list
// a result agrees or disagrees with.
struct ExpectedDigest {
    std::string digest;    // lower-case hex, as the sum file's entry holds it
    std::string sum_file;  // the sum file's name without its folder (UTF-8)
    bool operator==(const ExpectedDigest&) const = default;
};

// Digests a file is expected to have, per Algorithm identifier, in the order they were added.
using ExpectedDigests = std::array<std::vector<ExpectedDigest>, hashlib::AlgorithmCount>;

// Adds to `expected` the digest of every plain (not keyed) entry that names the file
// `file_name` (a bare name, no folder) in the sum file's own folder: the listed name, after any
// leading "./" or ".\", equals `file_name` ignoring ASCII case. `sum_file_name` is the sum
// file's name or path; its part after the last '/' or '\' goes with each digest.
void AddExpectedDigests(const SumFile& sum_file, std::string_view sum_file_name, std::string_view file_name,
                        ExpectedDigests& expected);

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
