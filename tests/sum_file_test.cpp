// The sum-file reader and writer: the three line formats and how GNU lines get their algorithm,
// the malformed and the ambiguous lines, writing and reading back, the files the real tools
// write, and the helpers the callers use.
#include "engine/sum_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <memory>
#include <ostream>
#include <stdexcept>

#include "engine/paths.h"
#include "test_support.h"
#include "vector_file.h"

extern const EmbeddedVectorFile kEmbeddedSumFiles[];
extern const int kEmbeddedSumFileCount;

namespace engine {

void PrintTo(const SumEntry& entry, std::ostream* out) {
    *out << "{line " << entry.line << ", format " << int(entry.format) << ", algorithm " << entry.algorithm
         << (entry.keyed ? ", keyed" : "") << ", \"" << entry.file_name << "\", " << entry.digest << "}";
}

void PrintTo(const SumLineError& error, std::ostream* out) {
    *out << "{line " << error.line << ": " << SumLineProblemText(error.problem) << "}";
}

}  // namespace engine

using namespace engine;
using namespace hashlib;

namespace {

constexpr SumLineFormat Tagged = SumLineFormat::Tagged;
constexpr SumLineFormat Gnu = SumLineFormat::Gnu;
constexpr SumLineFormat Sfv = SumLineFormat::Sfv;

// Hex digits of a given length: the reader never checks a digest, only its form.
std::string Hex(size_t length, char digit = 'a') {
    return std::string(length, digit);
}

// The lines joined by line feeds, the last one without.
std::string Lines(std::initializer_list<std::string> lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line + "\n";
    }
    text.pop_back();
    return text;
}

SumEntry Entry(size_t line, SumLineFormat format, int algorithm, std::string name, std::string digest,
               bool keyed = false, std::vector<int> candidates = {}) {
    return SumEntry{
        line, format, algorithm, keyed, std::move(name), std::move(digest), std::move(candidates)};
}

// A GNU line that its length alone names, with every algorithm of that length as candidates.
SumEntry Unsure(size_t line, std::string name, std::string digest) {
    const std::vector<int> candidates = AlgorithmsOfHexLength(digest.size());
    return Entry(line, Gnu, candidates.front(), std::move(name), std::move(digest), false, candidates);
}

TEST(SumFile, ReadsTheThreeFormatsLineByLine) {
    const std::string text = Lines({
        "\xEF\xBB\xBF# written by hand\r",
        "MD5 (plain.txt) = " + Hex(32, 'A') + "\r",
        "SHA-256    (padded (1) = x) = " + Hex(64),
        "HMAC-sha1(keyed)=" + Hex(40),
        " \t",
        "tiger192 ( spaced name ) = " + Hex(48) + " \t",
        "  " + Hex(128) + "  two  spaces.txt ",
        Hex(96) + "\t*star.bin",
        "\\" + Hex(48) + "  a\\\\b\\nc\\rd",
        "\\RMD160 (e\\\\f) = " + Hex(40),
        "; a comment",
        "\xEF\xBB\xBFsong (live) 1A2B3C4D",
        "ED2K (last) = " + Hex(32, 'F'),
    });
    const SumFile sum_file = ReadSumFile(text, "");
    EXPECT_TRUE(sum_file.malformed.empty());
    const std::vector<SumEntry> expected = {
        Entry(2, Tagged, AlgorithmMd5, "plain.txt", Hex(32, 'a')),
        Entry(3, Tagged, AlgorithmSha256, "padded (1) = x", Hex(64)),
        Entry(4, Tagged, AlgorithmSha1, "keyed", Hex(40), true),
        Entry(6, Tagged, AlgorithmTiger, " spaced name ", Hex(48)),
        Unsure(7, "two  spaces.txt ", Hex(128)),
        Entry(8, Gnu, AlgorithmSha384, "star.bin", Hex(96)),
        Entry(9, Gnu, AlgorithmTiger, "a\\b\nc\rd", Hex(48)),
        Entry(10, Tagged, AlgorithmRipemd160, "e\\f", Hex(40)),
        Entry(12, Sfv, AlgorithmCrc32, "song (live)", "1a2b3c4d"),
        Entry(13, Tagged, AlgorithmEdonkey, "last", Hex(32, 'f')),
    };
    EXPECT_EQ(sum_file.entries, expected);
}

