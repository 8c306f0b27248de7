#include "app/calculator_app.h"

#include <commctrl.h>
#include <objbase.h>

#include "app/startup.h"
#include "ui/check_window.h"
#include "ui/main_dialog.h"
#include "ui/main_dialog_window.h"

namespace app {

int CalculatorApp::Run(HINSTANCE instance, std::span<const std::wstring> arguments) {
    const StartRequest request = ClassifyCommandLine(arguments);
    if (request.remove_settings) {
        RemoveSettingsKey();
        return 0;
    }

    INITCOMMONCONTROLSEX controls = {};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES;
    InitCommonControlsEx(&controls);

    // The shell's "open" of the web link and the help viewer may use COM on this thread. It
    // stays initialised until the process ends: a help window may still be open and using it.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);

    const ui::SettingsStore settings(SettingsKeyPath());
    if (request.check) {
        return ui::RunCheckWindow(instance, request.sum_file, settings);
    }
    ui::MainDialog dialog;
    const ui::ProgramIdentity program{ProductWord, MakerWord, EditionSuffix, FormatVersion(true)};
    dialog.values.data_value = request.file_name;
    ui::RunMainDialog(instance, dialog, program, settings);
    return 0;
}

void CalculatorApp::RemoveSettingsKey() {
    const std::wstring product = ProductKeyPath();
    if (RegDeleteTreeW(HKEY_CURRENT_USER, product.c_str()) != ERROR_SUCCESS) {
        return;
    }
    // Emptiness is checked here rather than left to the shell's empty-key helper, which some
    // implementations apply to a key that still holds values.
    const std::wstring maker = MakerKeyPath();
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, maker.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return;
    }
    DWORD subkeys = 0;
    DWORD values = 0;
    const LSTATUS status = RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr,
                                            &values, nullptr, nullptr, nullptr, nullptr);
    RegCloseKey(key);
    if (status == ERROR_SUCCESS && subkeys == 0 && values == 0) {
        RegDeleteKeyW(HKEY_CURRENT_USER, maker.c_str());
    }
}

}  // namespace app
