// The file pass allocates its read buffer (in parallel the ring and threads) once for the
// calculator, never per file, block or read; a list of files allocates nothing per file. Its own
// program, because it replaces the global operator new to count.
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <cstdlib>
#include <new>
#ifdef _WIN32
#include <malloc.h>
#endif

#include "engine/digest_calculator.h"
#include "engine/file_pass.h"
#include "temp_dir.h"
#include "test_support.h"

namespace {
std::atomic<size_t> allocations{0};
}  // namespace

#if defined(__GNUC__) && !defined(__clang__)
// GCC takes the free below for a mismatch with the very operator new it pairs with.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

// The nothrow forms call this one; the array forms are replaced below, as a sanitizer's runtime
// would otherwise take them.
void* operator new(std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* memory = std::malloc(size != 0 ? size : 1)) {
        return memory;
    }
    throw std::bad_alloc();
}
void operator delete(void* memory) noexcept {
    std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
    ::operator delete(memory);
}

// The pass's buffers are aligned to a page, which takes these forms.
void* operator new(std::size_t size, std::align_val_t alignment) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    void* memory = nullptr;
#ifdef _WIN32
    memory = _aligned_malloc(size != 0 ? size : 1, size_t(alignment));
#else
    if (posix_memalign(&memory, size_t(alignment), size != 0 ? size : 1) != 0) {
        memory = nullptr;
    }
#endif
    if (memory == nullptr) {
        throw std::bad_alloc();
    }
    return memory;
}
void operator delete(void* memory, std::align_val_t) noexcept {
#ifdef _WIN32
    _aligned_free(memory);
#else
    std::free(memory);
#endif
}
void operator delete(void* memory, std::size_t, std::align_val_t alignment) noexcept {
    ::operator delete(memory, alignment);
}

void* operator new[](std::size_t size) {
    return ::operator new(size);
}
void* operator new[](std::size_t size, std::align_val_t alignment) {
    return ::operator new(size, alignment);
}
void operator delete[](void* memory) noexcept {
    ::operator delete(memory);
}
void operator delete[](void* memory, std::size_t) noexcept {
    ::operator delete(memory);
}
void operator delete[](void* memory, std::align_val_t alignment) noexcept {
    ::operator delete(memory, alignment);
}
void operator delete[](void* memory, std::size_t, std::align_val_t alignment) noexcept {
    ::operator delete(memory, alignment);
}

using namespace engine;

namespace {

const std::vector<int> kSelected = {hashlib::AlgorithmMd5, hashlib::AlgorithmSha1, hashlib::AlgorithmCrc32};

void CreateObjects(ObjectTable& objects) {
    for (int id : kSelected) {
        objects[id] = hashlib::CreateDigestObject(id);
    }
}

size_t AllocationsToFeed(DigestCalculator& calculator, const ObjectTable& objects, const std::string& path) {
    const size_t before = allocations.load();
    EXPECT_EQ(calculator.FeedFile(objects, path), ResultSuccess);
    return allocations.load() - before;
}

// Feeds a list of files, each through the objects of its slot, made beforehand.
class FileFeeds final : public JobList {
  public:
    FileFeeds() {
        for (ObjectTable& objects : objects_) {
            CreateObjects(objects);
        }
    }
    void Reset(const std::vector<std::string>& paths) {
        paths_ = &paths;
        next_ = 0;
        fed_ = 0;
    }
    bool Next(size_t slot) override {
        if (next_ == paths_->size()) {
            return false;
        }
        files_[slot] = next_++;
        return true;
    }
    void Work(size_t slot, DigestCalculator& calculator) override {
        results_[slot] = calculator.FeedFile(objects_[slot], (*paths_)[files_[slot]]);
        uint8_t digest[64];
        for (int id : kSelected) {
            objects_[slot][id]->Final(digest);  // and ready for the next file
        }
    }
    bool Done(size_t slot) override {
        EXPECT_EQ(results_[slot], ResultSuccess);
        ++fed_;
        return true;
    }
    size_t fed() const { return fed_; }

