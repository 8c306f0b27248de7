#include "app/startup.h"

#include <cstdio>

namespace app {

std::wstring FormatVersion(bool with_build) {
    char text[48];
    if (with_build) {
        std::snprintf(text, sizeof(text), "%d.%02d.%05d", VersionMajor, VersionMinor, VersionBuild);
    } else {
        std::snprintf(text, sizeof(text), "%d.%02d", VersionMajor, VersionMinor);
    }
    const std::string narrow(text);
    return std::wstring(narrow.begin(), narrow.end());  // digits and dots only
}

std::wstring MakerKeyPath() {
    return std::wstring(L"Software\\") + MakerWord;
}

std::wstring ProductKeyPath() {
    return MakerKeyPath() + L'\\' + ProductWord;
}

std::wstring SettingsKeyPath() {
    return ProductKeyPath() + L'\\' + FormatVersion(false);
}

StartRequest ClassifyCommandLine(std::span<const std::wstring> arguments) {
    StartRequest request;
    if (!arguments.empty() && arguments.front() == CheckSwitch) {
        request.check = true;
        if (arguments.size() == 2) {
            request.sum_file = arguments[1];
        }
        return request;
    }
    if (arguments.size() != 1) {
        return request;
    }
    const std::wstring& argument = arguments.front();
    if (argument == L"/install" || argument == L"/uninstall") {
        request.remove_settings = true;
    } else if (!argument.empty() && argument.front() != L'/') {
        request.file_name = argument;
    }
    return request;
}

}  // namespace app
