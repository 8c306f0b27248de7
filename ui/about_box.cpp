#include "ui/about_box.h"

#include <algorithm>

namespace ui {
namespace {

std::wstring_view TrimTrailingSpace(std::wstring_view text) {
    const size_t end = text.find_last_not_of(L" \t\r\n\v\f");
    return end == std::wstring_view::npos ? std::wstring_view() : text.substr(0, end + 1);
}

std::wstring_view Trim(std::wstring_view text) {
    text = TrimTrailingSpace(text);
    const size_t start = text.find_first_not_of(L" \t\r\n\v\f");
    return start == std::wstring_view::npos ? std::wstring_view() : text.substr(start);
}

bool Contains(const Rect& rect, int32_t x, int32_t y) {
    return x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
}

}  // namespace

std::wstring AboutProductLine(const ProgramIdentity& identity) {
    std::wstring line(TrimTrailingSpace(identity.maker_word));
    if (!line.empty()) {
        line += L' ';
    }
    line += identity.product_word;
    return std::wstring(Trim(line));
}

std::wstring AboutVersionLine(const ProgramIdentity& identity) {
    std::wstring line = L"Version " + identity.version;
    if (!identity.edition_suffix.empty()) {
        line += L' ';
        line += identity.edition_suffix;
    }
    return std::wstring(Trim(line));
}

std::optional<WebLink> LinkAt(int32_t x, int32_t y, std::span<const WebLink> links,
                              const ControlRectLookup& control_rect) {
    for (const WebLink& link : links) {
        const std::optional<Rect> rect = control_rect(link.control_id);
        if (rect && Contains(*rect, x, y)) {
            return link;
        }
    }
    return std::nullopt;
}

std::optional<uint32_t> AboutTextColour(int32_t control_id) {
    switch (control_id) {
        case 0:
            return std::nullopt;
        case IDC_ABOUT_ADDRESS:
        case IDC_ABOUT_LIBRARY:
            return RgbColour(0, 0, 255);
        case IDC_ABOUT_TRANSLATOR:
            return RgbColour(100, 100, 100);
        default:
            return RgbColour(0, 0, 0);
    }
}

BannerPlacement PlaceBanner(const Rect& window_in_client, const Rect& banner, const Rect& logo) {
    BannerPlacement placement{banner, logo};
    placement.banner.left = window_in_client.left;
    placement.banner.right = window_in_client.right;
    // 64 bits: the sum of two edges need not fit in 32.
    const int64_t centre = (int64_t(window_in_client.left) + window_in_client.right) / 2;
    placement.logo.left = int32_t(centre - logo.Width() / 2);
    placement.logo.right = placement.logo.left + logo.Width();
    if (banner.Height() >= logo.Height()) {
        placement.logo.top = banner.top + (banner.Height() - logo.Height()) / 2;
        placement.logo.bottom = placement.logo.top + logo.Height();
    } else {
        placement.banner.bottom = std::max(banner.bottom, logo.bottom);
    }
    return placement;
}

}  // namespace ui
