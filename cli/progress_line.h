// The progress line orvendal-cli shows on a terminal for a long input.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

#include "engine/engine.h"
#include "platform.h"

namespace cli {

// A progress line on a terminal's standard error for an input, or a list of them, that takes
// more than about a second; erased before results are written, so it never mixes with them.
class ProgressLine final : public engine::ProgressCallback {
  public:
    explicit ProgressLine(bool enabled) : enabled_(enabled) {}

    // Before the input or the list.
    void Start() {
        start_ = Clock::now();
        shown_width_ = 0;
    }

    // One input: MB read, percent, MB/s.
    void Progress(uint64_t done, uint64_t total) override {
        double seconds = 0;
        if (!Due(seconds)) {
            return;
        }
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
        Show(line, width);
    }

    // A list: inputs done, MB read, MB/s.
    void ListProgress(uint64_t inputs_done, uint64_t bytes_done) override {
        double seconds = 0;
        if (!Due(seconds)) {
            return;
        }
        const double megabytes = double(bytes_done) / 1e6;
        char line[96];
        const int width =
            std::snprintf(line, sizeof line, "\r%10llu files %10.1f MB %8.1f MB/s",
                          static_cast<unsigned long long>(inputs_done), megabytes, megabytes / seconds);
        Show(line, width);
    }

    // Erases the line (until the next progress).
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

    // Whether to show progress now: a second after the start, then five times a second at most.
    bool Due(double& seconds) {
        if (!enabled_) {
            return false;
        }
        const auto now = Clock::now();
        if (now - start_ < std::chrono::seconds(1) ||
            (shown_width_ > 0 && now - last_shown_ < std::chrono::milliseconds(200))) {
            return false;
        }
        last_shown_ = now;
        seconds = std::chrono::duration<double>(now - start_).count();
        return true;
    }

    void Show(const char* line, int width) {
        if (width > 0) {
            WriteError(line);
            shown_width_ = std::max<size_t>(shown_width_, size_t(width));
        }
    }

    bool enabled_;
    Clock::time_point start_;
    Clock::time_point last_shown_;
    size_t shown_width_ = 0;
};

}  // namespace cli
