// The checking window: a dialog whose list view (a virtual one: the rows live here) shows the sum
// file's lines. The engine's check runs on a thread of its own; it hands each listed file's
// verdicts over under a lock and posts a message, and its byte count is read by a timer, so the
// window never waits for it. Closing the window stops the check and waits for the thread.
#include "ui/check_window.h"

#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <mutex>
#include <optional>
#include <stop_token>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "engine/engine.h"
#include "engine/paths.h"
#include "engine/sum_file_check.h"
#include "engine/whole_file.h"
#include "ui/calculation_progress.h"
#include "ui/check_report.h"
#include "ui/dialog_window.h"
#include "ui/resource.h"
#include "ui/settings_format.h"

namespace ui {
namespace {

constexpr UINT CheckedMessage = WM_APP + 1;  // verdicts are waiting in `pending_`
constexpr UINT DoneMessage = WM_APP + 2;     // the check has ended
constexpr UINT_PTR ProgressTimer = 1;
constexpr UINT ProgressIntervalMs = 250;

// A sum file is read whole; anything larger is surely not one.
constexpr size_t LargestSumFile = size_t(256) << 20;

// The main dialog's mark colours: a row that matched, and one that failed.
constexpr COLORREF MatchColour = RGB(198, 239, 206);
constexpr COLORREF MismatchColour = RGB(255, 199, 206);

enum Column { FileColumn, AlgorithmColumn, VerdictColumn };

// The help page about this window, in the help file beside the program.
constexpr wchar_t HelpPage[] = L"checkwindow.htm";

std::wstring Wide(std::string_view utf8) {
    return engine::Widen(utf8, engine::CodePage::Utf8);
}

std::string Utf8(std::wstring_view text) {
    return engine::Narrow(text, engine::CodePage::Utf8);
}

std::wstring FullPath(const std::wstring& path) {
    const DWORD length = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (length == 0) {
        return path;
    }
    std::vector<wchar_t> buffer(length, L'\0');
    const DWORD written = GetFullPathNameW(path.c_str(), length, buffer.data(), nullptr);
    return written > 0 && written < length ? std::wstring(buffer.data(), written) : path;
}

// How a control follows the window's size: its edges move with the right or bottom edge.
struct Anchor {
    int id;
    bool left_moves, right_moves, top_moves, bottom_moves;
};
constexpr Anchor Anchors[] = {
    {IDC_CHECK_SUM_FILE, false, true, false, false},
    {IDC_CHECK_LIST, false, true, false, true},
    {IDC_CHECK_PROGRESS, false, true, true, true},
    {IDC_CHECK_SPEED, false, true, true, true},
    {IDC_CHECK_SUMMARY, false, true, true, true},
    {IDC_CHECK_STOP, false, false, true, true},
    {IDC_CHECK_COPY, false, false, true, true},
    {IDC_CHECK_HELP, true, true, true, true},
    {IDCANCEL, true, true, true, true},
};

class CheckWindow final : public DialogWindow, engine::CheckListener, engine::ProgressCallback {
  public:
    CheckWindow(HINSTANCE instance, std::wstring path, engine::SumFile sum_file,
                const SettingsStore& settings)
        : DialogWindow(instance, {}, L"Orvendal"),
          path_(std::move(path)),
          sum_file_(std::move(sum_file)),
          settings_(settings),
          rows_(SumFileRows(sum_file_)) {}

    ~CheckWindow() override {
        stop_.request_stop();
        if (worker_.joinable()) {
            worker_.join();
        }
        if (icon_ != nullptr) {
            DestroyIcon(icon_);
        }
        if (small_icon_ != nullptr) {
            DestroyIcon(small_icon_);
        }
    }

    int Run();

  private:
    INT_PTR HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;

    // On the checking thread.
    bool Checked(const engine::ListedFileCheck& file) override;
    void Progress(uint64_t done, uint64_t total) override;
    void ListProgress(uint64_t inputs_done, uint64_t bytes_done) override;
    void CheckAll(std::stop_token stop);

