// The sum files beside a file: which are read, which of their lines count, and what is passed
// over without a word.
#include "engine/sum_files_beside.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <tuple>

#include "temp_dir.h"

using namespace engine;
using namespace hashlib;

namespace {

// A digest of the algorithm's length made of one repeated two-digit tag, so each sum file's
// contribution can be told apart.
std::string Tagged(int algorithm, int tag) {
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    while (hex.size() < size_t(Algorithms[algorithm].DigestSize()) * 2) {
        hex += digits[tag / 16];
        hex += digits[tag % 16];
    }
    return hex;
}

TEST(SumFilesBeside, EveryListNamedForTheFileOrItsFolderGivesItsLinesForTheFile) {
    const TempDir folder;
    enum Layout { Gnu, Sfv, Tag, Alone };
    const struct {
        const char* name;
        int algorithm;
        Layout layout = Gnu;
    } sum_files[] = {
        {"Setup.iso.md5", AlgorithmMd5},
        {"Setup.iso.md4", AlgorithmMd4},
        {"Setup.iso.sha1", AlgorithmSha1},
        {"Setup.iso.sha256", AlgorithmSha256, Alone},  // the digest alone, as release assets give it
        {"Setup.iso.sha256sum", AlgorithmSha256},
        {"Setup.iso.sha384", AlgorithmSha384},
        {"Setup.iso.sha512", AlgorithmSha512, Alone},
        {"Setup.iso.rmd160", AlgorithmRipemd160},
        {"Setup.iso.ripemd160", AlgorithmRipemd160},
        {"Setup.iso.tiger", AlgorithmTiger},
        {"Setup.iso.md2", AlgorithmMd2},
        {"Setup.iso.ed2k", AlgorithmEdonkey},
        {"Setup.iso.crc32", AlgorithmCrc32},
        {"Setup.iso.sfv", AlgorithmCrc32, Sfv},
        {"MD5SUMS", AlgorithmMd5},
        {"SHA1SUMS", AlgorithmSha1},
        {"SHA256SUMS", AlgorithmSha256},
        {"SHA384SUMS", AlgorithmSha384},
        {"SHA512SUMS", AlgorithmSha512},
        {"SHASUMS256.txt", AlgorithmSha256},
        {"sha256sums.txt", AlgorithmSha256},
        {"sha512sum.txt", AlgorithmSha512},
        {"CHECKSUM.SHA256-FreeBSD-14.0-RELEASE-amd64", AlgorithmSha256, Tag},
        {"CHECKSUM.SHA512-FreeBSD-14.0-RELEASE-amd64", AlgorithmSha512, Tag},
        {"Fedora-Workstation-39-1.5-x86_64-CHECKSUM", AlgorithmSha256, Tag},
        {"tool_1.0_checksums.txt", AlgorithmSha1, Tag},
    };
    ExpectedDigests wanted;
    int tag = 0;
    for (const auto& sum_file : sum_files) {
        const std::string mine = Tagged(sum_file.algorithm, ++tag);
        const std::string other = Tagged(sum_file.algorithm, 0xff);
        // Our file under another case or after "./", and lines for other files, in the folder
        // or below it.
        auto line = [&](const std::string& digest, const std::string& name) {
            switch (sum_file.layout) {
                case Sfv:
                    return name + " " + digest + "\n";
                case Tag:
                    return std::string(Algorithms[sum_file.algorithm].tag_name) + " (" + name +
                           ") = " + digest + "\n";
                case Gnu:
                case Alone:
                    break;
            }
            return digest + "  " + name + "\n";
        };
        folder.Write(sum_file.name, sum_file.layout == Alone
                                        ? mine + "\r\n"
                                        : line(other, "Setup.iso.old") + line(mine, "./SETUP.ISO") +
                                              line(other, "sub/Setup.iso") + line(other, "Setup.is"));
        wanted[size_t(sum_file.algorithm)].push_back({mine, sum_file.name});
    }
    // A list whose name says nothing of its algorithm: a length several algorithms have is
    // expected of each, and certain of none.
    const std::string listed = Tagged(AlgorithmSha256, 0xfd);
    folder.Write("checksums.txt", listed + "  Setup.iso\n");
    for (const int candidate : AlgorithmsOfHexLength(listed.size())) {
        wanted[size_t(candidate)].push_back({listed, "checksums.txt", false});
    }
    folder.Write("Setup.iso.txt", Tagged(AlgorithmMd5, 0xfe) + "  Setup.iso\n");  // not a sum file's name
    folder.Write("other.iso.md5", Tagged(AlgorithmMd5, 0xfe) + "  Setup.iso\n");
    folder.Write("other.iso.sha256", Tagged(AlgorithmSha256, 0xfe) + "\n");

    ExpectedDigests expected = ReadSumFilesBeside(folder.Path("Setup.iso"));
    const auto by_digest = [](std::vector<ExpectedDigest>& digests) {
        // The order of the files is no concern.
        std::sort(digests.begin(), digests.end(), [](const ExpectedDigest& a, const ExpectedDigest& b) {
            return std::tie(a.digest, a.sum_file) < std::tie(b.digest, b.sum_file);
        });
    };
    std::for_each(expected.begin(), expected.end(), by_digest);
    std::for_each(wanted.begin(), wanted.end(), by_digest);
    EXPECT_EQ(expected, wanted);
}

TEST(SumFilesBeside, ACrc32InBracketsAtTheEndOfTheNameCountsForCrc32) {
    const TempDir folder;
    const struct {
        const char* name;
        const char* crc;  // empty: none
    } names[] = {
        {"Episode 01 [E487AEDE].mkv", "e487aede"},
        {"[Group] Show - 02 [0badF00d]", "0badf00d"},
        {"Episode [E487AEDE] 01.mkv", ""},
        {"Episode [E487AEDG].mkv", ""},
        {"Episode [E487AED].mkv", ""},
    };
    for (const auto& [name, crc] : names) {
        ExpectedDigests wanted;
        if (*crc != '\0') {
            wanted[AlgorithmCrc32] = {{crc, name}};
        }
        EXPECT_EQ(ReadSumFilesBeside(folder.Path(name)), wanted) << name;
    }
}

TEST(SumFilesBeside, WhatCannotBeReadOrIsTooLongIsPassedOver) {
    const TempDir folder;
    const std::string line = Tagged(AlgorithmSha256, 1) + "  Файл.bin\n";  // a name outside every code page
    std::string longest = line;
    longest.resize(LargestSumFileBeside, '\n');
    folder.Write("Файл.bin.sha256", longest);
    std::string too_long = "SHA1 (Файл.bin) = " + Tagged(AlgorithmSha1, 2) + "\n";
    too_long.resize(LargestSumFileBeside + 1, '\n');
    folder.Write("Файл.bin.sha1", too_long);
    std::filesystem::create_directory(PathFromUtf8(folder.Path("Файл.bin.md5")));
    folder.Write("SHA512SUMS", std::string("\0\xff\xfe garbage \x80\n\\\n", 16) + "Файл.bin\n");

    ExpectedDigests wanted;
    wanted[AlgorithmSha256] = {{Tagged(AlgorithmSha256, 1), "Файл.bin.sha256"}};
    EXPECT_EQ(ReadSumFilesBeside(folder.Path("Файл.bin")), wanted);
    EXPECT_EQ(ReadSumFilesBeside(folder.Path("missing/Файл.bin")), ExpectedDigests{});
}

}  // namespace
