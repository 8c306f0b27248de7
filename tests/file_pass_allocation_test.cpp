// The file pass allocates per pass (its read buffer, the ring and threads in parallel), never per
// block or per read: a long file costs as many allocations as a short one. Its own program,
// because it replaces the global operator new to count.
#include <gtest/gtest.h>

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

size_t AllocationsToFeed(DigestCalculator& calculator, const ObjectTable& objects, const std::string& path) {
    const size_t before = allocations.load();
    EXPECT_EQ(calculator.FeedFile(objects, path), ResultSuccess);
    return allocations.load() - before;
}

}  // namespace

TEST(FilePassAllocations, ALongFileCostsNoMoreAllocationsThanAShortOne) {
    TempDir dir;
    SeededRandom random;
    const std::vector<uint8_t> bytes = random.Bytes(size_t(8) * FilePieceBlocks * FileBlockSize);
    const std::string short_file =
        dir.Write("short", std::string(bytes.begin(), bytes.begin() + 3 * FileBlockSize));
    const std::string long_file = dir.Write("long_", std::string(bytes.begin(), bytes.end()));

    ObjectTable objects;
    const std::vector<int> selected = {hashlib::AlgorithmMd5, hashlib::AlgorithmSha1,
                                       hashlib::AlgorithmCrc32};
    for (int id : selected) {
        objects[id] = hashlib::CreateDigestObject(id);
    }
    // 0: eight pieces of the usual size; 1: a read per block, 256 of them.
    for (uint32_t piece_blocks : {0u, 1u}) {
        for (bool parallel : {false, true}) {
            SCOPED_TRACE(std::string(parallel ? "parallel" : "serial") + ", pieces of " +
                         std::to_string(piece_blocks) + " blocks");
            DigestCalculator calculator;
            calculator.SetParallelFeeding(parallel);
            calculator.SetPieceBlocks(piece_blocks);
            const size_t for_short = AllocationsToFeed(calculator, objects, short_file);
            const size_t for_long = AllocationsToFeed(calculator, objects, long_file);
            EXPECT_GE(for_short, 1u) << "the pass's buffer went uncounted";
            EXPECT_EQ(for_long, for_short);
            EXPECT_LE(for_long, parallel ? 2 + 2 * selected.size() : 2u) << "more than a buffer and threads";
        }
    }
}
