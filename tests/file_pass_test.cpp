// The file pass with reads of many blocks, serial and parallel: whatever the piece size, the
// system's short reads or a failing read, every object sees the calls of a loop reading one block
// at a time; in parallel each object is fed on one thread of its own, and the digests do not
// change.
#include "engine/file_pass.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <stop_token>
#include <thread>

#include "engine/calculate_command.h"
#include "engine/digest_calculator.h"
#include "engine_support.h"
#include "temp_dir.h"

using namespace engine;

namespace {

std::string Mode(bool parallel) {
    return parallel ? "parallel" : "serial";
}

}  // namespace

TEST(FilePass, BlocksAreTheSameWhateverThePieceSizeAndEitherWay) {
    TempDir dir;
    SeededRandom random;
    SCOPED_TRACE("seed " + std::to_string(random.seed));
    const size_t piece = size_t(FilePieceBlocks) * FileBlockSize;
    std::vector<size_t> sizes = {0,
                                 1,
                                 8191,
                                 8192,
                                 8193,
                                 piece - 1,
                                 piece,
                                 piece + 1,
                                 piece + 8192,
                                 2 * piece - 8192,
                                 2 * piece,
                                 2 * piece + 8191,
                                 5 * piece + 3,
                                 9 * piece};
    for (int i = 0; i < 6; ++i) {
        sizes.push_back(random.Below(uint32_t(6 * piece)));
    }
    for (size_t size : sizes) {
        const std::string content = RandomString(random, size);
        const std::string path = dir.Write("f", content);
        // 0: the usual piece; 1: a piece per block; 3: pieces that are no power of two.
        for (uint32_t piece_blocks : {0u, 1u, 3u}) {
            for (bool parallel : {false, true}) {
                SCOPED_TRACE("size " + std::to_string(size) + ", pieces of " + std::to_string(piece_blocks) +
                             " blocks, " + Mode(parallel));
                CalculatorUnderTest test({}, piece_blocks, parallel);
                Recorders r;
                ASSERT_EQ(test.calculator.FeedFile(r.table, path), ResultSuccess);
                ExpectEveryObjectFed(r, content, parallel);
            }
        }
    }
}

// Reads capped below, at and across block and piece boundaries.
TEST(FilePass, ShortReadsOfTheSystemNeverEndAPieceEarly) {
    TempDir dir;
    SeededRandom random;
    const std::string content = RandomString(random, 7 * 8192 + 300);
    const std::string path = dir.Write("f", content);
    for (uint32_t cap : {1u, 1000u, 8191u, 8193u, 3u * 8192u, 20000u}) {
        for (uint32_t piece_blocks : {0u, 2u}) {
            for (bool parallel : {false, true}) {
                SCOPED_TRACE("reads of at most " + std::to_string(cap) + ", pieces of " +
                             std::to_string(piece_blocks) + " blocks, " + Mode(parallel));
                CalculatorUnderTest test({UINT64_MAX, cap}, piece_blocks, parallel);
                Recorders r;
                ASSERT_EQ(test.calculator.FeedFile(r.table, path), ResultSuccess);
                ExpectEveryObjectFed(r, content, parallel);
            }
        }
    }
}

// A failing read at the start, inside and at the edges of a piece: every object has absorbed
// exactly the blocks read whole before it, and the calculation gives 2 and no digest.
TEST(FilePass, AReadFailingPartWayFeedsTheBlocksBeforeItAndGivesTwo) {
    TempDir dir;
    SeededRandom random;
    const uint64_t file_blocks = 3 * FilePieceBlocks + 5;
    const std::string content = RandomString(random, file_blocks * FileBlockSize - 7);
    const std::string path = dir.Write("f", content);
    const uint64_t piece = FilePieceBlocks;
    for (uint64_t good :
         {uint64_t(0), uint64_t(1), piece - 1, piece, piece + 1, 2 * piece + 7, file_blocks - 1}) {
        for (uint32_t cap : {0u, 5000u}) {
            for (bool parallel : {false, true}) {
                SCOPED_TRACE("fails after " + std::to_string(good) + " blocks, reads of at most " +
                             std::to_string(cap) + ", " + Mode(parallel));
                CalculatorUnderTest test({good * FileBlockSize, cap}, 0, parallel);
                Recorders r;
                EXPECT_EQ(test.calculator.FeedFile(r.table, path), ResultUnreadable);
                for (const RecordingObject* object : r.objects) {
                    EXPECT_EQ(object->lengths, std::vector<uint32_t>(good, FileBlockSize));
                    EXPECT_TRUE(object->bytes == content.substr(0, object->bytes.size()));
                }
                std::vector<std::string> results{"left over"};
                EXPECT_EQ(
                    test.calculator.Calculate(InputFile, path, true, KeyText, "k", AllTicked(), results),
                    ResultUnreadable);
                EXPECT_TRUE(results.empty());
            }
        }
    }
}

