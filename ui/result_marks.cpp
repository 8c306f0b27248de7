#include "ui/result_marks.h"

#include <algorithm>

#include "hashlib/ascii.h"

namespace ui {
namespace {

// Hex digits as the engine compares them, or nothing for any other text (which equals no digest).
std::optional<std::string> HexOf(std::wstring_view text) {
    if (!hashlib::ascii::AllHexDigits(text)) {
        return std::nullopt;
    }
    return std::string(text.begin(), text.end());  // ASCII only, so each character is one byte
}

void AddOnce(std::vector<std::wstring>& names, std::wstring name) {
    if (std::find(names.begin(), names.end(), name) == names.end()) {
        names.push_back(std::move(name));
    }
}

// The name of the algorithm of dialog row `row`.
std::wstring RowName(size_t row) {
    const std::string_view name =
        hashlib::Algorithms[size_t(DialogRows[row].algorithm)].display_name;  // ASCII
    return std::wstring(name.begin(), name.end());
}

// "与 a.md5、MD5SUMS 一致", "与剪贴板一致": file names stand apart from the Chinese words around
// them by a space, as Latin words in Chinese text do.
std::wstring Phrase(const std::vector<std::wstring>& names, bool clipboard, std::wstring_view verdict) {
    std::wstring text = L"与";
    for (size_t i = 0; i < names.size(); ++i) {
        text += i == 0 ? L" " : L"、";
        text += names[i];
    }
    if (clipboard) {
        text += names.empty() ? L"剪贴板" : L"、剪贴板";
    } else {
        text += L" ";
    }
    text += verdict;
    return text;
}

constexpr std::wstring_view Agrees = L"一致";
constexpr std::wstring_view Disagrees = L"不一致";

}  // namespace

std::optional<std::string> ClipboardDigest(std::string_view text, std::string_view file_name) {
    std::optional<engine::PastedDigest> pasted = engine::ReadPastedDigest(text, file_name);
    if (!pasted) {
        return std::nullopt;
    }
    return std::move(pasted->digest);
}

MarkReasons JudgeResults(const std::array<std::wstring, DialogRowCount>& results,
                         const std::optional<std::string>& clipboard_digest,
                         const engine::ExpectedDigests& sum_file_digests, const NameShown& name_shown) {
    MarkReasons reasons{};
    for (size_t row = 0; row < results.size(); ++row) {
        const std::optional<std::string> result = HexOf(results[row]);
        if (!result || result->empty()) {
            continue;
        }
        MarkReason& reason = reasons[row];
        for (const engine::ExpectedDigest& expected : sum_file_digests[size_t(DialogRows[row].algorithm)]) {
            if (engine::DigestsEqual(*result, expected.digest)) {
                AddOnce(reason.agreeing, name_shown(expected.sum_file));
            } else if (expected.certain) {
                // A line several algorithms fit is expected of each: only a line naming the
                // algorithm can contradict a result.
                AddOnce(reason.disagreeing, name_shown(expected.sum_file));
            }
        }
        reason.clipboard = clipboard_digest && engine::DigestsEqual(*result, *clipboard_digest);
    }
    return reasons;
}

ResultMarks MarkResults(const std::array<std::wstring, DialogRowCount>& results,
                        const std::optional<std::string>& clipboard_digest,
                        const engine::ExpectedDigests& sum_file_digests) {
    const MarkReasons reasons =
        JudgeResults(results, clipboard_digest, sum_file_digests,
                     [](std::string_view name) { return std::wstring(name.begin(), name.end()); });
    ResultMarks marks{};
    for (size_t row = 0; row < marks.size(); ++row) {
        marks[row] = reasons[row].Mark();
    }
    return marks;
}

std::wstring MarkTip(size_t row, const MarkReason& reason) {
    if (reason.Mark() == ResultMark::None) {
        return {};
    }
    std::wstring tip = RowName(row) + L" ";
    if (!reason.disagreeing.empty()) {
        tip += Phrase(reason.disagreeing, false, Disagrees);
    }
    if (!reason.agreeing.empty() || reason.clipboard) {
        if (!reason.disagreeing.empty()) {
            tip += L"，";
        }
        tip += Phrase(reason.agreeing, reason.clipboard, Agrees);
    }
    return tip;
}

std::wstring MarksSummary(const MarkReasons& reasons) {
    std::wstring summary;
    const auto add = [&summary](std::wstring phrase) {
        if (!summary.empty()) {
            summary += L"；";
        }
        summary += phrase;
    };
    for (size_t row = 0; row < reasons.size(); ++row) {
        if (reasons[row].Mark() == ResultMark::Mismatch) {
            add(RowName(row) + L" " + Phrase(reasons[row].disagreeing, false, Disagrees));
        }
    }
    for (size_t row = 0; row < reasons.size(); ++row) {
        if (reasons[row].Mark() == ResultMark::Match) {
            add(RowName(row) + L" " + Phrase(reasons[row].agreeing, reasons[row].clipboard, Agrees));
        }
    }
    return summary;
}

}  // namespace ui
