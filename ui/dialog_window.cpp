#include "ui/dialog_window.h"

#include <shellapi.h>

#include "engine/engine.h"
#include "ui/help_viewer.h"
#include "ui/resource.h"
#include "ui/web_and_help.h"

namespace ui {
namespace {

// Set once an unexpected exception is ending the program: the error box runs a message loop,
// and no message may reach the dialogs' objects meanwhile.
bool ending = false;

// Asks the shell to open the maker's web site, with `page_word` (may be empty) after its address
// and the product word as the source. A failure is of no consequence and is ignored.
void OpenWebPage(std::wstring_view page_word, std::wstring_view product_word) {
    const std::wstring address = BuildWebAddress(page_word, product_word);
    // Shown normally: a browser started with the hidden show command may open no visible window.
    ShellExecuteW(nullptr, L"open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace

void EndProgramOnUnexpectedError(const char* what) noexcept {
    if (!ending) {
        ending = true;
        std::wstring text = L"Orvendal 发生了意外错误，必须关闭。";
        try {
            if (what != nullptr && *what != '\0') {
                text += L"\n\n";
                text += engine::Widen(what, engine::CodePage::System);
            }
        } catch (...) {
            // Without the detail, then: the box itself must still appear.
        }
        MessageBoxW(nullptr, text.c_str(), ProgramTitle, MB_OK | MB_ICONERROR | MB_TASKMODAL);
    }
    TerminateProcess(GetCurrentProcess(), UnexpectedErrorExitCode);
    ExitProcess(UnexpectedErrorExitCode);  // not reached: the process ends with the call above
}

DialogWindow::~DialogWindow() {
    if (hwnd_ != nullptr) {
        // Only if the window outlived its object: no message may find the object any more.
        SetWindowLongPtrW(hwnd_, DWLP_USER, 0);
    }
    for (const HBITMAP image : images_) {
        DeleteObject(image);
    }
}

HWND DialogWindow::CreateModeless(int template_id, HWND owner) {
    return CreateDialogParamW(instance_, MAKEINTRESOURCEW(template_id), owner, DialogProc,
                              reinterpret_cast<LPARAM>(this));
}

int DialogWindow::RunAsMainWindow(int template_id, const std::function<void()>& show_help) {
    if (CreateModeless(template_id, nullptr) == nullptr) {
        return -1;
    }
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_KEYDOWN && message.wParam == VK_F1 &&
            (message.hwnd == hwnd_ || IsChild(hwnd_, message.hwnd))) {
            show_help();
        }
        if (hwnd_ == nullptr || !IsDialogMessageW(hwnd_, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return 0;
}

INT_PTR DialogWindow::RunModal(int template_id, HWND owner) {
    return DialogBoxParamW(instance_, MAKEINTRESOURCEW(template_id), owner, DialogProc,
                           reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK DialogWindow::DialogProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) noexcept {
    if (ending) {
        return FALSE;
    }
    return RunGuarded([&]() -> INT_PTR {
        if (message == WM_INITDIALOG) {
            auto* window = reinterpret_cast<DialogWindow*>(lparam);
            SetWindowLongPtrW(hwnd, DWLP_USER, lparam);
            window->hwnd_ = hwnd;
            return window->Dispatch(message, wparam, lparam);
        }
        // Messages before WM_INITDIALOG (and after WM_NCDESTROY) get the default handling.
        auto* window = reinterpret_cast<DialogWindow*>(GetWindowLongPtrW(hwnd, DWLP_USER));
        if (window == nullptr) {
            return FALSE;
        }
        const INT_PTR result = window->Dispatch(message, wparam, lparam);
        if (message == WM_NCDESTROY) {
            SetWindowLongPtrW(hwnd, DWLP_USER, 0);
            window->hwnd_ = nullptr;
        }
        return result;
    });
}

INT_PTR DialogWindow::Dispatch(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_SETCURSOR:
            if (LOWORD(lparam) == HTCLIENT && ShowHandCursorOverLink()) {
                SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, TRUE);
                return TRUE;
            }
            break;
        case WM_DPICHANGED:
            FollowDpiChange(HIWORD(wparam), *reinterpret_cast<const RECT*>(lparam));
            return TRUE;
        case WM_LBUTTONDOWN:
            if (const std::optional<WebLink> link = LinkUnder(short(LOWORD(lparam)), short(HIWORD(lparam)))) {
                OpenWebPage(link->page_word, product_word_);
            }
            return TRUE;
        default:
            break;
    }
    return HandleMessage(message, wparam, lparam);
}

std::optional<WebLink> DialogWindow::LinkUnder(int x, int y) const {
    return LinkAt(x, y, links_, ControlRects());
}

bool DialogWindow::ShowHandCursorOverLink() const {
    POINT point;
    if (!GetCursorPos(&point) || !ScreenToClient(hwnd_, &point) || !LinkUnder(point.x, point.y)) {
        return false;
    }
    // No hand cursor on this system: the default handling keeps the arrow.
    const HCURSOR hand = LoadCursorW(nullptr, IDC_HAND);
    if (hand == nullptr) {
        return false;
    }
    SetCursor(hand);
    return true;
}

std::wstring ExecutablePath() {
    std::vector<wchar_t> buffer(MAX_PATH, L'\0');
    while (buffer.size() <= LongestPath) {
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), DWORD(buffer.size()));
        if (length == 0) {
            return {};
        }
        if (length < buffer.size()) {
            return std::wstring(buffer.data(), length);
        }
        buffer.resize(buffer.size() * 2);  // cut short: try again with more room
    }
    return {};
}

namespace {

BOOL CALLBACK CollectWorkArea(HMONITOR monitor, HDC, LPRECT, LPARAM lparam) noexcept {
    return RunGuarded([&] {
        MONITORINFO info = {};
        info.cbSize = sizeof(info);
        if (GetMonitorInfoW(monitor, &info)) {
            reinterpret_cast<std::vector<Rect>*>(lparam)->push_back(ToRect(info.rcWork));
        }
        return TRUE;
    });
}

}  // namespace

std::vector<Rect> DisplayWorkAreas() {
    std::vector<Rect> work_areas;
    EnumDisplayMonitors(nullptr, nullptr, CollectWorkArea, reinterpret_cast<LPARAM>(&work_areas));
    return work_areas;
}

void DialogWindow::ShowHelpPage(std::wstring_view page) const {
    const std::optional<HelpRequest> request = BuildHelpRequest(ExecutablePath());
    if (!request) {
        return;
    }
    const std::wstring topic =
        page.empty() ? request->topic : request->file + L"::/" + std::wstring(page) + L">" + HelpWindowType;
    if (DisplayHelpTopic(topic) == nullptr) {
        const std::wstring text = HelpNotFoundMessage(ResourceString(IDS_NOT_FOUND), request->file);
        MessageBoxW(hwnd_, text.c_str(), ProgramTitle, MB_OK | MB_ICONWARNING);
    }
}

std::wstring DialogWindow::ResourceString(UINT id) const {
    // With a zero buffer size LoadStringW hands out the resource text itself (not terminated).
    const wchar_t* text = nullptr;
    const int length = LoadStringW(instance_, id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 && text != nullptr ? std::wstring(text, size_t(length)) : std::wstring();
}

std::optional<Rect> DialogWindow::ControlRect(int id) const {
    const HWND control = Item(id);
    if (control == nullptr) {
        return std::nullopt;
    }
    RECT bounds;
    GetWindowRect(control, &bounds);
    MapWindowPoints(HWND_DESKTOP, hwnd_, reinterpret_cast<POINT*>(&bounds), 2);
    return Rect{bounds.left, bounds.top, bounds.right, bounds.bottom};
}

ControlRectLookup DialogWindow::ControlRects() const {
    return [this](int32_t id) { return ControlRect(id); };
}

void DialogWindow::SetImage(int id, HBITMAP bitmap) {
    if (bitmap == nullptr) {
        return;
    }
    images_.push_back(bitmap);
    // The control hands back the bitmap it showed: the one it loaded from the template, which
    // nothing else owns, or one of ours.
    const auto previous = reinterpret_cast<HBITMAP>(
        SendDlgItemMessageW(hwnd_, id, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)));
    if (previous != nullptr && previous != bitmap) {
        std::erase(images_, previous);
        DeleteObject(previous);
    }
}

void DialogWindow::FollowDpiChange(uint32_t dpi, const RECT& suggested) {
    if (dpi_scaling_.recorded() && dpi != 0) {
        dpi_scaling_.ScaleControls(hwnd_, dpi);
        OnDpiChanged();
    }
    SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    if (!IsIconic(hwnd_)) {
        RECT client;
        GetClientRect(hwnd_, &client);
        SendMessageW(hwnd_, WM_SIZE, IsZoomed(hwnd_) ? SIZE_MAXIMIZED : SIZE_RESTORED,
                     MAKELPARAM(client.right, client.bottom));
    }
    InvalidateRect(hwnd_, nullptr, TRUE);
}

}  // namespace ui
