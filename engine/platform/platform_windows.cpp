#include <windows.h>
#include <winioctl.h>

#include <vector>

#include "platform.h"

namespace engine {
namespace {

UINT SystemCodePageOf(CodePage code_page) {
    return code_page == CodePage::Utf8 ? CP_UTF8 : CP_ACP;
}

// The conversion with `flags`; nothing when the system refuses the bytes.
std::optional<std::wstring> ConvertToWide(std::string_view bytes, UINT code_page, DWORD flags) {
    if (bytes.empty()) {
        return std::wstring();
    }
    const int length = MultiByteToWideChar(code_page, flags, bytes.data(), int(bytes.size()), nullptr, 0);
    if (length <= 0) {
        return std::nullopt;
    }
    std::wstring text(size_t(length), L'\0');
    if (MultiByteToWideChar(code_page, flags, bytes.data(), int(bytes.size()), text.data(), length) !=
        length) {
        return std::nullopt;
    }
    return text;
}

}  // namespace

unsigned UsableCoreCount() {
    DWORD_PTR process = 0;
    DWORD_PTR system = 0;
    if (!GetProcessAffinityMask(GetCurrentProcess(), &process, &system) || process == 0) {
        return 1;
    }
    unsigned count = 0;
    for (; process != 0; process &= process - 1) {
        ++count;
    }
    return count;
}

bool StorageHasSeekPenalty(const std::string& utf8_path) {
    const std::optional<std::wstring> wide = WidenStrictUtf8(utf8_path);
    if (!wide) {
        return false;
    }
    // The volume the path is on, opened as a device (no access asked: a query needs none).
    std::vector<wchar_t> full(32768);
    std::vector<wchar_t> mount_point(32768);
    wchar_t volume[64];  // \\?\Volume{GUID}\ is 49 characters
    if (GetFullPathNameW(wide->c_str(), DWORD(full.size()), full.data(), nullptr) == 0 ||
        !GetVolumePathNameW(full.data(), mount_point.data(), DWORD(mount_point.size())) ||
        !GetVolumeNameForVolumeMountPointW(mount_point.data(), volume, DWORD(std::size(volume)))) {
        return false;
    }
    std::wstring device = volume;
    if (!device.empty() && device.back() == L'\\') {
        device.pop_back();  // the volume itself, not its root folder
    }
    const HANDLE handle = CreateFileW(device.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    STORAGE_PROPERTY_QUERY query{};
    query.PropertyId = StorageDeviceSeekPenaltyProperty;
    query.QueryType = PropertyStandardQuery;
    DEVICE_SEEK_PENALTY_DESCRIPTOR penalty{};
    DWORD returned = 0;
    const BOOL answered = DeviceIoControl(handle, IOCTL_STORAGE_QUERY_PROPERTY, &query, sizeof query,
                                          &penalty, sizeof penalty, &returned, nullptr);
    CloseHandle(handle);
    return answered && returned >= sizeof penalty && penalty.IncursSeekPenalty;
}

bool FileStartIsCached(const std::string&) {
    return false;
}

size_t SystemCodePageLength(const std::string& utf8_path) {
    const std::optional<std::wstring> wide = WidenStrictUtf8(utf8_path);
    if (!wide) {
        return utf8_path.size();
    }
    const std::string bytes = Narrow(*wide, CodePage::System);
    return bytes.empty() && !wide->empty() ? utf8_path.size() : bytes.size();
}

std::string Narrow(std::wstring_view text, CodePage code_page) {
    if (text.empty()) {
        return {};
    }
    const UINT system_code_page = SystemCodePageOf(code_page);
    const int length =
        WideCharToMultiByte(system_code_page, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
    if (length <= 0) {
        return {};
    }
    std::string bytes(size_t(length), '\0');
    WideCharToMultiByte(system_code_page, 0, text.data(), int(text.size()), bytes.data(), length, nullptr,
                        nullptr);
    return bytes;
}

std::wstring Widen(std::string_view bytes, CodePage code_page) {
    return ConvertToWide(bytes, SystemCodePageOf(code_page), 0).value_or(std::wstring());
}

std::optional<std::wstring> WidenStrictUtf8(std::string_view utf8) {
    return ConvertToWide(utf8, CP_UTF8, MB_ERR_INVALID_CHARS);
}

std::optional<std::vector<std::string>> FolderEntryNames(const std::string& utf8_folder, size_t limit) {
    std::optional<std::wstring> pattern = WidenStrictUtf8(utf8_folder);
    if (!pattern) {
        return std::nullopt;
    }
    if (!pattern->empty() && pattern->back() != L'\\' && pattern->back() != L'/' && pattern->back() != L':') {
        *pattern += L'\\';
    }
    *pattern += L'*';
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileExW(pattern->c_str(), FindExInfoBasic, &found, FindExSearchNameMatch,
                                           nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (search == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    std::vector<std::string> names;
    do {
        const std::wstring_view name = found.cFileName;
        if (name != L"." && name != L"..") {
            names.push_back(Narrow(name, CodePage::Utf8));
        }
    } while (names.size() < limit && FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

}  // namespace engine
