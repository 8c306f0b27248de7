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

// The system's hand cursor, or null where there is none.
HCURSOR HandCursor();

}  // namespace ui