    BOOL OnInit();
    void PrepareList();
    void RecordLayout();
    void ApplyLayout();
    void OnDpiChanged() override;
    void SetIcons();
    void RestorePlacement();
    void SaveSettings();
    void TakeVerdicts();
    void OnDone();
    void ShowProgress();
    void CopyReport();
    void ShowHelp();
    bool OnNotify(NMHDR* header);
    void SetText(int id, std::string_view utf8) { SetDlgItemTextW(hwnd(), id, Wide(utf8).c_str()); }

    const std::wstring path_;
    const engine::SumFile sum_file_;
    const SettingsStore& settings_;
    std::vector<CheckRow> rows_;
    std::wstring cell_;  // the text handed to the list, alive until it asks again

    // Shared with the checking thread.
    HWND target_ = nullptr;  // the window, set before the thread starts
    std::mutex mutex_;
    std::vector<engine::ListedFileCheck> pending_;
    bool posted_ = false;  // a CheckedMessage is on its way
    std::optional<engine::SumFileCheck> outcome_;
    std::atomic<uint64_t> bytes_done_{0};
    std::atomic<uint64_t> bytes_total_{0};
    std::stop_source stop_;
    std::thread worker_;

    bool done_ = false;
    std::chrono::steady_clock::time_point started_;
    int shown_position_ = 0;
    HICON icon_ = nullptr;
    HICON small_icon_ = nullptr;
    // At the DPI the window opened at, and (layout_, created_size_) at the current one.
    SIZE recorded_size_ = {};
    SIZE created_size_ = {};
    SIZE recorded_client_ = {};
    std::vector<std::pair<int, RECT>> recorded_rects_;
    SIZE layout_client_ = {};
    std::vector<std::pair<int, RECT>> layout_rects_;
};

int CheckWindow::Run() {
    return RunAsMainWindow(IDD_CHECK_WINDOW, [this] { ShowHelp(); });
}

INT_PTR CheckWindow::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_INITDIALOG:
            return OnInit();
        case WM_COMMAND:
            switch (LOWORD(wparam)) {
                case IDC_CHECK_STOP:
                    stop_.request_stop();
                    EnableWindow(Item(IDC_CHECK_STOP), FALSE);
                    return TRUE;
                case IDC_CHECK_COPY:
                    CopyReport();
                    return TRUE;
                case IDC_CHECK_HELP:
                    ShowHelp();
                    return TRUE;
                case IDCANCEL:
                    DestroyWindow(hwnd());
                    return TRUE;
                default:
                    return FALSE;
            }
        case WM_NOTIFY:
            return OnNotify(reinterpret_cast<NMHDR*>(lparam));
        case WM_SIZE:
            ApplyLayout();
            return FALSE;
        case WM_GETMINMAXINFO: {
            auto* limits = reinterpret_cast<MINMAXINFO*>(lparam);
            if (created_size_.cx != 0) {
                limits->ptMinTrackSize = POINT{created_size_.cx * 2 / 3, created_size_.cy * 2 / 3};
            }
            return TRUE;
        }
        case WM_TIMER:
            if (wparam == ProgressTimer) {
                ShowProgress();
            }
            return TRUE;
        case CheckedMessage:
            TakeVerdicts();
            return TRUE;
        case DoneMessage:
            OnDone();
            return TRUE;
        case WM_DESTROY:
            stop_.request_stop();
            KillTimer(hwnd(), ProgressTimer);
            SaveSettings();
            PostQuitMessage(0);
            return FALSE;
        default:
            return FALSE;
    }
}

