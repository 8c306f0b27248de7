// The installer and its uninstaller, run for real (silently) in a Wine prefix of their own
// (run_in_own_prefix.sh): the files, shortcuts and Uninstall entry the installer writes, the
// installed program started as its Send To shortcut starts it, and what the uninstaller removes
// and what it leaves alone.
#include "dialog_fixture.h"

// After windows.h (dialog_fixture.h).
#include <knownfolders.h>
#include <shellapi.h>
#include <shobjidl.h>

#include <sstream>

#if !defined(ORVENDAL_INSTALLER) || !defined(ORVENDAL_HELP_FILE) || !defined(ORVENDAL_CLI_EXE) || \
    !defined(ORVENDAL_VERSION_TEXT) || !defined(ORVENDAL_PACKAGE_DIR)
#error "the installer, the built files, the version text and the packages must be named"
#endif

using namespace e2e;

namespace {

const wchar_t UninstallKeys[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const wchar_t UninstallKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Orvendal";
constexpr DWORD InstallerTimeoutMs = 120000;

const std::wstring VersionText = L"" ORVENDAL_VERSION_TEXT;

struct InstalledFile {
    const wchar_t* name;
    std::wstring built;  // the build's own file, which the installed one must equal
};

const std::vector<InstalledFile> ProgramFiles = {{L"Orvendal.exe", ProgramPath()},
                                                 {L"Orvendal.chm", WindowsPath(ORVENDAL_HELP_FILE)},
                                                 {L"orvendal-cli.exe", WindowsPath(ORVENDAL_CLI_EXE)}};

std::wstring KnownFolder(REFKNOWNFOLDERID id) {
    PWSTR path = nullptr;
    std::wstring folder;
    if (SUCCEEDED(SHGetKnownFolderPath(id, KF_FLAG_CREATE, nullptr, &path))) {
        folder = path;
    }
    CoTaskMemFree(path);
    return folder;
}

std::wstring DefaultFolder() {
    return KnownFolder(FOLDERID_LocalAppData) + L"\\Programs\\Orvendal";
}

std::wstring StartMenuShortcut() {
    return KnownFolder(FOLDERID_Programs) + L"\\Orvendal.lnk";
}

std::wstring SendToShortcut() {
    return KnownFolder(FOLDERID_SendTo) + L"\\Orvendal.lnk";
}

std::optional<std::string> FileBytes(const std::wstring& path) {
    const HANDLE file =
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    std::string bytes;
    char buffer[65536];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0) {
        bytes.append(buffer, read);
    }
    CloseHandle(file);
    return bytes;
}

void WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << "cannot write " << path;
    DWORD written = 0;
    WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

std::wstring Widened(const std::string& utf8) {
    std::wstring wide(utf8.size(), L'\0');
    wide.resize(size_t(
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), wide.data(), int(wide.size()))));
    return wide;
}

// The values of `key` wherever winget's installer manifest gives it (as package.sh writes it:
// one "key: value" a line, the value a quoted string).
std::vector<std::wstring> InstallerManifestValues(const std::string& key) {
    std::vector<std::wstring> values;
    std::istringstream lines(
        FileBytes(WindowsPath(ORVENDAL_PACKAGE_DIR "/winget/Tamberlyn.Orvendal.installer.yaml"))
            .value_or(""));
    for (std::string line; std::getline(lines, line);) {
        line.erase(0, line.find_first_not_of(" -"));
        if (line.starts_with(key + ": \"") && line.ends_with("\"")) {
            values.push_back(Widened(line.substr(key.size() + 3, line.size() - key.size() - 4)));
        }
    }
    return values;
}

// The names in a folder, "." and ".." left out.
std::set<std::wstring> FolderEntries(const std::wstring& folder) {
    std::set<std::wstring> names;
    WIN32_FIND_DATAW found = {};
    const HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") {
            names.insert(name);
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

std::optional<DWORD> DwordValue(const std::wstring& path, const wchar_t* name) {
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name, RRF_RT_REG_DWORD, nullptr, &value, &size) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    return value;
}

