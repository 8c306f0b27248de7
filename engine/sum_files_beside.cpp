#include "sum_files_beside.h"

#include <algorithm>
#include <optional>
#include <string_view>

#include "hashlib/ascii.h"
#include "paths.h"
#include "platform/platform.h"
#include "whole_file.h"

namespace engine {
namespace {

using hashlib::ascii::EndsWithIgnoringCase;
using hashlib::ascii::EqualsIgnoringCase;
using hashlib::ascii::StartsWithIgnoringCase;

// Lists for a whole folder whose name says nothing of their algorithm, as publishers name them:
// Fedora's *-CHECKSUM, GoReleaser's *_checksums.txt, and checksums.txt.
constexpr std::string_view GenericListSuffixes[] = {"-CHECKSUM", "_checksums.txt"};
constexpr std::string_view GenericListName = "checksums.txt";

// How a folder entry may be a sum file beside `file_name`, the most telling first; nothing when
// it is none.
enum class Kinship { NamedAfterFile, AlgorithmList, OtherList };

std::optional<Kinship> KinshipOf(std::string_view name, std::string_view file_name) {
    if (EqualsIgnoringCase(name, file_name)) {
        return std::nullopt;
    }
    if (name.size() > file_name.size() && StartsWithIgnoringCase(name, file_name)) {
        const std::string_view suffix = name.substr(file_name.size());
        if (EqualsIgnoringCase(suffix, SfvSuffix)) {
            return Kinship::NamedAfterFile;
        }
        for (const hashlib::AlgorithmInfo& info : hashlib::Algorithms) {
            for (const char* known : info.sum_file_suffixes) {
                if (known != nullptr && EqualsIgnoringCase(suffix, known)) {
                    return Kinship::NamedAfterFile;
                }
            }
        }
    }
    for (const hashlib::AlgorithmInfo& info : hashlib::Algorithms) {
        for (const char* whole_name : info.sum_file_names) {
            if (whole_name != nullptr && EqualsIgnoringCase(name, whole_name)) {
                return Kinship::AlgorithmList;
            }
        }
        for (const char* prefix : info.sum_file_prefixes) {
            if (prefix != nullptr && name.size() > std::string_view(prefix).size() &&
                StartsWithIgnoringCase(name, prefix)) {
                return Kinship::AlgorithmList;
            }
        }
    }
    for (const std::string_view suffix : GenericListSuffixes) {
        if (name.size() > suffix.size() && EndsWithIgnoringCase(name, suffix)) {
            return Kinship::OtherList;
        }
    }
    if (EqualsIgnoringCase(name, GenericListName)) {
        return Kinship::OtherList;
    }
    return std::nullopt;
}

// The CRC-32 that a name carries in square brackets at its end, before any extension, as
// release groups tag their files: "e487aede" of "Episode 01 [E487AEDE].mkv".
std::optional<std::string> CrcInName(std::string_view file_name) {
    const size_t close = file_name.rfind(']');
    if (close == std::string_view::npos || close < 9 || file_name[close - 9] != '[' ||
        !hashlib::ascii::AllHexDigits(file_name.substr(close - 8, 8))) {
        return std::nullopt;
    }
    const std::string_view after = file_name.substr(close + 1);
    if (!after.empty() && (after.front() != '.' || after.find_first_of("[]") != std::string_view::npos)) {
        return std::nullopt;
    }
    return hashlib::ascii::Lowered(file_name.substr(close - 8, 8));
}

}  // namespace

SumFilesBeside FindSumFilesBeside(const std::string& file_path) {
    SumFilesBeside found;
    const size_t name_start = NameStart(file_path);
    const std::string folder = file_path.substr(0, name_start);
    const std::string file_name = file_path.substr(name_start);
    if (file_name.empty()) {
        return found;
    }
    if (const std::optional<std::string> crc = CrcInName(file_name)) {
        found.listing.entries.push_back(
            {0, SumLineFormat::Sfv, hashlib::AlgorithmCrc32, false, file_name, *crc, {}});
        found.entry_sources.push_back(file_name);
    }

    // The folder is listed once and its names matched, rather than each possible name tried.
    std::vector<std::pair<Kinship, std::string>> sum_files;
    for (std::string& name :
         FolderEntryNames(folder, MostNamesListedBeside).value_or(std::vector<std::string>{})) {
        if (const std::optional<Kinship> kinship = KinshipOf(name, file_name)) {
            sum_files.emplace_back(*kinship, std::move(name));
        }
    }
    std::sort(sum_files.begin(), sum_files.end());
    sum_files.resize(std::min(sum_files.size(), MostSumFilesBeside));

    for (const auto& [kinship, sum_file_name] : sum_files) {
        std::string bytes;
        if (ReadWholeFile(folder + sum_file_name, LargestSumFileBeside, bytes) != WholeFileResult::Read) {
            continue;
        }
        SumFile sum_file = ReadSumFile(bytes, sum_file_name);
        for (SumEntry& entry : sum_file.entries) {
            if (!entry.keyed && NamesFileBeside(entry.file_name, file_name)) {
                found.listing.entries.push_back(std::move(entry));
                found.entry_sources.push_back(sum_file_name);
            }
        }
        for (UnsupportedLine& line : sum_file.unsupported) {
            if (NamesFileBeside(line.file_name, file_name)) {
                found.listing.unsupported.push_back(std::move(line));
                found.unsupported_sources.push_back(sum_file_name);
            }
        }
    }
    return found;
}

ExpectedDigests ReadSumFilesBeside(const std::string& file_path) {
    const SumFilesBeside found = FindSumFilesBeside(file_path);
    ExpectedDigests expected;
    for (size_t i = 0; i < found.listing.entries.size(); ++i) {
        AddExpectedDigest(found.listing.entries[i], found.entry_sources[i], expected);
    }
    return expected;
}

}  // namespace engine
