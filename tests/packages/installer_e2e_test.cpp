// The installer and its uninstaller, run for real (silently) in a Wine prefix of their own
// (run_in_own_prefix.sh): the files, shortcuts, right-click entries and Uninstall entry the
// installer writes, the installed program started as its Send To shortcut and its right-click
// entry start it, and what the uninstaller removes and what it leaves alone. Also the zip
// README's commands that add and remove the right-click entries by hand.
#include "dialog_fixture.h"

// After windows.h (dialog_fixture.h).
#include <knownfolders.h>
#include <shellapi.h>
#include <shobjidl.h>

#include <algorithm>
#include <map>
#include <sstream>
#include <string_view>
#include <tuple>

#include "engine/sum_file.h"

#if !defined(ORVENDAL_INSTALLER) || !defined(ORVENDAL_HELP_FILE) || !defined(ORVENDAL_CLI_EXE) || \
    !defined(ORVENDAL_VERSION_TEXT) || !defined(ORVENDAL_README) || !defined(ORVENDAL_PACKAGE_DIR)
#error "the installer, the built files, the version text, the zip's README.txt and the packages must be named"
#endif

using namespace e2e;

namespace {

const wchar_t UninstallKeys[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const wchar_t UninstallKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Orvendal";
constexpr DWORD InstallerTimeoutMs = 120000;

const std::wstring VersionText = L"" ORVENDAL_VERSION_TEXT;

// Explorer's right-click entries, per user.
const wchar_t ClassesKey[] = L"Software\\Classes";
const wchar_t HashCommandKey[] = L"Software\\Classes\\*\\shell\\Orvendal.Hash\\command";
const wchar_t HashText[] = L"用 Orvendal 计算校验值";
const wchar_t CheckText[] = L"用 Orvendal 核对";

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

// The sum files the program reads, as the algorithm table gives them: suffixes (".sha256", and
// ".sfv"), whole names ("SHA256SUMS") and starts of names ("CHECKSUM.SHA256-"), each once.
struct SumFileNames {
    std::vector<std::wstring> suffixes;
    std::vector<std::wstring> whole_names;
    std::vector<std::wstring> name_starts;
};

SumFileNames TableSumFileNames() {
    SumFileNames names;
    const auto add = [](std::vector<std::wstring>& list, std::string_view name) {
        const std::wstring wide(name.begin(), name.end());  // ASCII
        if (std::find(list.begin(), list.end(), wide) == list.end()) {
            list.push_back(wide);
        }
    };
    for (const hashlib::AlgorithmInfo& info : hashlib::Algorithms) {
        for (const char* suffix : info.sum_file_suffixes) {
            if (suffix != nullptr) {
                add(names.suffixes, suffix);
            }
        }
        for (const char* name : info.sum_file_names) {
            if (name != nullptr) {
                add(names.whole_names, name);
            }
        }
        for (const char* start : info.sum_file_prefixes) {
            if (start != nullptr) {
                add(names.name_starts, start);
            }
        }
    }
    add(names.suffixes, engine::SfvSuffix);
    return names;
}

// Registry keys below HKCU\Software\Classes and their string values ("" the default value).
using KeyValues = std::map<std::wstring, std::wstring>;
using KeyTree = std::map<std::wstring, KeyValues>;

// The subkeys of `path` (below Classes).
std::vector<std::wstring> Subkeys(const std::wstring& path) {
    std::vector<std::wstring> names;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, (std::wstring(ClassesKey) + L"\\" + path).c_str(), 0, KEY_READ,
                      &key) != ERROR_SUCCESS) {
        return names;
    }
    wchar_t name[256];
    for (DWORD index = 0;; ++index) {
        DWORD length = 256;
        if (RegEnumKeyExW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
            break;
        }
        names.push_back(name);
    }
    RegCloseKey(key);
    return names;
}

// The key `path` (below Classes) with its string values, and all its subkeys.
void ReadKeyTree(const std::wstring& path, KeyTree& tree) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, (std::wstring(ClassesKey) + L"\\" + path).c_str(), 0, KEY_READ,
                      &key) != ERROR_SUCCESS) {
        return;
    }
    KeyValues& values = tree[path];
    wchar_t name[256];
    std::vector<wchar_t> data(4096);
    for (DWORD index = 0;; ++index) {
        DWORD length = 256, type = 0, size = DWORD(data.size() * sizeof(wchar_t));
        if (RegEnumValueW(key, index, name, &length, nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                          &size) != ERROR_SUCCESS) {
            break;
        }
        values[name] = type == REG_SZ
                           ? std::wstring(data.data(), wcsnlen(data.data(), size / sizeof(wchar_t)))
                           : L"(not a string)";
    }
    RegCloseKey(key);
    for (const std::wstring& subkey : Subkeys(path)) {
        ReadKeyTree(path + L"\\" + subkey, tree);
    }
}