BOOL CheckWindow::OnInit() {
    RECT window;
    GetWindowRect(hwnd(), &window);
    created_size_ = SIZE{window.right - window.left, window.bottom - window.top};
    recorded_size_ = created_size_;
    SetIcons();

    SetDlgItemTextW(hwnd(), IDC_CHECK_SUM_FILE, path_.c_str());
    SendDlgItemMessageW(hwnd(), IDC_CHECK_PROGRESS, PBM_SETRANGE32, 0, ProgressRange);
    EnableWindow(Item(IDC_CHECK_COPY), FALSE);
    PrepareList();
    RecordLayout();
    FollowDpiChanges();
    RestorePlacement();
    ShowWindow(hwnd(), SW_SHOW);

    target_ = hwnd();
    started_ = std::chrono::steady_clock::now();
    SetTimer(hwnd(), ProgressTimer, ProgressIntervalMs, nullptr);
    worker_ = std::thread([this, stop = stop_.get_token()] { CheckAll(stop); });
    SetFocus(Item(IDC_CHECK_STOP));
    return FALSE;  // the focus is set
}

void CheckWindow::PrepareList() {
    const HWND list = Item(IDC_CHECK_LIST);
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    RECT client;
    GetClientRect(list, &client);
    const int scroll = GetSystemMetrics(SM_CXVSCROLL);
    const std::wstring headings[] = {ResourceString(IDS_CHECK_FILE_COLUMN),
                                     ResourceString(IDS_CHECK_ALGORITHM_COLUMN),
                                     ResourceString(IDS_CHECK_VERDICT_COLUMN)};
    const int side = MulDiv(90, int(Dpi()), 96);
    const int widths[] = {std::max(side, int(client.right) - 2 * side - scroll), side, side};
    for (int column = 0; column < 3; ++column) {
        LVCOLUMNW info = {};
        info.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        info.pszText = const_cast<wchar_t*>(headings[column].c_str());
        info.cx = widths[column];
        info.iSubItem = column;
        ListView_InsertColumn(list, column, &info);
    }
    ListView_SetItemCountEx(list, int(rows_.size()), 0);
}

void CheckWindow::RecordLayout() {
    RECT client;
    GetClientRect(hwnd(), &client);
    recorded_client_ = SIZE{client.right, client.bottom};
    for (const Anchor& anchor : Anchors) {
        if (const std::optional<Rect> rect = ControlRect(anchor.id)) {
            recorded_rects_.emplace_back(anchor.id, RECT{rect->left, rect->top, rect->right, rect->bottom});
        }
    }
    layout_client_ = recorded_client_;
    layout_rects_ = recorded_rects_;
}

void CheckWindow::SetIcons() {
    const HICON icon = LoadIconForDpi(instance(), IDI_MAIN_ICON, SM_CXICON, Dpi());
    const HICON small_icon = LoadIconForDpi(instance(), IDI_MAIN_ICON, SM_CXSMICON, Dpi());
    SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small_icon));
    for (HICON old : {icon_, small_icon_}) {
        if (old != nullptr) {
            DestroyIcon(old);
        }
    }
    icon_ = icon;
    small_icon_ = small_icon;
}

// The controls have their fonts and places for the new DPI; what the window keeps of the DPI it
// opened at follows, and so do the icons and the narrow columns.
void CheckWindow::OnDpiChanged() {
    const auto scaled = [this](LONG length) { return LONG(ScaledForDpi(int32_t(length))); };
    created_size_ = SIZE{scaled(recorded_size_.cx), scaled(recorded_size_.cy)};
    layout_client_ = SIZE{scaled(recorded_client_.cx), scaled(recorded_client_.cy)};
    layout_rects_.clear();
    for (const auto& [id, rect] : recorded_rects_) {
        layout_rects_.emplace_back(
            id, RECT{scaled(rect.left), scaled(rect.top), scaled(rect.right), scaled(rect.bottom)});
    }
    SetIcons();
    const HWND list = Item(IDC_CHECK_LIST);
    const int side = MulDiv(90, int(Dpi()), 96);
    ListView_SetColumnWidth(list, AlgorithmColumn, side);
    ListView_SetColumnWidth(list, VerdictColumn, side);
}

