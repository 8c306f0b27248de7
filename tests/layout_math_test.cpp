#include "ui/layout_math.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "rect_printer.h"
#include "ui/dpi_math.h"

using namespace ui;

namespace {

// The main dialog's controls as the template places them, at 2 pixels per dialog unit.
std::map<int32_t, Rect> TemplateControls() {
    auto at = [](int x, int y, int w, int h) { return Rect{2 * x, 2 * y, 2 * (x + w), 2 * (y + h)}; };
    std::map<int32_t, Rect> controls = {
        {1028, at(7, 285, 44, 10)},
        {1033, at(7, 61, 243, 1)},
        {1003, at(237, 15, 12, 13)},
        {1002, at(63, 15, 173, 13)},
        {1005, at(121, 40, 128, 13)},
        {1034, at(7, 274, 243, 1)},
        {1035, at(7, 249, 243, 1)},
        {1036, at(7, 274, 243, 1)},
        {1, at(114, 283, 44, 14)},
        {2, at(160, 283, 44, 14)},
        {1029, at(205, 283, 44, 14)},
        {1032, at(244, 293, 11, 10)},
        {1040, at(63, 256, 186, 12)},
        // Check boxes and a label, which the layout leaves where they are.
        {1008, at(7, 68, 31, 10)},
        {1004, at(7, 41, 37, 10)},
        {-1, at(7, 7, 51, 8)},
    };
    const int32_t results[] = {1009, 1037, 1011, 1013, 1015, 1017, 1019, 1021, 1027, 1007, 1023, 1025};
    for (int row = 0; row < 12; ++row) {
        controls[results[row]] = at(63, 67 + 15 * row, 186, 12);
    }
    return controls;
}

ControlRectLookup LookupIn(const std::map<int32_t, Rect>& controls) {
    return [&controls](int32_t id) -> std::optional<Rect> {
        const auto found = controls.find(id);
        return found == controls.end() ? std::nullopt : std::optional<Rect>(found->second);
    };
}

Rect Shifted(Rect rect, int32_t dx, int32_t dy, int32_t grow_right = 0) {
    return Rect{rect.left + dx, rect.top + dy, rect.right + dx + grow_right, rect.bottom + dy};
}

const Rect Client{0, 0, 512, 608};

class MainLayout : public testing::Test {
  protected:
    MainLayout() : controls(TemplateControls()), table(MainLayoutTable) {
        RecordLayout(table, 530, 650, Client, LookupIn(controls));
    }

    // Applies the layout for `client` and moves the controls as the dialog would.
    std::map<int32_t, Rect> Apply(const Rect& client) {
        for (const ControlMove& move : ComputeLayout(table, client, LookupIn(controls))) {
            controls[move.control_id] = move.rect;
        }
        return controls;
    }

    std::map<int32_t, Rect> controls;
    LayoutTable table;
};

}  // namespace

TEST(MainLayoutTable, ControlsAndAnchors) {
    std::set<int32_t> ids;
    size_t i = LayoutFirstControlEntry;
    for (; MainLayoutTable[i].control_id != 0; ++i) {
        EXPECT_TRUE(ids.insert(MainLayoutTable[i].control_id).second) << MainLayoutTable[i].control_id;
    }
    EXPECT_EQ(i, MainLayoutTable.size() - 1);
    EXPECT_EQ(ids.size(), 25u);
    const std::map<int32_t, uint32_t> anchors = {{1028, 0x02}, {1003, 0x08}, {1002, 0x0C}, {1034, 0x0E},
                                                 {1040, 0x0C}, {1, 0x0A},    {1032, 0x0A}};
    for (const LayoutEntry& entry : MainLayoutTable) {
        if (anchors.count(entry.control_id)) {
            EXPECT_EQ(entry.anchors, anchors.at(entry.control_id)) << entry.control_id;
        }
    }
}

TEST_F(MainLayout, WideningBy100StretchesEditsAndMovesTheRightColumn) {
    const std::map<int32_t, Rect> before = controls;
    const std::map<int32_t, Rect> after = Apply({0, 0, 612, 608});
    for (int32_t id : {1002, 1005, 1033, 1034, 1035, 1036, 1009, 1037, 1011, 1013, 1015, 1017, 1019, 1021,
                       1027, 1007, 1023, 1025, 1040}) {
        EXPECT_EQ(after.at(id), Shifted(before.at(id), 0, 0, 100)) << id;
    }
    for (int32_t id : {1003, 1, 2, 1029, 1032}) {
        EXPECT_EQ(after.at(id), Shifted(before.at(id), 100, 0)) << id;
    }
    for (int32_t id : {1028, 1008, 1004, -1}) {
        EXPECT_EQ(after.at(id), before.at(id)) << id;
    }
}

