#include "check.h"

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

#include "engine/calculate_command.h"
#include "engine/file_reader.h"
#include "engine/sum_file.h"
#include "platform.h"
#include "refusal_text.h"

namespace cli {
namespace {

// A sum file is read whole; anything larger is surely not one (and /dev/zero must not take
// all memory).
constexpr size_t kLargestSumFile = size_t(256) << 20;

struct Counts {
    size_t malformed = 0;   // lines
    size_t unreadable = 0;  // listed files
    size_t mismatched = 0;  // sum lines whose digest differs
    size_t verified = 0;    // listed files read and compared
};

// The listed name as a check line shows it: one that holds a line break, or on POSIX a
// backslash, is escaped as in a sum file (a leading '\', then "\\", "\n" and "\r").
std::string ShownName(const std::string& name) {
#ifdef _WIN32
    const char* needs_escape = "\n\r";
#else
    const char* needs_escape = "\\\n\r";
#endif
    if (name.find_first_of(needs_escape) == std::string::npos) {
        return name;
    }
    std::string shown = "\\";
    for (const char c : name) {
        shown += c == '\\' ? "\\\\" : c == '\n' ? "\\n" : c == '\r' ? "\\r" : std::string(1, c);
    }
    return shown;
}

std::string Counted(size_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

// The sum file's bytes, or the reason they could not be read.
std::optional<std::string> ReadSumFileBytes(const Input& input, std::string& problem) {
    engine::FileReader reader;
    const int32_t opened =
        input.kind == engine::InputStandardInput ? reader.OpenStandardInput() : reader.Open(input.value);
    if (opened != engine::ResultSuccess) {
        problem = RefusalText(opened == engine::ResultNotFound ? engine::Refusal::FileNotFound
                                                               : engine::Refusal::FileUnreadable);
        return std::nullopt;
    }
    std::string bytes;
    switch (engine::ReadToEnd(reader, kLargestSumFile, bytes)) {
        case engine::ReadToEndResult::Read:
            return bytes;
        case engine::ReadToEndResult::Failed:
            problem = RefusalText(engine::Refusal::FileUnreadable);
            return std::nullopt;
        case engine::ReadToEndResult::TooLong:
            break;
    }
    problem = "larger than 256 MiB: not a sum file";
    return std::nullopt;
}

class Checker {
  public:
    Checker(const Arguments& arguments, engine::DigestCalculator& calculator, ProgressLine& progress,
            std::string key)
        : arguments_(arguments),
          options_(arguments.check),
          calculator_(calculator),
          progress_(progress),
          key_(std::move(key)) {}

    // The exit status of one sum file's check.
    int CheckSumFile(const Input& input) {
        std::string problem;
        const std::optional<std::string> bytes = ReadSumFileBytes(input, problem);
        if (!bytes) {
            Error(input.label + ": " + problem);
            return 1;
        }
        const bool standard_input = input.kind == engine::InputStandardInput;
        const std::string sum_file_path = standard_input ? std::string() : input.value;
        engine::SumFile sums = engine::ReadSumFile(*bytes, sum_file_path, arguments_.chosen_algorithm);

        // Keyed lines need the key; without one they are as good as malformed.
        std::vector<std::pair<size_t, std::string>> malformed;
        for (const engine::SumLineError& error : sums.malformed) {
            malformed.emplace_back(error.line, engine::SumLineProblemText(error.problem));
        }
        std::vector<engine::SumEntry> entries;
        for (engine::SumEntry& entry : sums.entries) {
            if (entry.keyed && !arguments_.hmac) {
                malformed.emplace_back(entry.line,
                                       "an HMAC line, and no key given with --hmac or --hmac-hex");
            } else {
                entries.push_back(std::move(entry));
            }
        }
        std::sort(malformed.begin(), malformed.end());
        if (options_.warn) {
            for (const auto& [line, reason] : malformed) {
                Error(input.label + ": " + std::to_string(line) + ": improperly formatted line (" + reason +
                      ")");
            }
        }
        if (entries.empty()) {
            Error(input.label + ": no properly formatted checksum lines found");
            return 1;
        }

        Counts counts;
        counts.malformed = malformed.size();
        for (const std::vector<size_t>& group : engine::GroupEntriesByFile(entries)) {
            if (!CheckListedFile(sum_file_path, entries, group, counts)) {
                return 1;
            }
        }

        if (counts.malformed > 0) {
            Error("WARNING: " + Counted(counts.malformed, "line is", "lines are") + " improperly formatted");
        }
        if (counts.unreadable > 0) {
            Error("WARNING: " + Counted(counts.unreadable, "listed file", "listed files") +
                  " could not be read");
        }
        if (counts.mismatched > 0) {
            Error("WARNING: " + Counted(counts.mismatched, "computed checksum", "computed checksums") +
                  " did NOT match");
        }
        if (options_.ignore_missing && counts.verified == 0 && counts.unreadable == 0) {
            Error(input.label + ": no file was verified");
            return 1;
        }
        const bool failed =
            counts.unreadable > 0 || counts.mismatched > 0 || (options_.strict && counts.malformed > 0);
        return failed ? 1 : 0;
    }

  private:
    // Reads one listed file once for its plain lines and once for its keyed ones (when it has
    // both) and prints its line. False when the output cannot be written.
    bool CheckListedFile(const std::string& sum_file_path, const std::vector<engine::SumEntry>& entries,
                         const std::vector<size_t>& group, Counts& counts) {
        const std::string& listed_name = entries[group.front()].file_name;
        const std::string path = engine::ResolveListedName(sum_file_path, listed_name);
        bool read = true;
        bool matched = true;
        for (const bool keyed : {false, true}) {
            engine::Selection selection{};
            for (const size_t index : group) {
                if (entries[index].keyed == keyed) {
                    selection[size_t(entries[index].algorithm)] = 1;
                }
            }
            if (engine::CountSelectedAlgorithms(false, selection) == 0) {
                continue;
            }
            std::vector<std::string> results;
            progress_.Start();
            // The listed name exactly as written: a check opens no other file than the one listed.
            const int32_t result = calculator_.Calculate(
                engine::InputFile, path, keyed, int32_t(arguments_.key_kind), key_, selection, results);
            progress_.Finish();
            if (result == engine::ResultNotFound && options_.ignore_missing) {
                return true;
            }
            if (result != engine::ResultSuccess) {
                Error(ShownName(listed_name) + ": " +
                      RefusalText(result == engine::ResultNotFound ? engine::Refusal::FileNotFound
                                                                   : engine::Refusal::FileUnreadable));
                read = false;
                ++counts.unreadable;
                break;
            }
            for (const size_t index : group) {
                const engine::SumEntry& entry = entries[index];
                if (entry.keyed == keyed && results[size_t(entry.algorithm)] != entry.digest) {
                    matched = false;
                    ++counts.mismatched;
                }
            }
        }
        counts.verified += read ? 1 : 0;
        if (options_.status_only || (options_.quiet && read && matched)) {
            return true;
        }
        WriteOutput(ShownName(listed_name) + (!read     ? ": FAILED open or read\n"
                                              : matched ? ": OK\n"
                                                        : ": FAILED\n"));
        if (!FlushOutput()) {
            WriteError("orvendal-cli: cannot write the output\n");
            return false;
        }
        return true;
    }

    void Error(const std::string& message) const {
        if (!options_.status_only) {
            WriteError("orvendal-cli: " + message + "\n");
        }
    }

    const Arguments& arguments_;
    const CheckOptions& options_;
    engine::DigestCalculator& calculator_;
    ProgressLine& progress_;
    const std::string key_;  // the key's bytes as the Calculate command takes them
};

}  // namespace

int RunCheck(const Arguments& arguments, engine::DigestCalculator& calculator, ProgressLine& progress) {
    std::string key;
    if (arguments.hmac) {
        // The key is checked as hashing checks it, once for every sum file.
        engine::CommandValues values;
        values.input_kind = engine::InputText;
        values.hmac = true;
        values.key_kind = arguments.key_kind;
        values.key_value = ToSystemCodePage(arguments.key);
        values.selection[hashlib::AlgorithmMd5] = 1;
        const engine::CommandOutcome checked = engine::CheckCalculateCommand(values);
        if (!checked.succeeded()) {
            if (!arguments.check.status_only) {
                WriteError(std::string("orvendal-cli: ") +
                           (arguments.key_kind == engine::KeyHex ? "--hmac-hex" : "--hmac") + ": " +
                           RefusalText(checked.refusal) + "\n");
            }
            return 1;
        }
        key = checked.values.key_value;
    }
    Checker checker(arguments, calculator, progress, key);
    int status = 0;
    for (const Input& input : arguments.inputs) {
        status = std::max(status, checker.CheckSumFile(input));
    }
    return status;
}

}  // namespace cli
