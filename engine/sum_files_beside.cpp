#include "sum_files_beside.h"

#include <optional>
#include <span>
#include <string_view>

#include "paths.h"
#include "whole_file.h"

namespace engine {
namespace {

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
        AddExpectedDigests(ReadSumFile(*bytes, sum_file_name), sum_file_name, file_name, expected);
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
    // The sum files of the common algorithms only: the dialog marks only their results, and so
    // reads the same files beside a file whatever algorithms the library adds.
    const auto common = std::span(hashlib::Algorithms).first(hashlib::CommonAlgorithmCount);
    // Named after the file: the suffixes the algorithm table gives, and .sfv.
    for (const hashlib::AlgorithmInfo& info : common) {
        for (const char* suffix : info.sum_file_suffixes) {
            if (suffix != nullptr) {
                AddFromSumFile(folder, file_name + suffix, file_name, expected);
            }
        }
    }
    AddFromSumFile(folder, file_name + std::string(SfvSuffix), file_name, expected);
    // One list for a whole folder, named for its algorithm.
    for (const hashlib::AlgorithmInfo& info : common) {
        for (const char* sum_file_name : info.sum_file_names) {
            if (sum_file_name != nullptr) {
                AddFromSumFile(folder, sum_file_name, file_name, expected);
            }
        }
    }
    return expected;
}

}  // namespace engine
