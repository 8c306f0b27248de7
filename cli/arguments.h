// orvendal-cli's command line as a pure function: UTF-8 arguments in, what to do out. Nothing
// here touches a file, a stream or the platform.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/calculate_command.h"
#include "engine/digest_calculator.h"

namespace cli {

struct Input {
    engine::InputKind kind = engine::InputFile;  // file, text, hex or standard input
    std::string value;                           // the path, the text or the hex digits, as given (UTF-8)
    std::string label;                           // shown in output and messages: the file name, or "-"
};

enum class Action { Hash, Help, Version, UsageError };

struct Arguments {
    Action action = Action::Hash;
    std::string error;          // for a usage error: what was wrong
    std::vector<Input> inputs;  // in command-line order
    engine::Selection selection{};
    bool hmac = false;
    engine::KeyKind key_kind = engine::KeyText;
    std::string key;  // as given (UTF-8); hex digits may contain spaces
    // Files and standard input are read and hashed on one thread instead of each algorithm on a
    // thread of its own.
    bool single_thread = false;
};

// `arguments` excludes the program name.
Arguments ParseArguments(const std::vector<std::string>& arguments);

const char* UsageText();
const char* VersionText();

}  // namespace cli
