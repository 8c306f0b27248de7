// The sum-file reader and writer; sum_file.h gives the detection rules in order.
#include "sum_file.h"

#include <unordered_map>

#include "hashlib/ascii.h"
namespace engine {
namespace {

constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";

using hashlib::ascii::AllHexDigits;
using hashlib::ascii::EndsWithIgnoringCase;
using hashlib::ascii::EqualsIgnoringCase;
using hashlib::ascii::IsBlank;
using hashlib::ascii::IsHexDigit;
using hashlib::ascii::Lowered;
using hashlib::ascii::TrimmedBlanks;

bool IsValidAlgorithm(int algorithm) {
    return algorithm >= 0 && algorithm < hashlib::AlgorithmCount;
}

// An algorithm's name as sum files write it: our tag names and the spellings other tools use,
// as the algorithm table lists them; -1 for none.
int FindAlgorithm(std::string_view name) {
    return hashlib::FindAlgorithmByName(name);
}

// An algorithm's digest length in hex digits.
size_t HexLength(int algorithm) {
    return size_t(hashlib::Algorithms[algorithm].DigestSize()) * 2;
}

// What the sum file's own name says about its lines.
struct SumFileKind {
    bool sfv = false;
    int algorithm = -1;  // of GNU lines, or -1
};

// The sum file's name without its folder, whichever separator the path uses.
std::string_view BareSumFileName(std::string_view sum_file_name) {
    const size_t separator = sum_file_name.find_last_of("/\\");
    return separator == std::string_view::npos ? sum_file_name : sum_file_name.substr(separator + 1);
}

SumFileKind KindOfSumFile(std::string_view sum_file_name) {
    const std::string_view name = BareSumFileName(sum_file_name);
    if (EndsWithIgnoringCase(name, SfvSuffix)) {
        return {true, hashlib::AlgorithmCrc32};
    }
    for (const hashlib::AlgorithmInfo& info : hashlib::Algorithms) {
        for (const char* suffix : info.sum_file_suffixes) {
            if (suffix != nullptr && EndsWithIgnoringCase(name, suffix)) {
                return {false, info.id};
            }
        }
        for (const char* whole_name : info.sum_file_names) {
            if (whole_name != nullptr && EqualsIgnoringCase(name, whole_name)) {
                return {false, info.id};
            }
        }
    }
    return {};
}

// "\\", "\n" and "\r" to the characters they stand for; nothing for any other backslash.
std::optional<std::string> Unescaped(std::string_view text) {
    std::string name;
    name.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            name += text[i];
            continue;
        }
        if (++i == text.size()) {
            return std::nullopt;
        }
        switch (text[i]) {
            case '\\':
                name += '\\';
                break;
            case 'n':
                name += '\n';
                break;
            case 'r':
                name += '\r';
                break;
            default:
                return std::nullopt;
        }
    }
    return name;
}

bool IsValidFileName(std::string_view name) {
    return !name.empty() && name.find('\0') == std::string_view::npos;
}

// One line's reading: an entry, or the reason the line is malformed.
struct Reading {
    SumEntry entry;
    std::optional<SumLineProblem> problem;
};

Reading Malformed(SumLineProblem problem) {
    Reading reading;
    reading.problem = problem;
    return reading;
}

// The entry of a line whose format is known, after the checks every format shares.
Reading Entry(SumLineFormat format, int algorithm, bool keyed, std::string_view written_name, bool escaped,
              std::string_view digest) {
    std::optional<std::string> name = escaped ? Unescaped(written_name) : std::string(written_name);
    if (!name) {
        return Malformed(SumLineProblem::BadEscape);
    }
    if (!IsValidFileName(*name)) {
        return Malformed(SumLineProblem::BadFileName);
    }
    if (digest.empty() || !AllHexDigits(digest)) {
        return Malformed(SumLineProblem::DigestNotHex);
    }
    if (digest.size() != HexLength(algorithm)) {
        return Malformed(SumLineProblem::WrongDigestLength);
    }
    Reading reading;
    reading.entry.format = format;
    reading.entry.algorithm = algorithm;
    reading.entry.keyed = keyed;
    reading.entry.file_name = std::move(*name);
    reading.entry.digest = Lowered(digest);
    return reading;
}

bool IsAlgorithmNameCharacter(char c) {
    return hashlib::ascii::IsDigit(c) || hashlib::ascii::IsLetter(c) || c == '-' || c == '_';
}

// The parts of a line shaped `NAME (FILE) = DIGEST`, whatever NAME is.
struct TaggedParts {
    std::string_view algorithm_name;
    std::string_view file_name;
    std::string_view digest;
};

