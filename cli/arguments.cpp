#include "arguments.h"

#include <optional>
#include <string_view>

#include "orvendal_version.h"

namespace cli {
namespace {

// The dialog's defaults.
constexpr const char* kDefaultAlgorithms = "md5,sha1,ripemd160,crc32";

std::string ToLower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = char(c - 'A' + 'a');
        }
    }
    return text;
}

// Comma-separated command-line names, any case, or "all"; nullopt names the first unknown one.
std::optional<engine::Selection> ParseAlgorithmList(const std::string& list, std::string& unknown) {
    engine::Selection selection{};
    size_t start = 0;
    for (;;) {
        const size_t comma = list.find(',', start);
        const std::string name =
            ToLower(list.substr(start, comma == std::string::npos ? comma : comma - start));
        if (name == "all") {
            selection.fill(1);
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
    for (const hashlib::AlgorithmInfo& info : hashlib::Algorithms) {
        names.append(names.empty() ? "" : " ").append(info.command_name);
        if (!info.keyable) {
            unkeyed.push_back(info.command_name);
        }
    }
    std::string unkeyed_list;
    for (size_t i = 0; i < unkeyed.size(); ++i) {
        unkeyed_list.append(i == 0 ? "" : i + 1 == unkeyed.size() ? " and " : ", ").append(unkeyed[i]);
    }
    const std::string algorithms = std::string("comma-separated algorithms, any case, or all; default ") +
                                   kDefaultAlgorithms + ". Names: " + names;
    const std::string hmac =
        "keyed digests (HMAC) under the bytes of KEY; " + unkeyed_list + " are then not computed";
    return "Usage: orvendal-cli [OPTIONS] FILE...\n"
           "Prints the digests of each FILE (- for standard input), of the bytes of a text\n"
           "string, or of the bytes a hex string decodes to.\n"
           "\n" +
           OptionText("  -a, --algorithms LIST  ", algorithms) +
           "  -t, --text STRING      hash the bytes of STRING\n"
           "  -x, --hex HEX          hash the bytes HEX decodes to (spaces allowed)\n" +
           OptionText("  -k, --hmac KEY         ", hmac) +
           "      --hmac-hex HEXKEY  keyed digests under the bytes HEXKEY decodes to\n"
           "      --single-thread    read and hash on one thread (by default every algorithm\n"
           "                         is fed on a thread of its own while the input is read)\n"
           "  -h, --help             show this help and exit\n"
           "      --version          show the version and exit\n"
           "\n"
           "Output: one line per computed algorithm, NAME (LABEL) = digest, NAME prefixed\n"
           "HMAC- when keyed, LABEL the file name or - for standard input, text and hex.\n"
           "Exit status: 0 every input hashed, 1 an input refused or unreadable, 2 a usage\n"
           "error.\n";
}

}  // namespace

Arguments ParseArguments(const std::vector<std::string>& arguments) {
    Arguments result;
    std::string unknown;
    result.selection = *ParseAlgorithmList(kDefaultAlgorithms, unknown);
    bool text_key = false;
    bool hex_key = false;
    bool options_ended = false;

    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (options_ended || argument == "-" || argument.empty() || argument[0] != '-') {
            if (argument == "-" && !options_ended) {
                result.inputs.push_back({engine::InputStandardInput, "", "-"});
            } else {
                result.inputs.push_back({engine::InputFile, argument, argument});
            }
            continue;
        }
        if (argument == "--") {
            options_ended = true;
            continue;
        }

        // The option's name, and its value when attached: --name=value, or -xvalue.
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

        if (name == "-h" || name == "--help" || name == "--version") {
            if (attached) {
                return UsageError("option '" + name + "' takes no value");
            }
            result.action = name == "--version" ? Action::Version : Action::Help;
            return result;
        }
        if (name == "--single-thread") {
            if (attached) {
                return UsageError("option '" + name + "' takes no value");
            }
            result.single_thread = true;
            continue;
        }

        const bool takes_value = name == "-a" || name == "--algorithms" || name == "-t" || name == "--text" ||
                                 name == "-x" || name == "--hex" || name == "-k" || name == "--hmac" ||
                                 name == "--hmac-hex";
        if (!takes_value) {
            return UsageError("unknown option '" + argument + "'");
        }
        std::string value;
        if (attached) {
            value = *attached;
        } else if (i + 1 < arguments.size()) {
            value = arguments[++i];
        } else {
            return UsageError("option '" + name + "' needs a value");
        }

        if (name == "-a" || name == "--algorithms") {
            const auto selection = ParseAlgorithmList(value, unknown);
            if (!selection) {
                return UsageError("unknown algorithm '" + unknown + "'");
            }
            result.selection = *selection;
        } else if (name == "-t" || name == "--text") {
            result.inputs.push_back({engine::InputText, value, "-"});
        } else if (name == "-x" || name == "--hex") {
            result.inputs.push_back({engine::InputHex, value, "-"});
        } else {
            const bool hex = name == "--hmac-hex";
            (hex ? hex_key : text_key) = true;
            result.hmac = true;
            result.key_kind = hex ? engine::KeyHex : engine::KeyText;
            result.key = value;
        }
    }

    if (text_key && hex_key) {
        return UsageError("give either --hmac or --hmac-hex, not both");
    }
    if (result.inputs.empty()) {
        return UsageError("no input: give FILE, -, --text or --hex");
    }
    return result;
}

const char* UsageText() {
    static const std::string text = UsageTextFromTable();
    return text.c_str();
}

const char* VersionText() {
    return "orvendal-cli " ORVENDAL_VERSION_TEXT "\n";
}

}  // namespace cli
