#include "ui/check_progress.h"

#include <cmath>
#include <cstdio>
#include <iterator>

namespace ui {
namespace {

// `bytes` in the unit that suits `scale`: bytes below 1 KiB, then KB, MB and GB (of 1024).
std::string Amount(uint64_t bytes, uint64_t scale) {
    static constexpr const char* Units[] = {"KB", "MB", "GB"};
    char text[48];
    if (scale < 1024) {
        std::snprintf(text, sizeof(text), "%llu B", (unsigned long long)bytes);
        return text;
    }
    double amount = double(bytes) / 1024.0;
    size_t unit = 0;
    for (uint64_t limit = uint64_t(1) << 20; unit + 1 < std::size(Units) && scale >= limit; limit <<= 10) {
        amount /= 1024.0;
        ++unit;
    }
    std::snprintf(text, sizeof(text), "%.1f %s", amount, Units[unit]);
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
    std::string text = Amount(done, total) + " / " + Amount(total, total);
    if (elapsed_ms == 0 || done == 0) {
        return text;
    }
    const double per_second = double(done) * 1000.0 / double(elapsed_ms);
    text += "，" + Amount(uint64_t(per_second), uint64_t(per_second)) + "/s";
    if (total > done) {
        // Rounded up: "0:00" only once nothing is left.
        const double left = double(total - done) / per_second;
        text += "，剩余 " + Duration(uint64_t(std::ceil(left)));
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
