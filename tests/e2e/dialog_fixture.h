// The common ground of the end-to-end tests: the program's control ids and texts as the
// dialog template and string table give them (written out here rather than taken from the
// program's headers, so a wrong id there is caught; the algorithm rows come from the dialog's
// own table of rows, which the tab-order and label checks hold against the template), files and
// registry values for the tests, screenshots, and a fixture that starts the program and drives
// its main dialog.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>
// DROPFILES; after the Windows headers.
#include <shlobj.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "expected_digests.h"
#include "program_under_test.h"
#include "ui/dialog_rows.h"

namespace e2e {

// The dialog's rows, top to bottom: MD5, MD4, SHA1, SHA256, SHA384, SHA512, RIPEMD160, PANAMA,
// TIGER, MD2, ADLER32, CRC32, eDonkey/eMule.
using Row = ui::DialogRow;
inline constexpr const auto& Rows = ui::DialogRows;

// The row of an algorithm the dialog offers.
inline const Row& RowOf(int algorithm) {
    return Rows.at(size_t(ui::DialogRowOf(algorithm)));
}

inline constexpr int DataFormat = 1030;
inline constexpr int KeyFormat = 1031;
inline constexpr int DataEdit = 1002;
inline constexpr int KeyEdit = 1005;
inline constexpr int BrowseButton = 1003;
inline constexpr int HmacBox = 1004;
inline constexpr int LineAboveEdonkey = 1035;
inline constexpr int LineBelowEdonkey = 1036;
inline constexpr int Md2Box = 1006;
inline constexpr int HelpButton = 1029;
inline constexpr int ProgressBar = 1041;
inline constexpr int StatusText = 1042;
inline constexpr int MessageBoxText = 0xFFFF;
inline constexpr int FileNameCombo = 0x47C;  // in the Explorer-style open-file dialog

inline constexpr int FileFormat = 0, TextFormat = 1, HexFormat = 2;
inline constexpr int HexKey = 1;

inline const std::set<int> DefaultTicks = {hashlib::AlgorithmMd5, hashlib::AlgorithmSha1,
                                           hashlib::AlgorithmRipemd160, hashlib::AlgorithmCrc32};
inline const std::set<int> AllTicks = [] {
    std::set<int> algorithms;
    for (const Row& row : Rows) {
        algorithms.insert(row.algorithm);
    }
    return algorithms;
}();
inline const std::set<int> UnkeyableTicks = {hashlib::AlgorithmMd2, hashlib::AlgorithmAdler32,
                                             hashlib::AlgorithmCrc32, hashlib::AlgorithmEdonkey};

// The Calculate button's caption, and its caption while a calculation runs, when it stops it.
inline const wchar_t CalculateCaption[] = L"计算(&U)";
inline const wchar_t StopCaption[] = L"停止(&U)";

inline const wchar_t SelectAlgorithmText[] = L"请先选择一个校验算法!";
inline const wchar_t HexOddLengthText[] = L"十六进制串长度必须是偶数!";
inline const wchar_t HexIllegalCharText[] = L"十六进制串中包含非法字符!";
inline const wchar_t SelectFileText[] = L"请先选择一个文件!";
inline const wchar_t AccessDeniedText[] = L"指定文件拒绝访问!";
inline const wchar_t CannotOpenText[] = L"不能打开指定文件!";
inline const wchar_t PathTooLongText[] = L"指定文件路径太长!";

// The title of the help viewer's window.
inline constexpr wchar_t HelpWindowTitle[] = L"Orvendal 帮助";

// The checking window (Orvendal.exe /check SUMFILE).
inline constexpr int CheckList = 1101;
inline constexpr int CheckProgress = 1102;
inline constexpr int CheckSpeed = 1103;
inline constexpr int CheckSummary = 1104;
inline constexpr int CheckStop = 1105;
inline constexpr int CheckCopy = 1106;
inline constexpr int CheckHelp = 1107;

// A row of its list: file, algorithm, verdict.
struct CheckRow {
    std::wstring file, algorithm, verdict;
    bool operator==(const CheckRow&) const = default;
};
void PrintTo(const CheckRow& row, std::ostream* out);

inline const wchar_t MakerKey[] = L"Software\\Tamberlyn";
inline const wchar_t ProductKey[] = L"Software\\Tamberlyn\\Orvendal";
inline const wchar_t SettingsKey[] = L"Software\\Tamberlyn\\Orvendal\\2.02\\Settings";

// ---------------------------------------------------------------------------------------------
// Files and registry

// A directory of the test's own in the temporary directory, with its trailing '\\'.
std::wstring TestDirectory();
// An empty directory `name` in TestDirectory() (files left there by an earlier run are deleted),
// with its trailing '\\'.
std::wstring EmptyDirectory(const std::wstring& name);
// Writes `bytes` to `name` in TestDirectory() and returns the file's full name.
std::wstring WriteTestFile(const std::wstring& name, const std::string& bytes);
std::wstring Quoted(const std::wstring& path);

// A window's outer rectangle in screen pixels, and a rectangle's sides.
inline RECT WindowRect(HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect;
}
inline LONG Width(const RECT& rect) {
    return rect.right - rect.left;
}
inline LONG Height(const RECT& rect) {
    return rect.bottom - rect.top;
}

// A calculation that lasts seconds: MD2 alone (the CheckBoxes value: HMAC first, then each row),
// the slowest algorithm at about 10 to 20 MB/s on one core, over the long input (64 MiB of a
// simple generator's bytes, nothing sparse or repeated, written once per run), which the quick
// algorithms read in well under a second.
inline constexpr wchar_t OnlyMd2[] = L"00000000001000";
const std::string& LongContent();
const std::wstring& LongInput();
bool FileExists(const std::wstring& path);

// Puts text on the clipboard, or empties it (nothing).
void SetClipboardText(const std::optional<std::wstring>& text);

// The clipboard's text, or nothing when it holds none.
std::optional<std::wstring> ClipboardText();

// Registry keys and string values under the current user.
bool KeyExists(const std::wstring& path);
void SetStringValue(const std::wstring& path, const wchar_t* name, const std::wstring& value);
// A string value, or nothing when it or its key is absent or it is no string.
std::optional<std::wstring> StringValue(const std::wstring& path, const wchar_t* name);

// Runs the program with a switch and expects it to end with code 0 without ever showing a
// window.
void RunSwitch(const wchar_t* argument);

// Asks the wrapper script that runs this program for a picture of the whole virtual display,
// saved as NAME.png in the screenshots folder, and waits until it is taken.
void TakeScreenshot(const std::wstring& name);

// ---------------------------------------------------------------------------------------------
// The dialog under test

// The dialog's private message that answers 1 while a calculation runs or its end is being dealt
// with (a message it shows included), else 0.
inline constexpr UINT CalculationStateQuery = WM_APP + 2;

// Waits until no calculation runs in `dialog`: its Calculate button reads 计算(&U) again and the
// dialog has dealt with the end (results and marks shown, or its message up), looking every
// `poll_ms`; false when that did not happen in time. A calculation runs in the background: the
// window answers meanwhile, so its answering says nothing about the end.
bool WaitForCalculationEnd(HWND dialog, DWORD timeout_ms, DWORD poll_ms = PollIntervalMs);

struct Warning {
    std::wstring title;
    std::wstring text;
    bool ok_only = false;   // an OK button and no other
    bool has_icon = false;  // a visible icon beside the text
};

class DialogTest : public testing::Test {
  protected:
    void SetUp() override { RegDeleteTreeW(HKEY_CURRENT_USER, ProductKey); }

