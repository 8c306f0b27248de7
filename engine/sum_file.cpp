// The sum-file reader and writer; sum_file.h gives the detection rules in order.
#include "sum_file.h"

#include <algorithm>
#include <cstdint>
#include <utility>

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
using hashlib::ascii::StartsWithIgnoringCase;
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

// The sum file's name without its folder, whichever separator the path uses.
std::string_view BareSumFileName(std::string_view sum_file_name) {
    const size_t separator = sum_file_name.find_last_of("/\\");
    return separator == std::string_view::npos ? sum_file_name : sum_file_name.substr(separator + 1);
}

// What the sum file's own name says about its lines.
struct SumFileKind {
    bool sfv = false;
    int algorithm = -1;  // of untagged lines, or -1
    // The name without the algorithm's suffix it ends in ("setup.iso" of "setup.iso.sha256"),
    // the file a lone digest lists; empty when the name ends in none.
    std::string_view listed_name;
};

SumFileKind KindOfSumFile(std::string_view sum_file_name) {
    const std::string_view name = BareSumFileName(sum_file_name);
    if (EndsWithIgnoringCase(name, SfvSuffix)) {
        return {true, hashlib::AlgorithmCrc32, {}};
    }
    for (const hashlib::AlgorithmInfo& info : hashlib::Algorithms) {
        for (const char* suffix : info.sum_file_suffixes) {
            if (suffix != nullptr && EndsWithIgnoringCase(name, suffix)) {
                return {false, info.id, name.substr(0, name.size() - std::string_view(suffix).size())};
            }
        }
        for (const char* whole_name : info.sum_file_names) {
            if (whole_name != nullptr && EqualsIgnoringCase(name, whole_name)) {
                return {false, info.id, {}};
            }
        }
        for (const char* prefix : info.sum_file_prefixes) {
            if (prefix != nullptr && name.size() > std::string_view(prefix).size() &&
                StartsWithIgnoringCase(name, prefix)) {
                return {false, info.id, {}};
            }
        }
    }
    return {};
}

void AppendUtf8(std::string& text, uint32_t c) {
    if (c < 0x80) {
        text += char(c);
    } else if (c < 0x800) {
        text += char(0xC0 | (c >> 6));
        text += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        text += char(0xE0 | (c >> 12));
        text += char(0x80 | ((c >> 6) & 0x3F));
        text += char(0x80 | (c & 0x3F));
    } else {
        text += char(0xF0 | (c >> 18));
        text += char(0x80 | ((c >> 12) & 0x3F));
        text += char(0x80 | ((c >> 6) & 0x3F));
        text += char(0x80 | (c & 0x3F));
    }
}

// Text that starts with a UTF-16 byte-order mark (as PowerShell 5.1 and Notepad write it), in
// UTF-8 without the mark; nothing for other text. A lone surrogate or an odd last byte becomes
// U+FFFD.
std::optional<std::string> FromUtf16(std::string_view bytes) {
    if (bytes.size() < 2 ||
        !((bytes[0] == '\xFF' && bytes[1] == '\xFE') || (bytes[0] == '\xFE' && bytes[1] == '\xFF'))) {
        return std::nullopt;
    }
    const bool little_endian = bytes[0] == '\xFF';
    const auto unit = [&](size_t i) {
        const uint32_t first = uint8_t(bytes[i]), second = uint8_t(bytes[i + 1]);
        return little_endian ? first | second << 8 : first << 8 | second;
    };
    std::string text;
    text.reserve(bytes.size() / 2 * 3);
    size_t i = 2;
    for (; i + 1 < bytes.size(); i += 2) {
        uint32_t c = unit(i);
        if (c >= 0xD800 && c < 0xDC00 && i + 3 < bytes.size() && unit(i + 2) >= 0xDC00 &&
            unit(i + 2) < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (unit(i + 2) - 0xDC00);
            i += 2;
        } else if (c >= 0xD800 && c < 0xE000) {
            c = 0xFFFD;
        }
        AppendUtf8(text, c);
    }
    if (i < bytes.size()) {
        AppendUtf8(text, 0xFFFD);
    }
    return text;
}

// A line without its line end.
struct Line {
    size_t number = 0;  // 1-based
    std::string_view text;
};

