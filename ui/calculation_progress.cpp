#include "ui/calculation_progress.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace ui {
namespace {

static_assert(ProgressRange == 10000, "ProgressPosition takes four decimal digits of the fraction");

// Megabytes (or megabytes per second) as a short number: one decimal below 10, whole above.
std::wstring ShortNumber(double value) {
    if (!(value >= 0)) {
        value = 0;
    }
    if (value < 9.95) {
        const auto tenths = int64_t(std::llround(value * 10));
        return std::to_wstring(tenths / 10) + L"." + std::to_wstring(tenths % 10);
    }
    return std::to_wstring(int64_t(std::llround(std::min(value, 1e15))));
}

// A time left in whole seconds: "4 秒", "2 分 5 秒", "3 小时 20 分".
std::wstring Duration(uint64_t seconds) {
    if (seconds < 60) {
        return std::to_wstring(seconds) + L" 秒";
    }
    if (seconds < 3600) {
        return std::to_wstring(seconds / 60) + L" 分 " + std::to_wstring(seconds % 60) + L" 秒";
    }
    return std::to_wstring(seconds / 3600) + L" 小时 " + std::to_wstring(seconds % 3600 / 60) + L" 分";
}

}  // namespace

int ProgressPosition(uint64_t done, uint64_t total) {
    if (total == 0) {
        return 0;
    }
    if (done >= total) {
        return ProgressRange;
    }
    // Long division, one decimal digit of done / total at a time, so nothing overflows. Only
    // sizes beyond an exabyte (no file has one) are halved first to leave room for the digit.
    uint64_t rest = done;
    while (total > std::numeric_limits<uint64_t>::max() / 10) {
        total >>= 1;
        rest >>= 1;
    }
    int position = 0;
    for (int digit = 0; digit < 4; ++digit) {
        rest *= 10;
        position = position * 10 + int(rest / total);
        rest %= total;
    }
    return std::min(position, ProgressRange - 1);  // not all read: never the full bar
}

ProgressView ViewProgress(uint64_t done, uint64_t total, double seconds, int shown) {
    ProgressView view;
    view.position = std::max(ProgressPosition(done, total), std::clamp(shown, 0, ProgressRange));
    const bool timed = seconds > 0 && done > 0;
    const double bytes_per_second = timed ? double(done) / seconds : 0;
    const std::wstring speed = ShortNumber(bytes_per_second / 1e6) + L" MB/s";
    if (total == 0) {
        if (done > 0) {
            view.text = ShortNumber(double(done) / 1e6) + L" MB  " + speed;
        }
        return view;
    }
    view.text = std::to_wstring(view.position / (ProgressRange / 100)) + L"%";
    if (!timed) {
        return view;
    }
    view.text += L"  " + speed;
    if (done < total) {
        // Rounded up: "0 秒" would say it is over. Capped far beyond any real wait.
        const double left = std::ceil(std::min(double(total - done) / bytes_per_second, 1e9));
        view.text += L"  剩余 " + Duration(uint64_t(left));
    }
    return view;
}

}  // namespace ui
