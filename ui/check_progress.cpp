#include "ui/check_progress.h"

#include <cstdio>

namespace ui {
namespace {

std::string Megabytes(uint64_t bytes) {
    char text[32];
    std::snprintf(text, sizeof(text), "%.1f MB", double(bytes) / 1048576.0);
    return text;
}

std::string Duration(uint64_t seconds) {
    char text[32];
    if (seconds >= 3600) {
        std::snprintf(text, sizeof(text), "%llu:%02llu:%02llu", (unsigned long long)(seconds / 3600),
                      (unsigned long long)(seconds / 60 % 60), (unsigned long long)(seconds % 60));
    } else {
        std::snprintf(text, sizeof(text), "%llu:%02llu", (unsigned long long)(seconds / 60),
                      (unsigned long long)(seconds % 60));
    }
    return text;
}

}  // namespace

std::string CheckProgressText(uint64_t done, uint64_t total, uint64_t elapsed_ms) {
    std::string text = Megabytes(done) + " / " + Megabytes(total);
    if (elapsed_ms == 0 || done == 0) {
        return text;
    }
    const double per_second = double(done) * 1000.0 / double(elapsed_ms);
    text += "，" + Megabytes(uint64_t(per_second)) + "/s";
    if (total > done) {
        // Rounded up: "0:00" only once nothing is left.
        const double left = double(total - done) / per_second;
        text += "，剩余 " + Duration(uint64_t(left) + 1);
    }
    return text;
}

int ProgressPermille(uint64_t done, uint64_t total) {
    if (total == 0) {
        return 0;
    }
    if (done >= total) {
        return 1000;
    }
    return int(double(done) * 1000.0 / double(total));
}

}  // namespace ui
