// The checking window (Orvendal.exe /check SUMFILE): every line of a sum file in a list with its
// verdict, the listed files checked in the background with progress, Stop, a summary and a
// report to copy. Windows only; what it shows is check_report.h's.
#pragma once

#include <windows.h>

#include <string>

#include "ui/settings_store.h"

namespace ui {

// The exit code when the window could not be shown: no sum file named, or one that cannot be
// read or holds no line to check (a message said which).
inline constexpr int CheckRefusedExitCode = 1;

// Reads the sum file at `sum_file_path` and, when it holds lines to check, shows the window and
// checks them until the window is closed (0); otherwise shows why in a message box and returns
// CheckRefusedExitCode. An empty path is "no sum file named". The window's place and size are
// read from and written to `settings`.
int RunCheckWindow(HINSTANCE instance, const std::wstring& sum_file_path, const SettingsStore& settings);

}  // namespace ui
