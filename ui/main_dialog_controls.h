// The main dialog's controls as MainDialog reaches them (DialogControls), over the real window:
// texts, ticks, the selectors, showing, enabling, moving and focusing controls, the result
// fields' marks, the tool tips' texts, the warning box, the progress bar and the taskbar
// button's progress, the open-file dialog, the clipboard and the system's text conversions.
// The window's own steps, its messages, its timer and its worker thread are MainDialogWindow's
// (main_dialog_window.cpp). Windows only.
#pragma once

#include <windows.h>
// ITaskbarList3; after the Windows headers.
#include <shobjidl.h>

#include <chrono>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "ui/about_box.h"
#include "ui/dialog_controls.h"
#include "ui/dialog_window.h"
#include "ui/result_marks.h"

namespace ui {

class MainDialogControls : public DialogWindow, public DialogControls {
  public:
    bool HasControl(int id) const override { return Item(id) != nullptr; }
    std::wstring Text(int id) const override;
    void SetText(int id, std::wstring_view text) override;
    bool IsChecked(int id) const override;
    void SetChecked(int id, bool checked) override;
    int Selection(int id) const override;
    int ItemCount(int id) const override;
    void Select(int id, int index) override;
    void Show(int id, bool visible) override;
    void Enable(int id, bool enabled) override;
    Rect Bounds(int id) const override { return ControlRect(id).value_or(Rect{}); }
    void Move(int id, const Rect& bounds) override;
    void Focus(int id) override;
    int FocusedControl() const override;
    void SetResultMark(int id, ResultMark mark) override;
    void SetToolTip(int id, std::wstring_view text) override;
    void ShowWarning(int message_id) override;
    std::chrono::steady_clock::time_point Now() const override { return std::chrono::steady_clock::now(); }
    void ShowProgress(std::optional<int> position) override;
    std::optional<std::wstring> ChooseFile() override;
    std::optional<std::wstring> ClipboardText() override;
    std::string ToSystemCodePage(std::wstring_view text) const override;
    std::wstring FromSystemCodePage(std::string_view bytes) const override;
    std::string ToUtf8(std::wstring_view text) const override;
    std::wstring FromUtf8(std::string_view bytes) const override;

  protected:
    MainDialogControls(HINSTANCE instance, std::span<const WebLink> links, std::wstring_view product_word);
    ~MainDialogControls() override;

    // The answer to WM_CTLCOLORSTATIC, which read-only edits send before they paint: a marked
    // result field's colours, or FALSE for the usual ones.
    INT_PTR MarkColours(HDC dc, HWND control) const;

    // The tool tip of control `id`: the one set for it, else the string numbered as the control
    // (most have none: empty).
    std::wstring ToolTipOf(int id) const;

  private:
    // The taskbar button's progress where the system offers it; null where it does not (older
    // systems, Wine), and then the taskbar shows nothing.
    ITaskbarList3* Taskbar();

    std::map<int, std::wstring> tool_tips_;
    ITaskbarList3* taskbar_ = nullptr;
    bool taskbar_asked_ = false;
    // Each result field's mark, asked for at every paint; the brushes live as long as the window.
    ResultMarks marks_{};
    HBRUSH match_brush_;
    HBRUSH mismatch_brush_;
};

}  // namespace ui
