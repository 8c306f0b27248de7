#include "ui/settings_format.h"

#include <gtest/gtest.h>

#include <vector>

#include "rect_printer.h"

using namespace ui;

namespace {

const Rect Screen{0, 0, 1280, 984};  // one monitor's work area

const TrackingSize NoLimits{};

bool Restores(std::wstring_view value, std::span<const Rect> areas = {&Screen, 1}) {
    return ChooseWindowPlacement(ParseWindowRect(value), areas, NoLimits, 400, 500, Screen).source ==
           PlacementSource::Stored;
}

WindowPlacement Place(const Rect& stored, std::span<const Rect> areas,
                      const TrackingSize& limits = NoLimits) {
    return ChooseWindowPlacement(stored, areas, limits, 400, 500, Screen);
}

}  // namespace

TEST(WindowRect, ReadFromTheEndIntoTopBottomLeftRight) {
    EXPECT_EQ(ParseWindowRect(L"t:10b:400l:20r:300"), (Rect{20, 10, 300, 400}));
    EXPECT_TRUE(Restores(L"t:10b:400l:20r:300"));
    // Only the position of a field counts, never its letter; fields before the last four are
    // never reached.
    EXPECT_EQ(ParseWindowRect(L"x:10y:400z:20w:300"), (Rect{20, 10, 300, 400}));
    EXPECT_EQ(ParseWindowRect(L"q:7t:10b:400l:20r:300"), (Rect{20, 10, 300, 400}));
    // The character in front of each ':' is dropped unread, even when it is another ':'.
    EXPECT_EQ(ParseWindowRect(L"t:10b:400l:20::300"), (Rect{20, 10, 300, 400}));
    EXPECT_EQ(ParseWindowRect(L"t:-5b:400l:-9r:300 \t\r\n"), (Rect{-9, -5, 300, 400}));
    // A number ends at its first non-digit; no digits read as 0.
    EXPECT_EQ(ParseWindowRect(L"t:1xb:400l:20r:300px"), (Rect{20, 1, 300, 400}));
    EXPECT_EQ(ParseWindowRect(L"t:b:400l:20r:300"), (Rect{20, 0, 300, 400}));
}

TEST(WindowRect, MalformedValuesGiveTheDefaultPlacement) {
    for (const wchar_t* value :
         {L"", L"   ", L"maximized", L"maximized \r\n", L"t:-20b:400l:20r:300", L"t:10b:400l:-10r:300",
          L"t:10b:400", L"t:10b:400l:20r:", L":5", L"t:400b:10l:20r:300", L"t10b400l20r300", L"garbage"}) {
        SCOPED_TRACE(testing::Message() << "value length " << std::wstring_view(value).size());
        EXPECT_FALSE(Restores(value));
    }
    // A truncated value fills the fields from the right and leaves the rest 0.
    EXPECT_EQ(ParseWindowRect(L"t:10b:400"), (Rect{10, 0, 400, 0}));
    EXPECT_EQ(ParseWindowRect(L":5"), (Rect{0, 0, 5, 0}));
}

TEST(WindowRect, NumbersBeyond32BitsInvalidateTheValue) {
    EXPECT_EQ(ParseWindowRect(L"t:-2147483648b:2147483647l:0r:1"), (Rect{0, INT32_MIN, 1, INT32_MAX}));
    // 2^32 + 400 would wrap round to a plausible 400.
    EXPECT_EQ(ParseWindowRect(L"t:10b:4294967696l:20r:300"), Rect{});
    EXPECT_EQ(ParseWindowRect(L"t:10b:400l:20r:2147483648"), Rect{});
    EXPECT_EQ(ParseWindowRect(L"t:-2147483649b:400l:20r:300"), Rect{});
    EXPECT_EQ(ParseWindowRect(L"t:10b:400l:20r:99999999999999999999999999999999"), Rect{});
}

TEST(WindowRect, FormatRoundTrips) {
    EXPECT_EQ(FormatWindowRect({20, 10, 300, 400}, false), L"t:10b:400l:20r:300");
    EXPECT_EQ(FormatWindowRect({20, 10, 300, 400}, true), L"maximized");
    for (const Rect& rect : {Rect{20, 10, 300, 400}, Rect{-9, -3, 0, 7}, Rect{INT32_MIN, 0, INT32_MAX, 1}}) {
        EXPECT_EQ(ParseWindowRect(FormatWindowRect(rect, false)), rect);
    }
}

