// Which results the dialog marks: the clipboard's text as a digest, the rule that weighs it
// against the sum files' digests, and the words that say what each mark means.
#include "ui/result_marks.h"

#include <gtest/gtest.h>

#include "fake_dialog_controls.h"

using hashlib::AlgorithmCrc32;
using hashlib::AlgorithmMd5;
using hashlib::AlgorithmSha1;
using hashlib::AlgorithmTiger;
using ui::ClipboardDigest;
using ui::ResultMark;

namespace {

std::string Upper(std::string text) {
    for (char& c : text) {
        c = c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
    }
    return text;
}

TEST(ResultMarks, ClipboardTextIsADigestAPrefixedDigestOrALineNamingTheFile) {
    // MD5("The quick brown fox jumps over the lazy dog") and SHA-256("abc") (FIPS 180-4).
    const std::string md5 = "9e107d9d372bb6826bd81d3542a419d6";
    const std::string sha256 = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
    const struct {
        std::string text;
        std::optional<std::string> digest;
    } cases[] = {
        {"\r\n\t 9E10 7D9D 372B B682 6BD8 1D35 42A4 19D6 \r\n", md5},
        {"9e107d9d\n372bb682\t6bd81d3542a419d6", md5},  // over lines, as copied from a page
        {"abc", "abc"},                                 // any length: it is compared, not checked
        {"sha256:" + sha256, sha256},                   // as GitHub shows a release asset's digest
        {"  SHA256: " + Upper(sha256) + "\n", sha256},
        {"md5:" + md5, md5},
        {sha256 + "  setup.iso", sha256},  // a whole line of a sum file, naming the file
        {sha256 + " *./setup.iso\n", sha256},
        {"SHA2-256(setup.iso)= " + sha256, sha256},
        {"MD5 (SETUP.ISO) = " + md5, md5},
        {"", std::nullopt},
        {" \r\n ", std::nullopt},
        {"0x9e107d9d", std::nullopt},
        {"sha256:" + md5, std::nullopt},  // the named algorithm's digest is longer
        {"sha9:" + md5, std::nullopt},
        {sha256 + "  other.iso", std::nullopt},
        {sha256 + "  setup.iso\n" + sha256 + "  setup.iso", std::nullopt},  // one line, not a list
        {"MD5 (a) = 9e107d9d", std::nullopt},
        {"\xEF\xBC\x99"
         "e107d9d",
         std::nullopt},  // a full-width digit
        {"9e107d9g", std::nullopt},
    };
    for (const auto& [text, digest] : cases) {
        EXPECT_EQ(ClipboardDigest(text, "setup.iso"), digest) << testing::PrintToString(text);
    }
    EXPECT_EQ(ClipboardDigest(sha256 + "  setup.iso", ""), std::nullopt) << "no file to name";
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
    listed[AlgorithmMd5] = {{"900150983CD24FB0D6963F7D28E17F72", "MD5SUMS"}};
    listed[AlgorithmSha1] = {{"a9993e364706816aba3e25717850c26c9cd0d89d", "SHA1SUMS"},
                             {std::string(40, '0'), "a.sha1"}};
    listed[AlgorithmCrc32] = {{"deadbeef", "a.sfv"}};
    listed[hashlib::AlgorithmMd2] = {{"da853b0d3f88d99b30283a69e6ded6bb", "a.md2"}};  // for a row left empty

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

TEST(ResultMarks, SayInWordsWhatEachResultAgreesOrDisagreesWith) {
    constexpr size_t Md5 = size_t(ui::DialogRowOf(AlgorithmMd5)),
                     Sha1 = size_t(ui::DialogRowOf(AlgorithmSha1)),
                     Sha256 = size_t(ui::DialogRowOf(hashlib::AlgorithmSha256)),
                     Crc32 = size_t(ui::DialogRowOf(AlgorithmCrc32));
    // "abc": MD5 from RFC 1321, SHA-1 and SHA-256 from FIPS 180-4.
    std::array<std::wstring, ui::DialogRowCount> results;
    results[Md5] = L"900150983cd24fb0d6963f7d28e17f72";
    results[Sha1] = L"a9993e364706816aba3e25717850c26c9cd0d89d";
    results[Sha256] = L"ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
    results[Crc32] = L"352441c2";
    engine::ExpectedDigests listed;
    listed[AlgorithmMd5] = {{"900150983cd24fb0d6963f7d28e17f72", "MD5SUMS"},
                            {"900150983CD24FB0D6963F7D28E17F72", "abc.md5"}};
    const std::string wrong(40, '0');
    listed[AlgorithmSha1] = {{"a9993e364706816aba3e25717850c26c9cd0d89d", "SHA1SUMS"},
                             {wrong, "\xe4\xb8\x8b\xe8\xbd\xbd.sha1"},  // 下载.sha1 in UTF-8, listed twice
                             {wrong, "\xe4\xb8\x8b\xe8\xbd\xbd.sha1"}};
    listed[hashlib::AlgorithmSha256] = {
        {"ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad", "SHA256SUMS"}};

    const ui::MarkReasons reasons =
        ui::JudgeResults(results, "900150983CD24FB0D6963F7D28E17F72", listed, FakeDialogControls::DecodeUtf8);
    EXPECT_EQ(reasons[Md5], (ui::MarkReason{{L"MD5SUMS", L"abc.md5"}, {}, true}));
    EXPECT_EQ(reasons[Sha1], (ui::MarkReason{{L"SHA1SUMS"}, {L"下载.sha1"}, false}));
    EXPECT_EQ(reasons[Crc32], ui::MarkReason{}) << "nothing expected of it";

    EXPECT_EQ(ui::MarkTip(Md5, reasons[Md5]), L"MD5 与 MD5SUMS、abc.md5、剪贴板一致");
    EXPECT_EQ(ui::MarkTip(Sha1, reasons[Sha1]), L"SHA1 与 下载.sha1 不一致，与 SHA1SUMS 一致");
    EXPECT_EQ(ui::MarkTip(Sha256, reasons[Sha256]), L"SHA256 与 SHA256SUMS 一致");
    EXPECT_EQ(ui::MarkTip(Md5, {{}, {}, true}), L"MD5 与剪贴板一致");
    EXPECT_EQ(ui::MarkTip(Crc32, {}), L"");
    // The disagreements first, each naming only what decided its mark.
    EXPECT_EQ(ui::MarksSummary(reasons),
              L"SHA1 与 下载.sha1 不一致；MD5 与 MD5SUMS、abc.md5、剪贴板一致；SHA256 与 SHA256SUMS 一致");
    EXPECT_EQ(ui::MarksSummary({}), L"");
}

}  // namespace
