// The main dialog's stored settings as the dialog applies and produces them: the three registry
// strings in, the ticks, selections and placement out, and back again. The string formats
// themselves are tested in settings_format_test.cpp.
#include <gtest/gtest.h>

#include <set>

#include "fake_dialog_controls.h"
#include "rect_printer.h"
#include "ui/main_dialog.h"
#include "ui/resource.h"

using ui::DialogRow;
using ui::DialogRows;

namespace {

constexpr int FileFormat = 0, HexFormat = 2;
constexpr int TextKey = 0, HexKey = 1;

const std::set<int> DefaultTicks = {hashlib::AlgorithmMd5, hashlib::AlgorithmSha1,
                                    hashlib::AlgorithmRipemd160, hashlib::AlgorithmCrc32};

class DialogSettingsTest : public testing::Test {
  protected:
    DialogSettingsTest() {
        // The window opens with both lists on their first item.
        controls[IDC_DATA_FORMAT].selection = FileFormat;
        controls[IDC_KEY_FORMAT].selection = TextKey;
    }

    void Open(const ui::StoredSettings& stored) { controls.Initialise(stored); }

    // The algorithms whose rows are ticked.
    std::set<int> TickedBoxes() {
        std::set<int> ticked;
        for (const DialogRow& row : DialogRows) {
            if (controls[row.check_box].checked) {
                ticked.insert(row.algorithm);
            }
        }
        return ticked;
    }

    ui::MainDialog dialog;
    FakeDialogControls controls{dialog};
};

}  // namespace

TEST_F(DialogSettingsTest, StoredValuesAreShown) {
    Open({L"t:10b:400l:20r:300", L"10000000000000", L"21"});
    EXPECT_EQ(dialog.stored_window_rect, (ui::Rect{20, 10, 300, 400}));
    EXPECT_TRUE(controls[IDC_HMAC].checked);
    EXPECT_EQ(TickedBoxes(), std::set<int>{});
    EXPECT_TRUE(controls[IDC_KEY_VALUE].enabled) << "HMAC mode follows the stored tick";
    EXPECT_FALSE(controls[IDC_MD2].visible);
    EXPECT_EQ(controls[IDC_DATA_FORMAT].selection, HexFormat);
    EXPECT_EQ(controls[IDC_KEY_FORMAT].selection, HexKey);
    EXPECT_FALSE(controls[IDC_BROWSE].visible);
}

TEST_F(DialogSettingsTest, MalformedValuesKeepTheDefaults) {
    struct Case {
        ui::StoredSettings stored;
        int data_format;
        int key_format;
    };
    const Case cases[] = {
        {{L"", L"", L""}, FileFormat, TextKey},
        {{L"maximized", L"1111111111111", L"31"}, FileFormat, HexKey},  // 13 ticks; no item 3
        {{L"garbage", L"111111111111111", L"/1"}, FileFormat, HexKey},  // 15 ticks; '/' is no digit
        {{L"t:10b:4294967696l:20r:300", L"11111111111111x", L"211"}, FileFormat, TextKey},
        {{L"t:-20b:400l:20r:300", L"abc", L"1"}, FileFormat, TextKey},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "combo boxes value length " << c.stored.combo_boxes.size());
        ui::MainDialog fresh;
        FakeDialogControls fresh_controls(fresh);
        fresh_controls[IDC_DATA_FORMAT].selection = FileFormat;
        fresh_controls[IDC_KEY_FORMAT].selection = TextKey;
        fresh_controls.Initialise(c.stored);
        for (const DialogRow& row : DialogRows) {
            EXPECT_EQ(fresh_controls[row.check_box].checked, DefaultTicks.count(row.algorithm) != 0)
                << "check box " << row.check_box;
        }
        EXPECT_FALSE(fresh_controls[IDC_HMAC].checked);
        EXPECT_EQ(fresh_controls[IDC_DATA_FORMAT].selection, c.data_format);
        EXPECT_EQ(fresh_controls[IDC_KEY_FORMAT].selection, c.key_format);
    }
    // A "maximized" or "t:-20..." value parses, but the placement keeps the default for it.
    dialog.LoadSettings({L"maximized", L"", L""});
    EXPECT_EQ(dialog.stored_window_rect, ui::Rect{});
}

TEST_F(DialogSettingsTest, WhatIsSavedIsWhatTheControlsShow) {
    Open({});
    controls.Click(IDC_MD5);  // off
    controls.Click(IDC_SHA256);
    controls.Click(IDC_EDONKEY);
    controls.Click(IDC_HMAC);
    controls.Choose(IDC_DATA_FORMAT, HexFormat);
    controls.Choose(IDC_KEY_FORMAT, HexKey);

    const ui::StoredSettings saved = dialog.SettingsToSave({40, 30, 570, 680}, false);
    EXPECT_EQ(saved.window_rect, L"t:30b:680l:40r:570");
    // HMAC, MD5, MD4, SHA1, SHA256, SHA384, SHA512, RIPEMD160, PANAMA, TIGER, MD2, ADLER32,
    // CRC32, eDonkey.
    EXPECT_EQ(saved.check_boxes, L"10011001000011");
    EXPECT_EQ(saved.combo_boxes, L"21");
    EXPECT_EQ(dialog.SettingsToSave({40, 30, 570, 680}, true).window_rect, L"maximized");

    // Read back by the next run, everything returns.
    ui::MainDialog next;
    FakeDialogControls next_controls(next);
    next_controls[IDC_DATA_FORMAT].selection = FileFormat;
    next_controls[IDC_KEY_FORMAT].selection = TextKey;
    next_controls.Initialise(saved);
    EXPECT_EQ(next.stored_window_rect, (ui::Rect{40, 30, 570, 680}));
    EXPECT_TRUE(next_controls[IDC_HMAC].checked);
    for (const DialogRow& row : DialogRows) {
        EXPECT_EQ(next_controls[row.check_box].checked, controls[row.check_box].checked)
            << "check box " << row.check_box;
    }
    EXPECT_EQ(next_controls[IDC_DATA_FORMAT].selection, HexFormat);
    EXPECT_EQ(next_controls[IDC_KEY_FORMAT].selection, HexKey);
}

TEST_F(DialogSettingsTest, ATickChangedWithoutItsHandlerIsSavedAsShown) {
    Open({});
    controls[IDC_TIGER].checked = true;  // no click notification reached the dialog
    EXPECT_EQ(dialog.SettingsToSave({}, false).check_boxes, L"01010001010010");
}

TEST_F(DialogSettingsTest, AListWithoutSelectionIsSavedSoThatItIsIgnored) {
    Open({});
    controls[IDC_DATA_FORMAT].selection = -1;
    const ui::StoredSettings saved = dialog.SettingsToSave({}, false);
    EXPECT_EQ(saved.combo_boxes, L"-10");
    ui::MainDialog next;
    FakeDialogControls next_controls(next);
    next.LoadSettings(saved);
    EXPECT_EQ(next.stored_data_format, 0);
    EXPECT_EQ(next.stored_key_format, 0);
}
