#include "arguments.h"

#include <algorithm>
#include <optional>
#include <string_view>

#include "hashlib/ascii.h"
#include "orvendal_version.h"

namespace cli {
namespace {

// The dialog's defaults.
constexpr const char* kDefaultAlgorithms = "md5,sha1,ripemd160,crc32";

// Comma-separated command-line names, any case, or "all" (the algorithms every front end offers);
// nullopt names the first unknown one.
std::optional<engine::Selection> ParseAlgorithmList(const std::string& list, std::string& unknown) {
    engine::Selection selection{};
    size_t start = 0;
    for (;;) {
        const size_t comma = list.find(',', start);
        const std::string name =
            hashlib::ascii::Lowered(list.substr(start, comma == std::string::npos ? comma : comma - start));
        if (name == "all") {
            std::fill_n(selection.begin(), hashlib::CommonAlgorithmCount, 1);
        } else if (const int id = hashlib::FindAlgorithmByCommandName(name); id >= 0) {
            selection[size_t(id)] = 1;
        } else {
            unknown = name;
            return std::nullopt;
        }
        if (comma == std::string::npos) {
            return selection;
        }
        start = comma + 1;
    }
}

// The algorithms a selection names (HMAC aside).
int CountSelected(const engine::Selection& selection) {
    return engine::CountSelectedAlgorithms(false, selection);
}

int FirstSelected(const engine::Selection& selection) {
    for (int id = 0; id < hashlib::AlgorithmCount; ++id) {
        if (selection[size_t(id)]) {
            return id;
        }
    }
    return -1;
}

Arguments UsageError(std::string error) {
    Arguments result;
    result.action = Action::UsageError;
    result.error = std::move(error);
    return result;
}

// An option's line: `head` (the option, padded to the descriptions' column) and the words of
// `description`, filled into lines of at most 80 columns and indented to that column.
std::string OptionText(const std::string& head, const std::string& description) {
    constexpr size_t kWidth = 80;
    std::string text = head;
    size_t line_start = 0;
    bool line_has_words = false;
    size_t word_start = 0;
    while (word_start < description.size()) {
        size_t word_end = description.find(' ', word_start);
        word_end = word_end == std::string::npos ? description.size() : word_end;
        const std::string_view word(description.data() + word_start, word_end - word_start);
        if (line_has_words && text.size() - line_start + 1 + word.size() > kWidth) {
            text += '\n';
            line_start = text.size();
            text.append(head.size(), ' ');
            line_has_words = false;
        }
        text.append(line_has_words ? " " : "").append(word);
        line_has_words = true;
        word_start = word_end + 1;
    }
    return text + '\n';
}

// The usage text; the algorithm names come from the table, in its order.
std::string UsageTextFromTable() {
    std::string names;
    std::vector<std::string> unkeyed;
    std::vector<std::string> refused;
    for (const hashlib::AlgorithmInfo& info : hashlib::Algorithms) {
        names.append(names.empty() ? "" : " ").append(info.command_name);
        if (!info.keyable) {
            (info.id < hashlib::CommonAlgorithmCount ? unkeyed : refused).push_back(info.command_name);
        }
    }
    const auto list = [](const std::vector<std::string>& words) {
        std::string text;
        for (size_t i = 0; i < words.size(); ++i) {
            text.append(i == 0 ? "" : i + 1 == words.size() ? " and " : ", ").append(words[i]);
        }
        return text;
    };
    const std::string algorithms = std::string("comma-separated algorithms, any case, or all (") +
                                   hashlib::Algorithms.front().command_name + " to " +
                                   hashlib::Algorithms[hashlib::CommonAlgorithmCount - 1].command_name +
                                   "); default " + kDefaultAlgorithms + ". Names: " + names;
    std::string hmac =
        "keyed digests (HMAC) under the bytes of KEY; " + list(unkeyed) + " are then not computed";
    if (!refused.empty()) {
        hmac += ", and -a " + list(refused) + " is refused";
    }
    return "Usage: orvendal-cli [OPTIONS] FILE...\n"
           "       orvendal-cli -c [OPTIONS] [SUMFILE...]\n"
           "       orvendal-cli --verify [--quiet|--status] FILE...\n"
           "Prints the digests of each FILE (- for standard input), of the bytes of a text\n"
           "string, or of the bytes a hex string decodes to; with -c, checks the files that\n"
           "sum files list against the digests they give; with --verify, checks each FILE\n"
           "against the sum files beside it.\n"
           "\n" +
           OptionText("  -a, --algorithms LIST  ", algorithms) +
           "  -t, --text STRING      hash the bytes of STRING\n"
           "  -x, --hex HEX          hash the bytes HEX decodes to (spaces allowed)\n" +
           OptionText("  -k, --hmac KEY         ", hmac) +
           "      --hmac-hex HEXKEY  keyed digests under the bytes HEXKEY decodes to\n"
           "      --single-thread    read and hash on one thread (by default every algorithm\n"
           "                         is fed on a thread of its own while the input is read)\n" +
           OptionText("      --untagged         ",
                      "write hex  LABEL lines (the form of sha256sum and the like) of the one "
                      "algorithm -a names") +
           "      --sfv              write LABEL hex lines of CRC-32 (an SFV file)\n" +
           OptionText("  -r, --recursive        ",
                      "hash the files in each FILE that is a folder and in its subfolders, in "
                      "order of their names; links to folders are not followed") +
           "  -h, --help             show this help and exit\n"
           "      --version          show the version and exit\n"
           "\n"
           "Checking:\n" +
           OptionText("  -c, --check            ",
                      "read tagged (also NAME(FILE)= hex), hex  FILE (also one space or tab "
                      "between), gpg --print-md, digest-only NAME.sha256 and SFV lines, UTF-8 or "
                      "UTF-16 with its byte-order mark, clear-signed or not, from each SUMFILE (- "
                      "or none for standard input) and check the files they list, named relative "
                      "to the SUMFILE's folder, one verdict per line; -a with one algorithm names "
                      "the algorithm of hex  FILE lines when the SUMFILE's name does not, else a "
                      "length several algorithms have is tried as each; HMAC- lines are checked "
                      "under --hmac or --hmac-hex") +
           OptionText("      --verify           ",
                      "check each FILE against the sum files beside it: NAME.sha256 and the "
                      "like, SHA256SUMS, SHASUMS256.txt, sha256sums.txt, CHECKSUM.SHA256-*, "
                      "*-CHECKSUM, *_checksums.txt, checksums.txt and the like; prints FILE: OK "
                      "(ALGORITHM, SUMFILE) or FILE: FAILED (ALGORITHM, SUMFILE)") +
           "      --quiet            print no OK lines (also with --verify)\n" +
           OptionText("      --status           ",
                      "print nothing: the exit status tells (also with --verify)") +
           "      --strict           improperly formatted lines make the exit status 1\n"
           "      --ignore-missing   say nothing of listed files that do not exist\n" +
           OptionText("  -w, --warn             ",
                      "warn of each improperly formatted line; name the algorithm that matched a "
                      "length several algorithms have") +
           "\n"
           "Output: one line per computed algorithm, NAME (LABEL) = digest, NAME prefixed\n"
           "HMAC- when keyed, LABEL the file name or - for standard input, text and hex.\n"
           "A check prints FILE: OK, FILE: FAILED or FILE: FAILED open or read per line.\n"
           "Exit status: 0 every input hashed (every listed file matched), 1 an input refused\n"
           "or unreadable (a digest that did not match, a listed file unreadable, no properly\n"
           "formatted line), 2 a usage error.\n";
}

// What the options said, in the order given, before the combination rules judge it.
struct Given {
    std::vector<Input> inputs;
    engine::Selection selection{};
    bool algorithms_given = false;
    bool hmac = false;
    engine::KeyKind key_kind = engine::KeyText;
    std::string key;
    bool text_key = false;  // --hmac was given
    bool hex_key = false;   // --hmac-hex was given
    bool single_thread = false;
    bool check = false;
    bool verify = false;
    bool untagged = false;
    bool sfv = false;
    bool recursive = false;
    bool quiet = false;
    bool status_only = false;
    bool strict = false;
    bool ignore_missing = false;
    bool warn = false;
    bool help = false;
    bool version = false;
    std::string check_only_option;  // the last option given that means something only to a check
    std::string verify_too_option;  // the last of those that also mean something to --verify
};

// What an option with a value does with it: nothing, or the text of a usage error.
using TakeValue = std::optional<std::string> (*)(Given& given, const std::string& value);

std::optional<std::string> TakeAlgorithms(Given& given, const std::string& value) {
    std::string unknown;
    const std::optional<engine::Selection> selection = ParseAlgorithmList(value, unknown);
    if (!selection) {
        return "unknown algorithm '" + unknown + "'";
    }
    given.selection = *selection;
    given.algorithms_given = true;
    return std::nullopt;
}

std::optional<std::string> TakeText(Given& given, const std::string& value) {
    given.inputs.push_back({engine::InputText, value, "-"});
    return std::nullopt;
}

std::optional<std::string> TakeHex(Given& given, const std::string& value) {
    given.inputs.push_back({engine::InputHex, value, "-"});
    return std::nullopt;
}

std::optional<std::string> TakeKey(Given& given, const std::string& value, engine::KeyKind kind) {
    (kind == engine::KeyHex ? given.hex_key : given.text_key) = true;
    given.hmac = true;
    given.key_kind = kind;
    given.key = value;
    return std::nullopt;
}

std::optional<std::string> TakeTextKey(Given& given, const std::string& value) {
    return TakeKey(given, value, engine::KeyText);
}

std::optional<std::string> TakeHexKey(Given& given, const std::string& value) {
    return TakeKey(given, value, engine::KeyHex);
}

// One option: its names, and either the flag it sets or what it does with its value.
struct Option {
    const char* short_name = nullptr;  // null when it has none
    const char* long_name = nullptr;
    bool Given::*flag = nullptr;  // an option without a value
    TakeValue take = nullptr;     // an option with a value
    bool check_only = false;      // means something only to a check
    bool verify_too = false;      // ... and to --verify as well
};

// Every option orvendal-cli knows.
constexpr Option kOptions[] = {
    {.short_name = "-a", .long_name = "--algorithms", .take = TakeAlgorithms},
    {.short_name = "-t", .long_name = "--text", .take = TakeText},
    {.short_name = "-x", .long_name = "--hex", .take = TakeHex},
    {.short_name = "-k", .long_name = "--hmac", .take = TakeTextKey},
    {.long_name = "--hmac-hex", .take = TakeHexKey},
    {.long_name = "--single-thread", .flag = &Given::single_thread},
    {.long_name = "--untagged", .flag = &Given::untagged},
    {.long_name = "--sfv", .flag = &Given::sfv},
    {.short_name = "-r", .long_name = "--recursive", .flag = &Given::recursive},
    {.short_name = "-c", .long_name = "--check", .flag = &Given::check},
    {.long_name = "--verify", .flag = &Given::verify},
    {.long_name = "--quiet", .flag = &Given::quiet, .check_only = true, .verify_too = true},
    {.long_name = "--status", .flag = &Given::status_only, .check_only = true, .verify_too = true},
    {.long_name = "--strict", .flag = &Given::strict, .check_only = true},
    {.long_name = "--ignore-missing", .flag = &Given::ignore_missing, .check_only = true},
    {.short_name = "-w", .long_name = "--warn", .flag = &Given::warn, .check_only = true},
    {.short_name = "-h", .long_name = "--help", .flag = &Given::help},
    {.long_name = "--version", .flag = &Given::version},
};

const Option* FindOption(const std::string& name) {
    for (const Option& option : kOptions) {
        if ((option.short_name != nullptr && name == option.short_name) || name == option.long_name) {
            return &option;
        }
    }
    return nullptr;
}

// One word of the command line, read.
struct Token {
    enum class Kind { Input, StandardInput, Option, Error };
    Kind kind = Kind::Input;
    const Option* option = nullptr;  // for an option
    std::string name = {};           // for an option: its name as given
    std::string text = {};           // the input's argument, the option's value or the error's text
};

// The words of the command line in order: inputs (every argument that does not start with '-',
// "-" alone for standard input, and everything after "--"), and options found by name with their
// value, attached (--name=value, -xVALUE) or the next argument. Ends after an Error token for
// the first word that is wrong in itself; the words before it still count, in their order.
std::vector<Token> Tokenise(const std::vector<std::string>& arguments) {
    std::vector<Token> tokens;
    bool options_ended = false;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (options_ended || argument.size() < 2 || argument[0] != '-') {
            if (argument == "-" && !options_ended) {
                tokens.push_back({.kind = Token::Kind::StandardInput});
            } else {
                tokens.push_back({.kind = Token::Kind::Input, .text = argument});
            }
            continue;
        }
        if (argument == "--") {
            options_ended = true;
            continue;
        }

        std::string name;
        std::optional<std::string> attached;
        if (argument.compare(0, 2, "--") == 0) {
            const size_t equals = argument.find('=');
            name = argument.substr(0, equals);
            if (equals != std::string::npos) {
                attached = argument.substr(equals + 1);
            }
        } else {
            name = argument.substr(0, 2);
            if (argument.size() > 2) {
                attached = argument.substr(2);
            }
        }

        const Option* option = FindOption(name);
        std::string error;
        std::string value;
        if (option == nullptr) {
            error = "unknown option '" + argument + "'";
        } else if (option->take == nullptr) {
            if (attached) {
                error = "option '" + name + "' takes no value";
            }
        } else if (attached) {
            value = std::move(*attached);
        } else if (i + 1 < arguments.size()) {
            value = arguments[++i];
        } else {
            error = "option '" + name + "' needs a value";
        }
        if (!error.empty()) {
            tokens.push_back({.kind = Token::Kind::Error, .text = std::move(error)});
            break;
        }
        tokens.push_back(
            {.kind = Token::Kind::Option, .option = option, .name = name, .text = std::move(value)});
    }
    return tokens;
}

// Applies one option token; a usage error's text when its value is wrong.
std::optional<std::string> TakeOption(Given& given, const Token& token) {
    const Option& option = *token.option;
    if (option.check_only) {
        (option.verify_too ? given.verify_too_option : given.check_only_option) = token.name;
    }
    if (option.flag != nullptr) {
        given.*option.flag = true;
        return std::nullopt;
    }
    return option.take(given, token.text);
}

// The rules for --verify: files only, the algorithms and nothing but what to print from the sum
// files beside them.
Arguments VerifyArguments(Given given, Arguments result) {
    const char* refused = given.untagged           ? "--untagged"
                          : given.sfv              ? "--sfv"
                          : given.recursive        ? "--recursive"
                          : given.hmac             ? (given.hex_key ? "--hmac-hex" : "--hmac")
                          : given.algorithms_given ? "--algorithms"
                                                   : nullptr;
    if (refused != nullptr) {
        return UsageError(std::string(refused) + " cannot be used with --verify");
    }
    if (!given.check_only_option.empty()) {
        return UsageError("option '" + given.check_only_option + "' only works with --check");
    }
    for (const Input& input : result.inputs) {
        if (input.kind != engine::InputFile) {
            return UsageError("--verify takes files: not --text, --hex or standard input");
        }
    }
    if (result.inputs.empty()) {
        return UsageError("no input: give FILE");
    }
    result.action = Action::Verify;
    return result;
}

// The rules for options given together, and the defaults they imply.
Arguments ApplyCombinationRules(Given given) {
    if (given.text_key && given.hex_key) {
        return UsageError("give either --hmac or --hmac-hex, not both");
    }
    // The common algorithms that cannot be keyed are left out under a key, as the dialog leaves
    // them out; one added later is refused when named, so that a keyed run never quietly prints
    // less than it was asked for.
    for (int id = hashlib::CommonAlgorithmCount; given.hmac && id < hashlib::AlgorithmCount; ++id) {
        if (given.selection[size_t(id)] && !hashlib::Algorithms[id].keyable) {
            return UsageError(std::string(hashlib::Algorithms[id].command_name) +
                              " cannot be keyed: its own keyed mode is not HMAC; leave out --hmac or -a " +
                              hashlib::Algorithms[id].command_name);
        }
    }
    if (given.untagged && given.sfv) {
        return UsageError("give either --untagged or --sfv, not both");
    }
    Arguments result;
    result.inputs = std::move(given.inputs);
    result.selection = given.selection;
    result.hmac = given.hmac;
    result.key_kind = given.key_kind;
    result.key = std::move(given.key);
    result.single_thread = given.single_thread;
    result.recursive = given.recursive;
    result.check = {.quiet = given.quiet,
                    .status_only = given.status_only,
                    .strict = given.strict,
                    .ignore_missing = given.ignore_missing,
                    .warn = given.warn};
    if (given.check && given.verify) {
        return UsageError("give either --check or --verify, not both");
    }
    if (given.verify) {
        return VerifyArguments(std::move(given), std::move(result));
    }
    if (given.check) {
        if (given.untagged || given.sfv || given.recursive) {
            return UsageError(std::string(given.untagged ? "--untagged"
                                          : given.sfv    ? "--sfv"
                                                         : "--recursive") +
                              " cannot be used with --check");
        }
        for (const Input& input : result.inputs) {
            if (input.kind == engine::InputText || input.kind == engine::InputHex) {
                return UsageError("--text and --hex cannot be used with --check");
            }
        }
        if (result.inputs.empty()) {
            result.inputs.push_back({engine::InputStandardInput, "", "-"});
        }
        if (given.algorithms_given && CountSelected(result.selection) == 1) {
            result.chosen_algorithm = FirstSelected(result.selection);
        }
        result.action = Action::Check;
        return result;
    }
    if (!given.check_only_option.empty() || !given.verify_too_option.empty()) {
        return UsageError(
            "option '" +
            (given.check_only_option.empty() ? given.verify_too_option : given.check_only_option) +
            "' only works with --check");
    }
    if ((given.untagged || given.sfv) && result.hmac) {
        return UsageError(std::string(given.untagged ? "--untagged" : "--sfv") +
                          " cannot be used with --hmac");
    }
    if (given.untagged && CountSelected(result.selection) != 1) {
        return UsageError("--untagged writes one algorithm: give exactly one with -a");
    }
    if (given.sfv) {
        const bool crc32_only =
            CountSelected(result.selection) == 1 && result.selection[hashlib::AlgorithmCrc32];
        if (given.algorithms_given && !crc32_only) {
            return UsageError("--sfv writes CRC-32 only: give no -a, or -a crc32");
        }
        result.selection = {};
        result.selection[hashlib::AlgorithmCrc32] = 1;
    }
    result.format = given.untagged ? engine::SumLineFormat::Gnu
                    : given.sfv    ? engine::SumLineFormat::Sfv
                                   : engine::SumLineFormat::Tagged;
    if (result.inputs.empty()) {
        return UsageError("no input: give FILE, -, --text or --hex");
    }
    return result;
}

}  // namespace

