// OBM_SIZE, the system's size-grip bitmap, is declared only with OEMRESOURCE, which has to come
// before the first Windows header.
#define OEMRESOURCE
#include "ui/main_dialog_window.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>
#include <windows.h>

#include <cwchar>
#include <string>
#include <vector>

namespace ui {
namespace {

constexpr wchar_t ProgramTitle[] = L"Orvendal";
constexpr wchar_t BrowseTitle[] = L"Find";
// Description and pattern, each zero-terminated, then the terminating empty entry.
constexpr wchar_t BrowseFilter[] = L"所有文件 (*.*)\0*.*\0";
// The longest path the system accepts, so no chosen name is cut short.
constexpr DWORD LongestPath = 32768;

std::wstring LoadResourceString(HINSTANCE instance, UINT id) {
    // With a zero buffer size LoadStringW hands out the resource text itself (not terminated).
    const wchar_t* text = nullptr;
    const int length = LoadStringW(instance, id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 && text != nullptr ? std::wstring(text, size_t(length)) : std::wstring();
}

class MainDialogWindow final : public DialogControls {
  public:
    MainDialogWindow(HINSTANCE instance, MainDialog& dialog) : instance_(instance), dialog_(dialog) {}
    ~MainDialogWindow() override;
    MainDialogWindow(const MainDialogWindow&) = delete;
    MainDialogWindow& operator=(const MainDialogWindow&) = delete;

    int Run();

    bool HasControl(int id) const override { return Item(id) != nullptr; }
    std::wstring Text(int id) const override;
    void SetText(int id, std::wstring_view text) override;
    bool IsChecked(int id) const override { return IsDlgButtonChecked(hwnd_, id) == BST_CHECKED; }
    void SetChecked(int id, bool checked) override {
        CheckDlgButton(hwnd_, id, checked ? BST_CHECKED : BST_UNCHECKED);
    }
    int Selection(int id) const override;
    int ItemCount(int id) const override;
    std::wstring ItemText(int id, int index) const override;
    void Select(int id, int index) override {
        SendDlgItemMessageW(hwnd_, id, CB_SETCURSEL, WPARAM(index), 0);
    }
    void Show(int id, bool visible) override;
    void Enable(int id, bool enabled) override;
    Rect Bounds(int id) const override;
    void Move(int id, const Rect& bounds) override;
    void Focus(int id) override;
    void ShowWarning(int message_id) override;
    void SetBusy(bool busy) override;
    std::optional<std::wstring> ChooseFile() override;
    std::string ToSystemCodePage(std::wstring_view text) const override { return Narrow(CP_ACP, text); }
    std::wstring FromSystemCodePage(std::string_view bytes) const override { return Widen(CP_ACP, bytes); }
    std::string ToUtf8(std::wstring_view text) const override { return Narrow(CP_UTF8, text); }
    std::wstring FromUtf8(std::string_view bytes) const override { return Widen(CP_UTF8, bytes); }

  private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
    INT_PTR HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);

    BOOL OnInitDialog();
    void OnCommand(int id, int code);
    bool OnPaint();
    void OnDropFiles(HDROP drop);
    bool OnNotify(NMHDR* header);

    void PrepareControls();
    void AddAboutMenuItem();
    void SetIcons();
    void EnableToolTips();
    void PlaceWindow();
    void SetSizeGrip();
    void SetLogo();

    // Hooks of the About box and the help file, which come with the help viewer.
    void ShowAbout() {}
    void ShowHelp() {}

    HWND Item(int id) const { return GetDlgItem(hwnd_, id); }
    static std::string Narrow(UINT code_page, std::wstring_view text);
    static std::wstring Widen(UINT code_page, std::string_view bytes);

    HINSTANCE instance_;
    MainDialog& dialog_;
    HWND hwnd_ = nullptr;
    HICON icon_ = nullptr;
    HICON small_icon_ = nullptr;
    HBITMAP logo_ = nullptr;
    HBITMAP size_grip_ = nullptr;
    HWND tool_tip_ = nullptr;
    HCURSOR cursor_before_busy_ = nullptr;
    std::wstring tool_tip_text_;  // must outlive the tool tip's request
};

MainDialogWindow::~MainDialogWindow() {
    // The controls that showed these are gone by now.
    if (logo_ != nullptr) {
        DeleteObject(logo_);
    }
    if (size_grip_ != nullptr) {
        DeleteObject(size_grip_);
    }
    if (icon_ != nullptr) {
        DestroyIcon(icon_);
    }
    if (small_icon_ != nullptr) {
        DestroyIcon(small_icon_);
    }
}

int MainDialogWindow::Run() {
    if (CreateDialogParamW(instance_, MAKEINTRESOURCEW(IDD_MAIN_DIALOG), nullptr, DialogProc,
                           reinterpret_cast<LPARAM>(this)) == nullptr) {
        return -1;
    }
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_KEYDOWN && message.wParam == VK_F1 &&
            (message.hwnd == hwnd_ || IsChild(hwnd_, message.hwnd))) {
            ShowHelp();
        }
        if (hwnd_ == nullptr || !IsDialogMessageW(hwnd_, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return 0;
}

INT_PTR CALLBACK MainDialogWindow::DialogProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_INITDIALOG) {
        auto* window = reinterpret_cast<MainDialogWindow*>(lparam);
        SetWindowLongPtrW(hwnd, DWLP_USER, lparam);
        window->hwnd_ = hwnd;
        return window->OnInitDialog();
    }
    // Messages before WM_INITDIALOG (and after WM_NCDESTROY) get the default handling.
    auto* window = reinterpret_cast<MainDialogWindow*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    return window != nullptr ? window->HandleMessage(message, wparam, lparam) : FALSE;
}

INT_PTR MainDialogWindow::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_COMMAND:
            OnCommand(LOWORD(wparam), HIWORD(wparam));
            return TRUE;
        case WM_SYSCOMMAND:
            if ((wparam & 0xFFF0) == IDM_ABOUT_BOX) {
                ShowAbout();
                return TRUE;
            }
            return FALSE;
        case WM_PAINT:
            return OnPaint();
        case WM_QUERYDRAGICON:
            return reinterpret_cast<INT_PTR>(icon_);
        case WM_SIZE:
            dialog_.UpdateBrowseButton();
            return FALSE;
        case WM_DROPFILES:
            OnDropFiles(reinterpret_cast<HDROP>(wparam));
            return TRUE;
        case WM_NOTIFY:
            return OnNotify(reinterpret_cast<NMHDR*>(lparam));
        case WM_DESTROY:
            PostQuitMessage(0);
            return FALSE;
        case WM_NCDESTROY:
            dialog_.Attach(nullptr);
            SetWindowLongPtrW(hwnd_, DWLP_USER, 0);
            hwnd_ = nullptr;
            return FALSE;
        default:
            return FALSE;
    }
}

