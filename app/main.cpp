// The entry point of Orvendal.exe: the command line as wide strings, then the application.
#include <string>
#include <vector>

#include "app/calculator_app.h"
#include "ui/dialog_window.h"
#include "ui/system_library.h"
// shellapi.h needs the Windows headers before it.
#include <shellapi.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    // Before anything else is loaded, so that no library comes from the current directory or,
    // where the system can restrict it, the program's.
    ui::RestrictLibrarySearchPath();

    // An exception that reaches this point ends the program with a message, like one in a window
    // procedure, rather than silently.
    return ui::RunGuarded([instance] {
        std::vector<std::wstring> arguments;
        int count = 0;
        if (LPWSTR* words = CommandLineToArgvW(GetCommandLineW(), &count); words != nullptr) {
            for (int index = 1; index < count; ++index) {
                arguments.emplace_back(words[index]);
            }
            LocalFree(words);
        }
        app::CalculatorApp application;
        return application.Run(instance, arguments);
    });
}
