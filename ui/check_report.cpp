#include "ui/check_report.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "hashlib/hashlib.h"

namespace ui {
namespace {

constexpr std::array<std::string_view, CheckVerdictCount> VerdictTexts = {
    "一致", "不一致", "缺失", "无法读取", "不支持的算法", "未核对",
};

// The algorithm column of an entry: its algorithm, or while a line only its length names is
// unchecked, every algorithm of that length.
std::string AlgorithmText(const engine::SumEntry& entry) {
    const std::string prefix = entry.keyed ? "HMAC-" : "";
    if (entry.candidates.size() < 2) {
        return prefix + hashlib::Algorithms.at(size_t(entry.algorithm)).display_name;
    }
    std::string text;
    for (const int candidate : entry.candidates) {
        text += (text.empty() ? "" : "/") + prefix + hashlib::Algorithms.at(size_t(candidate)).display_name;
    }
    return text;
}

}  // namespace

std::string_view VerdictText(CheckVerdict verdict) {
    return VerdictTexts.at(size_t(verdict));
}

CheckVerdict ToCheckVerdict(engine::Verdict verdict) {
    switch (verdict) {
        case engine::Verdict::Match:
            return CheckVerdict::Match;
        case engine::Verdict::Mismatch:
            return CheckVerdict::Mismatch;
        case engine::Verdict::Missing:
            return CheckVerdict::Missing;
        case engine::Verdict::Unreadable:
            return CheckVerdict::Unreadable;
        case engine::Verdict::NotChecked:
            break;
    }
    return CheckVerdict::NotChecked;
}

std::vector<CheckRow> SumFileRows(const engine::SumFile& sum_file) {
    std::vector<CheckRow> rows;
    for (size_t index = 0; index < sum_file.entries.size(); ++index) {
        const engine::SumEntry& entry = sum_file.entries[index];
        rows.push_back({entry.line, entry.file_name, AlgorithmText(entry), CheckVerdict::NotChecked, index});
    }
    for (const engine::UnsupportedLine& line : sum_file.unsupported) {
        rows.push_back(
            {line.line, line.file_name, line.algorithm, CheckVerdict::UnsupportedAlgorithm, SIZE_MAX});
    }
    std::stable_sort(rows.begin(), rows.end(),
                     [](const CheckRow& a, const CheckRow& b) { return a.line < b.line; });
    return rows;
}

void ApplyVerdicts(const engine::ListedFileCheck& file, const engine::SumFile& sum_file,
                   std::vector<CheckRow>& rows) {
    for (const engine::LineVerdict& verdict : file.lines) {
        // Rows are in line order and no two share a line.
        const size_t line = sum_file.entries.at(verdict.entry).line;
        const auto row =
            std::lower_bound(rows.begin(), rows.end(), line,
                             [](const CheckRow& row, size_t wanted) { return row.line < wanted; });
        if (row != rows.end() && row->entry == verdict.entry) {
            row->verdict = ToCheckVerdict(verdict.verdict);
            // A line its length named was checked as the algorithm that told.
            if (row->verdict != CheckVerdict::NotChecked &&
                sum_file.entries[verdict.entry].candidates.size() > 1) {
                row->algorithm = hashlib::Algorithms.at(size_t(verdict.algorithm)).display_name;
            }
        }
    }
}

CheckTally TallyRows(const std::vector<CheckRow>& rows, const engine::SumFile& sum_file, bool stopped) {
    CheckTally tally;
    for (const CheckRow& row : rows) {
        ++tally.rows[size_t(row.verdict)];
    }
    tally.malformed = sum_file.malformed.size();
    tally.signed_message = sum_file.signed_message;
    tally.stopped = stopped;
    return tally;
}

std::string CheckSummary(const CheckTally& tally) {
    size_t total = 0;
    for (const size_t count : tally.rows) {
        total += count;
    }
    std::string text = tally.stopped ? "已停止，" : "";
    text += "核对了 " + std::to_string(total) + " 项";
    const char* separator = "：";
    for (size_t verdict = 0; verdict < CheckVerdictCount; ++verdict) {
        if (tally.rows[verdict] != 0) {
            text +=
                separator + std::string(VerdictTexts[verdict]) + " " + std::to_string(tally.rows[verdict]);
            separator = "，";
        }
    }
    if (tally.malformed != 0) {
        text += separator + std::string("格式不正确的行 ") + std::to_string(tally.malformed);
    }
    text += "。";
    if (tally.signed_message) {
        text += "其中的 OpenPGP 签名未验证。";
    }
    return text;
}

std::string CheckReport(const std::vector<CheckRow>& rows, const CheckTally& tally) {
    std::string report;
    for (const CheckRow& row : rows) {
        const char* words = nullptr;
        switch (row.verdict) {
            case CheckVerdict::Match:
                words = "OK";
                break;
            case CheckVerdict::Mismatch:
                words = "FAILED";
                break;
            case CheckVerdict::Missing:
            case CheckVerdict::Unreadable:
                words = "FAILED open or read";
                break;
            case CheckVerdict::UnsupportedAlgorithm:
            case CheckVerdict::NotChecked:
                continue;
        }
        // A name holding a line break is escaped as in a sum file, so each row stays one line.
        const std::optional<std::string> escaped = engine::EscapedName(row.file_name, false);
        report += escaped ? "\\" + *escaped : row.file_name;
        report += ": ";
        report += words;
        report += "\r\n";
    }
    return report + CheckSummary(tally) + "\r\n";
}

}  // namespace ui