// Every algorithm, plain and keyed, over many sizes and piece sizes: the parallel digests equal
// the serial ones and those of the whole content fed in one call.
TEST(FilePass, ParallelDigestsEqualSerialOnes) {
    TempDir dir;
    SeededRandom random;
    SCOPED_TRACE("seed " + std::to_string(random.seed));
    DigestCalculator serial;
    // MD2 is slow: sizes stay under two pieces, and small pieces give many trips round the ring.
    for (int i = 0; i < 10; ++i) {
        const size_t size =
            i < 3 ? size_t(i) * 4 * FileBlockSize : random.Below(2 * FilePieceBlocks * FileBlockSize);
        const std::string content = RandomString(random, size);
        const std::string path = dir.Write("f", content);
        const uint32_t piece_blocks = i % 3 == 0 ? 0u : 1u + random.Below(5);
        for (bool hmac : {false, true}) {
            SCOPED_TRACE("size " + std::to_string(size) + ", pieces of " + std::to_string(piece_blocks) +
                         (hmac ? " blocks, HMAC" : " blocks"));
            std::vector<std::string> expected, serial_results, parallel_results;
            ASSERT_EQ(serial.Calculate(InputText, content, hmac, KeyText, "key", AllTicked(), expected),
                      ResultSuccess);
            ASSERT_EQ(serial.Calculate(InputFile, path, hmac, KeyText, "key", AllTicked(), serial_results),
                      ResultSuccess);
            CalculatorUnderTest parallel({}, piece_blocks, true);
            ASSERT_EQ(parallel.calculator.Calculate(InputFile, path, hmac, KeyText, "key", AllTicked(),
                                                    parallel_results),
                      ResultSuccess);
            EXPECT_EQ(serial_results, expected);
            EXPECT_EQ(parallel_results, expected);
        }
    }
}

TEST(FilePass, ParallelProgressComesOnTheCallingThreadPerPiece) {
    struct Recorder : ProgressCallback {
        std::vector<std::pair<uint64_t, uint64_t>> calls;
        bool on_caller = true;
        void Progress(uint64_t done, uint64_t total) override {
            on_caller = on_caller && std::this_thread::get_id() == caller;
            calls.emplace_back(done, total);
        }
        std::thread::id caller = std::this_thread::get_id();
    } recorder;
    TempDir dir;
    SeededRandom random;
    const size_t size = 5 * FilePieceBlocks * FileBlockSize + 5;
    const std::string path = dir.Write("f", RandomString(random, size));
    DigestCalculator calculator;
    calculator.SetParallelFeeding(true);
    calculator.SetProgressCallback(&recorder);
    Recorders r;
    ASSERT_EQ(calculator.FeedFile(r.table, path), ResultSuccess);
    EXPECT_TRUE(recorder.on_caller);
    ASSERT_EQ(recorder.calls.size(), 5u);
    for (size_t i = 0; i < recorder.calls.size(); ++i) {
        EXPECT_EQ(recorder.calls[i],
                  std::make_pair(uint64_t(i + 1) * FilePieceBlocks * FileBlockSize, uint64_t(size)));
    }
}

// An exception from the progress callback leaves FeedFile with every feeding thread stopped.
TEST(FilePass, AnExceptionInTheCallbackStopsTheFeedingThreads) {
    struct Thrower : ProgressCallback {
        void Progress(uint64_t, uint64_t) override { throw std::runtime_error("stop"); }
    } thrower;
    TempDir dir;
    SeededRandom random;
    const std::string path = dir.Write("f", RandomString(random, 40 * FileBlockSize));
    CalculatorUnderTest test({}, 1, true);
    test.calculator.SetProgressCallback(&thrower);
    Recorders r;
    EXPECT_THROW(test.calculator.FeedFile(r.table, path), std::runtime_error);
    for (const RecordingObject* object : r.objects) {
        EXPECT_LE(object->lengths.size(), size_t(1)) << "fed past the piece before the throw";
    }
}

// Any byte source is read the same way: memory handed out in short reads, and a source that
// fails part-way, serially and in parallel.
TEST(FilePass, AnyByteSourceIsReadTheSameWay) {
    SeededRandom random;
    const std::string content = RandomString(random, 5 * FileBlockSize + 9);
    for (bool parallel : {false, true}) {
        SCOPED_TRACE(Mode(parallel));
        DigestCalculator calculator;
        calculator.SetParallelFeeding(parallel);
        MemorySource memory(content, 3000);
        Recorders r;
        ASSERT_EQ(calculator.FeedSource(r.table, memory), ResultSuccess);
        ExpectEveryObjectFed(r, content, parallel);

        MemorySource whole(content);
        FaultySource failing(whole, {2 * FileBlockSize + 1});
        Recorders partial;
        EXPECT_EQ(calculator.FeedSource(partial.table, failing), ResultUnreadable);
        for (const RecordingObject* object : partial.objects) {
            EXPECT_EQ(object->lengths, std::vector<uint32_t>(2, FileBlockSize));
        }
    }
}

