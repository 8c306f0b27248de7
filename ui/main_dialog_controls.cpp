#include "ui/main_dialog_controls.h"

#include <commctrl.h>
#include <commdlg.h>

#include <cwchar>
#include <vector>

#include "engine/engine.h"
#include "ui/calculation_progress.h"
#include "ui/dialog_rows.h"

namespace ui {
namespace {

constexpr wchar_t BrowseTitle[] = L"Find";
// Description and pattern, each zero-terminated, then the terminating empty entry.
constexpr wchar_t BrowseFilter[] = L"所有文件 (*.*)\0*.*\0";

// A marked result field's background: light green for a digest as expected, light red for one
// a sum file contradicts. Both are light enough for the usual dark text.
constexpr COLORREF MatchColour = RGB(198, 239, 206);
constexpr COLORREF MismatchColour = RGB(255, 199, 206);

}  // namespace

MainDialogControls::MainDialogControls(HINSTANCE instance, std::span<const WebLink> links,
                                       std::wstring_view product_word)
    : DialogWindow(instance, links, product_word),
      match_brush_(CreateSolidBrush(MatchColour)),
      mismatch_brush_(CreateSolidBrush(MismatchColour)) {}

MainDialogControls::~MainDialogControls() {
    // The fields that were painted with them are gone by now.
    for (const HBRUSH brush : {match_brush_, mismatch_brush_}) {
        if (brush != nullptr) {
            DeleteObject(brush);
        }
    }
    if (taskbar_ != nullptr) {
        taskbar_->Release();
    }
}

std::wstring MainDialogControls::Text(int id) const {
    const HWND control = Item(id);
    if (control == nullptr) {
        return {};
    }
    const int length = GetWindowTextLengthW(control);
    std::vector<wchar_t> buffer(size_t(length > 0 ? length : 0) + 1, L'\0');
    const int copied = GetWindowTextW(control, buffer.data(), int(buffer.size()));
    return std::wstring(buffer.data(), size_t(copied > 0 ? copied : 0));
}

void MainDialogControls::SetText(int id, std::wstring_view text) {
    SetDlgItemTextW(hwnd(), id, std::wstring(text).c_str());
}

bool MainDialogControls::IsChecked(int id) const {
    return IsDlgButtonChecked(hwnd(), id) == BST_CHECKED;
}

void MainDialogControls::SetChecked(int id, bool checked) {
    CheckDlgButton(hwnd(), id, checked ? BST_CHECKED : BST_UNCHECKED);
}

int MainDialogControls::Selection(int id) const {
    if (Item(id) == nullptr) {
        return -1;
    }
    const LRESULT index = SendDlgItemMessageW(hwnd(), id, CB_GETCURSEL, 0, 0);
    return index == CB_ERR ? -1 : int(index);
}

int MainDialogControls::ItemCount(int id) const {
    if (Item(id) == nullptr) {
        return 0;
    }
    const LRESULT count = SendDlgItemMessageW(hwnd(), id, CB_GETCOUNT, 0, 0);
    return count == CB_ERR ? 0 : int(count);
}

void MainDialogControls::Select(int id, int index) {
    SendDlgItemMessageW(hwnd(), id, CB_SETCURSEL, WPARAM(index), 0);
}

void MainDialogControls::Show(int id, bool visible) {
    if (const HWND control = Item(id); control != nullptr) {
        ShowWindow(control, visible ? SW_SHOW : SW_HIDE);
    }
}

void MainDialogControls::Enable(int id, bool enabled) {
    if (const HWND control = Item(id); control != nullptr) {
        EnableWindow(control, enabled ? TRUE : FALSE);
    }
}

void MainDialogControls::Move(int id, const Rect& bounds) {
    if (const HWND control = Item(id); control != nullptr) {
        MoveWindow(control, bounds.left, bounds.top, bounds.Width(), bounds.Height(), TRUE);
    }
}

void MainDialogControls::Focus(int id) {
    if (const HWND control = Item(id); control != nullptr) {
        // The dialog's own way to move the focus, so the default button follows.
        SendMessageW(hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    }
}

int MainDialogControls::FocusedControl() const {
    const HWND focus = GetFocus();
    if (focus == nullptr || (focus != hwnd() && !IsChild(hwnd(), focus))) {
        return 0;
    }
    // An edit inside a control (a combo box's) counts as that control.
    HWND control = focus;
    while (control != nullptr && GetParent(control) != hwnd()) {
        control = GetParent(control);
    }
    return control == nullptr ? 0 : GetDlgCtrlID(control);
}

void MainDialogControls::SetToolTip(int id, std::wstring_view text) {
    if (text.empty()) {
        tool_tips_.erase(id);
    } else {
        tool_tips_[id] = text;
    }
}

std::wstring MainDialogControls::ToolTipOf(int id) const {
    if (const auto found = tool_tips_.find(id); found != tool_tips_.end()) {
        return found->second;
    }
    return id != 0 ? ResourceString(UINT(id & 0xFFFF)) : std::wstring();
}

void MainDialogControls::SetResultMark(int id, ResultMark mark) {
    const int row = DialogRowOfResult(id);
    if (row < 0 || marks_[size_t(row)] == mark) {
        return;
    }
    marks_[size_t(row)] = mark;
    if (const HWND control = Item(id); control != nullptr) {
        InvalidateRect(control, nullptr, TRUE);
    }
}

INT_PTR MainDialogControls::MarkColours(HDC dc, HWND control) const {
    const int row = DialogRowOfResult(GetDlgCtrlID(control));
    if (row < 0 || marks_[size_t(row)] == ResultMark::None) {
        return FALSE;  // the usual colours
    }
    const bool match = marks_[size_t(row)] == ResultMark::Match;
    SetBkColor(dc, match ? MatchColour : MismatchColour);  // behind the text
    return reinterpret_cast<INT_PTR>(match ? match_brush_ : mismatch_brush_);
}

void MainDialogControls::ShowWarning(int message_id) {
    const std::wstring text = ResourceString(UINT(message_id));
    MessageBoxW(hwnd(), text.c_str(), ProgramTitle, MB_OK | MB_ICONWARNING);
}

void MainDialogControls::ShowProgress(std::optional<int> position) {
    const HWND bar = Item(IDC_PROGRESS_BAR);
    if (!position) {
        if (bar != nullptr) {
            ShowWindow(bar, SW_HIDE);
            SendMessageW(bar, PBM_SETPOS, 0, 0);
        }
        if (taskbar_ != nullptr) {
            taskbar_->SetProgressState(hwnd(), TBPF_NOPROGRESS);
        }
        return;
    }
    if (bar != nullptr) {
        if (!IsWindowVisible(bar)) {
            SendMessageW(bar, PBM_SETRANGE32, 0, ProgressRange);
            ShowWindow(bar, SW_SHOWNA);
        }
        SendMessageW(bar, PBM_SETPOS, WPARAM(*position), 0);
    }
    if (ITaskbarList3* taskbar = Taskbar(); taskbar != nullptr) {
        taskbar->SetProgressValue(hwnd(), ULONGLONG(*position), ULONGLONG(ProgressRange));
    }
}

ITaskbarList3* MainDialogControls::Taskbar() {
    if (!taskbar_asked_) {
        taskbar_asked_ = true;  // asked once: where it fails, it fails every time
        ITaskbarList3* taskbar = nullptr;
        if (SUCCEEDED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskbarList3,
                                       reinterpret_cast<void**>(&taskbar)))) {
            if (SUCCEEDED(taskbar->HrInit())) {
                taskbar_ = taskbar;
            } else {
                taskbar->Release();
            }
        }
    }
    return taskbar_;
}

