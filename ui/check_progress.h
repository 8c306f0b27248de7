// The checking window's progress line: bytes read of all the listed files, speed and time left.
// Kept apart and small, so the main dialog's own progress texts can take its place later.
#pragma once

#include <cstdint>
#include <string>

namespace ui {

// "1.5 MB / 4.0 MB，2.0 MB/s，剩余 0:02": done and total in the unit that suits the total (B, KB,
// MB or GB, of 1024), the speed in its own, time left as m:ss or h:mm:ss; without speed and time
// left before any time has passed or any byte was read.
std::string CheckProgressText(uint64_t done, uint64_t total, uint64_t elapsed_ms);

// The bar's position in thousandths of `total` (0 when it is 0).
int ProgressPermille(uint64_t done, uint64_t total);

}  // namespace ui