TEST_F(MainLayout, TallerWindowMovesTheBottomRowOnly) {
    const std::map<int32_t, Rect> before = controls;
    const std::map<int32_t, Rect> after = Apply({0, 0, 512, 648});
    for (int32_t id : {1028, 1034, 1, 2, 1029, 1032}) {
        EXPECT_EQ(after.at(id), Shifted(before.at(id), 0, 40)) << id;
    }
    for (int32_t id : {1002, 1003, 1009, 1040, 1035, 1036}) {
        EXPECT_EQ(after.at(id), before.at(id)) << id;
    }
}

TEST_F(MainLayout, MinimiseAndRestoreAccumulateNothing) {
    const std::map<int32_t, Rect> before = controls;
    Apply({0, 0, 0, 0});
    Apply({0, 0, 613, 611});
    EXPECT_EQ(Apply(Client), before);
}

TEST(LayoutArithmetic, UnrecordedTableIsHarmless) {
    // A size message before the capture: every recorded rectangle is zero, some controls
    // do not exist yet.
    const std::map<int32_t, Rect> controls = {{1009, {126, 134, 498, 158}}, {1, {228, 566, 316, 594}}};
    const std::vector<ControlMove> moves =
        ComputeLayout(MainLayoutTable, {0, 0, 612, 608}, LookupIn(controls));
    ASSERT_EQ(moves.size(), 2u);
    EXPECT_EQ(moves[0].control_id, 1009);
    EXPECT_EQ(moves[0].rect, (Rect{0, 134, 612, 158}));
    EXPECT_EQ(moves[1].control_id, 1);
    EXPECT_EQ(moves[1].rect, (Rect{612, 608, 612, 608}));
    EXPECT_TRUE(ComputeLayout(std::span<const LayoutEntry>(), Client, LookupIn(controls)).empty());
}

TEST(LayoutArithmetic, ScaleAndCentreFlags) {
    const Rect recorded_client{0, 0, 200, 100};
    const Rect client{0, 0, 300, 10};  // sx 1.5, sy 0.1
    const Rect current{1, 2, 3, 4};
    auto place = [&](uint32_t anchors, Rect recorded) {
        return LayoutControl({7, anchors, recorded}, recorded_client, client, current);
    };
    const Rect recorded{50, 0, 101, 50};  // width 51, height 50
    EXPECT_EQ(place(ScaleHorz, recorded), (Rect{75, 2, 151, 4}));
    EXPECT_EQ(place(AnchorLeft | ScaleHorz, recorded), (Rect{50, 2, 126, 4}));
    EXPECT_EQ(place(AnchorRight | ScaleHorz, recorded), (Rect{125, 2, 201, 4}));
    EXPECT_EQ(place(AnchorLeft, recorded), (Rect{50, 2, 3, 4}));
    // Half the width is taken in integers (25); the result is cut toward zero, not floored.
    EXPECT_EQ(place(CentreHorz, recorded), (Rect{87, 2, 138, 4}));
    EXPECT_EQ(place(CentreVert, recorded), (Rect{1, -22, 3, 28}));
    EXPECT_EQ(place(ScaleVert | AnchorTop, recorded), (Rect{1, 0, 3, 5}));
    // Nothing recorded: the scale factors are 0, not a division by zero.
    EXPECT_EQ(LayoutControl({7, ScaleHorz | CentreVert, recorded}, Rect{}, client, current),
              (Rect{0, -25, 0, 25}));
    // A scale factor far beyond any screen clamps instead of overflowing.
    const Rect huge = LayoutControl({7, ScaleHorz, recorded}, {0, 0, 1, 1}, {0, 0, INT32_MAX, 1}, current);
    EXPECT_EQ(huge.left, INT32_MAX);
    EXPECT_EQ(huge.right, INT32_MAX);
}