std::optional<std::wstring> MainDialogControls::ChooseFile() {
    std::vector<wchar_t> buffer(LongestPath, L'\0');
    OPENFILENAMEW request = {};
    request.lStructSize = sizeof(request);
    request.hwndOwner = hwnd();
    request.lpstrFilter = BrowseFilter;
    request.lpstrFile = buffer.data();
    request.nMaxFile = LongestPath;
    request.lpstrTitle = BrowseTitle;
    // The flags the program has always passed. An Open dialog ignores OFN_OVERWRITEPROMPT (it
    // asks only when saving); OFN_HIDEREADONLY hides the "open as read-only" box, which means
    // nothing to a program that only reads.
    request.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
    if (!GetOpenFileNameW(&request)) {
        return std::nullopt;
    }
    return std::wstring(buffer.data(), wcsnlen(buffer.data(), buffer.size()));
}

std::optional<std::wstring> MainDialogControls::ClipboardText() {
    // Held open no longer than the copy takes: other programs wait for it meanwhile.
    if (!OpenClipboard(hwnd())) {
        return std::nullopt;
    }
    std::optional<std::wstring> text;
    if (const HANDLE data = GetClipboardData(CF_UNICODETEXT); data != nullptr) {
        if (const auto* characters = static_cast<const wchar_t*>(GlobalLock(data)); characters != nullptr) {
            text.emplace(characters, wcsnlen(characters, GlobalSize(data) / sizeof(wchar_t)));
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

std::string MainDialogControls::ToSystemCodePage(std::wstring_view text) const {
    return engine::Narrow(text, engine::CodePage::System);
}

std::wstring MainDialogControls::FromSystemCodePage(std::string_view bytes) const {
    return engine::Widen(bytes, engine::CodePage::System);
}

std::string MainDialogControls::ToUtf8(std::wstring_view text) const {
    return engine::Narrow(text, engine::CodePage::Utf8);
}

std::wstring MainDialogControls::FromUtf8(std::string_view bytes) const {
    return engine::Widen(bytes, engine::CodePage::Utf8);
}

}  // namespace ui
