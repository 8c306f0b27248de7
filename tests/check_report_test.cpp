// What the checking window shows and copies, from the engine's own verdicts over real files:
// the rows in line order (unknown algorithms included), their verdict words, the summary and the
// report. The digests are published ones: MD5 and SHA-256 of "abc" (RFC 1321, FIPS 180-2).
#include "ui/check_report.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "engine/digest_calculator.h"
#include "engine/sum_file_check.h"
#include "temp_dir.h"

namespace {

using ui::CheckVerdict;

const std::string kMd5Abc = "900150983cd24fb0d6963f7d28e17f72";
const std::string kSha256Abc = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";

class RowsListener final : public engine::CheckListener {
  public:
    RowsListener(const engine::SumFile& sum_file, std::vector<ui::CheckRow>& rows)
        : sum_file_(sum_file), rows_(rows) {}
    bool Checked(const engine::ListedFileCheck& file) override {
        ui::ApplyVerdicts(file, sum_file_, rows_);
        return true;
    }

  private:
    const engine::SumFile& sum_file_;
    std::vector<ui::CheckRow>& rows_;
};

TEST(CheckReportTest, RowsSummaryAndReportFromTheEnginesVerdicts) {
    TempDir dir;
    dir.Write("abc.txt", "abc");
    dir.Write("改过.txt", "abd");
    std::filesystem::create_directory(PathFromUtf8(dir.Path("a folder")));
    const std::string bytes =
        "# published digests\r\n"
        "SHA256 (abc.txt) = " +
        kSha256Abc + "\r\n" + "MD5 (改过.txt) = " + kMd5Abc + "\r\n" + "CRC32C (abc.txt) = 1a2b3c4d\r\n" +
        "MD5 (gone.txt) = " + kMd5Abc + "\r\n" + "not a sum line\r\n" + "HMAC-MD5 (abc.txt) = " + kMd5Abc +
        "\r\n" + "MD5 (a folder) = " + kMd5Abc + "\r\n" + kMd5Abc + "  abc.txt\r\n";
    const std::string sum_file_path = dir.Write("sums.md5", bytes);
    const engine::SumFile sum_file = engine::ReadSumFile(bytes, sum_file_path);

    std::vector<ui::CheckRow> rows = ui::SumFileRows(sum_file);
    ASSERT_EQ(rows.size(), 7u) << "a row for each entry and the unknown algorithm's line";
    for (const ui::CheckRow& row : rows) {
        EXPECT_EQ(row.verdict, row.line == 4 ? CheckVerdict::UnsupportedAlgorithm : CheckVerdict::NotChecked);
    }

    engine::DigestCalculator calculator;
    RowsListener listener(sum_file, rows);
    const engine::SumFileCheck check =
        engine::CheckSumFile(sum_file, sum_file_path, {}, calculator, &listener);
    ASSERT_FALSE(check.stopped);
    const std::vector<ui::CheckRow> expected = {
        {2, "abc.txt", "SHA256", CheckVerdict::Match, 0},
        {3, "改过.txt", "MD5", CheckVerdict::Mismatch, 1},
        {4, "abc.txt", "CRC32C", CheckVerdict::UnsupportedAlgorithm, SIZE_MAX},
        {5, "gone.txt", "MD5", CheckVerdict::Missing, 2},
        {7, "abc.txt", "HMAC-MD5", CheckVerdict::NotChecked, 3},  // the window has no key
        {8, "a folder", "MD5", CheckVerdict::Unreadable, 4},
        {9, "abc.txt", "MD5", CheckVerdict::Match, 5},
    };
    EXPECT_EQ(rows, expected);

    const ui::CheckTally tally = ui::TallyRows(rows, sum_file, check.stopped);
    EXPECT_EQ(tally.rows, (std::array<size_t, ui::CheckVerdictCount>{2, 1, 1, 1, 1, 1}));
    EXPECT_EQ(tally.malformed, 1u) << "the line that is no sum line; the unknown algorithm's is a row";
    EXPECT_EQ(
        ui::CheckSummary(tally),
        "核对了 7 项：一致 2，不一致 1，缺失 1，无法读取 1，不支持的算法 1，未核对 1，格式不正确的行 1。");
    EXPECT_EQ(ui::CheckReport(rows, tally),
              "abc.txt: OK\r\n"
              "改过.txt: FAILED\r\n"
              "gone.txt: FAILED open or read\r\n"
              "a folder: FAILED open or read\r\n"
              "abc.txt: OK\r\n" +
                  ui::CheckSummary(tally) + "\r\n");

    // Stopped: said first; only the counts that are not zero.
    ui::CheckTally stopped;
    stopped.rows[size_t(CheckVerdict::Match)] = 3;
    stopped.rows[size_t(CheckVerdict::NotChecked)] = 2;
    stopped.stopped = true;
    EXPECT_EQ(ui::CheckSummary(stopped), "已停止，核对了 5 项：一致 3，未核对 2。");
    EXPECT_EQ(ui::VerdictText(CheckVerdict::UnsupportedAlgorithm), "不支持的算法");
}

TEST(CheckReportTest, ClearSignedUtf16AndLengthOnlyLinesAndEscapedNames) {
    TempDir dir;
    dir.Write("abc.txt", "abc");
    // Clear-signed; the line's 32 digits name no one algorithm until checked.
    const std::string signed_bytes =
        "-----BEGIN PGP SIGNED MESSAGE-----\nHash: SHA256\n\n" + kMd5Abc +
        "  abc.txt\n-----BEGIN PGP SIGNATURE-----\n\niQEz\n-----END PGP SIGNATURE-----\n";
    const std::string signed_path = dir.Write("sums", signed_bytes);
    const engine::SumFile signed_file = engine::ReadSumFile(signed_bytes, signed_path);
    std::vector<ui::CheckRow> rows = ui::SumFileRows(signed_file);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_NE(rows[0].algorithm.find("MD5/"), std::string::npos) << rows[0].algorithm;
    engine::DigestCalculator calculator;
    RowsListener listener(signed_file, rows);
    engine::CheckSumFile(signed_file, signed_path, {}, calculator, &listener);
    EXPECT_EQ(rows, (std::vector<ui::CheckRow>{{4, "abc.txt", "MD5", CheckVerdict::Match, 0}}));
    EXPECT_EQ(ui::CheckSummary(ui::TallyRows(rows, signed_file, false)),
              "核对了 1 项：一致 1。其中的 OpenPGP 签名未验证。");

    // UTF-16 (little endian, with its byte-order mark), as some Windows tools write.
    std::string utf16 = "\xFF\xFE";
    for (const char c : "SHA256 (abc.txt) = " + kSha256Abc + "\r\n") {
        utf16 += c;
        utf16 += '\0';
    }
    const engine::SumFile wide = engine::ReadSumFile(utf16, dir.Path("sums.txt"));
    EXPECT_EQ(ui::SumFileRows(wide),
              (std::vector<ui::CheckRow>{{1, "abc.txt", "SHA256", CheckVerdict::NotChecked, 0}}));

    // A name holding a line break is escaped, so the report keeps one line per row.
    const std::string escaped = "\\MD5 (two\\nlines) = " + kMd5Abc + "\n";
    std::vector<ui::CheckRow> broken = ui::SumFileRows(engine::ReadSumFile(escaped, "sums"));
    ASSERT_EQ(broken.size(), 1u);
    EXPECT_EQ(broken[0].file_name, "two\nlines");
    broken[0].verdict = CheckVerdict::Mismatch;
    EXPECT_TRUE(ui::CheckReport(broken, {}).starts_with("\\two\\nlines: FAILED\r\n"));
}

}  // namespace
