// Orvendal.exe end to end: started as a user starts it, driven from this separate program by
// window messages, and checked by what it shows (results, formats, visibility, message boxes,
// focus) and what it leaves in the registry. Runs under Wine on a virtual display with the
// Chinese system code page (936), which main() checks before anything else.
#include <cstdio>
#include <random>

#include "dialog_fixture.h"

using namespace e2e;

namespace {

// ---------------------------------------------------------------------------------------------
// Start-up and the command line

TEST_F(DialogTest, FileOnTheCommandLineIsHashedAtStart) {
    const std::wstring path = WriteTestFile(L"command line.txt", "123456789");
    Start(Quoted(path));
    ASSERT_TRUE(WaitForCalculation());

    EXPECT_EQ(Selection(DataFormat), FileFormat);
    EXPECT_EQ(Text(DataFormat), L"文件");
    EXPECT_EQ(Text(DataEdit), path);
    EXPECT_EQ(Shown(), ExpectedPlain(DefaultTicks, "123456789"));
    EXPECT_EQ(Shown()[hashlib::AlgorithmCrc32], L"cbf43926");  // the CRC-32 check value
    EXPECT_EQ(program_->FindOwnedDialog(dialog_), nullptr);
    TakeScreenshot(L"dialog-after-calculation");
}

TEST_F(DialogTest, WindowIsBuiltAsDesigned) {
    Start();
    EXPECT_EQ(TextOf(dialog_), L"Orvendal");
    const LONG style = GetWindowLongW(dialog_, GWL_STYLE);
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX),
              WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX);
    const LONG extended = GetWindowLongW(dialog_, GWL_EXSTYLE);
    EXPECT_EQ(extended & (WS_EX_CLIENTEDGE | WS_EX_APPWINDOW | WS_EX_ACCEPTFILES),
              WS_EX_CLIENTEDGE | WS_EX_APPWINDOW | WS_EX_ACCEPTFILES);

    // The controls in tab order, labels left out, then the progress bar and the status text,
    // which take no focus.
    const std::vector<int> expected = {1030, 1002, 1003,     1004, 1031, 1005,        1033,      1008, 1009,
                                       1038, 1037, 1010,     1011, 1012, 1013,        1014,      1015, 1016,
                                       1017, 1018, 1019,     1020, 1021, 1026,        1027,      1006, 1007,
                                       1022, 1023, 1024,     1025, 1035, 1039,        1040,      1036, 1034,
                                       1028, IDOK, IDCANCEL, 1032, 1029, ProgressBar, StatusText};
    std::vector<int> ids;
    for (HWND child = GetWindow(dialog_, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        const int id = int(GetWindowLongPtrW(child, GWLP_ID));
        if (id != -1 && id != 0xFFFF) {
            ids.push_back(id);
        }
    }
    EXPECT_EQ(ids, expected);

    EXPECT_EQ(Text(IDOK), L"计算(&U)");
    EXPECT_EQ(Text(IDCANCEL), L"关闭(&C)");
    EXPECT_EQ(Text(RowOf(hashlib::AlgorithmEdonkey).check_box), L"eD&onkey/\neMule");
    for (const Row& row : Rows) {  // each row's check box is its algorithm's
        std::wstring label = Text(row.check_box);
        std::erase_if(label, [](wchar_t c) { return c == L'&' || c == L'\n'; });
        const std::string name = hashlib::Algorithms[size_t(row.algorithm)].display_name;
        EXPECT_EQ(label, std::wstring(name.begin(), name.end())) << "check box " << row.check_box;
    }
    EXPECT_EQ(Send(Item(DataFormat), CB_GETCOUNT), 3);
    EXPECT_EQ(Send(Item(KeyFormat), CB_GETCOUNT), 2);
    EXPECT_NE(Send(Item(1028), STM_GETIMAGE, IMAGE_BITMAP), 0) << "the logo";
    EXPECT_NE(Send(Item(1032), STM_GETIMAGE, IMAGE_BITMAP), 0) << "the size grip";
}

TEST_F(DialogTest, FileWithACyrillicNameIsHashedAtStart) {
    const std::wstring path = WriteTestFile(L"Проверка файла.txt", "Orvendal");
    Start(Quoted(path));
    ASSERT_TRUE(WaitForCalculation());
    EXPECT_EQ(Text(DataEdit), path);
    EXPECT_EQ(Shown(), ExpectedPlain(DefaultTicks, "Orvendal"));
    EXPECT_EQ(program_->FindOwnedDialog(dialog_), nullptr);
}

