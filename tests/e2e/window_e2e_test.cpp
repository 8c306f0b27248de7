// Orvendal.exe end to end around its main window: the settings it keeps in the registry, its
// resizable layout, the About box, and the help (including where the help viewer's library is
// loaded from).
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <iterator>
#include <map>
#include <ostream>
#include <string_view>
#include <vector>

#include "dialog_fixture.h"

#if !defined(ORVENDAL_PLANTED_LIBRARY) || !defined(ORVENDAL_LIBRARY_PROBE)
#error "ORVENDAL_PLANTED_LIBRARY and ORVENDAL_LIBRARY_PROBE must name the look-alike and its probe"
#endif

using namespace e2e;

namespace {

constexpr int Logo = 1028;
constexpr int SizeGrip = 1032;
constexpr UINT AboutCommand = 16;

bool operator==(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

RECT Shifted(RECT rect, LONG dx, LONG grow_right = 0) {
    return RECT{rect.left + dx, rect.top, rect.right + dx + grow_right, rect.bottom};
}

RECT Sized(LONG left, LONG top, LONG width, LONG height) {
    return RECT{left, top, left + width, top + height};
}

// The work area of the (only) screen.
RECT WorkArea() {
    RECT area = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

bool Inside(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

// Where the program places a window of this size when it restores nothing: centred on the work
// area of the (only) screen, never above or left of it.
RECT CentredRect(SIZE size) {
    const RECT area = WorkArea();
    const LONG left = area.left + std::max<LONG>(0, (Width(area) - size.cx) / 2);
    const LONG top = area.top + std::max<LONG>(0, (Height(area) - size.cy) / 2);
    return Sized(left, top, size.cx, size.cy);
}

// The window's size when the program creates it, measured once on a run without settings.
SIZE CreatedSize() {
    static SIZE size = {};
    if (size.cx == 0) {
        RegDeleteTreeW(HKEY_CURRENT_USER, ProductKey);
        ProgramUnderTest program(L"");
        const HWND dialog = program.WaitForDialog();
        if (dialog == nullptr) {
            ADD_FAILURE() << "the dialog did not appear";
            return size;
        }
        const RECT rect = WindowRect(dialog);
        size = SIZE{Width(rect), Height(rect)};
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        program.WaitForExit();
        RegDeleteTreeW(HKEY_CURRENT_USER, ProductKey);
    }
    return size;
}

std::wstring DirectoryOf(const std::wstring& path) {
    return path.substr(0, path.rfind(L'\\') + 1);
}

class WindowTest : public DialogTest {
  protected:
    // Asks the dialog's own thread to move and size its window (as a user's drag does, through
    // the window's size limits) and waits until the window reports `expected`.
    void MoveWindowExpecting(const RECT& requested, const RECT& expected) {
        SetWindowPos(dialog_, nullptr, requested.left, requested.top, Width(requested), Height(requested),
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS);
        const bool reached = WaitUntil([&] { return WindowRect(dialog_) == expected; }, 5000);
        const RECT actual = WindowRect(dialog_);
        EXPECT_TRUE(reached) << "window at " << actual.left << "," << actual.top << " size " << Width(actual)
                             << " x " << Height(actual) << "; expected " << expected.left << ","
                             << expected.top << " size " << Width(expected) << " x " << Height(expected);
        Send(dialog_, WM_NULL);  // after the move has been handled, the layout too
    }

    // Moves the mouse over the middle of `control` and returns the cursor shown once `settled`
    // says so, or after 2 s.
    static HCURSOR MoveMouseOver(HWND control, const std::function<bool(HCURSOR)>& settled) {
        const RECT rect = WindowRect(control);
        // Input as the mouse gives it, so the window under it is told.
        INPUT move = {};
        move.type = INPUT_MOUSE;
        move.mi.dx = ((rect.left + rect.right) / 2) * 65536 / GetSystemMetrics(SM_CXSCREEN);
        move.mi.dy = ((rect.top + rect.bottom) / 2) * 65536 / GetSystemMetrics(SM_CYSCREEN);
        move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
        SendInput(1, &move, sizeof(move));
        HCURSOR shown = nullptr;
        WaitUntil(
            [&] {
                CURSORINFO info = {};
                info.cbSize = sizeof(info);
                GetCursorInfo(&info);
                shown = info.hCursor;
                return settled(shown);
            },
            2000);
        return shown;
    }

    std::set<int> Ticked() {
        std::set<int> ticked;
        for (const Row& row : Rows) {
            if (Checked(row.check_box)) {
                ticked.insert(row.algorithm);
            }
        }
        return ticked;
    }
};

// ---------------------------------------------------------------------------------------------
// Settings

TEST_F(WindowTest, TicksFormatsAndPlacementSurviveARestart) {
    const SIZE created = CreatedSize();
    Start();
    Click(RowOf(hashlib::AlgorithmMd5).check_box);  // off
    Click(RowOf(hashlib::AlgorithmSha256).check_box);
    Click(RowOf(hashlib::AlgorithmEdonkey).check_box);
    Click(HmacBox);
    ChooseFormat(DataFormat, HexFormat);
    ChooseFormat(KeyFormat, HexKey);
    const RECT placed = Sized(40, 30, created.cx + 120, created.cy);
    MoveWindowExpecting(placed, placed);
    Close();

    EXPECT_EQ(StringValue(SettingsKey, L"WndRect"), L"t:30b:" + std::to_wstring(30 + created.cy) + L"l:40r:" +
                                                        std::to_wstring(40 + created.cx + 120));
    // HMAC, then MD5, MD4, SHA1, SHA256, SHA384, SHA512, RIPEMD160, PANAMA, TIGER, MD2,
    // ADLER32, CRC32, eDonkey.
    EXPECT_EQ(StringValue(SettingsKey, L"CheckBoxes"), L"10011001000011");
    EXPECT_EQ(StringValue(SettingsKey, L"ComboBoxes"), L"21");

    Start();
    EXPECT_TRUE(WindowRect(dialog_) == placed) << "the window was not put back where it was";
    EXPECT_TRUE(Checked(HmacBox));
    EXPECT_TRUE(Enabled(KeyEdit));
    const std::set<int> expected = {hashlib::AlgorithmSha1, hashlib::AlgorithmSha256,
                                    hashlib::AlgorithmRipemd160, hashlib::AlgorithmCrc32,
                                    hashlib::AlgorithmEdonkey};
    EXPECT_EQ(Ticked(), expected);
    EXPECT_FALSE(Visible(RowOf(hashlib::AlgorithmEdonkey).check_box));
    EXPECT_EQ(Selection(DataFormat), HexFormat);
    EXPECT_EQ(Selection(KeyFormat), HexKey);
    EXPECT_FALSE(Visible(BrowseButton));
    Close();

    // The settings the program wrote go with "/install" like any others.
    RunSwitch(L"/install");
    EXPECT_FALSE(KeyExists(ProductKey));
    EXPECT_FALSE(KeyExists(MakerKey));
}

// Stored values written before the program starts, and what the program makes of them.
struct StoredCase {
    const char* name;
    std::function<std::wstring(SIZE created)> window_rect;
    std::wstring check_boxes;
    std::wstring combo_boxes;
    // The window's rectangle; nothing for the created size centred.
    std::function<std::optional<RECT>(SIZE created)> placement;
    bool hmac;
    std::set<int> ticked;
    int data_format;
    int key_format;
};

void PrintTo(const StoredCase& stored, std::ostream* out) {
    *out << stored.name;
}

class StoredSettingsTest : public WindowTest, public testing::WithParamInterface<StoredCase> {};

TEST_P(StoredSettingsTest, AreReadAsStored) {
    const StoredCase& stored = GetParam();
    const SIZE created = CreatedSize();
    SetStringValue(SettingsKey, L"WndRect", stored.window_rect(created));
    SetStringValue(SettingsKey, L"CheckBoxes", stored.check_boxes);
    SetStringValue(SettingsKey, L"ComboBoxes", stored.combo_boxes);
    Start();

    const RECT expected = stored.placement(created).value_or(CentredRect(created));
    const RECT actual = WindowRect(dialog_);
    EXPECT_TRUE(actual == expected) << "window at " << actual.left << "," << actual.top << " size "
                                    << Width(actual) << " x " << Height(actual) << "; expected "
                                    << expected.left << "," << expected.top << " size " << Width(expected)
                                    << " x " << Height(expected);
    EXPECT_TRUE(Inside(actual, WorkArea())) << "the window is out of reach";
    EXPECT_FALSE(IsZoomed(dialog_));
    EXPECT_EQ(Checked(HmacBox), stored.hmac);
    EXPECT_EQ(Enabled(KeyEdit), stored.hmac);
    EXPECT_EQ(Ticked(), stored.ticked);
    EXPECT_EQ(Selection(DataFormat), stored.data_format);
    EXPECT_EQ(Selection(KeyFormat), stored.key_format);
}

std::function<std::wstring(SIZE)> Fixed(const std::wstring& value) {
    return [value](SIZE) { return value; };
}

std::optional<RECT> Centred(SIZE) {
    return std::nullopt;
}

const std::set<int> NoTicks = {};

INSTANTIATE_TEST_SUITE_P(
    Values, StoredSettingsTest,
    testing::Values(
        // The rectangle's position is restored; its size is below the window's minimum, which
        // the window keeps to. One HMAC tick and thirteen unticked algorithms; hex and hex.
        StoredCase{"SmallRectangleOnlyHmacHexAndHex", Fixed(L"t:10b:400l:20r:300"), L"10000000000000", L"21",
                   [](SIZE created) { return std::optional<RECT>(Sized(20, 10, created.cx, created.cy)); },
                   true, NoTicks, HexFormat, HexKey},
        StoredCase{
            "WiderRectangleAllTicked",
            [](SIZE created) {
                return L"t:50b:" + std::to_wstring(50 + created.cy) + L"l:60r:" +
                       std::to_wstring(60 + created.cx + 200);
            },
            L"01111111111111", L"10",
            [](SIZE created) { return std::optional<RECT>(Sized(60, 50, created.cx + 200, created.cy)); },
            false, AllTicks, TextFormat, 0},
        // Above the screen: the default placement. Thirteen characters are no value; "31"
        // leaves the data format (there is no item 3) and selects the hex key.
        StoredCase{"NegativeTopThirteenTicksDataFormat3", Fixed(L"t:-20b:400l:20r:300"), L"1111111111111",
                   L"31", Centred, false, DefaultTicks, FileFormat, HexKey},
        // Saved on a monitor that is gone: brought onto the screen at its right edge, at the same
        // height, as wide as it was (unless that is below the window's minimum). Fifteen
        // characters are no value.
        StoredCase{"OffEveryMonitorFifteenTicks", Fixed(L"t:100b:600l:5000r:5400"), L"111111111111111", L"/1",
                   [](SIZE created) {
                       const LONG width = std::max<LONG>(400, created.cx);
                       return std::optional<RECT>(Sized(WorkArea().right - width, 100, width, created.cy));
                   },
                   false, DefaultTicks, FileFormat, HexKey},
        // Taller than the screen and low on it: the window keeps its highest size, moved up so
        // its bottom row stays on the screen.
        StoredCase{"TallerThanTheScreen", Fixed(L"t:600b:3600l:30r:130"), L"", L"",
                   [](SIZE created) {
                       const LONG top = std::min<LONG>(600, WorkArea().bottom - created.cy);
                       return std::optional<RECT>(Sized(30, top, created.cx, created.cy));
                   },
                   false, DefaultTicks, FileFormat, 0},
        // Closed maximised: opens at the created size, centred. Only '1' ticks.
        StoredCase{"MaximizedLettersInTicks", Fixed(L"maximized"), L"1x1x1x1x1x1x1x", L"2", Centred, true,
                   std::set<int>{1, 3, 5, 7, 9, 11}, FileFormat, 0},
        StoredCase{"NumberBeyond32Bits", Fixed(L"t:10b:4294967696l:20r:300"), L"", L"211", Centred, false,
                   DefaultTicks, FileFormat, 0},
        StoredCase{"Garbage", Fixed(L"garbage"), L"abc", L"xy", Centred, false, DefaultTicks, FileFormat, 0}),
    [](const testing::TestParamInfo<StoredCase>& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------------
// Layout

TEST_F(WindowTest, WideningBy100StretchesTheEditsAndMovesTheRightColumn) {
    Start();
    const RECT window = WindowRect(dialog_);
    const std::map<HWND, RECT> before = ControlRects();

    MoveWindowExpecting(Shifted(window, 0, 100), Shifted(window, 0, 100));
    const std::map<HWND, RECT> after = ControlRects();
    TakeScreenshot(L"dialog-widened");

    std::set<int> stretched = {DataEdit,         KeyEdit,          1033,        1034,
                               LineAboveEdonkey, LineBelowEdonkey, ProgressBar, StatusText};
    for (const Row& row : Rows) {
        stretched.insert(row.result);
    }
    const std::set<int> moved = {BrowseButton, IDOK, IDCANCEL, HelpButton, SizeGrip};
    for (const auto& [control, rect] : before) {
        const int id = GetDlgCtrlID(control);
        SCOPED_TRACE(testing::Message() << "control " << id);
        if (stretched.count(id) != 0) {
            EXPECT_TRUE(after.at(control) == Shifted(rect, 0, 100));
        } else if (moved.count(id) != 0) {
            EXPECT_TRUE(after.at(control) == Shifted(rect, 100));
        } else {  // check boxes, labels, selectors and the logo
            EXPECT_TRUE(after.at(control) == rect);
        }
    }
    EXPECT_EQ(Width(WindowRect(Item(Rows[0].result))), Width(before.at(Item(Rows[0].result))) + 100);

    // Back to the start size: everything where it began, nothing accumulated.
    MoveWindowExpecting(window, window);
    for (const auto& [control, rect] : ControlRects()) {
        EXPECT_TRUE(rect == before.at(control)) << "control " << GetDlgCtrlID(control);
    }
}

TEST_F(WindowTest, NeverSmallerThanAtStartNorTallerThanAtCreation) {
    const SIZE created = CreatedSize();
    Start();
    const RECT start = WindowRect(dialog_);
    ASSERT_EQ(Width(start), created.cx);
    ASSERT_EQ(Height(start), created.cy);

    MoveWindowExpecting(Sized(start.left + 10, start.top + 10, created.cx - 60, created.cy - 60),
                        Sized(start.left + 10, start.top + 10, created.cx, created.cy));
    MoveWindowExpecting(Sized(start.left + 20, start.top + 20, created.cx, created.cy + 100),
                        Sized(start.left + 20, start.top + 20, created.cx, created.cy));
    // Wider is allowed, as wide as the screen takes.
    MoveWindowExpecting(Sized(start.left, start.top, created.cx + 300, created.cy),
                        Sized(start.left, start.top, created.cx + 300, created.cy));
}

// ---------------------------------------------------------------------------------------------
// Display scale

// The move to a display at 200 % and back, as the system reports it (Wine's own displays all
// share one scale, so it never does). The frame is drawn by the system and may keep its size,
// so distances inside the client area are compared, from the edges a control is anchored to.
TEST_F(WindowTest, FollowsAChangeOfDisplayScaleAndComesBackExactly) {
    Start();
    const RECT window = WindowRect(dialog_);
    const std::map<HWND, RECT> before = ClientRects(dialog_);
    RECT client_before = {};
    GetClientRect(dialog_, &client_before);
    const RECT logo_before = before.at(Item(Logo));
    ASSERT_EQ(Width(logo_before), 66);
    ASSERT_EQ(Height(logo_before), 17);

    const RECT suggested = Sized(0, 0, 2 * Width(window), 2 * Height(window));
    SendDpiChanged(*program_, dialog_, 192, suggested);
    EXPECT_TRUE(WindowRect(dialog_) == suggested) << "the window did not take the suggested rectangle";
    const std::map<HWND, RECT> after = ClientRects(dialog_);
    RECT client = {};
    GetClientRect(dialog_, &client);

    std::set<int> stretched = {DataEdit,         KeyEdit,          1033,        1034,
                               LineAboveEdonkey, LineBelowEdonkey, ProgressBar, StatusText};
    for (const Row& row : Rows) {
        stretched.insert(row.result);
    }
    const std::set<int> right_column = {BrowseButton, IDOK, IDCANCEL, HelpButton, SizeGrip};
    const std::set<int> bottom_row = {IDOK, IDCANCEL, HelpButton,  SizeGrip,
                                      Logo, 1034,     ProgressBar, StatusText};
    for (const auto& [control, was] : before) {
        const int id = GetDlgCtrlID(control);
        SCOPED_TRACE(testing::Message() << "control " << id);
        const RECT& now = after.at(control);
        if (right_column.count(id) != 0) {
            EXPECT_EQ(client.right - now.right, 2 * (client_before.right - was.right));
            EXPECT_EQ(Width(now), 2 * Width(was));
        } else if (id != Logo) {
            EXPECT_EQ(now.left, 2 * was.left);
        }
        if (id == DataEdit) {
            // Refitted to the browse button as ever, 2 pixels left of it.
            EXPECT_EQ(now.right, after.at(Item(BrowseButton)).left - 2);
        } else if (stretched.count(id) != 0) {
            EXPECT_EQ(client.right - now.right, 2 * (client_before.right - was.right));
        } else if (right_column.count(id) == 0 && id != Logo) {
            EXPECT_EQ(Width(now), 2 * Width(was));
        }
        if (bottom_row.count(id) != 0) {
            EXPECT_EQ(client.bottom - now.bottom, 2 * (client_before.bottom - was.bottom));
        } else {
            EXPECT_EQ(now.top, 2 * was.top);
        }
        if (ClassOf(control) == L"ComboBox") {
            // A drop-down list is as high as its font makes it: that font is twice the size.
            EXPECT_GE(Height(now), Height(was) * 3 / 2);
        } else if (id != Logo) {
            EXPECT_EQ(Height(now), 2 * Height(was));
        }
    }
    // The logo drawn for 200 %, at the left where it was, scaled.
    const RECT logo = after.at(Item(Logo));
    EXPECT_EQ(Width(logo), 132);
    EXPECT_EQ(Height(logo), 34);
    EXPECT_EQ(logo.left, 2 * logo_before.left);
    // Its limits are twice as large as well.
    MoveWindowExpecting(Sized(0, 0, Width(suggested) - 50, Height(suggested) + 50), suggested);

    SendDpiChanged(*program_, dialog_, 96, window);
    EXPECT_TRUE(WindowRect(dialog_) == window);
    for (const auto& [control, rect] : ClientRects(dialog_)) {
        EXPECT_TRUE(rect == before.at(control)) << "control " << GetDlgCtrlID(control);
    }
}

// As the system reads the program's manifest (an activation context made from it), and as the
// program then runs.
TEST_F(WindowTest, AwareOfEachMonitorsScale) {
    const std::wstring program = ProgramPath();
    ACTCTXW description = {};
    description.cbSize = sizeof(description);
    description.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    description.lpSource = program.c_str();
    description.lpResourceName = CREATEPROCESS_MANIFEST_RESOURCE_ID;
    const HANDLE context = CreateActCtxW(&description);
    ASSERT_NE(context, INVALID_HANDLE_VALUE) << "no manifest in the program";
    auto setting = [&](const wchar_t* space, const wchar_t* name) {
        wchar_t value[64] = {};
        SIZE_T length = 0;
        if (!QueryActCtxSettingsW(0, context, space, name, value, std::size(value), &length)) {
            return std::wstring(L"(none)");
        }
        return std::wstring(value);
    };
    EXPECT_EQ(setting(L"http://schemas.microsoft.com/SMI/2016/WindowsSettings", L"dpiAwareness"),
              L"PerMonitorV2, PerMonitor");
    // What systems before per-monitor awareness v2 read.
    EXPECT_EQ(setting(L"http://schemas.microsoft.com/SMI/2005/WindowsSettings", L"dpiAware"), L"true/pm");
    ReleaseActCtx(context);

    Start();
    EXPECT_EQ(GetAwarenessFromDpiAwarenessContext(GetWindowDpiAwarenessContext(dialog_)),
              DPI_AWARENESS_PER_MONITOR_AWARE);
}

// ---------------------------------------------------------------------------------------------
// About box

TEST_F(WindowTest, AboutBoxOpensFromTheSystemMenu) {
    Start();
    // The main dialog's logo is a link too: the hand over it, not over its neighbour.
    const HCURSOR dialog_plain = MoveMouseOver(Item(HmacBox), [](HCURSOR) { return false; });
    EXPECT_NE(MoveMouseOver(Item(Logo), [&](HCURSOR shown) { return shown != dialog_plain; }), dialog_plain)
        << "logo";

    PostMessageW(dialog_, WM_SYSCOMMAND, AboutCommand, 0);  // modal: posted
    const HWND about = program_->WaitForOwnedDialog(dialog_);
    ASSERT_NE(about, nullptr) << "no About box";
    EXPECT_EQ(TextOf(about), L"关于 Orvendal");
    EXPECT_FALSE(IsWindowEnabled(dialog_)) << "the About box is modal";

    auto text = [&](int id) { return TextOf(GetDlgItem(about, id)); };
    EXPECT_EQ(text(1011), L"Tamberlyn Orvendal");
    EXPECT_EQ(text(1012), L"Version 2.02.00337");
    EXPECT_EQ(text(1036), L"Tamberlyn Velloquin Library");
    EXPECT_EQ(text(IDOK), L"确定");
    EXPECT_NE(text(1014), L"") << "the maker's address";
    EXPECT_NE(text(1025), L"") << "the translator credit";
    bool tools_label = false;
    for (HWND child = GetWindow(about, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        tools_label = tools_label || (ClassOf(child) == L"Static" && TextOf(child) == L"可用工具");
    }
    EXPECT_TRUE(tools_label) << "the label \"可用工具\"";

    for (const int bitmap : {1023, 1035, 1022}) {
        EXPECT_NE(Send(GetDlgItem(about, bitmap), STM_GETIMAGE, IMAGE_BITMAP), 0)
            << "bitmap control " << bitmap;
    }
    // The banner spans the whole window; the logo keeps its image's size, centred on the window.
    const RECT box = WindowRect(about);
    const RECT banner = WindowRect(GetDlgItem(about, 1023));
    const RECT logo = WindowRect(GetDlgItem(about, 1035));
    EXPECT_EQ(banner.left, box.left);
    EXPECT_EQ(banner.right, box.right);
    EXPECT_EQ(Width(logo), 130);
    EXPECT_EQ(Height(logo), 72);
    EXPECT_LE(std::abs((logo.left + logo.right) - (box.left + box.right)), 1);
    TakeScreenshot(L"about-box");

    // The links show another cursor (the hand) than the rest of the box. Cursor handles are the
    // program's own, so the test can only compare them with each other.
    const HCURSOR plain = MoveMouseOver(GetDlgItem(about, 1022), [](HCURSOR) { return false; });
    const HCURSOR link =
        MoveMouseOver(GetDlgItem(about, 1036), [&](HCURSOR shown) { return shown != plain; });
    EXPECT_NE(link, plain) << "library line";
    auto is_link = [&](HCURSOR shown) { return shown == link; };
    EXPECT_EQ(MoveMouseOver(GetDlgItem(about, 1014), is_link), link) << "address";
    EXPECT_EQ(MoveMouseOver(GetDlgItem(about, 1035), is_link), link) << "logo on the banner";
    EXPECT_EQ(MoveMouseOver(GetDlgItem(about, 1022), [&](HCURSOR shown) { return shown == plain; }), plain)
        << "picture";

    // On a display at 200 %: the images drawn for it, the banner across the box as before.
    const RECT twice = Sized(box.left, box.top, 2 * Width(box), 2 * Height(box));
    SendDpiChanged(*program_, about, 192, twice);
    EXPECT_TRUE(WindowRect(about) == twice);
    const RECT wide_banner = WindowRect(GetDlgItem(about, 1023));
    const RECT large_logo = WindowRect(GetDlgItem(about, 1035));
    EXPECT_EQ(wide_banner.left, twice.left);
    EXPECT_EQ(wide_banner.right, twice.right);
    EXPECT_EQ(Width(large_logo), 260);
    EXPECT_EQ(Height(large_logo), 144);
    EXPECT_LE(std::abs((large_logo.left + large_logo.right) - (twice.left + twice.right)), 1);
    const RECT picture = WindowRect(GetDlgItem(about, 1022));
    EXPECT_EQ(Width(picture), 216);
    EXPECT_EQ(Height(picture), 248);

    PostMessageW(about, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(about); })) << "the About box did not close";
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(dialog_) != FALSE; }));
}

// ---------------------------------------------------------------------------------------------
// Help

TEST_F(WindowTest, HelpButtonAndF1OpenTheHelpWindow) {
    Start();
    PostMessageW(Item(HelpButton), BM_CLICK, 0, 0);  // may open a message box: posted
    HWND help = WaitForHelpWindow();
    ASSERT_NE(help, nullptr) << "no help window after the Help button";
    EXPECT_EQ(program_->FindOwnedDialog(dialog_), nullptr);
    CloseHelpWindow(help);

    PostMessageW(Item(DataEdit), WM_KEYDOWN, VK_F1, 0);
    help = WaitForHelpWindow();
    ASSERT_NE(help, nullptr) << "no help window after F1";
    EXPECT_EQ(program_->FindOwnedDialog(dialog_), nullptr);
    CloseHelpWindow(help);
}

TEST_F(WindowTest, MissingHelpFileIsNamedInTheMessage) {
    // A copy of the program without its help file.
    const std::wstring directory = EmptyDirectory(L"without help");
    const std::wstring program = directory + L"Orvendal.exe";
    ASSERT_TRUE(CopyFileW(ProgramPath().c_str(), program.c_str(), FALSE));
    Start(L"", program);

    const std::wstring expected = L"未能找到\"" + directory + L"Orvendal.chm\" Help file!";
    PostMessageW(Item(HelpButton), BM_CLICK, 0, 0);
    Warning warning = ReadAndCloseWarning(program_->WaitForOwnedDialog(dialog_));
    EXPECT_EQ(warning.text, expected);
    EXPECT_EQ(warning.title, L"Orvendal");
    EXPECT_TRUE(warning.ok_only);

    PostMessageW(Item(DataEdit), WM_KEYDOWN, VK_F1, 0);
    warning = ReadAndCloseWarning(program_->WaitForOwnedDialog(dialog_));
    EXPECT_EQ(warning.text, expected);
    EXPECT_EQ(VisibleWindowTitled(HelpWindowTitle), nullptr);
}

// Under Wine, a library Wine has its own version of is taken from Wine unless the prefix asks
// for a file of that name first; this asks for that, for the two programs of the test only, so
// a look-alike found on the search path is really loaded. (Windows always takes the file.)
class LookAlikesFirst {
  public:
    LookAlikesFirst() {
        for (const wchar_t* program : Programs) {
            SetStringValue(KeyOf(program), Library, L"native,builtin");
        }
    }
    ~LookAlikesFirst() {
        for (const wchar_t* program : Programs) {
            RegDeleteKeyValueW(HKEY_CURRENT_USER, KeyOf(program).c_str(), Library);
        }
    }
    LookAlikesFirst(const LookAlikesFirst&) = delete;
    LookAlikesFirst& operator=(const LookAlikesFirst&) = delete;

  private:
    static constexpr const wchar_t* Programs[] = {L"library_probe.exe", L"Orvendal.exe"};
    static constexpr wchar_t Library[] = L"hhctrl.ocx";
    static std::wstring KeyOf(const wchar_t* program) {
        return std::wstring(L"Software\\Wine\\AppDefaults\\") + program + L"\\DllOverrides";
    }
};

TEST_F(WindowTest, HelpViewerComesOnlyFromTheSystemDirectory) {
    const std::wstring planted = WindowsPath(ORVENDAL_PLANTED_LIBRARY);
    const LookAlikesFirst look_alikes_first;

    // A program that looks the library up by name loads the look-alike beside it, which marks
    // the load.
    const std::wstring probe_directory = EmptyDirectory(L"planted probe");
    const std::wstring probe = probe_directory + L"library_probe.exe";
    ASSERT_TRUE(CopyFileW(WindowsPath(ORVENDAL_LIBRARY_PROBE).c_str(), probe.c_str(), FALSE));
    ASSERT_TRUE(CopyFileW(planted.c_str(), (probe_directory + L"hhctrl.ocx").c_str(), FALSE));
    {
        ProgramUnderTest probe_run(probe, L"", probe_directory);
        ASSERT_TRUE(probe_run.started());
        EXPECT_EQ(probe_run.WaitForExit(StartTimeoutMs).value_or(99), 0u);
    }
    ASSERT_TRUE(FileExists(probe_directory + L"hhctrl.ocx.loaded")) << "the look-alike was not picked up";

    // A copy of the program with its help file and a look-alike beside it, started in a
    // directory that holds another.
    const std::wstring beside = EmptyDirectory(L"planted beside");
    const std::wstring current = EmptyDirectory(L"planted current");
    const std::wstring program = beside + L"Orvendal.exe";
    ASSERT_TRUE(CopyFileW(ProgramPath().c_str(), program.c_str(), FALSE));
    ASSERT_TRUE(CopyFileW((DirectoryOf(ProgramPath()) + L"Orvendal.chm").c_str(),
                          (beside + L"Orvendal.chm").c_str(), FALSE));
    ASSERT_TRUE(CopyFileW(planted.c_str(), (beside + L"hhctrl.ocx").c_str(), FALSE));
    ASSERT_TRUE(CopyFileW(planted.c_str(), (current + L"hhctrl.ocx").c_str(), FALSE));
    Start(L"", program, current);

    PostMessageW(Item(HelpButton), BM_CLICK, 0, 0);
    const HWND help = WaitForHelpWindow();
    EXPECT_NE(help, nullptr) << "no help window";
    if (const HWND box = program_->FindOwnedDialog(dialog_); box != nullptr) {
        ADD_FAILURE() << "unexpected message: " << ReadAndCloseWarning(box).text;
    }
    EXPECT_FALSE(FileExists(beside + L"hhctrl.ocx.loaded")) << "loaded from beside the program";
    EXPECT_FALSE(FileExists(current + L"hhctrl.ocx.loaded")) << "loaded from the current directory";
    if (help != nullptr) {
        CloseHelpWindow(help);
    }
}

// ---------------------------------------------------------------------------------------------
// The program's icon

// Icon directory entries as the resource holds them (GRPICONDIR, GRPICONDIRENTRY).
#pragma pack(push, 2)
struct IconGroupHeader {
    WORD reserved;
    WORD type;
    WORD count;
};
struct IconGroupEntry {
    BYTE width;  // 0 for 256
    BYTE height;
    BYTE colours;
    BYTE reserved;
    WORD planes;
    WORD bit_count;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

TEST(ProgramIcon, HasAFrameForEverySizeTheShellShows) {
    const HMODULE program = LoadLibraryExW(ProgramPath().c_str(), nullptr,
                                           LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(program, nullptr);
    auto resource = [&](int id, const wchar_t* type) -> std::string_view {
        const HRSRC found = FindResourceW(program, MAKEINTRESOURCEW(id), type);
        const HGLOBAL loaded = found == nullptr ? nullptr : LoadResource(program, found);
        return loaded == nullptr ? std::string_view()
                                 : std::string_view(static_cast<const char*>(LockResource(loaded)),
                                                    SizeofResource(program, found));
    };
    const std::string_view group = resource(128, RT_GROUP_ICON);
    ASSERT_GE(group.size(), sizeof(IconGroupHeader));
    IconGroupHeader header;
    std::memcpy(&header, group.data(), sizeof(header));
    ASSERT_EQ(group.size(), sizeof(header) + header.count * sizeof(IconGroupEntry));
    std::vector<int> sizes;
    for (size_t i = 0; i < header.count; ++i) {
        IconGroupEntry entry;
        std::memcpy(&entry, group.data() + sizeof(header) + i * sizeof(entry), sizeof(entry));
        const int size = entry.width == 0 ? 256 : entry.width;
        SCOPED_TRACE(testing::Message() << size << " px");
        sizes.push_back(size);
        EXPECT_EQ(entry.height, entry.width);
        EXPECT_EQ(entry.bit_count, 32);
        const std::string_view image = resource(entry.id, RT_ICON);
        ASSERT_EQ(image.size(), entry.bytes);
        if (size == 256) {
            EXPECT_EQ(image.substr(0, 8), std::string_view("\x89PNG\r\n\x1a\n", 8)) << "not PNG-compressed";
        } else {
            BITMAPINFOHEADER bitmap;
            ASSERT_GE(image.size(), sizeof(bitmap));
            std::memcpy(&bitmap, image.data(), sizeof(bitmap));
            EXPECT_EQ(bitmap.biWidth, size);
            EXPECT_EQ(bitmap.biHeight, 2 * size);  // colours and mask
        }
        // The system reads every frame, the compressed one too.
        const HICON icon =
            static_cast<HICON>(LoadImageW(program, MAKEINTRESOURCEW(128), IMAGE_ICON, size, size, 0));
        ICONINFO info = {};
        BITMAP colours = {};
        ASSERT_TRUE(icon != nullptr && GetIconInfo(icon, &info));
        GetObjectW(info.hbmColor, sizeof(colours), &colours);
        EXPECT_EQ(colours.bmWidth, size);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(icon);
    }
    EXPECT_EQ(sizes, (std::vector<int>{16, 20, 24, 32, 40, 48, 64, 256}));
    FreeLibrary(program);
}

}  // namespace
