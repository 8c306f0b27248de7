// The thin layer between the main dialog's logic and its window: controls reached by id, the
// result fields' marks and tool tips, the warning box, the progress bar, work on a thread of its
// own, the open-file dialog, the clipboard, the system's text conversions, and the steps only
// the window can take, which the dialog puts in their order. The Windows dialog implements it over its
// window; the unit tests implement it in memory, so the logic is tested without creating a window.
#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>

#include "ui/rect.h"
#include "ui/result_marks.h"

namespace ui {

class DialogControls {
  public:
    virtual ~DialogControls() = default;

    virtual bool HasControl(int id) const = 0;

    // Edits (and any control's window text). Setting the text of the data or key edit raises
    // its change notification, as the platform does.
    virtual std::wstring Text(int id) const = 0;
    virtual void SetText(int id, std::wstring_view text) = 0;

    virtual bool IsChecked(int id) const = 0;
    virtual void SetChecked(int id, bool checked) = 0;

    // Drop-down lists, whose items are known by their index. Selection is -1 when no item is
    // selected; Select sends no notification.
    virtual int Selection(int id) const = 0;
    virtual int ItemCount(int id) const = 0;
    virtual void Select(int id, int index) = 0;

    virtual void Show(int id, bool visible) = 0;
    virtual void Enable(int id, bool enabled) = 0;

    // The control's window rectangle in client coordinates of the dialog; Move repaints.
    virtual Rect Bounds(int id) const = 0;
    virtual void Move(int id, const Rect& bounds) = 0;

    virtual void Focus(int id) = 0;
    // The control that has the focus, 0 for none.
    virtual int FocusedControl() const = 0;

    // Colours the result edit `id` as `mark` says until it is marked again (None: as usual).
    virtual void SetResultMark(int id, ResultMark mark) = 0;
    // The tool tip of control `id` from now on; empty gives it back its usual one, if any.
    virtual void SetToolTip(int id, std::wstring_view text) = 0;

    // A warning box with an OK button, titled with the program's name; the text is the
    // string-table entry `message_id`. Returns when the user has closed it.
    virtual void ShowWarning(int message_id) = 0;

    // Work away from the dialog's thread, one at a time: `work` runs on a thread of its own and
    // must touch no control. Once it has returned, MainDialog::OnBackgroundWorkDone is called on
    // the dialog's thread, from the message loop (never from inside this call) - unless the
    // window has been closed meanwhile: closing asks the work to stop, waits for it and calls
    // nothing.
    virtual void StartBackgroundWork(std::function<void(std::stop_token)> work) = 0;
    // Asks the work to stop through its token; its end is still reported as above.
    virtual void StopBackgroundWork() = 0;

    // MainDialog::OnProgressTimer every ProgressInterval until stopped; the first call comes one
    // interval after the start.
    virtual void StartProgressTimer() = 0;
    virtual void StopProgressTimer() = 0;
    virtual std::chrono::steady_clock::time_point Now() const = 0;
    // The progress bar and the taskbar button's progress at `position` of ProgressRange, or
    // nothing to take both away.
    virtual void ShowProgress(std::optional<int> position) = 0;

    // The open-file dialog; the chosen file's full name, or nothing when cancelled.
    virtual std::optional<std::wstring> ChooseFile() = 0;

    // The clipboard's text, or nothing when it holds none or cannot be opened.
    virtual std::optional<std::wstring> ClipboardText() = 0;

    // Text as the bytes of the system code page (what text and key inputs hash), and back.
    virtual std::string ToSystemCodePage(std::wstring_view text) const = 0;
    virtual std::wstring FromSystemCodePage(std::string_view bytes) const = 0;
    // File names travel to the engine as UTF-8, so every name can be opened.
    virtual std::string ToUtf8(std::wstring_view text) const = 0;
    virtual std::wstring FromUtf8(std::string_view bytes) const = 0;

    // The window's own start-up steps, in the order MainDialog::OnInit takes them: the About
    // item of the system menu, the window icons, the tool tips, the recording of the layout
    // (before anything moves), the stored placement (or the default one for a rectangle not
    // worth restoring), the size grip and the logo images, and last the acceptance of drops.
    virtual void AddAboutMenuItem() = 0;
    virtual void SetIcons() = 0;
    virtual void EnableToolTips() = 0;
    virtual void CaptureLayout() = 0;
    virtual void RestoreWindowPlacement(const Rect& stored_window_rect) = 0;
    virtual void SetSizeGrip() = 0;
    virtual void SetLogo() = 0;
    virtual void AcceptDroppedFiles() = 0;

    // The Help and Close commands.
    virtual void ShowHelp() = 0;
    virtual void Close() = 0;
};

}  // namespace ui