void CheckWindow::ApplyLayout() {
    if (layout_rects_.empty() || IsIconic(hwnd())) {
        return;
    }
    RECT client;
    GetClientRect(hwnd(), &client);
    const int dx = client.right - layout_client_.cx;
    const int dy = client.bottom - layout_client_.cy;
    for (const auto& [id, recorded] : layout_rects_) {
        for (const Anchor& anchor : Anchors) {
            if (anchor.id != id) {
                continue;
            }
            const RECT rect{recorded.left + (anchor.left_moves ? dx : 0),
                            recorded.top + (anchor.top_moves ? dy : 0),
                            recorded.right + (anchor.right_moves ? dx : 0),
                            recorded.bottom + (anchor.bottom_moves ? dy : 0)};
            MoveWindow(Item(id), rect.left, rect.top, std::max(0L, rect.right - rect.left),
                       std::max(0L, rect.bottom - rect.top), FALSE);
        }
    }
    // The file column takes what the other two leave.
    const HWND list = Item(IDC_CHECK_LIST);
    RECT list_client;
    GetClientRect(list, &list_client);
    const int others =
        ListView_GetColumnWidth(list, AlgorithmColumn) + ListView_GetColumnWidth(list, VerdictColumn);
    ListView_SetColumnWidth(list, FileColumn, std::max(40, int(list_client.right) - others));
    InvalidateRect(hwnd(), nullptr, TRUE);
}