TEST(SumFile, GnuLinesTakeTheAlgorithmOfTheSumFileNameThenTheChoiceThenTheLength) {
    const struct {
        const char* sum_file_name;
        int algorithm;
    } namings[] = {
        {"x.md5", AlgorithmMd5},
        {"a\\b.Sha256", AlgorithmSha256},
        {"dir/X.RMD160", AlgorithmRipemd160},
        {"x.ripemd160", AlgorithmRipemd160},
        {"x.tiger", AlgorithmTiger},
        {"x.md2", AlgorithmMd2},
        {"x.ED2K", AlgorithmEdonkey},
        {"x.crc32", AlgorithmCrc32},
        {"d/sha1sums", AlgorithmSha1},
        {"SHA512SUMS", AlgorithmSha512},
    };
    for (const auto& naming : namings) {
        const std::string digest = Hex(size_t(Algorithms[naming.algorithm].DigestSize()) * 2);
        // The name wins over the caller's choice.
        const SumFile sum_file = ReadSumFile(digest + "  f\n", naming.sum_file_name, AlgorithmPanama);
        EXPECT_EQ(sum_file.entries, std::vector{Entry(1, Gnu, naming.algorithm, "f", digest)})
            << naming.sum_file_name;
        const SumFile wrong = ReadSumFile(digest + "00  f\n", naming.sum_file_name);
        EXPECT_EQ(wrong.malformed, (std::vector<SumLineError>{{1, SumLineProblem::WrongDigestLength}}));
    }
    // Names that only look similar choose nothing.
    for (const char* unnamed : {"", "md5", "x.md5.txt", "MD5SUMS.bak", "sums"}) {
        EXPECT_EQ(ReadSumFile(Hex(32) + "  f", unnamed, AlgorithmMd4).entries,
                  std::vector{Entry(1, Gnu, AlgorithmMd4, "f", Hex(32))});
        const SumFile by_length =
            ReadSumFile(Lines({Hex(48) + "  a", Hex(96) + "  b", Hex(128) + "  c"}), unnamed);
        EXPECT_EQ(by_length.entries,
                  (std::vector{Entry(1, Gnu, AlgorithmTiger, "a", Hex(48)),
                               Entry(2, Gnu, AlgorithmSha384, "b", Hex(96)), Unsure(3, "c", Hex(128))}));
        const SumFile unsure = ReadSumFile(
            Lines({Hex(8) + "  a", Hex(32) + "  b", Hex(40) + "  c", Hex(64) + "  d", Hex(10) + "  e"}),
            unnamed);
        // A length several algorithms have: each is a candidate, which one checking tells.
        EXPECT_EQ(unsure.entries, (std::vector{Unsure(1, "a", Hex(8)), Unsure(2, "b", Hex(32)),
                                               Unsure(3, "c", Hex(40)), Unsure(4, "d", Hex(64))}));
        EXPECT_EQ(unsure.malformed, (std::vector<SumLineError>{{5, SumLineProblem::UnknownDigestLength}}));
    }
    // The common algorithms first, so the line reads as one of them; the rest after.
    EXPECT_EQ(AlgorithmsOfHexLength(128),
              (std::vector<int>{AlgorithmSha512, AlgorithmBlake2b, AlgorithmSha3_512}));
    EXPECT_EQ(AlgorithmsOfHexLength(64),
              (std::vector<int>{AlgorithmPanama, AlgorithmSha256, AlgorithmSha3_256}));
}

