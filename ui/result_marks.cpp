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

std::optional<std::string> ClipboardDigest(std::string_view text, std::string_view file_name) {
    std::optional<engine::PastedDigest> pasted = engine::ReadPastedDigest(text, file_name);
    if (!pasted) {
        return std::nullopt;
    }
    return std::move(pasted->digest);
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
        const std::vector<engine::ExpectedDigest>& listed =
            sum_file_digests[size_t(DialogRows[row].algorithm)];
        const auto equal = [&result](const engine::ExpectedDigest& expected) {
            return engine::DigestsEqual(*result, expected.digest);
        };
        // A line several algorithms fit is expected of each: only a line naming the algorithm
        // can contradict a result.
        const auto contradicts = [&equal](const engine::ExpectedDigest& expected) {
            return expected.certain && !equal(expected);
        };
        if (std::any_of(listed.begin(), listed.end(), contradicts)) {
            marks[row] = ResultMark::Mismatch;
        } else if (std::any_of(listed.begin(), listed.end(), equal) ||
                   (clipboard_digest && engine::DigestsEqual(*result, *clipboard_digest))) {
            marks[row] = ResultMark::Match;
        }
    }
    return marks;
}

}  // namespace ui
