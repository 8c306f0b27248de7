#include "engine_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

using namespace engine;

void RecordingObject::Update(const void* data, uint32_t length) {
    const std::thread::id caller = std::this_thread::get_id();
    if (lengths.empty()) {
        thread = caller;
    }
    one_thread = one_thread && caller == thread;
    if (call_order_ != nullptr) {
        call_order_->push_back(slot_);
    }
    bytes.append(static_cast<const char*>(data), length);
    lengths.push_back(length);
}

Recorders::Recorders(std::initializer_list<int> slot_list, bool log_order) : slots(slot_list) {
    for (int slot : slots) {
        auto object = std::make_unique<RecordingObject>(slot, log_order ? &call_order : nullptr);
        objects.push_back(object.get());
        table[size_t(slot)] = std::move(object);
    }
}

std::string RandomString(SeededRandom& random, size_t count) {
    const std::vector<uint8_t> bytes = random.Bytes(count);
    return std::string(bytes.begin(), bytes.end());
}

std::vector<uint32_t> ExpectedBlocks(size_t size) {
    std::vector<uint32_t> blocks(size / FileBlockSize, FileBlockSize);
    blocks.push_back(uint32_t(size % FileBlockSize));
    return blocks;
}

void ExpectEveryObjectFed(const Recorders& r, const std::string& content, bool parallel) {
    std::vector<std::thread::id> threads;
    for (const RecordingObject* object : r.objects) {
        EXPECT_EQ(object->lengths, ExpectedBlocks(content.size()));
        EXPECT_TRUE(object->bytes == content) << "an object saw other bytes than the input's";
        EXPECT_TRUE(object->one_thread) << "an object was fed from more than one thread";
        EXPECT_EQ(object->thread == std::this_thread::get_id(), !parallel);
        threads.push_back(object->thread);
    }
    if (parallel) {
        std::sort(threads.begin(), threads.end());
        EXPECT_EQ(std::unique(threads.begin(), threads.end()), threads.end())
            << "two objects shared a thread";
    }
    for (size_t i = 0; i < r.call_order.size(); ++i) {
        ASSERT_EQ(r.call_order[i], r.slots[i % r.slots.size()]) << "call " << i;
    }
}

Selection AllTicked() {
    Selection selection;
    selection.fill(1);
    return selection;
}

bool FaultySource::ReadSome(uint8_t* buffer, uint32_t capacity, uint32_t& got) {
    got = 0;
    if (offset_ >= faults_.fail_at) {
        return false;
    }
    uint32_t wanted = capacity;
    if (faults_.max_read != 0) {
        wanted = std::min(wanted, faults_.max_read);
    }
    wanted = uint32_t(std::min<uint64_t>(wanted, faults_.fail_at - offset_));
    if (!inner_.ReadSome(buffer, wanted, got)) {
        return false;
    }
    offset_ += got;
    return true;
}

CalculatorUnderTest::CalculatorUnderTest(const ReadFaults& faults, uint32_t piece_blocks, bool parallel)
    : inputs(faults) {
    calculator.SetSourceFilter(&inputs);
    calculator.SetPieceBlocks(piece_blocks);
    calculator.SetParallelFeeding(parallel);
}

bool MemorySource::ReadSome(uint8_t* buffer, uint32_t capacity, uint32_t& got) {
    size_t count = std::min(size_t(capacity), bytes_.size() - offset_);
    if (max_read_ != 0) {
        count = std::min(count, size_t(max_read_));
    }
    std::memcpy(buffer, bytes_.data() + offset_, count);
    offset_ += count;
    got = uint32_t(count);
    return true;
}

bool HeldSource::ReadSome(uint8_t* buffer, uint32_t capacity, uint32_t& got) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (offset_ == hold_at_ && !released_) {
        held_ = true;
        changed_.notify_all();
        changed_.wait(lock, [&] { return released_; });
    }
    if (offset_ < hold_at_) {
        capacity = uint32_t(std::min<uint64_t>(capacity, hold_at_ - offset_));
    }
    const bool read = memory_.ReadSome(buffer, capacity, got);
    offset_ += got;
    ended_ = got == 0;
    changed_.notify_all();
    return read;
}

bool HeldSource::WaitUntilHeld() {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return held_ || ended_; });
    return held_;
}

bool HeldSource::WaitUntilRead(uint64_t offset) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return offset_ >= offset || ended_; });
    return offset_ >= offset;
}

void HeldSource::Release() {
    std::lock_guard<std::mutex> lock(mutex_);
    released_ = true;
    changed_.notify_all();
}

uint64_t HeldSource::Offset() {
    std::lock_guard<std::mutex> lock(mutex_);
    return offset_;
}
