#include "ui/system_library.h"

#include <string>
#include <vector>

namespace ui {
namespace {

// Flags of SetDefaultDllDirectories and LoadLibraryExW, spelled out for headers that lack them.
constexpr DWORD SearchSystem32 = 0x00000800;         // LOAD_LIBRARY_SEARCH_SYSTEM32
constexpr DWORD WithAlteredSearchPath = 0x00000008;  // LOAD_WITH_ALTERED_SEARCH_PATH

using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);

// The system directory with its trailing '\', or empty when it cannot be had.
std::wstring SystemDirectory() {
    const UINT length = GetSystemDirectoryW(nullptr, 0);
    if (length == 0) {
        return {};
    }
    std::vector<wchar_t> buffer(length + 1, L'\0');
    const UINT copied = GetSystemDirectoryW(buffer.data(), UINT(buffer.size()));
    if (copied == 0 || copied >= buffer.size()) {
        return {};
    }
    std::wstring directory(buffer.data(), copied);
    if (directory.back() != L'\\') {
        directory += L'\\';
    }
    return directory;
}

// Whether this system understands the LOAD_LIBRARY_SEARCH_* flags (Windows 8, or Windows 7
// and Vista with the update that added them): exactly when SetDefaultDllDirectories exists.
SetDefaultDllDirectoriesFunction FindSetDefaultDllDirectories() {
    const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    if (kernel == nullptr) {
        return nullptr;
    }
    // Through the generic function type, which every function pointer may be cast to and from.
    return reinterpret_cast<SetDefaultDllDirectoriesFunction>(
        reinterpret_cast<void (*)()>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
}

}  // namespace

void RestrictLibrarySearchPath() {
    if (const SetDefaultDllDirectoriesFunction restrict = FindSetDefaultDllDirectories()) {
        restrict(SearchSystem32);
    }
    // An empty string removes the current directory from the older search order as well.
    SetDllDirectoryW(L"");
}

HMODULE LoadSystemLibrary(const wchar_t* name) {
    if (FindSetDefaultDllDirectories() != nullptr) {
        return LoadLibraryExW(name, nullptr, SearchSystem32);
    }
    // Without the search flags: the full name, which is looked up nowhere else, and the
    // libraries it needs are searched for beside it rather than beside the program.
    const std::wstring directory = SystemDirectory();
    if (directory.empty()) {
        return nullptr;
    }
    const std::wstring path = directory + name;
    return LoadLibraryExW(path.c_str(), nullptr, WithAlteredSearchPath);
}

}  // namespace ui
