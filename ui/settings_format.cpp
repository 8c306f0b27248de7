#include "ui/settings_format.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace ui {
namespace {

// Every stored "CheckBoxes" value holds one tick per row: another row count would make them all
// unreadable.
static_assert(DialogRowCount == 13, "stored ticks are fourteen characters: HMAC and thirteen rows");

std::wstring_view TrimTrailingSpace(std::wstring_view text) {
    const size_t end = text.find_last_not_of(L" \t\r\n\v\f");
    return end == std::wstring_view::npos ? std::wstring_view() : text.substr(0, end + 1);
}

// A decimal integer at the start of `text`: optional sign, then digits up to the first
// non-digit; no digits reads as 0. nullopt when the number does not fit in 32 bits.
std::optional<int32_t> ParseLeadingInt32(std::wstring_view text) {
    size_t pos = 0;
    bool negative = false;
    if (pos < text.size() && (text[pos] == L'-' || text[pos] == L'+')) {
        negative = text[pos] == L'-';
        ++pos;
    }
    // The magnitude is bounded by 2^31 at every step, so it never overflows 64 bits.
    const int64_t limit = negative ? -int64_t(std::numeric_limits<int32_t>::min())
                                   : int64_t(std::numeric_limits<int32_t>::max());
    int64_t magnitude = 0;
    for (; pos < text.size() && text[pos] >= L'0' && text[pos] <= L'9'; ++pos) {
        magnitude = magnitude * 10 + (text[pos] - L'0');
        if (magnitude > limit) {
            return std::nullopt;
        }
    }
    return int32_t(negative ? -magnitude : magnitude);
}

}  // namespace

Rect ParseWindowRect(std::wstring_view value) {
    value = TrimTrailingSpace(value);
    Rect rect;
    if (value.empty() || value == MaximizedWord) {
        return rect;
    }
    // Read from the end, so the order of the passes is right, left, bottom, top.
    int32_t* const fields[] = {&rect.right, &rect.left, &rect.bottom, &rect.top};
    for (int32_t* field : fields) {
        const size_t colon = value.rfind(L':');
        if (colon == std::wstring_view::npos) {
            break;
        }
        const std::optional<int32_t> number = ParseLeadingInt32(value.substr(colon + 1));
        if (!number) {
            return Rect{};
        }
        *field = *number;
        // The field's letter stands in front of the ':' and goes with it.
        value = value.substr(0, colon == 0 ? 0 : colon - 1);
    }
    return rect;
}

std::wstring FormatWindowRect(const Rect& window, bool maximized) {
    if (maximized) {
        return MaximizedWord;
    }
    return L"t:" + std::to_wstring(window.top) + L"b:" + std::to_wstring(window.bottom) + L"l:" +
           std::to_wstring(window.left) + L"r:" + std::to_wstring(window.right);
}

std::optional<CheckBoxFlags> ParseCheckBoxes(std::wstring_view value) {
    value = TrimTrailingSpace(value);
    if (value.size() != DialogRowCount + 1) {
        return std::nullopt;
    }
    CheckBoxFlags flags;
    flags.hmac = value[0] == L'1';
    for (size_t row = 0; row < DialogRowCount; ++row) {
        flags.algorithms[row] = value[row + 1] == L'1';
    }
    return flags;
}

std::wstring FormatCheckBoxes(const CheckBoxFlags& flags) {
    std::wstring text(1, flags.hmac ? L'1' : L'0');
    for (bool ticked : flags.algorithms) {
        text += ticked ? L'1' : L'0';
    }
    return text;
}

FormatSelections ParseComboBoxes(std::wstring_view value) {
    value = TrimTrailingSpace(value);
    FormatSelections selections;
    if (value.size() != 2) {
        return selections;
    }
    auto digit = [](wchar_t c) -> std::optional<int> {
        if (c >= L'0' && c <= L'9') {
            return int(c - L'0');
        }
        return std::nullopt;
    };
    selections.data_format = digit(value[0]);
    selections.key_format = digit(value[1]);
    return selections;
}

std::wstring FormatComboBoxes(int data_format_index, int key_format_index) {
    return std::to_wstring(data_format_index) + std::to_wstring(key_format_index);
}

bool IsPlausibleWindowRect(const Rect& stored) {
    return stored.top < stored.bottom && stored.left < stored.right && stored.top > -10 && stored.left > -10;
}

