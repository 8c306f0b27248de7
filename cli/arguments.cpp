#include "arguments.h"

#include <optional>

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
        bool known = false;
        for (int id = 0; id < hashlib::AlgorithmCount; ++id) {
            if (name == "all" || name == hashlib::Algorithms[id].command_name) {
                selection[id] = 1;
                known = true;
            }
        }
        if (!known) {
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
    return "Usage: orvendal-cli [OPTIONS] FILE...\n"
           "Prints the digests of each FILE (- for standard input), of the bytes of a text\n"
           "string, or of the bytes a hex string decodes to.\n"
           "\n"
           "  -a, --algorithms LIST  comma-separated algorithms, any case, or all; default\n"
           "                         md5,sha1,ripemd160,crc32. Names: md5 md4 sha1 sha256\n"
           "                         sha384 sha512 ripemd160 panama tiger md2 adler32 crc32\n"
           "                         edonkey\n"
           "  -t, --text STRING      hash the bytes of STRING\n"
           "  -x, --hex HEX          hash the bytes HEX decodes to (spaces allowed)\n"
           "  -k, --hmac KEY         keyed digests (HMAC) under the bytes of KEY; md2,\n"
           "                         adler32, crc32 and edonkey are then not computed\n"
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

const char* VersionText() {
    return "orvendal-cli 2.02.00337\n";
}

}  // namespace cli
