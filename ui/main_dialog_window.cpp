// The main dialog's window: its messages, its start-up steps, painting, drops, tool tips, the
// layout, the calculation's worker thread and progress timer, and the saving of the settings.
// Its controls are reached through MainDialogControls.
//
// OBM_SIZE, the system's size-grip bitmap, is declared only with OEMRESOURCE, which has to come
// before the first Windows header.
#define OEMRESOURCE
#include "ui/main_dialog_window.h"

#include <commctrl.h>
#include <shellapi.h>
#include <windows.h>

#include <functional>
#include <optional>
#include <span>
#include <stop_token>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "ui/about_dialog_window.h"
#include "ui/dialog_window.h"
#include "ui/dpi_scaling.h"
#include "ui/layout_math.h"
#include "ui/main_dialog_controls.h"

namespace ui {
namespace {

static_assert(CalculateCommand == IDOK && CloseCommand == IDCANCEL);
static_assert(ButtonClicked == BN_CLICKED && SelectionAccepted == CBN_SELENDOK && TextChanged == EN_CHANGE);

// Posted by the worker thread when the background work has returned.
constexpr UINT BackgroundWorkDone = WM_APP + 1;
// Answered 1 while a calculation runs or its end is being dealt with (a message it shows
// included), else 0. Programs that drive the window, its tests among them, ask it to know that a
// calculation is over: the window answers other messages all along, even while it applies the
// outcome.
constexpr UINT CalculationStateQuery = WM_APP + 2;
// The timer that shows a running calculation's progress.
constexpr UINT_PTR ProgressTimer = 1;

class MainDialogWindow final : public MainDialogControls {
  public:
    MainDialogWindow(HINSTANCE instance, MainDialog& dialog, const ProgramIdentity& program,
                     const SettingsStore& settings)
        : MainDialogControls(instance, MainDialogLinks, program.product_word),
          dialog_(dialog),
          program_(program),
          settings_(settings) {}
    ~MainDialogWindow() override;

    int Run();

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

    void StartBackgroundWork(std::function<void(std::stop_token)> work) override;
    void StopBackgroundWork() override { worker_.request_stop(); }
    void StartProgressTimer() override { SetTimer(hwnd(), ProgressTimer, ProgressInterval, nullptr); }
    void StopProgressTimer() override { KillTimer(hwnd(), ProgressTimer); }

  private:
    INT_PTR HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
    void OnDpiChanged() override;

    BOOL OnInitDialog();
    void PrepareControls();
    bool OnPaint();
    void OnDropFiles(HDROP drop);
    bool OnNotify(NMHDR* header);
    void OnDestroy();
    void SaveSettings();
    void ApplyLayout();
    TrackingSize TrackingLimits(const TrackingSize& platform) const;
    void LimitTrackingSize(MINMAXINFO* limits);

    MainDialog& dialog_;
    const ProgramIdentity& program_;
    const SettingsStore& settings_;
    HICON icon_ = nullptr;
    HICON small_icon_ = nullptr;
    HWND tool_tip_ = nullptr;
    LayoutTable recorded_layout_ = MainLayoutTable;  // this dialog's rectangles, recorded at start
    LayoutTable layout_ = MainLayoutTable;           // the same at the DPI the dialog is shown at
    // The same two for the progress bar and the status text.
    ProgressLayoutTable recorded_progress_layout_ = ProgressLayout;
    ProgressLayoutTable progress_layout_ = ProgressLayout;
    bool layout_captured_ = false;
    // The window's outer size when it was created, at the recorded DPI: its default placement
    // and its highest.
    int32_t created_width_ = 0;
    int32_t created_height_ = 0;
    std::wstring tool_tip_text_;       // must outlive the tool tip's request
    bool ending_calculation_ = false;  // while the dialog deals with a calculation's end
    // Runs the background work; declared last, so that it is stopped and joined first.
    std::jthread worker_;
};

MainDialogWindow::~MainDialogWindow() {
    // The window that showed these is gone by now.
    if (icon_ != nullptr) {
        DestroyIcon(icon_);
    }
    if (small_icon_ != nullptr) {
        DestroyIcon(small_icon_);
    }
}

int MainDialogWindow::Run() {
    return RunAsMainWindow(IDD_MAIN_DIALOG, [this] { ShowHelp(); });
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
            // Asked only by systems that show minimised windows as icons on the desktop, while
            // one of a class without an icon (a dialog's) is dragged; kept so it shows ours.
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
            return MarkColours(reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam));
        case WM_TIMER:
            if (wparam != ProgressTimer) {
                return FALSE;
            }
            dialog_.OnProgressTimer();
            return TRUE;
        case BackgroundWorkDone:
            if (worker_.joinable()) {
                worker_.join();  // it has posted this as its last act
            }
            ending_calculation_ = true;
            dialog_.OnBackgroundWorkDone();
            ending_calculation_ = false;
            return TRUE;
        case CalculationStateQuery:
            SetWindowLongPtrW(hwnd(), DWLP_MSGRESULT, dialog_.Calculating() || ending_calculation_ ? 1 : 0);
            return TRUE;
        case WM_DESTROY:
            OnDestroy();
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
    // Again at every change of DPI: the window lets go of the previous icons as it takes these.
    const HICON previous[] = {icon_, small_icon_};
    icon_ = LoadIconForDpi(instance(), IDI_MAIN_ICON, SM_CXICON, Dpi());
    small_icon_ = LoadIconForDpi(instance(), IDI_MAIN_ICON, SM_CXSMICON, Dpi());
    SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small_icon_));
    for (const HICON icon : previous) {
        if (icon != nullptr) {
            DestroyIcon(icon);
        }
    }
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
    SetImage(IDC_LOGO, LoadMappedBitmapForDpi(instance(), IDB_LOGO, Dpi(), colours));
    // The control has taken the size of its image, drawn for the scale nearest below the
    // display's; the layout keeps that size rather than the recorded one scaled.
    const std::optional<Rect> logo = ControlRect(IDC_LOGO);
    for (LayoutEntry& entry : layout_) {
        if (entry.control_id == IDC_LOGO && logo) {
            entry.rect.right = entry.rect.left + logo->Width();
            entry.rect.bottom = entry.rect.top + logo->Height();
        }
    }
}

