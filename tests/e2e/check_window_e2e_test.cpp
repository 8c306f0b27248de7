// The checking window (Orvendal.exe /check SUMFILE) end to end: the rows and verdicts read back
// from its list, the summary, the copied report, Stop, its place kept, and the messages and exit
// status without a sum file to check. The digests are published ones: MD5 and SHA-256 of "abc"
// (RFC 1321, FIPS 180-2).
#include <map>

#include "dialog_fixture.h"

// After windows.h (dialog_fixture.h).
#include <commctrl.h>

using namespace e2e;

namespace {

const std::string AbcMd5 = "900150983cd24fb0d6963f7d28e17f72";
const std::string AbcSha256 = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";

const wchar_t CheckWindowRectValue[] = L"CheckWndRect";

class CheckWindowTest : public DialogTest {};

// On a display of twice the scale the controls have twice their size, the window lays
// itself out in what the system suggests, and back at the first scale all is where it was.
TEST_F(CheckWindowTest, FollowsAChangeOfDisplayScale) {
    StartCheck(WriteTestFile(L"scale.md5", AbcMd5 + "  gone.txt\n"));
    WaitForCheckSummary();
    const RECT window = WindowRect(dialog_);
    const std::map<HWND, RECT> before = ClientRects(dialog_);

    SendDpiChanged(
        *program_, dialog_, 192,
        RECT{window.left, window.top, window.left + 2 * Width(window), window.top + 2 * Height(window)});
    RECT client = {};
    GetClientRect(dialog_, &client);
    for (const auto& [control, now] : ClientRects(dialog_)) {
        SCOPED_TRACE(testing::Message() << "control " << GetDlgCtrlID(control));
        EXPECT_LE(now.right, client.right);
        EXPECT_LE(now.bottom, client.bottom);
        if (GetDlgCtrlID(control) != CheckList) {  // the list alone takes the height left
            EXPECT_EQ(Height(now), 2 * Height(before.at(control)));
        }
    }

    SendDpiChanged(*program_, dialog_, 96, window);
    for (const auto& [control, rect] : ClientRects(dialog_)) {
        EXPECT_TRUE(EqualRect(&rect, &before.at(control))) << "control " << GetDlgCtrlID(control);
    }
}

TEST_F(CheckWindowTest, ShowsEveryLinesVerdictAndCopiesTheReport) {
    const std::wstring folder = EmptyDirectory(L"核对 窗口");
    const auto write = [&](const std::wstring& name, const std::string& bytes) {
        const std::wstring path = folder + name;
        const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr);
        CloseHandle(file);
        return path;
    };
    write(L"abc.txt", "abc");
    write(L"改过.txt", "abd");
    ASSERT_TRUE(CreateDirectoryW((folder + L"a folder").c_str(), nullptr) ||
                GetLastError() == ERROR_ALREADY_EXISTS);
    const std::wstring sum_file =
        write(L"SHA256SUMS", "SHA256 (abc.txt) = " + AbcSha256 + "\n" + "MD5 (改过.txt) = " + AbcMd5 + "\n" +
                                 "CRC32C (abc.txt) = 1a2b3c4d\n" + AbcSha256 + "  gone.txt\n" + AbcSha256 +
                                 "  a folder\n" + "not a sum line\n");
    StartCheck(sum_file);
    EXPECT_EQ(WaitForCheckSummary(),
              L"核对了 5 项：一致 1，不一致 1，缺失 1，无法读取 1，不支持的算法 1，格式不正确的行 1。");
    EXPECT_EQ(CheckRows(), (std::vector<CheckRow>{
                               {L"abc.txt", L"SHA256", L"一致"},
                               {L"改过.txt", L"MD5", L"不一致"},
                               {L"abc.txt", L"CRC32C", L"不支持的算法"},
                               {L"gone.txt", L"SHA256", L"缺失"},
                               {L"a folder", L"SHA256", L"无法读取"},
                           }));
    EXPECT_TRUE(Text(CheckSpeed).starts_with(L"100%")) << "no progress line: " << Text(CheckSpeed);
    EXPECT_EQ(Send(Item(CheckProgress), PBM_GETPOS), 10000);
    EXPECT_FALSE(Enabled(CheckStop));
    TakeScreenshot(L"check-window");

    SetClipboardText(std::nullopt);
    Click(CheckCopy);
    EXPECT_EQ(ClipboardText().value_or(L"(none)"),
              L"abc.txt: OK\r\n"
              L"改过.txt: FAILED\r\n"
              L"gone.txt: FAILED open or read\r\n"
              L"a folder: FAILED open or read\r\n" +
                  Text(CheckSummary) + L"\r\n");

    // Its place is kept, beside the main dialog's.
    Close();
    const std::optional<std::wstring> place = StringValue(SettingsKey, CheckWindowRectValue);
    ASSERT_TRUE(place.has_value());
    EXPECT_TRUE(place->starts_with(L"t:")) << *place;
    EXPECT_FALSE(StringValue(SettingsKey, L"WndRect").has_value()) << "the main dialog's place was written";
    StartCheck(sum_file);
    RECT window = {};
    GetWindowRect(dialog_, &window);
    wchar_t shown[64];
    swprintf(shown, 64, L"t:%ldb:%ldl:%ldr:%ld", window.top, window.bottom, window.left, window.right);
    EXPECT_EQ(*place, shown) << "the window did not open where it was closed";
    WaitForCheckSummary();
}

