// Loading libraries safely. A library looked up by bare name is searched for in the program's
// and the current directory first, where anyone who can write a file can plant a look-alike;
// the process therefore narrows the default search at start, and every library it loads at
// run time comes from the system directory by its full name. Windows only.
#pragma once

#include <windows.h>

namespace ui {

// Restricts the default library search of the process to the system directory (where the
// platform can do so) and drops the current directory from the search in any case. Called
// first thing at start, before anything else is loaded.
void RestrictLibrarySearchPath();

// Loads `name` (a file name such as L"hhctrl.ocx") from the system directory only; null when it
// is not there or cannot be loaded.
HMODULE LoadSystemLibrary(const wchar_t* name);

}  // namespace ui