TEST_F(DialogTest, UpperCaseSwitchIsNoSwitchAndOpensAnEmptyDialog) {
    SetStringValue(SettingsKey, L"Marker", L"kept");
    Start(L"/INSTALL");
    EXPECT_EQ(Text(DataEdit), L"");
    EXPECT_EQ(Shown(), Results{});
    EXPECT_TRUE(KeyExists(SettingsKey)) << "only the exact switches remove the settings";
}

TEST_F(DialogTest, SecondArgumentLeavesTheDialogEmpty) {
    const std::wstring path = WriteTestFile(L"first.txt", "abc");
    Start(Quoted(path) + L" second.txt");
    EXPECT_EQ(Text(DataEdit), L"");
    EXPECT_EQ(Shown(), Results{});
}

class SwitchTest : public DialogTest {
  protected:
    void SetUp() override { RegDeleteTreeW(HKEY_CURRENT_USER, MakerKey); }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, MakerKey); }
};

TEST_F(SwitchTest, UninstallRemovesTheSettingsAndTheEmptyMakerKey) {
    SetStringValue(SettingsKey, L"CheckBoxes", L"01010001000010");
    RunSwitch(L"/uninstall");
    EXPECT_FALSE(KeyExists(ProductKey));
    EXPECT_FALSE(KeyExists(MakerKey));
}

TEST_F(SwitchTest, InstallKeepsAMakerKeyThatStillHoldsSomething) {
    SetStringValue(SettingsKey, L"CheckBoxes", L"01010001000010");
    SetStringValue(std::wstring(MakerKey) + L"\\Another Product\\1.0", L"Setting", L"1");
    RunSwitch(L"/install");
    EXPECT_FALSE(KeyExists(ProductKey));
    EXPECT_TRUE(KeyExists(std::wstring(MakerKey) + L"\\Another Product\\1.0"));

    RegDeleteTreeW(HKEY_CURRENT_USER, MakerKey);
    SetStringValue(SettingsKey, L"CheckBoxes", L"01010001000010");
    SetStringValue(MakerKey, L"Shared", L"1");  // a value, no other subkey
    RunSwitch(L"/uninstall");
    EXPECT_FALSE(KeyExists(ProductKey));
    EXPECT_TRUE(KeyExists(MakerKey));
}

// ---------------------------------------------------------------------------------------------
// Text, hex and HMAC

TEST_F(DialogTest, TextAndHexInputAreHashed) {
    Start();
    ChooseFormat(DataFormat, TextFormat);
    EXPECT_FALSE(Visible(BrowseButton));
    Type(DataEdit, L"abc");
    Calculate();
    EXPECT_EQ(Shown(), ExpectedPlain(DefaultTicks, "abc"));
    EXPECT_EQ(Shown()[hashlib::AlgorithmMd5], L"900150983cd24fb0d6963f7d28e17f72");           // RFC 1321
    EXPECT_EQ(Shown()[hashlib::AlgorithmSha1], L"a9993e364706816aba3e25717850c26c9cd0d89d");  // FIPS 180

    // Text hashes as the bytes of the system code page: GBK under code page 936.
    ASSERT_EQ(CodePageBytes(L"中文"), "\xd6\xd0\xce\xc4");
    Type(DataEdit, L"中文");
    Calculate();
    EXPECT_EQ(Shown(), ExpectedPlain(DefaultTicks, "\xd6\xd0\xce\xc4"));

    Type(DataEdit, L"");
    Calculate();
    EXPECT_EQ(Shown()[hashlib::AlgorithmMd5], L"d41d8cd98f00b204e9800998ecf8427e");  // RFC 1321
    EXPECT_EQ(Shown(), ExpectedPlain(DefaultTicks, ""));

    ChooseFormat(DataFormat, HexFormat);
    Type(DataEdit, L"61 62 63");
    Calculate();
    EXPECT_EQ(Shown(), ExpectedPlain(DefaultTicks, "abc"));
    EXPECT_EQ(Text(DataEdit), L"616263");
}