std::optional<TaggedParts> SplitTagged(std::string_view text) {
    size_t name_end = 0;
    while (name_end < text.size() && IsAlgorithmNameCharacter(text[name_end])) {
        ++name_end;
    }
    size_t open = name_end;
    while (open < text.size() && IsBlank(text[open])) {
        ++open;
    }
    const size_t close = text.rfind(')');
    if (name_end == 0 || open == text.size() || text[open] != '(' || close == std::string_view::npos ||
        close < open) {
        return std::nullopt;
    }
    size_t equals = close + 1;
    while (equals < text.size() && IsBlank(text[equals])) {
        ++equals;
    }
    if (equals == text.size() || text[equals] != '=') {
        return std::nullopt;
    }
    return TaggedParts{text.substr(0, name_end), text.substr(open + 1, close - open - 1),
                       TrimmedBlanks(text.substr(equals + 1))};
}

// A tagged line whose NAME we know; nothing when it is not one.
std::optional<Reading> ReadTagged(std::string_view text, bool escaped) {
    const std::optional<TaggedParts> parts = SplitTagged(text);
    if (!parts) {
        return std::nullopt;
    }
    std::string_view name = parts->algorithm_name;
    const bool keyed = name.size() > 5 && EqualsIgnoringCase(name.substr(0, 5), "HMAC-");
    if (keyed) {
        name.remove_prefix(5);
    }
    const int algorithm = FindAlgorithm(name);
    if (algorithm < 0 || (keyed && !hashlib::Algorithms[algorithm].keyable)) {
        return std::nullopt;
    }
    return Entry(SumLineFormat::Tagged, algorithm, keyed, parts->file_name, escaped, parts->digest);
}

// A GNU line; nothing when the line does not start with hex digits and the separator.
std::optional<Reading> ReadGnu(std::string_view text, bool escaped, int named_algorithm) {
    size_t digits = 0;
    while (digits < text.size() && IsHexDigit(text[digits])) {
        ++digits;
    }
    if (digits == 0 || digits + 2 > text.size() || !IsBlank(text[digits]) ||
        (text[digits + 1] != ' ' && text[digits + 1] != '*')) {
        return std::nullopt;
    }
    int algorithm = named_algorithm;
    if (algorithm < 0) {
        // By length among the common algorithms only: one added later shares its length with
        // one of them (SHA3-512 and BLAKE2b with SHA-512) and is read by its tag or by its sum
        // file's name, so the lines that were read by their length still are.
        int matches = 0;
        for (int id = 0; id < hashlib::CommonAlgorithmCount; ++id) {
            if (HexLength(id) == digits) {
                algorithm = id;
                ++matches;
            }
        }
        if (matches != 1) {
            return Malformed(matches == 0 ? SumLineProblem::UnknownDigestLength
                                          : SumLineProblem::AmbiguousDigestLength);
        }
    }
    return Entry(SumLineFormat::Gnu, algorithm, false, text.substr(digits + 2), escaped,
                 text.substr(0, digits));
}

// An SFV line; nothing when the line does not end in a blank and 8 hex digits.
std::optional<Reading> ReadSfv(std::string_view text) {
    text = TrimmedBlanks(text);
    if (text.size() < 10 || !IsBlank(text[text.size() - 9]) || !AllHexDigits(text.substr(text.size() - 8))) {
        return std::nullopt;
    }
    return Entry(SumLineFormat::Sfv, hashlib::AlgorithmCrc32, false,
                 TrimmedBlanks(text.substr(0, text.size() - 9)), false, text.substr(text.size() - 8));
}

// One line without its line end; nothing for a comment.
std::optional<Reading> ReadLine(std::string_view line, const SumFileKind& kind, int chosen_algorithm) {
    // Files joined together keep their byte-order marks at the start of a line.
    while (!line.empty() && (IsBlank(line.front()) || line.starts_with(ByteOrderMark))) {
        line.remove_prefix(IsBlank(line.front()) ? 1 : ByteOrderMark.size());
    }
    if (line.empty() || line.front() == '#' || line.front() == ';') {
        return std::nullopt;
    }
    if (!kind.sfv) {
        const bool escaped = line.front() == '\\';
        const std::string_view text = escaped ? line.substr(1) : line;
        if (std::optional<Reading> tagged = ReadTagged(text, escaped)) {
            return tagged;
        }
        if (std::optional<Reading> gnu =
                ReadGnu(text, escaped, kind.algorithm >= 0 ? kind.algorithm : chosen_algorithm)) {
            return gnu;
        }
        if (SplitTagged(text)) {
            return Malformed(SumLineProblem::UnknownAlgorithm);
        }
    }
    if (std::optional<Reading> sfv = ReadSfv(line)) {
        return sfv;
    }
    return Malformed(SumLineProblem::NotASumLine);
}

}  // namespace

