// The driver: the block sequence the objects see, result codes of both file reader backends,
// the reader's seams (short reads, read failures), progress, and the 13 result texts.
#include "engine/digest_calculator.h"

#include <gtest/gtest.h>

#include <thread>

#include "engine/calculate_command.h"
#include "engine/hmac_object.h"
#include "engine/platform/platform.h"
#include "engine_support.h"
#include "temp_dir.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace engine;

namespace {

std::string Hex(hashlib::DigestObject& object, const std::string& bytes) {
    object.Update(bytes.data(), uint32_t(bytes.size()));
    return HexDigestOf(object);
}

}  // namespace

TEST(FeedFile, EveryBlockReachesEveryObjectAndAnExactMultipleEndsEmpty) {
    TempDir dir;
    SeededRandom random;
    DigestCalculator calculator;
    for (size_t size : {0, 1, 8191, 8192, 8193, 3 * 8192}) {
        SCOPED_TRACE("size " + std::to_string(size));
        const std::string content = RandomString(random, size);
        const std::string path = dir.Write(std::to_string(size) + ".bin", content);
        Recorders r({0, 12}, true);
        ASSERT_EQ(calculator.FeedFile(r.table, path), ResultSuccess);
        ExpectEveryObjectFed(r, content, false);
    }
}

TEST(FeedFile, ShortReadsDoNotEndTheFileEarly) {
    TempDir dir;
    SeededRandom random;
    const std::string content = RandomString(random, 3 * 8192 + 100);
    const std::string path = dir.Write("f", content);
    for (uint32_t cap : {1000u, 3000u, 8191u}) {
        SCOPED_TRACE("reads of at most " + std::to_string(cap));
        CalculatorUnderTest test({UINT64_MAX, cap}, 0, false);
        Recorders r({0, 12}, true);
        ASSERT_EQ(test.calculator.FeedFile(r.table, path), ResultSuccess);
        ExpectEveryObjectFed(r, content, false);
    }
}

TEST(FeedFile, AReadFailureGivesTwoAfterTheBlocksReadSoFar) {
    TempDir dir;
    SeededRandom random;
    const std::string path = dir.Write("f", RandomString(random, 3 * 8192));
    for (uint64_t good_blocks : {0, 2}) {
        CalculatorUnderTest test({good_blocks * FileBlockSize}, 0, false);
        Recorders r({0, 12}, true);
        EXPECT_EQ(test.calculator.FeedFile(r.table, path), ResultUnreadable);
        EXPECT_EQ(r.objects[0]->lengths, std::vector<uint32_t>(good_blocks, FileBlockSize));

        std::vector<std::string> results;
        EXPECT_EQ(test.calculator.Calculate(InputFile, path, false, KeyText, "", AllTicked(), results),
                  ResultUnreadable);
        EXPECT_TRUE(results.empty());
    }
}

// The command over a read that fails on the first, a middle or the last (short) block: the
// unreadable-file refusal on the data and not one result, serially and in parallel. A fault
// placed after the last block is never reached and changes nothing.
TEST(Calculate, AReadFailureAnywhereInTheFileRefusesAsUnreadableWithoutResults) {
    TempDir dir;
    SeededRandom random;
    const uint64_t blocks = 6;  // five full blocks and a short one
    CalculationRequest values;
    values.input_value = dir.Write("f", RandomString(random, (blocks - 1) * FileBlockSize + 100));
    values.selection = AllTicked();
    DigestCalculator plain;
    const CommandOutcome expected = RunCalculateCommand(values, plain);
    ASSERT_TRUE(expected.succeeded());

    for (const bool parallel : {false, true}) {
        for (const uint64_t good_blocks : {uint64_t(0), blocks / 2, blocks - 1, blocks}) {
            SCOPED_TRACE("fails after " + std::to_string(good_blocks) + " blocks" +
                         (parallel ? ", parallel" : ""));
            CalculatorUnderTest test({good_blocks * FileBlockSize}, 0, parallel);
            const CommandOutcome outcome = RunCalculateCommand(values, test.calculator);
            if (good_blocks == blocks) {
                EXPECT_TRUE(outcome.succeeded());
                EXPECT_EQ(outcome.results, expected.results);
                continue;
            }
            EXPECT_EQ(outcome.refusal, Refusal::FileUnreadable);
            EXPECT_EQ(outcome.field, Field::Data);
            EXPECT_EQ(outcome.results, ResultTexts{});
        }
    }
}

