// The file reader on Windows: the file is opened by its Unicode name, so a name outside the
// system code page is found too; others may read it meanwhile but not write it; the
// sequential-scan hint lets the cache read ahead. Error 2 (file not found) or 3 (path not found)
// gives 1, any other error 2.
#include <windows.h>

#include <optional>

#include "file_reader.h"
#include "platform/platform.h"

namespace engine {
namespace {

HANDLE AsHandle(intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

uint64_t SizeOf(HANDLE handle) {
    LARGE_INTEGER size;
    if (GetFileType(handle) == FILE_TYPE_DISK && GetFileSizeEx(handle, &size) && size.QuadPart > 0) {
        return uint64_t(size.QuadPart);
    }
    return 0;
}

}  // namespace

ResultCode FileReader::Open(const std::string& path) {
    Close();
    // The usual name is converted on the stack, so opening one of many files allocates nothing;
    // only a longer one goes through the heap.
    wchar_t short_name[MAX_PATH + 1];
    std::optional<std::wstring> long_name;
    const wchar_t* name = short_name;
    const int length = path.empty() ? 0
                                    : MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path.data(),
                                                          int(path.size()), short_name, MAX_PATH);
    if (length > 0 || path.empty()) {
        short_name[length] = L'\0';
    } else {
        long_name = WidenStrictUtf8(path);
        if (!long_name) {
            return ResultUnreadable;  // not UTF-8: no name to open
        }
        name = long_name->c_str();
    }
    const HANDLE handle = CreateFileW(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? ResultNotFound
                                                                              : ResultUnreadable;
    }
    handle_ = reinterpret_cast<intptr_t>(handle);
    owned_ = true;
    size_ = SizeOf(handle);
    return ResultSuccess;
}

ResultCode FileReader::OpenStandardInput() {
    Close();
    const HANDLE handle = GetStdHandle(STD_INPUT_HANDLE);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) {
        return ResultUnreadable;
    }
    handle_ = reinterpret_cast<intptr_t>(handle);
    owned_ = false;
    size_ = SizeOf(handle);
    return ResultSuccess;
}

bool FileReader::ReadSome(uint8_t* buffer, uint32_t capacity, uint32_t& got) {
    DWORD count = 0;
    if (!ReadFile(AsHandle(handle_), buffer, capacity, &count, nullptr)) {
        if (GetLastError() != ERROR_BROKEN_PIPE) {
            return false;
        }
        count = 0;  // the writing end of a pipe was closed: the end of the input
    }
    got = count;
    return true;
}

void FileReader::Close() {
    if (owned_ && AsHandle(handle_) != INVALID_HANDLE_VALUE) {
        CloseHandle(AsHandle(handle_));
    }
    handle_ = reinterpret_cast<intptr_t>(INVALID_HANDLE_VALUE);
    owned_ = false;
    size_ = 0;
}

}  // namespace engine
