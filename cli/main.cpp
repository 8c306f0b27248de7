// orvendal-cli: the engine on the command line. Every input goes through the same Calculate
// command as the dialog's, so both accept, refuse and compute alike.
#include <array>
#include <optional>
#include <string>
#include <string_view>
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

// The inputs in command-line order, a folder under -r replaced by its files as the walk reaches
// them.
class Inputs {
  public:
    explicit Inputs(const cli::Arguments& arguments) : arguments_(arguments) {}

    // The next input; `unreadable_folder` for a folder the walk could not list (`input.label` is
    // the folder). False at the end.
    bool Next(cli::Input& input, bool& unreadable_folder) {
        for (;;) {
            if (walk_) {
                std::string path;
                const cli::FolderWalk::Step step = walk_->Next(path);
                if (step != cli::FolderWalk::Step::End) {
                    input.kind = engine::InputFile;
                    input.value = path;
                    input.label = std::move(path);
                    unreadable_folder = step == cli::FolderWalk::Step::UnreadableFolder;
                    return true;
                }
                walk_.reset();
            }
            if (next_ == arguments_.inputs.size()) {
                return false;
            }
            const cli::Input& given = arguments_.inputs[next_++];
            if (arguments_.recursive && given.kind == engine::InputFile && cli::IsFolder(given.value)) {
                walk_.emplace(given.value);
                continue;
            }
            input = given;
            unreadable_folder = false;
            return true;
        }
    }

  private:
    const cli::Arguments& arguments_;
    size_t next_ = 0;
    std::optional<cli::FolderWalk> walk_;
};

// Hashes the inputs as one list of the calculator's, several files at once unless told
// otherwise, and prints their digests in the chosen format, in order.
class Hasher final : public engine::JobList {
  public:
    Hasher(const cli::Arguments& arguments, cli::ProgressLine& progress)
        : format_(arguments.format), inputs_(arguments), progress_(progress) {
        request_.hmac = arguments.hmac;
        request_.key_kind = arguments.key_kind;
        request_.key_value = cli::ToSystemCodePage(arguments.key);
        request_.selection = arguments.selection;
    }

    bool Next(size_t slot) override {
        Job& job = jobs_[slot];
        if (!inputs_.Next(job.input, job.unreadable_folder)) {
            return false;
        }
        // Paths stay UTF-8 (opened by their Unicode name); text and hex are the bytes the
        // dialog would take.
        if (job.input.kind != engine::InputFile) {
            job.input.value = cli::ToSystemCodePage(job.input.value);
        }
        return true;
    }

    std::string_view PathOf(size_t slot) const override {
        const Job& job = jobs_[slot];
        return job.input.kind == engine::InputFile && !job.unreadable_folder ? job.input.value
                                                                             : std::string_view();
    }

    void Work(size_t slot, engine::DigestCalculator& calculator) override {
        Job& job = jobs_[slot];
        if (job.unreadable_folder) {
            return;
        }
        engine::CalculationRequest request = request_;
        request.input_kind = job.input.kind;
        request.input_value = job.input.value;
        job.outcome = engine::RunCalculateCommand(request, calculator);
    }

    // False when the output could not be written, which ends the run.
    bool Done(size_t slot) override {
        progress_.Finish();
        const Job& job = jobs_[slot];
        const std::string& label = job.input.label;
        if (job.unreadable_folder) {
            Fail(label + ": cannot read the folder");
            return true;
        }
        if (!job.outcome.succeeded()) {
            Fail(label + ": " + cli::RefusalText(job.outcome.refusal));
            return true;
        }
        std::string lines;
        for (int id = 0; id < hashlib::AlgorithmCount; ++id) {
            if (job.outcome.results[id].empty()) {
                continue;
            }
            const std::optional<std::string> line =
                engine::FormatSumLine(format_, id, request_.hmac, label, job.outcome.results[id]);
            if (!line) {
                Fail(label +
                     ": an SFV line cannot carry this name (spaces at its ends, a line break, or a "
                     "leading ; or #)");
                return true;
            }
            lines += *line;
        }
        cli::WriteOutput(lines);
        return !OutputFailed();
    }

    // Results reach the terminal or pipe before the run waits for more.
    void Waiting() override {
        if (!cli::FlushOutput()) {
            OutputFailed();
        }
    }

    // A message for an input that gave no digests; the run goes on with the next. The results
    // before it are written first, so both streams keep the inputs' order.
    void Fail(const std::string& message) {
        cli::FlushOutput();
        cli::WriteError("orvendal-cli: " + message + "\n");
        status_ = 1;
    }

    // After the last input.
    int Finish() {
        if (!cli::FlushOutput()) {
            OutputFailed();
        }
        return status_;
    }

  private:
    struct Job {
        cli::Input input;
        bool unreadable_folder = false;
        engine::CommandOutcome outcome;
    };

    // Whether writing the output has failed; said once.
    bool OutputFailed() {
        if (!output_failed_ && cli::OutputHasFailed()) {
            output_failed_ = true;
            cli::WriteError("orvendal-cli: cannot write the output\n");
            status_ = 1;
        }
        return output_failed_;
    }

    engine::SumLineFormat format_;
    Inputs inputs_;
    cli::ProgressLine& progress_;
    engine::CalculationRequest request_;
    std::array<Job, engine::JobSlots> jobs_;
    bool output_failed_ = false;
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
        case cli::Action::Verify:
            break;
    }

    engine::DigestCalculator calculator;
    calculator.SetParallelFeeding(!arguments.single_thread);
    calculator.SetParallelFiles(arguments.single_thread ? engine::ParallelFiles::Off
                                                        : engine::ParallelFiles::Storage);
    cli::ProgressLine progress(cli::StandardErrorIsTerminal());
    calculator.SetProgressCallback(&progress);
    if (arguments.action == cli::Action::Check) {
        return cli::RunCheck(arguments, calculator, progress);
    }
    if (arguments.action == cli::Action::Verify) {
        return cli::RunVerify(arguments, calculator, progress);
    }

    Hasher hasher(arguments, progress);
    progress.Start();
    calculator.RunJobs(hasher);
    progress.Finish();
    return hasher.Finish();
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
