// The Win32 side both dialogs share: the dialog procedure that finds the C++ object behind its
// window, the boundary no exception crosses, the web links (the hand cursor over them, the page
// opened on a click), the controls' rectangles and images, and following the display's scale
// (DpiScaling). Windows only.
#pragma once

#include <windows.h>

#include <exception>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "ui/about_box.h"
#include "ui/dpi_math.h"
#include "ui/dpi_scaling.h"
#include "ui/layout_math.h"
#include "ui/rect.h"

namespace ui {

// The dialogs' title, and that of their message boxes.
inline constexpr wchar_t ProgramTitle[] = L"Orvendal";

// The longest path the system accepts, in characters: room enough that no name is cut short.
inline constexpr DWORD LongestPath = 32768;

// A RECT as the plain C++ rectangle.
inline Rect ToRect(const RECT& rect) {
    return Rect{rect.left, rect.top, rect.right, rect.bottom};
}

// The executable's full name, however long; empty when it cannot be had.
std::wstring ExecutablePath();

// The work area of every display: where a window may be placed to be seen.
std::vector<Rect> DisplayWorkAreas();

// The process's exit code when an unexpected exception ended it.
inline constexpr UINT UnexpectedErrorExitCode = 3;

// Ends the program after an exception that would otherwise have unwound into the system, where
// that is undefined: an error box says that the program must close (with the exception's own
// text, `what`, when there is one), then the process is terminated with UnexpectedErrorExitCode.
// No more of the program's code runs, so nothing is saved from a state that can no longer be
// trusted (the settings of this session are lost).
[[noreturn]] void EndProgramOnUnexpectedError(const char* what) noexcept;

// Runs `body` and returns what it returns; an exception ends the program as above. Every place
// where the system calls into the program goes through it.
template <typename Body>
auto RunGuarded(Body&& body) noexcept -> decltype(body()) {
    try {
        return body();
    } catch (const std::exception& error) {
        EndProgramOnUnexpectedError(error.what());
    } catch (...) {
        EndProgramOnUnexpectedError(nullptr);
    }
}

// A dialog made from a template. The object must outlive its window: it is found through the
// window from WM_INITDIALOG on and let go at WM_NCDESTROY, and messages outside that span get
// the default handling.
class DialogWindow {
  public:
    DialogWindow(const DialogWindow&) = delete;
    DialogWindow& operator=(const DialogWindow&) = delete;

  protected:
    // `links` are the controls that open the maker's web site, with `product_word` as the source
    // of the visit.
    DialogWindow(HINSTANCE instance, std::span<const WebLink> links, std::wstring_view product_word)
        : instance_(instance), links_(links), product_word_(product_word) {}
    // Deletes the images handed to SetImage.
    virtual ~DialogWindow();

    // Creates the dialog without waiting for it (null when it could not be created), or runs it
    // modally until EndDialog.
    HWND CreateModeless(int template_id, HWND owner);
    INT_PTR RunModal(int template_id, HWND owner);
    // Creates the dialog as the program's own window and runs its messages until WM_QUIT; F1 in
    // it calls `show_help`. 0, or -1 when the dialog could not be created.
    int RunAsMainWindow(int template_id, const std::function<void()>& show_help);

    // The dialog's messages from WM_INITDIALOG to WM_NCDESTROY, both included, with a dialog
    // procedure's result. The links' mouse messages are handled before they get here.
    virtual INT_PTR HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) = 0;

    HWND hwnd() const { return hwnd_; }
    HINSTANCE instance() const { return instance_; }
    HWND Item(int id) const { return GetDlgItem(hwnd_, id); }
    // A string-table entry; empty when there is none.
    std::wstring ResourceString(UINT id) const;

    // Opens the help file beside the program at `page` (its first page when empty); a message
    // box names the file when no help window appears.
    void ShowHelpPage(std::wstring_view page) const;

    // Where a control is, in client coordinates; nothing when it does not exist.
    std::optional<Rect> ControlRect(int id) const;
    ControlRectLookup ControlRects() const;

    // Shows `bitmap` (null is ignored) on the static control `id`. The dialog owns it from then
    // on and deletes it once the window is gone; the bitmap the control showed before (loaded
    // from the template, or set here earlier) is deleted at once.
    void SetImage(int id, HBITMAP bitmap);

    // From now on the dialog follows changes of the display's scale (WM_DPICHANGED): its
    // controls as they are now are recorded (DpiScaling::Record), and on every change they get
    // fonts and rectangles for the new DPI, OnDpiChanged runs, the window takes the rectangle
    // the system suggests and is sent WM_SIZE, so it is laid out again even when its size stayed.
    // Called once, when the controls have their fonts and before the window is moved anywhere.
    void FollowDpiChanges() { dpi_scaling_.Record(hwnd_); }

    // The DPI the dialog is shown at, and the one its controls were recorded at (the same until
    // the first change).
    uint32_t Dpi() const { return dpi_scaling_.recorded() ? dpi_scaling_.dpi() : WindowDpi(hwnd_); }
    uint32_t RecordedDpi() const { return dpi_scaling_.recorded() ? dpi_scaling_.recorded_dpi() : Dpi(); }

    // A length in pixels at the recorded DPI, as it is at the current one.
    int32_t ScaledForDpi(int32_t recorded_length) const {
        return ScaleForDpi(recorded_length, Dpi(), RecordedDpi());
    }

    // Runs on a change of DPI once the controls have their new fonts and rectangles, before the
    // window is resized and laid out: where a dialog scales what it keeps at the recorded DPI and
    // loads the images drawn for the new one.
    virtual void OnDpiChanged() {}

  private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) noexcept;
    INT_PTR Dispatch(UINT message, WPARAM wparam, LPARAM lparam);
    std::optional<WebLink> LinkUnder(int x, int y) const;
    bool ShowHandCursorOverLink() const;
    void FollowDpiChange(uint32_t dpi, const RECT& suggested);

    HINSTANCE instance_;
    std::span<const WebLink> links_;
    std::wstring product_word_;
    HWND hwnd_ = nullptr;
    std::vector<HBITMAP> images_;
    DpiScaling dpi_scaling_;
};

}  // namespace ui
