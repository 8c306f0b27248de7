// The progress a running calculation shows: the bar's position for any file size (beyond 4 GiB
// exact, full only at the end, never going back) and the status text's numbers and words.
#include "ui/calculation_progress.h"

#include <gtest/gtest.h>

#include <cstdint>

using ui::ProgressPosition;
using ui::ProgressRange;
using ui::ProgressView;
using ui::ViewProgress;

namespace {

constexpr uint64_t GiB = uint64_t(1) << 30;

TEST(CalculationProgress, PositionIsExactForAnySizeAndFullOnlyAtTheEnd) {
    EXPECT_EQ(ProgressPosition(0, 0), 0) << "size unknown";
    EXPECT_EQ(ProgressPosition(12345, 0), 0);
    EXPECT_EQ(ProgressPosition(0, 6 * GiB), 0);
    EXPECT_EQ(ProgressPosition(1, 3), 3333);
    EXPECT_EQ(ProgressPosition(5 * GiB, 6 * GiB), 8333);
    EXPECT_EQ(ProgressPosition(4 * GiB + 1, 8 * GiB), 5000);
    // 3/7 = 0.428571...: 32-bit arithmetic would have wrapped long before these sizes.
    EXPECT_EQ(ProgressPosition(3 * 1000000000000ull, 7 * 1000000000000ull), 4285);
    EXPECT_EQ(ProgressPosition(6 * GiB - 1, 6 * GiB), ProgressRange - 1) << "all but a byte is not the end";
    EXPECT_EQ(ProgressPosition(UINT64_MAX - 1, UINT64_MAX), ProgressRange - 1);
    EXPECT_EQ(ProgressPosition(UINT64_MAX / 2, UINT64_MAX), 4999);
    EXPECT_EQ(ProgressPosition(6 * GiB, 6 * GiB), ProgressRange);
    EXPECT_EQ(ProgressPosition(7 * GiB, 6 * GiB), ProgressRange) << "a file that grew";
}

TEST(CalculationProgress, TextGivesPercentSpeedAndTimeLeft) {
    // 3.7 GB of 10 GB in 4.5 s: 822.2 MB/s, 7.66 s left.
    EXPECT_EQ(ViewProgress(3700000000, 10000000000, 4.5, 0),
              (ProgressView{3700, L"37%  822 MB/s  剩余 8 秒"}));
    // 1 GiB of 10 GiB in 13.3 s: 80.7 MB/s, 119.7 s left.
    EXPECT_EQ(ViewProgress(GiB, 10 * GiB, 13.3, 0).text, L"10%  81 MB/s  剩余 2 分 0 秒");
    EXPECT_EQ(ViewProgress(1000000000, 1000000000000, 10, 0).text, L"0%  100 MB/s  剩余 2 小时 46 分");
    EXPECT_EQ(ViewProgress(500000, 2000000, 1, 0).text, L"25%  0.5 MB/s  剩余 3 秒");
    EXPECT_EQ(ViewProgress(6 * GiB, 6 * GiB, 8, 0), (ProgressView{ProgressRange, L"100%  805 MB/s"}));
    // Before anything was read, and without a known size.
    EXPECT_EQ(ViewProgress(0, 6 * GiB, 0.3, 0), (ProgressView{0, L"0%"}));
    EXPECT_EQ(ViewProgress(0, 0, 0.3, 0), (ProgressView{0, L""}));
    EXPECT_EQ(ViewProgress(12000000, 0, 5, 0), (ProgressView{0, L"12 MB  2.4 MB/s"}));
}

TEST(CalculationProgress, NeverGoesBack) {
    // The file grew meanwhile: what was shown stays.
    EXPECT_EQ(ViewProgress(3 * GiB, 8 * GiB, 3, 5000).position, 5000);
    EXPECT_EQ(ViewProgress(3 * GiB, 8 * GiB, 3, 5000).text.substr(0, 4), L"50% ");
    EXPECT_EQ(ViewProgress(7 * GiB, 8 * GiB, 7, 5000).position, 8750);
}

}  // namespace
