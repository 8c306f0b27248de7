#include "arguments.h"

#include <algorithm>
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

// Comma-separated command-line names, any case, or "all" (the algorithms every front end offers);
// nullopt names the first unknown one.
std::optional<engine::Selection> ParseAlgorithmList(const std::string& list, std::string& unknown) {
    engine::Selection selection{};
    size_t start = 0;
    for (;;) {
        const size_t comma = list.find(',', start);
        const std::string name =
            ToLower(list.substr(start, comma == std::string::npos ? comma : comma - start));
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
           "       orvendal-cli -c [OPTIONS] [SUMFILE...]\n"
           "Prints the digests of each FILE (- for standard input), of the bytes of a text\n"
           "string, or of the bytes a hex string decodes to; with -c, checks the files that\n"
           "sum files list against the digests they give.\n"
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
                      "read tagged, hex  FILE and SFV lines from each SUMFILE (- or none for "
                      "standard input) and check the files they list, named relative to the "
                      "SUMFILE's folder; -a with one algorithm names the algorithm of hex  FILE "
                      "lines when the SUMFILE's name does not; HMAC- lines are checked under "
                      "--hmac or --hmac-hex") +
           "      --quiet            print no OK lines\n"
           "      --status           print nothing: the exit status tells\n"
           "      --strict           improperly formatted lines make the exit status 1\n"
           "      --ignore-missing   say nothing of listed files that do not exist\n"
           "  -w, --warn             warn of each improperly formatted line\n"
           "\n"
           "Output: one line per computed algorithm, NAME (LABEL) = digest, NAME prefixed\n"
           "HMAC- when keyed, LABEL the file name or - for standard input, text and hex.\n"
           "A check prints FILE: OK, FILE: FAILED or FILE: FAILED open or read per listed file.\n"
           "Exit status: 0 every input hashed (every listed file matched), 1 an input refused\n"
           "or unreadable (a digest that did not match, a listed file unreadable, no properly\n"
           "formatted line), 2 a usage error.\n";
}

}  // namespace

Arguments ParseArguments(const std::vector<std::string>& arguments) {
    Arguments result;
    std::string unknown;
    result.selection = *ParseAlgorithmList(kDefaultAlgorithms, unknown);
    bool text_key = false;
    bool hex_key = false;
    bool options_ended = false;
    bool algorithms_given = false;
    bool check = false;
    bool untagged = false;
    bool sfv = false;
    std::string check_only_option;  // the last option given that means something only to a check
    // The options that take no value, what each sets, and whether only a check takes it.
    struct Flag {
        const char* short_name;
        const char* long_name;
        bool* value;
        bool check_only;
    };
    const Flag flags[] = {
        {nullptr, "--single-thread", &result.single_thread, false},
        {"-c", "--check", &check, false},
        {nullptr, "--untagged", &untagged, false},
        {nullptr, "--sfv", &sfv, false},
        {"-r", "--recursive", &result.recursive, false},
        {nullptr, "--quiet", &result.check.quiet, true},
        {nullptr, "--status", &result.check.status_only, true},
        {nullptr, "--strict", &result.check.strict, true},
        {nullptr, "--ignore-missing", &result.check.ignore_missing, true},
        {"-w", "--warn", &result.check.warn, true},
    };
    const auto flag_of = [&](const std::string& name) -> const Flag* {
        for (const Flag& flag : flags) {
            if ((flag.short_name != nullptr && name == flag.short_name) || name == flag.long_name) {
                return &flag;
            }
        }
        return nullptr;
    };

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
        if (const Flag* flag = flag_of(name)) {
            if (attached) {
                return UsageError("option '" + name + "' takes no value");
            }
            *flag->value = true;
            if (flag->check_only) {
                check_only_option = name;
            }
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
            algorithms_given = true;
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
    if (untagged && sfv) {
        return UsageError("give either --untagged or --sfv, not both");
    }
    if (check) {
        if (untagged || sfv || result.recursive) {
            return UsageError(std::string(untagged ? "--untagged" : sfv ? "--sfv" : "--recursive") +
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
        if (algorithms_given && CountSelected(result.selection) == 1) {
            result.chosen_algorithm = FirstSelected(result.selection);
        }
        result.action = Action::Check;
        return result;
    }
    if (!check_only_option.empty()) {
        return UsageError("option '" + check_only_option + "' only works with --check");
    }
    if ((untagged || sfv) && result.hmac) {
        return UsageError(std::string(untagged ? "--untagged" : "--sfv") + " cannot be used with --hmac");
    }
    if (untagged && CountSelected(result.selection) != 1) {
        return UsageError("--untagged writes one algorithm: give exactly one with -a");
    }
    if (sfv) {
        const bool crc32_only = CountSelected(result.selection) == 1 && result.selection[hashlib::AlgorithmCrc32];
        if (algorithms_given && !crc32_only) {
            return UsageError("--sfv writes CRC-32 only: give no -a, or -a crc32");
        }
        result.selection = {};
        result.selection[hashlib::AlgorithmCrc32] = 1;
    }
    result.format = untagged ? engine::SumLineFormat::Gnu : sfv ? engine::SumLineFormat::Sfv : engine::SumLineFormat::Tagged;
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
