// The main dialog's stored settings as text: the three registry string values "WndRect",
// "CheckBoxes" and "ComboBoxes", read and written here without touching the registry, and the
// choice of where the window opens. Settings written by any earlier version must stay readable,
// so the formats below never change.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "ui/dialog_rows.h"
#include "ui/layout_math.h"
#include "ui/rect.h"

namespace ui {

// The settings' section: a key of this name below the program's settings key.
inline constexpr wchar_t SettingsSectionName[] = L"Settings";

// Registry value names in that section.
inline constexpr wchar_t WindowRectValueName[] = L"WndRect";
inline constexpr wchar_t CheckBoxesValueName[] = L"CheckBoxes";
inline constexpr wchar_t ComboBoxesValueName[] = L"ComboBoxes";

// The three values as the registry holds them (each empty when absent).
struct StoredSettings {
    std::wstring window_rect;  // "WndRect"
    std::wstring check_boxes;  // "CheckBoxes"
    std::wstring combo_boxes;  // "ComboBoxes"
    bool operator==(const StoredSettings&) const = default;
};

// "WndRect" holds this word instead of a rectangle when the window was closed maximised.
inline constexpr wchar_t MaximizedWord[] = L"maximized";

// The parsers take the value as read (empty when absent) and trim trailing white space
// themselves.

// "t:<top>b:<bottom>l:<left>r:<right>", read from the end: the number after the last ':' is
// the right edge, then the text is cut before the letter in front of that ':' and the next
// number is the left edge, then bottom, then top. The letters are never checked, and a field
// that is missing stays 0. "maximized", an empty value, or any number that does not fit in
// 32 bits gives the all-zero rectangle, which RestoreWindowPlacement never restores.
Rect ParseWindowRect(std::wstring_view value);

// "maximized" when maximised, else "t:%db:%dl:%dr:%d" with top, bottom, left, right.
std::wstring FormatWindowRect(const Rect& window, bool maximized);

// The HMAC tick and the thirteen algorithm ticks, by dialog row.
struct CheckBoxFlags {
    bool hmac = false;
    std::array<bool, DialogRowCount> algorithms{};
    bool operator==(const CheckBoxFlags&) const = default;
};

// Fourteen characters: HMAC, then the algorithm rows in their order; '1' ticks, any other
// character unticks. A value of any other length is not used at all (nullopt).
std::optional<CheckBoxFlags> ParseCheckBoxes(std::wstring_view value);
std::wstring FormatCheckBoxes(const CheckBoxFlags& flags);

// The selector indices a "ComboBoxes" value asks for; an index left empty keeps the dialog's
// own. Whether an index is below the selector's item count is checked where it is applied.
struct FormatSelections {
    std::optional<int> data_format;
    std::optional<int> key_format;
};

// Two characters, data format then key format, each its digit value. A value of any other
// length gives nothing; a character other than '0'..'9' gives nothing for its selector (it
// would otherwise become a negative or out-of-range index).
FormatSelections ParseComboBoxes(std::wstring_view value);

// The two selected indices printed with "%d%d". A selector without a selection (-1) makes a
// value of three characters, which the parser then ignores.
std::wstring FormatComboBoxes(int data_format_index, int key_format_index);

// The stored rectangle is worth restoring only if it is not empty and lies no more than 9
// pixels off the top and left of the screen (a rectangle saved while minimised does not).
bool IsPlausibleWindowRect(const Rect& stored);

// Where the window opens, and why there.
enum class PlacementSource {
    Stored,               // exactly the stored rectangle
    BroughtIntoWorkArea,  // the stored rectangle, moved (and if need be shrunk) onto a screen
    Default,              // the created size, centred
};

struct WindowPlacement {
    PlacementSource source = PlacementSource::Default;
    Rect rect;
};

// The window may not be made smaller than `limits`' minimum nor larger than its maximum (a
// maximum of 0 or less sets no limit), so it takes the stored rectangle's top-left corner with
// the stored size brought within those limits. A plausible stored rectangle is restored exactly
// when the window so placed lies wholly within the work area of one of the connected monitors.
// Otherwise (saved on a monitor no longer there, at another resolution or at another display
// scale) it is brought into the work area of the nearest monitor, the one it overlaps most or
// else the closest: it keeps its size where that fits and is shrunk to the work area where it
// does not, down to the window's minimum, its top-left corner always on the work area so its
// caption can be reached. Without a plausible rectangle or any monitor: the created size
// centred on `centring_area` (the work area of the screen the window opens on), moved right or
// down when it is larger than that area so its caption stays reachable.
WindowPlacement ChooseWindowPlacement(const Rect& stored, std::span<const Rect> monitor_work_areas,
                                      const TrackingSize& limits, int32_t created_width,
                                      int32_t created_height, const Rect& centring_area);

}  // namespace ui
