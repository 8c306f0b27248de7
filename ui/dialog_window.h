// The Win32 side both dialogs share: the dialog procedure that finds the C++ object behind its
// window, the boundary no exception crosses, the web links (the hand cursor over them, the page
// opened on a click), and the controls' rectangles and images. Windows only.
#pragma once

#include <windows.h>

#include <exception>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "ui/about_box.h"
#include "ui/layout_math.h"
#include "ui/rect.h"

namespace ui {

// The dialogs' title, and that of their message boxes.
inline constexpr wchar_t ProgramTitle[] = L"Orvendal";

// The longest path the system accepts, in characters: room enough that no name is cut short.
inline constexpr DWORD LongestPath = 32768;

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

    // The dialog's messages from WM_INITDIALOG to WM_NCDESTROY, both included, with a dialog
    // procedure's result. The links' mouse messages are handled before they get here.
    virtual INT_PTR HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) = 0;

    HWND hwnd() const { return hwnd_; }
    HINSTANCE instance() const { return instance_; }
    HWND Item(int id) const { return GetDlgItem(hwnd_, id); }
    // A string-table entry; empty when there is none.
    std::wstring ResourceString(UINT id) const;

    // Where a control is, in client coordinates; nothing when it does not exist.
    std::optional<Rect> ControlRect(int id) const;
    ControlRectLookup ControlRects() const;

    // Shows `bitmap` (null is ignored) on the static control `id`. The dialog owns it from then
    // on and deletes it once the window is gone; the bitmap the control had loaded from the
    // template is deleted at once.
    void SetImage(int id, HBITMAP bitmap);

  private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) noexcept;
    INT_PTR Dispatch(UINT message, WPARAM wparam, LPARAM lparam);
    std::optional<WebLink> LinkUnder(int x, int y) const;
    bool ShowHandCursorOverLink() const;

    HINSTANCE instance_;
    std::span<const WebLink> links_;
    std::wstring product_word_;
    HWND hwnd_ = nullptr;
    std::vector<HBITMAP> images_;
};

}  // namespace ui
