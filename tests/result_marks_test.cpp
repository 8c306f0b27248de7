// Which results the dialog marks: the clipboard's text as a digest, and the rule that weighs it
// against the sum files' digests.
#include "ui/result_marks.h"

#include <gtest/gtest.h>

using hashlib::AlgorithmCrc32;
using hashlib::AlgorithmMd5;
using hashlib::AlgorithmSha1;
using hashlib::AlgorithmTiger;
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
    // Results are by row, the sum files' digests by algorithm.
    constexpr size_t Md5 = size_t(ui::DialogRowOf(AlgorithmMd5)),
                     Sha1 = size_t(ui::DialogRowOf(AlgorithmSha1)),
                     Crc32 = size_t(ui::DialogRowOf(AlgorithmCrc32)),
                     Tiger = size_t(ui::DialogRowOf(AlgorithmTiger));
    std::array<std::wstring, ui::DialogRowCount> results;
    results[Md5] = L"900150983cd24fb0d6963f7d28e17f72";
    results[Sha1] = L"a9993e364706816aba3e25717850c26c9cd0d89d";
    results[Tiger] = L"2aab1484e8c158f2bfb8c5ff41b57a525129131c957b5f93";
    results[Crc32] = L"352441c2";
    engine::ExpectedDigests listed;
    listed[AlgorithmMd5] = {"900150983CD24FB0D6963F7D28E17F72"};
    listed[AlgorithmSha1] = {"a9993e364706816aba3e25717850c26c9cd0d89d", std::string(40, '0')};
    listed[AlgorithmCrc32] = {"deadbeef"};
    listed[hashlib::AlgorithmMd2] = {"da853b0d3f88d99b30283a69e6ded6bb"};  // for a row left empty

    ui::ResultMarks wanted{};
    wanted[Md5] = ResultMark::Match;
    wanted[Sha1] = ResultMark::Mismatch;  // one sum file agrees, another does not
    wanted[Crc32] = ResultMark::Mismatch;
    wanted[Tiger] = ResultMark::Match;  // the clipboard, for any algorithm, in any case
    EXPECT_EQ(ui::MarkResults(results, "2AAB1484E8C158F2BFB8C5FF41B57A525129131C957B5F93", listed), wanted);
    wanted[Tiger] = ResultMark::None;
    EXPECT_EQ(ui::MarkResults(results, "352441c2", listed), wanted)
        << "the clipboard never outweighs a sum file";
    EXPECT_EQ(ui::MarkResults(results, "2aab1484", {}), ui::ResultMarks{})
        << "a digest's start is not the digest";
}

}  // namespace
