// The sum-file reader on arbitrary bytes, and the writer on what it reads. Byte 0 chooses the sum
// file's name (which may name the algorithm or make it an SFV file), byte 1 the caller's chosen
// algorithm (or none); the rest is the sum file (UTF-16 when it starts with its byte-order mark,
// clear-signed, digests continued over lines: whatever the bytes make). Every line number lies
// within the input, a line gives at most one entry, one error or one unsupported line, every
// entry is well formed, and each entry written in any
// format that can carry it reads back as the same entry.
#include <algorithm>
#include <set>
#include <span>
#include <string>
#include <string_view>

#include "engine/sum_file.h"
#include "fuzz_check.h"

using namespace engine;

namespace {

constexpr std::string_view SumFileNames[] = {
    "",        "sums.txt",   "x.md5",  "SHA256SUMS",       "dir/X.SFV",         "a\\b.crc32",
    "f.tiger", "sha512sums", "f.ed2k", "setup.iso.sha256", "CHECKSUM.SHA512-x", "SHASUMS256.txt"};

size_t LineCount(std::string_view bytes) {
    const size_t line_feeds = size_t(std::count(bytes.begin(), bytes.end(), '\n'));
    return line_feeds + (!bytes.empty() && bytes.back() != '\n' ? 1 : 0);
}

void CheckEntry(const SumEntry& entry, bool sfv_file) {
    FUZZ_CHECK(entry.algorithm >= 0 && entry.algorithm < hashlib::AlgorithmCount);
    FUZZ_CHECK(entry.digest.size() == size_t(hashlib::Algorithms[entry.algorithm].DigestSize()) * 2);
    FUZZ_CHECK(fuzz::IsLowerHex(entry.digest));
    FUZZ_CHECK(!entry.file_name.empty() && entry.file_name.find('\0') == std::string::npos);
    FUZZ_CHECK(!entry.keyed ||
               (entry.format == SumLineFormat::Tagged && hashlib::Algorithms[entry.algorithm].keyable));
    FUZZ_CHECK(entry.format != SumLineFormat::Sfv ||
               (entry.algorithm == hashlib::AlgorithmCrc32 && !entry.keyed));
    FUZZ_CHECK(!sfv_file || entry.format == SumLineFormat::Sfv);

    // The writer carries every entry in its own format, and whatever it writes reads back alike.
    FUZZ_CHECK(FormatSumLine(entry.format, entry.algorithm, entry.keyed, entry.file_name, entry.digest));
    for (SumLineFormat format : {SumLineFormat::Tagged, SumLineFormat::Gnu, SumLineFormat::Sfv}) {
        const std::optional<std::string> line =
            FormatSumLine(format, entry.algorithm, entry.keyed, entry.file_name, entry.digest);
        if (!line) {
            continue;
        }
        FUZZ_CHECK(line->find('\n') == line->size() - 1);
        // An SFV line starts with its name: one whose bytes start as a byte-order mark does (never
        // valid UTF-8 for FE FF and FF FE) is read as that mark when it is the file's first line.
        const std::string_view name = entry.file_name;
        if (format == SumLineFormat::Sfv && (name.starts_with("\xEF\xBB\xBF") ||
                                             name.starts_with("\xFF\xFE") || name.starts_with("\xFE\xFF"))) {
            continue;
        }
        const SumFile read_back = format == SumLineFormat::Sfv ? ReadSumFile(*line, "x.sfv")
                                                               : ReadSumFile(*line, "", entry.algorithm);
        SumEntry expected = entry;
        expected.line = 1;
        expected.format = format;
        expected.candidates.clear();  // read back under the algorithm it was written for
        FUZZ_CHECK(read_back.malformed.empty());
        FUZZ_CHECK(read_back.entries.size() == 1 && read_back.entries[0] == expected);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::InputReader input(data, size);
    const std::string_view sum_file_name = SumFileNames[input.Byte() % std::size(SumFileNames)];
    const int chosen_algorithm = int(input.Byte() % (hashlib::AlgorithmCount + 1)) - 1;
    const std::string_view bytes = input.Rest();

    const SumFile sum_file = ReadSumFile(bytes, sum_file_name, chosen_algorithm);
    const size_t line_count = LineCount(bytes);
    std::set<size_t> lines;
    for (const SumEntry& entry : sum_file.entries) {
        FUZZ_CHECK(entry.line >= 1 && entry.line <= line_count);
        FUZZ_CHECK(lines.insert(entry.line).second);
    }
    for (const SumLineError& error : sum_file.malformed) {
        FUZZ_CHECK(error.line >= 1 && error.line <= line_count);
        FUZZ_CHECK(lines.insert(error.line).second);
        FUZZ_CHECK(*SumLineProblemText(error.problem) != '\0');
    }
    for (const UnsupportedLine& line : sum_file.unsupported) {
        FUZZ_CHECK(line.line >= 1 && line.line <= line_count);
        FUZZ_CHECK(lines.insert(line.line).second);
    }
    FUZZ_CHECK(std::is_sorted(sum_file.entries.begin(), sum_file.entries.end(),
                              [](const SumEntry& a, const SumEntry& b) { return a.line < b.line; }));
    FUZZ_CHECK(std::is_sorted(sum_file.malformed.begin(), sum_file.malformed.end(),
                              [](const SumLineError& a, const SumLineError& b) { return a.line < b.line; }));
    const bool sfv_file = sum_file_name == "dir/X.SFV";
    for (const SumEntry& entry : sum_file.entries) {
        CheckEntry(entry, sfv_file);
    }

    // A byte-order mark in front changes nothing (but in front of UTF-16's, which it hides).
    if (bytes.substr(0, 3) != "\xEF\xBB\xBF" && bytes.substr(0, 2) != "\xFF\xFE" &&
        bytes.substr(0, 2) != "\xFE\xFF") {
        const SumFile marked =
            ReadSumFile("\xEF\xBB\xBF" + std::string(bytes), sum_file_name, chosen_algorithm);
        FUZZ_CHECK(marked.entries == sum_file.entries && marked.malformed == sum_file.malformed);
    }

    // The groups hold every entry once, one name each, in the order names first appear.
    size_t grouped = 0;
    std::set<std::string> group_names;
    size_t previous_first = 0;
    const EntryGroups groups = GroupEntriesByFile(sum_file.entries);
    for (size_t g = 0; g < groups.size(); ++g) {
        const std::span<const size_t> group = groups[g];
        FUZZ_CHECK(!group.empty() && std::is_sorted(group.begin(), group.end()));
        FUZZ_CHECK(grouped == 0 || group.front() > previous_first);
        previous_first = group.front();
        const std::string& name = sum_file.entries[group.front()].file_name;
        FUZZ_CHECK(group_names.insert(name).second);
        for (size_t index : group) {
            FUZZ_CHECK(index < sum_file.entries.size() && sum_file.entries[index].file_name == name);
        }
        grouped += group.size();
    }
    FUZZ_CHECK(grouped == sum_file.entries.size());

    // A plain entry with a bare name is among the digests its file expects.
    for (size_t i = 0; i < sum_file.entries.size() && i < 8; ++i) {
        const SumEntry& entry = sum_file.entries[i];
        if (entry.keyed || entry.file_name.find_first_of("/\\") != std::string::npos) {
            continue;
        }
        ExpectedDigests expected;
        AddExpectedDigests(sum_file, "sums/MD5SUMS", entry.file_name, expected);
        const std::vector<ExpectedDigest>& digests = expected[size_t(entry.algorithm)];
        const ExpectedDigest wanted{entry.digest, "MD5SUMS", entry.candidates.empty()};
        FUZZ_CHECK(std::find(digests.begin(), digests.end(), wanted) != digests.end());
    }
    return 0;
}
