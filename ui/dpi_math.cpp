#include "ui/dpi_math.h"

#include <algorithm>
#include <iterator>
#include <limits>

#include "ui/resource.h"

namespace ui {

// The resource script numbers the drawings so; it cannot use the constant itself.
static_assert(IDB_LOGO_150 == IDB_LOGO + ImageVariantIdStep &&
              IDB_LOGO_200 == IDB_LOGO + 2 * ImageVariantIdStep);
static_assert(IDB_ABOUT_LOGO_150 == IDB_ABOUT_LOGO + ImageVariantIdStep &&
              IDB_ABOUT_LOGO_200 == IDB_ABOUT_LOGO + 2 * ImageVariantIdStep);
static_assert(IDB_ABOUT_PICTURE_150 == IDB_ABOUT_PICTURE + ImageVariantIdStep &&
              IDB_ABOUT_PICTURE_200 == IDB_ABOUT_PICTURE + 2 * ImageVariantIdStep);
static_assert(IDB_ABOUT_BANNER_150 == IDB_ABOUT_BANNER + ImageVariantIdStep &&
              IDB_ABOUT_BANNER_200 == IDB_ABOUT_BANNER + 2 * ImageVariantIdStep);

int32_t ScaleForDpi(int32_t value, uint32_t to_dpi, uint32_t from_dpi) {
    if (from_dpi == 0) {
        return value;
    }
    // 64 bits hold any 32-bit value times any DPI a display can have.
    const int64_t product = int64_t(value) * int64_t(to_dpi);
    const int64_t half = int64_t(from_dpi) / 2;
    const int64_t rounded = (product >= 0 ? product + half : product - half) / int64_t(from_dpi);
    return int32_t(std::clamp<int64_t>(rounded, std::numeric_limits<int32_t>::min(),
                                       std::numeric_limits<int32_t>::max()));
}

Rect ScaleForDpi(const Rect& rect, uint32_t to_dpi, uint32_t from_dpi) {
    return Rect{ScaleForDpi(rect.left, to_dpi, from_dpi), ScaleForDpi(rect.top, to_dpi, from_dpi),
                ScaleForDpi(rect.right, to_dpi, from_dpi), ScaleForDpi(rect.bottom, to_dpi, from_dpi)};
}

uint32_t ImageScaleForDpi(uint32_t dpi) {
    uint32_t chosen = DrawnImageScales[0];
    for (const uint32_t percent : DrawnImageScales) {
        if (uint64_t(percent) * DefaultDpi <= uint64_t(dpi) * 100) {
            chosen = percent;
        }
    }
    return chosen;
}

int32_t ImageVariantId(int32_t base_id, uint32_t dpi) {
    const uint32_t percent = ImageScaleForDpi(dpi);
    const auto position = std::find(std::begin(DrawnImageScales), std::end(DrawnImageScales), percent);
    return base_id + ImageVariantIdStep * int32_t(position - std::begin(DrawnImageScales));
}

}  // namespace ui
