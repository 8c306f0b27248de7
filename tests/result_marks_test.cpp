// Which results the dialog marks: the clipboard's text as a digest, and the rule that weighs it
// against the sum files' digests.
#include "ui/result_marks.h"

#include <gtest/gtest.h>

using hashlib::AlgorithmCount;
using ui::ClipboardDigest;
using ui::ResultMark;

namespace {

TEST(ResultMarks, ClipboardTextIsADigestWhenItIsHexOnceTrimmedAndSpacesRemoved) {
    EXPECT_EQ(ClipboardDigest(L"\r\n\t 9E10 7D9D 372B B682 6BD8 1D35 42A4 19D6 \r\n"),
              "9e107d9d372bb6826bd81d3542a419d6");
    EXPECT_EQ(ClipboardDigest(L"abc"), "abc") << "any length: it is compared, not checked";
    for (const wchar_t* text : {L"", L" \r\n ", L"0x9e107d9d", L"9e107d9d372bb682\t6bd81d3542a419d6",
                                L"9e107d9d\n372bb682", L"MD5 (a) = 9e107d9d", L"９e107d9d", L"9e107d9g"}) {
        EXPECT_EQ(ClipboardDigest(text), std::nullopt)
            << "\"" << testing::PrintToString(std::wstring(text)) << "\" is no digest";
    }
}

TEST(ResultMarks, SumFilesOutweighTheClipboardWhichOnlyConfirms) {
    constexpr int Md5 = hashlib::AlgorithmMd5, Sha1 = hashlib::AlgorithmSha1,
                  Sha256 = hashlib::AlgorithmSha256;
    constexpr int Crc32 = hashlib::AlgorithmCrc32, Md4 = hashlib::AlgorithmMd4,
                  Tiger = hashlib::AlgorithmTiger;
    std::array<std::wstring, AlgorithmCount> results;
    results[Md5] = L"900150983cd24fb0d6963f7d28e17f72";
    results[Md4] = L"a448017aaf21d8525fc10ae87aa6729d";
    results[Sha1] = L"a9993e364706816aba3e25717850c26c9cd0d89d";
    results[Sha256] = L"ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
    results[Tiger] = L"2aab1484e8c158f2bfb8c5ff41b57a525129131c957b5f93";
    results[Crc32] = L"352441c2";
    engine::ExpectedDigests listed;
    listed[Md5] = {"900150983cd24fb0d6963f7d28e17f72"};
    listed[Sha1] = {"a9993e364706816aba3e25717850c26c9cd0d89d", "0000000000000000000000000000000000000000"};
    listed[Crc32] = {"deadbeef"};
    listed[hashlib::AlgorithmMd2] = {"da853b0d3f88d99b30283a69e6ded6bb"};  // for a row left empty

    ui::ResultMarks wanted{};
    wanted[Md5] = ResultMark::Match;
    wanted[Sha1] = ResultMark::Mismatch;   // one sum file agrees, another does not
    wanted[Crc32] = ResultMark::Mismatch;  // the clipboard's equal digest does not help
    wanted[Tiger] = ResultMark::Match;     // the clipboard, for any algorithm, in any case
    EXPECT_EQ(ui::MarkResults(results, "2AAB1484E8C158F2BFB8C5FF41B57A525129131C957B5F93", listed), wanted);

    wanted[Tiger] = ResultMark::None;
    EXPECT_EQ(ui::MarkResults(results, std::nullopt, listed), wanted);
    EXPECT_EQ(ui::MarkResults(results, "352441c2", listed), wanted)
        << "the clipboard never outweighs a sum file";

    // Without sum files the clipboard marks only its own digest and never contradicts.
    wanted = {};
    wanted[Sha256] = ResultMark::Match;
    EXPECT_EQ(
        ui::MarkResults(results, "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad", {}),
        wanted);
    EXPECT_EQ(ui::MarkResults(results, "ba7816bf", {}), ui::ResultMarks{})
        << "a digest's start is not the digest";
}

}  // namespace