// How many programs the Uninstall list shows as "Orvendal".
int UninstallEntriesNamedOrvendal() {
    HKEY keys = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, UninstallKeys, 0, KEY_READ, &keys) != ERROR_SUCCESS) {
        return 0;
    }
    int count = 0;
    wchar_t name[256];
    for (DWORD index = 0;; ++index) {
        DWORD length = 256;
        if (RegEnumKeyExW(keys, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
            break;
        }
        count += StringValue(std::wstring(UninstallKeys) + L"\\" + name, L"DisplayName") == L"Orvendal";
    }
    RegCloseKey(keys);
    return count;
}

struct Shortcut {
    std::wstring target;
    std::wstring arguments;
    std::wstring working_directory;
};

// What a .lnk file starts, read through the shell's own interface.
std::optional<Shortcut> ReadShortcut(const std::wstring& path) {
    IShellLinkW* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link)))) {
        return std::nullopt;
    }
    std::optional<Shortcut> shortcut;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        if (SUCCEEDED(file->Load(path.c_str(), STGM_READ))) {
            wchar_t target[MAX_PATH] = {}, arguments[1024] = {}, directory[MAX_PATH] = {};
            link->GetPath(target, MAX_PATH, nullptr, 0);
            link->GetArguments(arguments, 1024);
            link->GetWorkingDirectory(directory, MAX_PATH);
            shortcut = Shortcut{target, arguments, directory};
        }
        file->Release();
    }
    link->Release();
    return shortcut;
}

// Runs a command line and waits until it and every process it started have ended (the
// uninstaller hands over to a copy of itself in the temporary directory and returns at once).
// The exit code of the command itself, or nothing when it could not start or did not end in time.
std::optional<DWORD> RunToCompletion(std::wstring command_line) {
    const HANDLE job = CreateJobObjectW(nullptr, nullptr);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (job == nullptr || !CreateProcessW(nullptr, command_line.data(), nullptr, nullptr, FALSE,
                                          CREATE_SUSPENDED, nullptr, nullptr, &startup, &info)) {
        ADD_FAILURE() << "cannot start " << command_line << ", error " << GetLastError();
        if (job != nullptr) {
            CloseHandle(job);
        }
        return std::nullopt;
    }
    if (!AssignProcessToJobObject(job, info.hProcess)) {
        ADD_FAILURE() << "cannot follow the processes of " << command_line << ", error " << GetLastError();
    }
    ResumeThread(info.hThread);
    CloseHandle(info.hThread);

    std::optional<DWORD> code;
    const bool ended = WaitUntil(
        [&] {
            JOBOBJECT_BASIC_ACCOUNTING_INFORMATION accounting = {};
            QueryInformationJobObject(job, JobObjectBasicAccountingInformation, &accounting,
                                      sizeof(accounting), nullptr);
            return WaitForSingleObject(info.hProcess, 0) == WAIT_OBJECT_0 && accounting.ActiveProcesses == 0;
        },
        InstallerTimeoutMs);
    if (ended) {
        DWORD exit_code = 0;
        GetExitCodeProcess(info.hProcess, &exit_code);
        code = exit_code;
    } else {
        ADD_FAILURE() << command_line << " did not end";
        TerminateJobObject(job, 1);
    }
    CloseHandle(info.hProcess);
    CloseHandle(job);
    return code;
}

class InstallerTest : public DialogTest {
  protected:
    void SetUp() override {
        DialogTest::SetUp();
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    }

    void TearDown() override {
        DialogTest::TearDown();
        CoUninitialize();
    }

    // Installs silently, into `folder` when one is given.
    void Install(const std::wstring& folder = L"") {
        std::wstring command = Quoted(WindowsPath(ORVENDAL_INSTALLER)) + L" /S";
        if (!folder.empty()) {
            command += L" /D=" + folder;  // last, and unquoted even with spaces
        }
        EXPECT_EQ(RunToCompletion(command), 0u) << "the installer failed";
    }

