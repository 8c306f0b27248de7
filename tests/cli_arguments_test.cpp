// orvendal-cli's argument parser, a pure function.
#include <gtest/gtest.h>

#include "cli/arguments.h"

using cli::Action;
using cli::ParseArguments;

namespace {

engine::Selection Ticked(std::initializer_list<int> ids) {
    engine::Selection selection{};
    for (int id : ids) {
        selection[id] = 1;
    }
    return selection;
}

void ExpectUsageError(const std::vector<std::string>& arguments, const std::string& mentioned) {
    const cli::Arguments parsed = ParseArguments(arguments);
    EXPECT_EQ(parsed.action, Action::UsageError) << arguments.front();
    EXPECT_NE(parsed.error.find(mentioned), std::string::npos) << parsed.error;
}

}  // namespace

TEST(CliArguments, InputsInOrderWithTheirLabels) {
    const auto parsed =
        ParseArguments({"a.txt", "-t", "hello", "--hex=61 62", "-", "-xff", "--text", "", "--", "-t"});
    ASSERT_EQ(parsed.action, Action::Hash);
    const std::vector<std::tuple<int32_t, std::string, std::string>> expected = {
        {engine::InputFile, "a.txt", "a.txt"}, {engine::InputText, "hello", "-"},
        {engine::InputHex, "61 62", "-"},      {engine::InputStandardInput, "", "-"},
        {engine::InputHex, "ff", "-"},         {engine::InputText, "", "-"},
        {engine::InputFile, "-t", "-t"},
    };
    ASSERT_EQ(parsed.inputs.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(parsed.inputs[i].kind, std::get<0>(expected[i])) << i;
        EXPECT_EQ(parsed.inputs[i].value, std::get<1>(expected[i])) << i;
        EXPECT_EQ(parsed.inputs[i].label, std::get<2>(expected[i])) << i;
    }
    EXPECT_FALSE(parsed.hmac);
}

TEST(CliArguments, AlgorithmsDefaultToTheDialogsAndParseInAnyCase) {
    using namespace hashlib;
    EXPECT_EQ(ParseArguments({"f"}).selection,
              Ticked({AlgorithmMd5, AlgorithmSha1, AlgorithmRipemd160, AlgorithmCrc32}));
    EXPECT_EQ(ParseArguments({"-a", "SHA256,md2,Edonkey", "f"}).selection,
              Ticked({AlgorithmSha256, AlgorithmMd2, AlgorithmEdonkey}));
    EXPECT_EQ(ParseArguments({"--algorithms=tiger", "-a", "panama", "f"}).selection,
              Ticked({AlgorithmPanama}));
    // The thirteen every front end offers, whatever the library adds.
    EXPECT_EQ(ParseArguments({"-aALL", "f"}).selection,
              Ticked({AlgorithmMd5, AlgorithmMd4, AlgorithmSha1, AlgorithmSha256, AlgorithmSha384,
                      AlgorithmSha512, AlgorithmRipemd160, AlgorithmPanama, AlgorithmTiger, AlgorithmMd2,
                      AlgorithmAdler32, AlgorithmCrc32, AlgorithmEdonkey}));
    for (const AlgorithmInfo& info : Algorithms) {
        EXPECT_EQ(ParseArguments({"-a", info.command_name, "f"}).action, Action::Hash) << info.command_name;
    }
}

TEST(CliArguments, Keys) {
    const auto text = ParseArguments({"-k", "secret", "f"});
    EXPECT_TRUE(text.hmac);
    EXPECT_EQ(text.key_kind, engine::KeyText);
    EXPECT_EQ(text.key, "secret");
    const auto hex = ParseArguments({"--hmac-hex", "0b 0b", "f"});
    EXPECT_TRUE(hex.hmac);
    EXPECT_EQ(hex.key_kind, engine::KeyHex);
    EXPECT_EQ(hex.key, "0b 0b");
    const auto empty = ParseArguments({"--hmac=", "f"});
    EXPECT_TRUE(empty.hmac);
    EXPECT_EQ(empty.key, "");
}