TEST(SumFile, MalformedLinesAreReportedWithTheirNumberAndSkipped) {
    const std::string text = Lines({
        "MD5 (f) = " + Hex(40),
        "MD5 (f) = xyz",
        "MD5 () = " + Hex(32),
        "CRC32C (f) = 1a2b3c4d",
        "HMAC-CRC32 (f) = 1a2b3c4d",
        "\\" + Hex(32) + "  tab\\tescape",
        "\\SHA1 (trailing\\) = " + Hex(40),
        Hex(32) + "  ",
        Hex(32) + "  zero" + std::string(1, '\0') + "byte",
        "MD5 (good) = " + Hex(32),
        "just some words",
        Hex(32) + " single space",
        "SHA256 (f = " + Hex(64),
    });
    const SumFile sum_file = ReadSumFile(text, "x.md5");
    // One blank between digest and name reads as coreutils reads it, the first GNU line deciding.
    EXPECT_EQ(sum_file.entries, (std::vector{Entry(10, Tagged, AlgorithmMd5, "good", Hex(32)),
                                             Entry(12, Gnu, AlgorithmMd5, "single space", Hex(32))}));
    // Algorithms we do not compute are neither entries nor malformed.
    EXPECT_EQ(sum_file.unsupported,
              (std::vector<UnsupportedLine>{{4, "CRC32C", "f"}, {5, "HMAC-CRC32", "f"}}));
    using enum SumLineProblem;
    EXPECT_EQ(sum_file.malformed, (std::vector<SumLineError>{{1, WrongDigestLength},
                                                             {2, DigestNotHex},
                                                             {3, BadFileName},
                                                             {6, BadEscape},
                                                             {7, BadEscape},
                                                             {8, BadFileName},
                                                             {9, BadFileName},
                                                             {11, NotASumLine},
                                                             {13, NotASumLine}}));
}

TEST(SumFile, LinesThatFitTwoFormatsFollowTheDocumentedOrder) {
    // Two spaces after hex digits make a GNU line, one space before 8 at the end an SFV line;
    // an SFV file reads SFV lines only.
    EXPECT_EQ(ReadSumFile("deadbeef  cafebabe\n", "x.crc32").entries,
              std::vector{Entry(1, Gnu, AlgorithmCrc32, "cafebabe", "deadbeef")});
    EXPECT_EQ(ReadSumFile("deadbeef  cafebabe\n", "").entries,
              std::vector{Unsure(1, "cafebabe", "deadbeef")});
    EXPECT_EQ(ReadSumFile("deadbeef cafebabe\n", "").entries,
              std::vector{Entry(1, Sfv, AlgorithmCrc32, "deadbeef", "cafebabe")});
    const SumFile sfv = ReadSumFile(Lines({
                                        "deadbeef  cafebabe",
                                        "  name  with spaces \t 1A2B3C4D  ",
                                        "#comment 1a2b3c4d",
                                        "MD5 (f) = " + Hex(32),
                                        "CRC32 (f) = 1a2b3c4d",
                                        Hex(32) + "  f",
                                    }),
                                    "DIR\\FILES.SFV");
    EXPECT_EQ(sfv.entries, (std::vector{Entry(1, Sfv, AlgorithmCrc32, "deadbeef", "cafebabe"),
                                        Entry(2, Sfv, AlgorithmCrc32, "name  with spaces", "1a2b3c4d"),
                                        Entry(5, Sfv, AlgorithmCrc32, "CRC32 (f) =", "1a2b3c4d")}));
    EXPECT_EQ(sfv.malformed, (std::vector<SumLineError>{{4, SumLineProblem::NotASumLine},
                                                        {6, SumLineProblem::NotASumLine}}));
    // A GNU name may look like a tagged line, and a tagged name like anything.
    EXPECT_EQ(ReadSumFile(Hex(32) + "  MD5 (f) = " + Hex(32), "x.md5").entries,
              std::vector{Entry(1, Gnu, AlgorithmMd5, "MD5 (f) = " + Hex(32), Hex(32))});
    EXPECT_EQ(ReadSumFile("CRC32 (" + Hex(32) + "  x) = (y) 1a2b3c4d) = 1a2b3c4d", "x.md5").entries,
              std::vector{Entry(1, Tagged, AlgorithmCrc32, Hex(32) + "  x) = (y) 1a2b3c4d", "1a2b3c4d")});
}