void CheckWindow::RestorePlacement() {
    const std::wstring stored = settings_.ReadValue(CheckWindowRectValueName);
    const std::vector<Rect> work_areas = DisplayWorkAreas();
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    if (!GetMonitorInfoW(MonitorFromWindow(hwnd(), MONITOR_DEFAULTTOPRIMARY), &monitor)) {
        return;
    }
    const TrackingSize limits{created_size_.cx * 2 / 3, created_size_.cy * 2 / 3, 0, 0};
    const WindowPlacement placement =
        ChooseWindowPlacement(ParseWindowRect(stored), work_areas, limits, created_size_.cx, created_size_.cy,
                              ToRect(monitor.rcWork));
    const Rect& rect = placement.rect;
    SetWindowPos(hwnd(), nullptr, rect.left, rect.top, rect.Width(), rect.Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    if (stored.starts_with(MaximizedWord)) {
        ShowWindow(hwnd(), SW_MAXIMIZE);
    }
}

void CheckWindow::SaveSettings() {
    RECT window;
    GetWindowRect(hwnd(), &window);
    settings_.WriteValue(CheckWindowRectValueName,
                         FormatWindowRect(ToRect(window), IsZoomed(hwnd()) != FALSE));
}

void CheckWindow::CheckAll(std::stop_token stop) {
    // The bar runs over every byte to be read: the sizes of the listed files that exist.
    const std::string sum_file_path = Utf8(path_);
    const engine::SumFileCheckSettings settings;
    uint64_t total = 0;
    const engine::EntryGroups groups = engine::GroupEntriesByFile(
        sum_file_.entries,
        [&](const engine::SumEntry& entry) { return engine::IsCheckable(entry, settings); });
    for (size_t group = 0; group < groups.size(); ++group) {
        const std::string path =
            engine::ResolveListedName(sum_file_path, sum_file_.entries[groups[group].front()].file_name);
        WIN32_FILE_ATTRIBUTE_DATA attributes;
        if (GetFileAttributesExW(Wide(path).c_str(), GetFileExInfoStandard, &attributes) &&
            (attributes.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            total += (uint64_t(attributes.nFileSizeHigh) << 32) | attributes.nFileSizeLow;
        }
    }
    bytes_total_ = total;

    engine::DigestCalculator calculator;
    calculator.SetStopToken(stop);
    calculator.SetProgressCallback(this);
    calculator.SetParallelFeeding(engine::UsableCoreCount() > 1);
    calculator.SetParallelFiles(engine::ParallelFiles::Storage);
    engine::SumFileCheck check = engine::CheckSumFile(sum_file_, sum_file_path, settings, calculator, this);
    {
        const std::lock_guard lock(mutex_);
        outcome_ = std::move(check);
    }
    PostMessageW(target_, DoneMessage, 0, 0);
}

bool CheckWindow::Checked(const engine::ListedFileCheck& file) {
    bool post = false;
    {
        const std::lock_guard lock(mutex_);
        pending_.push_back(file);
        post = !std::exchange(posted_, true);
    }
    if (post) {
        PostMessageW(target_, CheckedMessage, 0, 0);
    }
    return !stop_.stop_requested();
}

void CheckWindow::Progress(uint64_t done, uint64_t total) {
    (void)total;  // the one file of a list of one: its bytes are all the bytes
    bytes_done_ = done;
}

void CheckWindow::ListProgress(uint64_t inputs_done, uint64_t bytes_done) {
    (void)inputs_done;
    bytes_done_ = bytes_done;
}

void CheckWindow::TakeVerdicts() {
    std::vector<engine::ListedFileCheck> checked;
    {
        const std::lock_guard lock(mutex_);
        checked.swap(pending_);
        posted_ = false;
    }
    for (const engine::ListedFileCheck& file : checked) {
        ApplyVerdicts(file, sum_file_, rows_);
    }
    InvalidateRect(Item(IDC_CHECK_LIST), nullptr, FALSE);
}

void CheckWindow::ShowProgress() {
    // The dialog's own progress words and arithmetic, over the bytes of every listed file.
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - started_;
    const ProgressView view = ViewProgress(bytes_done_, bytes_total_, elapsed.count(), shown_position_);
    shown_position_ = view.position;
    SendDlgItemMessageW(hwnd(), IDC_CHECK_PROGRESS, PBM_SETPOS, WPARAM(view.position), 0);
    SetDlgItemTextW(hwnd(), IDC_CHECK_SPEED, view.text.c_str());
}

void CheckWindow::OnDone() {
    if (worker_.joinable()) {
        worker_.join();
    }
    TakeVerdicts();  // any the thread handed over after its last message
    KillTimer(hwnd(), ProgressTimer);
    bool stopped = false;
    {
        const std::lock_guard lock(mutex_);
        stopped = outcome_ && outcome_->stopped;
    }
    done_ = true;
    if (!stopped) {
        bytes_done_ = bytes_total_.load();
    }
    ShowProgress();
    SetText(IDC_CHECK_SUMMARY, CheckSummary(TallyRows(rows_, sum_file_, stopped)));
    EnableWindow(Item(IDC_CHECK_STOP), FALSE);
    EnableWindow(Item(IDC_CHECK_COPY), TRUE);
    SendMessageW(hwnd(), DM_SETDEFID, IDC_CHECK_COPY, 0);
    SendMessageW(hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(IDC_CHECK_COPY)), TRUE);
}

void CheckWindow::CopyReport() {
    bool stopped = false;
    {
        const std::lock_guard lock(mutex_);
        stopped = outcome_ && outcome_->stopped;
    }
    const std::wstring report = Wide(CheckReport(rows_, TallyRows(rows_, sum_file_, stopped)));
    if (!OpenClipboard(hwnd())) {
        return;
    }
    EmptyClipboard();
    const size_t size = (report.size() + 1) * sizeof(wchar_t);
    if (const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size); memory != nullptr) {
        if (void* locked = GlobalLock(memory); locked != nullptr) {
            std::memcpy(locked, report.c_str(), size);
            GlobalUnlock(memory);
            if (SetClipboardData(CF_UNICODETEXT, memory) == nullptr) {
                GlobalFree(memory);
            }
        } else {
            GlobalFree(memory);
        }
    }
    CloseClipboard();
}