TEST(CliArguments, UsageErrors) {
    ExpectUsageError({}, "no input");
    ExpectUsageError({"-a", "md5"}, "no input");
    ExpectUsageError({"-a", "md5,sha3", "f"}, "sha3");
    ExpectUsageError({"-a", "SHA-1", "f"}, "sha-1");  // a sum file's spelling, not a command name
    ExpectUsageError({"-a", "md5,", "f"}, "unknown algorithm");
    ExpectUsageError({"--bogus", "f"}, "--bogus");
    ExpectUsageError({"-z", "f"}, "-z");
    ExpectUsageError({"f", "--text"}, "needs a value");
    ExpectUsageError({"-k", "a", "--hmac-hex", "0b", "f"}, "not both");
    ExpectUsageError({"--help=yes"}, "takes no value");
    ExpectUsageError({"--single-thread=1", "f"}, "takes no value");
    // An added algorithm that cannot be keyed is refused by name; a common one is left out.
    ExpectUsageError({"-a", "md5,blake2b", "--hmac", "k", "f"}, "blake2b cannot be keyed");
    ExpectUsageError({"-c", "--hmac-hex", "0b", "-a", "blake2b"}, "blake2b cannot be keyed");
    EXPECT_EQ(ParseArguments({"-a", "md5,md2", "--hmac", "k", "f"}).action, Action::Hash);
    EXPECT_EQ(ParseArguments({"-a", "sha3-256,sha3-512", "--hmac", "k", "f"}).action, Action::Hash);
}

// What a parse came to, in a few words: the usage error's text, or the action, the switches that
// are on, the ticked algorithms and the inputs' labels.
std::string Outcome(const std::vector<std::string>& arguments) {
    const cli::Arguments parsed = ParseArguments(arguments);
    if (parsed.action == Action::UsageError) {
        return parsed.error;
    }
    std::string text = parsed.action == Action::Check    ? "check"
                       : parsed.action == Action::Verify ? "verify"
                                                         : "hash";
    const std::pair<bool, const char*> switches[] = {
        {parsed.check.quiet, "quiet"},
        {parsed.check.status_only, "status"},
        {parsed.check.strict, "strict"},
        {parsed.check.ignore_missing, "ignore-missing"},
        {parsed.check.warn, "warn"},
        {parsed.recursive, "recursive"},
        {parsed.hmac, "hmac"},
        {parsed.format == engine::SumLineFormat::Gnu, "untagged"},
        {parsed.format == engine::SumLineFormat::Sfv, "sfv"},
    };
    for (const auto& [on, name] : switches) {
        text.append(on ? " " : "").append(on ? name : "");
    }
    if (parsed.chosen_algorithm >= 0) {
        text.append(" chosen ").append(hashlib::Algorithms[parsed.chosen_algorithm].command_name);
    }
    text += " |";
    for (int id = 0; id < hashlib::AlgorithmCount; ++id) {
        text.append(parsed.selection[id] ? " " : "")
            .append(parsed.selection[id] ? hashlib::Algorithms[id].command_name : "");
    }
    text += " |";
    for (const cli::Input& input : parsed.inputs) {
        text.append(" ").append(input.label);
    }
    return text;
}

