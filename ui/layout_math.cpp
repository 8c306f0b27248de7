#include "ui/layout_math.h"

#include <cmath>
#include <limits>

#include "ui/dpi_math.h"

namespace ui {
namespace {

constexpr int64_t Int32Min = std::numeric_limits<int32_t>::min();
constexpr int64_t Int32Max = std::numeric_limits<int32_t>::max();

// Edges are worked out in 64 bits and doubles and brought back here, so a nonsensical recorded
// rectangle gives a clamped edge instead of overflow.
int32_t ClampToInt32(int64_t value) {
    return int32_t(value < Int32Min ? Int32Min : value > Int32Max ? Int32Max : value);
}

// Conversion toward zero.
int32_t Truncate(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    if (value <= double(Int32Min)) {
        return int32_t(Int32Min);
    }
    if (value >= double(Int32Max)) {
        return int32_t(Int32Max);
    }
    return int32_t(value);
}

double ScaleFactor(int32_t now, int32_t recorded) {
    return recorded == 0 ? 0.0 : double(now) / double(recorded);
}

// One axis of LayoutControl. `low`/`high` are the control's current edges (left/right or
// top/bottom), `rec_low`/`rec_high` its recorded edges, `client_high` and `rec_client_high`
// the current and recorded client right (or bottom).
struct AxisFlags {
    uint32_t anchor_low, anchor_high, centre, scale;
};

void LayoutAxis(uint32_t anchors, const AxisFlags& axis, int32_t rec_low, int32_t rec_high,
                int32_t client_high, int32_t rec_client_high, int32_t& low, int32_t& high) {
    const double scale = ScaleFactor(client_high, rec_client_high);
    const int64_t size = int64_t(rec_high) - rec_low;
    const bool anchor_low = (anchors & axis.anchor_low) != 0;
    const bool anchor_high = (anchors & axis.anchor_high) != 0;
    if (anchor_low) {
        low = rec_low;
        if (!anchor_high && (anchors & axis.scale)) {
            high = ClampToInt32(rec_low + int64_t(Truncate(double(size) * scale)));
        }
    }
    if (anchor_high) {
        high = ClampToInt32(int64_t(client_high) - (int64_t(rec_client_high) - rec_high));
        if (!anchor_low) {
            const int64_t extent = (anchors & axis.scale) ? Truncate(double(size) * scale) : size;
            low = ClampToInt32(high - extent);
        }
    }
    if (!anchor_low && !anchor_high) {
        if (anchors & axis.centre) {
            const int64_t half = size / 2;  // integer halving, toward zero
            low = Truncate(scale * double(rec_low + half) - double(half));
            high = ClampToInt32(low + size);
        } else if (anchors & axis.scale) {
            low = Truncate(double(rec_low) * scale);
            high = Truncate(double(rec_high) * scale);
        }
    }
}

}  // namespace

void RecordLayout(std::span<LayoutEntry> table, int32_t window_width, int32_t window_height,
                  const Rect& client, const ControlRectLookup& control_rect) {
    if (table.size() <= LayoutClientEntry) {
        return;
    }
    table[LayoutWindowEntry].rect = Rect{0, 0, window_width, window_height};
    table[LayoutClientEntry].rect = client;
    for (size_t i = LayoutFirstControlEntry; i < table.size() && table[i].control_id != 0; ++i) {
        if (const std::optional<Rect> rect = control_rect(table[i].control_id)) {
            table[i].rect = *rect;
        }
    }
}

void ScaleLayout(std::span<const LayoutEntry> recorded, uint32_t recorded_dpi, uint32_t dpi,
                 std::span<LayoutEntry> scaled) {
    for (size_t i = 0; i < recorded.size() && i < scaled.size(); ++i) {
        scaled[i] = recorded[i];
        scaled[i].rect = ScaleForDpi(recorded[i].rect, dpi, recorded_dpi);
    }
}

Rect LayoutControl(const LayoutEntry& entry, const Rect& recorded_client, const Rect& client,
                   const Rect& current) {
    Rect rect = current;
    const Rect& recorded = entry.rect;
    LayoutAxis(entry.anchors, {AnchorLeft, AnchorRight, CentreHorz, ScaleHorz}, recorded.left, recorded.right,
               client.right, recorded_client.right, rect.left, rect.right);
    LayoutAxis(entry.anchors, {AnchorTop, AnchorBottom, CentreVert, ScaleVert}, recorded.top, recorded.bottom,
               client.bottom, recorded_client.bottom, rect.top, rect.bottom);
    return rect;
}

std::vector<ControlMove> ComputeLayout(std::span<const LayoutEntry> table, const Rect& client,
                                       const ControlRectLookup& control_rect) {
    std::vector<ControlMove> moves;
    if (table.size() <= LayoutClientEntry) {
        return moves;
    }
    const Rect& recorded_client = table[LayoutClientEntry].rect;
    for (size_t i = LayoutFirstControlEntry; i < table.size() && table[i].control_id != 0; ++i) {
        if (const std::optional<Rect> current = control_rect(table[i].control_id)) {
            moves.push_back(
                {table[i].control_id, LayoutControl(table[i], recorded_client, client, *current)});
        }
    }
    return moves;
}

TrackingSize ComputeTrackingLimits(std::span<const LayoutEntry> table, int32_t created_height,
                                   TrackingSize platform) {
    TrackingSize limits = platform;
    if (!table.empty()) {
        limits.min_width = table[LayoutWindowEntry].rect.Width();
        limits.min_height = table[LayoutWindowEntry].rect.Height();
    }
    if (created_height != 0) {
        limits.max_height = created_height;
    }
    return limits;
}

}  // namespace ui
