// Orvendal.exe on a display at the scale its run was started with: run_at_display_scales.sh runs
// this program at 96, 144 and 192 DPI (100, 150 and 200 %), each in a Wine prefix whose user
// setting says so, on a virtual display large enough for the dialog at 200 %. It takes the
// screenshots of the dialog, the About box and a calculation under way at each scale.
#include <algorithm>
#include <string>

#include "dialog_fixture.h"

using namespace e2e;

namespace {

// Like the program, this one sees the display's own pixels, whatever its scale: otherwise the
// system would report the program's windows scaled down to 96 DPI. The tests run on the thread
// that starts the program. (Version 1 of the awareness is enough for that, and Wine 8 knows no
// other.)
const bool aware_of_each_monitor =
    SetThreadDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE) != nullptr;

constexpr int Logo = 1028;
constexpr int AboutBanner = 1023;
constexpr int AboutLogo = 1035;
constexpr int AboutPicture = 1022;
constexpr UINT AboutCommand = 16;

RECT WindowRect(HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect;
}

LONG Width(const RECT& rect) {
    return rect.right - rect.left;
}

LONG Height(const RECT& rect) {
    return rect.bottom - rect.top;
}

// Waits until `window` and its controls have painted what they show, and a moment more for the
// picture to reach the display, so a screenshot shows all of it.
void WaitUntilPainted(HWND window) {
    auto painted = [](HWND one) { return GetUpdateRect(one, nullptr, FALSE) == FALSE; };
    const bool done = WaitUntil([&] {
        for (HWND child = GetWindow(window, GW_CHILD); child != nullptr;
             child = GetWindow(child, GW_HWNDNEXT)) {
            if (!painted(child)) {
                return false;
            }
        }
        return painted(window);
    });
    EXPECT_TRUE(done) << "the window did not finish painting";
    Sleep(300);
}

class DisplayScaleTest : public DialogTest {
  protected:
    void SetUp() override {
        DialogTest::SetUp();
        ASSERT_TRUE(aware_of_each_monitor);
        // The screenshots are to show the Chinese texts (Wine falls back to 1252 without the locale).
        ASSERT_EQ(GetACP(), 936u) << "run with LANG=zh_CN.UTF-8";
    }

    static UINT Dpi() { return GetDpiForSystem(); }

    // The images are drawn for 100, 150 and 200 %; a display shows the largest drawing that is
    // not larger than its own scale. `length` is the length at 100 %.
    static LONG DrawnLength(LONG length) {
        const LONG percent = Dpi() >= 192 ? 200 : Dpi() >= 144 ? 150 : 100;
        return (length * percent + 50) / 100;
    }

    static std::wstring Named(const std::wstring& what) { return what + L"-dpi-" + std::to_wstring(Dpi()); }
};

TEST_F(DisplayScaleTest, DialogAndAboutBoxShowTheImagesDrawnForIt) {
    Start();
    WaitUntilPainted(dialog_);
    TakeScreenshot(Named(L"dialog"));
    const RECT logo = WindowRect(Item(Logo));
    EXPECT_EQ(Width(logo), DrawnLength(66));
    EXPECT_EQ(Height(logo), DrawnLength(17));

    PostMessageW(dialog_, WM_SYSCOMMAND, AboutCommand, 0);  // modal: posted
    const HWND about = program_->WaitForOwnedDialog(dialog_);
    ASSERT_NE(about, nullptr) << "no About box";
    WaitUntilPainted(about);
    TakeScreenshot(Named(L"about"));
    const RECT box = WindowRect(about);
    const RECT banner = WindowRect(GetDlgItem(about, AboutBanner));
    EXPECT_EQ(banner.left, box.left);
    EXPECT_EQ(banner.right, box.right);
    const RECT about_logo = WindowRect(GetDlgItem(about, AboutLogo));
    EXPECT_EQ(Width(about_logo), DrawnLength(130));
    EXPECT_EQ(Height(about_logo), DrawnLength(72));
    const RECT picture = WindowRect(GetDlgItem(about, AboutPicture));
    EXPECT_EQ(Width(picture), DrawnLength(108));
    EXPECT_EQ(Height(picture), DrawnLength(124));
    PostMessageW(about, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(about); })) << "the About box did not close";
}

// Mid-calculation: the progress bar and its status text in the bottom band, drawn for this
// scale, the text as wide as its control at most.
TEST_F(DisplayScaleTest, ACalculationShowsItsProgressWhole) {
    SetStringValue(SettingsKey, L"CheckBoxes", OnlyMd2);
    Start();
    Type(DataEdit, LongInput());
    ASSERT_TRUE(TrySend(dialog_, WM_COMMAND, IDOK, 0, nullptr, 1000)) << "Calculate did not return at once";
    ASSERT_TRUE(WaitUntil([&] { return Visible(ProgressBar) && !Text(StatusText).empty(); }, 5000));
    WaitUntilPainted(dialog_);
    TakeScreenshot(Named(L"dialog-calculating"));
    const HWND status = Item(StatusText);
    const std::wstring text = Text(StatusText);
    RECT client = {};
    GetClientRect(status, &client);
    const HDC context = GetDC(status);
    const HGDIOBJ old_font = SelectObject(context, HFONT(SendMessageW(status, WM_GETFONT, 0, 0)));
    SIZE extent = {};
    GetTextExtentPoint32W(context, text.c_str(), int(text.size()), &extent);
    SelectObject(context, old_font);
    ReleaseDC(status, context);
    EXPECT_LE(extent.cx, client.right) << "clipped: " << text.size() << " characters";
    EXPECT_GT(Width(WindowRect(Item(ProgressBar))), Width(WindowRect(Item(Logo))) / 2);

    Send(Item(IDOK), BM_CLICK);  // Stop
    EXPECT_TRUE(WaitForCalculationEnd(dialog_, 5000)) << "Stop did not stop";
}

// Saved low on the screen by a run at 100 %: at a larger scale the window is larger, and it is
// moved up rather than opened with its bottom row off the screen.
TEST_F(DisplayScaleTest, AWindowSavedAtAnotherScaleOpensOnTheScreen) {
    RECT area = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    const LONG top = area.bottom - 600;
    SetStringValue(SettingsKey, L"WndRect",
                   L"t:" + std::to_wstring(top) + L"b:" + std::to_wstring(area.bottom - 60) + L"l:100r:700");
    Start();
    const RECT window = WindowRect(dialog_);
    EXPECT_GE(window.left, area.left);
    EXPECT_GE(window.top, area.top);
    EXPECT_LE(window.right, area.right);
    EXPECT_LE(window.bottom, area.bottom);
    // Left where it was when it fits there.
    EXPECT_EQ(window.left, 100);
    EXPECT_EQ(window.top, std::min(top, area.bottom - Height(window)));
}

}  // namespace
