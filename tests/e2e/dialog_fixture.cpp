#include "dialog_fixture.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>

namespace e2e {
namespace {

std::wstring WindowsPathOfEnvironment(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::wstring() : WindowsPath(value);
}

}  // namespace

std::wstring TestDirectory() {
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    const std::wstring directory = std::wstring(temp) + L"orvendal-e2e";
    CreateDirectoryW(directory.c_str(), nullptr);
    return directory + L"\\";
}

std::wstring EmptyDirectory(const std::wstring& name) {
    const std::wstring directory = TestDirectory() + name + L"\\";
    CreateDirectoryW(directory.c_str(), nullptr);
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW((directory + L"*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
                DeleteFileW((directory + found.cFileName).c_str());
            }
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    return directory;
}

std::wstring WriteTestFile(const std::wstring& name, const std::string& bytes) {
    const std::wstring path = TestDirectory() + name;
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    EXPECT_NE(file, INVALID_HANDLE_VALUE) << "cannot create the test file";
    DWORD written = 0;
    WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr);
    CloseHandle(file);
    EXPECT_EQ(written, bytes.size());
    return path;
}

const std::string& LongContent() {
    static const std::string content = [] {
        std::string bytes(size_t(64) << 20, '\0');
        uint64_t state = 0x9E3779B97F4A7C15ull;
        for (char& byte : bytes) {
            state = state * 6364136223846793005ull + 1442695040888963407ull;
            byte = char(state >> 56);
        }
        return bytes;
    }();
    return content;
}

const std::wstring& LongInput() {
    static const std::wstring path = WriteTestFile(L"long input.bin", LongContent());
    return path;
}

std::wstring Quoted(const std::wstring& path) {
    return L"\"" + path + L"\"";
}

void SetClipboardText(const std::optional<std::wstring>& text) {
    ASSERT_TRUE(WaitUntil([] { return OpenClipboard(nullptr) != FALSE; })) << "the clipboard stays busy";
    EmptyClipboard();
    if (text) {
        const size_t size = (text->size() + 1) * sizeof(wchar_t);
        const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
        std::memcpy(GlobalLock(memory), text->c_str(), size);
        GlobalUnlock(memory);
        SetClipboardData(CF_UNICODETEXT, memory);
    }
    CloseClipboard();
}

bool KeyExists(const std::wstring& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

void SetStringValue(const std::wstring& path, const wchar_t* name, const std::wstring& value) {
    HKEY key = nullptr;
    ASSERT_EQ(
        RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
        ERROR_SUCCESS);
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   DWORD((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

bool FileExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::optional<std::wstring> StringValue(const std::wstring& path, const wchar_t* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    std::vector<wchar_t> buffer(4096, L'\0');
    DWORD type = 0;
    DWORD size = DWORD((buffer.size() - 1) * sizeof(wchar_t));
    const LSTATUS status =
        RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || type != REG_SZ) {
        return std::nullopt;
    }
    return std::wstring(buffer.data(), wcsnlen(buffer.data(), size / sizeof(wchar_t)));
}

void PrintTo(const CheckRow& row, std::ostream* out) {
    *out << "{" << testing::PrintToString(row.file) << ", " << testing::PrintToString(row.algorithm) << ", "
         << testing::PrintToString(row.verdict) << "}";
}

std::optional<std::wstring> ClipboardText() {
    if (!WaitUntil([] { return OpenClipboard(nullptr) != FALSE; })) {
        ADD_FAILURE() << "the clipboard stays busy";
        return std::nullopt;
    }
    std::optional<std::wstring> text;
    if (const HANDLE data = GetClipboardData(CF_UNICODETEXT); data != nullptr) {
        if (const auto* locked = static_cast<const wchar_t*>(GlobalLock(data)); locked != nullptr) {
            text = std::wstring(locked, wcsnlen(locked, GlobalSize(data) / sizeof(wchar_t)));
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

std::vector<CheckRow> DialogTest::CheckRows() {
    // An LVITEMW and room for the text, in the program's memory: the list writes to it there.
    constexpr size_t TextRoom = 1024;
    const HWND list = Item(CheckList);
    const size_t size = sizeof(LVITEMW) + TextRoom * sizeof(wchar_t);
    auto* remote = static_cast<uint8_t*>(
        VirtualAllocEx(program_->process(), nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    if (remote == nullptr) {
        ADD_FAILURE() << "no memory in the program";
        return {};
    }
    std::vector<CheckRow> rows;
    const int count = int(Send(list, LVM_GETITEMCOUNT));
    for (int index = 0; index < count; ++index) {
        std::wstring cells[3];
        for (int column = 0; column < 3; ++column) {
            LVITEMW item = {};
            item.mask = LVIF_TEXT;
            item.iSubItem = column;
            item.pszText = reinterpret_cast<wchar_t*>(remote + sizeof(LVITEMW));
            item.cchTextMax = int(TextRoom);
            WriteProcessMemory(program_->process(), remote, &item, sizeof(item), nullptr);
            const auto length =
                size_t(Send(list, LVM_GETITEMTEXTW, WPARAM(index), reinterpret_cast<LPARAM>(remote)));
            std::vector<wchar_t> text(TextRoom, L'\0');
            ReadProcessMemory(program_->process(), remote + sizeof(LVITEMW), text.data(),
                              TextRoom * sizeof(wchar_t), nullptr);
            cells[column].assign(text.data(), std::min(length, wcsnlen(text.data(), TextRoom)));
        }
        rows.push_back({cells[0], cells[1], cells[2]});
    }
    VirtualFreeEx(program_->process(), remote, 0, MEM_RELEASE);
    return rows;
}

Warning DialogTest::RunExpectingRefusal(const std::wstring& arguments, DWORD exit_code) {
    program_ = std::make_unique<ProgramUnderTest>(ProgramPath(), arguments, L"");
    if (!program_->started()) {
        ADD_FAILURE() << "the program did not start";
        return {};
    }
    HWND box = nullptr;
    WaitUntil(
        [&] {
            for (const HWND window : program_->VisibleWindows()) {
                if (ClassOf(window) == L"#32770" && GetDlgItem(window, MessageBoxText) != nullptr) {
                    box = window;
                }
            }
            return box != nullptr;
        },
        StartTimeoutMs);
    EXPECT_EQ(program_->VisibleWindows().size(), box != nullptr ? 1u : 0u)
        << "another window beside the message";
    const Warning warning = ReadAndCloseWarning(box);
    EXPECT_EQ(program_->WaitForExit().value_or(99), exit_code);
    program_.reset();
    return warning;
}

void RunSwitch(const wchar_t* argument) {
    ProgramUnderTest program(argument);
    ASSERT_TRUE(program.started());
    bool window_seen = false;
    const bool ended = WaitUntil(
        [&] {
            window_seen = window_seen || !program.VisibleWindows().empty();
            return WaitForSingleObject(program.process(), 0) == WAIT_OBJECT_0;
        },
        StartTimeoutMs);
    ASSERT_TRUE(ended) << "the program did not end";
    EXPECT_EQ(program.WaitForExit(0).value_or(99), 0u);
    EXPECT_FALSE(window_seen);
}

namespace {

// A message box (or any dialog) the dialog has open.
bool HasOwnedDialog(HWND dialog) {
    struct Search {
        HWND owner;
        bool found;
    } search{dialog, false};
    EnumWindows(
        [](HWND window, LPARAM context) -> BOOL {
            auto& search = *reinterpret_cast<Search*>(context);
            wchar_t name[16] = {};
            GetClassNameW(window, name, 16);
            if (IsWindowVisible(window) && GetWindow(window, GW_OWNER) == search.owner &&
                std::wstring(name) == L"#32770") {
                search.found = true;
            }
            return !search.found;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace

bool WaitForCalculationEnd(HWND dialog, DWORD timeout_ms, DWORD poll_ms) {
    const HWND button = GetDlgItem(dialog, IDOK);
    const ULONGLONG deadline = GetTickCount64() + timeout_ms;
    for (;;) {
        wchar_t caption[32] = {};
        LRESULT copied = 0;
        LRESULT running = 1;
        // The button's caption alone comes back before the outcome has been applied; the state
        // the dialog gives stays "running" until then, or until the message it shows is up.
        if (TrySend(button, WM_GETTEXT, 32, reinterpret_cast<LPARAM>(caption), &copied) &&
            std::wstring(caption, size_t(copied > 0 ? copied : 0)) == CalculateCaption &&
            TrySend(dialog, CalculationStateQuery, 0, 0, &running) &&
            (running == 0 || HasOwnedDialog(dialog))) {
            return true;
        }
        if (GetTickCount64() >= deadline) {
            return false;
        }
        Sleep(poll_ms);
    }
}

// The wrapper script watches a directory for requests and takes a picture for each.
void TakeScreenshot(const std::wstring& name) {
    const std::wstring requests = WindowsPathOfEnvironment("ORVENDAL_SCREENSHOT_REQUESTS");
    if (requests.empty()) {
        std::printf("(no screenshot helper: %ls not taken)\n", name.c_str());
        return;
    }
    const std::wstring request = requests + L"\\" + name + L".request";
    const HANDLE file = CreateFileW(request.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << "cannot ask for a screenshot";
    CloseHandle(file);
    const std::wstring done = requests + L"\\" + name + L".done";
    const std::wstring failed = requests + L"\\" + name + L".failed";
    ASSERT_TRUE(WaitUntil([&] { return FileExists(done) || FileExists(failed); }, 30000))
        << "no screenshot taken";
    EXPECT_TRUE(FileExists(done)) << "the screenshot failed";
}

}  // namespace e2e
