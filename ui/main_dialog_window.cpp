// OBM_SIZE, the system's size-grip bitmap, is declared only with OEMRESOURCE, which has to come
// before the first Windows header.
#define OEMRESOURCE
#include "ui/main_dialog_window.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>
#include <windows.h>

#include <cwchar>
#include <optional>
#include <string>
#include <vector>

#include "engine/windows_text.h"
#include "ui/about_dialog_window.h"
#include "ui/dialog_window.h"
#include "ui/help_viewer.h"
#include "ui/layout_math.h"
#include "ui/web_and_help.h"

namespace ui {
namespace {

static_assert(CalculateCommand == IDOK && CloseCommand == IDCANCEL);
static_assert(ButtonClicked == BN_CLICKED && SelectionAccepted == CBN_SELENDOK && TextChanged == EN_CHANGE);

constexpr wchar_t BrowseTitle[] = L"Find";
// Description and pattern, each zero-terminated, then the terminating empty entry.
constexpr wchar_t BrowseFilter[] = L"所有文件 (*.*)\0*.*\0";
// The longest path the system accepts, so no chosen name is cut short.
constexpr DWORD LongestPath = 32768;

// A marked result field's background: light green for a digest as expected, light red for one
// a sum file contradicts. Both are light enough for the usual dark text.
constexpr COLORREF MatchColour = RGB(198, 239, 206);
constexpr COLORREF MismatchColour = RGB(255, 199, 206);

Rect ToRect(const RECT& rect) {
    return Rect{rect.left, rect.top, rect.right, rect.bottom};
}

// The executable's full name, however long; empty when it cannot be had.
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

class MainDialogWindow final : public DialogWindow, public DialogControls {
  public:
    MainDialogWindow(HINSTANCE instance, MainDialog& dialog, const ProgramIdentity& program,
                     const SettingsStore& settings)
        : DialogWindow(instance, MainDialogLinks, program.product_word),
          dialog_(dialog),
          program_(program),
          settings_(settings),
          match_brush_(CreateSolidBrush(MatchColour)),
          mismatch_brush_(CreateSolidBrush(MismatchColour)) {}
    ~MainDialogWindow() override;

    int Run();

    // The controls.
    bool HasControl(int id) const override { return Item(id) != nullptr; }
    std::wstring Text(int id) const override;
    void SetText(int id, std::wstring_view text) override;
    bool IsChecked(int id) const override { return IsDlgButtonChecked(hwnd(), id) == BST_CHECKED; }
    void SetChecked(int id, bool checked) override {
        CheckDlgButton(hwnd(), id, checked ? BST_CHECKED : BST_UNCHECKED);
    }
    int Selection(int id) const override;
    int ItemCount(int id) const override;
    std::wstring ItemText(int id, int index) const override;
    void Select(int id, int index) override {
        SendDlgItemMessageW(hwnd(), id, CB_SETCURSEL, WPARAM(index), 0);
    }
    void Show(int id, bool visible) override;
    void Enable(int id, bool enabled) override;
    Rect Bounds(int id) const override { return ControlRect(id).value_or(Rect{}); }
    void Move(int id, const Rect& bounds) override;
    void Focus(int id) override;
    void SetResultMark(int id, ResultMark mark) override;
    void ShowWarning(int message_id) override;
    void SetBusy(bool busy) override;
    std::optional<std::wstring> ChooseFile() override;
    std::optional<std::wstring> ClipboardText() override;
    std::string ToSystemCodePage(std::wstring_view text) const override {
        return engine::Narrow(text, engine::CodePage::System);
    }
    std::wstring FromSystemCodePage(std::string_view bytes) const override {
        return engine::Widen(bytes, engine::CodePage::System);
    }
    std::string ToUtf8(std::wstring_view text) const override {
        return engine::Narrow(text, engine::CodePage::Utf8);
    }
    std::wstring FromUtf8(std::string_view bytes) const override {
        return engine::Widen(bytes, engine::CodePage::Utf8);
    }

    // The window's own steps.
    void AddAboutMenuItem() override;
    void SetIcons() override;
    void EnableToolTips() override;
    void CaptureLayout() override;
    void RestoreWindowPlacement(const Rect& stored_window_rect) override;
    void SetSizeGrip() override;
    void SetLogo() override;
    void AcceptDroppedFiles() override { DragAcceptFiles(hwnd(), TRUE); }
    void ShowHelp() override;
    void Close() override { DestroyWindow(hwnd()); }

  private:
    INT_PTR HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;