    void TearDown() override {
        if (program_ && dialog_ != nullptr && !HasFailure()) {
            Close();
        }
        program_.reset();  // ends a program left running
        // The prefix is also the one scripts/open.sh runs the program in: no test's settings stay.
        RegDeleteTreeW(HKEY_CURRENT_USER, ProductKey);
    }

    // Starts the program (by default the built one, in this program's current directory, on the
    // cores of this program) and waits for its dialog.
    void Start(const std::wstring& arguments = L"", const std::wstring& program = ProgramPath(),
               const std::wstring& current_directory = L"", DWORD_PTR affinity = 0) {
        program_ = std::make_unique<ProgramUnderTest>(program, arguments, current_directory, affinity);
        ASSERT_TRUE(program_->started());
        dialog_ = program_->WaitForDialog();
        ASSERT_NE(dialog_, nullptr) << "the dialog did not appear";
    }

    // What the system sends when the window moves to a display of another scale: the new DPI
    // and the rectangle it suggests, which the program reads from its own memory.
    static void SendDpiChanged(const ProgramUnderTest& program, HWND window, UINT dpi,
                               const RECT& suggested) {
        void* remote = VirtualAllocEx(program.process(), nullptr, sizeof(suggested), MEM_COMMIT | MEM_RESERVE,
                                      PAGE_READWRITE);
        ASSERT_NE(remote, nullptr);
        ASSERT_TRUE(WriteProcessMemory(program.process(), remote, &suggested, sizeof(suggested), nullptr));
        Send(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(remote));
        VirtualFreeEx(program.process(), remote, 0, MEM_RELEASE);
    }

