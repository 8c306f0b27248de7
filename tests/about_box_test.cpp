#include "ui/about_box.h"

#include <gtest/gtest.h>

#include <map>

#include "rect_printer.h"

using namespace ui;

namespace {

const ProgramIdentity Identity{L"Orvendal", L"Tamberlyn", L"", L"2.02.00337"};

ControlRectLookup LookupIn(const std::map<int32_t, Rect>& controls) {
    return [&controls](int32_t id) -> std::optional<Rect> {
        const auto found = controls.find(id);
        return found == controls.end() ? std::nullopt : std::optional<Rect>(found->second);
    };
}

}  // namespace

TEST(AboutBoxText, ProductAndVersionLines) {
    EXPECT_EQ(AboutProductLine(Identity), L"Tamberlyn Orvendal");
    EXPECT_EQ(AboutVersionLine(Identity), L"Version 2.02.00337");

    ProgramIdentity other = Identity;
    other.maker_word = L"Tamberlyn \t";  // trailing space is not doubled
    EXPECT_EQ(AboutProductLine(other), L"Tamberlyn Orvendal");
    other.maker_word = L"  ";  // no maker: no leading space either
    EXPECT_EQ(AboutProductLine(other), L"Orvendal");
    other.maker_word = L"";
    other.product_word = L"Orvendal ";
    EXPECT_EQ(AboutProductLine(other), L"Orvendal");

    other.edition_suffix = L"Beta";
    EXPECT_EQ(AboutVersionLine(other), L"Version 2.02.00337 Beta");
    other.edition_suffix = L"  ";
    EXPECT_EQ(AboutVersionLine(other), L"Version 2.02.00337");
}

TEST(AboutBoxLinks, ThePointDecidesThePage) {
    // Pixel rectangles of the About box: the logo lies on the banner.
    const std::map<int32_t, Rect> controls = {
        {IDC_ABOUT_BANNER, {-3, 0, 404, 72}},
        {IDC_ABOUT_LOGO, {135, 0, 265, 72}},
        {IDC_ABOUT_ADDRESS, {208, 146, 312, 159}},
        {IDC_ABOUT_LIBRARY, {91, 232, 229, 245}},
    };
    auto page_at = [&](int32_t x, int32_t y) -> std::optional<std::wstring> {
        const std::optional<WebLink> link = LinkAt(x, y, AboutBoxLinks, LookupIn(controls));
        return link ? std::optional<std::wstring>(link->page_word) : std::nullopt;
    };
    EXPECT_EQ(page_at(0, 0), L"");
    EXPECT_EQ(page_at(200, 40), L"") << "the logo opens the home page through the banner";
    EXPECT_EQ(page_at(208, 146), L"");
    EXPECT_EQ(page_at(100, 240), L"velloquin");
    // Right and bottom edges are outside, as everywhere on the platform.
    EXPECT_EQ(page_at(229, 240), std::nullopt);
    EXPECT_EQ(page_at(100, 245), std::nullopt);
    EXPECT_EQ(page_at(150, 100), std::nullopt);
    // A link whose control is missing is skipped.
    EXPECT_FALSE(LinkAt(0, 0, AboutBoxLinks, LookupIn({})));

    const std::map<int32_t, Rect> main_dialog = {{IDC_LOGO, {10, 570, 76, 587}}, {1, {171, 566, 237, 594}}};
    const std::optional<WebLink> logo = LinkAt(20, 580, MainDialogLinks, LookupIn(main_dialog));
    ASSERT_TRUE(logo);
    EXPECT_EQ(logo->page_word, L"");
    EXPECT_FALSE(LinkAt(180, 580, MainDialogLinks, LookupIn(main_dialog)));
}

TEST(AboutBoxColours, LinksBlueCreditGreyRestBlack) {
    EXPECT_EQ(AboutTextColour(IDC_ABOUT_ADDRESS), 0xFF0000u);  // blue in the high byte
    EXPECT_EQ(AboutTextColour(IDC_ABOUT_LIBRARY), RgbColour(0, 0, 255));
    EXPECT_EQ(AboutTextColour(IDC_ABOUT_TRANSLATOR), 0x646464u);
    EXPECT_EQ(AboutTextColour(IDC_ABOUT_PRODUCT), 0u);
    EXPECT_EQ(AboutTextColour(-1), 0u) << "a label";
    EXPECT_EQ(AboutTextColour(0), std::nullopt);
    EXPECT_EQ(RgbColour(1, 2, 3), 0x030201u);
}

TEST(AboutBoxBanner, SpansTheWindowWithTheLogoCentred) {
    // The client area starts 3 pixels inside the window's left edge.
    const Rect window{-3, -22, 404, 243};
    const BannerPlacement placement = PlaceBanner(window, {0, 0, 236, 72}, {0, 0, 130, 72});
    EXPECT_EQ(placement.banner, (Rect{-3, 0, 404, 72}));
    EXPECT_EQ(placement.logo, (Rect{135, 0, 265, 72}));  // centre 200 (200.5 cut), width kept
    // An odd width keeps its width; the centre is cut toward zero.
    EXPECT_EQ(PlaceBanner({-3, -22, 403, 243}, {}, {5, 1, 136, 9}).logo, (Rect{135, 1, 266, 9}));
    // Drawn for another scale than the display's: a lower logo is centred on the banner, a lower
    // banner grows to the logo's bottom.
    EXPECT_EQ(PlaceBanner(window, {0, 0, 236, 120}, {0, 0, 195, 108}).logo, (Rect{103, 6, 298, 114}));
    const BannerPlacement taller_logo = PlaceBanner(window, {0, 0, 236, 137}, {0, 0, 260, 144});
    EXPECT_EQ(taller_logo.banner, (Rect{-3, 0, 404, 144}));
    EXPECT_EQ(taller_logo.logo, (Rect{70, 0, 330, 144}));
    // Extreme edges do not overflow while the centre is worked out.
    EXPECT_EQ(PlaceBanner({INT32_MAX - 10, 0, INT32_MAX, 9}, {}, {0, 0, 4, 9}).logo.left, INT32_MAX - 7);
}
