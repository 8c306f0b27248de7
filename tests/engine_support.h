// Helpers shared by the engine's tests: objects that record what they are fed, the block
// sequence a file must arrive in, and byte sources that read from memory, read short or fail.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <initializer_list>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "engine/byte_source.h"
#include "engine/digest_calculator.h"
#include "engine/file_pass.h"
#include "test_support.h"

// Records its Update calls: their lengths and bytes, and the thread they came from. Objects fed
// on one thread may also log their slot to a shared list, to show the order between objects.
class RecordingObject final : public hashlib::DigestObject {
  public:
    RecordingObject(int slot, std::vector<int>* call_order) : slot_(slot), call_order_(call_order) {}
    void Update(const void* data, uint32_t length) override;
    void Final(uint8_t*) override { finalised = true; }
    void HexDigest(char* text) override {
        finalised = true;
        text[0] = '\0';
    }
    int32_t DigestSize() const override { return 0; }

    std::string bytes;
    std::vector<uint32_t> lengths;
    std::thread::id thread;
    bool one_thread = true;
    bool finalised = false;

  private:
    int slot_;
    std::vector<int>* call_order_;  // null: not logged
};

// Recording objects in a few slots, the others empty.
struct Recorders {
    // With `log_order` every call logs its slot to `call_order`, which only a serial pass may do.
    explicit Recorders(std::initializer_list<int> slots = {0, 4, 12}, bool log_order = false);
    engine::ObjectTable table;
    std::vector<int> slots;
    std::vector<RecordingObject*> objects;  // in slot order
    std::vector<int> call_order;
};

std::string RandomString(SeededRandom& random, size_t count);

// The block lengths an input of `size` bytes must arrive in: full blocks, then the rest, which is
// a zero-length block after a whole number of blocks.
std::vector<uint32_t> ExpectedBlocks(size_t size);

// Every object saw exactly `content` in those blocks; serially all on the calling thread (and, when
// logged, each block given to every object in slot order before the next), in parallel each on a
// thread of its own.
void ExpectEveryObjectFed(const Recorders& r, const std::string& content, bool parallel);

engine::Selection AllTicked();

// Faults placed by their offset in the input, so that they hit the same block whatever the
// size of the reads.
struct ReadFaults {
    uint64_t fail_at = UINT64_MAX;  // the read at this offset fails
    uint32_t max_read = 0;          // caps every read (0 = no cap), forcing short reads
};

// Reads another source with faults.
class FaultySource final : public engine::ByteSource {
  public:
    FaultySource(engine::ByteSource& inner, const ReadFaults& faults) : inner_(inner), faults_(faults) {}
    bool ReadSome(uint8_t* buffer, uint32_t capacity, uint32_t& got) override;
    uint64_t Size() const override { return inner_.Size(); }

  private:
    engine::ByteSource& inner_;
    ReadFaults faults_;
    uint64_t offset_ = 0;
};

// Reads every input a calculator opens through a FaultySource.
class FaultyInputs final : public engine::SourceFilter {
  public:
    explicit FaultyInputs(const ReadFaults& faults) : faults_(faults) {}
    engine::ByteSource& Filter(engine::ByteSource& opened) override {
        return source_.emplace(opened, faults_);
    }

  private:
    ReadFaults faults_;
    std::optional<FaultySource> source_;
};

// A calculator whose files and standard input are read with `faults`, in pieces of
// `piece_blocks` blocks (0 = the usual size).
struct CalculatorUnderTest {
    CalculatorUnderTest(const ReadFaults& faults, uint32_t piece_blocks, bool parallel);
    FaultyInputs inputs;
    engine::DigestCalculator calculator;
};

// Bytes in memory, handed out in reads of at most `max_read` bytes (0 = as asked).
class MemorySource final : public engine::ByteSource {
  public:
    explicit MemorySource(std::string bytes, uint32_t max_read = 0)
        : bytes_(std::move(bytes)), max_read_(max_read) {}
    bool ReadSome(uint8_t* buffer, uint32_t capacity, uint32_t& got) override;
    uint64_t Size() const override { return bytes_.size(); }

  private:
    std::string bytes_;
    uint32_t max_read_;
    size_t offset_ = 0;
};

// Bytes in memory whose reading stops at `hold_at` until the test lets it go on: the test knows
// the pass is inside a read there, asks for a stop, and then counts what was read after it.
// Reads never cross `hold_at`, so the bytes read before the hold are exactly those.
class HeldSource final : public engine::ByteSource {
  public:
    HeldSource(std::string bytes, uint64_t hold_at) : memory_(std::move(bytes)), hold_at_(hold_at) {}
    bool ReadSome(uint8_t* buffer, uint32_t capacity, uint32_t& got) override;
    uint64_t Size() const override { return memory_.Size(); }

    // Waits until a read has reached the hold (false if the input ended without reaching it).
    bool WaitUntilHeld();
    // Waits until at least `offset` bytes have been handed out (false if the input ended first).
    bool WaitUntilRead(uint64_t offset);
    void Release();
    // Bytes handed out so far.
    uint64_t Offset();

  private:
    MemorySource memory_;
    uint64_t hold_at_;
    std::mutex mutex_;
    std::condition_variable changed_;
    uint64_t offset_ = 0;
    bool held_ = false;
    bool released_ = false;
    bool ended_ = false;
};