    BOOL OnInitDialog();
    void PrepareControls();
    bool OnPaint();
    void OnDropFiles(HDROP drop);
    bool OnNotify(NMHDR* header);
    INT_PTR OnControlColour(HDC dc, HWND control) const;
    void SaveSettings();
    void ApplyLayout();
    void LimitTrackingSize(MINMAXINFO* limits);

    MainDialog& dialog_;
    const ProgramIdentity& program_;
    const SettingsStore& settings_;
    HICON icon_ = nullptr;
    HICON small_icon_ = nullptr;
    HWND tool_tip_ = nullptr;
    HCURSOR cursor_before_busy_ = nullptr;
    LayoutTable layout_ = MainLayoutTable;  // this dialog's rectangles, recorded at start
    bool layout_captured_ = false;
    // The window's outer size when it was created: its default placement and its highest.
    int32_t created_width_ = 0;
    int32_t created_height_ = 0;
    std::wstring tool_tip_text_;  // must outlive the tool tip's request
    // Each result field's mark, asked for at every paint; the brushes live as long as the window.
    ResultMarks marks_{};
    HBRUSH match_brush_;
    HBRUSH mismatch_brush_;
};

MainDialogWindow::~MainDialogWindow() {
    // The window that showed these is gone by now.
    if (icon_ != nullptr) {
        DestroyIcon(icon_);
    }
    if (small_icon_ != nullptr) {
        DestroyIcon(small_icon_);
    }
    for (const HBRUSH brush : {match_brush_, mismatch_brush_}) {
        if (brush != nullptr) {
            DeleteObject(brush);
        }
    }
}

int MainDialogWindow::Run() {
    if (CreateModeless(IDD_MAIN_DIALOG, nullptr) == nullptr) {
        return -1;
    }
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_KEYDOWN && message.wParam == VK_F1 &&
            (message.hwnd == hwnd() || IsChild(hwnd(), message.hwnd))) {
            ShowHelp();
        }
        if (hwnd() == nullptr || !IsDialogMessageW(hwnd(), &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return 0;
}

INT_PTR MainDialogWindow::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_INITDIALOG:
            return OnInitDialog();
        case WM_COMMAND:
            dialog_.OnCommand(LOWORD(wparam), HIWORD(wparam));
            return TRUE;
        case WM_SYSCOMMAND:
            if ((wparam & 0xFFF0) == IDM_ABOUT_BOX) {
                RunAboutDialog(instance(), hwnd(), program_);
                return TRUE;
            }
            return FALSE;
        case WM_PAINT:
            return OnPaint();
        case WM_QUERYDRAGICON:
            return reinterpret_cast<INT_PTR>(icon_);
        case WM_SIZE:
            if (layout_captured_) {
                ApplyLayout();
                dialog_.UpdateBrowseButton();
            }
            return FALSE;
        case WM_GETMINMAXINFO:
            LimitTrackingSize(reinterpret_cast<MINMAXINFO*>(lparam));
            return TRUE;
        case WM_DROPFILES:
            OnDropFiles(reinterpret_cast<HDROP>(wparam));
            return TRUE;
        case WM_NOTIFY:
            return OnNotify(reinterpret_cast<NMHDR*>(lparam));
        case WM_CTLCOLORSTATIC:  // what read-only edits ask before they paint
            return OnControlColour(reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam));
        case WM_DESTROY:
            SaveSettings();
            PostQuitMessage(0);
            return FALSE;
        case WM_NCDESTROY:
            dialog_.Attach(nullptr);
            return FALSE;
        default:
            return FALSE;
    }
}

BOOL MainDialogWindow::OnInitDialog() {
    RECT window;
    GetWindowRect(hwnd(), &window);
    created_width_ = window.right - window.left;
    created_height_ = window.bottom - window.top;

    PrepareControls();
    dialog_.Attach(this);
    dialog_.OnInit(settings_.Read());
    return FALSE;  // the focus was not set here
}

void MainDialogWindow::PrepareControls() {
    // A template cannot hold a list's items.
    for (const std::wstring_view item : DataFormatItems) {
        SendDlgItemMessageW(hwnd(), IDC_DATA_FORMAT, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(std::wstring(item).c_str()));
    }
    for (const std::wstring_view item : KeyFormatItems) {
        SendDlgItemMessageW(hwnd(), IDC_KEY_FORMAT, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(std::wstring(item).c_str()));
    }
    // Both lists start on their first item, so a stored index that is out of range leaves a
    // selection rather than an empty list.
    SendDlgItemMessageW(hwnd(), IDC_DATA_FORMAT, CB_SETCURSEL, 0, 0);
    SendDlgItemMessageW(hwnd(), IDC_KEY_FORMAT, CB_SETCURSEL, 0, 0);
    // An edit takes only about 32 000 characters by default and would cut a long pasted text
    // or hex string silently; zero lifts the limit to the maximum.
    SendDlgItemMessageW(hwnd(), IDC_DATA_VALUE, EM_SETLIMITTEXT, 0, 0);
    SendDlgItemMessageW(hwnd(), IDC_KEY_VALUE, EM_SETLIMITTEXT, 0, 0);
}

