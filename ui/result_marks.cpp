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

}  // namespace

std::optional<std::string> ClipboardDigest(std::wstring_view text) {
    std::wstring without_spaces(hashlib::ascii::TrimmedWhiteSpace(text));
    std::erase(without_spaces, L' ');
    std::optional<std::string> digest = HexOf(without_spaces);
    if (!digest || digest->empty()) {
        return std::nullopt;
    }
    return hashlib::ascii::Lowered(*digest);
}

ResultMarks MarkResults(const std::array<std::wstring, DialogRowCount>& results,
                        const std::optional<std::string>& clipboard_digest,
                        const engine::ExpectedDigests& sum_file_digests) {
    ResultMarks marks{};
    for (size_t row = 0; row < results.size(); ++row) {
        const std::optional<std::string> result = HexOf(results[row]);
        if (!result || result->empty()) {
            continue;
        }
        const std::vector<std::string>& listed = sum_file_digests[size_t(DialogRows[row].algorithm)];
        const auto equal = [&result](const std::string& digest) {
            return engine::DigestsEqual(*result, digest);
        };
        if (!std::all_of(listed.begin(), listed.end(), equal)) {
            marks[row] = ResultMark::Mismatch;
        } else if (!listed.empty() || (clipboard_digest && equal(*clipboard_digest))) {
            marks[row] = ResultMark::Match;
        }
    }
    return marks;
}

}  // namespace ui
