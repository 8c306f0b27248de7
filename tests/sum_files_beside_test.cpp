// The sum files beside a file: which are read, which of their lines count, and what is passed
// over without a word.
#include "engine/sum_files_beside.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

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
    const struct {
        const char* name;
        int algorithm;
    } sum_files[] = {
        {"Setup.iso.md5", AlgorithmMd5},
        {"Setup.iso.md4", AlgorithmMd4},
        {"Setup.iso.sha1", AlgorithmSha1},
        {"Setup.iso.sha256", AlgorithmSha256},
        {"Setup.iso.sha384", AlgorithmSha384},
        {"Setup.iso.sha512", AlgorithmSha512},
        {"Setup.iso.rmd160", AlgorithmRipemd160},
        {"Setup.iso.ripemd160", AlgorithmRipemd160},
        {"Setup.iso.tiger", AlgorithmTiger},
        {"Setup.iso.md2", AlgorithmMd2},
        {"Setup.iso.ed2k", AlgorithmEdonkey},
        {"Setup.iso.crc32", AlgorithmCrc32},
        {"Setup.iso.sfv", AlgorithmCrc32},
        {"MD5SUMS", AlgorithmMd5},
        {"SHA1SUMS", AlgorithmSha1},
        {"SHA256SUMS", AlgorithmSha256},
        {"SHA384SUMS", AlgorithmSha384},
        {"SHA512SUMS", AlgorithmSha512},
    };
    ExpectedDigests wanted;
    int tag = 0;
    for (const auto& sum_file : sum_files) {
        const std::string mine = Tagged(sum_file.algorithm, ++tag);
        const std::string other = Tagged(sum_file.algorithm, 0xff);
        const bool sfv = std::string_view(sum_file.name).ends_with(".sfv");
        // Our file under another case, and lines for other files, in the folder or below it.
        auto line = [&](const std::string& digest, const std::string& name) {
            return sfv ? name + " " + digest + "\n" : digest + "  " + name + "\n";
        };
        folder.Write(sum_file.name, line(other, "Setup.iso.old") + line(mine, "SETUP.ISO") +
                                        line(other, "sub/Setup.iso") + line(other, "Setup.is"));
        wanted[size_t(sum_file.algorithm)].push_back({mine, sum_file.name});
    }
    folder.Write("Setup.iso.txt", Tagged(AlgorithmMd5, 0xfe) + "  Setup.iso\n");  // not a sum file's name
    folder.Write("other.iso.md5", Tagged(AlgorithmMd5, 0xfe) + "  Setup.iso\n");

    ExpectedDigests expected = ReadSumFilesBeside(folder.Path("Setup.iso"));
    for (std::vector<ExpectedDigest>& digests : expected) {
        // The order of the files is no concern.
        std::sort(digests.begin(), digests.end(),
                  [](const ExpectedDigest& a, const ExpectedDigest& b) { return a.digest < b.digest; });
    }
    EXPECT_EQ(expected, wanted);
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