SumFile ReadSumFile(std::string_view bytes, std::string_view sum_file_name, int chosen_algorithm) {
    const SumFileKind kind = KindOfSumFile(sum_file_name);
    if (!IsValidAlgorithm(chosen_algorithm)) {
        chosen_algorithm = -1;
    }
    SumFile sum_file;
    size_t line_number = 0;
    while (!bytes.empty()) {
        ++line_number;
        const size_t end = bytes.find('\n');
        std::string_view line = bytes.substr(0, end);
        bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        std::optional<Reading> reading = ReadLine(line, kind, chosen_algorithm);
        if (!reading) {
            continue;
        }
        if (reading->problem) {
            sum_file.malformed.push_back({line_number, *reading->problem});
        } else {
            reading->entry.line = line_number;
            sum_file.entries.push_back(std::move(reading->entry));
        }
    }
    return sum_file;
}

const char* SumLineProblemText(SumLineProblem problem) {
    switch (problem) {
        case SumLineProblem::NotASumLine:
            return "not a checksum line";
        case SumLineProblem::UnknownAlgorithm:
            return "unknown algorithm";
        case SumLineProblem::DigestNotHex:
            return "digest is not hexadecimal";
        case SumLineProblem::WrongDigestLength:
            return "digest length does not fit the algorithm";
        case SumLineProblem::AmbiguousDigestLength:
            return "digest length fits several algorithms";
        case SumLineProblem::UnknownDigestLength:
            return "digest length fits no algorithm";
        case SumLineProblem::BadEscape:
            return "invalid escape in the file name";
        case SumLineProblem::BadFileName:
            return "empty file name or a zero byte in it";
    }
    return "malformed line";
}

std::vector<std::vector<size_t>> GroupEntriesByFile(const std::vector<SumEntry>& entries,
                                                    const std::function<bool(const SumEntry&)>& include) {
    std::vector<std::vector<size_t>> groups;
    std::unordered_map<std::string_view, size_t> group_of_name;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (include && !include(entries[i])) {
            continue;
        }
        const auto [found, added] = group_of_name.try_emplace(entries[i].file_name, groups.size());
        if (added) {
            groups.emplace_back();
        }
        groups[found->second].push_back(i);
    }
    return groups;
}

void AddExpectedDigests(const SumFile& sum_file, std::string_view sum_file_name, std::string_view file_name,
                        ExpectedDigests& expected) {
    const std::string source(BareSumFileName(sum_file_name));
    for (const SumEntry& entry : sum_file.entries) {
        std::string_view listed = entry.file_name;
        while (listed.size() > 2 && listed[0] == '.' && (listed[1] == '/' || listed[1] == '\\')) {
            listed.remove_prefix(2);
        }
        if (!entry.keyed && EqualsIgnoringCase(listed, file_name)) {
            expected[size_t(entry.algorithm)].push_back({entry.digest, source});
        }
    }
}

bool DigestsEqual(std::string_view computed, std::string_view expected) {
    return !computed.empty() && AllHexDigits(computed) && EqualsIgnoringCase(computed, expected);
}

std::optional<std::string> EscapedName(std::string_view name, bool backslash_too) {
    if (name.find_first_of(backslash_too ? "\\\n\r" : "\n\r") == std::string_view::npos) {
        return std::nullopt;
    }
    std::string text;
    text.reserve(name.size() + 8);
    for (char c : name) {
        switch (c) {
            case '\\':
                text += "\\\\";
                break;
            case '\n':
                text += "\\n";
                break;
            case '\r':
                text += "\\r";
                break;
            default:
                text += c;
        }
    }
    return text;
}

std::optional<std::string> FormatSumLine(SumLineFormat format, int algorithm, bool keyed,
                                         std::string_view file_name, std::string_view digest) {
    if (!IsValidAlgorithm(algorithm) || digest.size() != HexLength(algorithm) || !AllHexDigits(digest) ||
        !IsValidFileName(file_name) ||
        (keyed && (format != SumLineFormat::Tagged || !hashlib::Algorithms[algorithm].keyable))) {
        return std::nullopt;
    }
    const std::string hex = Lowered(digest);
    switch (format) {
        case SumLineFormat::Tagged: {
            const std::optional<std::string> escaped = EscapedName(file_name, false);
            return std::string(escaped ? "\\" : "") + (keyed ? "HMAC-" : "") +
                   hashlib::Algorithms[algorithm].tag_name + " (" + escaped.value_or(std::string(file_name)) +
                   ") = " + hex + "\n";
        }
        case SumLineFormat::Gnu: {
            const std::optional<std::string> escaped = EscapedName(file_name, true);
            return std::string(escaped ? "\\" : "") + hex + "  " + escaped.value_or(std::string(file_name)) +
                   "\n";
        }
        case SumLineFormat::Sfv:
            if (algorithm != hashlib::AlgorithmCrc32 || file_name.find('\n') != std::string_view::npos ||
                IsBlank(file_name.front()) || IsBlank(file_name.back()) || file_name.front() == '#' ||
                file_name.front() == ';' || file_name.starts_with(ByteOrderMark)) {
                return std::nullopt;
            }
            return std::string(file_name) + " " + hex + "\n";
    }
    return std::nullopt;
}

}  // namespace engine
