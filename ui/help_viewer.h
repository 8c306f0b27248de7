// The HTML Help viewer, loaded when first asked for (from the system directory only) and kept
// for the rest of the process: its windows run on the program's thread. Windows only.
#pragma once

#include <windows.h>

#include <string>

namespace ui {

// Asks the viewer to display `topic` ("file>window type") with no owner window. Returns the
// viewer's window, or null when there is no viewer or it could not show the file.
HWND DisplayHelpTopic(const std::wstring& topic);

}  // namespace ui
