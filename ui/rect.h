// A window rectangle in plain C++, with the platform's meaning: right and bottom are exclusive,
// so the width is right - left. Kept apart from RECT so the arithmetic is testable everywhere.
#pragma once

#include <cstdint>

namespace ui {

struct Rect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    int32_t Width() const { return right - left; }
    int32_t Height() const { return bottom - top; }
    bool operator==(const Rect&) const = default;
};

// True when the two rectangles share at least one pixel; an empty rectangle meets nothing.
inline bool Intersects(const Rect& a, const Rect& b) {
    const int32_t left = a.left > b.left ? a.left : b.left;
    const int32_t right = a.right < b.right ? a.right : b.right;
    const int32_t top = a.top > b.top ? a.top : b.top;
    const int32_t bottom = a.bottom < b.bottom ? a.bottom : b.bottom;
    return left < right && top < bottom;
}

// True when `inner` lies wholly within `outer`; nothing lies within an empty rectangle.
inline bool Contains(const Rect& outer, const Rect& inner) {
    return outer.left < outer.right && outer.top < outer.bottom && inner.left >= outer.left &&
           inner.top >= outer.top && inner.right <= outer.right && inner.bottom <= outer.bottom;
}

}  // namespace ui