TEST_F(DialogTest, PastedTextOf100000CharactersIsHashedInFull) {
    Start();
    ChooseFormat(DataFormat, TextFormat);
    std::wstring text;
    while (text.size() < 100000) {
        text += L"abc中文";
    }
    ASSERT_TRUE(WaitUntil([] { return OpenClipboard(nullptr) != FALSE; })) << "the clipboard stays busy";
    EmptyClipboard();
    const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    std::memcpy(GlobalLock(memory), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    GlobalUnlock(memory);
    SetClipboardData(CF_UNICODETEXT, memory);
    CloseClipboard();

    Send(Item(DataEdit), WM_PASTE);
    EXPECT_EQ(Send(Item(DataEdit), WM_GETTEXTLENGTH), LRESULT(text.size())) << "the paste was cut short";
    EXPECT_GE(Send(Item(KeyEdit), EM_GETLIMITTEXT), LRESULT(text.size())) << "the key edit would cut it too";
    Calculate();
    EXPECT_EQ(Shown(), ExpectedPlain(DefaultTicks, CodePageBytes(text)));
}

TEST_F(DialogTest, HmacHidesTheUnkeyableRowsAndKeysTheOthers) {
    Start();
    EXPECT_FALSE(Enabled(KeyFormat));
    EXPECT_FALSE(Enabled(KeyEdit));
    Tick(AllTicks);
    Click(HmacBox);
    EXPECT_TRUE(Enabled(KeyFormat));
    EXPECT_TRUE(Enabled(KeyEdit));
    for (const Row& row : Rows) {
        const bool shown = UnkeyableTicks.count(row.algorithm) == 0;
        EXPECT_EQ(Visible(row.check_box), shown) << "check box " << row.check_box;
        EXPECT_EQ(Visible(row.result), shown) << "check box " << row.check_box;
    }
    EXPECT_FALSE(Visible(LineAboveEdonkey));
    EXPECT_FALSE(Visible(LineBelowEdonkey));

    const std::string data = "what do ya want for nothing?";
    ChooseFormat(DataFormat, TextFormat);
    Type(DataEdit, L"what do ya want for nothing?");
    Type(KeyEdit, L"Jefe");
    Calculate();
    EXPECT_EQ(Shown(), ExpectedHmac(AllTicks, "Jefe", data));
    // RFC 2202, test case 2.
    EXPECT_EQ(Shown()[hashlib::AlgorithmMd5], L"750c783e6ab0b503eaa86e310a5db738");
    EXPECT_EQ(Shown()[hashlib::AlgorithmSha1], L"effcdf6ae5eb2fa2d27416d5f184df9c259a7c79");
    TakeScreenshot(L"dialog-hmac");

    ChooseFormat(KeyFormat, HexKey);
    Type(KeyEdit, L"4a 65 66 65");
    Calculate();
    EXPECT_EQ(Shown(), ExpectedHmac(AllTicks, "Jefe", data));
    EXPECT_EQ(Text(KeyEdit), L"4a656665");

    const std::wstring long_key(200, L'k');  // longer than every block: hashed first
    ChooseFormat(KeyFormat, 0);
    Type(KeyEdit, long_key + L"密钥");
    Calculate();
    EXPECT_EQ(Shown(), ExpectedHmac(AllTicks, CodePageBytes(long_key + L"密钥"), data));

    Click(HmacBox);
    EXPECT_FALSE(Enabled(KeyEdit));
    EXPECT_TRUE(Visible(RowOf(hashlib::AlgorithmEdonkey).check_box));
    EXPECT_TRUE(Visible(LineAboveEdonkey));
    EXPECT_TRUE(Checked(RowOf(hashlib::AlgorithmEdonkey).check_box)) << "hidden rows keep their ticks";
}

// ---------------------------------------------------------------------------------------------
// Refusals: each message with its text, title, button, icon and focus; the results stay.

struct Refusal {
    const char* name;
    int format;
    std::wstring data;
    bool hmac;
    std::wstring hex_key;
    std::set<int> ticks;
    const wchar_t* message;
    int focus;
};

// Named in test listings by its case name alone.
void PrintTo(const Refusal& refusal, std::ostream* out) {
    *out << refusal.name;
}

class RefusalTest : public DialogTest, public testing::WithParamInterface<Refusal> {};

TEST_P(RefusalTest, ShowsItsMessageMovesTheFocusAndKeepsTheResults) {
    const Refusal& refusal = GetParam();
    Start();
    Tick(refusal.ticks);
    if (refusal.hmac) {
        Click(HmacBox);
        ChooseFormat(KeyFormat, HexKey);
        Type(KeyEdit, refusal.hex_key);
    }
    ChooseFormat(DataFormat, refusal.format);
    Type(DataEdit, refusal.data);
    ShowInResults(L"earlier");

    const Warning warning = CalculateExpectingWarning();
    EXPECT_EQ(warning.text, refusal.message);
    EXPECT_EQ(warning.title, L"Orvendal");
    EXPECT_TRUE(warning.ok_only);
    EXPECT_TRUE(warning.has_icon);
    EXPECT_EQ(FocusSettlingOn(refusal.focus), refusal.focus);
    for (const Row& row : Rows) {
        EXPECT_EQ(Text(row.result), L"earlier") << "result " << row.result;
    }
    EXPECT_EQ(Text(DataEdit), refusal.data) << "a refused command writes nothing back";
}

std::wstring MissingPath(const std::wstring& tail) {
    return TestDirectory() + tail;
}

// 3 + 120 + 1 + 136 bytes in code page 936, then `tail`.
std::wstring ChinesePath(const std::wstring& tail) {
    return L"C:\\" + std::wstring(60, L'文') + L"\\" + std::wstring(68, L'文') + tail;
}

INSTANTIATE_TEST_SUITE_P(
    Messages, RefusalTest,
    testing::Values(
        Refusal{"EmptyPath", FileFormat, L"", false, L"", DefaultTicks, SelectFileText, DataEdit},
        Refusal{"BlankPath", FileFormat, L"   ", false, L"", DefaultTicks, SelectFileText, DataEdit},
        Refusal{"PathOf261", FileFormat, L"C:\\no-such-dir\\" + std::wstring(246, L'a'), false, L"",
                DefaultTicks, PathTooLongText, DataEdit},
        // 260 is still accepted, so the missing file is what is reported.
        Refusal{"PathOf260", FileFormat, L"C:\\no-such-dir\\" + std::wstring(245, L'a'), false, L"",
                DefaultTicks, CannotOpenText, DataEdit},
        // A Chinese character counts two bytes in code page 936 (three in UTF-8): 260 and 261.
        // Two components, so neither is too long for the host's file system.
        Refusal{"ChinesePathOf260Bytes", FileFormat, ChinesePath(L""), false, L"", DefaultTicks,
                CannotOpenText, DataEdit},
        Refusal{"ChinesePathOf261Bytes", FileFormat, ChinesePath(L"a"), false, L"", DefaultTicks,
                PathTooLongText, DataEdit},
        Refusal{"MissingFile", FileFormat, MissingPath(L"no-such-file.txt"), false, L"", DefaultTicks,
                CannotOpenText, DataEdit},
        Refusal{"MissingDirectory", FileFormat, MissingPath(L"no-such-dir\\file.txt"), false, L"",
                DefaultTicks, CannotOpenText, DataEdit},
        Refusal{"HexOddLength", HexFormat, L"61 6", false, L"", DefaultTicks, HexOddLengthText, DataEdit},
        Refusal{"HexIllegalChar", HexFormat, L"6g", false, L"", DefaultTicks, HexIllegalCharText, DataEdit},
        Refusal{"HexKeyOddLength", TextFormat, L"abc", true, L"4a6", DefaultTicks, HexOddLengthText, KeyEdit},
        Refusal{"HexKeyIllegalChar", TextFormat, L"abc", true, L"zz", DefaultTicks, HexIllegalCharText,
                KeyEdit},
        Refusal{"NothingTicked", TextFormat, L"abc", false, L"", {}, SelectAlgorithmText, Md2Box},
        Refusal{"OnlyUnkeyableUnderHmac", TextFormat, L"abc", true, L"", UnkeyableTicks, SelectAlgorithmText,
                Md2Box}),
    [](const testing::TestParamInfo<Refusal>& info) { return std::string(info.param.name); });

TEST_F(DialogTest, FileThatCannotBeReadKeepsTheEarlierResults) {
    const std::wstring path = WriteTestFile(L"held open.bin", "contents");
    Start();
    Type(DataEdit, path);
    Calculate();
    const Results earlier = Shown();
    ASSERT_EQ(earlier, ExpectedPlain(DefaultTicks, "contents"));

    // Held open for writing by another program that shares nothing.
    const HANDLE held = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    Warning warning = CalculateExpectingWarning();
    CloseHandle(held);
    EXPECT_EQ(warning.text, AccessDeniedText);
    EXPECT_EQ(FocusSettlingOn(DataEdit), DataEdit);
    EXPECT_EQ(Shown(), earlier);

    ASSERT_TRUE(DeleteFileW(path.c_str()));
    warning = CalculateExpectingWarning();
    EXPECT_EQ(warning.text, CannotOpenText);
    EXPECT_EQ(Shown(), earlier);
}

// ---------------------------------------------------------------------------------------------
// Files fed on more than one core: with two or more algorithms ticked the dialog feeds each on a
// thread of its own, held to one core it feeds them in turn, and what it shows is the same.

// The cores this program may use, which the program under test inherits.
int UsableCores() {
    DWORD_PTR process = 0;
    DWORD_PTR system = 0;
    GetProcessAffinityMask(GetCurrentProcess(), &process, &system);
    int count = 0;
    for (; process != 0; process &= process - 1) {
        ++count;
    }
    return count;
}

void NoteWhenTheParallelPassCannotRun() {
    if (UsableCores() < 2) {
        std::printf("(one core only: the dialog feeds its algorithms in turn, not in parallel)\n");
    }
}

std::string PseudoRandomBytes(size_t count) {
    std::mt19937 generator(20261209u);
    std::string bytes(count, '\0');
    for (char& byte : bytes) {
        byte = char(generator());
    }
    return bytes;
}

// More than twice the parallel pass's ring of sixteen 256 KiB pieces, so every slot is refilled.
constexpr size_t SeveralRingsOfPieces = 9 * 1024 * 1024 + 77;

TEST_F(DialogTest, EveryAlgorithmOnAFileGivesTheSameDigestsOnOneCoreAndOnAll) {
    NoteWhenTheParallelPassCannotRun();
    const std::string content = PseudoRandomBytes(SeveralRingsOfPieces);
    const std::wstring path = WriteTestFile(L"several pieces.bin", content);
    const Results expected = ExpectedPlain(AllTicks, content);
    for (const DWORD_PTR affinity : {DWORD_PTR(0), DWORD_PTR(1)}) {
        SCOPED_TRACE(affinity == 0 ? "every core" : "one core");
        Start(L"", ProgramPath(), L"", affinity);
        Tick(AllTicks);
        Type(DataEdit, path);
        Calculate();
        EXPECT_EQ(Shown(), expected);
        Close();
    }
}

// The writing end of a named pipe that the dialog reads as its file; every wait is bounded. Wine
// does not fail a read over a byte range another process has locked, but a reader's next read
// fails once the writer disconnects the pipe, which makes a read fail part-way through a real
// input.
class PipeWriter {
  public:
    explicit PipeWriter(const std::wstring& name)
        : pipe_(CreateNamedPipeW(name.c_str(), PIPE_ACCESS_OUTBOUND | FILE_FLAG_OVERLAPPED,
                                 PIPE_TYPE_BYTE | PIPE_WAIT, 1, 64 * 1024, 64 * 1024, 0, nullptr)),
          event_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    ~PipeWriter() {
        if (pipe_ != INVALID_HANDLE_VALUE) {
            CloseHandle(pipe_);
        }
        CloseHandle(event_);
    }
    PipeWriter(const PipeWriter&) = delete;
    PipeWriter& operator=(const PipeWriter&) = delete;

    bool created() const { return pipe_ != INVALID_HANDLE_VALUE; }

    // Waits for the reader, then writes `bytes`; false when that did not happen in time. With a
    // pipe buffer far smaller than `bytes`, the write ends only once the reader has taken most
    // of them.
    bool Write(const std::string& bytes) {
        OVERLAPPED connect = {};
        connect.hEvent = event_;
        if (!ConnectNamedPipe(pipe_, &connect) && GetLastError() != ERROR_PIPE_CONNECTED &&
            !Finish(connect)) {
            return false;
        }
        OVERLAPPED write = {};
        write.hEvent = event_;
        return WriteFile(pipe_, bytes.data(), DWORD(bytes.size()), nullptr, &write) || Finish(write);
    }

    // The reader's next read ends its input.
    void Close() {
        CloseHandle(pipe_);
        pipe_ = INVALID_HANDLE_VALUE;
    }
    // The reader's next read fails.
    void Disconnect() { DisconnectNamedPipe(pipe_); }

  private:
    // An operation that went on in the background: waits for it, or cancels it.
    bool Finish(OVERLAPPED& operation) {
        if (GetLastError() != ERROR_IO_PENDING) {
            return false;
        }
        DWORD transferred = 0;
        if (WaitForSingleObject(event_, WaitTimeoutMs) != WAIT_OBJECT_0) {
            CancelIoEx(pipe_, &operation);
        }
        return GetOverlappedResult(pipe_, &operation, &transferred, TRUE) != FALSE;
    }

    HANDLE pipe_;
    HANDLE event_;
};

TEST_F(DialogTest, AReadFailingPartWayThroughTheInputKeepsTheEarlierResults) {
    NoteWhenTheParallelPassCannotRun();
    const std::string content = PseudoRandomBytes(SeveralRingsOfPieces);
    const std::wstring pipe = L"\\\\.\\pipe\\orvendal-e2e-" + std::to_wstring(GetCurrentProcessId());
    Start();
    Type(DataEdit, pipe);
    {
        // Read to its end, in parallel with the default four algorithms.
        PipeWriter writer(pipe);
        ASSERT_TRUE(writer.created());
        PostMessageW(dialog_, WM_COMMAND, IDOK, 0);
        ASSERT_TRUE(writer.Write(content)) << "the dialog did not read the pipe";
        writer.Close();
    }
    ASSERT_TRUE(WaitForCalculation()) << "the calculation did not finish";
    ASSERT_EQ(program_->FindOwnedDialog(dialog_), nullptr) << "unexpected message";
    const Results earlier = Shown();
    ASSERT_EQ(earlier, ExpectedPlain(DefaultTicks, content));

    // Several pieces in, the next read fails.
    PipeWriter writer(pipe);
    ASSERT_TRUE(writer.created());
    PostMessageW(dialog_, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(writer.Write(content.substr(0, content.size() / 2))) << "the dialog did not read the pipe";
    writer.Disconnect();
    const Warning warning = ReadAndCloseWarning(program_->WaitForOwnedDialog(dialog_, 60000));
    EXPECT_EQ(warning.text, AccessDeniedText);
    EXPECT_EQ(FocusSettlingOn(DataEdit), DataEdit);
    EXPECT_EQ(Shown(), earlier);
}

// ---------------------------------------------------------------------------------------------
// What empties the results, and the browse button

TEST_F(DialogTest, ResultsEmptyWhenTheirInputChanges) {
    Start();
    ChooseFormat(DataFormat, TextFormat);
    Type(DataEdit, L"abc");
    Calculate();
    const Results full = ExpectedPlain(DefaultTicks, "abc");
    ASSERT_EQ(Shown(), full);

    Click(RowOf(hashlib::AlgorithmMd5).check_box);  // untick: only its own result goes
    Results expected = full;
    expected[hashlib::AlgorithmMd5].clear();
    EXPECT_EQ(Shown(), expected);
    Click(RowOf(hashlib::AlgorithmMd4).check_box);  // tick: nothing changes
    EXPECT_EQ(Shown(), expected);

    Calculate();
    Type(DataEdit, L"abcd");
    EXPECT_EQ(Shown(), Results{}) << "typing in the data edit";

    Calculate();
    Type(KeyEdit, L"k");
    EXPECT_EQ(Shown(), Results{}) << "typing in the key edit";

    Calculate();
    const Results before = Shown();
    ChooseFormat(DataFormat, TextFormat);  // the same format again
    EXPECT_EQ(Shown(), before);
    EXPECT_EQ(Text(DataEdit), L"abcd");

    ChooseFormat(DataFormat, HexFormat);
    EXPECT_EQ(Shown(), Results{}) << "another data format";
    EXPECT_EQ(Text(DataEdit), L"");

    Type(DataEdit, L"00");
    Calculate();
    ChooseFormat(KeyFormat, HexKey);
    EXPECT_EQ(Shown(), Results{}) << "another key format";
    EXPECT_EQ(Text(KeyEdit), L"");

    Calculate();
    ASSERT_NE(Shown(), Results{});
    Click(HmacBox);
    EXPECT_EQ(Shown(), Results{}) << "HMAC clicked";
}

TEST_F(DialogTest, BrowseButtonShowsOnlyInFileFormat) {
    Start();
    const RECT button = ScreenRect(BrowseButton);
    EXPECT_TRUE(Visible(BrowseButton));
    EXPECT_EQ(ScreenRect(DataEdit).right, button.left - 2);
    for (const int format : {TextFormat, HexFormat}) {
        ChooseFormat(DataFormat, format);
        EXPECT_FALSE(Visible(BrowseButton)) << "format " << format;
        EXPECT_EQ(ScreenRect(DataEdit).right, button.right) << "format " << format;
    }
    ChooseFormat(DataFormat, FileFormat);
    EXPECT_TRUE(Visible(BrowseButton));
    EXPECT_EQ(ScreenRect(DataEdit).right, button.left - 2);
}

// ---------------------------------------------------------------------------------------------
// Drop and browse

TEST_F(DialogTest, DropOfThreeFilesHashesTheLastInFileFormat) {
    const std::wstring first = WriteTestFile(L"drop 1.txt", "first");
    const std::wstring second = WriteTestFile(L"drop 2.txt", "second");
    const std::wstring third = WriteTestFile(L"drop 3 третий.txt", "third file");
    Start();
    ChooseFormat(DataFormat, TextFormat);
    Type(DataEdit, L"abc");
    Calculate();

    DropFiles({first, second, third});
    const Results expected = ExpectedPlain(DefaultTicks, "third file");
    EXPECT_TRUE(WaitUntil([&] { return Shown() == expected; })) << "the last file's digests did not appear";
    EXPECT_EQ(Selection(DataFormat), FileFormat);
    EXPECT_TRUE(Visible(BrowseButton));
    EXPECT_EQ(Text(DataEdit), third);

    // A name longer than 260 characters arrives whole; the length check then refuses it.
    const std::wstring long_name =
        TestDirectory() + std::wstring(150, L'd') + L"\\" + std::wstring(150, L'f');
    DropFiles({long_name});
    const HWND box = program_->WaitForOwnedDialog(dialog_);
    ASSERT_NE(box, nullptr) << "no message for the long name";
    EXPECT_EQ(TextOf(GetDlgItem(box, MessageBoxText)), PathTooLongText);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
    EXPECT_EQ(Text(DataEdit), long_name);
}

TEST_F(DialogTest, BrowseFillsTheDataValueWithoutCalculating) {
    const std::wstring earlier = WriteTestFile(L"earlier.txt", "earlier");
    const std::wstring chosen = WriteTestFile(L"chosen.txt", "chosen");
    Start();
    Type(DataEdit, earlier);
    Calculate();
    ASSERT_NE(Shown(), Results{});

    PostMessageW(Item(BrowseButton), BM_CLICK, 0, 0);  // opens a modal dialog: posted
    const HWND browser = program_->WaitForOwnedDialog(dialog_);
    ASSERT_NE(browser, nullptr) << "no open-file dialog";
    EXPECT_EQ(TextOf(browser), L"Find");
    SetTextOf(GetDlgItem(browser, FileNameCombo), chosen);
    PostMessageW(browser, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(browser); })) << "the open-file dialog did not close";

    EXPECT_TRUE(WaitUntil([&] { return Text(DataEdit) == chosen; }));
    EXPECT_EQ(Shown(), Results{});
    Sleep(500);  // a calculation would have filled them by now
    EXPECT_EQ(Shown(), Results{}) << "browsing does not calculate";
}

}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    // Text hashes as code page bytes and the texts are Chinese: anything but 936 tests
    // something else. Wine falls back to 1252 when the zh_CN.UTF-8 locale is missing.
    if (!GTEST_FLAG_GET(list_tests) && GetACP() != 936) {
        std::fprintf(stderr,
                     "The system code page is %u, not 936: run with LANG=zh_CN.UTF-8 (locales-all).\n",
                     GetACP());
        return 1;
    }
    return RUN_ALL_TESTS();
}
