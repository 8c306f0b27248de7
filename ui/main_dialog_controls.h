// The main dialog's controls as MainDialog reaches them (DialogControls), over the real window:
// texts, ticks, the selectors, showing, enabling, moving and focusing controls, the result
// fields' marks, the warning box, the wait cursor, the open-file dialog, the clipboard and the
// system's text conversions. The window's own steps and its messages are MainDialogWindow's
// (main_dialog_window.cpp). Windows only.
#pragma once

#include <windows.h>

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
    void SetResultMark(int id, ResultMark mark) override;
    void ShowWarning(int message_id) override;
    void SetBusy(bool busy) override;
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

  private:
    HCURSOR cursor_before_busy_ = nullptr;
    // Each result field's mark, asked for at every paint; the brushes live as long as the window.
    ResultMarks marks_{};
    HBRUSH match_brush_;
    HBRUSH mismatch_brush_;
};

}  // namespace ui