BOOL MainDialogWindow::OnInitDialog() {
    RECT window;
    GetWindowRect(hwnd_, &window);
    dialog_.created_width = window.right - window.left;
    dialog_.created_height = window.bottom - window.top;

    PrepareControls();
    dialog_.Attach(this);
    dialog_.StateToControls();
    AddAboutMenuItem();
    SetIcons();
    EnableToolTips();
    PlaceWindow();
    SetSizeGrip();
    SetLogo();
    dialog_.ApplyStoredFormats();
    dialog_.CalculateGivenFile();
    DragAcceptFiles(hwnd_, TRUE);
    return FALSE;  // the focus was not set here
}

void MainDialogWindow::PrepareControls() {
    // A template cannot hold a list's items.
    for (const std::wstring_view item : DataFormatItems) {
        SendDlgItemMessageW(hwnd_, IDC_DATA_FORMAT, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(std::wstring(item).c_str()));
    }
    for (const std::wstring_view item : KeyFormatItems) {
        SendDlgItemMessageW(hwnd_, IDC_KEY_FORMAT, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(std::wstring(item).c_str()));
    }
    // An edit takes only about 32 000 characters by default and would cut a long pasted text
    // or hex string silently; zero lifts the limit to the maximum.
    SendDlgItemMessageW(hwnd_, IDC_DATA_VALUE, EM_SETLIMITTEXT, 0, 0);
    SendDlgItemMessageW(hwnd_, IDC_KEY_VALUE, EM_SETLIMITTEXT, 0, 0);
}

