#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include "platform_windows.h"

#include <windows.h>

#include <cstdio>

#include "platform.h"

namespace cli {
namespace {

std::wstring Utf8ToWide(const std::string& text) {
    if (text.empty()) {
        return {};
    }
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0);
    std::wstring wide(size_t(length > 0 ? length : 0), L'\0');
    if (length > 0) {
        MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), wide.data(), length);
    }
    return wide;
}

// A console gets Unicode through WriteConsoleW, whatever its code page; anything else the
// UTF-8 bytes through the C runtime.
void Write(DWORD which, FILE* stream, const std::string& utf8) {
    const HANDLE handle = GetStdHandle(which);
    DWORD mode = 0;
    if (handle != nullptr && handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode)) {
        std::fflush(stream);
        const std::wstring wide = Utf8ToWide(utf8);
        DWORD written = 0;
        WriteConsoleW(handle, wide.data(), DWORD(wide.size()), &written, nullptr);
        return;
    }
    std::fwrite(utf8.data(), 1, utf8.size(), stream);
}

}  // namespace

std::string WideToUtf8(const wchar_t* text) {
    const int length = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 1) {
        return {};
    }
    std::string utf8(size_t(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8.data(), length, nullptr, nullptr);
    utf8.resize(size_t(length - 1));
    return utf8;
}

std::string ToSystemCodePage(const std::string& utf8) {
    const std::wstring wide = Utf8ToWide(utf8);
    if (wide.empty()) {
        return {};
    }
    const int length =
        WideCharToMultiByte(CP_ACP, 0, wide.data(), int(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(size_t(length > 0 ? length : 0), '\0');
    if (length > 0) {
        WideCharToMultiByte(CP_ACP, 0, wide.data(), int(wide.size()), bytes.data(), length, nullptr, nullptr);
    }
    return bytes;
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

bool StandardErrorIsTerminal() {
    DWORD mode = 0;
    const HANDLE handle = GetStdHandle(STD_ERROR_HANDLE);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode);
}

}  // namespace cli