    // Every control's rectangle in the client area of `window`, by control.
    static std::map<HWND, RECT> ClientRects(HWND window) {
        std::map<HWND, RECT> rects;
        for (HWND child = GetWindow(window, GW_CHILD); child != nullptr;
             child = GetWindow(child, GW_HWNDNEXT)) {
            RECT rect = WindowRect(child);
            MapWindowPoints(HWND_DESKTOP, window, reinterpret_cast<POINT*>(&rect), 2);
            rects[child] = rect;
        }
        return rects;
    }

    // Every control's window rectangle, by window.
    std::map<HWND, RECT> ControlRects() const {
        std::map<HWND, RECT> rects;
        for (HWND child = GetWindow(dialog_, GW_CHILD); child != nullptr;
             child = GetWindow(child, GW_HWNDNEXT)) {
            rects[child] = WindowRect(child);
        }
        return rects;
    }

    // Closes the dialog as Close does and expects the process to end normally.
    void Close() {
        PostMessageW(dialog_, WM_COMMAND, IDCANCEL, 0);
        const std::optional<DWORD> code = program_->WaitForExit();
        ASSERT_TRUE(code.has_value()) << "the program did not end after Close";
        EXPECT_EQ(*code, 0u);
        dialog_ = nullptr;
    }

    // Starts the program with /check and `sum_file` and waits for the checking window, which
    // then stands in for the dialog (Close, Item, Text).
    void StartCheck(const std::wstring& sum_file, const std::wstring& program = ProgramPath()) {
        StartCheckWith(L"/check " + Quoted(sum_file), program);
    }
    void StartCheckWith(const std::wstring& arguments, const std::wstring& program = ProgramPath()) {
        program_ = std::make_unique<ProgramUnderTest>(program, arguments, L"");
        ASSERT_TRUE(program_->started());
        dialog_ = program_->WaitForDialog(StartTimeoutMs, CheckList);
        ASSERT_NE(dialog_, nullptr) << "the checking window did not appear";
    }

    // The program's visible window with this title, or null.
    HWND VisibleWindowTitled(const std::wstring& title) const {
        for (const HWND window : program_->VisibleWindows()) {
            wchar_t text[128] = {};
            GetWindowTextW(window, text, 128);
            if (title == text) {
                return window;
            }
        }
        return nullptr;
    }

    HWND WaitForHelpWindow() const {
        HWND help = nullptr;
        WaitUntil([&] { return (help = VisibleWindowTitled(HelpWindowTitle)) != nullptr; });
        return help;
    }