// The layouts publishers and other tools write, each read as the entries it lists.
TEST(SumFile, ReadsTheLayoutsPublishersWrite) {
    const std::string h64 = Hex(64), h128 = Hex(128, 'b');
    const std::string grouped = "AAAAAAAA AAAAAAAA AAAAAAAA AAAAAAAA AAAAAAAA AAAAAAAA AAAAAAAA AAAAAAAA";
    const auto utf16 = [](std::string_view text, bool little_endian) {
        std::string bytes = little_endian ? "\xFF\xFE" : "\xFE\xFF";
        for (const char c : text) {
            bytes += little_endian ? std::string{c, '\0'} : std::string{'\0', c};
        }
        return bytes;
    };
    const std::string signed_list = Lines({
        "-----BEGIN PGP SIGNED MESSAGE-----",
        "Hash: SHA512",
        "",
        h64 + "  f",
        "- -dashed 1A2B3C4D",
        "-----BEGIN PGP SIGNATURE-----",
        "",
        "iHUEARYKAB0WIQ==",
        "-----END PGP SIGNATURE-----",
    });
    const struct {
        std::string sum_file_name;
        std::string text;
        std::vector<SumEntry> entries;
        bool signed_message = false;
    } cases[] = {
        {"SHA256SUMS",
         h64 + " f\n" + h64 + "\t g h\n",
         {Entry(1, Gnu, AlgorithmSha256, "f", h64), Entry(2, Gnu, AlgorithmSha256, " g h", h64)}},
        {"SHA256SUMS", h64 + "\t*f\n" + h64 + " g\n", {Entry(1, Gnu, AlgorithmSha256, "f", h64)}},
        {"",
         "SHA2-256(f)= " + h64 + "\nRIPEMD160(g)= " + Hex(40) + "\n",
         {Entry(1, Tagged, AlgorithmSha256, "f", h64), Entry(2, Tagged, AlgorithmRipemd160, "g", Hex(40))}},
        {"setup.iso.sha256", h64 + "\r\n", {Entry(1, Gnu, AlgorithmSha256, "setup.iso", h64)}},
        {"d/setup.iso.sha256", "\n " + h64 + "  \n", {Entry(2, Gnu, AlgorithmSha256, "setup.iso", h64)}},
        {"SHA256SUMS", "f: " + grouped + "\n", {Entry(1, Gnu, AlgorithmSha256, "f", h64)}},
        {"",
         "a long name.bin:\n    " + grouped.substr(0, 35) + "\n    " + grouped.substr(36) + "\n",
         {Unsure(1, "a long name.bin", h64)}},
        {"",
         "f: SHA1 = AAAA AAAA AAAA AAAA AAAA  AAAA AAAA AAAA AAAA AAAA\n",
         {Entry(1, Tagged, AlgorithmSha1, "f", Hex(40))}},
        {"SHA512SUMS", utf16(h128 + "  f\r\n", true), {Entry(1, Gnu, AlgorithmSha512, "f", h128)}},
        {"SHA512SUMS", utf16(h128 + "  f\n", false), {Entry(1, Gnu, AlgorithmSha512, "f", h128)}},
        {"", signed_list, {Unsure(4, "f", h64), Entry(5, Sfv, AlgorithmCrc32, "-dashed", "1a2b3c4d")}, true},
    };
    for (const auto& c : cases) {
        const SumFile sum_file = ReadSumFile(c.text, c.sum_file_name);
        EXPECT_EQ(sum_file.entries, c.entries) << c.text;
        EXPECT_TRUE(sum_file.unsupported.empty()) << c.text;
        EXPECT_EQ(sum_file.signed_message, c.signed_message) << c.text;
    }
    // A digest alone lists nothing in a sum file whose name names no file, nor one of another
    // length, nor one beside other lines.
    EXPECT_TRUE(ReadSumFile(h64 + "\n", "SHA256SUMS").entries.empty());
    EXPECT_TRUE(ReadSumFile(Hex(40) + "\n", "setup.iso.sha256").entries.empty());
    EXPECT_EQ(ReadSumFile(h64 + "\n" + h64 + "  g\n", "setup.iso.sha256").entries,
              std::vector{Entry(2, Gnu, AlgorithmSha256, "g", h64)});
    // The second line of "one blank" files is not a two-character one: coreutils reads the name so.
    EXPECT_EQ(
        ReadSumFile(h64 + " f\n" + h64 + "  g\n", "SHA256SUMS").entries,
        (std::vector{Entry(1, Gnu, AlgorithmSha256, "f", h64), Entry(2, Gnu, AlgorithmSha256, " g", h64)}));
    // An odd last byte of UTF-16 and a lone surrogate read as U+FFFD, never as a line's text.
    EXPECT_EQ(ReadSumFile(utf16(h128 + "  f", true) + "\x3D", "SHA512SUMS").entries,
              std::vector{Entry(1, Gnu, AlgorithmSha512, "f\xEF\xBF\xBD", h128)});
}