TEST(WindowPlacement, RestoresExactlyWhatLiesWithinAWorkArea) {
    const Rect stored{20, 10, 300, 400};
    EXPECT_EQ(Place(stored, {&Screen, 1}).rect, stored);
    EXPECT_TRUE(IsPlausibleWindowRect({-9, -9, 1, 1}));
    EXPECT_FALSE(IsPlausibleWindowRect({-10, 0, 1, 1}));
    EXPECT_FALSE(IsPlausibleWindowRect({0, -10, 1, 1}));
    EXPECT_FALSE(IsPlausibleWindowRect({0, 5, 1, 5}));
    EXPECT_FALSE(IsPlausibleWindowRect({5, 0, 5, 1}));

    // Two monitors side by side: each one's own rectangles stay exactly where they were.
    const std::vector<Rect> two_monitors{Screen, Rect{1280, 0, 2560, 1024}};
    const Rect on_second{1400, 10, 1700, 400};
    EXPECT_EQ(Place(on_second, two_monitors).source, PlacementSource::Stored);
    EXPECT_EQ(Place(Rect{0, 0, 1280, 984}, two_monitors).source, PlacementSource::Stored);
    // Across both: onto the one it overlaps most.
    const WindowPlacement across = Place({1200, 10, 1500, 400}, two_monitors);
    EXPECT_EQ(across.source, PlacementSource::BroughtIntoWorkArea);
    EXPECT_EQ(across.rect, (Rect{1280, 10, 1580, 400}));
    // A window taller than its maximum is restored as stored: the window takes its maximum there.
    EXPECT_EQ(Place({20, 10, 300, 3000}, {&Screen, 1}, {0, 0, 0, 600}).source, PlacementSource::Stored);
    EXPECT_EQ(Place(stored, {}).source, PlacementSource::Default);
}

TEST(WindowPlacement, AnythingElseIsBroughtIntoTheNearestWorkArea) {
    auto brought = [](const Rect& stored, std::span<const Rect> areas,
                      const TrackingSize& limits = NoLimits) {
        const WindowPlacement placement = Place(stored, areas, limits);
        EXPECT_EQ(placement.source, PlacementSource::BroughtIntoWorkArea);
        return placement.rect;
    };
    // Saved on a second monitor that is no longer connected: the size and the height are kept.
    EXPECT_EQ(brought({1400, 10, 1700, 400}, {&Screen, 1}), (Rect{980, 10, 1280, 400}));
    // Partly below the screen, or a little above it (within the 9 pixels that count as plausible).
    EXPECT_EQ(brought({100, 800, 500, 1100}, {&Screen, 1}), (Rect{100, 684, 500, 984}));
    EXPECT_EQ(brought({20, -9, 300, 400}, {&Screen, 1}), (Rect{20, 0, 300, 409}));
    // Larger than the work area: shrunk to it.
    EXPECT_EQ(brought({50, 20, 3050, 2020}, {&Screen, 1}), Screen);
    // In the dead corner beside a lower monitor: onto the closer one, here the one above.
    const std::vector<Rect> uneven{Screen, Rect{1280, 0, 2560, 700}};
    EXPECT_EQ(brought({1500, 800, 1800, 900}, uneven), (Rect{1500, 600, 1800, 700}));
    // Saved at a lower display scale: the window's minimum size would take it below the screen.
    const TrackingSize minimum{400, 500, 0, 0};
    EXPECT_EQ(brought({20, 900, 300, 950}, {&Screen, 1}, minimum), (Rect{20, 484, 420, 984}));
    // A minimum larger than the work area: the caption's corner on the area, the window at its
    // minimum.
    EXPECT_EQ(brought({100, 100, 200, 200}, {&Screen, 1}, {2000, 1200, 0, 0}), (Rect{0, 0, 2000, 1200}));
}

TEST(WindowPlacement, DefaultIsTheCreatedSizeCentred) {
    WindowPlacement placement = Place({}, {&Screen, 1});
    EXPECT_EQ(placement.source, PlacementSource::Default);
    EXPECT_EQ(placement.rect, (Rect{440, 242, 840, 742}));
    EXPECT_EQ(Place(ParseWindowRect(L"maximized"), {&Screen, 1}).rect, (Rect{440, 242, 840, 742}));
    // Centred within a work area that does not start at the origin (a task bar on the left).
    placement = ChooseWindowPlacement({}, {&Screen, 1}, NoLimits, 400, 500, Rect{100, 0, 1280, 984});
    EXPECT_EQ(placement.rect, (Rect{490, 242, 890, 742}));
    // Larger than the area: the caption stays on screen.
    placement = ChooseWindowPlacement({}, {&Screen, 1}, NoLimits, 2000, 1200, Rect{100, 30, 1280, 984});
    EXPECT_EQ(placement.rect, (Rect{100, 30, 2100, 1230}));
    // A size that cannot end in 32 bits beside the area's origin ends at the limit instead of
    // wrapping round to a negative edge.
    placement =
        ChooseWindowPlacement({}, {&Screen, 1}, NoLimits, INT32_MAX, INT32_MAX, Rect{100, 30, 1280, 984});
    EXPECT_EQ(placement.rect, (Rect{100, 30, INT32_MAX, INT32_MAX}));
}

