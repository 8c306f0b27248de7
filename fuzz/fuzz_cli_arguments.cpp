// orvendal-cli's argument parsing on arbitrary argument vectors: the input cut at zero bytes,
// one argument per piece (so an argument can be empty, but never holds a zero byte, as on a
// real command line).
#include <algorithm>
#include <string>
#include <vector>

#include "cli/arguments.h"
#include "fuzz_check.h"

using namespace cli;

namespace {

int Ticked(const engine::Selection& selection) {
    return int(std::count_if(selection.begin(), selection.end(), [](uint8_t flag) { return flag != 0; }));
}

// An input's value is an argument, or the tail of one (--text=VALUE, -tVALUE).
bool ComesFrom(const std::string& value, const std::vector<std::string>& arguments) {
    return std::any_of(arguments.begin(), arguments.end(), [&](const std::string& argument) {
        return argument.size() >= value.size() &&
               argument.compare(argument.size() - value.size(), value.size(), value) == 0;
    });
}

void CheckWellFormed(const Arguments& parsed, const std::vector<std::string>& arguments) {
    switch (parsed.action) {
        case Action::UsageError:
            FUZZ_CHECK(!parsed.error.empty());
            FUZZ_CHECK(parsed.inputs.empty());
            return;
        case Action::Help:
        case Action::Version:
            FUZZ_CHECK(parsed.error.empty());
            return;
        case Action::Verify:
            // Files only, named as given, and nothing that only hashing or keying takes.
            FUZZ_CHECK(parsed.error.empty());
            FUZZ_CHECK(!parsed.inputs.empty() && !parsed.hmac && !parsed.recursive);
            for (const Input& input : parsed.inputs) {
                FUZZ_CHECK(input.kind == engine::InputFile);
                FUZZ_CHECK(std::find(arguments.begin(), arguments.end(), input.value) != arguments.end());
            }
            return;
        case Action::Hash:
        case Action::Check:
            break;
    }
    const bool check = parsed.action == Action::Check;
    FUZZ_CHECK(parsed.chosen_algorithm >= -1 && parsed.chosen_algorithm < hashlib::AlgorithmCount);
    FUZZ_CHECK(check || parsed.chosen_algorithm == -1);
    FUZZ_CHECK(!check || (parsed.format == engine::SumLineFormat::Tagged && !parsed.recursive));
    FUZZ_CHECK(parsed.format != engine::SumLineFormat::Gnu ||
               (Ticked(parsed.selection) == 1 && !parsed.hmac));
    FUZZ_CHECK(parsed.format != engine::SumLineFormat::Sfv ||
               (Ticked(parsed.selection) == 1 && parsed.selection[hashlib::AlgorithmCrc32] && !parsed.hmac));
    FUZZ_CHECK(parsed.error.empty());
    FUZZ_CHECK(!parsed.inputs.empty());
    FUZZ_CHECK(parsed.inputs.size() <= arguments.size());
    FUZZ_CHECK(Ticked(parsed.selection) >= 1);
    FUZZ_CHECK(!parsed.hmac || parsed.key_kind == engine::KeyText || parsed.key_kind == engine::KeyHex);
    FUZZ_CHECK(parsed.hmac || parsed.key.empty());
    FUZZ_CHECK(!parsed.hmac || ComesFrom(parsed.key, arguments));
    for (const Input& input : parsed.inputs) {
        switch (input.kind) {
            case engine::InputFile:
                FUZZ_CHECK(input.label == input.value);
                FUZZ_CHECK(std::find(arguments.begin(), arguments.end(), input.value) != arguments.end());
                break;
            case engine::InputText:
            case engine::InputHex:
                FUZZ_CHECK(!check);
                FUZZ_CHECK(input.label == "-");
                FUZZ_CHECK(ComesFrom(input.value, arguments));
                break;
            case engine::InputStandardInput:
                FUZZ_CHECK(input.label == "-" && input.value.empty());
                // A check without sum files reads standard input.
                FUZZ_CHECK(std::find(arguments.begin(), arguments.end(), "-") != arguments.end() ||
                           (check && parsed.inputs.size() == 1));
                break;
            default:
                FUZZ_CHECK(false);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> arguments;
    if (size > 0) {
        const std::string text(reinterpret_cast<const char*>(data), size);
        for (size_t start = 0;;) {
            const size_t zero = text.find('\0', start);
            arguments.push_back(text.substr(start, zero == std::string::npos ? zero : zero - start));
            if (zero == std::string::npos) {
                break;
            }
            start = zero + 1;
        }
    }
    const Arguments parsed = ParseArguments(arguments);
    CheckWellFormed(parsed, arguments);

    // After "--" every argument is a file, whatever it looks like, with the default choices.
    std::vector<std::string> after_end{"--"};
    after_end.insert(after_end.end(), arguments.begin(), arguments.end());
    const Arguments files = ParseArguments(after_end);
    CheckWellFormed(files, after_end);
    if (arguments.empty()) {
        FUZZ_CHECK(files.action == Action::UsageError);
    } else {
        FUZZ_CHECK(files.action == Action::Hash && !files.hmac);
        FUZZ_CHECK(files.inputs.size() == arguments.size());
        for (size_t i = 0; i < arguments.size(); ++i) {
            FUZZ_CHECK(files.inputs[i].kind == engine::InputFile && files.inputs[i].value == arguments[i]);
        }
        FUZZ_CHECK(files.selection == ParseArguments({"x"}).selection);
    }
    return 0;
}
