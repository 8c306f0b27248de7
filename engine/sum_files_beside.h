// The digests a file is expected to have, from the sum files that lie beside it: the ones named
// after the file (NAME.sha256 and the like, NAME being the file's own name with its extension)
// and the folder's lists named for an algorithm (SHA256SUMS and the like), as the algorithm
// table gives them. Only lines naming the file itself, without a folder, count. This is what
// lets the dialog tell a download that matches its published checksums.
#pragma once

#include <string>

#include "sum_file.h"

namespace engine {

// A sum file beside a file is read only when it is at most this long: a checksum list is a few
// lines, and a large file of that name is something else.
inline constexpr size_t LargestSumFileBeside = size_t(1) << 20;

// Reads the sum files beside the file at the UTF-8 path `file_path` (opened by their Unicode
// names, as the file itself is) and returns the digests they give it, each with the name of
// the sum file that gives it. A sum file that is missing, unreadable or too long is passed
// over, a malformed line too: reading never fails.
ExpectedDigests ReadSumFilesBeside(const std::string& file_path);

}  // namespace engine