    void CloseHelpWindow(HWND help) {
        PostMessageW(help, WM_CLOSE, 0, 0);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(help) || !IsWindowVisible(help); }))
            << "the help window did not close";
    }

    // The checking window's summary once the check has ended (Copy is enabled then).
    std::wstring WaitForCheckSummary(DWORD timeout_ms = 60000) {
        EXPECT_TRUE(WaitUntil([&] { return Enabled(CheckCopy); }, timeout_ms)) << "the check did not end";
        return Text(CheckSummary);
    }

    // The rows of the checking window's list, read through the program's own memory.
    std::vector<CheckRow> CheckRows();

    // Starts the program with `arguments`, expects a message box of its own and that the program
    // then ends with `exit_code` without any other window.
    Warning RunExpectingRefusal(const std::wstring& arguments, DWORD exit_code);

    HWND Item(int id) const { return GetDlgItem(dialog_, id); }
    std::wstring Text(int id) const { return TextOf(Item(id)); }
    void Type(int id, const std::wstring& text) { SetTextOf(Item(id), text); }
    bool Checked(int id) { return Send(Item(id), BM_GETCHECK) == BST_CHECKED; }
    void Click(int id) { Send(Item(id), BM_CLICK); }
    bool Visible(int id) const { return IsWindowVisible(Item(id)) != FALSE; }
    bool Enabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }
    int Selection(int selector) { return int(Send(Item(selector), CB_GETCURSEL)); }

    // Ticks exactly these algorithms (before HMAC hides a row).
    void Tick(const std::set<int>& algorithms) {
        for (const Row& row : Rows) {
            if (Checked(row.check_box) != (algorithms.count(row.algorithm) != 0)) {
                Click(row.check_box);
            }
        }
    }

    // A selection as the user makes it: the list reports it accepted.
    void ChooseFormat(int selector, int index) {
        Send(Item(selector), CB_SETCURSEL, WPARAM(index));
        Send(dialog_, WM_COMMAND, MAKEWPARAM(selector, CBN_SELENDOK),
             reinterpret_cast<LPARAM>(Item(selector)));
    }

    Results Shown() const {
        Results results;
        for (const Row& row : Rows) {
            results[size_t(row.algorithm)] = Text(row.result);
        }
        return results;
    }

    void ShowInResults(const std::wstring& text) {
        for (const Row& row : Rows) {
            Type(row.result, text);
        }
    }

    bool WaitForCalculation(DWORD timeout_ms = 60000) const {
        return WaitForCalculationEnd(dialog_, timeout_ms);
    }

    // Runs Calculate and expects it to finish without a message.
    void Calculate() {
        const bool finished = TrySend(dialog_, WM_COMMAND, IDOK, 0) && WaitForCalculation();
        if (const HWND box = program_->FindOwnedDialog(dialog_); box != nullptr) {
            ADD_FAILURE() << "unexpected message: " << TextOf(GetDlgItem(box, MessageBoxText));
            PostMessageW(box, WM_COMMAND, IDOK, 0);
        }
        EXPECT_TRUE(finished) << "the calculation did not finish in time";
    }

    // Runs Calculate, expects a message box, reads and closes it.
    Warning CalculateExpectingWarning() {
        PostMessageW(dialog_, WM_COMMAND, IDOK, 0);  // a modal box will open: never sent
        return ReadAndCloseWarning(program_->WaitForOwnedDialog(dialog_));
    }

    // Reads the message box `box` (null when none appeared) and closes it.
    Warning ReadAndCloseWarning(HWND box) {
        if (box == nullptr) {
            ADD_FAILURE() << "no message appeared";
            return {};
        }
        Warning warning;
        warning.title = TextOf(box);
        warning.text = TextOf(GetDlgItem(box, MessageBoxText));
        warning.ok_only = IsWindowVisible(GetDlgItem(box, IDOK)) != FALSE;
        for (const int other : {IDCANCEL, IDABORT, IDRETRY, IDIGNORE, IDYES, IDNO}) {
            const HWND button = GetDlgItem(box, other);
            if (button != nullptr && IsWindowVisible(button)) {
                warning.ok_only = false;
            }
        }
        for (HWND child = GetWindow(box, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
            if (ClassOf(child) == L"Static" && (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
                IsWindowVisible(child)) {
                warning.has_icon = true;
            }
        }
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); })) << "the message did not close";
        return warning;
    }

    int FocusedControl() const {
        GUITHREADINFO info = {};
        info.cbSize = sizeof(info);
        if (!GetGUIThreadInfo(GetWindowThreadProcessId(dialog_, nullptr), &info) ||
            info.hwndFocus == nullptr) {
            return 0;
        }
        return GetDlgCtrlID(info.hwndFocus);
    }

    // The focus settles after the message box has gone; waits for `expected`, returns the last.
    int FocusSettlingOn(int expected) const {
        int focus = 0;
        WaitUntil([&] { return (focus = FocusedControl()) == expected; }, 3000);
        return focus;
    }

    RECT ScreenRect(int id) const {
        RECT rect = {};
        GetWindowRect(Item(id), &rect);
        return rect;
    }

    // The drop Wine delivers for a real drag from the desktop, built in the program's memory.
    void DropFiles(const std::vector<std::wstring>& files) {
        DROPFILES header = {};
        header.pFiles = sizeof(DROPFILES);
        header.fWide = TRUE;
        std::vector<uint8_t> block(sizeof(header));
        std::memcpy(block.data(), &header, sizeof(header));
        auto append = [&](const std::wstring& text) {
            const auto* bytes = reinterpret_cast<const uint8_t*>(text.c_str());
            block.insert(block.end(), bytes, bytes + (text.size() + 1) * sizeof(wchar_t));
        };
        for (const std::wstring& file : files) {
            append(file);
        }
        append(L"");
        void* remote = VirtualAllocEx(program_->process(), nullptr, block.size(), MEM_COMMIT | MEM_RESERVE,
                                      PAGE_READWRITE);
        ASSERT_NE(remote, nullptr);
        ASSERT_TRUE(WriteProcessMemory(program_->process(), remote, block.data(), block.size(), nullptr));
        PostMessageW(dialog_, WM_DROPFILES, reinterpret_cast<WPARAM>(remote), 0);
    }

    std::unique_ptr<ProgramUnderTest> program_;
    HWND dialog_ = nullptr;
};

}  // namespace e2e
