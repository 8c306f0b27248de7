// orvendal-cli's command line as a pure function: UTF-8 arguments in, what to do out. Nothing
// here touches a file, a stream or the platform.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/engine.h"

namespace cli {

struct Input {
    engine::InputKind kind = engine::InputFile;  // file, text, hex or standard input
    std::string value;                           // the path, the text or the hex digits, as given (UTF-8)
    std::string label;                           // shown in output and messages: the file name, or "-"
};

enum class Action { Hash, Check, Verify, Help, Version, UsageError };

// What checking (and verifying) prints and what fails it.
struct CheckOptions {
    bool quiet = false;           // no OK lines
    bool status_only = false;     // nothing at all: the exit status tells
    bool strict = false;          // a malformed line fails the check
    bool ignore_missing = false;  // a listed file that does not exist counts for nothing
    bool warn = false;            // a message for each malformed line
};

struct Arguments {
    Action action = Action::Hash;
    std::string error;          // for a usage error: what was wrong
    std::vector<Input> inputs;  // in command-line order; for a check, the sum files; to verify, the files
    engine::Selection selection{};
    bool hmac = false;
    engine::KeyKind key_kind = engine::KeyText;
    std::string key;  // as given (UTF-8); hex digits may contain spaces
    // Files and standard input are read and hashed on one thread instead of each algorithm on a
    // thread of its own.
    bool single_thread = false;
    // How hashing prints its digests: tagged lines, GNU lines of one algorithm (--untagged) or
    // SFV lines of CRC-32 (--sfv).
    engine::SumLineFormat format = engine::SumLineFormat::Tagged;
    bool recursive = false;  // folder arguments are walked
    CheckOptions check;
    // For a check: the algorithm of GNU lines whose sum file's name gives none, when -a named
    // exactly one; else -1.
    int chosen_algorithm = -1;
};

// `arguments` excludes the program name.
Arguments ParseArguments(const std::vector<std::string>& arguments);

const char* UsageText();
const char* VersionText();

}  // namespace cli