// The words are taken in command-line order, so the first usage error is the one reported, and
// help or version ends the reading where it stands; the combination rules judge the rest.
Arguments ParseArguments(const std::vector<std::string>& arguments) {
    Given given;
    std::string unknown;
    given.selection = *ParseAlgorithmList(kDefaultAlgorithms, unknown);
    for (const Token& token : Tokenise(arguments)) {
        switch (token.kind) {
            case Token::Kind::Input:
                given.inputs.push_back({engine::InputFile, token.text, token.text});
                break;
            case Token::Kind::StandardInput:
                given.inputs.push_back({engine::InputStandardInput, "", "-"});
                break;
            case Token::Kind::Option:
                if (const std::optional<std::string> error = TakeOption(given, token)) {
                    return UsageError(*error);
                }
                if (given.help || given.version) {
                    Arguments result;
                    result.action = given.version ? Action::Version : Action::Help;
                    return result;
                }
                break;
            case Token::Kind::Error:
                return UsageError(token.text);
        }
    }
    return ApplyCombinationRules(std::move(given));
}

const char* UsageText() {
    static const std::string text = UsageTextFromTable();
    return text.c_str();
}

const char* VersionText() {
    return "orvendal-cli " ORVENDAL_VERSION_TEXT "\n";
}

}  // namespace cli
