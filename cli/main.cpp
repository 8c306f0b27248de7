// orvendal-cli: the engine on the command line. Every input goes through the same Calculate
// command as the dialog's, so both accept, refuse and compute alike.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "arguments.h"
#include "engine/calculate_command.h"
#include "engine/digest_calculator.h"
#include "platform.h"
#ifdef _WIN32
#include "platform_windows.h"
#endif

namespace {

// A progress line on a terminal's standard error for an input that takes more than about a
// second; erased when the input ends, so it never mixes with the results.
class ProgressLine final : public engine::ProgressCallback {
  public:
    explicit ProgressLine(bool enabled) : enabled_(enabled) {}

    void Start() {
        start_ = Clock::now();
        shown_width_ = 0;
    }

    void Progress(uint64_t done, uint64_t total) override {
        if (!enabled_) {
            return;
        }
        const auto now = Clock::now();
        if (now - start_ < std::chrono::seconds(1) ||
            (shown_width_ > 0 && now - last_shown_ < std::chrono::milliseconds(200))) {
            return;
        }
        last_shown_ = now;
        const double seconds = std::chrono::duration<double>(now - start_).count();
        const double megabytes = double(done) / 1e6;
        char line[96];
        int width;
        if (total > 0) {
            const int percent = int(done >= total ? 100 : done * 100 / total);
            width = std::snprintf(line, sizeof line, "\r%10.1f MB %3d%% %8.1f MB/s", megabytes, percent,
                                  megabytes / seconds);
        } else {
            width =
                std::snprintf(line, sizeof line, "\r%10.1f MB %8.1f MB/s", megabytes, megabytes / seconds);
        }
        if (width > 0) {
            cli::WriteError(line);
            shown_width_ = std::max<size_t>(shown_width_, size_t(width));
        }
    }

    void Finish() {
        if (shown_width_ > 0) {
            std::string blank(shown_width_ + 2, ' ');
            blank.front() = '\r';
            blank.back() = '\r';
            cli::WriteError(blank);
            shown_width_ = 0;
        }
    }

  private:
    using Clock = std::chrono::steady_clock;
    bool enabled_;
    Clock::time_point start_;
    Clock::time_point last_shown_;
    size_t shown_width_ = 0;
};

// The dialog's message for each refusal, in the same words.
const char* RefusalText(engine::Refusal refusal) {
    switch (refusal) {
        case engine::Refusal::NoAlgorithm:
            return "请先选择一个校验算法!";
        case engine::Refusal::HexOddLength:
            return "十六进制串长度必须是偶数!";
        case engine::Refusal::HexIllegalCharacter:
            return "十六进制串中包含非法字符!";
        case engine::Refusal::NoFile:
            return "请先选择一个文件!";
        case engine::Refusal::UnknownFailure:
            return "计算过程中发生未知错误!";
        case engine::Refusal::FileUnreadable:
            return "指定文件拒绝访问!";
        case engine::Refusal::FileNotFound:
            return "不能打开指定文件!";
        case engine::Refusal::PathTooLong:
            return "指定文件路径太长!";
        case engine::Refusal::None:
            break;
    }
    return "";
}

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
            break;
    }

    engine::DigestCalculator calculator;
    calculator.SetParallelFeeding(!arguments.single_thread);
    ProgressLine progress(cli::StandardErrorIsTerminal());
    calculator.SetProgressCallback(&progress);

    engine::CommandValues values;
    values.hmac = arguments.hmac;
    values.key_kind = arguments.key_kind;
    values.key_value = cli::ToSystemCodePage(arguments.key);
    values.selection = arguments.selection;
    const std::string prefix = arguments.hmac ? "HMAC-" : "";

    int status = 0;
    for (const cli::Input& input : arguments.inputs) {
        values.input_kind = input.kind;
        // Paths stay UTF-8 (opened by their Unicode name); text and hex are the bytes the
        // dialog would take.
        values.input_value =
            input.kind == engine::InputFile ? input.value : cli::ToSystemCodePage(input.value);
        progress.Start();
        const engine::CommandOutcome outcome = engine::RunCalculateCommand(values, calculator);
        progress.Finish();
        if (!outcome.succeeded()) {
            cli::WriteError("orvendal-cli: " + input.label + ": " + RefusalText(outcome.refusal) + "\n");
            status = 1;
            continue;
        }
        std::string lines;
        for (int id = 0; id < hashlib::AlgorithmCount; ++id) {
            if (!outcome.results[id].empty()) {
                lines += prefix + hashlib::Algorithms[id].tag_name + " (" + input.label +
                         ") = " + outcome.results[id] + "\n";
            }
        }
        cli::WriteOutput(lines);
        // Results reach the terminal or pipe before the next input's messages or progress.
        if (!cli::FlushOutput()) {
            cli::WriteError("orvendal-cli: cannot write the output\n");
            return 1;
        }
    }
    return status;
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