void MainDialogWindow::RestoreWindowPlacement(const Rect& stored_window_rect) {
    const std::vector<Rect> work_areas = DisplayWorkAreas();
    const TrackingSize platform{GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK),
                                GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
    // A move onto a display of another scale changes the window's size and its limits on the
    // way (WM_DPICHANGED): the choice is then made again with those and applied once more.
    for (int attempt = 0; attempt < 2; ++attempt) {
        const uint32_t dpi = Dpi();
        MONITORINFO monitor = {};
        monitor.cbSize = sizeof(monitor);
        if (!GetMonitorInfoW(MonitorFromWindow(hwnd(), MONITOR_DEFAULTTOPRIMARY), &monitor)) {
            return;
        }
        const WindowPlacement placement = ChooseWindowPlacement(
            stored_window_rect, work_areas, TrackingLimits(platform), ScaledForDpi(created_width_),
            ScaledForDpi(created_height_), ToRect(monitor.rcWork));
        const Rect& rect = placement.rect;
        SetWindowPos(hwnd(), nullptr, rect.left, rect.top, rect.Width(), rect.Height(),
                     SWP_NOZORDER | SWP_NOACTIVATE);
        if (Dpi() == dpi) {
            return;
        }
    }
}

void MainDialogWindow::StartBackgroundWork(std::function<void(std::stop_token)> work) {
    const HWND window = hwnd();
    try {
        worker_ = std::jthread([window, work](std::stop_token stop) {
            RunGuarded([&] { work(std::move(stop)); });
            PostMessageW(window, BackgroundWorkDone, 0, 0);
        });
    } catch (const std::system_error&) {
        // No thread to be had: the work runs here, the window waiting for it as it always did.
        work(std::stop_token());
        PostMessageW(window, BackgroundWorkDone, 0, 0);
    }
}

void MainDialogWindow::OnDestroy() {
    // A calculation still running uses the dialog's objects: it is stopped and waited for (a
    // stop is heeded within a piece of the file) before anything goes. Its end is not reported.
    if (worker_.joinable()) {
        worker_.request_stop();
        worker_.join();
    }
    KillTimer(hwnd(), ProgressTimer);
    SaveSettings();
    PostQuitMessage(0);
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
    for (const std::span<LayoutEntry> table :
         {std::span<LayoutEntry>(recorded_layout_), std::span<LayoutEntry>(recorded_progress_layout_)}) {
        RecordLayout(table, window.right - window.left, window.bottom - window.top, ToRect(client),
                     ControlRects());
    }
    layout_ = recorded_layout_;
    progress_layout_ = recorded_progress_layout_;
    layout_captured_ = true;
    FollowDpiChanges();
}

void MainDialogWindow::OnDpiChanged() {
    ScaleLayout(recorded_layout_, RecordedDpi(), Dpi(), layout_);
    ScaleLayout(recorded_progress_layout_, RecordedDpi(), Dpi(), progress_layout_);
    SetIcons();
    SetLogo();
}

void MainDialogWindow::ApplyLayout() {
    RECT client;
    GetClientRect(hwnd(), &client);
    for (const std::span<const LayoutEntry> table :
         {std::span<const LayoutEntry>(layout_), std::span<const LayoutEntry>(progress_layout_)}) {
        for (const ControlMove& move : ComputeLayout(table, ToRect(client), ControlRects())) {
            const Rect& rect = move.rect;
            MoveWindow(Item(move.control_id), rect.left, rect.top, rect.Width(), rect.Height(), FALSE);
        }
    }
    InvalidateRect(hwnd(), nullptr, TRUE);
}

TrackingSize MainDialogWindow::TrackingLimits(const TrackingSize& platform) const {
    return ComputeTrackingLimits(layout_, ScaledForDpi(created_height_), platform);
}

void MainDialogWindow::LimitTrackingSize(MINMAXINFO* limits) {
    const TrackingSize platform{limits->ptMinTrackSize.x, limits->ptMinTrackSize.y, limits->ptMaxTrackSize.x,
                                limits->ptMaxTrackSize.y};
    const TrackingSize wanted = TrackingLimits(platform);
    limits->ptMinTrackSize = POINT{wanted.min_width, wanted.min_height};
    limits->ptMaxTrackSize = POINT{wanted.max_width, wanted.max_height};
}

void MainDialogWindow::ShowHelp() {
    ShowHelpPage({});
}

// Only systems that show minimised windows as icons on the desktop ask a minimised window of a
// class without an icon (a dialog's) to paint; kept so it shows ours there, not an empty square.
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
    auto* request = reinterpret_cast<NMTTDISPINFOW*>(header);
    tool_tip_text_.clear();
    if ((request->uFlags & TTF_IDISHWND) != 0) {
        tool_tip_text_ = ToolTipOf(GetDlgCtrlID(reinterpret_cast<HWND>(header->idFrom)) & 0xFFFF);
    }
    request->lpszText = tool_tip_text_.data();
    return true;
}

}  // namespace

int RunMainDialog(HINSTANCE instance, MainDialog& dialog, const ProgramIdentity& program,
                  const SettingsStore& settings) {
    MainDialogWindow window(instance, dialog, program, settings);
    return window.Run();
}

}  // namespace ui