    // Uninstalls as the system does when asked for a silent removal.
    void UninstallQuietly() {
        const std::optional<std::wstring> command = StringValue(UninstallKey, L"QuietUninstallString");
        ASSERT_TRUE(command.has_value()) << "no QuietUninstallString";
        EXPECT_EQ(RunToCompletion(*command), 0u) << "the uninstaller failed";
    }

    void ExpectProgramFilesIn(const std::wstring& folder) {
        for (const InstalledFile& file : ProgramFiles) {
            const std::optional<std::string> installed = FileBytes(folder + L"\\" + file.name);
            ASSERT_TRUE(installed.has_value()) << file.name << " is not installed";
            EXPECT_TRUE(*installed == FileBytes(file.built))
                << file.name << " differs from the build's (run scripts/package.sh)";
        }
        EXPECT_EQ(FolderEntries(folder), (std::set<std::wstring>{L"Orvendal.exe", L"Orvendal.chm",
                                                                 L"orvendal-cli.exe", L"Uninstall.exe"}));
    }

    void ExpectShortcutsTo(const std::wstring& folder) {
        for (const std::wstring& path : {StartMenuShortcut(), SendToShortcut()}) {
            const std::optional<Shortcut> shortcut = ReadShortcut(path);
            ASSERT_TRUE(shortcut.has_value()) << "no shortcut " << path;
            EXPECT_EQ(shortcut->target, folder + L"\\Orvendal.exe") << path;
            EXPECT_EQ(shortcut->arguments, L"") << path;
        }
    }

    void ExpectUninstallEntryFor(const std::wstring& folder) {
        EXPECT_EQ(UninstallEntriesNamedOrvendal(), 1);
        EXPECT_EQ(StringValue(UninstallKey, L"DisplayName"), L"Orvendal");
        EXPECT_EQ(StringValue(UninstallKey, L"DisplayVersion"), VersionText);
        EXPECT_EQ(StringValue(UninstallKey, L"Publisher"), L"Tamberlyn");
        EXPECT_EQ(StringValue(UninstallKey, L"DisplayIcon"), folder + L"\\Orvendal.exe");
        EXPECT_EQ(StringValue(UninstallKey, L"InstallLocation"), folder);
        EXPECT_EQ(StringValue(UninstallKey, L"UninstallString"), Quoted(folder + L"\\Uninstall.exe"));
        EXPECT_EQ(StringValue(UninstallKey, L"QuietUninstallString"),
                  Quoted(folder + L"\\Uninstall.exe") + L" /S");
        EXPECT_EQ(DwordValue(UninstallKey, L"NoModify"), 1u);
        EXPECT_EQ(DwordValue(UninstallKey, L"NoRepair"), 1u);
        // In KiB: the program files' sizes, each rounded up.
        size_t kib = 0;
        for (const InstalledFile& file : ProgramFiles) {
            kib += (FileBytes(file.built).value_or("").size() + 1023) / 1024;
        }
        const DWORD estimated = DwordValue(UninstallKey, L"EstimatedSize").value_or(0);
        EXPECT_GE(estimated, kib - ProgramFiles.size());
        EXPECT_LE(estimated, kib + ProgramFiles.size());
    }

    // winget's manifest says what the installer writes: the Uninstall entry's key (its product
    // code), name, publisher and version.
    void ExpectTheManifestOfTheUninstallEntry() {
        const std::vector<std::wstring> product_codes = InstallerManifestValues("ProductCode");
        EXPECT_FALSE(product_codes.empty()) << "no winget manifest: run scripts/package.sh";
        for (const std::wstring& code : product_codes) {
            EXPECT_EQ(std::wstring(UninstallKeys) + L"\\" + code, UninstallKey);
        }
        for (const char* value : {"DisplayName", "Publisher", "DisplayVersion"}) {
            const std::vector<std::wstring> in_manifest = InstallerManifestValues(value);
            EXPECT_EQ(in_manifest.size(), 1u) << value;
            for (const std::wstring& text : in_manifest) {
                EXPECT_EQ(StringValue(UninstallKey, Widened(value).c_str()), text) << value;
            }
        }
    }

