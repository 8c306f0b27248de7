// A stand-in for a library planted where a program might look for one by name: built as
// hhctrl.ocx, it leaves a file named as itself plus ".loaded" beside itself whenever a process
// loads it, and its help entry point opens nothing. A test puts copies beside the program and
// in its current directory and checks that none was loaded.
#include <windows.h>

#include <string>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        wchar_t path[MAX_PATH] = {};
        const DWORD length = GetModuleFileNameW(instance, path, MAX_PATH);
        if (length > 0 && length < MAX_PATH) {
            const std::wstring mark = std::wstring(path, length) + L".loaded";
            const HANDLE file =
                CreateFileW(mark.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
            if (file != INVALID_HANDLE_VALUE) {
                CloseHandle(file);
            }
        }
    }
    return TRUE;
}

extern "C" __declspec(dllexport) HWND WINAPI HtmlHelpW(HWND, LPCWSTR, UINT, DWORD_PTR) {
    return nullptr;
}
