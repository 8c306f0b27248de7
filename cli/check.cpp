#include "check.h"

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

#include "platform.h"
#include "refusal_text.h"

namespace cli {
namespace {

// A sum file is read whole; anything larger is surely not one (and /dev/zero must not take
// all memory).
constexpr size_t kLargestSumFile = size_t(256) << 20;

// What a sum file's check printed, counted as the warnings after it count.
struct Counts {
    size_t malformed = 0;   // lines
    size_t unreadable = 0;  // listed files
    size_t mismatched = 0;  // sum lines whose digest differs
    size_t verified = 0;    // listed files read and compared
};

// The listed name as a check line shows it: one that holds a line break, or on POSIX a
// backslash, is escaped as in a sum file.
std::string ShownName(std::string_view name) {
    const std::optional<std::string> escaped =
        engine::EscapedName(name, engine::NativePathStyle == engine::PathStyle::Posix);
    return escaped ? "\\" + *escaped : std::string(name);
}

std::string Counted(size_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

// The sum file's bytes, or the reason they could not be read.
std::optional<std::string> ReadSumFileBytes(const Input& input, std::string& problem) {
    std::string bytes;
    const engine::WholeFileResult read = input.kind == engine::InputStandardInput
                                             ? engine::ReadWholeStandardInput(kLargestSumFile, bytes)
                                             : engine::ReadWholeFile(input.value, kLargestSumFile, bytes);
    switch (read) {
        case engine::WholeFileResult::Read:
            return bytes;
        case engine::WholeFileResult::NotFound:
            problem = RefusalText(engine::Refusal::FileNotFound);
            return std::nullopt;
        case engine::WholeFileResult::Unreadable:
            problem = RefusalText(engine::Refusal::FileUnreadable);
            return std::nullopt;
        case engine::WholeFileResult::TooLong:
            break;
    }
    problem = "larger than 256 MiB: not a sum file";
    return std::nullopt;
}

// Prints each listed file's verdict as the engine checks it: one line per file, OK only when
// every line naming it matched, and the reason on standard error when it could not be read.
class Printer final : public engine::CheckListener {
  public:
    Printer(const CheckOptions& options, ProgressLine& progress, Counts& counts)
        : options_(options), progress_(progress), counts_(counts) {}

    bool Checked(const engine::ListedFileCheck& file) override {
        progress_.Finish();
        std::optional<engine::Verdict> failed_read;
        bool matched = true;
        for (const engine::LineVerdict& line : file.lines) {
            if (line.verdict == engine::Verdict::Missing || line.verdict == engine::Verdict::Unreadable) {
                failed_read = failed_read.value_or(line.verdict);
            }
            if (line.verdict == engine::Verdict::Mismatch) {
                matched = false;
                ++counts_.mismatched;
            }
        }
        if (failed_read == engine::Verdict::Missing && options_.ignore_missing) {
            return true;
        }
        if (failed_read) {
            Error(options_,
                  ShownName(file.listed_name) + ": " +
                      RefusalText(failed_read == engine::Verdict::Missing ? engine::Refusal::FileNotFound
                                                                          : engine::Refusal::FileUnreadable));
            ++counts_.unreadable;
        } else {
            ++counts_.verified;
        }
        if (options_.status_only || (options_.quiet && !failed_read && matched)) {
            return true;
        }
        WriteOutput(ShownName(file.listed_name) + (failed_read ? ": FAILED open or read\n"
                                                   : matched   ? ": OK\n"
                                                               : ": FAILED\n"));
        return !OutputFailed();
    }

    // Results reach the terminal or pipe before the check waits for more.
    void Waiting() override {
        FlushOutput();
        OutputFailed();
    }

    // After the check: the results all written, or the failure said.
    bool Finish() {
        FlushOutput();
        return !OutputFailed();
    }

    // The results before a message are written first, so both streams keep the files' order.
    static void Error(const CheckOptions& options, const std::string& message) {
        if (!options.status_only) {
            FlushOutput();
            WriteError("orvendal-cli: " + message + "\n");
        }
    }

  private:
    // Whether writing the output has failed; said once.
    bool OutputFailed() {
        if (!output_failed_ && OutputHasFailed()) {
            WriteError("orvendal-cli: cannot write the output\n");
            output_failed_ = true;
        }
        return output_failed_;
    }

    const CheckOptions& options_;
    ProgressLine& progress_;
    Counts& counts_;
    bool output_failed_ = false;
};

// The exit status of one sum file's check.
int CheckOneSumFile(const Input& input, const Arguments& arguments,
                    const engine::SumFileCheckSettings& settings, engine::DigestCalculator& calculator,
                    ProgressLine& progress) {
    const CheckOptions& options = arguments.check;
    std::string problem;
    const std::optional<std::string> bytes = ReadSumFileBytes(input, problem);
    if (!bytes) {
        Printer::Error(options, input.label + ": " + problem);
        return 1;
    }
    const std::string sum_file_path = input.kind == engine::InputStandardInput ? std::string() : input.value;
    const engine::SumFile sums = engine::ReadSumFile(*bytes, sum_file_path, arguments.chosen_algorithm);

    // Keyed lines need the key; without one they are as good as malformed.
    std::vector<std::pair<size_t, std::string>> malformed;
    for (const engine::SumLineError& error : sums.malformed) {
        malformed.emplace_back(error.line, engine::SumLineProblemText(error.problem));
    }
    bool any_checkable = false;
    for (const engine::SumEntry& entry : sums.entries) {
        if (engine::IsCheckable(entry, settings)) {
            any_checkable = true;
        } else {
            malformed.emplace_back(entry.line, "an HMAC line, and no key given with --hmac or --hmac-hex");
        }
    }
    std::sort(malformed.begin(), malformed.end());
    if (options.warn) {
        for (const auto& [line, reason] : malformed) {
            Printer::Error(options, input.label + ": " + std::to_string(line) +
                                        ": improperly formatted line (" + reason + ")");
        }
    }
    if (!any_checkable) {
        Printer::Error(options, input.label + ": no properly formatted checksum lines found");
        return 1;
    }

    Counts counts;
    counts.malformed = malformed.size();
    Printer printer(options, progress, counts);
    progress.Start();
    engine::CheckSumFile(sums, sum_file_path, settings, calculator, &printer);
    progress.Finish();
    if (!printer.Finish()) {
        return 1;
    }

    if (counts.malformed > 0) {
        Printer::Error(options, "WARNING: " + Counted(counts.malformed, "line is", "lines are") +
                                    " improperly formatted");
    }
    if (counts.unreadable > 0) {
        Printer::Error(options, "WARNING: " + Counted(counts.unreadable, "listed file", "listed files") +
                                    " could not be read");
    }
    if (counts.mismatched > 0) {
        Printer::Error(options,
                       "WARNING: " + Counted(counts.mismatched, "computed checksum", "computed checksums") +
                           " did NOT match");
    }
    if (options.ignore_missing && counts.verified == 0 && counts.unreadable == 0) {
        Printer::Error(options, input.label + ": no file was verified");
        return 1;
    }
    const bool failed =
        counts.unreadable > 0 || counts.mismatched > 0 || (options.strict && counts.malformed > 0);
    return failed ? 1 : 0;
}

}  // namespace

int RunCheck(const Arguments& arguments, engine::DigestCalculator& calculator, ProgressLine& progress) {
    engine::SumFileCheckSettings settings;
    if (arguments.hmac) {
        // The key is checked as hashing checks it, once for every sum file.
        engine::HmacKey key{arguments.key_kind, ToSystemCodePage(arguments.key)};
        if (const engine::Refusal refusal = engine::CheckKey(key.kind, key.value);
            refusal != engine::Refusal::None) {
            Printer::Error(arguments.check,
                           std::string(key.kind == engine::KeyHex ? "--hmac-hex" : "--hmac") + ": " +
                               RefusalText(refusal));
            return 1;
        }
        settings.key = std::move(key);
    }
    int status = 0;
    for (const Input& input : arguments.inputs) {
        status = std::max(status, CheckOneSumFile(input, arguments, settings, calculator, progress));
    }
    return status;
}

}  // namespace cli