TEST(SumFile, WritesLinesThatReadBackAsTheSameEntry) {
    const std::string names[] = {"plain", "with  spaces", " leading",   "trailing\t", "a\\b",
                                 "c\nd",  "e\rf",         "x (1) = y)", "(paren",     "\xC3\xBCn\xC3\xAF",
                                 "#hash", "deadbeef"};
    const struct {
        SumLineFormat format;
        const char* sum_file_name;
    } kinds[] = {{Tagged, ""}, {Gnu, "x.crc32"}, {Sfv, "x.sfv"}};
    for (const auto& kind : kinds) {
        std::string text;
        std::vector<SumEntry> written;
        for (const std::string& name : names) {
            const std::optional<std::string> line =
                FormatSumLine(kind.format, AlgorithmCrc32, false, name, "1A2B3C4D");
            // SFV alone cannot carry a line break, blanks at either end or a comment's mark.
            const bool sfv_refuses = name.find_first_of("\n# \t") == 0 ||
                                     name.find('\n') != std::string::npos || name.back() == '\t';
            ASSERT_EQ(line.has_value(), kind.format != Sfv || !sfv_refuses) << name;
            if (line) {
                text += *line;
                written.push_back(Entry(written.size() + 1, kind.format, AlgorithmCrc32, name, "1a2b3c4d"));
            }
        }
        const SumFile sum_file = ReadSumFile(text, kind.sum_file_name);
        EXPECT_EQ(sum_file.entries, written) << text;
        EXPECT_TRUE(sum_file.malformed.empty());
    }
    // Keyed digests go on tagged lines of keyable algorithms only.
    EXPECT_EQ(FormatSumLine(Tagged, AlgorithmSha256, true, "c\nd", Hex(64)),
              "\\HMAC-SHA256 (c\\nd) = " + Hex(64) + "\n");
    EXPECT_FALSE(FormatSumLine(Tagged, AlgorithmCrc32, true, "f", Hex(8)));
    EXPECT_FALSE(FormatSumLine(Gnu, AlgorithmMd5, true, "f", Hex(32)));
    EXPECT_FALSE(FormatSumLine(Sfv, AlgorithmMd5, false, "f", Hex(32)));
    for (SumLineFormat format : {Tagged, Gnu}) {
        EXPECT_FALSE(FormatSumLine(format, AlgorithmMd5, false, "f", Hex(30)));
        EXPECT_FALSE(FormatSumLine(format, AlgorithmMd5, false, "f", Hex(31) + "g"));
        EXPECT_FALSE(FormatSumLine(format, AlgorithmMd5, false, "", Hex(32)));
        EXPECT_FALSE(FormatSumLine(format, AlgorithmMd5, false, std::string("a\0b", 3), Hex(32)));
        EXPECT_FALSE(FormatSumLine(format, AlgorithmCount, false, "f", Hex(32)));
    }
}

