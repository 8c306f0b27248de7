// Readable failure messages for rectangles in the layout and settings tests.
#pragma once

#include <ostream>

#include "ui/rect.h"

namespace ui {

inline void PrintTo(const Rect& rect, std::ostream* out) {
    *out << "{left " << rect.left << ", top " << rect.top << ", right " << rect.right << ", bottom "
         << rect.bottom << "}";
}

}  // namespace ui