TEST(FeedFile, MissingPathsGiveOneAndOtherFailuresTwo) {
    TempDir dir;
    const std::string file = dir.Write("file", "x");
    DigestCalculator calculator;
    Recorders r;
    EXPECT_EQ(calculator.FeedFile(r.table, dir.Path("missing")), ResultNotFound);
    EXPECT_EQ(calculator.FeedFile(r.table, dir.Path("no-such-directory/file")), ResultNotFound);
    EXPECT_EQ(calculator.FeedFile(r.table, Utf8FromPath(PathFromUtf8(file) / "child")), ResultNotFound)
        << "a path through a file names nothing that exists";
    std::filesystem::create_directory(PathFromUtf8(dir.Path("directory")));
    EXPECT_EQ(calculator.FeedFile(r.table, dir.Path("directory")), ResultUnreadable);
    for (const RecordingObject* object : r.objects) {
        EXPECT_TRUE(object->lengths.empty());
    }
}

TEST(FeedFile, ProgressEveryFewBlocksWithTheFileSize) {
    struct Recorder : ProgressCallback {
        std::vector<std::pair<uint64_t, uint64_t>> calls;
        void Progress(uint64_t done, uint64_t total) override { calls.emplace_back(done, total); }
    } recorder;
    TempDir dir;
    SeededRandom random;
    const size_t size = 40 * 8192 + 5;
    const std::string path = dir.Write("f", RandomString(random, size));
    DigestCalculator calculator;
    calculator.SetProgressCallback(&recorder);
    Recorders r;
    ASSERT_EQ(calculator.FeedFile(r.table, path), ResultSuccess);
    ASSERT_GE(recorder.calls.size(), 2u);
    EXPECT_LE(recorder.calls.size(), 10u) << "reported too often to be cheap";
    uint64_t previous = 0;
    for (const auto& [done, total] : recorder.calls) {
        EXPECT_EQ(total, size);
        EXPECT_GT(done, previous);
        EXPECT_EQ(done % FileBlockSize, 0u);
        previous = done;
    }
}

