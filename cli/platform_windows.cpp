#include "platform_windows.h"

#include <windows.h>

#include <cstdio>

#include "engine/engine.h"
#include "platform.h"

namespace cli {
namespace {

// A console gets Unicode through WriteConsoleW, whatever its code page; anything else the
// UTF-8 bytes through the C runtime.
void Write(DWORD which, FILE* stream, const std::string& utf8) {
    const HANDLE handle = GetStdHandle(which);
    DWORD mode = 0;
    if (handle != nullptr && handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode)) {
        std::fflush(stream);
        const std::wstring wide = engine::Widen(utf8, engine::CodePage::Utf8);
        DWORD written = 0;
        WriteConsoleW(handle, wide.data(), DWORD(wide.size()), &written, nullptr);
        return;
    }
    std::fwrite(utf8.data(), 1, utf8.size(), stream);
}

}  // namespace

std::string WideToUtf8(const wchar_t* text) {
    return engine::Narrow(text, engine::CodePage::Utf8);
}

std::string ToSystemCodePage(const std::string& utf8) {
    return engine::Narrow(engine::Widen(utf8, engine::CodePage::Utf8), engine::CodePage::System);
}

void WriteOutput(const std::string& utf8) {
    Write(STD_OUTPUT_HANDLE, stdout, utf8);
}

void WriteError(const std::string& utf8) {
    Write(STD_ERROR_HANDLE, stderr, utf8);
}

bool FlushOutput() {
    return std::fflush(stdout) == 0 && !std::ferror(stdout);
}

bool OutputHasFailed() {
    return std::ferror(stdout) != 0;
}

bool StandardErrorIsTerminal() {
    DWORD mode = 0;
    const HANDLE handle = GetStdHandle(STD_ERROR_HANDLE);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode);
}

bool IsFolder(const std::string& utf8_path) {
    const DWORD attributes = GetFileAttributesW(engine::Widen(utf8_path, engine::CodePage::Utf8).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::optional<std::vector<FolderEntry>> ListFolder(const std::string& utf8_path) {
    const std::wstring pattern = engine::Widen(engine::JoinPath(utf8_path, "*"), engine::CodePage::Utf8);
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    std::vector<FolderEntry> entries;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") {
            continue;
        }
        const DWORD attributes = found.dwFileAttributes;
        const bool folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        const bool reparse = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        // A folder reached through a link or junction is not entered.
        const EntryKind kind = !folder ? EntryKind::File : reparse ? EntryKind::Other : EntryKind::Folder;
        entries.push_back({engine::Narrow(name, engine::CodePage::Utf8), kind});
    } while (FindNextFileW(search, &found));
    const bool complete = GetLastError() == ERROR_NO_MORE_FILES;
    FindClose(search);
    if (!complete) {
        return std::nullopt;
    }
    return entries;
}

}  // namespace cli
