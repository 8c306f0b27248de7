// The block loop. The input is read in pieces of many blocks, which takes far fewer system calls
// than a read per block, and each piece is cut back into FileBlockSize blocks, so every object
// sees exactly the calls of a loop that reads one block at a time: the full blocks, then the
// remainder, which is a zero-length block when the input is a whole number of blocks. A piece is
// filled until it is full or the input ends, so a short read of the system never ends the loop.
//
// Serially, each block goes to every object in slot order before the next block, two of them in
// one pass where the library can interleave their compressions (MD5 and RIPEMD-160). In parallel,
// the calling thread reads pieces into a small ring and every object is fed on a thread of its
// own; a slot is refilled only once every object is done with it. Each object then sees the same
// calls in the same order as serially, so the digests are the same; only the interleaving
// between objects differs, and the reading overlaps the hashing. A pass of checksums alone runs
// serially even when parallel feeding is asked for (WorthFeedingInParallel).
//
// A stop is looked at once per piece, before the piece is read, and once more at the end, so a
// stop asked for at any time before the pass returns gives ResultStopped. In parallel the stop
// also abandons the ring at once, which wakes a reader waiting for a free slot and ends every
// feeder before its next piece.
//
// The read buffer, the ring and the feeding threads are kept by FilePass from one pass to the
// next: a fresh buffer costs a mapping of the system and a page fault for every page the first
// read touches, which for a small file is many times the cost of reading it, and a thread start
// costs about as much again.
#include "file_pass.h"

#include <algorithm>
#include <array>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <new>
#include <stop_token>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "byte_source.h"

namespace engine {
namespace {

// Pieces in the parallel ring (4 MiB): while the slowest object works on one, the faster ones
// and the reader may run up to fifteen pieces ahead, which rides out the scheduler handing the
// cores to other threads and processes for a few milliseconds, and the threads need waking only
// every eight pieces (below).
constexpr size_t kRingSlots = 16;

// Serial progress is reported every this many blocks (128 KiB): often enough for a smooth
// display, rare enough to cost nothing measurable. In parallel, once per piece.
constexpr uint64_t kProgressInterval = 16;

// Pieces start on a page boundary (piece sizes are whole pages): the system copies into a
// destination that is not 64-byte aligned several times slower, and that copy is most of the
// cost of reading a file that is in the cache.
constexpr std::align_val_t kPieceAlignment{4096};
static_assert(FileBlockSize % size_t(kPieceAlignment) == 0, "every piece must start aligned");

struct AlignedDelete {
    void operator()(uint8_t* memory) const { ::operator delete[](memory, kPieceAlignment); }
};
using PieceMemory = std::unique_ptr<uint8_t[], AlignedDelete>;

PieceMemory AllocatePieces(size_t size) {
    return PieceMemory(static_cast<uint8_t*>(::operator new[](size, kPieceAlignment)));
}

enum class PieceEnd : uint8_t {
    More,    // the piece is full; the input may go on
    Last,    // the input ended inside this piece (or exactly at its start)
    Failed,  // a read failed; the piece holds what arrived before it
};

// Fills `piece` up to `capacity` bytes or the end of the input; `filled` counts the bytes that
// arrived, also when a read fails.
PieceEnd Fill(ByteSource& source, uint8_t* piece, uint32_t capacity, uint32_t& filled) {
    filled = 0;
    while (filled < capacity) {
        uint32_t got = 0;
        if (!source.ReadSome(piece + filled, capacity - filled, got)) {
            return PieceEnd::Failed;
        }
        if (got == 0) {
            return PieceEnd::Last;
        }
        filled += got;
    }
    return PieceEnd::More;
}

uint32_t PieceSize(const FilePassSettings& settings) {
    return (settings.piece_blocks != 0 ? settings.piece_blocks : FilePieceBlocks) * FileBlockSize;
}

// The blocks of one piece: every full block, then in the last piece the remainder (possibly
// empty). A failed piece gives only the blocks read whole before the failure, as a loop reading
// block by block would have fed.
template <typename Feed>
void ForEachBlock(const uint8_t* piece, uint32_t filled, PieceEnd end, Feed&& feed) {
    uint32_t at = 0;
    for (; filled - at >= FileBlockSize; at += FileBlockSize) {
        feed(piece + at, FileBlockSize);
    }
    if (end == PieceEnd::Last) {
        feed(piece + at, filled - at);
    }
}

ResultCode ResultOf(PieceEnd end) {
    return end == PieceEnd::Failed ? ResultUnreadable : ResultSuccess;
}

// The slots of the first two objects that the library can update in one pass, or none (-1).
std::pair<int, int> PairUpdatedTogether(const ObjectTable& objects) {
    for (size_t i = 0; i < objects.size(); ++i) {
        for (size_t j = i + 1; objects[i] && j < objects.size(); ++j) {
            if (objects[j] && hashlib::CanUpdateTogether(*objects[i], *objects[j])) {
                return {int(i), int(j)};
            }
        }
    }
    return {-1, -1};
}

// Memory for pieces, kept while it is large enough.
class KeptMemory {
  public:
    uint8_t* Get(size_t size) {
        if (size > size_) {
            memory_.reset();  // the old one goes first: the peak stays one buffer
            memory_ = AllocatePieces(size);
            size_ = size;
        }
        return memory_.get();
    }