#ifndef _WIN32
// A pipe hands out what has been written so far: real short reads from the system.
TEST(FeedFile, APipeIsReadToItsEnd) {
    TempDir dir;
    const std::string path = dir.Path("fifo");
    ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    SeededRandom random;
    const std::string content = RandomString(random, 20000);
    signal(SIGPIPE, SIG_IGN);  // a reader that stops early fails the writes, not the process
    std::thread writer([&] {
        const int fd = open(path.c_str(), O_WRONLY);
        for (size_t at = 0; at < content.size(); at += 5000) {
            EXPECT_EQ(write(fd, content.data() + at, 5000), 5000);
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        close(fd);
    });
    DigestCalculator calculator;
    Recorders r({0, 12}, true);
    const int32_t result = calculator.FeedFile(r.table, path);
    writer.join();
    ASSERT_EQ(result, ResultSuccess);
    ExpectEveryObjectFed(r, content, false);
}
#endif

#ifdef _WIN32
TEST(FeedFile, AFileHeldForWritingWithoutReadSharingGivesTwo) {
    TempDir dir;
    const std::string path = dir.Write("locked", "data");
    const HANDLE writer = CreateFileW(PathFromUtf8(path).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    DigestCalculator calculator;
    Recorders r;
    EXPECT_EQ(calculator.FeedFile(r.table, path), ResultUnreadable);
    CloseHandle(writer);
    EXPECT_EQ(calculator.FeedFile(r.table, path), ResultSuccess);
}

TEST(FeedFile, ANameOutsideTheSystemCodePageIsFound) {
    ASSERT_EQ(GetACP(), 936u) << "the tests expect the Chinese code page (LANG=zh_CN.UTF-8)";
    const std::string name =
        "\xe0\xb8\x97\xe0\xb8\x94\xe0\xb8\xaa\xe0\xb8\xad\xe0\xb8\x9a-\xe0\xa4\xa8.bin";  // Thai, Devanagari
    const std::wstring wide = PathFromUtf8(name).wstring();
    BOOL lossy = FALSE;
    WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, nullptr, 0, nullptr, &lossy);
    ASSERT_TRUE(lossy) << "the name must not be expressible in code page 936";

    TempDir dir;
    SeededRandom random;
    const std::string content = RandomString(random, 10000);
    const std::string path = dir.Write(name, content);
    std::vector<std::string> results;
    Selection md5{};
    md5[hashlib::AlgorithmMd5] = 1;
    ASSERT_EQ(DigestCalculator().Calculate(InputFile, path, false, KeyText, "", md5, results), ResultSuccess);
    EXPECT_EQ(results[hashlib::AlgorithmMd5],
              Hex(*hashlib::CreateDigestObject(hashlib::AlgorithmMd5), content));
}
#endif

// The count follows the affinity the process is given, so a process held to one core feeds its
// objects in turn.
TEST(UsableCoreCount, OneWhenTheProcessIsHeldToOneCore) {
#ifdef _WIN32
    DWORD_PTR process = 0;
    DWORD_PTR system = 0;
    ASSERT_TRUE(GetProcessAffinityMask(GetCurrentProcess(), &process, &system));
    ASSERT_TRUE(SetProcessAffinityMask(GetCurrentProcess(), process & (~process + 1)));
    EXPECT_EQ(UsableCoreCount(), 1u);
    SetProcessAffinityMask(GetCurrentProcess(), process);
#elif defined(__linux__)
    cpu_set_t before;
    ASSERT_EQ(sched_getaffinity(0, sizeof before, &before), 0);
    cpu_set_t one;
    CPU_ZERO(&one);
    for (int core = 0; CPU_COUNT(&one) == 0; ++core) {
        if (CPU_ISSET(core, &before)) {
            CPU_SET(core, &one);
        }
    }
    ASSERT_EQ(sched_setaffinity(0, sizeof one, &one), 0);
    EXPECT_EQ(UsableCoreCount(), 1u);
    sched_setaffinity(0, sizeof before, &before);
#endif
    EXPECT_GE(UsableCoreCount(), 1u);
}

TEST(Calculate, ThirteenTextsInIdentifierOrderEmptyWhereUnticked) {
    Selection selection = AllTicked();
    selection[hashlib::AlgorithmSha1] = 0;
    selection[hashlib::AlgorithmCrc32] = 0;
    std::vector<std::string> results;
    ASSERT_EQ(DigestCalculator().Calculate(InputText, "abc", false, KeyText, "", selection, results),
              ResultSuccess);
    ASSERT_EQ(results.size(), size_t(hashlib::AlgorithmCount));
    for (int id = 0; id < hashlib::AlgorithmCount; ++id) {
        auto object = hashlib::CreateDigestObject(id);
        const bool expected = selection[id] && object;
        EXPECT_EQ(results[id], expected ? Hex(*object, "abc") : "") << hashlib::Algorithms[id].display_name;
    }
}

TEST(Calculate, HmacComputesOnlyTheBlockAlgorithms) {
    const std::string key = "\x0b\x0b\x0b";
    std::vector<std::string> text_key, hex_key;
    DigestCalculator calculator;
    ASSERT_EQ(calculator.Calculate(InputText, "", true, KeyText, key, AllTicked(), text_key), ResultSuccess);
    ASSERT_EQ(calculator.Calculate(InputText, "", true, KeyHex, "0b0b0B", AllTicked(), hex_key),
              ResultSuccess);
    ASSERT_EQ(text_key.size(), size_t(hashlib::AlgorithmCount));
    EXPECT_EQ(text_key, hex_key);
    for (int id = 0; id < hashlib::AlgorithmCount; ++id) {
        auto object = CreateHmacObject(id, reinterpret_cast<const uint8_t*>(key.data()), 3);
        EXPECT_EQ(text_key[id], object ? Hex(*object, "") : "") << hashlib::Algorithms[id].display_name;
    }
}

TEST(Calculate, HexAndTextOfTheSameBytesAgreeAndEmptyInputIsTheEmptyMessage) {
    DigestCalculator calculator;
    std::vector<std::string> hex, text, empty_hex, empty_text;
    ASSERT_EQ(calculator.Calculate(InputHex, "616263", false, KeyText, "", AllTicked(), hex), ResultSuccess);
    ASSERT_EQ(calculator.Calculate(InputText, "abc", false, KeyText, "", AllTicked(), text), ResultSuccess);
    EXPECT_EQ(hex, text);
    ASSERT_EQ(calculator.Calculate(InputHex, "", false, KeyText, "", AllTicked(), empty_hex), ResultSuccess);
    ASSERT_EQ(calculator.Calculate(InputText, "", false, KeyText, "", AllTicked(), empty_text),
              ResultSuccess);
    EXPECT_EQ(empty_hex, empty_text);
    for (int id = 0; id < hashlib::AlgorithmCount; ++id) {
        EXPECT_EQ(empty_text[id], HexDigestOf(*hashlib::CreateDigestObject(id)));
    }
}

TEST(Calculate, RequestsItCannotServeAreRefusedWithoutResults) {
    DigestCalculator calculator;
    std::vector<std::string> results;
    EXPECT_EQ(calculator.Calculate(7, "abc", false, KeyText, "", AllTicked(), results), ResultBadRequest);
    EXPECT_EQ(calculator.Calculate(InputHex, "6", false, KeyText, "", AllTicked(), results),
              ResultBadRequest);
    EXPECT_EQ(calculator.Calculate(InputText, "", true, KeyHex, "zz", AllTicked(), results),
              ResultBadRequest);
    EXPECT_EQ(calculator.Calculate(InputText, "", true, 5, "", AllTicked(), results), ResultBadRequest);
    EXPECT_EQ(calculator.Calculate(InputFile, "", false, KeyText, "", AllTicked(), results), ResultNotFound);
    EXPECT_TRUE(results.empty());
}
