// The program's identity and what its command line asks for, in plain C++ so both are tested
// without Windows: the product, maker and version words, the registry keys built from them, and
// the classification of the arguments.
#pragma once

#include <span>
#include <string>

#include "orvendal_version.h"

namespace app {

inline constexpr wchar_t ProductWord[] = L"Orvendal";
inline constexpr wchar_t MakerWord[] = L"Tamberlyn";
inline constexpr wchar_t EditionSuffix[] = L"";

inline constexpr int VersionMajor = ORVENDAL_VERSION_MAJOR;
inline constexpr int VersionMinor = ORVENDAL_VERSION_MINOR;
inline constexpr int VersionBuild = ORVENDAL_VERSION_BUILD;

// "2.02", or with the build "2.02.00337": the major as is, the minor in two digits, the build in
// five. The text without the build names the settings' version key, so it must not change.
std::wstring FormatVersion(bool with_build);

// Registry keys under the current user. The settings live in the "Settings" section below
// SettingsKeyPath; "/install" and "/uninstall" remove ProductKeyPath, then MakerKeyPath if
// nothing else is left in it.
std::wstring MakerKeyPath();     // Software\Tamberlyn
std::wstring ProductKeyPath();   // Software\Tamberlyn\Orvendal
std::wstring SettingsKeyPath();  // Software\Tamberlyn\Orvendal\2.02

struct StartRequest {
    bool remove_settings = false;  // end without a window after removing the settings
    std::wstring file_name;        // hashed as soon as the dialog opens; empty for none
    bool check = false;            // the checking window instead of the dialog
    std::wstring sum_file;         // what it checks; empty when none was named
};

// The switch that opens the checking window on the sum file after it.
inline constexpr wchar_t CheckSwitch[] = L"/check";

// The arguments after the program's name. Exactly one argument equal to "/install" or
// "/uninstall" (case-sensitive) removes the settings; exactly one argument not starting with
// '/' is a file name; "/check" first asks for the checking window, on the sum file after it
// when it is followed by exactly one argument (with none, or more, no sum file is named);
// anything else opens the dialog empty.
StartRequest ClassifyCommandLine(std::span<const std::wstring> arguments);

}  // namespace app
