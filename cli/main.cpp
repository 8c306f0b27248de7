// orvendal-cli: the engine on the command line. Every input goes through the same Calculate
// command as the dialog's, so both accept, refuse and compute alike.
#include <optional>
#include <string>
#include <vector>

#include "arguments.h"
#include "check.h"
#include "engine/engine.h"
#include "folder_walk.h"
#include "platform.h"
#include "progress_line.h"
#include "refusal_text.h"
#ifdef _WIN32
#include "platform_windows.h"
#endif

namespace {

// Hashes inputs and prints their digests in the chosen format.
class Hasher {
  public:
    Hasher(const cli::Arguments& arguments, engine::DigestCalculator& calculator, cli::ProgressLine& progress)
        : format_(arguments.format), calculator_(calculator), progress_(progress) {
        request_.hmac = arguments.hmac;
        request_.key_kind = arguments.key_kind;
        request_.key_value = cli::ToSystemCodePage(arguments.key);
        request_.selection = arguments.selection;
    }

    // False when the output could not be written, which ends the run.
    bool Hash(const cli::Input& input) {
        request_.input_kind = input.kind;
        // Paths stay UTF-8 (opened by their Unicode name); text and hex are the bytes the
        // dialog would take.
        request_.input_value =
            input.kind == engine::InputFile ? input.value : cli::ToSystemCodePage(input.value);
        progress_.Start();
        const engine::CommandOutcome outcome = engine::RunCalculateCommand(request_, calculator_);
        progress_.Finish();
        if (!outcome.succeeded()) {
            Fail(input.label + ": " + cli::RefusalText(outcome.refusal));
            return true;
        }
        std::string lines;
        for (int id = 0; id < hashlib::AlgorithmCount; ++id) {
            if (outcome.results[id].empty()) {
                continue;
            }
            const std::optional<std::string> line =
                engine::FormatSumLine(format_, id, request_.hmac, input.label, outcome.results[id]);
            if (!line) {
                Fail(input.label +
                     ": an SFV line cannot carry this name (spaces at its ends, a line break, or a "
                     "leading ; or #)");
                return true;
            }
            lines += *line;
        }
        cli::WriteOutput(lines);
        // Results reach the terminal or pipe before the next input's messages or progress.
        if (!cli::FlushOutput()) {
            cli::WriteError("orvendal-cli: cannot write the output\n");
            status_ = 1;
            return false;
        }
        return true;
    }

    // A message for an input that gave no digests; the run goes on with the next.
    void Fail(const std::string& message) {
        cli::WriteError("orvendal-cli: " + message + "\n");
        status_ = 1;
    }

    int status() const { return status_; }

  private:
    engine::SumLineFormat format_;
    engine::DigestCalculator& calculator_;
    cli::ProgressLine& progress_;
    engine::CalculationRequest request_;
    int status_ = 0;
};

int Run(const std::vector<std::string>& argument_list) {
    const cli::Arguments arguments = cli::ParseArguments(argument_list);
    switch (arguments.action) {
        case cli::Action::Help:
            cli::WriteOutput(cli::UsageText());
            return cli::FlushOutput() ? 0 : 1;
        case cli::Action::Version:
            cli::WriteOutput(cli::VersionText());
            return cli::FlushOutput() ? 0 : 1;
        case cli::Action::UsageError:
            cli::WriteError("orvendal-cli: " + arguments.error +
                            "\nUsage: orvendal-cli [OPTIONS] FILE...\n"
                            "Try 'orvendal-cli --help' for more information.\n");
            return 2;
        case cli::Action::Hash:
        case cli::Action::Check:
            break;
    }

    engine::DigestCalculator calculator;
    calculator.SetParallelFeeding(!arguments.single_thread);
    cli::ProgressLine progress(cli::StandardErrorIsTerminal());
    calculator.SetProgressCallback(&progress);
    if (arguments.action == cli::Action::Check) {
        return cli::RunCheck(arguments, calculator, progress);
    }

    Hasher hasher(arguments, calculator, progress);
    for (const cli::Input& input : arguments.inputs) {
        if (arguments.recursive && input.kind == engine::InputFile && cli::IsFolder(input.value)) {
            bool written = true;
            cli::WalkFolder(
                input.value,
                [&](const std::string& path) {
                    if (written) {
                        written = hasher.Hash({engine::InputFile, path, path});
                    }
                },
                [&](const std::string& folder) { hasher.Fail(folder + ": cannot read the folder"); });
            if (!written) {
                break;
            }
        } else if (!hasher.Hash(input)) {
            break;
        }
    }
    return hasher.status();
}

}  // namespace

#ifdef _WIN32
// The wide entry point: file names arrive as Unicode, whatever the system code page.
int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) {
        arguments.push_back(cli::WideToUtf8(argv[i]));
    }
    return Run(arguments);
}
#else
int main(int argc, char** argv) {
    return Run(std::vector<std::string>(argv + 1, argv + argc));
}
#endif