// Every piece is read into page-aligned memory, serially and in every slot of the ring: the
// system's copy into the buffer is most of the cost of reading a cached file, and slower into
// memory that is not aligned.
TEST(FilePass, EveryPieceIsReadIntoPageAlignedMemory) {
    // Where each read that starts a piece was asked to write; the memory hands out whole reads.
    class PieceStarts final : public ByteSource {
      public:
        PieceStarts(const std::string& bytes, uint32_t piece_size)
            : memory_(bytes), piece_size_(piece_size) {}
        bool ReadSome(uint8_t* buffer, uint32_t capacity, uint32_t& got) override {
            if (offset_ % piece_size_ == 0) {
                addresses.push_back(reinterpret_cast<uintptr_t>(buffer));
            }
            const bool read = memory_.ReadSome(buffer, capacity, got);
            offset_ += got;
            return read;
        }
        uint64_t Size() const override { return memory_.Size(); }
        std::vector<uintptr_t> addresses;

      private:
        MemorySource memory_;
        uint32_t piece_size_;
        uint64_t offset_ = 0;
    };
    SeededRandom random;
    const std::string content = RandomString(random, 20 * FileBlockSize + 100);
    for (uint32_t piece_blocks : {0u, 1u, 3u}) {
        for (bool parallel : {false, true}) {
            SCOPED_TRACE("pieces of " + std::to_string(piece_blocks) + " blocks, " + Mode(parallel));
            const uint32_t piece_size = (piece_blocks != 0 ? piece_blocks : FilePieceBlocks) * FileBlockSize;
            PieceStarts source(content, piece_size);
            DigestCalculator calculator;
            calculator.SetParallelFeeding(parallel);
            calculator.SetPieceBlocks(piece_blocks);
            Recorders r;
            ASSERT_EQ(calculator.FeedSource(r.table, source), ResultSuccess);
            EXPECT_EQ(source.addresses.size(), content.size() / piece_size + 1);
            for (const uintptr_t address : source.addresses) {
                EXPECT_EQ(address % 4096, 0u);
            }
        }
    }
}

TEST(FilePass, AnEmptyTableStillReadsTheFile) {
    TempDir dir;
    SeededRandom random;
    const std::string path = dir.Write("f", RandomString(random, 3 * FileBlockSize));
    ObjectTable empty;
    for (bool parallel : {false, true}) {
        DigestCalculator calculator;
        calculator.SetParallelFeeding(parallel);
        EXPECT_EQ(calculator.FeedFile(empty, path), ResultSuccess);
        CalculatorUnderTest failing({FileBlockSize}, 0, parallel);
        EXPECT_EQ(failing.calculator.FeedFile(empty, path), ResultUnreadable);
    }
}

// A stop asked for from another thread while the pass is inside a read: the pass reads no
// further than the piece it is in, every feeding thread ends, no object is finalised, and the
// answer is ResultStopped, never a read failure; serially and in parallel, with pieces of the
// usual size and of one block.
TEST(FilePass, AStopFromAnotherThreadEndsThePassWithinOnePiece) {
    SeededRandom random;
    for (uint32_t piece_blocks : {0u, 1u}) {
        const uint64_t piece = uint64_t(piece_blocks != 0 ? piece_blocks : FilePieceBlocks) * FileBlockSize;
        const std::string content = RandomString(random, size_t(20 * piece + 100));
        const uint64_t hold = 3 * piece + 5000;
        const uint64_t piece_end = (hold / piece + 1) * piece;
        for (bool parallel : {false, true}) {
            SCOPED_TRACE("pieces of " + std::to_string(piece) + " bytes, " + Mode(parallel));
            HeldSource source(content, hold);
            std::stop_source stop;
            DigestCalculator calculator;
            calculator.SetParallelFeeding(parallel);
            calculator.SetPieceBlocks(piece_blocks);
            calculator.SetStopToken(stop.get_token());
            Recorders r;
            ResultCode result = ResultSuccess;
            std::thread pass([&] { result = calculator.FeedSource(r.table, source); });
            const bool held = source.WaitUntilHeld();
            stop.request_stop();
            source.Release();
            pass.join();
            ASSERT_TRUE(held);
            EXPECT_EQ(result, ResultStopped);
            EXPECT_GE(source.Offset(), hold);
            EXPECT_LE(source.Offset(), piece_end) << "read on past the piece it was in";
            for (const RecordingObject* object : r.objects) {
                EXPECT_FALSE(object->finalised);
                EXPECT_LE(object->bytes.size(), piece_end);
                EXPECT_TRUE(object->bytes == content.substr(0, object->bytes.size()));
                EXPECT_EQ(object->lengths, std::vector<uint32_t>(object->lengths.size(), FileBlockSize));
            }
        }
    }
}