TEST_F(CheckWindowTest, ReadsClearSignedAndUtf16SumFiles) {
    WriteTestFile(L"abc.txt", "abc");
    const std::wstring clear_signed =
        WriteTestFile(L"SHA256SUMS.txt", "-----BEGIN PGP SIGNED MESSAGE-----\nHash: SHA256\n\n" + AbcSha256 +
                                             "  abc.txt\n-----BEGIN PGP SIGNATURE-----\n\niQEz\n"
                                             "-----END PGP SIGNATURE-----\n");
    StartCheck(clear_signed);
    EXPECT_EQ(WaitForCheckSummary(), L"核对了 1 项：一致 1。其中的 OpenPGP 签名未验证。");
    EXPECT_EQ(CheckRows(), (std::vector<CheckRow>{{L"abc.txt", L"SHA256", L"一致"}}));
    Close();

    std::string utf16 = "\xFF\xFE";  // little endian, with its byte-order mark
    for (const char c : "MD5 (abc.txt) = " + AbcMd5 + "\r\n") {
        utf16 += c;
        utf16 += '\0';
    }
    StartCheck(WriteTestFile(L"utf16.md5", utf16));
    EXPECT_EQ(WaitForCheckSummary(), L"核对了 1 项：一致 1。");
    EXPECT_EQ(CheckRows(), (std::vector<CheckRow>{{L"abc.txt", L"MD5", L"一致"}}));
}

TEST_F(CheckWindowTest, StopLeavesTheRestUnchecked) {
    // Large enough that the check is still reading when Stop is clicked (sparse: no disk).
    const std::wstring folder = EmptyDirectory(L"stop");
    const std::wstring large = folder + L"large.bin";
    const HANDLE file = CreateFileW(large.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    LARGE_INTEGER size;
    size.QuadPart = LONGLONG(16) << 30;
    ASSERT_TRUE(SetFilePointerEx(file, size, nullptr, FILE_BEGIN) && SetEndOfFile(file));
    CloseHandle(file);
    // Two lines of one file: it is read once, and both are left unchecked.
    const std::wstring sum_file = WriteTestFile(
        L"stop.txt", "SHA256 (stop/large.bin) = " + AbcSha256 + "\nMD5 (stop/large.bin) = " + AbcMd5 + "\n");
    StartCheck(sum_file);
    ASSERT_TRUE(WaitUntil([&] { return Send(Item(CheckProgress), PBM_GETPOS) > 0; }, 30000)) << "no progress";
    EXPECT_NE(Text(CheckSpeed).find(L"剩余"), std::wstring::npos) << Text(CheckSpeed);
    Click(CheckStop);
    EXPECT_EQ(WaitForCheckSummary(), L"已停止，核对了 2 项：未核对 2。");
    EXPECT_LT(Send(Item(CheckProgress), PBM_GETPOS), 10000);
    EXPECT_EQ(CheckRows()[0].verdict, L"未核对");
    DeleteFileW(large.c_str());
}

TEST_F(CheckWindowTest, HelpButtonAndF1OpenTheHelpWindow) {
    StartCheck(WriteTestFile(L"help.md5", AbcMd5 + "  gone.txt\n"));
    WaitForCheckSummary();
    PostMessageW(Item(CheckHelp), BM_CLICK, 0, 0);  // may open a message box: posted
    HWND help = WaitForHelpWindow();
    ASSERT_NE(help, nullptr) << "no help window after the Help button";
    CloseHelpWindow(help);
    PostMessageW(Item(CheckList), WM_KEYDOWN, VK_F1, 0);
    help = WaitForHelpWindow();
    ASSERT_NE(help, nullptr) << "no help window after F1";
    CloseHelpWindow(help);
}

TEST_F(CheckWindowTest, WithoutASumFileToCheckAMessageAndExitStatusOne) {
    const Warning none = RunExpectingRefusal(L"/check", 1);
    EXPECT_EQ(none.title, L"Orvendal");
    EXPECT_TRUE(none.text.starts_with(L"请指定要核对的校验文件!")) << none.text;

    const std::wstring missing = TestDirectory() + L"no such SHA256SUMS";
    const Warning not_found = RunExpectingRefusal(L"/check " + Quoted(missing), 1);
    EXPECT_EQ(not_found.text, L"未能找到校验文件!\n\n" + Quoted(missing));

    const std::wstring empty = WriteTestFile(L"nothing.md5", "# only a comment\nnot a sum line\n");
    const Warning no_lines = RunExpectingRefusal(L"/check " + Quoted(empty), 1);
    EXPECT_EQ(no_lines.text, L"校验文件中没有可以核对的行!\n\n" + Quoted(empty));
}

}  // namespace
