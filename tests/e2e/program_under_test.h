// Starting Orvendal.exe and reaching its windows from another process, the way a user's input
// arrives: window messages only. Every wait is bounded, so a hung program fails its test and
// never holds up the run.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace e2e {

constexpr DWORD StartTimeoutMs = 30000;  // Wine starts a program in a few seconds
constexpr DWORD WaitTimeoutMs = 10000;
constexpr DWORD PollIntervalMs = 20;

// Calls `done` every 20 ms until it returns true or `timeout_ms` has passed.
template <typename Predicate>
bool WaitUntil(Predicate done, DWORD timeout_ms = WaitTimeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeout_ms;
    for (;;) {
        if (done()) {
            return true;
        }
        if (GetTickCount64() >= deadline) {
            return false;
        }
        Sleep(PollIntervalMs);
    }
}

// A message sent to another process's window, bounded; false when it timed out or the
// receiver is hung. Only for messages that open no modal window: those are posted.
bool TrySend(HWND window, UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result = nullptr,
             DWORD timeout_ms = WaitTimeoutMs);
// The same, recording a test failure when the message was not answered.
LRESULT Send(HWND window, UINT message, WPARAM wparam = 0, LPARAM lparam = 0,
             DWORD timeout_ms = WaitTimeoutMs);

std::wstring TextOf(HWND window);
void SetTextOf(HWND window, const std::wstring& text);
std::wstring ClassOf(HWND window);

// A path the build gave in its own form ("/work/..." under Wine, "C:/..." on Windows) in
// Windows form; Wine shows the host's root directory as drive Z:.
std::wstring WindowsPath(const std::string& build_path);

// The built Orvendal.exe, in Windows form.
std::wstring ProgramPath();

class ProgramUnderTest {
  public:
    // Starts Orvendal.exe with `arguments` as its command line after the program's name.
    explicit ProgramUnderTest(const std::wstring& arguments);
    // Starts the program `program` (a copy of Orvendal.exe elsewhere) in the current directory
    // `current_directory` (empty: this program's), on the cores of `affinity` (0: those of this
    // program).
    ProgramUnderTest(const std::wstring& program, const std::wstring& arguments,
                     const std::wstring& current_directory, DWORD_PTR affinity = 0);
    // Ends the process if it still runs.
    ~ProgramUnderTest();
    ProgramUnderTest(const ProgramUnderTest&) = delete;
    ProgramUnderTest& operator=(const ProgramUnderTest&) = delete;

    bool started() const { return process_ != nullptr; }

    // The main dialog once it is visible, or null; with `marker`, the window without an owner
    // that holds that control instead (the checking window's list).
    HWND WaitForDialog(DWORD timeout_ms = StartTimeoutMs, int marker = 1030) const;
    // A visible top-level dialog of the program owned by `owner` (a message box, the open-file
    // dialog), or null.
    HWND FindOwnedDialog(HWND owner) const;
    HWND WaitForOwnedDialog(HWND owner, DWORD timeout_ms = WaitTimeoutMs) const;
    // The program's visible top-level windows.
    std::vector<HWND> VisibleWindows() const;
    // The exit code once the process has ended, or nothing.
    std::optional<DWORD> WaitForExit(DWORD timeout_ms = WaitTimeoutMs) const;
    HANDLE process() const { return process_; }

  private:
    HANDLE process_ = nullptr;
    DWORD process_id_ = 0;
};

}  // namespace e2e