  private:
    PieceMemory memory_;
    size_t size_ = 0;
};

ResultCode SerialPass(ByteSource& source, const ObjectTable& objects, const FilePassSettings& settings,
                      KeptMemory& memory) {
    const uint32_t piece_size = PieceSize(settings);
    uint8_t* const piece = memory.Get(piece_size);
    // Plain variables, not a structured binding: the block lambda below captures them.
    const std::pair<int, int> pair = PairUpdatedTogether(objects);
    const int together = pair.first;
    const int partner = pair.second;
    uint64_t done = 0;
    uint64_t blocks = 0;
    for (;;) {
        if (settings.stop.stop_requested()) {
            return ResultStopped;
        }
        uint32_t filled = 0;
        const PieceEnd end = Fill(source, piece, piece_size, filled);
        ForEachBlock(piece, filled, end, [&](const uint8_t* block, uint32_t length) {
            for (int slot = 0; slot < int(objects.size()); ++slot) {
                if (slot == together) {
                    hashlib::UpdateTogether(*objects[slot], *objects[partner], block, length);
                } else if (objects[slot] && slot != partner) {
                    objects[slot]->Update(block, length);
                }
            }
            done += length;
            ++blocks;
            if (settings.progress != nullptr && blocks % kProgressInterval == 0) {
                settings.progress->Progress(done, source.Size());
            }
        });
        if (end != PieceEnd::More) {
            return ResultOf(end);
        }
    }
}

// The hand-off between the reading thread and the feeding threads: piece n lives in slot
// n % kRingSlots, and the slot is refilled only when every feeder has released piece n. Every
// feeder takes the pieces in order, so they are freed in order too.
//
// Each blocking wait may cost a system call (under Wine a call to its server), so the threads
// are woken a half ring at a time: the reader, once the ring is full, waits until half of it is
// free; feeders that have caught up with the reader hear of new pieces every half ring, before
// the reader waits, and at the last piece.
class PieceRing {
  public:
    // Empties the ring for a pass of pieces of `piece_size` bytes, each read by `feeders`
    // feeders. No thread may be using the ring.
    void Reset(uint32_t piece_size, int feeders) {
        storage_ = memory_.Get(size_t(piece_size) * kRingSlots);
        piece_size_ = piece_size;
        feeders_ = feeders;
        slots_ = {};
        published_ = 0;
        announced_ = 0;
        freed_ = 0;
        reader_wants_ = UINT64_MAX;
        abandoned_ = false;
    }

    // Reader: waits until the slot of the next piece is free, and returns it; null once the
    // pass has been abandoned.
    uint8_t* NextToFill() {
        std::unique_lock<std::mutex> lock(mutex_);
        if (!abandoned_ && published_ >= freed_ + kRingSlots) {
            Announce();
            reader_wants_ = published_ - kRingSlots + kHalfRing + 1;
            released_.wait(lock, [&] { return abandoned_ || freed_ >= reader_wants_; });
            reader_wants_ = UINT64_MAX;
        }
        return abandoned_ ? nullptr : storage_ + size_t(published_ % kRingSlots) * piece_size_;
    }

    // Reader: hands the piece just filled to every feeder.
    void Publish(uint32_t filled, PieceEnd end) {
        std::lock_guard<std::mutex> lock(mutex_);
        Slot& slot = slots_[published_ % kRingSlots];
        slot.filled = filled;
        slot.end = end;
        slot.users = feeders_;
        ++published_;
        if (end != PieceEnd::More || published_ - announced_ >= kHalfRing) {
            Announce();
        }
    }

