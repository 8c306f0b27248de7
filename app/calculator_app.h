// The application object: start-up, the settings clean-up switches, and the main dialog's run.
// Windows only.
#pragma once

#include <windows.h>

#include <span>
#include <string>

namespace app {

class CalculatorApp {
  public:
    // The start-up steps; returns the process's exit code.
    int Run(HINSTANCE instance, std::span<const std::wstring> arguments);

    // Deletes the product's registry key with everything below it and then, only if that
    // worked, the maker's key when nothing (no subkey, no value) is left in it. Failures are
    // ignored: there may be nothing to remove.
    static void RemoveSettingsKey();
};

}  // namespace app
