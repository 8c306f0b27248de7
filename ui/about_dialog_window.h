// The About box. Windows only; its texts and rules are in about_box.h.
#pragma once

#include <windows.h>

#include "ui/about_box.h"

namespace ui {

// Shows the About box modally over `owner` until it is closed.
void RunAboutDialog(HINSTANCE instance, HWND owner, const ProgramIdentity& identity);

}  // namespace ui
