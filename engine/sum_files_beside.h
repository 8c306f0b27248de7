// The digests a file is expected to have, from the sum files that lie beside it: the ones named
// after the file (NAME.sha256, NAME.sha256sum, NAME.sfv and the like, NAME being the file's own
// name with its extension), the folder's lists named for an algorithm (SHA256SUMS,
// sha256sums.txt, SHASUMS256.txt, CHECKSUM.SHA256-* and the like, as the algorithm table gives
// them) and the lists whose name gives none (*-CHECKSUM, *_checksums.txt, checksums.txt). Only
// lines naming the file itself, without a folder or after "./", count. A CRC-32 in square
// brackets at the end of the file's own name ("Episode 01 [E487AEDE].mkv") counts as well. This
// is what lets the dialog tell a download that matches its published checksums, and what
// orvendal-cli --verify checks.
#pragma once

#include <string>
#include <vector>

#include "sum_file.h"

namespace engine {

// A sum file beside a file is read only when it is at most this long: a checksum list is a few
// lines, and a large file of that name is something else.
inline constexpr size_t LargestSumFileBeside = size_t(1) << 20;
// The work is bounded whatever the folder holds: its listing is read once and no further than
// this many names, and at most this many sum files are read, those named after the file first.
inline constexpr size_t MostNamesListedBeside = 100000;
inline constexpr size_t MostSumFilesBeside = 32;

// What the sum files beside a file say of it.
struct SumFilesBeside {
    // The plain entries and the unsupported lines naming the file, sum file after sum file, each
    // with the number of its line in its own sum file.
    SumFile listing;
    std::vector<std::string> entry_sources;        // per entry: its sum file's name (UTF-8, no folder)
    std::vector<std::string> unsupported_sources;  // per unsupported line, likewise
};

// Reads the sum files beside the file at the UTF-8 path `file_path` (opened by their Unicode
// names, as the file itself is). A sum file that is missing, unreadable or too long is passed
// over, a malformed line too: reading never fails. The name in brackets counts as a sum file
// named as the file itself is.
SumFilesBeside FindSumFilesBeside(const std::string& file_path);

// The same as digests by algorithm, each with the name of the sum file that gives it.
ExpectedDigests ReadSumFilesBeside(const std::string& file_path);

}  // namespace engine
