// A small file read whole, such as a sum file, without a caller handling a file reader.
#pragma once

#include <cstddef>
#include <string>

namespace engine {

enum class WholeFileResult {
    Read,
    NotFound,    // the file or its path does not exist
    Unreadable,  // any other failure to open or read it (a folder too)
    TooLong,     // longer than the limit: read no further than one byte past it
};

// Reads the file at the UTF-8 path, or standard input, into `bytes` when it is at most `limit`
// bytes long; `bytes` is empty unless it was read.
WholeFileResult ReadWholeFile(const std::string& path, size_t limit, std::string& bytes);
WholeFileResult ReadWholeStandardInput(size_t limit, std::string& bytes);

}  // namespace engine
