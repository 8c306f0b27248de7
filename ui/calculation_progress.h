// How far a calculation in the background has come, as the dialog shows it: a counter the
// calculation's thread writes and the dialog's thread reads, and the arithmetic and words of the
// progress bar and the status text. Plain C++, so it is tested natively.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "engine/engine.h"

namespace ui {

// The progress bar's range: 0 to ProgressRange. Fine enough that a bar of any width moves
// smoothly, small enough for every progress bar and taskbar button.
inline constexpr int ProgressRange = 10000;

// The bytes read of the input and its size, as the file pass reports them. Written on the
// calculation's thread, read on the dialog's; each number is read whole, the pair need not be.
class ProgressCounter final : public engine::ProgressCallback {
  public:
    void Progress(uint64_t done, uint64_t total) override {
        total_.store(total, std::memory_order_relaxed);
        done_.store(done, std::memory_order_relaxed);
    }
    uint64_t done() const { return done_.load(std::memory_order_relaxed); }
    uint64_t total() const { return total_.load(std::memory_order_relaxed); }

  private:
    std::atomic<uint64_t> done_{0};
    std::atomic<uint64_t> total_{0};
};

// `done` of `total` bytes on the progress bar's scale, rounded down: exact for any size a file
// can have, ProgressRange only once everything has been read, 0 when the size is unknown (0).
int ProgressPosition(uint64_t done, uint64_t total);

// What the dialog shows of a calculation while it runs.
struct ProgressView {
    int position = 0;   // of ProgressRange
    std::wstring text;  // "37%  812 MB/s  剩余 4 秒"
    bool operator==(const ProgressView&) const = default;
};

// The view after `seconds` with `done` of `total` bytes read, `shown` being the position shown
// before (the bar and its percentage never go back, even when a growing file's size does). The
// percentage is the position's, rounded down; the speed is the average so far in MB/s (10^6
// bytes), the time left what that speed needs for the rest, rounded up. Without a known size
// the text gives the megabytes read and the speed; before anything has been read, nothing.
ProgressView ViewProgress(uint64_t done, uint64_t total, double seconds, int shown);

}  // namespace ui