    void ExpectShortcutsAndEntryGone() {
        EXPECT_FALSE(FileExists(StartMenuShortcut()));
        EXPECT_FALSE(FileExists(SendToShortcut()));
        EXPECT_FALSE(KeyExists(UninstallKey));
    }
};

TEST_F(InstallerTest, InstallsPerUserAndInstallingAgainReplacesTheFiles) {
    SetStringValue(SettingsKey, L"CheckBoxes", L"10000000000001");  // what an earlier version left
    Install();
    const std::wstring folder = DefaultFolder();
    ExpectProgramFilesIn(folder);
    ExpectShortcutsTo(folder);
    ExpectUninstallEntryFor(folder);
    ExpectTheManifestOfTheUninstallEntry();
    EXPECT_FALSE(KeyExists(ProductKey)) << "the installer did not run Orvendal.exe /install";

    // A damaged and a missing file are put back, and the list still shows one entry.
    WriteFileBytes(folder + L"\\orvendal-cli.exe", "damaged");
    ASSERT_TRUE(DeleteFileW((folder + L"\\Orvendal.chm").c_str()));
    Install();
    ExpectProgramFilesIn(folder);
    ExpectShortcutsTo(folder);
    ExpectUninstallEntryFor(folder);

    UninstallQuietly();
}

TEST_F(InstallerTest, SendToOpensTheFileHashedAndUninstallingRemovesEverything) {
    Install();
    const std::wstring folder = DefaultFolder();

    // As Explorer starts a Send To shortcut: its target and arguments, then the chosen file.
    const std::optional<Shortcut> shortcut = ReadShortcut(SendToShortcut());
    ASSERT_TRUE(shortcut.has_value());
    const std::string bytes = "sent to Orvendal\r\n";
    const std::wstring file = WriteTestFile(L"Send To 测试.txt", bytes);
    const std::wstring arguments =
        shortcut->arguments.empty() ? Quoted(file) : shortcut->arguments + L" " + Quoted(file);
    Start(arguments, shortcut->target, shortcut->working_directory);
    EXPECT_EQ(Text(DataEdit), file);
    EXPECT_EQ(Shown(), ExpectedPlain(DefaultTicks, bytes));
    Close();
    ASSERT_TRUE(KeyExists(SettingsKey)) << "the program kept no settings on closing";

    UninstallQuietly();
    EXPECT_FALSE(KeyExists(ProductKey)) << "the program's settings are still there";
    EXPECT_FALSE(FileExists(folder)) << "the installation folder is still there";
    ExpectShortcutsAndEntryGone();
}

TEST_F(InstallerTest, UninstallingLeavesWhatItDidNotInstall) {
    // A second installation elsewhere takes over the entry and the shortcuts; removing the first
    // removes its own files only.
    Install();
    const std::wstring first = DefaultFolder();
    const std::wstring second = KnownFolder(FOLDERID_LocalAppData) + L"\\其他 程序\\Orvendal";
    Install(second);
    ExpectProgramFilesIn(second);
    ExpectUninstallEntryFor(second);
    EXPECT_EQ(RunToCompletion(Quoted(first + L"\\Uninstall.exe") + L" /S"), 0u);
    EXPECT_FALSE(FileExists(first));
    ExpectShortcutsTo(second);
    ExpectUninstallEntryFor(second);

    // A file of the user's own keeps the folder.
    const std::wstring notes = second + L"\\我的笔记.txt";
    WriteFileBytes(notes, "mine");
    UninstallQuietly();
    EXPECT_EQ(FolderEntries(second), (std::set<std::wstring>{L"我的笔记.txt"}));
    EXPECT_EQ(FileBytes(notes), "mine");
    ExpectShortcutsAndEntryGone();
}

}  // namespace
