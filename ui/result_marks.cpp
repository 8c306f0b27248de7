#include "ui/result_marks.h"

#include <algorithm>

namespace ui {
namespace {

bool IsWhiteSpace(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\v' || c == L'\f';
}

bool IsHexDigit(wchar_t c) {
    return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F');
}

char LowerHexDigit(wchar_t c) {
    return c >= L'A' && c <= L'F' ? char(c - L'A' + L'a') : char(c);
}

std::string Lowered(std::string text) {
    for (char& c : text) {
        c = LowerHexDigit(wchar_t(c));
    }
    return text;
}

// A result in lower case, or nothing when it is not all hex digits (and so equals no digest).
std::optional<std::string> LoweredHex(std::wstring_view text) {
    std::string hex;
    hex.reserve(text.size());
    for (const wchar_t c : text) {
        if (!IsHexDigit(c)) {
            return std::nullopt;
        }
        hex += LowerHexDigit(c);
    }
    return hex;
}

}  // namespace

std::optional<std::string> ClipboardDigest(std::wstring_view text) {
    while (!text.empty() && IsWhiteSpace(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsWhiteSpace(text.back())) {
        text.remove_suffix(1);
    }
    std::wstring without_spaces(text);
    std::erase(without_spaces, L' ');
    std::optional<std::string> digest = LoweredHex(without_spaces);
    if (!digest || digest->empty()) {
        return std::nullopt;
    }
    return digest;
}

ResultMarks MarkResults(const std::array<std::wstring, DialogRowCount>& results,
                        const std::optional<std::string>& clipboard_digest,
                        const engine::ExpectedDigests& sum_file_digests) {
    const std::optional<std::string> clipboard =
        clipboard_digest ? std::optional(Lowered(*clipboard_digest)) : std::nullopt;
    ResultMarks marks{};
    for (size_t row = 0; row < results.size(); ++row) {
        const std::optional<std::string> result = LoweredHex(results[row]);
        if (results[row].empty() || !result) {
            continue;
        }
        const std::vector<std::string>& listed = sum_file_digests[size_t(DialogRows[row].algorithm)];
        if (std::any_of(listed.begin(), listed.end(),
                        [&](const std::string& digest) { return Lowered(digest) != *result; })) {
            marks[row] = ResultMark::Mismatch;
        } else if (!listed.empty() || clipboard == result) {
            marks[row] = ResultMark::Match;
        }
    }
    return marks;
}

}  // namespace ui
