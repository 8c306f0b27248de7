// The Calculate command: its checks in their order, the reason and field of every refusal, the
// cleaned values, and the driver's result codes turned into reasons.
#include "engine/calculate_command.h"

#include <gtest/gtest.h>

#include "temp_dir.h"
#include "test_support.h"

using namespace engine;

namespace {

CalculationRequest Values(InputKind kind, const std::string& value) {
    CalculationRequest values;
    values.input_kind = kind;
    values.input_value = value;
    values.selection[hashlib::AlgorithmMd5] = 1;
    return values;
}

CommandOutcome RunCommand(const CalculationRequest& values) {
    DigestCalculator calculator;
    return RunCalculateCommand(values, calculator);
}

void ExpectRefused(const CommandOutcome& outcome, Refusal refusal, Field field) {
    EXPECT_EQ(outcome.refusal, refusal);
    EXPECT_EQ(outcome.field, field);
    EXPECT_EQ(outcome.results, ResultTexts{});
}

// A path under a directory that does not exist: `count` copies of `character` after "missing/".
// Opening it fails at the first component whatever the file system's limit on a name.
std::string MissingPath(size_t count, const std::string& character = "a") {
    std::string path = "missing/";
    for (size_t i = 0; i < count; ++i) {
        path += character;
    }
    return path;
}

// 中: two bytes in code page 936, three in UTF-8.
const std::string kChinese = "\xe4\xb8\xad";

}  // namespace

TEST(CalculateCommand, EveryRefusalWithItsReasonAndField) {
    TempDir dir;
    std::filesystem::create_directory(PathFromUtf8(dir.Path("directory")));

    ExpectRefused(RunCommand(Values(InputFile, "")), Refusal::NoFile, Field::Data);
    ExpectRefused(RunCommand(Values(InputFile, " \t\r\n\v\f")), Refusal::NoFile, Field::Data);
    ExpectRefused(RunCommand(Values(InputFile, MissingPath(253))), Refusal::PathTooLong, Field::Data);
    ExpectRefused(RunCommand(Values(InputHex, "616")), Refusal::HexOddLength, Field::Data);
    ExpectRefused(RunCommand(Values(InputHex, "6g")), Refusal::HexIllegalCharacter, Field::Data);
    ExpectRefused(RunCommand(Values(InputHex, "6\t62")), Refusal::HexIllegalCharacter, Field::Data);

    CalculationRequest key = Values(InputText, "abc");
    key.hmac = true;
    key.key_kind = KeyHex;
    key.key_value = "0b0";
    ExpectRefused(RunCommand(key), Refusal::HexOddLength, Field::Key);
    key.key_value = "0b 0x";
    ExpectRefused(RunCommand(key), Refusal::HexIllegalCharacter, Field::Key);

    CalculationRequest none = Values(InputText, "abc");
    none.selection = {};
    ExpectRefused(RunCommand(none), Refusal::NoAlgorithm, Field::AlgorithmSelection);
    CalculationRequest checksums_only = Values(InputText, "abc");
    checksums_only.selection = {};
    for (const hashlib::AlgorithmInfo& info : hashlib::Algorithms) {
        checksums_only.selection[info.id] = info.keyable ? 0 : 1;
    }
    EXPECT_TRUE(RunCommand(checksums_only).succeeded());
    checksums_only.hmac = true;
    ExpectRefused(RunCommand(checksums_only), Refusal::NoAlgorithm, Field::AlgorithmSelection);

    ExpectRefused(RunCommand(Values(InputFile, dir.Path("missing"))), Refusal::FileNotFound, Field::Data);
    ExpectRefused(RunCommand(Values(InputFile, dir.Path("missing/file"))), Refusal::FileNotFound,
                  Field::Data);
    ExpectRefused(RunCommand(Values(InputFile, dir.Path("directory"))), Refusal::FileUnreadable, Field::Data);
    ExpectRefused(RunCommand(Values(InputKind(9), "abc")), Refusal::UnknownFailure, Field::None);
}

TEST(CalculateCommand, ChecksRunInTheirOrder) {
    CalculationRequest values = Values(InputFile, "");
    values.selection = {};
    EXPECT_EQ(RunCommand(values).refusal, Refusal::NoFile) << "the path before the algorithms";

    values = Values(InputHex, "abc");
    values.hmac = true;
    values.key_kind = KeyHex;
    values.key_value = "zz";
    values.selection = {};
    EXPECT_EQ(RunCommand(values).field, Field::Data) << "the data before the key";
    values.input_value = "ab";
    EXPECT_EQ(RunCommand(values).field, Field::Key) << "the key before the algorithms";
    values.key_value = "ab";
    EXPECT_EQ(RunCommand(values).refusal, Refusal::NoAlgorithm);

    values.hmac = false;  // the key is not looked at without HMAC
    values.key_value = "zz";
    values.selection[hashlib::AlgorithmMd5] = 1;
    EXPECT_TRUE(RunCommand(values).succeeded());
}

