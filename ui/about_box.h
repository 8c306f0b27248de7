// The About box's texts, links, colours and banner placement in plain C++; the window that shows
// them is about_dialog_window.*. The program's identity (product, maker, version) is handed in by
// the application shell, which owns it.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "ui/layout_math.h"
#include "ui/rect.h"
#include "ui/resource.h"
#include "ui/web_and_help.h"

namespace ui {

// What the About box and the web link say about the program.
struct ProgramIdentity {
    std::wstring product_word;    // "Orvendal"
    std::wstring maker_word;      // "Tamberlyn"
    std::wstring edition_suffix;  // empty in this edition
    std::wstring version;         // with the build: "2.02.00337"
};

// The maker word without trailing white space, a space when it is not empty, then the product
// word: "Tamberlyn Orvendal". The whole line is trimmed.
std::wstring AboutProductLine(const ProgramIdentity& identity);

// "Version " and the version with its build, then a space and the edition suffix when there is
// one, trimmed: "Version 2.02.00337".
std::wstring AboutVersionLine(const ProgramIdentity& identity);

// The controls that open the maker's web site, with the page word each adds to the address.
struct WebLink {
    int32_t control_id;
    std::wstring_view page_word;
};

// The banner (and the logo lying on it) and the address open the home page; the library line
// opens the library's page.
inline constexpr std::array<WebLink, 3> AboutBoxLinks = {{
    {IDC_ABOUT_LIBRARY, LibraryPageWord},
    {IDC_ABOUT_ADDRESS, L""},
    {IDC_ABOUT_BANNER, L""},
}};

// The main dialog's logo opens the home page too.
inline constexpr std::array<WebLink, 1> MainDialogLinks = {{{IDC_LOGO, L""}}};

// The link whose control contains the client point (x, y), or nothing. `control_rect` tells
// where a control is (client coordinates), nothing when it does not exist.
std::optional<WebLink> LinkAt(int32_t x, int32_t y, std::span<const WebLink> links,
                              const ControlRectLookup& control_rect);

// A colour as the platform builds it: red in the low byte, then green, then blue.
constexpr uint32_t RgbColour(uint8_t red, uint8_t green, uint8_t blue) {
    return uint32_t(red) | (uint32_t(green) << 8) | (uint32_t(blue) << 16);
}

// The deep blue that black in the banner and the logo becomes, and that fills the banner where
// it is wider than its image.
inline constexpr uint32_t AboutBannerBlue = RgbColour(0, 9, 26);

// The text colour of an About box control, used only when the system's window text is black:
// blue for the two links, grey for the translator credit, black for every other control that
// has an id; nothing for a control without one (id 0).
std::optional<uint32_t> AboutTextColour(int32_t control_id);

// The banner stretched over the whole window (its left and right taken from the window
// rectangle in client coordinates, its top and bottom kept), and the logo keeping its size,
// centred on the window's horizontal centre. The images are drawn for a few display scales
// only, so at others they need not be as high as the banner's room: a logo lower than the
// banner is centred on it as the banner centres its own image, and a banner lower than the logo
// is made as high as the logo, which keeps its top.
struct BannerPlacement {
    Rect banner;
    Rect logo;
};

BannerPlacement PlaceBanner(const Rect& window_in_client, const Rect& banner, const Rect& logo);

}  // namespace ui