// Spaces, tabs and UTF-8 byte-order marks at the start dropped: files joined together keep
// their byte-order marks at the start of a line.
std::string_view WithoutLineStart(std::string_view line) {
    while (!line.empty() && (IsBlank(line.front()) || line.starts_with(ByteOrderMark))) {
        line.remove_prefix(IsBlank(line.front()) ? 1 : ByteOrderMark.size());
    }
    return line;
}

// The lines to read: every line but those of OpenPGP armour (a clear-signed message's armour
// lines and headers, and signature blocks), dash-escaped lines of a signed message without
// their "- ". `armour` tells whether any armour was passed over.
std::vector<Line> LinesToRead(std::string_view text, bool& armour) {
    enum class State { Text, ArmourHeaders, SignedText, Signature };
    State state = State::Text;
    std::vector<Line> lines;
    lines.reserve(size_t(std::count(text.begin(), text.end(), '\n')) + 1);
    size_t number = 0;
    while (!text.empty()) {
        ++number;
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        const std::string_view bare = TrimmedBlanks(WithoutLineStart(line));
        switch (state) {
            case State::ArmourHeaders:
                // "Hash: SHA256" and the like, up to the blank line that ends them.
                if (bare.empty()) {
                    state = State::SignedText;
                }
                continue;
            case State::Signature:
                if (bare == "-----END PGP SIGNATURE-----") {
                    state = State::Text;
                }
                continue;
            case State::Text:
            case State::SignedText:
                break;
        }
        if (bare == "-----BEGIN PGP SIGNED MESSAGE-----") {
            armour = true;
            state = State::ArmourHeaders;
            continue;
        }
        if (bare == "-----BEGIN PGP SIGNATURE-----") {
            armour = true;
            state = State::Signature;
            continue;
        }
        if (state == State::SignedText && line.starts_with("- ")) {
            line.remove_prefix(2);
        }
        lines.push_back({number, line});
    }
    return lines;
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

// One line's reading: an entry, an unsupported line, or the reason the line is malformed; and
// how many lines it took (a digest may go on over further lines).
struct Reading {
    SumEntry entry;
    std::optional<SumLineProblem> problem;
    std::optional<UnsupportedLine> unsupported;
    size_t lines = 1;
};

Reading Malformed(SumLineProblem problem) {
    Reading reading;
    reading.problem = problem;
    return reading;
}

// The algorithm of an untagged digest: the one the sum file's name or the caller names, else the
// one its length fits, else (several fit) the cheapest with the others as candidates; -1 when
// no algorithm has its length.
struct Untagged {
    int algorithm = -1;
    std::vector<int> candidates;
};

// The entry of a line whose format is known, after the checks every format shares.
Reading Entry(SumLineFormat format, const Untagged& algorithm, bool keyed, std::string_view written_name,
              bool escaped, std::string_view digest) {
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
    if (algorithm.algorithm < 0) {
        return Malformed(SumLineProblem::UnknownDigestLength);
    }
    if (digest.size() != HexLength(algorithm.algorithm)) {
        return Malformed(SumLineProblem::WrongDigestLength);
    }
    Reading reading;
    reading.entry.format = format;
    reading.entry.algorithm = algorithm.algorithm;
    reading.entry.keyed = keyed;
    reading.entry.file_name = std::move(*name);
    reading.entry.digest = Lowered(digest);
    reading.entry.candidates = algorithm.candidates;
    return reading;
}

bool IsAlgorithmNameCharacter(char c) {
    // '/' for OpenSSL's SHA2-512/256.
    return hashlib::ascii::IsDigit(c) || hashlib::ascii::IsLetter(c) || c == '-' || c == '_' || c == '/';
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

// The algorithm a tag names (HMAC- before it for a keyed digest); -1 for one we do not compute.
int TaggedAlgorithm(std::string_view name, bool& keyed) {
    keyed = name.size() > 5 && EqualsIgnoringCase(name.substr(0, 5), "HMAC-");
    if (keyed) {
        name.remove_prefix(5);
    }
    const int algorithm = FindAlgorithm(name);
    return algorithm >= 0 && (!keyed || hashlib::Algorithms[algorithm].keyable) ? algorithm : -1;
}

// A tagged line whose NAME we know; nothing when it is not one.
std::optional<Reading> ReadTagged(std::string_view text, bool escaped) {
    const std::optional<TaggedParts> parts = SplitTagged(text);
    if (!parts) {
        return std::nullopt;
    }
    bool keyed = false;
    const int algorithm = TaggedAlgorithm(parts->algorithm_name, keyed);
    if (algorithm < 0) {
        return std::nullopt;
    }
    return Entry(SumLineFormat::Tagged, {algorithm, {}}, keyed, parts->file_name, escaped, parts->digest);
}

// A tagged line whose NAME we do not compute.
std::optional<Reading> ReadUnsupported(std::string_view text) {
    const std::optional<TaggedParts> parts = SplitTagged(text);
    if (!parts) {
        return std::nullopt;
    }
    Reading reading;
    reading.unsupported =
        UnsupportedLine{0, std::string(parts->algorithm_name), std::string(parts->file_name)};
    return reading;
}

// Hex digits in groups separated by blanks, as gpg writes a digest.
struct HexGroups {
    std::string digits;
    size_t count = 0;
    size_t length = 0;  // of every group when all are alike, else 0
};

// Adds the groups of `text` (blanks around them allowed) to `groups`; false when it holds
// anything else, or no group, or (with `upper_case_only`) a lower-case digit.
bool AddHexGroups(std::string_view text, bool upper_case_only, HexGroups& groups) {
    text = TrimmedBlanks(text);
    if (text.empty()) {
        return false;
    }
    size_t start = 0;
    while (start < text.size()) {
        size_t end = start;
        while (end < text.size() && IsHexDigit(text[end]) && !(upper_case_only && text[end] >= 'a')) {
            ++end;
        }
        if (end == start || (end < text.size() && !IsBlank(text[end]))) {
            return false;
        }
        const size_t length = end - start;
        groups.length = groups.count == 0 || groups.length == length ? length : 0;
        ++groups.count;
        groups.digits.append(text.substr(start, length));
        start = end;
        while (start < text.size() && IsBlank(text[start])) {
            ++start;
        }
    }
    return true;
}

// Lines after `next` that start with a blank and hold hex groups only, added to `groups`;
// returns how many.
size_t AddContinuations(const std::vector<Line>& lines, size_t next, bool upper_case_only,
                        HexGroups& groups) {
    size_t added = 0;
    for (; next < lines.size(); ++next, ++added) {
        const std::string_view text = lines[next].text;
        HexGroups more = groups;
        if (text.empty() || !IsBlank(text.front()) || !AddHexGroups(text, upper_case_only, more)) {
            break;
        }
        groups = std::move(more);
    }
    return added;
}

// Hex groups of one length, as gpg writes a digest: "abcd1234 f" is a digest and a name.
bool IsHexGroupsAlone(std::string_view text) {
    HexGroups groups;
    return AddHexGroups(text, false, groups) && groups.length != 0;
}

// Reads one sum file's lines, remembering what the first GNU line decided.
class Reader {
  public:
    Reader(std::string_view sum_file_name, int chosen_algorithm)
        : kind_(KindOfSumFile(sum_file_name)),
          named_algorithm_(kind_.algorithm >= 0 ? kind_.algorithm : chosen_algorithm) {}

    void Read(std::string_view text, SumFile& sum_file) {
        const std::vector<Line> lines = LinesToRead(text, sum_file.signed_message);
        for (const Line& line : lines) {
            const std::string_view bare = WithoutLineStart(line.text);
            content_lines_ += !bare.empty() && bare.front() != '#' && bare.front() != ';';
        }
        sum_file.entries.reserve(content_lines_);  // most lines are entries: no capacity doubled past them
        for (size_t i = 0; i < lines.size();) {
            std::optional<Reading> reading = ReadLine(lines, i);
            const size_t number = lines[i].number;
            i += reading ? reading->lines : 1;
            if (!reading) {
                continue;
            }
            if (reading->problem) {
                sum_file.malformed.push_back({number, *reading->problem});
            } else if (reading->unsupported) {
                reading->unsupported->line = number;
                sum_file.unsupported.push_back(std::move(*reading->unsupported));
            } else {
                reading->entry.line = number;
                sum_file.entries.push_back(std::move(reading->entry));
            }
        }
    }

  private:
    // How GNU lines separate digest and name in this sum file, as its first GNU line says.
    enum class GnuForm { Undecided, TwoCharacters, OneBlank };

    Untagged UntaggedAlgorithm(size_t digits) const {
        if (named_algorithm_ >= 0) {
            return {named_algorithm_, {}};
        }
        std::vector<int> fitting = AlgorithmsOfHexLength(digits);
        if (fitting.size() <= 1) {
            return {fitting.empty() ? -1 : fitting.front(), {}};
        }
        return {fitting.front(), std::move(fitting)};
    }

    bool Fits(size_t digits) const {
        return named_algorithm_ >= 0 ? HexLength(named_algorithm_) == digits
                                     : !AlgorithmsOfHexLength(digits).empty();
    }

    // An entry of a GNU line in the form given, which becomes the sum file's if it had none.
    Reading GnuEntry(GnuForm form, std::string_view name, bool escaped, std::string_view digest) {
        Reading reading =
            Entry(SumLineFormat::Gnu, UntaggedAlgorithm(digest.size()), false, name, escaped, digest);
        if (!reading.problem && gnu_form_ == GnuForm::Undecided) {
            gnu_form_ = form;
        }
        return reading;
    }

    // A GNU line with two characters between digest and name; nothing when it is not one.
    std::optional<Reading> ReadGnu(std::string_view text, bool escaped) {
        size_t digits = 0;
        while (digits < text.size() && IsHexDigit(text[digits])) {
            ++digits;
        }
        if (gnu_form_ == GnuForm::OneBlank || digits == 0 || digits + 2 > text.size() ||
            !IsBlank(text[digits]) || (text[digits + 1] != ' ' && text[digits + 1] != '*')) {
            return std::nullopt;
        }
        return GnuEntry(GnuForm::TwoCharacters, text.substr(digits + 2), escaped, text.substr(0, digits));
    }

    // A GNU line with one blank between digest and name, in a sum file whose GNU lines are so;
    // nothing when it is not one.
    std::optional<Reading> ReadGnuOneBlank(std::string_view text, bool escaped, std::string_view line) {
        size_t digits = 0;
        while (digits < text.size() && IsHexDigit(text[digits])) {
            ++digits;
        }
        if (gnu_form_ == GnuForm::TwoCharacters || digits == 0 || digits + 1 >= text.size() ||
            !IsBlank(text[digits]) || !Fits(digits) || IsHexGroupsAlone(text) ||
            (digits == 8 && ReadSfv(line))) {
            return std::nullopt;
        }
        return GnuEntry(GnuForm::OneBlank, text.substr(digits + 1), escaped, text.substr(0, digits));
    }

    // gpg --print-md's `FILE: HEX HEX ...` or `FILE: ALGO = HEX HEX ...`, over one line or more.
    std::optional<Reading> ReadGpg(const std::vector<Line>& lines, size_t first,
                                   std::string_view text) const {
        const size_t colon = text.rfind(':');
        if (colon == std::string_view::npos || colon == 0 ||
            (colon + 1 < text.size() && !IsBlank(text[colon + 1]))) {
            return std::nullopt;
        }
        const std::string_view name = text.substr(0, colon);
        std::string_view body = TrimmedBlanks(text.substr(colon + 1));
        size_t taken = 1;
        if (body.empty()) {
            // A long name: the digest starts on the next line.
            if (first + 1 == lines.size()) {
                return std::nullopt;
            }
            body = TrimmedBlanks(WithoutLineStart(lines[first + 1].text));
            taken = 2;
        }
        std::string_view algorithm_name;
        if (const size_t equals = body.find('='); equals != std::string_view::npos) {
            algorithm_name = TrimmedBlanks(body.substr(0, equals));
            if (algorithm_name.empty() ||
                !std::all_of(algorithm_name.begin(), algorithm_name.end(), IsAlgorithmNameCharacter)) {
                return std::nullopt;
            }
            body = body.substr(equals + 1);
        }
        HexGroups groups;
        if (!AddHexGroups(body, true, groups)) {
            return std::nullopt;
        }
        taken += AddContinuations(lines, first + taken, true, groups);
        if (groups.count < 2 || (groups.length != 2 && groups.length != 4 && groups.length != 8)) {
            return std::nullopt;
        }
        Reading reading;
        if (algorithm_name.empty()) {
            reading = Entry(SumLineFormat::Gnu, UntaggedAlgorithm(groups.digits.size()), false, name, false,
                            groups.digits);
        } else if (const int algorithm = FindAlgorithm(algorithm_name); algorithm >= 0) {
            reading = Entry(SumLineFormat::Tagged, {algorithm, {}}, false, name, false, groups.digits);
        } else {
            reading.unsupported = UnsupportedLine{0, std::string(algorithm_name), std::string(name)};
        }
        reading.lines = taken;
        return reading;
    }

    // A digest alone (maybe grouped and continued, blanks after it) as the whole content of a sum
    // file named after the file it lists.
    std::optional<Reading> ReadLoneDigest(const std::vector<Line>& lines, size_t first,
                                          std::string_view text) const {
        if (kind_.listed_name.empty()) {
            return std::nullopt;
        }
        HexGroups groups;
        if (!AddHexGroups(text, false, groups)) {
            return std::nullopt;
        }
        const size_t taken = 1 + AddContinuations(lines, first + 1, false, groups);
        if (groups.digits.size() != HexLength(kind_.algorithm) || taken != content_lines_) {
            return std::nullopt;
        }
        Reading reading =
            Entry(SumLineFormat::Gnu, {kind_.algorithm, {}}, false, kind_.listed_name, false, groups.digits);
        reading.lines = taken;
        return reading;
    }

    // An SFV line; nothing when the line does not end in a blank and 8 hex digits.
    static std::optional<Reading> ReadSfv(std::string_view text) {
        text = TrimmedBlanks(text);
        if (text.size() < 10 || !IsBlank(text[text.size() - 9]) ||
            !AllHexDigits(text.substr(text.size() - 8))) {
            return std::nullopt;
        }
        return Entry(SumLineFormat::Sfv, {hashlib::AlgorithmCrc32, {}}, false,
                     TrimmedBlanks(text.substr(0, text.size() - 9)), false, text.substr(text.size() - 8));
    }

    // Line `index` and any it goes on over; nothing for a comment.
    std::optional<Reading> ReadLine(const std::vector<Line>& lines, size_t index) {
        const std::string_view line = WithoutLineStart(lines[index].text);
        if (line.empty() || line.front() == '#' || line.front() == ';') {
            return std::nullopt;
        }
        if (!kind_.sfv) {
            const bool escaped = line.front() == '\\';
            const std::string_view text = escaped ? line.substr(1) : line;
            // In the order of sum_file.h: each reader is asked only when those before it declined,
            // but for a digest that is the sum file's whole content.
            std::optional<Reading> reading = ReadLoneDigest(lines, index, line);
            if (!reading) {
                reading = ReadTagged(text, escaped);
            }
            if (!reading) {
                reading = ReadGnu(text, escaped);
            }
            if (!reading) {
                reading = ReadGpg(lines, index, line);
            }
            if (!reading) {
                reading = ReadGnuOneBlank(text, escaped, line);
            }
            if (!reading) {
                reading = ReadUnsupported(text);
            }
            if (reading) {
                return reading;
            }
        }
        if (std::optional<Reading> sfv = ReadSfv(line)) {
            return sfv;
        }
        return Malformed(SumLineProblem::NotASumLine);
    }

    SumFileKind kind_;
    int named_algorithm_;
    GnuForm gnu_form_ = GnuForm::Undecided;
    size_t content_lines_ = 0;  // neither blank nor comments
};

}  // namespace

std::vector<int> AlgorithmsOfHexLength(size_t hex_digits) {
    std::vector<int> fitting;
    for (int id = 0; id < hashlib::AlgorithmCount; ++id) {
        if (HexLength(id) == hex_digits) {
            fitting.push_back(id);
        }
    }
    // The common thirteen first: a list whose name says no algorithm is nearly always of one.
    const auto order = [](int id) {
        return std::pair(id >= hashlib::CommonAlgorithmCount, hashlib::Algorithms[size_t(id)].relative_cost);
    };
    std::stable_sort(fitting.begin(), fitting.end(), [&](int a, int b) { return order(a) < order(b); });
    return fitting;
}

SumFile ReadSumFile(std::string_view bytes, std::string_view sum_file_name, int chosen_algorithm) {
    const std::optional<std::string> decoded = FromUtf16(bytes);
    SumFile sum_file;
    Reader(sum_file_name, IsValidAlgorithm(chosen_algorithm) ? chosen_algorithm : -1)
        .Read(decoded ? std::string_view(*decoded) : bytes, sum_file);
    return sum_file;
}

const char* SumLineProblemText(SumLineProblem problem) {
    switch (problem) {
        case SumLineProblem::NotASumLine:
            return "not a checksum line";
        case SumLineProblem::DigestNotHex:
            return "digest is not hexadecimal";
        case SumLineProblem::WrongDigestLength:
            return "digest length does not fit the algorithm";
        case SumLineProblem::UnknownDigestLength:
            return "digest length fits no algorithm";
        case SumLineProblem::BadEscape:
            return "invalid escape in the file name";
        case SumLineProblem::BadFileName:
            return "empty file name or a zero byte in it";
    }
    return "malformed line";
}

EntryGroups GroupEntriesByFile(const std::vector<SumEntry>& entries,
                               const std::function<bool(const SumEntry&)>& include) {
    // Sorted by name, then line: each name's entries become one run, first line first. No map
    // of names: a sum file of 100,000 names would spend more on it than on its entries' indices.
    std::vector<size_t> by_name;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (!include || include(entries[i])) {
            by_name.push_back(i);
        }
    }
    std::sort(by_name.begin(), by_name.end(), [&entries](size_t a, size_t b) {
        const int order = entries[a].file_name.compare(entries[b].file_name);
        return order != 0 ? order < 0 : a < b;
    });
    struct Run {
        size_t begin = 0;  // in by_name
        size_t end = 0;
    };
    std::vector<Run> runs;
    for (size_t begin = 0, end = 0; begin < by_name.size(); begin = end) {
        end = begin + 1;
        while (end < by_name.size() && entries[by_name[end]].file_name == entries[by_name[begin]].file_name) {
            ++end;
        }
        runs.push_back({begin, end});
    }
    // The runs in the order their names first appear.
    std::sort(runs.begin(), runs.end(),
              [&by_name](const Run& a, const Run& b) { return by_name[a.begin] < by_name[b.begin]; });
    EntryGroups groups;
    groups.entries.reserve(by_name.size());
    groups.ends.reserve(runs.size());
    for (const Run& run : runs) {
        groups.entries.insert(groups.entries.end(), by_name.begin() + ptrdiff_t(run.begin),
                              by_name.begin() + ptrdiff_t(run.end));
        groups.ends.push_back(groups.entries.size());
    }
    return groups;
}