// Every verb named Orvendal.* on every file and on every file type, with everything below it.
KeyTree MenuEntries() {
    std::vector<std::wstring> shells = {L"*\\shell"};
    for (const std::wstring& type : Subkeys(L"SystemFileAssociations")) {
        shells.push_back(L"SystemFileAssociations\\" + type + L"\\shell");
    }
    KeyTree entries;
    for (const std::wstring& shell : shells) {
        for (const std::wstring& verb : Subkeys(shell)) {
            if (_wcsnicmp(verb.c_str(), L"Orvendal.", 9) == 0) {
                ReadKeyTree(shell + L"\\" + verb, entries);
            }
        }
    }
    return entries;
}

// The keys in which the right-click entries differ from `expected`, one a line: empty when
// they are the same.
std::wstring MenuDifferences(const KeyTree& expected) {
    const KeyTree actual = MenuEntries();
    std::wstring differences;
    for (const auto& [key, values] : expected) {
        const auto found = actual.find(key);
        if (found == actual.end()) {
            differences += L"missing: " + key + L"\n";
        } else if (found->second != values) {
            differences += L"other values: " + key + L"\n";
        }
    }
    for (const auto& [key, values] : actual) {
        if (expected.count(key) == 0) {
            differences += L"not expected: " + key + L"\n";
        }
    }
    return differences;
}

// The entries for the program in `folder`: "compute" on every file; "check" on the sum files'
// suffixes and, through a condition on the name, on their whole names.
KeyTree ExpectedMenuEntries(const std::wstring& folder) {
    const std::wstring program = folder + L"\\Orvendal.exe";
    const auto verb = [&](const wchar_t* text) {
        return KeyValues{{L"MUIVerb", text}, {L"Icon", program + L",0"}, {L"MultiSelectModel", L"Single"}};
    };
    const KeyValues check_command = {{L"", Quoted(program) + L" /check \"%1\""}};
    const SumFileNames names = TableSumFileNames();
    std::wstring applies_to;
    for (const std::wstring& name : names.whole_names) {
        applies_to +=
            (applies_to.empty() ? L"" : L" OR ") + std::wstring(L"System.FileName:=") + Quoted(name);
    }
    for (const std::wstring& start : names.name_starts) {  // "~<": starts with
        applies_to += L" OR System.FileName:~<" + Quoted(start);
    }
    KeyTree entries = {
        {L"*\\shell\\Orvendal.Hash", verb(HashText)},
        {L"*\\shell\\Orvendal.Hash\\command", {{L"", Quoted(program) + L" \"%1\""}}},
        {L"*\\shell\\Orvendal.Check", verb(CheckText)},
        {L"*\\shell\\Orvendal.Check\\command", check_command},
    };
    entries[L"*\\shell\\Orvendal.Check"][L"AppliesTo"] = applies_to;
    for (const std::wstring& suffix : names.suffixes) {
        const std::wstring key = L"SystemFileAssociations\\" + suffix + L"\\shell\\Orvendal.Check";
        entries[key] = verb(CheckText);
        entries[key + L"\\command"] = check_command;
    }
    return entries;
}

// Other programs' entries beside ours, which nothing of ours may remove.
const KeyTree OthersEntries = {
    {L"*\\shell\\Another.Verb\\command", {{L"", L"\"C:\\another\\another.exe\" \"%1\""}}},
    {L"SystemFileAssociations\\.sha256\\shell\\Another.Verify", {{L"MUIVerb", L"another"}}},
    {L"SystemFileAssociations\\.md5", {{L"PerceivedType", L"text"}}},
};

void PlantOthersEntries() {
    for (const auto& [key, values] : OthersEntries) {
        for (const auto& [name, data] : values) {
            SetStringValue(std::wstring(ClassesKey) + L"\\" + key, name.c_str(), data);
        }
    }
}

void ExpectOthersEntriesKept() {
    for (const auto& [key, values] : OthersEntries) {
        for (const auto& [name, data] : values) {
            EXPECT_EQ(StringValue(std::wstring(ClassesKey) + L"\\" + key, name.c_str()), data) << key;
        }
    }
}

