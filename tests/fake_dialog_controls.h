// The main dialog's controls in memory, for testing the dialog logic without a window. It
// behaves like the platform where the logic depends on it: what a user does reaches the dialog
// as the command its control sends, setting the data or key edit's text raises its change
// notification, a combo box selection raises none, the browse button and the data edit start
// where the dialog template puts them. The window's own steps are only written down, in the
// journal. Its "system code page" is Latin-1, so a test can tell code page bytes from UTF-8.
// Background work runs when the test says: at once by default, or held until the test finishes
// it; its clock and its progress timer move only when the test moves them.
#pragma once

#include <map>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

#include "ui/dialog_controls.h"
#include "ui/main_dialog.h"

class FakeDialogControls final : public ui::DialogControls {
  public:
    struct Control {
        std::wstring text;
        bool checked = false;
        std::vector<std::wstring> items;
        int selection = -1;
        bool visible = true;
        bool enabled = true;
        ui::Rect bounds;
        ui::ResultMark mark = ui::ResultMark::None;
        std::wstring tip;  // set by the dialog; empty: the usual one
    };

    // The controls of the main dialog, and the dialog attached to them.
    explicit FakeDialogControls(ui::MainDialog& dialog);
    ~FakeDialogControls() override { dialog_.Attach(nullptr); }

    // The window has been created: the dialog starts up with `stored` as the settings read.
    void Initialise(const ui::StoredSettings& stored = {});

    // What a user does.
    void Type(int edit, const std::wstring& text);
    void Click(int check_box);
    void Choose(int selector, int index);

    // Background work. Held, StartBackgroundWork keeps the work until FinishBackgroundWork runs
    // it on the test's thread and reports its end, as the window does from its message loop.
    bool hold_background_work = false;
    bool HoldsBackgroundWork() const { return static_cast<bool>(held_work_); }
    void FinishBackgroundWork();
    // Time passes: the clock moves on, and the progress timer, while it runs, fires once.
    void Tick(std::chrono::milliseconds elapsed);
    bool timer_running = false;
    std::chrono::steady_clock::time_point now{};
    std::optional<int> progress;  // the progress bar's position while it is shown

    Control& operator[](int id) { return controls_.at(id); }

    std::vector<int> warnings;                   // message ids shown, in order
    int focus = 0;                               // the control that took the focus last
    std::optional<std::wstring> file_to_choose;  // what the open-file dialog returns
    int file_dialogs = 0;
    std::optional<std::wstring> clipboard;  // its text; nothing: it holds none or cannot be opened
    int works_started = 0;
    // In order: the window's own steps and commands by name ("capture layout", "placement" with
    // the rectangle asked for, "help", "close", ...), and what the dialog changed of ticks ("tick"
    // or "untick" and the id), enabling ("enable", "disable"), selections ("select", id, index),
    // moves ("move", id), marks ("mark", id and "none", "match" or "mismatch"), warnings
    // ("warning" and the id), the background work ("start work", "stop work", "work done"), the
    // progress timer ("timer on", "timer off") and the progress bar ("progress" and the position,
    // "no progress").
    std::vector<std::string> journal;

    bool HasControl(int id) const override { return controls_.count(id) != 0; }
    std::wstring Text(int id) const override { return controls_.at(id).text; }
    void SetText(int id, std::wstring_view text) override;
    bool IsChecked(int id) const override { return controls_.at(id).checked; }
    void SetChecked(int id, bool checked) override;
    int Selection(int id) const override { return controls_.at(id).selection; }
    int ItemCount(int id) const override { return int(controls_.at(id).items.size()); }
    void Select(int id, int index) override;
    void Show(int id, bool visible) override { controls_.at(id).visible = visible; }
    void Enable(int id, bool enabled) override;
    ui::Rect Bounds(int id) const override { return controls_.at(id).bounds; }
    void Move(int id, const ui::Rect& bounds) override;
    void Focus(int id) override { focus = id; }
    int FocusedControl() const override { return focus; }
    void SetResultMark(int id, ui::ResultMark mark) override;
    void SetToolTip(int id, std::wstring_view text) override { controls_.at(id).tip = text; }
    void ShowWarning(int message_id) override;
    void StartBackgroundWork(std::function<void(std::stop_token)> work) override;
    void StopBackgroundWork() override;
    void StartProgressTimer() override;
    void StopProgressTimer() override;
    std::chrono::steady_clock::time_point Now() const override { return now; }
    void ShowProgress(std::optional<int> position) override;
    std::optional<std::wstring> ChooseFile() override;
    std::optional<std::wstring> ClipboardText() override { return clipboard; }
    std::string ToSystemCodePage(std::wstring_view text) const override;
    std::wstring FromSystemCodePage(std::string_view bytes) const override;
    std::string ToUtf8(std::wstring_view text) const override { return EncodeUtf8(text); }
    std::wstring FromUtf8(std::string_view bytes) const override { return DecodeUtf8(bytes); }
    void AddAboutMenuItem() override { journal.push_back("about menu"); }
    void SetIcons() override { journal.push_back("icons"); }
    void EnableToolTips() override { journal.push_back("tool tips"); }
    void CaptureLayout() override { journal.push_back("capture layout"); }
    void RestoreWindowPlacement(const ui::Rect& stored_window_rect) override;
    void SetSizeGrip() override { journal.push_back("size grip"); }
    void SetLogo() override { journal.push_back("logo"); }
    void AcceptDroppedFiles() override { journal.push_back("accept drops"); }
    void ShowHelp() override { journal.push_back("help"); }
    // As the window closes: held work is stopped and run to its end, which is not reported.
    void Close() override;

    // UTF-8 within the Basic Multilingual Plane, which is all the tests' texts need.
    static std::string EncodeUtf8(std::wstring_view text);
    static std::wstring DecodeUtf8(std::string_view bytes);

  private:
    void SetSelection(int id, int index);

    ui::MainDialog& dialog_;
    std::map<int, Control> controls_;
    std::function<void(std::stop_token)> held_work_;
    std::stop_source stop_;
};