  private:
    std::array<ObjectTable, JobSlots> objects_;
    std::array<size_t, JobSlots> files_{};
    std::array<ResultCode, JobSlots> results_{};
    const std::vector<std::string>* paths_ = nullptr;
    size_t next_ = 0;
    size_t fed_ = 0;
};

}  // namespace

// The first pass makes the buffer (and in parallel the ring and the threads); every later one,
// over a short file or a long one, allocates nothing.
TEST(FilePassAllocations, OnlyTheFirstPassAllocates) {
    TempDir dir;
    SeededRandom random;
    const std::vector<uint8_t> bytes = random.Bytes(size_t(8) * FilePieceBlocks * FileBlockSize);
    const std::string short_file =
        dir.Write("short", std::string(bytes.begin(), bytes.begin() + 3 * FileBlockSize));
    const std::string long_file = dir.Write("long_", std::string(bytes.begin(), bytes.end()));

    ObjectTable objects;
    CreateObjects(objects);
    // 0: eight pieces of the usual size; 1: a read per block, 256 of them.
    for (uint32_t piece_blocks : {0u, 1u}) {
        for (bool parallel : {false, true}) {
            SCOPED_TRACE(std::string(parallel ? "parallel" : "serial") + ", pieces of " +
                         std::to_string(piece_blocks) + " blocks");
            DigestCalculator calculator;
            calculator.SetParallelFeeding(parallel);
            calculator.SetPieceBlocks(piece_blocks);
            const size_t first = AllocationsToFeed(calculator, objects, short_file);
            EXPECT_GE(first, 1u) << "the pass's buffer went uncounted";
            // The pass, its buffer or ring, and its threads (each with a state and room in a list).
            EXPECT_LE(first, parallel ? 4 + 3 * kSelected.size() : 3u) << "more than the pass's own";
            for (const std::string* path : {&long_file, &short_file, &long_file}) {
                EXPECT_EQ(AllocationsToFeed(calculator, objects, *path), 0u);
            }
        }
    }
}

// A list of many files costs no more allocations than a list of two, in turn or at once, with a
// file large enough to be read alone in each: nothing is made per file.
TEST(FilePassAllocations, AListOfManyFilesCostsNoMoreThanAShortOne) {
    TempDir dir;
    SeededRandom random;
    std::vector<std::string> many;
    for (int i = 0; i < 40; ++i) {
        const size_t size = i == 7 ? 200 * FileBlockSize : random.Below(3 * FileBlockSize);
        many.push_back(dir.Write(std::to_string(i) + ".bin", std::string(size, char('a' + i % 26))));
    }
    const std::vector<std::string> two = {many[7], many[8]};
    for (bool at_once : {false, true}) {
        SCOPED_TRACE(at_once ? "files at once" : "in turn");
        FileFeeds feeds;
        DigestCalculator calculator;
        calculator.SetParallelFeeding(true);
        calculator.SetParallelFiles(at_once ? ParallelFiles::Always : ParallelFiles::Off);
        calculator.SetPieceBlocks(1);  // the large file is read alone at 128 pieces
        feeds.Reset(many);
        ASSERT_EQ(calculator.RunJobs(feeds), ResultSuccess);  // makes the buffers and threads
        ASSERT_EQ(feeds.fed(), many.size());

        std::array<size_t, 2> cost{};
        for (size_t round = 0; round < 2; ++round) {
            feeds.Reset(round == 0 ? two : many);
            const size_t before = allocations.load();
            ASSERT_EQ(calculator.RunJobs(feeds), ResultSuccess);
            cost[round] = allocations.load() - before;
        }
        EXPECT_EQ(cost[1], cost[0]);
        EXPECT_LE(cost[0], 1u) << "at most the list's stop source";
    }
}
