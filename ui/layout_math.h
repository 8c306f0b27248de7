// The main dialog's resizable layout as plain arithmetic: a table of controls with anchor
// flags and the rectangles recorded when the dialog opened, and the rectangles the controls
// get for a new client size. Positions always come from the recorded rectangles, never from
// the previous size, so minimising and restoring accumulate no rounding error. The window
// side (reading rectangles, moving controls) lives with the dialog.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "hashlib/hashlib.h"
#include "ui/dialog_rows.h"
#include "ui/rect.h"
#include "ui/resource.h"

namespace ui {

enum LayoutAnchor : uint32_t {
    AnchorTop = 0x01,
    AnchorBottom = 0x02,
    AnchorLeft = 0x04,
    AnchorRight = 0x08,
    CentreHorz = 0x10,
    CentreVert = 0x20,
    ScaleHorz = 0x40,
    ScaleVert = 0x80,
};

struct LayoutEntry {
    int32_t control_id;  // 0 ends the table
    uint32_t anchors;    // LayoutAnchor flags
    Rect rect;           // recorded rectangle, client coordinates of the dialog
};

// Entry 0 records the window's outer size as (0, 0, width, height), entry 1 the client
// rectangle; the controls follow, then the end entry.
constexpr size_t LayoutWindowEntry = 0;
constexpr size_t LayoutClientEntry = 1;
constexpr size_t LayoutFirstControlEntry = 2;
constexpr int32_t LayoutNotAControl = -1;  // id of entries 0 and 1

// The window, the client area, the input block's and the bottom row's 12 controls, one result
// edit per algorithm row, and the end entry.
using LayoutTable = std::array<LayoutEntry, 2 + 12 + DialogRowCount + 1>;

namespace detail {

// The rows' result edits in the table's order: MD2's, MD4's and MD5's first, then the others in
// row order.
constexpr std::array<int, DialogRowCount> ResultLayoutOrder() {
    constexpr std::array<int, 3> leading = {DialogRowOf(hashlib::AlgorithmMd2),
                                            DialogRowOf(hashlib::AlgorithmMd4),
                                            DialogRowOf(hashlib::AlgorithmMd5)};
    std::array<int, DialogRowCount> order{};
    size_t next = 0;
    for (const int row : leading) {
        order[next++] = row;
    }
    for (int row = 0; row < int(DialogRowCount); ++row) {
        if (row != leading[0] && row != leading[1] && row != leading[2]) {
            order[next++] = row;
        }
    }
    return order;
}

}  // namespace detail

// Edits and etched lines stretch with the width, the browse button keeps to the right edge,
// the bottom row keeps to the bottom and right. Labels, selectors and check boxes are not
// listed: they never move. The dialog keeps its own copy and records the rectangles into it.
inline constexpr LayoutTable MainLayoutTable = [] {
    LayoutTable table{};
    size_t next = 0;
    const auto add = [&table, &next](int32_t control_id, uint32_t anchors) {
        table[next++] = LayoutEntry{control_id, anchors, {}};
    };
    add(LayoutNotAControl, 0);
    add(LayoutNotAControl, 0);
    add(IDC_LOGO, AnchorBottom);
    add(IDC_INPUT_LINE, AnchorLeft | AnchorRight);
    add(IDC_BROWSE, AnchorRight);
    add(IDC_DATA_VALUE, AnchorLeft | AnchorRight);
    add(IDC_KEY_VALUE, AnchorLeft | AnchorRight);
    for (const int row : detail::ResultLayoutOrder()) {
        add(DialogRows[size_t(row)].result, AnchorLeft | AnchorRight);
    }
    add(IDC_BOTTOM_LINE, AnchorBottom | AnchorLeft | AnchorRight);
    add(IDC_EDONKEY_LINE_ABOVE, AnchorLeft | AnchorRight);
    add(IDC_EDONKEY_LINE_BELOW, AnchorLeft | AnchorRight);
    add(1, AnchorBottom | AnchorRight);  // Calculate (IDOK)
    add(2, AnchorBottom | AnchorRight);  // Close (IDCANCEL)
    add(IDC_HELP_BUTTON, AnchorBottom | AnchorRight);
    add(IDC_SIZE_GRIP, AnchorBottom | AnchorRight);
    add(0, 0);
    return table;
}();
static_assert(MainLayoutTable[MainLayoutTable.size() - 2].control_id != 0, "every entry filled in");

// The calculation's progress bar and status text, laid out by a table of their own beside
// MainLayoutTable: both stretch with the width and keep to the bottom row, the bar between the
// logo and the Calculate button, the text in the band above.
using ProgressLayoutTable = std::array<LayoutEntry, 2 + 2 + 1>;
inline constexpr ProgressLayoutTable ProgressLayout = {{
    {LayoutNotAControl, 0, {}},
    {LayoutNotAControl, 0, {}},
    {IDC_PROGRESS_BAR, AnchorBottom | AnchorLeft | AnchorRight, {}},
    {IDC_STATUS_TEXT, AnchorBottom | AnchorLeft | AnchorRight, {}},
    {0, 0, {}},
}};

// Reports where a control is now, in client coordinates of the dialog, or nullopt when the
// dialog has no such control.
using ControlRectLookup = std::function<std::optional<Rect>(int32_t control_id)>;

// Records the layout once, before the window is moved anywhere: the window's outer size, the
// client rectangle and every existing control's rectangle. Missing controls keep their entry
// as it was.
void RecordLayout(std::span<LayoutEntry> table, int32_t window_width, int32_t window_height,
                  const Rect& client, const ControlRectLookup& control_rect);

// The table recorded at `recorded_dpi` as it stands at `dpi`, written into `scaled` (of the
// same size): every recorded rectangle (the window's size, the client rectangle, each
// control's) scaled by dpi / recorded_dpi. The dialog keeps the recorded table and always scales
// from it, so moving between displays of different scales accumulates no rounding either.
void ScaleLayout(std::span<const LayoutEntry> recorded, uint32_t recorded_dpi, uint32_t dpi,
                 std::span<LayoutEntry> scaled);

// One control's rectangle for the client rectangle `client`, starting from where it is now
// (`current`): what an anchor does not fix keeps its current value. `recorded_client` is the
// table's entry 1.
Rect LayoutControl(const LayoutEntry& entry, const Rect& recorded_client, const Rect& client,
                   const Rect& current);

struct ControlMove {
    int32_t control_id;
    Rect rect;
};

// The new rectangle of every existing control of the table, in table order, for the client
// rectangle `client`. A table never recorded (all zero) is harmless: the scale factors are 0
// and the edges follow the anchors from zero.
std::vector<ControlMove> ComputeLayout(std::span<const LayoutEntry> table, const Rect& client,
                                       const ControlRectLookup& control_rect);

// The window's tracking-size limits, as the platform offers them and as the layout wants them.
struct TrackingSize {
    int32_t min_width = 0;
    int32_t min_height = 0;
    int32_t max_width = 0;
    int32_t max_height = 0;
    bool operator==(const TrackingSize&) const = default;
};

// The window may not shrink below its size at capture (entry 0) nor grow taller than at
// creation (when `created_height` is known, i.e. not 0); it may grow as wide as the platform
// allows.
TrackingSize ComputeTrackingLimits(std::span<const LayoutEntry> table, int32_t created_height,
                                   TrackingSize platform);

}  // namespace ui