void MainDialogWindow::AddAboutMenuItem() {
    const HMENU menu = GetSystemMenu(hwnd(), FALSE);
    const std::wstring text = ResourceString(IDS_ABOUT_BOX);
    if (menu != nullptr && !text.empty()) {
        AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuW(menu, MF_STRING, IDM_ABOUT_BOX, text.c_str());
    }
}

void MainDialogWindow::SetIcons() {
    icon_ = static_cast<HICON>(LoadImageW(instance(), MAKEINTRESOURCEW(IDI_MAIN_ICON), IMAGE_ICON,
                                          GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
    small_icon_ =
        static_cast<HICON>(LoadImageW(instance(), MAKEINTRESOURCEW(IDI_MAIN_ICON), IMAGE_ICON,
                                      GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small_icon_));
}

void MainDialogWindow::EnableToolTips() {
    // Every control is a tool; its text is asked for when due (OnNotify).
    tool_tip_ =
        CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, hwnd(), nullptr, instance(), nullptr);
    if (tool_tip_ == nullptr) {
        return;
    }
    for (HWND child = GetWindow(hwnd(), GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        TOOLINFOW tool = {};
        tool.cbSize = sizeof(tool);
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = hwnd();
        tool.uId = reinterpret_cast<UINT_PTR>(child);
        tool.lpszText = LPSTR_TEXTCALLBACKW;
        SendMessageW(tool_tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

void MainDialogWindow::SetSizeGrip() {
    SetImage(IDC_SIZE_GRIP, LoadBitmapW(nullptr, MAKEINTRESOURCEW(OBM_SIZE)));
}

void MainDialogWindow::SetLogo() {
    // The logo is drawn in black on white; it takes the button colours of the current scheme.
    COLORMAP colours[2] = {
        {RGB(0, 0, 0), GetSysColor(COLOR_BTNTEXT)},
        {RGB(255, 255, 255), GetSysColor(COLOR_BTNFACE)},
    };
    SetImage(IDC_LOGO, CreateMappedBitmap(instance(), IDB_LOGO, 0, colours, 2));
}

void MainDialogWindow::RestoreWindowPlacement(const Rect& stored_window_rect) {
    std::vector<Rect> work_areas;
    EnumDisplayMonitors(nullptr, nullptr, CollectWorkArea, reinterpret_cast<LPARAM>(&work_areas));
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    if (!GetMonitorInfoW(MonitorFromWindow(hwnd(), MONITOR_DEFAULTTOPRIMARY), &monitor)) {
        return;
    }
    const WindowPlacement placement = ChooseWindowPlacement(stored_window_rect, work_areas, created_width_,
                                                            created_height_, ToRect(monitor.rcWork));
    const Rect& rect = placement.rect;
    SetWindowPos(hwnd(), nullptr, rect.left, rect.top, rect.Width(), rect.Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainDialogWindow::SaveSettings() {
    RECT window;
    GetWindowRect(hwnd(), &window);
    settings_.Write(dialog_.SettingsToSave(ToRect(window), IsZoomed(hwnd()) != FALSE));
}

void MainDialogWindow::CaptureLayout() {
    RECT window;
    RECT client;
    GetWindowRect(hwnd(), &window);
    GetClientRect(hwnd(), &client);
    RecordLayout(layout_, window.right - window.left, window.bottom - window.top, ToRect(client),
                 ControlRects());
    layout_captured_ = true;
}

void MainDialogWindow::ApplyLayout() {
    RECT client;
    GetClientRect(hwnd(), &client);
    for (const ControlMove& move : ComputeLayout(layout_, ToRect(client), ControlRects())) {
        const Rect& rect = move.rect;
        MoveWindow(Item(move.control_id), rect.left, rect.top, rect.Width(), rect.Height(), FALSE);
    }
    InvalidateRect(hwnd(), nullptr, TRUE);
}

void MainDialogWindow::LimitTrackingSize(MINMAXINFO* limits) {
    const TrackingSize platform{limits->ptMinTrackSize.x, limits->ptMinTrackSize.y, limits->ptMaxTrackSize.x,
                                limits->ptMaxTrackSize.y};
    const TrackingSize wanted = ComputeTrackingLimits(layout_, created_height_, platform);
    limits->ptMinTrackSize = POINT{wanted.min_width, wanted.min_height};
    limits->ptMaxTrackSize = POINT{wanted.max_width, wanted.max_height};
}

void MainDialogWindow::ShowHelp() {
    const std::optional<HelpRequest> request = BuildHelpRequest(ExecutablePath());
    if (!request) {
        return;
    }
    if (DisplayHelpTopic(request->topic) == nullptr) {
        const std::wstring text = HelpNotFoundMessage(ResourceString(IDS_NOT_FOUND), request->file);
        MessageBoxW(hwnd(), text.c_str(), ProgramTitle, MB_OK | MB_ICONWARNING);
    }
}

bool MainDialogWindow::OnPaint() {
    if (!IsIconic(hwnd())) {
        return false;
    }
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(hwnd(), &paint);
    SendMessageW(hwnd(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client;
    GetClientRect(hwnd(), &client);
    const int x = (client.right - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc, x, y, icon_);
    EndPaint(hwnd(), &paint);
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
            tool_tip_text_ = ResourceString(UINT(id));
        }
    }
    request->lpszText = tool_tip_text_.data();
    return true;
}

INT_PTR MainDialogWindow::OnControlColour(HDC dc, HWND control) const {
    const int row = DialogRowOfResult(GetDlgCtrlID(control));
    if (row < 0 || marks_[size_t(row)] == ResultMark::None) {
        return FALSE;  // the usual colours
    }
    const bool match = marks_[size_t(row)] == ResultMark::Match;
    SetBkColor(dc, match ? MatchColour : MismatchColour);  // behind the text
    return reinterpret_cast<INT_PTR>(match ? match_brush_ : mismatch_brush_);
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
    SetDlgItemTextW(hwnd(), id, std::wstring(text).c_str());
}

int MainDialogWindow::Selection(int id) const {
    if (Item(id) == nullptr) {
        return -1;
    }
    const LRESULT index = SendDlgItemMessageW(hwnd(), id, CB_GETCURSEL, 0, 0);
    return index == CB_ERR ? -1 : int(index);
}

int MainDialogWindow::ItemCount(int id) const {
    if (Item(id) == nullptr) {
        return 0;
    }
    const LRESULT count = SendDlgItemMessageW(hwnd(), id, CB_GETCOUNT, 0, 0);
    return count == CB_ERR ? 0 : int(count);
}

std::wstring MainDialogWindow::ItemText(int id, int index) const {
    const LRESULT length = SendDlgItemMessageW(hwnd(), id, CB_GETLBTEXTLEN, WPARAM(index), 0);
    if (length == CB_ERR || length < 0) {
        return {};
    }
    std::vector<wchar_t> buffer(size_t(length) + 1, L'\0');
    const LRESULT copied =
        SendDlgItemMessageW(hwnd(), id, CB_GETLBTEXT, WPARAM(index), reinterpret_cast<LPARAM>(buffer.data()));
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

void MainDialogWindow::Move(int id, const Rect& bounds) {
    if (const HWND control = Item(id); control != nullptr) {
        MoveWindow(control, bounds.left, bounds.top, bounds.Width(), bounds.Height(), TRUE);
    }
}

void MainDialogWindow::Focus(int id) {
    if (const HWND control = Item(id); control != nullptr) {
        // The dialog's own way to move the focus, so the default button follows.
        SendMessageW(hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    }
}

void MainDialogWindow::SetResultMark(int id, ResultMark mark) {
    const int row = DialogRowOfResult(id);
    if (row < 0 || marks_[size_t(row)] == mark) {
        return;
    }
    marks_[size_t(row)] = mark;
    if (const HWND control = Item(id); control != nullptr) {
        InvalidateRect(control, nullptr, TRUE);
    }
}

void MainDialogWindow::ShowWarning(int message_id) {
    const std::wstring text = ResourceString(UINT(message_id));
    MessageBoxW(hwnd(), text.c_str(), ProgramTitle, MB_OK | MB_ICONWARNING);
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
    request.hwndOwner = hwnd();
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

std::optional<std::wstring> MainDialogWindow::ClipboardText() {
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

}  // namespace

int RunMainDialog(HINSTANCE instance, MainDialog& dialog, const ProgramIdentity& program,
                  const SettingsStore& settings) {
    MainDialogWindow window(instance, dialog, program, settings);
    return window.Run();
}

}  // namespace ui
