// The About box and the web link. Windows only; the texts and rules are in about_box.h.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string_view>

#include "ui/about_box.h"

namespace ui {

// Shows the About box modally over `owner` until it is closed.
void RunAboutDialog(HINSTANCE instance, HWND owner, const ProgramIdentity& identity);

// Asks the shell to open the maker's web site, with `page_word` (may be empty) after its
// address and the product word as the source. A failure is of no consequence and is ignored.
void OpenWebPage(std::wstring_view page_word, std::wstring_view product_word);

// Shows the system's hand cursor while the mouse is over a link of `window`, as
// `is_link_at(x, y)` tells in client coordinates; false leaves the cursor to the default
// handling (no link there, or no hand cursor on this system).
template <typename IsLinkAt>
bool ShowHandCursorOverLink(HWND window, IsLinkAt is_link_at) {
    POINT point;
    if (!GetCursorPos(&point) || !ScreenToClient(window, &point) || !is_link_at(point.x, point.y)) {
        return false;
    }
    const HCURSOR hand = LoadCursorW(nullptr, IDC_HAND);
    if (hand == nullptr) {
        return false;
    }
    SetCursor(hand);
    return true;
}

}  // namespace ui