TEST(CliArguments, CheckModeAndOutputFormatsWithTheirCombinations) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        // Check mode: every option of its own, standard input without sum files, -a naming the
        // algorithm of GNU lines only when it names one.
        {{"-c"}, "check | md5 sha1 ripemd160 crc32 | -"},
        {{"--check", "--quiet", "--status", "--strict", "--ignore-missing", "-w", "S", "-"},
         "check quiet status strict ignore-missing warn | md5 sha1 ripemd160 crc32 | S -"},
        {{"-c", "--warn", "-a", "SHA256", "S"}, "check warn chosen sha256 | sha256 | S"},
        {{"-c", "-a", "md5,sha1", "S"}, "check | md5 sha1 | S"},
        {{"-c", "--hmac-hex", "0b", "S"}, "check hmac | md5 sha1 ripemd160 crc32 | S"},
        {{"-c", "--untagged", "-a", "md5", "S"}, "--untagged cannot be used with --check"},
        {{"-c", "--sfv", "S"}, "--sfv cannot be used with --check"},
        {{"-c", "-r", "S"}, "--recursive cannot be used with --check"},
        {{"-c", "S", "--text", "abc"}, "--text and --hex cannot be used with --check"},
        {{"-c", "-x00"}, "--text and --hex cannot be used with --check"},
        {{"-cw", "S"}, "option '-c' takes no value"},
        {{"-c", "--quiet=yes", "S"}, "option '--quiet' takes no value"},
        // Verifying files against the sum files beside them: files only, and what to print.
        {{"--verify", "f", "g"}, "verify | md5 sha1 ripemd160 crc32 | f g"},
        {{"--verify", "--quiet", "--status", "f"}, "verify quiet status | md5 sha1 ripemd160 crc32 | f"},
        {{"--verify"}, "no input: give FILE"},
        {{"--verify", "-"}, "--verify takes files: not --text, --hex or standard input"},
        {{"--verify", "-t", "abc"}, "--verify takes files: not --text, --hex or standard input"},
        {{"--verify", "-c", "f"}, "give either --check or --verify, not both"},
        {{"--verify", "-a", "sha256", "f"}, "--algorithms cannot be used with --verify"},
        {{"--verify", "-k", "key", "f"}, "--hmac cannot be used with --verify"},
        {{"--verify", "-r", "f"}, "--recursive cannot be used with --verify"},
        {{"--verify", "--strict", "f"}, "option '--strict' only works with --check"},
        // Options of a check alone, named as given (the last one).
        {{"--quiet", "f"}, "option '--quiet' only works with --check"},
        {{"--status", "f"}, "option '--status' only works with --check"},
        {{"--strict", "f"}, "option '--strict' only works with --check"},
        {{"--ignore-missing", "f"}, "option '--ignore-missing' only works with --check"},
        {{"--warn", "-w", "f"}, "option '-w' only works with --check"},
        // Output formats and folders.
        {{"--untagged", "-a", "sha256", "f"}, "hash untagged | sha256 | f"},
        {{"--sfv", "f", "g"}, "hash sfv | crc32 | f g"},
        {{"--sfv", "-a", "CRC32", "f"}, "hash sfv | crc32 | f"},
        {{"-r", "-a", "sha1", "folder"}, "hash recursive | sha1 | folder"},
        {{"--untagged", "--sfv", "f"}, "give either --untagged or --sfv, not both"},
        {{"--untagged", "-a", "md5", "-k", "key", "f"}, "--untagged cannot be used with --hmac"},
        {{"--sfv", "--hmac-hex", "0b", "f"}, "--sfv cannot be used with --hmac"},
        {{"--untagged", "f"}, "--untagged writes one algorithm: give exactly one with -a"},
        {{"--untagged", "-a", "md5,sha1", "f"}, "--untagged writes one algorithm: give exactly one with -a"},
        {{"--sfv", "-a", "sha1", "f"}, "--sfv writes CRC-32 only: give no -a, or -a crc32"},
        {{"--untagged", "-a", "md5"}, "no input: give FILE, -, --text or --hex"},
        // The first error in command-line order wins, and help ends the reading.
        {{"-a", "sha3", "--bogus", "f"}, "unknown algorithm 'sha3'"},
        {{"--bogus", "-a", "sha3", "f"}, "unknown option '--bogus'"},
        {{"-a", "sha3", "-h"}, "unknown algorithm 'sha3'"},
    };
    for (const auto& [arguments, expected] : cases) {
        EXPECT_EQ(Outcome(arguments), expected) << testing::PrintToString(arguments);
    }
}

TEST(CliArguments, ParallelUnlessOneThreadIsAskedFor) {
    EXPECT_FALSE(ParseArguments({"f"}).single_thread);
    const auto single = ParseArguments({"f", "--single-thread", "g"});
    EXPECT_TRUE(single.single_thread);
    EXPECT_EQ(single.inputs.size(), 2u);
}

TEST(CliArguments, HelpAndVersion) {
    EXPECT_EQ(ParseArguments({"--help"}).action, Action::Help);
    EXPECT_EQ(ParseArguments({"f", "-h", "--bogus"}).action, Action::Help);
    EXPECT_EQ(ParseArguments({"--version"}).action, Action::Version);
    EXPECT_NE(std::string(cli::VersionText()).find("2.02.00337"), std::string::npos);

    // The parts of the usage text built from the algorithm table, filled to 80 columns.
    const std::string usage = cli::UsageText();
    EXPECT_NE(usage.find("  -a, --algorithms LIST  comma-separated algorithms, any case, or all (md5 to\n"
                         "                         edonkey); default md5,sha1,ripemd160,crc32. Names: md5\n"
                         "                         md4 sha1 sha256 sha384 sha512 ripemd160 panama tiger\n"
                         "                         md2 adler32 crc32 edonkey sha3-256 sha3-512 blake2b\n"
                         "  -t, --text STRING      hash the bytes of STRING\n"),
              std::string::npos)
        << usage;
    EXPECT_NE(usage.find("  -k, --hmac KEY         keyed digests (HMAC) under the bytes of KEY; md2,\n"
                         "                         adler32, crc32 and edonkey are then not computed, and\n"
                         "                         -a blake2b is refused\n"
                         "      --hmac-hex HEXKEY"),
              std::string::npos)
        << usage;
}