TEST(CheckBoxes, FourteenFlagsHmacFirstThenRowOrder) {
    const std::optional<CheckBoxFlags> hmac_only = ParseCheckBoxes(L"10000000000000");
    ASSERT_TRUE(hmac_only);
    EXPECT_EQ(*hmac_only, (CheckBoxFlags{true, {}}));

    CheckBoxFlags defaults;
    for (int id : {hashlib::AlgorithmMd5, hashlib::AlgorithmSha1, hashlib::AlgorithmRipemd160,
                   hashlib::AlgorithmCrc32}) {
        defaults.algorithms[size_t(ui::DialogRowOf(id))] = true;
    }
    EXPECT_EQ(FormatCheckBoxes(defaults), L"01010001000010");
    EXPECT_EQ(ParseCheckBoxes(L"01010001000010"), defaults);

    // Character i + 1 is row i, MD2 after TIGER and eDonkey last.
    for (size_t row = 0; row < ui::DialogRowCount; ++row) {
        std::wstring value(14, L'0');
        value[row + 1] = L'1';
        CheckBoxFlags expected;
        expected.algorithms[row] = true;
        EXPECT_EQ(ParseCheckBoxes(value), expected) << "row " << row;
    }
    // Anything but '1' unticks; trailing white space is not part of the value.
    CheckBoxFlags mixed;
    mixed.hmac = true;
    mixed.algorithms[3] = true;
    EXPECT_EQ(ParseCheckBoxes(L"1x2y1000000000 \r\n"), mixed);
}

TEST(CheckBoxes, OtherLengthsAreIgnored) {
    for (const wchar_t* value : {L"", L"1", L"1000000000000", L"100000000000000", L"11111111111111111111"}) {
        EXPECT_FALSE(ParseCheckBoxes(value)) << "length " << std::wstring_view(value).size();
    }
}

TEST(CheckBoxes, EveryCombinationRoundTrips) {
    for (unsigned bits = 0; bits < (1u << 14); ++bits) {
        CheckBoxFlags flags;
        flags.hmac = (bits & 1) != 0;
        for (size_t i = 0; i < flags.algorithms.size(); ++i) {
            flags.algorithms[i] = ((bits >> (i + 1)) & 1) != 0;
        }
        const std::wstring text = FormatCheckBoxes(flags);
        ASSERT_EQ(text.size(), 14u);
        ASSERT_EQ(ParseCheckBoxes(text), flags) << "bits " << bits;
    }
}

TEST(ComboBoxes, TwoDigitsDataFormatFirst) {
    FormatSelections selections = ParseComboBoxes(L"21");
    EXPECT_EQ(selections.data_format, 2);
    EXPECT_EQ(selections.key_format, 1);
    // 3 is passed on; the dialog selects it only below the selector's three items.
    selections = ParseComboBoxes(L"31\r\n");
    EXPECT_EQ(selections.data_format, 3);
    EXPECT_EQ(selections.key_format, 1);
    for (int data = 0; data < 10; ++data) {
        for (int key = 0; key < 10; ++key) {
            selections = ParseComboBoxes(FormatComboBoxes(data, key));
            EXPECT_EQ(selections.data_format, data);
            EXPECT_EQ(selections.key_format, key);
        }
    }
}

TEST(ComboBoxes, MalformedValuesKeepTheDefaults) {
    for (const wchar_t* value : {L"", L"2", L"210", L"-1 1"}) {
        const FormatSelections selections = ParseComboBoxes(value);
        EXPECT_FALSE(selections.data_format) << "length " << std::wstring_view(value).size();
        EXPECT_FALSE(selections.key_format);
    }
    // Only the offending character is ignored; '/' and ':' flank the digits.
    EXPECT_FALSE(ParseComboBoxes(L"/1").data_format);
    EXPECT_EQ(ParseComboBoxes(L"/1").key_format, 1);
    EXPECT_EQ(ParseComboBoxes(L"2:").data_format, 2);
    EXPECT_FALSE(ParseComboBoxes(L"2:").key_format);
    EXPECT_FALSE(ParseComboBoxes(L"a\u4e2d").data_format);
    EXPECT_FALSE(ParseComboBoxes(L"a\u4e2d").key_format);
    // A selector without a selection saves "-1": three characters, ignored when read back.
    EXPECT_EQ(FormatComboBoxes(-1, 0), L"-10");
    EXPECT_FALSE(ParseComboBoxes(FormatComboBoxes(-1, 0)).key_format);
}