    // Feeder: waits for piece `index`; false when the pass has been abandoned.
    bool Take(uint64_t index, const uint8_t*& piece, uint32_t& filled, PieceEnd& end) {
        std::unique_lock<std::mutex> lock(mutex_);
        published_cv_.wait(lock, [&] { return abandoned_ || published_ > index; });
        if (abandoned_) {
            return false;
        }
        const Slot& slot = slots_[index % kRingSlots];
        piece = storage_ + size_t(index % kRingSlots) * piece_size_;
        filled = slot.filled;
        end = slot.end;
        return true;
    }

    // Feeder: done with piece `index`.
    void Release(uint64_t index) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (--slots_[index % kRingSlots].users == 0 && ++freed_ == reader_wants_) {
            released_.notify_one();  // only the reader waits for a free slot
        }
    }

    // Stops every feeder at its next wait, and the reader at its next wait for a free slot.
    // Any thread may call it.
    void Abandon() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            abandoned_ = true;
        }
        published_cv_.notify_all();
        released_.notify_one();
    }

  private:
    static constexpr uint64_t kHalfRing = kRingSlots / 2;

    struct Slot {
        uint32_t filled = 0;
        PieceEnd end = PieceEnd::More;
        int users = 0;  // feeders yet to release the piece in this slot
    };

    // With the lock held: wakes the feeders waiting for a piece published since the last call.
    void Announce() {
        if (announced_ != published_) {
            announced_ = published_;
            published_cv_.notify_all();
        }
    }

    std::mutex mutex_;
    std::condition_variable published_cv_;  // feeders wait here for the next piece
    std::condition_variable released_;      // the reader waits here for free slots
    KeptMemory memory_;
    uint8_t* storage_ = nullptr;  // kRingSlots pieces
    std::array<Slot, kRingSlots> slots_{};
    uint32_t piece_size_ = 0;
    int feeders_ = 0;
    uint64_t published_ = 0;              // pieces handed over so far
    uint64_t announced_ = 0;              // pieces the waiting feeders have been told of
    uint64_t freed_ = 0;                  // pieces every feeder has released
    uint64_t reader_wants_ = UINT64_MAX;  // while the reader waits: the freed count it waits for
    bool abandoned_ = false;
};

void FeedFromRing(PieceRing& ring, hashlib::DigestObject& object) {
    for (uint64_t index = 0;; ++index) {
        const uint8_t* piece = nullptr;
        uint32_t filled = 0;
        PieceEnd end = PieceEnd::More;
        if (!ring.Take(index, piece, filled, end)) {
            return;
        }
        ForEachBlock(piece, filled, end,
                     [&](const uint8_t* block, uint32_t length) { object.Update(block, length); });
        ring.Release(index);
        if (end != PieceEnd::More) {
            return;
        }
    }
}

// The feeding threads, kept from one pass to the next: each waits for a pass, feeds its object
// from the ring until the last piece (or the ring's abandonment), says so and waits again.
class FeedingThreads {
  public:
    explicit FeedingThreads(PieceRing& ring) : ring_(ring) {}
    ~FeedingThreads() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            closing_ = true;
        }
        begun_.notify_all();
        for (auto& thread : threads_) {
            thread.join();
        }
    }
    FeedingThreads(const FeedingThreads&) = delete;
    FeedingThreads& operator=(const FeedingThreads&) = delete;

    // Every object fed from the ring on a thread of its own, the threads started the first time
    // so many are needed. False when the system refuses a thread: then nothing is fed.
    bool Begin(const ObjectTable& objects) {
        std::lock_guard<std::mutex> lock(mutex_);
        size_t count = 0;
        for (const auto& object : objects) {
            if (object) {
                objects_[count++] = object.get();
            }
        }
        try {
            while (threads_.size() < count) {
                threads_.emplace_back(&FeedingThreads::Feed, this, threads_.size(), generation_);
            }
        } catch (const std::system_error&) {
            return false;  // those started wait for a later pass
        }
        assigned_ = count;
        finished_ = 0;
        ++generation_;
        begun_.notify_all();
        return true;
    }

    // Until every thread of the pass is done with the ring.
    void Wait() {
        std::unique_lock<std::mutex> lock(mutex_);
        ended_.wait(lock, [&] { return finished_ == assigned_; });
    }

  private:
    void Feed(size_t index, uint64_t seen) {
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            begun_.wait(lock, [&] { return closing_ || generation_ != seen; });
            if (closing_) {
                return;
            }
            seen = generation_;
            if (index >= assigned_) {
                continue;  // this pass has fewer objects
            }
            hashlib::DigestObject& object = *objects_[index];
            lock.unlock();
            FeedFromRing(ring_, object);
            lock.lock();
            if (++finished_ == assigned_) {
                ended_.notify_one();  // only the reader waits
            }
        }
    }

    PieceRing& ring_;
    std::mutex mutex_;
    std::condition_variable begun_;  // threads wait here for a pass
    std::condition_variable ended_;  // the reader waits here for the threads to finish
    std::vector<std::thread> threads_;
    std::array<hashlib::DigestObject*, hashlib::AlgorithmCount> objects_{};
    size_t assigned_ = 0;  // threads feeding in this pass: the first ones
    size_t finished_ = 0;
    uint64_t generation_ = 0;  // passes begun
    bool closing_ = false;
};

