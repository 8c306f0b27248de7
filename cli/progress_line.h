// The progress line orvendal-cli shows on a terminal for a long input.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

#include "engine/engine.h"
#include "platform.h"

namespace cli {

// A progress line on a terminal's standard error for an input that takes more than about a
// second; erased when the input ends, so it never mixes with the results.
class ProgressLine final : public engine::ProgressCallback {
  public:
    explicit ProgressLine(bool enabled) : enabled_(enabled) {}

    void Start() {
        start_ = Clock::now();
        shown_width_ = 0;
    }

    void Progress(uint64_t done, uint64_t total) override {
        if (!enabled_) {
            return;
        }
        const auto now = Clock::now();
        if (now - start_ < std::chrono::seconds(1) ||
            (shown_width_ > 0 && now - last_shown_ < std::chrono::milliseconds(200))) {
            return;
        }
        last_shown_ = now;
        const double seconds = std::chrono::duration<double>(now - start_).count();
        const double megabytes = double(done) / 1e6;
        char line[96];
        int width;
        if (total > 0) {
            const int percent = int(done >= total ? 100 : done * 100 / total);
            width = std::snprintf(line, sizeof line, "\r%10.1f MB %3d%% %8.1f MB/s", megabytes, percent,
                                  megabytes / seconds);
        } else {
            width =
                std::snprintf(line, sizeof line, "\r%10.1f MB %8.1f MB/s", megabytes, megabytes / seconds);
        }
        if (width > 0) {
            WriteError(line);
            shown_width_ = std::max<size_t>(shown_width_, size_t(width));
        }
    }

    void Finish() {
        if (shown_width_ > 0) {
            std::string blank(shown_width_ + 2, ' ');
            blank.front() = '\r';
            blank.back() = '\r';
            WriteError(blank);
            shown_width_ = 0;
        }
    }

  private:
    using Clock = std::chrono::steady_clock;
    bool enabled_;
    Clock::time_point start_;
    Clock::time_point last_shown_;
    size_t shown_width_ = 0;
};

}  // namespace cli