// Each fixture file of tests/sum_files with the names its tool was given (every file's content
// is its own name) and the algorithms of its lines.
struct ToolFile {
    const char* name;
    bool escaped_names;  // the coreutils files also list names with a backslash or line break
    std::vector<int> algorithms;
    bool same_lines;  // we write its lines alike (but for the case of SFV digits)
    size_t unknown_algorithm_lines = 0;
};

const EmbeddedVectorFile& Fixture(const std::string& name) {
    for (int i = 0; i < kEmbeddedSumFileCount; ++i) {
        if (name == kEmbeddedSumFiles[i].name) {
            return kEmbeddedSumFiles[i];
        }
    }
    throw std::runtime_error("no embedded sum file " + name);
}

// Line `number` (1-based) of `text`, with its '\n'.
std::string LineOf(const std::string& text, size_t number) {
    size_t start = 0;
    for (size_t i = 1; i < number && start != std::string::npos; ++i) {
        start = text.find('\n', start);
        start = start == std::string::npos ? start : start + 1;
    }
    return start == std::string::npos ? "" : text.substr(start, text.find('\n', start) + 1 - start);
}

TEST(SumFile, ReadsWhatCoreutilsAndRhashWriteAndWritesTheSameLines) {
    const std::vector<std::string> plain = {"plain.txt", "with  spaces.txt", "g h (1) = x",
                                            "\xC3\xBCn\xC3\xAF.txt", "deadbeef"};
    const std::vector<std::string> escaped = {"a\\b", "c\nd", "e\rf"};
    const std::vector<int> rhash_bsd = {AlgorithmCrc32,     AlgorithmMd4,     AlgorithmMd5,
                                        AlgorithmSha1,      AlgorithmTiger,   AlgorithmEdonkey,
                                        AlgorithmSha256,    AlgorithmSha384,  AlgorithmSha512,
                                        AlgorithmRipemd160, AlgorithmSha3_256};
    const ToolFile files[] = {
        {"MD5SUMS", true, {AlgorithmMd5}, true},
        {"binary.sha256", true, {AlgorithmSha256}, false},
        {"coreutils-tagged.txt", true, {AlgorithmMd5, AlgorithmSha1, AlgorithmSha384, AlgorithmSha512}, true},
        {"coreutils-sha384.txt", true, {AlgorithmSha384}, true},
        {"coreutils-sha512.txt", true, {AlgorithmSha512}, true},
        {"rhash.sfv", false, {AlgorithmCrc32}, true},
        {"rhash-bsd.txt", false, rhash_bsd, false, plain.size()},  // CRC32C
        {"rhash-simple.sha256", false, {AlgorithmSha256}, true},
    };
    for (const ToolFile& file : files) {
        SCOPED_TRACE(file.name);
        const std::string text = Fixture(file.name).text;
        const SumFile sum_file = ReadSumFile(text, file.name);
        std::vector<std::string> names = plain;
        if (file.escaped_names) {
            names.insert(names.end(), escaped.begin(), escaped.end());
        }
        // Every (algorithm, name) pair once, with the digest of the name's bytes.
        EXPECT_EQ(sum_file.entries.size(), names.size() * file.algorithms.size());
        EXPECT_EQ(GroupEntriesByFile(sum_file.entries).size(), names.size());
        for (const SumEntry& entry : sum_file.entries) {
            EXPECT_NE(std::find(names.begin(), names.end(), entry.file_name), names.end()) << entry.file_name;
            EXPECT_NE(std::find(file.algorithms.begin(), file.algorithms.end(), entry.algorithm),
                      file.algorithms.end());
            const std::unique_ptr<DigestObject> object = CreateDigestObject(entry.algorithm);
            object->Update(entry.file_name.data(), uint32_t(entry.file_name.size()));
            EXPECT_EQ(entry.digest, HexDigestOf(*object)) << entry.file_name;

            // Our tagged lines escape a name for a line break only, coreutils' for a backslash too.
            const std::optional<std::string> line =
                FormatSumLine(entry.format, entry.algorithm, false, entry.file_name, entry.digest);
            std::string tool_line = LineOf(text, entry.line);
            if (entry.format == Sfv && tool_line.size() > 9) {
                std::transform(tool_line.end() - 9, tool_line.end(), tool_line.end() - 9,
                               [](char c) { return char(std::tolower(uint8_t(c))); });
            }
            if (file.same_lines && !(entry.format == Tagged && entry.file_name == "a\\b")) {
                EXPECT_EQ(line, tool_line);
            }
        }
        EXPECT_TRUE(sum_file.malformed.empty());
        EXPECT_EQ(sum_file.unsupported.size(), file.unknown_algorithm_lines);
    }
}

