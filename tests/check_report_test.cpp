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

    std::vector<ui::CheckRow> rows = ui::SumFileRows(sum_file, bytes);
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

    const ui::CheckTally tally = ui::TallyRows(rows, sum_file.malformed.size(), check.stopped);
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

TEST(CheckReportTest, AReportLineStaysOneLineAndAnUnsplittableLineIsNamedByNumber) {
    const std::string bytes = "\\MD5 (two\\nlines) = " + kMd5Abc + "\nWHIRLPOOL2 = abcd\nXYZ (q) = 12\n";
    engine::SumFile sum_file = engine::ReadSumFile(bytes, "sums");
    std::vector<ui::CheckRow> rows = ui::SumFileRows(sum_file, bytes);
    ASSERT_GE(rows.size(), 1u);
    EXPECT_EQ(rows[0].file_name, "two\nlines");
    rows[0].verdict = CheckVerdict::Mismatch;
    EXPECT_TRUE(ui::CheckReport(rows, {}).starts_with("\\two\\nlines: FAILED\r\n"));

    // A malformed line of an unknown algorithm that the window cannot split keeps its number.
    engine::SumFile unknown;
    unknown.malformed.push_back({2, engine::SumLineProblem::UnknownAlgorithm});
    unknown.malformed.push_back({3, engine::SumLineProblem::UnknownAlgorithm});
    const std::vector<ui::CheckRow> named = ui::SumFileRows(unknown, "a\nB2X (\nXYZ (q) = 12\n");
    ASSERT_EQ(named.size(), 2u);
    EXPECT_EQ(named[0].file_name, "第 2 行");
    EXPECT_EQ(named[1].file_name, "q");
    EXPECT_EQ(named[1].algorithm, "XYZ");
}

}  // namespace
