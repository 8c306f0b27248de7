// How the dialog marks a result against the digests it was told to expect: one from the
// clipboard (whatever the algorithm: a user who copied a published checksum wants to see which
// row it is), and those of the sum files beside a hashed file (each for its own algorithm). A
// sum file that contradicts a result outweighs any match; the clipboard, which may hold any hex
// string at all, can only confirm.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "engine/engine.h"
#include "ui/dialog_rows.h"

namespace ui {

enum class ResultMark {
    None,
    Match,     // equal to an expected digest, and no sum file says otherwise
    Mismatch,  // a sum file gives the algorithm another digest
};

// By dialog row.
using ResultMarks = std::array<ResultMark, DialogRowCount>;

// The clipboard's text as a digest: trimmed of white space around it, its spaces removed, hex
// digits only, kept in lower case; nothing for any other text.
std::optional<std::string> ClipboardDigest(std::wstring_view text);

// The mark of each row's result; an empty result is never marked. The sum files' digests are by
// Algorithm identifier. Hex is compared ignoring case.
ResultMarks MarkResults(const std::array<std::wstring, DialogRowCount>& results,
                        const std::optional<std::string>& clipboard_digest,
                        const engine::ExpectedDigests& sum_file_digests);

}  // namespace ui