TEST(SumFile, GroupsEntriesByFileAndFindsTheDigestsAFileExpects) {
    const SumFile sum_file = ReadSumFile(Lines({
                                             "MD5 (setup.iso) = " + Hex(32, '1'),
                                             "SHA1 (./SETUP.ISO) = " + Hex(40),
                                             "SHA256 (sub/setup.iso) = " + Hex(64),
                                             "HMAC-MD5 (setup.iso) = " + Hex(32, '3'),
                                             "MD5 (other.iso) = " + Hex(32, '4'),
                                             "SHA256 (.\\./setup.iso) = " + Hex(64, 'b'),
                                             "MD5 (setup.iso) = " + Hex(32, '2'),
                                         }),
                                         "");
    const EntryGroups groups = GroupEntriesByFile(sum_file.entries);
    EXPECT_EQ(groups.entries, (std::vector<size_t>{0, 3, 6, 1, 2, 4, 5}));
    EXPECT_EQ(groups.ends, (std::vector<size_t>{3, 4, 5, 6, 7}));
    ExpectedDigests expected;
    AddExpectedDigests(sum_file, "dl/setup.iso.txt", "Setup.iso", expected);
    AddExpectedDigests(ReadSumFile(Hex(32, '5') + "  setup.iso\n", "MD5SUMS"), "C:\\dl\\MD5SUMS", "setup.iso",
                       expected);
    ExpectedDigests wanted;
    wanted[AlgorithmMd5] = {
        {Hex(32, '1'), "setup.iso.txt"}, {Hex(32, '2'), "setup.iso.txt"}, {Hex(32, '5'), "MD5SUMS"}};
    wanted[AlgorithmSha1] = {{Hex(40), "setup.iso.txt"}};
    wanted[AlgorithmSha256] = {{Hex(64, 'b'), "setup.iso.txt"}};
    EXPECT_EQ(expected, wanted);
}

TEST(SumFile, ResolvesListedNamesAgainstTheSumFilesFolder) {
    const struct {
        PathStyle style;
        const char* sum_file;
        const char* listed;
        const char* path;
    } cases[] = {
        {PathStyle::Posix, "sums/SHA256SUMS", "a/b", "sums/a/b"},
        {PathStyle::Posix, "", "x", "x"},
        {PathStyle::Posix, "/d/s.md5", "/abs", "/abs"},
        {PathStyle::Posix, "/d\\e/s.md5", "x\\y", "/d\\e/x\\y"},
        {PathStyle::Windows, "C:\\dl\\SHA256SUMS", "sub/f.iso", "C:\\dl\\sub\\f.iso"},
        {PathStyle::Windows, "C:/dl\\s.md5", "f", "C:\\dl\\f"},
        {PathStyle::Windows, "D:\\s\\s.md5", "\\data/x", "D:\\data\\x"},
        {PathStyle::Windows, "s\\s.md5", "e:/x", "e:\\x"},
        {PathStyle::Windows, "\\\\srv\\share\\s.md5", "f", "\\\\srv\\share\\f"},
        {PathStyle::Windows, "x", "//srv/y", "\\\\srv\\y"},
        {PathStyle::Windows, "C:s.md5", "f", "C:f"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ResolveListedName(c.sum_file, c.listed, c.style), c.path)
            << c.sum_file << " + " << c.listed;
    }
}

}  // namespace