void MainDialogWindow::AddAboutMenuItem() {
    const HMENU menu = GetSystemMenu(hwnd_, FALSE);
    const std::wstring text = LoadResourceString(instance_, IDS_ABOUT_BOX);
    if (menu != nullptr && !text.empty()) {
        AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuW(menu, MF_STRING, IDM_ABOUT_BOX, text.c_str());
    }
}

void MainDialogWindow::SetIcons() {
    icon_ = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(IDI_MAIN_ICON), IMAGE_ICON,
                                          GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
    small_icon_ =
        static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(IDI_MAIN_ICON), IMAGE_ICON,
                                      GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small_icon_));
}

void MainDialogWindow::EnableToolTips() {
    // Every control is a tool; its text is asked for when due (OnNotify).
    tool_tip_ =
        CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, instance_, nullptr);
    if (tool_tip_ == nullptr) {
        return;
    }
    for (HWND child = GetWindow(hwnd_, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        TOOLINFOW tool = {};
        tool.cbSize = sizeof(tool);
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = hwnd_;
        tool.uId = reinterpret_cast<UINT_PTR>(child);
        tool.lpszText = LPSTR_TEXTCALLBACKW;
        SendMessageW(tool_tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

void MainDialogWindow::PlaceWindow() {
    // The created size, centred on the work area of the screen the window opens on.
    RECT window;
    GetWindowRect(hwnd_, &window);
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    if (!GetMonitorInfoW(MonitorFromWindow(hwnd_, MONITOR_DEFAULTTOPRIMARY), &monitor)) {
        return;
    }
    const RECT& area = monitor.rcWork;
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    const int left = area.left + ((area.right - area.left) - width) / 2;
    const int top = area.top + ((area.bottom - area.top) - height) / 2;
    // Never above or left of the work area, so the caption stays reachable.
    SetWindowPos(hwnd_, nullptr, left > area.left ? left : area.left, top > area.top ? top : area.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainDialogWindow::SetSizeGrip() {
    size_grip_ = LoadBitmapW(nullptr, MAKEINTRESOURCEW(OBM_SIZE));
    if (size_grip_ != nullptr) {
        SendDlgItemMessageW(hwnd_, IDC_SIZE_GRIP, STM_SETIMAGE, IMAGE_BITMAP,
                            reinterpret_cast<LPARAM>(size_grip_));
    }
}

void MainDialogWindow::SetLogo() {
    // The logo is drawn in black on white; it takes the button colours of the current scheme.
    COLORMAP colours[2] = {
        {RGB(0, 0, 0), GetSysColor(COLOR_BTNTEXT)},
        {RGB(255, 255, 255), GetSysColor(COLOR_BTNFACE)},
    };
    logo_ = CreateMappedBitmap(instance_, IDB_LOGO, 0, colours, 2);
    if (logo_ != nullptr) {
        SendDlgItemMessageW(hwnd_, IDC_LOGO, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(logo_));
    }
}

void MainDialogWindow::OnCommand(int id, int code) {
    switch (id) {
        case IDOK:
            dialog_.OnCalculate();
            return;
        case IDCANCEL:
            DestroyWindow(hwnd_);
            return;
        case IDC_HMAC:
            if (code == BN_CLICKED) {
                dialog_.OnHmacClicked();
            }
            return;
        case IDC_DATA_FORMAT:
            if (code == CBN_SELENDOK) {
                dialog_.OnDataFormatAccepted();
            }
            return;
        case IDC_KEY_FORMAT:
            if (code == CBN_SELENDOK) {
                dialog_.OnKeyFormatAccepted();
            }
            return;
        case IDC_BROWSE:
            if (code == BN_CLICKED) {
                dialog_.OnBrowse();
            }
            return;
        case IDC_HELP_BUTTON:
            if (code == BN_CLICKED) {
                ShowHelp();
            }
            return;
        case IDC_DATA_VALUE:
        case IDC_KEY_VALUE:
            if (code == EN_CHANGE) {
                dialog_.OnValueEdited();
            }
            return;
        default:
            if (code == BN_CLICKED && AlgorithmRowOf(id) >= 0) {
                dialog_.OnAlgorithmClicked(id);
            }
            return;
    }
}

bool MainDialogWindow::OnPaint() {
    if (!IsIconic(hwnd_)) {
        return false;
    }
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(hwnd_, &paint);
    SendMessageW(hwnd_, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client;
    GetClientRect(hwnd_, &client);
    const int x = (client.right - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc, x, y, icon_);
    EndPaint(hwnd_, &paint);
    return true;
}

void MainDialogWindow::OnDropFiles(HDROP drop) {
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    std::wstring name;
    if (count > 0) {
        // The name is read in full whatever its length: the length is asked for first.
        const UINT length = DragQueryFileW(drop, count - 1, nullptr, 0);
        std::vector<wchar_t> buffer(size_t(length) + 1, L'\0');
        const UINT copied = DragQueryFileW(drop, count - 1, buffer.data(), length + 1);
        name.assign(buffer.data(), copied);
    }
    DragFinish(drop);
    if (count > 0) {
        dialog_.OnFileDropped(std::move(name));
    }
}

bool MainDialogWindow::OnNotify(NMHDR* header) {
    if (header->code != TTN_GETDISPINFOW) {
        return false;
    }
    // The tip of a control is the string numbered as the control; most have none.
    auto* request = reinterpret_cast<NMTTDISPINFOW*>(header);
    tool_tip_text_.clear();
    if ((request->uFlags & TTF_IDISHWND) != 0) {
        const int id = GetDlgCtrlID(reinterpret_cast<HWND>(header->idFrom)) & 0xFFFF;
        if (id != 0) {
            tool_tip_text_ = LoadResourceString(instance_, UINT(id));
        }
    }
    request->lpszText = tool_tip_text_.data();
    return true;
}

std::wstring MainDialogWindow::Text(int id) const {
    const HWND control = Item(id);
    if (control == nullptr) {
        return {};
    }
    const int length = GetWindowTextLengthW(control);
    std::vector<wchar_t> buffer(size_t(length > 0 ? length : 0) + 1, L'\0');
    const int copied = GetWindowTextW(control, buffer.data(), int(buffer.size()));
    return std::wstring(buffer.data(), size_t(copied > 0 ? copied : 0));
}

void MainDialogWindow::SetText(int id, std::wstring_view text) {
    SetDlgItemTextW(hwnd_, id, std::wstring(text).c_str());
}

int MainDialogWindow::Selection(int id) const {
    if (Item(id) == nullptr) {
        return -1;
    }
    const LRESULT index = SendDlgItemMessageW(hwnd_, id, CB_GETCURSEL, 0, 0);
    return index == CB_ERR ? -1 : int(index);
}

int MainDialogWindow::ItemCount(int id) const {
    if (Item(id) == nullptr) {
        return 0;
    }
    const LRESULT count = SendDlgItemMessageW(hwnd_, id, CB_GETCOUNT, 0, 0);
    return count == CB_ERR ? 0 : int(count);
}

std::wstring MainDialogWindow::ItemText(int id, int index) const {
    const LRESULT length = SendDlgItemMessageW(hwnd_, id, CB_GETLBTEXTLEN, WPARAM(index), 0);
    if (length == CB_ERR || length < 0) {
        return {};
    }
    std::vector<wchar_t> buffer(size_t(length) + 1, L'\0');
    const LRESULT copied =
        SendDlgItemMessageW(hwnd_, id, CB_GETLBTEXT, WPARAM(index), reinterpret_cast<LPARAM>(buffer.data()));
    return copied == CB_ERR ? std::wstring() : std::wstring(buffer.data(), size_t(copied));
}

void MainDialogWindow::Show(int id, bool visible) {
    if (const HWND control = Item(id); control != nullptr) {
        ShowWindow(control, visible ? SW_SHOW : SW_HIDE);
    }
}

void MainDialogWindow::Enable(int id, bool enabled) {
    if (const HWND control = Item(id); control != nullptr) {
        EnableWindow(control, enabled ? TRUE : FALSE);
    }
}

Rect MainDialogWindow::Bounds(int id) const {
    RECT bounds = {};
    if (const HWND control = Item(id); control != nullptr) {
        GetWindowRect(control, &bounds);
        MapWindowPoints(HWND_DESKTOP, hwnd_, reinterpret_cast<POINT*>(&bounds), 2);
    }
    return Rect{bounds.left, bounds.top, bounds.right, bounds.bottom};
}

void MainDialogWindow::Move(int id, const Rect& bounds) {
    if (const HWND control = Item(id); control != nullptr) {
        MoveWindow(control, bounds.left, bounds.top, bounds.Width(), bounds.Height(), TRUE);
    }
}

void MainDialogWindow::Focus(int id) {
    if (const HWND control = Item(id); control != nullptr) {
        // The dialog's own way to move the focus, so the default button follows.
        SendMessageW(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    }
}

void MainDialogWindow::ShowWarning(int message_id) {
    const std::wstring text = LoadResourceString(instance_, UINT(message_id));
    MessageBoxW(hwnd_, text.c_str(), ProgramTitle, MB_OK | MB_ICONWARNING);
}

void MainDialogWindow::SetBusy(bool busy) {
    if (busy) {
        cursor_before_busy_ = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    } else {
        SetCursor(cursor_before_busy_);
    }
}

std::optional<std::wstring> MainDialogWindow::ChooseFile() {
    std::vector<wchar_t> buffer(LongestPath, L'\0');
    OPENFILENAMEW request = {};
    request.lStructSize = sizeof(request);
    request.hwndOwner = hwnd_;
    request.lpstrFilter = BrowseFilter;
    request.lpstrFile = buffer.data();
    request.nMaxFile = LongestPath;
    request.lpstrTitle = BrowseTitle;
    request.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
    if (!GetOpenFileNameW(&request)) {
        return std::nullopt;
    }
    return std::wstring(buffer.data(), wcsnlen(buffer.data(), buffer.size()));
}

std::string MainDialogWindow::Narrow(UINT code_page, std::wstring_view text) {
    if (text.empty()) {
        return {};
    }
    const int length =
        WideCharToMultiByte(code_page, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(size_t(length > 0 ? length : 0), '\0');
    WideCharToMultiByte(code_page, 0, text.data(), int(text.size()), bytes.data(), length, nullptr, nullptr);
    return bytes;
}

std::wstring MainDialogWindow::Widen(UINT code_page, std::string_view bytes) {
    if (bytes.empty()) {
        return {};
    }
    const int length = MultiByteToWideChar(code_page, 0, bytes.data(), int(bytes.size()), nullptr, 0);
    std::wstring text(size_t(length > 0 ? length : 0), L'\0');
    MultiByteToWideChar(code_page, 0, bytes.data(), int(bytes.size()), text.data(), length);
    return text;
}

}  // namespace

int RunMainDialog(HINSTANCE instance, MainDialog& dialog) {
    MainDialogWindow window(instance, dialog);
    return window.Run();
}

}  // namespace ui
