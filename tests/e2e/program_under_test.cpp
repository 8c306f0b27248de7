#include "program_under_test.h"

#include <gtest/gtest.h>

#include <vector>

#ifndef ORVENDAL_EXE
#error "ORVENDAL_EXE must name the program under test"
#endif

namespace e2e {
namespace {

struct WindowSearch {
    DWORD process_id;
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectVisibleWindow(HWND window, LPARAM lparam) {
    auto* search = reinterpret_cast<WindowSearch*>(lparam);
    DWORD owner_process = 0;
    GetWindowThreadProcessId(window, &owner_process);
    if (owner_process == search->process_id && IsWindowVisible(window)) {
        search->windows.push_back(window);
    }
    return TRUE;
}

}  // namespace

bool TrySend(HWND window, UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result, DWORD timeout_ms) {
    DWORD_PTR answer = 0;
    if (SendMessageTimeoutW(window, message, wparam, lparam, SMTO_ABORTIFHUNG, timeout_ms, &answer) == 0) {
        return false;
    }
    if (result != nullptr) {
        *result = LRESULT(answer);
    }
    return true;
}

LRESULT Send(HWND window, UINT message, WPARAM wparam, LPARAM lparam, DWORD timeout_ms) {
    LRESULT result = 0;
    EXPECT_TRUE(TrySend(window, message, wparam, lparam, &result, timeout_ms))
        << "message 0x" << std::hex << message << " was not answered in time";
    return result;
}

std::wstring TextOf(HWND window) {
    const LRESULT length = Send(window, WM_GETTEXTLENGTH);
    std::vector<wchar_t> buffer(size_t(length > 0 ? length : 0) + 1, L'\0');
    const LRESULT copied =
        Send(window, WM_GETTEXT, WPARAM(buffer.size()), reinterpret_cast<LPARAM>(buffer.data()));
    return std::wstring(buffer.data(), size_t(copied > 0 ? copied : 0));
}

void SetTextOf(HWND window, const std::wstring& text) {
    Send(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    const int length = GetClassNameW(window, name, 64);
    return std::wstring(name, size_t(length > 0 ? length : 0));
}

std::wstring WindowsPath(const std::string& build_path) {
    std::wstring path(build_path.begin(), build_path.end());  // the build tree's path is ASCII
    for (wchar_t& c : path) {
        if (c == L'/') {
            c = L'\\';
        }
    }
    return !path.empty() && path.front() == L'\\' ? L"Z:" + path : path;
}

std::wstring ProgramPath() {
    return WindowsPath(ORVENDAL_EXE);
}

ProgramUnderTest::ProgramUnderTest(const std::wstring& arguments)
    : ProgramUnderTest(ProgramPath(), arguments, L"") {}

ProgramUnderTest::ProgramUnderTest(const std::wstring& program, const std::wstring& arguments,
                                   const std::wstring& current_directory, DWORD_PTR affinity) {
    std::wstring command_line = L"\"" + program + L"\"";
    if (!arguments.empty()) {
        command_line += L" " + arguments;
    }
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    // Held until its affinity is set, so that it never sees another.
    const DWORD flags = affinity != 0 ? CREATE_SUSPENDED : 0;
    if (!CreateProcessW(program.c_str(), command_line.data(), nullptr, nullptr, FALSE, flags, nullptr,
                        current_directory.empty() ? nullptr : current_directory.c_str(), &startup, &info)) {
        ADD_FAILURE() << "could not start the program, error " << GetLastError();
        return;
    }
    if (affinity != 0) {
        EXPECT_TRUE(SetProcessAffinityMask(info.hProcess, affinity)) << "error " << GetLastError();
        ResumeThread(info.hThread);
    }
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    process_id_ = info.dwProcessId;
}

ProgramUnderTest::~ProgramUnderTest() {
    if (process_ == nullptr) {
        return;
    }
    if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_, 1);
        WaitForSingleObject(process_, WaitTimeoutMs);
    }
    CloseHandle(process_);
}

HWND ProgramUnderTest::WaitForDialog(DWORD timeout_ms, int marker) const {
    HWND dialog = nullptr;
    WaitUntil(
        [&] {
            for (const HWND window : VisibleWindows()) {
                // The message boxes share the title; only the main dialog has no owner.
                if (ClassOf(window) == L"#32770" && GetWindow(window, GW_OWNER) == nullptr &&
                    GetDlgItem(window, marker) != nullptr) {
                    dialog = window;
                    return true;
                }
            }
            return WaitForSingleObject(process_, 0) != WAIT_TIMEOUT;  // ended: no point waiting
        },
        timeout_ms);
    return dialog;
}

HWND ProgramUnderTest::FindOwnedDialog(HWND owner) const {
    for (const HWND window : VisibleWindows()) {
        if (ClassOf(window) == L"#32770" && GetWindow(window, GW_OWNER) == owner) {
            return window;
        }
    }
    return nullptr;
}

HWND ProgramUnderTest::WaitForOwnedDialog(HWND owner, DWORD timeout_ms) const {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindOwnedDialog(owner)) != nullptr; }, timeout_ms);
    return found;
}

std::vector<HWND> ProgramUnderTest::VisibleWindows() const {
    WindowSearch search{process_id_, {}};
    EnumWindows(CollectVisibleWindow, reinterpret_cast<LPARAM>(&search));
    return search.windows;
}

std::optional<DWORD> ProgramUnderTest::WaitForExit(DWORD timeout_ms) const {
    if (process_ == nullptr || WaitForSingleObject(process_, timeout_ms) != WAIT_OBJECT_0) {
        return std::nullopt;
    }
    DWORD code = 0;
    GetExitCodeProcess(process_, &code);
    return code;
}

}  // namespace e2e