bool NamesFileBeside(std::string_view listed_name, std::string_view file_name) {
    while (listed_name.size() > 2 && listed_name[0] == '.' &&
           (listed_name[1] == '/' || listed_name[1] == '\\')) {
        listed_name.remove_prefix(2);
    }
    return EqualsIgnoringCase(listed_name, file_name);
}

void AddExpectedDigests(const SumFile& sum_file, std::string_view sum_file_name, std::string_view file_name,
                        ExpectedDigests& expected) {
    const std::string source(BareSumFileName(sum_file_name));
    for (const SumEntry& entry : sum_file.entries) {
        if (!entry.keyed && NamesFileBeside(entry.file_name, file_name)) {
            AddExpectedDigest(entry, source, expected);
        }
    }
}

void AddExpectedDigest(const SumEntry& entry, const std::string& sum_file, ExpectedDigests& expected) {
    if (entry.candidates.empty()) {
        expected[size_t(entry.algorithm)].push_back({entry.digest, sum_file});
    }
    for (const int candidate : entry.candidates) {
        expected[size_t(candidate)].push_back({entry.digest, sum_file, false});
    }
}

std::optional<PastedDigest> ReadPastedDigest(std::string_view text, std::string_view file_name) {
    text = hashlib::ascii::TrimmedWhiteSpace(text);
    // A digest, maybe in groups or over lines.
    std::string digits;
    for (const char c : text) {
        if (!hashlib::ascii::IsWhiteSpace(c)) {
            digits += c;
        }
    }
    if (!digits.empty() && AllHexDigits(digits)) {
        return PastedDigest{Lowered(digits), -1};
    }
    // "sha256:" before it.
    if (const size_t colon = text.find(':'); colon != std::string_view::npos) {
        const int algorithm = FindAlgorithm(TrimmedBlanks(text.substr(0, colon)));
        const std::string_view digest = TrimmedBlanks(text.substr(colon + 1));
        if (algorithm >= 0 && AllHexDigits(digest) && digest.size() == HexLength(algorithm)) {
            return PastedDigest{Lowered(digest), algorithm};
        }
    }
    // A whole line of a sum file (or a record over a few, as gpg writes).
    const SumFile sum_file = ReadSumFile(text, "");
    if (file_name.empty() || sum_file.entries.size() != 1 || !sum_file.malformed.empty() ||
        !sum_file.unsupported.empty()) {
        return std::nullopt;
    }
    const SumEntry& entry = sum_file.entries.front();
    if (entry.keyed || !NamesFileBeside(entry.file_name, file_name)) {
        return std::nullopt;
    }
    return PastedDigest{entry.digest, entry.candidates.empty() ? entry.algorithm : -1};
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