// A parallel pass that leaves early (a stop, an exception from the progress callback) abandons
// the ring; either way its threads are done with it when the pass returns.
class PassInFlight {
  public:
    PassInFlight(PieceRing& ring, FeedingThreads& threads) : ring_(ring), threads_(threads) {}
    ~PassInFlight() {
        if (!ended_) {
            ring_.Abandon();
        }
        threads_.Wait();
    }
    PassInFlight(const PassInFlight&) = delete;
    PassInFlight& operator=(const PassInFlight&) = delete;
    void Ended() { ended_ = true; }

  private:
    PieceRing& ring_;
    FeedingThreads& threads_;
    bool ended_ = false;
};

ResultCode ParallelPass(ByteSource& source, const ObjectTable& objects, const FilePassSettings& settings,
                        PieceRing& ring, FeedingThreads& threads, KeptMemory& serial_memory) {
    if (settings.stop.stop_requested()) {
        return ResultStopped;  // before any thread is woken
    }
    const int count =
        int(std::count_if(objects.begin(), objects.end(), [](const auto& o) { return bool(o); }));
    const uint32_t piece_size = PieceSize(settings);
    ring.Reset(piece_size, count);
    if (!threads.Begin(objects)) {
        return SerialPass(source, objects, settings, serial_memory);  // nothing has been read yet
    }
    PassInFlight in_flight(ring, threads);
    // Declared after the pass in flight, so it is gone before the threads are waited for.
    const std::stop_callback abandon_on_stop(settings.stop, [&ring] { ring.Abandon(); });
    uint64_t done = 0;
    for (;;) {
        uint8_t* piece = settings.stop.stop_requested() ? nullptr : ring.NextToFill();
        if (piece == nullptr) {
            return ResultStopped;  // the threads are stopped and waited for on the way out
        }
        uint32_t filled = 0;
        const PieceEnd end = Fill(source, piece, piece_size, filled);
        ring.Publish(filled, end);
        if (end != PieceEnd::More) {
            in_flight.Ended();
            return ResultOf(end);
        }
        done += filled;
        if (settings.progress != nullptr) {
            settings.progress->Progress(done, source.Size());
        }
    }
}

// The checksums (CRC-32, Adler-32) hash a piece several times faster than the system copies it
// out of the page cache, and a piece handed to another core is copied into memory that core
// must then fetch: alone, they are faster fed on the reading thread.
constexpr uint16_t kCheapestCost = 1;

bool WorthFeedingInParallel(const ObjectTable& objects) {
    for (size_t slot = 0; slot < objects.size(); ++slot) {
        if (objects[slot] && hashlib::Algorithms[slot].relative_cost > kCheapestCost) {
            return true;
        }
    }
    return false;
}

}  // namespace

struct FilePass::Kept {
    KeptMemory serial;
    PieceRing ring;
    std::unique_ptr<FeedingThreads> threads;  // made by the first parallel pass
};

FilePass::FilePass() : kept_(std::make_unique<Kept>()) {}

FilePass::~FilePass() = default;

ResultCode FilePass::Run(ByteSource& source, const ObjectTable& objects, const FilePassSettings& settings) {
    ResultCode result;
    if (settings.parallel && WorthFeedingInParallel(objects)) {
        if (!kept_->threads) {
            kept_->threads = std::make_unique<FeedingThreads>(kept_->ring);
        }
        result = ParallelPass(source, objects, settings, kept_->ring, *kept_->threads, kept_->serial);
    } else {
        result = SerialPass(source, objects, settings, kept_->serial);
    }
    // A stop that came with the last piece may have kept a feeder from it; and whoever asked
    // for the stop wants none of this pass's results, complete or not.
    return settings.stop.stop_requested() ? ResultStopped : result;
}

ResultCode RunFilePass(ByteSource& source, const ObjectTable& objects, const FilePassSettings& settings) {
    return FilePass().Run(source, objects, settings);
}

}  // namespace engine
