// How the dialog marks a result against the digests it was told to expect: one from the
// clipboard (whatever the algorithm: a user who copied a published checksum wants to see which
// row it is), and those of the sum files beside a hashed file (each for its own algorithm). A
// sum file that contradicts a result outweighs any match; the clipboard, which may hold any hex
// string at all, can only confirm, and so can a sum-file line that its length alone names.
// Colour alone tells a colour-blind user nothing, so each mark also comes in words: which sum
// files (by name) or the clipboard the result agrees or disagrees with.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/engine.h"
#include "ui/dialog_rows.h"

namespace ui {

enum class ResultMark {
    None,
    Match,     // equal to an expected digest, and no sum file says otherwise
    Mismatch,  // a sum file gives the algorithm another digest, and names the algorithm
};

// By dialog row.
using ResultMarks = std::array<ResultMark, DialogRowCount>;

// What a result was compared with and found equal or not: the sum files (their names as shown,
// each once) that list it or another digest for it, and whether the clipboard holds it. An
// empty reason is no mark.
struct MarkReason {
    std::vector<std::wstring> agreeing;
    std::vector<std::wstring> disagreeing;
    bool clipboard = false;

    ResultMark Mark() const {
        return !disagreeing.empty()             ? ResultMark::Mismatch
               : !agreeing.empty() || clipboard ? ResultMark::Match
                                                : ResultMark::None;
    }
    bool operator==(const MarkReason&) const = default;
};

using MarkReasons = std::array<MarkReason, DialogRowCount>;  // by dialog row

// The clipboard's text (UTF-8) as a digest for the file named `file_name` (a bare name; empty
// when the input is no file), in lower case: a digest, white space inside it ignored; one after
// an algorithm's name and ':' ("sha256:..."); or a whole sum-file line naming that file. Nothing
// for any other text.
std::optional<std::string> ClipboardDigest(std::string_view text, std::string_view file_name = {});

// Turns a sum file's name (UTF-8) into the text the user reads.
using NameShown = std::function<std::wstring(std::string_view utf8_name)>;

// The reason of each row's result's mark; an empty result has none. The sum files' digests are by
// Algorithm identifier. Hex is compared ignoring case.
MarkReasons JudgeResults(const std::array<std::wstring, DialogRowCount>& results,
                         const std::optional<std::string>& clipboard_digest,
                         const engine::ExpectedDigests& sum_file_digests, const NameShown& name_shown);

// The marks alone.
ResultMarks MarkResults(const std::array<std::wstring, DialogRowCount>& results,
                        const std::optional<std::string>& clipboard_digest,
                        const engine::ExpectedDigests& sum_file_digests);

// The tool tip of the result of dialog row `row`: what it disagrees with,
// then what it agrees with, as in "SHA1 与 foo.iso.sha1 不一致，与 SHA1SUMS 一致" or
// "MD5 与剪贴板一致"; empty for an unmarked result.
std::wstring MarkTip(size_t row, const MarkReason& reason);

// The status text after a calculation: one short phrase per marked result, the disagreements
// first, each naming what decided its mark ("SHA256 与 SHA256SUMS 一致",
// "SHA1 与 foo.iso.sha1 不一致"), joined by "；". Empty when nothing is marked.
std::wstring MarksSummary(const MarkReasons& reasons);

}  // namespace ui