void CheckWindow::ShowHelp() {
    ShowHelpPage(HelpPage);
}

bool CheckWindow::OnNotify(NMHDR* header) {
    if (header->idFrom != IDC_CHECK_LIST) {
        return false;
    }
    if (header->code == LVN_GETDISPINFOW) {
        LVITEMW& item = reinterpret_cast<NMLVDISPINFOW*>(header)->item;
        if ((item.mask & LVIF_TEXT) == 0 || item.iItem < 0 || size_t(item.iItem) >= rows_.size() ||
            item.cchTextMax <= 0) {
            return true;
        }
        const CheckRow& row = rows_[size_t(item.iItem)];
        switch (item.iSubItem) {
            case FileColumn:
                cell_ = Wide(row.file_name);
                break;
            case AlgorithmColumn:
                cell_ = Wide(row.algorithm);
                break;
            default:
                cell_ = Wide(VerdictText(row.verdict));
                break;
        }
        lstrcpynW(item.pszText, cell_.c_str(), item.cchTextMax);
        return true;
    }
    if (header->code == NM_CUSTOMDRAW) {
        auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(header);
        LRESULT result = CDRF_DODEFAULT;
        if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) {
            result = CDRF_NOTIFYITEMDRAW;
        } else if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT && draw->nmcd.dwItemSpec < rows_.size()) {
            switch (rows_[draw->nmcd.dwItemSpec].verdict) {
                case CheckVerdict::Match:
                    draw->clrTextBk = MatchColour;
                    break;
                case CheckVerdict::Mismatch:
                case CheckVerdict::Missing:
                case CheckVerdict::Unreadable:
                    draw->clrTextBk = MismatchColour;
                    break;
                case CheckVerdict::UnsupportedAlgorithm:
                case CheckVerdict::NotChecked:
                    break;
            }
            result = CDRF_NEWFONT;
        }
        SetWindowLongPtrW(hwnd(), DWLP_MSGRESULT, result);
        return true;
    }
    return false;
}

// Shows a refusal in a message box with the sum file's name in quotes.
int Refuse(HINSTANCE instance, UINT message_id, const std::wstring& path) {
    const wchar_t* text = nullptr;
    const int length = LoadStringW(instance, message_id, reinterpret_cast<LPWSTR>(&text), 0);
    std::wstring message = length > 0 ? std::wstring(text, size_t(length)) : std::wstring();
    if (!path.empty()) {
        message += L"\n\n\"" + path + L"\"";
    }
    MessageBoxW(nullptr, message.c_str(), ProgramTitle, MB_OK | MB_ICONWARNING);
    return CheckRefusedExitCode;
}

}  // namespace

int RunCheckWindow(HINSTANCE instance, const std::wstring& sum_file_path, const SettingsStore& settings) {
    if (sum_file_path.empty()) {
        return Refuse(instance, IDS_CHECK_NO_SUM_FILE, L"");
    }
    const std::wstring path = FullPath(sum_file_path);
    std::string bytes;
    switch (engine::ReadWholeFile(Utf8(path), LargestSumFile, bytes)) {
        case engine::WholeFileResult::Read:
            break;
        case engine::WholeFileResult::NotFound:
            return Refuse(instance, IDS_CHECK_SUM_FILE_NOT_FOUND, path);
        case engine::WholeFileResult::Unreadable:
        case engine::WholeFileResult::TooLong:
            return Refuse(instance, IDS_CHECK_SUM_FILE_UNREADABLE, path);
    }
    engine::SumFile sum_file = engine::ReadSumFile(bytes, Utf8(path));
    const bool any_row = !SumFileRows(sum_file).empty();
    if (!any_row) {
        return Refuse(instance, IDS_CHECK_NO_LINES, path);
    }
    CheckWindow window(instance, path, std::move(sum_file), settings);
    return window.Run() < 0 ? CheckRefusedExitCode : 0;
}

}  // namespace ui