TEST(TrackingLimits, NoSmallerThanCapturedNoTallerThanCreated) {
    LayoutTable table = MainLayoutTable;
    const TrackingSize platform{100, 30, 1300, 1100};
    EXPECT_EQ(ComputeTrackingLimits(table, 0, platform), (TrackingSize{0, 0, 1300, 1100}));
    RecordLayout(table, 530, 650, Client, [](int32_t) { return std::nullopt; });
    EXPECT_EQ(ComputeTrackingLimits(table, 0, platform), (TrackingSize{530, 650, 1300, 1100}));
    EXPECT_EQ(ComputeTrackingLimits(table, 660, platform), (TrackingSize{530, 650, 1300, 660}));
}

TEST(DpiArithmetic, LengthsRoundAsTheSystemDoesAndImagesNeverGrowPastTheirRoom) {
    EXPECT_EQ(ScaleForDpi(5, 144, 96), 8);  // 7.5: halves away from zero
    EXPECT_EQ(ScaleForDpi(-5, 144, 96), -8);
    EXPECT_EQ(ScaleForDpi(3, 120, 96), 4);
    EXPECT_EQ(ScaleForDpi(8, 96, 144), 5);
    EXPECT_EQ(ScaleForDpi(INT32_MAX, 192, 96), INT32_MAX);
    EXPECT_EQ(ScaleForDpi(17, 96, 0), 17);
    EXPECT_EQ(ScaleForDpi(Rect{-3, 1, 66, 17}, 144, 96), (Rect{-5, 2, 99, 26}));

    const std::map<uint32_t, uint32_t> scale_at = {{72, 100},  {96, 100},  {120, 100}, {143, 100},
                                                   {144, 150}, {168, 150}, {191, 150}, {192, 200},
                                                   {288, 200}, {480, 200}};
    for (const auto& [dpi, percent] : scale_at) {
        EXPECT_EQ(ImageScaleForDpi(dpi), percent) << dpi << " DPI";
    }
    EXPECT_EQ(ImageVariantId(IDB_LOGO, 96), IDB_LOGO);
    EXPECT_EQ(ImageVariantId(IDB_LOGO, 144), IDB_LOGO + 1000);
    EXPECT_EQ(ImageVariantId(IDB_ABOUT_PICTURE, 240), IDB_ABOUT_PICTURE + 2000);
}

TEST_F(MainLayout, AtTwiceTheDpiEverythingIsTwiceAsLargeAndComesBackExactly) {
    const std::map<int32_t, Rect> at_96 = controls;
    LayoutTable scaled{};
    ScaleLayout(table, 96, 192, scaled);
    EXPECT_EQ(scaled[LayoutWindowEntry].rect, (Rect{0, 0, 1060, 1300}));
    EXPECT_EQ(ComputeTrackingLimits(scaled, ScaleForDpi(700, 192, 96), {}),
              (TrackingSize{1060, 1300, 0, 1400}));
    for (size_t i = 0; i < table.size(); ++i) {
        EXPECT_EQ(scaled[i].control_id, table[i].control_id);
        EXPECT_EQ(scaled[i].anchors, table[i].anchors);
    }

    // The controls as the window moved to the other display puts them; then the layout for a
    // client area 2 x 100 pixels wider than the recorded one, scaled.
    for (auto& [id, rect] : controls) {
        rect = ScaleForDpi(rect, 192, 96);
    }
    std::swap(table, scaled);
    const std::map<int32_t, Rect> at_192 = Apply({0, 0, 1224, 1216});
    for (int32_t id : {1002, 1005, 1034, 1009, 1040}) {
        EXPECT_EQ(at_192.at(id), Shifted(ScaleForDpi(at_96.at(id), 192, 96), 0, 0, 200)) << id;
    }
    for (int32_t id : {1003, 1, 1032}) {
        EXPECT_EQ(at_192.at(id), Shifted(ScaleForDpi(at_96.at(id), 192, 96), 200, 0)) << id;
    }
    EXPECT_EQ(at_192.at(1008), ScaleForDpi(at_96.at(1008), 192, 96));

    // Back at 144 and then at 96, from the recorded table each time.
    std::swap(table, scaled);
    ScaleLayout(table, 96, 144, scaled);
    EXPECT_EQ(scaled[LayoutClientEntry].rect, (Rect{0, 0, 768, 912}));
    ScaleLayout(table, 96, 96, scaled);
    for (size_t i = 0; i < table.size(); ++i) {
        EXPECT_EQ(scaled[i].rect, table[i].rect);
    }
}
