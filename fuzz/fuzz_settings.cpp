// The stored-settings parsers on arbitrary registry strings. The input is read twice: byte for
// byte as characters, and (when its length is even) as little-endian UTF-16 code units, the
// form the registry hands over. Either way it is cut at '\n' into fields; every field goes
// through every parser, and the fields also make a window placement request: field 0 the
// stored "WndRect", field 1 the created size (its right and bottom numbers) and the window's
// minimum size (its left and top numbers), field 2 the centring area, fields 3 and on the
// monitors' work areas, each in the "WndRect" form.
#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "ui/settings_format.h"

using namespace ui;

namespace {

std::wstring_view Trimmed(std::wstring_view text) {
    const size_t end = text.find_last_not_of(L" \t\r\n\v\f");
    return end == std::wstring_view::npos ? std::wstring_view() : text.substr(0, end + 1);
}

void CheckWindowRect(std::wstring_view value) {
    const Rect rect = ParseWindowRect(value);
    // Whatever parsed is written back in the same form and reads the same again.
    FUZZ_CHECK(ParseWindowRect(FormatWindowRect(rect, false)) == rect);
    FUZZ_CHECK(ParseWindowRect(FormatWindowRect(rect, true)) == Rect{});
    if (Trimmed(value) == MaximizedWord || value.find(L':') == std::wstring_view::npos) {
        FUZZ_CHECK(rect == Rect{});
    }
    // Trailing white space never changes the reading.
    FUZZ_CHECK(ParseWindowRect(std::wstring(value) + L" \r\n") == rect);
}

void CheckCheckBoxes(std::wstring_view value) {
    const std::optional<CheckBoxFlags> flags = ParseCheckBoxes(value);
    const std::wstring_view trimmed = Trimmed(value);
    FUZZ_CHECK(flags.has_value() == (trimmed.size() == DialogRowCount + 1));
    if (!flags) {
        return;
    }
    const std::wstring written = FormatCheckBoxes(*flags);
    FUZZ_CHECK(written.size() == trimmed.size());
    for (size_t i = 0; i < written.size(); ++i) {
        FUZZ_CHECK(written[i] == (trimmed[i] == L'1' ? L'1' : L'0'));
    }
    FUZZ_CHECK(ParseCheckBoxes(written) == flags);
}

void CheckComboBoxes(std::wstring_view value) {
    const FormatSelections selections = ParseComboBoxes(value);
    const std::wstring_view trimmed = Trimmed(value);
    for (const std::optional<int>& index : {selections.data_format, selections.key_format}) {
        FUZZ_CHECK(!index || (*index >= 0 && *index <= 9));
    }
    if (trimmed.size() != 2) {
        FUZZ_CHECK(!selections.data_format && !selections.key_format);
        return;
    }
    FUZZ_CHECK(selections.data_format.has_value() == (trimmed[0] >= L'0' && trimmed[0] <= L'9'));
    FUZZ_CHECK(selections.key_format.has_value() == (trimmed[1] >= L'0' && trimmed[1] <= L'9'));
    if (selections.data_format && selections.key_format) {
        const std::wstring written = FormatComboBoxes(*selections.data_format, *selections.key_format);
        FUZZ_CHECK(written == trimmed);
    }
}

void CheckPlacement(const std::vector<std::wstring_view>& fields) {
    auto field = [&](size_t i) { return i < fields.size() ? ParseWindowRect(fields[i]) : Rect{}; };
    const Rect stored = field(0);
    const Rect created = field(1);
    const TrackingSize limits{created.left, created.top, 0, 0};
    const Rect centring_area = field(2);
    std::vector<Rect> monitors;
    for (size_t i = 3; i < fields.size(); ++i) {
        monitors.push_back(ParseWindowRect(fields[i]));
    }
    const WindowPlacement placement =
        ChooseWindowPlacement(stored, monitors, limits, created.right, created.bottom, centring_area);
    const Rect& rect = placement.rect;
    auto limited = [](int64_t edge) {
        return std::clamp<int64_t>(edge, std::numeric_limits<int32_t>::min(),
                                   std::numeric_limits<int32_t>::max());
    };
    // The window as the stored rectangle places it: its size no smaller than the minimum.
    const Rect window{
        stored.left, stored.top,
        int32_t(limited(int64_t(stored.left) +
                        std::max<int64_t>(int64_t(stored.right) - stored.left, limits.min_width))),
        int32_t(limited(int64_t(stored.top) +
                        std::max<int64_t>(int64_t(stored.bottom) - stored.top, limits.min_height)))};
    const bool window_on_a_monitor = std::any_of(monitors.begin(), monitors.end(),
                                                 [&](const Rect& area) { return Contains(area, window); });
    const bool any_monitor = std::any_of(monitors.begin(), monitors.end(), [](const Rect& area) {
        return area.left < area.right && area.top < area.bottom;
    });
    switch (placement.source) {
        case PlacementSource::Stored:
            FUZZ_CHECK(rect == stored);
            FUZZ_CHECK(IsPlausibleWindowRect(stored));
            FUZZ_CHECK(window_on_a_monitor);
            return;
        case PlacementSource::BroughtIntoWorkArea:
            FUZZ_CHECK(IsPlausibleWindowRect(stored) && !window_on_a_monitor);
            // On a monitor: its corner always, all of it when it is no larger than the minimum
            // and the work area allow.
            FUZZ_CHECK(std::any_of(monitors.begin(), monitors.end(), [&](const Rect& area) {
                const bool corner_on = rect.left >= area.left && rect.left < area.right &&
                                       rect.top >= area.top && rect.top < area.bottom;
                const bool fits = int64_t(limits.min_width) <= int64_t(area.right) - area.left &&
                                  int64_t(limits.min_height) <= int64_t(area.bottom) - area.top;
                return corner_on && (!fits || Contains(area, rect));
            }));
            FUZZ_CHECK(int64_t(rect.right) - rect.left >= limits.min_width ||
                       rect.right == std::numeric_limits<int32_t>::max());
            FUZZ_CHECK(int64_t(rect.bottom) - rect.top >= limits.min_height ||
                       rect.bottom == std::numeric_limits<int32_t>::max());
            return;
        case PlacementSource::Default:
            FUZZ_CHECK(!IsPlausibleWindowRect(stored) || !any_monitor);
            break;
    }
    // The window keeps its created size (cut at the 32-bit limit); it starts inside the area, and
    // when it fits, it stays inside.
    FUZZ_CHECK(rect.right == limited(int64_t(rect.left) + created.right));
    FUZZ_CHECK(rect.bottom == limited(int64_t(rect.top) + created.bottom));
    FUZZ_CHECK(rect.left >= centring_area.left && rect.top >= centring_area.top);
    if (int64_t(created.right) <= int64_t(centring_area.right) - centring_area.left) {
        FUZZ_CHECK(rect.right <= centring_area.right);
    }
    if (int64_t(created.bottom) <= int64_t(centring_area.bottom) - centring_area.top) {
        FUZZ_CHECK(rect.bottom <= centring_area.bottom);
    }
}

void CheckAll(const std::wstring& text) {
    std::vector<std::wstring_view> fields;
    const std::wstring_view view(text);
    for (size_t start = 0;;) {
        const size_t end = view.find(L'\n', start);
        fields.push_back(view.substr(start, end == std::wstring_view::npos ? end : end - start));
        if (end == std::wstring_view::npos) {
            break;
        }
        start = end + 1;
    }
    CheckWindowRect(view);
    CheckCheckBoxes(view);
    CheckComboBoxes(view);
    for (std::wstring_view field : fields) {
        CheckWindowRect(field);
        CheckCheckBoxes(field);
        CheckComboBoxes(field);
    }
    CheckPlacement(fields);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CheckAll(std::wstring(data, data + size));
    if (size % 2 == 0) {
        std::wstring units;
        for (size_t i = 0; i < size; i += 2) {
            units += wchar_t(data[i] | (data[i + 1] << 8));
        }
        CheckAll(units);
    }
    return 0;
}