// The program and the arguments of a command line as the shell runs it, %1 the chosen file.
std::pair<std::wstring, std::wstring> CommandFor(std::wstring command, const std::wstring& file) {
    const size_t placeholder = command.find(L"%1");
    if (placeholder != std::wstring::npos) {
        command.replace(placeholder, 2, file);
    }
    const size_t program_end = command.find(L'"', 1);
    if (command.empty() || command.front() != L'"' || program_end == std::wstring::npos) {
        ADD_FAILURE() << "the command does not start with a quoted program: " << command;
        return {};
    }
    return {command.substr(1, program_end - 1), command.substr(std::min(program_end + 2, command.size()))};
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

// Runs a command line (in `current_directory` when one is given) and waits until it and every
// process it started have ended (the uninstaller hands over to a copy of itself in the temporary
// directory and returns at once).
// The exit code of the command itself, or nothing when it could not start or did not end in time.
std::optional<DWORD> RunToCompletion(std::wstring command_line, const std::wstring& current_directory = L"") {
    const HANDLE job = CreateJobObjectW(nullptr, nullptr);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (job == nullptr ||
        !CreateProcessW(nullptr, command_line.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                        current_directory.empty() ? nullptr : current_directory.c_str(), &startup, &info)) {
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
        PlantOthersEntries();
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

    void ExpectShortcutsMenuAndEntryGone() {
        EXPECT_FALSE(FileExists(StartMenuShortcut()));
        EXPECT_FALSE(FileExists(SendToShortcut()));
        EXPECT_EQ(MenuDifferences({}), L"");
        ExpectOthersEntriesKept();
        EXPECT_FALSE(KeyExists(UninstallKey));
    }

    // What `reg export` writes of HKEY_LOCAL_MACHINE's Software and its Classes.
    std::string MachineKeys() {
        std::string exported;
        for (const wchar_t* key : {L"HKLM\\Software", L"HKLM\\Software\\Classes"}) {
            const std::wstring file = TestDirectory() + L"machine.reg";
            DeleteFileW(file.c_str());
            EXPECT_EQ(RunToCompletion(L"reg.exe export " + std::wstring(key) + L" " + Quoted(file) + L" /y"),
                      0u);
            exported += FileBytes(file).value_or("");
        }
        EXPECT_GT(exported.size(), 1000u) << "reg export wrote nothing";
        return exported;
    }
};

TEST_F(InstallerTest, InstallsPerUserAndInstallingAgainReplacesTheFiles) {
    SetStringValue(SettingsKey, L"CheckBoxes", L"10000000000001");  // what an earlier version left
    const std::string machine_keys = MachineKeys();
    Install();
    const std::wstring folder = DefaultFolder();
    ExpectProgramFilesIn(folder);
    ExpectShortcutsTo(folder);
    ExpectUninstallEntryFor(folder);
    ExpectTheManifestOfTheUninstallEntry();
    EXPECT_EQ(MenuDifferences(ExpectedMenuEntries(folder)), L"");
    const SumFileNames names = TableSumFileNames();  // what the check entry is on: the usual ones too
    for (const wchar_t* suffix : {L".md5", L".sha1", L".sha256", L".sha384", L".sha512", L".sfv"}) {
        EXPECT_NE(std::find(names.suffixes.begin(), names.suffixes.end(), suffix), names.suffixes.end());
    }
    EXPECT_NE(std::find(names.whole_names.begin(), names.whole_names.end(), L"SHA256SUMS"),
              names.whole_names.end());
    EXPECT_FALSE(KeyExists(ProductKey)) << "the installer did not run Orvendal.exe /install";
    EXPECT_TRUE(MachineKeys() == machine_keys) << "the installer changed HKEY_LOCAL_MACHINE";

    // A damaged and a missing file are put back, and the list still shows one entry; the
    // right-click entries are this version's only, also where an earlier one had more.
    WriteFileBytes(folder + L"\\orvendal-cli.exe", "damaged");
    ASSERT_TRUE(DeleteFileW((folder + L"\\Orvendal.chm").c_str()));
    SetStringValue(
        std::wstring(ClassesKey) + L"\\SystemFileAssociations\\.oldsum\\shell\\Orvendal.Check\\command", L"",
        Quoted(folder + L"\\Orvendal.exe") + L" /check \"%1\"");
    Install();
    ExpectProgramFilesIn(folder);
    ExpectShortcutsTo(folder);
    ExpectUninstallEntryFor(folder);
    EXPECT_EQ(MenuDifferences(ExpectedMenuEntries(folder)), L"");

    UninstallQuietly();
    ExpectShortcutsMenuAndEntryGone();
}

TEST_F(InstallerTest, SendToAndTheMenuOpenTheFileHashedAndUninstallingRemovesEverything) {
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
    ASSERT_TRUE(WaitForCalculation()) << "the calculation did not end";
    EXPECT_EQ(Text(DataEdit), file);
    EXPECT_EQ(Shown(), ExpectedPlain(DefaultTicks, bytes));
    Close();
    ASSERT_TRUE(KeyExists(SettingsKey)) << "the program kept no settings on closing";

    // As Explorer starts the right-click entry: its command with the chosen file for %1.
    const std::string other_bytes = "chosen in Explorer\r\n";
    const std::wstring other_file = WriteTestFile(L"右键 菜单.txt", other_bytes);
    const auto [program, program_arguments] =
        CommandFor(StringValue(HashCommandKey, L"").value_or(L""), other_file);
    Start(program_arguments, program);
    ASSERT_TRUE(WaitForCalculation()) << "the calculation did not end";
    EXPECT_EQ(Text(DataEdit), other_file);
    EXPECT_EQ(Shown(), ExpectedPlain(DefaultTicks, other_bytes));
    Close();

    // The check entry, on a sum file by its suffix and on one by its whole name: the checking
    // window with its verdicts (SHA-256 and MD5 of "abc" from FIPS 180-2 and RFC 1321).
    EmptyDirectory(L"下载 的文件");
    WriteTestFile(L"下载 的文件\\abc.txt", "abc");
    const std::string sha256_line =
        "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad  abc.txt\n";
    const std::wstring by_suffix = WriteTestFile(L"下载 的文件\\abc.txt.sha256", sha256_line);
    const std::wstring by_name = WriteTestFile(L"下载 的文件\\MD5SUMS",
                                               "900150983cd24fb0d6963f7d28e17f72  abc.txt\n"
                                               "900150983cd24fb0d6963f7d28e17f72  gone.txt\n");
    const std::wstring suffix_command =
        std::wstring(ClassesKey) + L"\\SystemFileAssociations\\.sha256\\shell\\Orvendal.Check\\command";
    const std::wstring name_command = std::wstring(ClassesKey) + L"\\*\\shell\\Orvendal.Check\\command";
    for (const auto& [command_key, sum_file, rows] :
         {std::tuple{suffix_command, by_suffix, std::vector<CheckRow>{{L"abc.txt", L"SHA256", L"一致"}}},
          std::tuple{name_command, by_name,
                     std::vector<CheckRow>{{L"abc.txt", L"MD5", L"一致"}, {L"gone.txt", L"MD5", L"缺失"}}}}) {
        const auto [check_program, check_arguments] =
            CommandFor(StringValue(command_key, L"").value_or(L""), sum_file);
        StartCheckWith(check_arguments, check_program);
        WaitForCheckSummary();
        EXPECT_EQ(CheckRows(), rows) << command_key;
        Close();
    }

    UninstallQuietly();
    EXPECT_FALSE(KeyExists(ProductKey)) << "the program's settings are still there";
    EXPECT_FALSE(FileExists(folder)) << "the installation folder is still there";
    ExpectShortcutsMenuAndEntryGone();
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
    EXPECT_EQ(MenuDifferences(ExpectedMenuEntries(second)), L"");

    // A file of the user's own keeps the folder.
    const std::wstring notes = second + L"\\我的笔记.txt";
    WriteFileBytes(notes, "mine");
    UninstallQuietly();
    EXPECT_EQ(FolderEntries(second), (std::set<std::wstring>{L"我的笔记.txt"}));
    EXPECT_EQ(FileBytes(notes), "mine");
    ExpectShortcutsMenuAndEntryGone();
}

// The zip's README.txt: its commands, run one by one in a command window in the program's folder,
// add what the installer adds, and its other commands remove it again.
TEST_F(InstallerTest, TheZipsReadmeAddsAndRemovesTheSameMenu) {
    std::vector<std::wstring> add, remove, *section = nullptr;
    std::istringstream lines(FileBytes(WindowsPath(ORVENDAL_README)).value_or(""));
    for (std::string line; std::getline(lines, line);) {
        line.erase(line.find_last_not_of('\r') + 1);
        if (line.ends_with("To add:") || line.ends_with("To remove:")) {
            section = line.ends_with("To add:") ? &add : &remove;
        } else if (section != nullptr && line.starts_with("  ")) {
            section->push_back(Widened(line.substr(2)));
        }
    }
    ASSERT_FALSE(add.empty());
    ASSERT_FALSE(remove.empty());

    std::wstring folder = EmptyDirectory(L"解压 到这里");
    folder.pop_back();  // as the command window shows it, without the last '\\'
    for (const std::wstring& command : add) {
        EXPECT_EQ(RunToCompletion(L"cmd.exe /c " + command, folder), 0u) << command;
    }
    EXPECT_EQ(MenuDifferences(ExpectedMenuEntries(folder)), L"");
    for (const std::wstring& command : remove) {
        RunToCompletion(L"cmd.exe /c " + command, folder);
    }
    EXPECT_EQ(MenuDifferences({}), L"");
    ExpectOthersEntriesKept();
}

}  // namespace