namespace {

constexpr int64_t Int32Min = std::numeric_limits<int32_t>::min();
constexpr int64_t Int32Max = std::numeric_limits<int32_t>::max();

// A far edge worked out in 64 bits: a size too large to end in 32 bits ends at the limit.
int32_t FarEdge(int32_t start, int64_t size) {
    return int32_t(std::clamp<int64_t>(int64_t(start) + size, Int32Min, Int32Max));
}

// A stored extent within the window's limits; the minimum wins over a smaller maximum, as the
// platform has it.
int64_t WithinLimits(int64_t extent, int32_t minimum, int32_t maximum) {
    const int64_t upper = maximum > 0 ? std::max<int64_t>(maximum, minimum) : Int32Max;
    return std::clamp<int64_t>(extent, minimum, upper);
}

int64_t OverlapArea(const Rect& a, const Rect& b) {
    const int64_t width = std::min<int64_t>(a.right, b.right) - std::max<int64_t>(a.left, b.left);
    const int64_t height = std::min<int64_t>(a.bottom, b.bottom) - std::max<int64_t>(a.top, b.top);
    return width > 0 && height > 0 ? width * height : 0;
}

// The square of the gap between two rectangles (0 when they touch or overlap), in a double:
// the squares of 32-bit distances do not fit in 64 bits.
double GapSquared(const Rect& a, const Rect& b) {
    const double dx = double(std::max<int64_t>({0, int64_t(b.left) - a.right, int64_t(a.left) - b.right}));
    const double dy = double(std::max<int64_t>({0, int64_t(b.top) - a.bottom, int64_t(a.top) - b.bottom}));
    return dx * dx + dy * dy;
}

// The work area the window is nearest to: the one it overlaps most, or else the closest; the
// first in the list on a tie. Null when there is none that is not empty.
const Rect* NearestWorkArea(const Rect& window, std::span<const Rect> work_areas) {
    const Rect* nearest = nullptr;
    int64_t largest_overlap = 0;
    double smallest_gap = 0;
    for (const Rect& area : work_areas) {
        if (area.left >= area.right || area.top >= area.bottom) {
            continue;
        }
        const int64_t overlap = OverlapArea(window, area);
        const double gap = GapSquared(window, area);
        if (nearest == nullptr || overlap > largest_overlap ||
            (largest_overlap == 0 && overlap == 0 && gap < smallest_gap)) {
            nearest = &area;
            largest_overlap = overlap;
            smallest_gap = gap;
        }
    }
    return nearest;
}

// One axis of bringing the window onto a work area: its extent shrunk to the area's, but not
// below its minimum; its start moved onto the area so the far edge is on it too, where the
// extent allows; the start is never before the area's start.
void FitAxis(int32_t start, int64_t extent, int32_t minimum, int32_t area_start, int32_t area_end,
             int32_t& fitted_start, int32_t& fitted_end) {
    const int64_t fitted =
        std::max<int64_t>(std::min<int64_t>(extent, int64_t(area_end) - area_start), minimum);
    const int64_t latest_start = std::max<int64_t>(int64_t(area_end) - fitted, area_start);
    fitted_start = int32_t(std::clamp<int64_t>(start, area_start, latest_start));
    fitted_end = FarEdge(fitted_start, fitted);
}

}  // namespace

WindowPlacement ChooseWindowPlacement(const Rect& stored, std::span<const Rect> monitor_work_areas,
                                      const TrackingSize& limits, int32_t created_width,
                                      int32_t created_height, const Rect& centring_area) {
    if (IsPlausibleWindowRect(stored)) {
        const int64_t width =
            WithinLimits(int64_t(stored.right) - stored.left, limits.min_width, limits.max_width);
        const int64_t height =
            WithinLimits(int64_t(stored.bottom) - stored.top, limits.min_height, limits.max_height);
        const Rect window{stored.left, stored.top, FarEdge(stored.left, width), FarEdge(stored.top, height)};
        for (const Rect& area : monitor_work_areas) {
            if (Contains(area, window)) {
                return {PlacementSource::Stored, stored};
            }
        }
        if (const Rect* area = NearestWorkArea(window, monitor_work_areas)) {
            Rect rect;
            FitAxis(window.left, width, limits.min_width, area->left, area->right, rect.left, rect.right);
            FitAxis(window.top, height, limits.min_height, area->top, area->bottom, rect.top, rect.bottom);
            return {PlacementSource::BroughtIntoWorkArea, rect};
        }
    }
    // 64-bit arithmetic: the area and the size come from the platform and are not trusted
    // to leave room in 32 bits.
    auto centred = [](int32_t start, int32_t end, int32_t size) {
        const int64_t offset = (int64_t(end) - start - size) / 2;
        return int32_t(offset > 0 ? start + offset : start);
    };
    const int32_t left = centred(centring_area.left, centring_area.right, created_width);
    const int32_t top = centred(centring_area.top, centring_area.bottom, created_height);
    return {PlacementSource::Default,
            Rect{left, top, FarEdge(left, created_width), FarEdge(top, created_height)}};
}

}  // namespace ui
