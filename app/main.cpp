// The entry point of Orvendal.exe: the command line as wide strings, then the application.
#include <string>
#include <vector>

#include "app/calculator_app.h"
// shellapi.h needs the Windows headers before it.
#include <shellapi.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
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
}