TEST(CalculateCommand, PathLengthCountsSystemCodePageBytes) {
    // 260 passes the check and reaches the driver (which finds no such file); 261 does not.
    ExpectRefused(RunCommand(Values(InputFile, MissingPath(252))), Refusal::FileNotFound, Field::Data);
    ExpectRefused(RunCommand(Values(InputFile, MissingPath(253) + "  ")), Refusal::PathTooLong, Field::Data);
    // 8 + 126 x 2 = 260 bytes in code page 936, but 8 + 126 x 3 in UTF-8.
    const std::string chinese = MissingPath(126, kChinese);
#ifdef _WIN32
    EXPECT_EQ(RunCommand(Values(InputFile, chinese)).refusal, Refusal::FileNotFound);
    EXPECT_EQ(RunCommand(Values(InputFile, MissingPath(127, kChinese))).refusal, Refusal::PathTooLong);
#else
    EXPECT_EQ(RunCommand(Values(InputFile, chinese)).refusal, Refusal::PathTooLong);
    EXPECT_EQ(RunCommand(Values(InputFile, MissingPath(84, kChinese))).refusal, Refusal::FileNotFound);
#endif
}

TEST(CalculateCommand, CleanedValuesComeBackWithTheResults) {
    TempDir dir;
    const std::string path = dir.Write("data", "abc");
    const CommandOutcome file = RunCommand(Values(InputFile, path + " \t\r\n"));
    ASSERT_TRUE(file.succeeded());
    EXPECT_EQ(file.request.input_value, path);

    const CommandOutcome hex = RunCommand(Values(InputHex, "61 62 63"));
    ASSERT_TRUE(hex.succeeded());
    EXPECT_EQ(hex.request.input_value, "616263");
    const CommandOutcome text = RunCommand(Values(InputText, "abc"));
    ASSERT_TRUE(text.succeeded());
    EXPECT_EQ(hex.results, text.results);
    EXPECT_EQ(file.results, text.results);
    EXPECT_NE(RunCommand(Values(InputText, " abc")).results, text.results) << "text is hashed as typed";

    CalculationRequest keyed = Values(InputText, "abc");
    keyed.hmac = true;
    keyed.key_kind = KeyHex;
    keyed.key_value = " 0b 0b 0b ";
    const CommandOutcome hex_key = RunCommand(keyed);
    ASSERT_TRUE(hex_key.succeeded());
    EXPECT_EQ(hex_key.request.key_value, "0b0b0b");
    keyed.key_kind = KeyText;
    keyed.key_value = "\x0b\x0b\x0b";
    EXPECT_EQ(RunCommand(keyed).results, hex_key.results);
}

TEST(CalculateCommand, CountSelectedAlgorithmsIgnoresTheUnkeyableUnderHmac) {
    Selection selection{};
    selection[hashlib::AlgorithmMd2] = 1;
    selection[hashlib::AlgorithmEdonkey] = 1;
    EXPECT_EQ(CountSelectedAlgorithms(false, selection), 2);
    EXPECT_EQ(CountSelectedAlgorithms(true, selection), 0);
    selection[hashlib::AlgorithmTiger] = 1;
    EXPECT_EQ(CountSelectedAlgorithms(true, selection), 1);
}

TEST(CalculateCommand, ParallelFeedingOnlyForTwoComputedAlgorithmsOnMoreThanOneCore) {
    CalculationRequest values = Values(InputFile, "f");
    EXPECT_FALSE(ParallelFeedingPays(values, 8)) << "one algorithm";
    values.selection[hashlib::AlgorithmCrc32] = 1;
    EXPECT_TRUE(ParallelFeedingPays(values, 2));
    EXPECT_FALSE(ParallelFeedingPays(values, 1));
    values.hmac = true;
    EXPECT_FALSE(ParallelFeedingPays(values, 8)) << "CRC-32 is not computed under HMAC";
    values.selection[hashlib::AlgorithmTiger] = 1;
    EXPECT_TRUE(ParallelFeedingPays(values, 2));
}