// In parallel a stop also reaches threads that wait: here one object holds the first piece, so
// the reader has filled the ring and waits for a free slot while the other feeders wait for a
// new piece. The stop wakes them all: nothing more is read, and the held feeder ends after the
// piece it holds instead of working through the ring first.
TEST(FilePass, AStopWakesAParallelPassWaitingForItsSlowestObject) {
    // Update blocks on its first call until the test lets it go on.
    class HeldObject final : public hashlib::DigestObject {
      public:
        void Update(const void*, uint32_t length) override {
            std::unique_lock<std::mutex> lock(mutex_);
            if (!entered_) {
                entered_ = true;
                changed_.notify_all();
                changed_.wait(lock, [&] { return released_; });
            }
            fed += length;
        }
        void Final(uint8_t*) override {}
        void HexDigest(char* text) override { text[0] = '\0'; }
        int32_t DigestSize() const override { return 0; }
        void WaitUntilEntered() {
            std::unique_lock<std::mutex> lock(mutex_);
            changed_.wait(lock, [&] { return entered_; });
        }
        void Release() {
            std::lock_guard<std::mutex> lock(mutex_);
            released_ = true;
            changed_.notify_all();
        }
        uint64_t fed = 0;

      private:
        std::mutex mutex_;
        std::condition_variable changed_;
        bool entered_ = false;
        bool released_ = false;
    };
    SeededRandom random;
    const uint64_t piece = 2 * FileBlockSize;
    const uint64_t ring = 16 * piece;
    HeldSource source(RandomString(random, size_t(3 * ring)), UINT64_MAX);
    Recorders r({4});
    auto held = std::make_unique<HeldObject>();
    HeldObject& slow = *held;
    r.table[0] = std::move(held);
    std::stop_source stop;
    DigestCalculator calculator;
    calculator.SetParallelFeeding(true);
    calculator.SetPieceBlocks(2);
    calculator.SetStopToken(stop.get_token());
    ResultCode result = ResultSuccess;
    std::thread pass([&] { result = calculator.FeedSource(r.table, source); });
    slow.WaitUntilEntered();
    const bool ring_filled = source.WaitUntilRead(ring);
    stop.request_stop();
    slow.Release();
    pass.join();
    ASSERT_TRUE(ring_filled);
    EXPECT_EQ(result, ResultStopped);
    EXPECT_EQ(source.Offset(), ring) << "read on after the stop";
    EXPECT_EQ(slow.fed, piece) << "the held feeder went on through the ring";
    EXPECT_LE(r.objects[0]->bytes.size(), ring);
}

// Stopped before it starts, a file is not read at all, and the command answers Stopped with no
// field and no results; text and hex are fed in one call and finish regardless.
TEST(FilePass, AStoppedTokenStopsFilesButNotTextOrHex) {
    TempDir dir;
    SeededRandom random;
    const std::string content = RandomString(random, 3 * FileBlockSize);
    std::stop_source stop;
    stop.request_stop();
    for (bool parallel : {false, true}) {
        SCOPED_TRACE(Mode(parallel));
        HeldSource source(content, UINT64_MAX);
        DigestCalculator calculator;
        calculator.SetParallelFeeding(parallel);
        calculator.SetStopToken(stop.get_token());
        Recorders r;
        EXPECT_EQ(calculator.FeedSource(r.table, source), ResultStopped);
        EXPECT_EQ(source.Offset(), 0u);

        CalculationRequest request;
        request.input_value = dir.Write("f", content);
        request.selection = AllTicked();
        const CommandOutcome file = RunCalculateCommand(request, calculator);
        EXPECT_EQ(file.refusal, Refusal::Stopped);
        EXPECT_EQ(file.field, Field::None);
        EXPECT_EQ(file.results, ResultTexts{});
        std::vector<std::string> results{"left over"};
        EXPECT_EQ(
            calculator.Calculate(InputFile, request.input_value, false, KeyText, "", AllTicked(), results),
            ResultStopped);
        EXPECT_TRUE(results.empty());

        request.input_kind = InputText;
        request.input_value = content;
        const CommandOutcome text = RunCalculateCommand(request, calculator);
        EXPECT_TRUE(text.succeeded());
        request.input_kind = InputHex;
        request.input_value = "00ff";
        EXPECT_TRUE(RunCalculateCommand(request, calculator).succeeded());
    }
}
