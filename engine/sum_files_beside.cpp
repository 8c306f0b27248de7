#include "sum_files_beside.h"

#include <array>
#include <optional>
#include <string_view>

#include "paths.h"
#include "whole_file.h"

namespace engine {
namespace {

// Appended to the file's name: the suffixes the reader knows, and .sfv.
constexpr std::array<std::string_view, 13> SumFileSuffixes = {
    ".md5",       ".md4",   ".sha1", ".sha256", ".sha384", ".sha512", ".rmd160",
    ".ripemd160", ".tiger", ".md2",  ".ed2k",   ".crc32",  ".sfv",
};
// One list for a whole folder, named for its algorithm.
constexpr std::array<std::string_view, 5> FolderSumFiles = {
    "MD5SUMS", "SHA1SUMS", "SHA256SUMS", "SHA384SUMS", "SHA512SUMS",
};

// The whole file, or nothing when it cannot be read or is longer than LargestSumFileBeside.
std::optional<std::string> ReadSmallFile(const std::string& path) {
    std::string bytes;
    if (ReadWholeFile(path, LargestSumFileBeside, bytes) != WholeFileResult::Read) {
        return std::nullopt;
    }
    return bytes;
}

void AddFromSumFile(const std::string& folder, const std::string& sum_file_name, std::string_view file_name,
                    ExpectedDigests& expected) {
    if (const std::optional<std::string> bytes = ReadSmallFile(folder + sum_file_name)) {
        AddExpectedDigests(ReadSumFile(*bytes, sum_file_name), file_name, expected);
    }
}

}  // namespace

ExpectedDigests ReadSumFilesBeside(const std::string& file_path) {
    ExpectedDigests expected;
    const size_t name_start = NameStart(file_path);
    const std::string folder = file_path.substr(0, name_start);
    const std::string file_name = file_path.substr(name_start);
    if (file_name.empty()) {
        return expected;
    }
    for (const std::string_view suffix : SumFileSuffixes) {
        AddFromSumFile(folder, file_name + std::string(suffix), file_name, expected);
    }
    for (const std::string_view sum_file_name : FolderSumFiles) {
        AddFromSumFile(folder, std::string(sum_file_name), file_name, expected);
    }
    return expected;
}

}  // namespace engine
