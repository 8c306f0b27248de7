#include "ui/check_report.h"

#include <algorithm>
#include <optional>

#include "hashlib/hashlib.h"

namespace ui {
namespace {

constexpr std::array<std::string_view, CheckVerdictCount> VerdictTexts = {
    "一致", "不一致", "缺失", "无法读取", "不支持的算法", "未核对",
};

constexpr bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// Line `number` (1-based) of `bytes` without its line end, or nothing past the end.
std::optional<std::string_view> LineOf(std::string_view bytes, size_t number) {
    for (size_t current = 1;; ++current) {
        const size_t end = bytes.find('\n');
        if (current == number) {
            std::string_view line = bytes.substr(0, end);
            if (line.ends_with('\r')) {
                line.remove_suffix(1);
            }
            return line;
        }
        if (end == std::string_view::npos) {
            return std::nullopt;
        }
        bytes.remove_prefix(end + 1);
    }
}

// A line "NAME (FILE) = HEX" as the row of an algorithm we do not compute: FILE runs from the
// first '(' to the last ')', as the reader takes it.
CheckRow UnsupportedRow(std::string_view bytes, size_t line) {
    CheckRow row;
    row.line = line;
    row.verdict = CheckVerdict::UnsupportedAlgorithm;
    constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";
    std::string_view text = LineOf(bytes, line).value_or("");
    while (text.starts_with(ByteOrderMark)) {
        text.remove_prefix(ByteOrderMark.size());
    }
    text = Trimmed(text);
    const size_t open = text.find('(');
    const size_t close = text.rfind(')');
    // A sum file in another encoding than UTF-8 (zero bytes) is not split here.
    if (open == std::string_view::npos || close == std::string_view::npos || close <= open + 1 ||
        text.find('\0') != std::string_view::npos) {
        row.file_name = "第 " + std::to_string(line) + " 行";
        return row;
    }
    row.algorithm = std::string(Trimmed(text.substr(0, open)));
    row.file_name = std::string(text.substr(open + 1, close - open - 1));
    return row;
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

std::vector<CheckRow> SumFileRows(const engine::SumFile& sum_file, std::string_view bytes) {
    std::vector<CheckRow> rows;
    for (size_t index = 0; index < sum_file.entries.size(); ++index) {
        const engine::SumEntry& entry = sum_file.entries[index];
        CheckRow row;
        row.line = entry.line;
        row.file_name = entry.file_name;
        row.algorithm = std::string(entry.keyed ? "HMAC-" : "") +
                        hashlib::Algorithms.at(size_t(entry.algorithm)).display_name;
        row.entry = index;
        rows.push_back(std::move(row));
    }
    for (const engine::SumLineError& error : sum_file.malformed) {
        if (error.problem == engine::SumLineProblem::UnknownAlgorithm) {
            rows.push_back(UnsupportedRow(bytes, error.line));
        }
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
        }
    }
}

CheckTally TallyRows(const std::vector<CheckRow>& rows, size_t malformed, bool stopped) {
    CheckTally tally;
    for (const CheckRow& row : rows) {
        ++tally.rows[size_t(row.verdict)];
    }
    tally.malformed = malformed - tally.rows[size_t(CheckVerdict::UnsupportedAlgorithm)];
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
    return text + "。";
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
