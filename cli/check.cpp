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
    size_t unreadable = 0;  // lines whose file could not be read
    size_t mismatched = 0;  // lines whose digest differs
    size_t verified = 0;    // lines whose digest matched
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

// Why a listed file or a sum file could not be read: a folder says it is one.
std::string ReadProblem(engine::Verdict verdict, const std::string& path) {
    if (verdict == engine::Verdict::Missing) {
        return RefusalText(engine::Refusal::FileNotFound);
    }
    return IsFolder(path) ? "is a folder" : RefusalText(engine::Refusal::FileUnreadable);
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
            problem = input.kind == engine::InputFile ? ReadProblem(engine::Verdict::Unreadable, input.value)
                                                      : RefusalText(engine::Refusal::FileUnreadable);
            return std::nullopt;
        case engine::WholeFileResult::TooLong:
            break;
    }
    problem = "larger than 256 MiB: not a sum file";
    return std::nullopt;
}

// Prints a verdict for every line as the engine checks each listed file (read once for all the
// lines naming it), and the reason on standard error for each line whose file could not be read.
class Printer final : public engine::CheckListener {
  public:
    Printer(const engine::SumFile& sums, const CheckOptions& options, ProgressLine& progress, Counts& counts)
        : sums_(sums), options_(options), progress_(progress), counts_(counts) {}

    bool Checked(const engine::ListedFileCheck& file) override {
        progress_.Finish();
        for (const engine::LineVerdict& line : file.lines) {
            const std::string name = ShownName(file.listed_name);
            switch (line.verdict) {
                case engine::Verdict::NotChecked:
                    continue;
                case engine::Verdict::Missing:
                case engine::Verdict::Unreadable:
                    if (line.verdict == engine::Verdict::Missing && options_.ignore_missing) {
                        continue;
                    }
                    Error(options_, name + ": " + ReadProblem(line.verdict, file.path));
                    ++counts_.unreadable;
                    Write(name + ": FAILED open or read\n");
                    continue;
                case engine::Verdict::Mismatch:
                    ++counts_.mismatched;
                    Write(name + ": FAILED\n");
                    continue;
                case engine::Verdict::Match:
                    ++counts_.verified;
                    if (!options_.quiet) {
                        // A line its length alone named: which algorithm it was, when asked.
                        const bool guessed = !sums_.entries[line.entry].candidates.empty();
                        Write(name + ": OK" +
                              (guessed && options_.warn
                                   ? std::string(" (") +
                                         hashlib::Algorithms[size_t(line.algorithm)].tag_name + ")"
                                   : std::string()) +
                              "\n");
                    }
                    continue;
            }
        }
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
    void Write(const std::string& text) const {
        if (!options_.status_only) {
            WriteOutput(text);
        }
    }

    // Whether writing the output has failed; said once.
    bool OutputFailed() {
        if (!output_failed_ && OutputHasFailed()) {
            WriteError("orvendal-cli: cannot write the output\n");
            output_failed_ = true;
        }
        return output_failed_;
    }

    const engine::SumFile& sums_;
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
    std::optional<std::string> bytes = ReadSumFileBytes(input, problem);
    if (!bytes) {
        Printer::Error(options, input.label + ": " + problem);
        return 1;
    }
    const std::string sum_file_path = input.kind == engine::InputStandardInput ? std::string() : input.value;
    const engine::SumFile sums = engine::ReadSumFile(*bytes, sum_file_path, arguments.chosen_algorithm);
    bytes.reset();  // the entries hold their own names and digests: a long list's text goes now

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
        for (const engine::UnsupportedLine& line : sums.unsupported) {
            Printer::Error(options, input.label + ": " + std::to_string(line.line) +
                                        ": unsupported algorithm (" + line.algorithm + ")");
        }
    }
    if (sums.signed_message) {
        Printer::Error(options, input.label + ": the OpenPGP signature was not checked");
    }
    // Lines of an algorithm we do not compute are neither checked nor malformed: they are told
    // apart, and fail the check only when nothing else was checked.
    const auto warn_unsupported = [&] {
        if (!sums.unsupported.empty()) {
            Printer::Error(options, "WARNING: " + Counted(sums.unsupported.size(), "line is", "lines are") +
                                        " of an unsupported algorithm");
        }
    };
    if (!any_checkable) {
        if (sums.unsupported.empty()) {
            Printer::Error(options, input.label + ": no properly formatted checksum lines found");
        } else {
            warn_unsupported();
            Printer::Error(options, input.label + ": no line of a supported algorithm found");
        }
        return 1;
    }

    Counts counts;
    counts.malformed = malformed.size();
    Printer printer(sums, options, progress, counts);
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
    warn_unsupported();
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

namespace cli {
namespace {

// One file verified against the sum files beside it; true when it was verified OK.
bool VerifyOneFile(const Input& input, const CheckOptions& options, engine::DigestCalculator& calculator,
                   ProgressLine& progress) {
    const engine::SumFilesBeside found = engine::FindSumFilesBeside(input.value);
    const engine::SumFile& listing = found.listing;
    if (listing.entries.empty()) {
        if (!listing.unsupported.empty()) {
            Printer::Error(options, input.label + ": listed only with an unsupported algorithm (" +
                                        listing.unsupported.front().algorithm + ", " +
                                        found.unsupported_sources.front() + ")");
        } else {
            Printer::Error(options, input.label + ": no sum file beside it lists it");
        }
        return false;
    }
    std::vector<size_t> entries(listing.entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        entries[i] = i;
    }
    std::vector<engine::LineVerdict> verdicts;
    progress.Start();
    const engine::ResultCode result = engine::CheckListedFile(
        listing, entries, input.value, engine::SumFileCheckSettings{}, calculator, verdicts);
    progress.Finish();
    if (result != engine::ResultSuccess) {
        return false;
    }
    // The verdict names the first line that failed, else the first that matched: the sum files
    // named after the file come first.
    const engine::LineVerdict* shown = nullptr;
    for (const engine::LineVerdict& line : verdicts) {
        if (line.verdict == engine::Verdict::Missing || line.verdict == engine::Verdict::Unreadable) {
            Printer::Error(options, input.label + ": " + ReadProblem(line.verdict, input.value));
            return false;
        }
        if (shown == nullptr ||
            (line.verdict != engine::Verdict::Match && shown->verdict == engine::Verdict::Match)) {
            shown = &line;
        }
    }
    const bool matched = shown->verdict == engine::Verdict::Match;
    if (options.status_only || (options.quiet && matched)) {
        return matched;
    }
    WriteOutput(input.label + (matched ? ": OK (" : ": FAILED (") +
                hashlib::Algorithms[size_t(shown->algorithm)].tag_name + ", " +
                found.entry_sources[shown->entry] + ")\n");
    if (!FlushOutput()) {
        WriteError("orvendal-cli: cannot write the output\n");
        return false;
    }
    return matched;
}

}  // namespace

int RunVerify(const Arguments& arguments, engine::DigestCalculator& calculator, ProgressLine& progress) {
    int status = 0;
    for (const Input& input : arguments.inputs) {
        if (calculator.StopRequested()) {
            return 1;
        }
        if (!VerifyOneFile(input, arguments.check, calculator, progress)) {
            status = 1;
        }
    }
    return status;
}

}  // namespace cli
