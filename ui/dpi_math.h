// The arithmetic of showing the dialogs at any display scale, in plain C++: pixel lengths and
// rectangles carried from one DPI to another, and which drawn size of an image a DPI shows.
// The window side (the messages, the fonts, loading the images) is dpi_scaling.*.
#pragma once

#include <cstdint>

#include "ui/rect.h"

namespace ui {

// The DPI of a display at 100 %, for which the dialog templates and the images are drawn.
inline constexpr uint32_t DefaultDpi = 96;

// `value` pixels at `from_dpi` as pixels at `to_dpi`, rounded to the nearest pixel (halves away
// from zero), as the platform's MulDiv rounds; a zero `from_dpi` leaves the value as it is.
int32_t ScaleForDpi(int32_t value, uint32_t to_dpi, uint32_t from_dpi);

// Every edge scaled so.
Rect ScaleForDpi(const Rect& rect, uint32_t to_dpi, uint32_t from_dpi);

// The scales, in percent, that every bitmap is drawn for.
inline constexpr uint32_t DrawnImageScales[] = {100, 150, 200};

// The image resources of the larger drawings are numbered after the 100 % one, this far apart:
// the 150 % drawing of bitmap 129 is 1129, its 200 % drawing 2129.
inline constexpr int32_t ImageVariantIdStep = 1000;

// The scale of the drawing shown at `dpi`: the largest one not larger than the display's own
// scale, so an image never grows past the room its dialog gives it, and is never stretched.
uint32_t ImageScaleForDpi(uint32_t dpi);

// The resource number of the drawing of image `base_id` (its 100 % number) shown at `dpi`.
int32_t ImageVariantId(int32_t base_id, uint32_t dpi);

}  // namespace ui
