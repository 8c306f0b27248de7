// The marks on Orvendal.exe's result fields, read from the screen: green for a digest the
// clipboard or a sum file beside the file expects, red for one a sum file contradicts, the usual
// background otherwise; marks surviving a repaint and going with their results. The input is
// "abc" throughout, whose digests are published: MD5 in RFC 1321, SHA-1 and SHA-256 in FIPS
// 180-4; CRC-32 is zlib's (crc32(b"abc")).
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>

#include "dialog_fixture.h"

using namespace e2e;

namespace {

constexpr int Sha1 = hashlib::AlgorithmSha1, Sha256 = hashlib::AlgorithmSha256,
              Crc32 = hashlib::AlgorithmCrc32;

const char AbcMd5[] = "900150983cd24fb0d6963f7d28e17f72";
const char AbcSha1[] = "a9993e364706816aba3e25717850c26c9cd0d89d";
const char AbcSha256[] = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
const char AbcCrc32[] = "352441c2";

const COLORREF Green = RGB(198, 239, 206);
const COLORREF Red = RGB(255, 199, 206);

std::string Upper(std::string text) {
    for (char& c : text) {
        c = char(std::toupper(uint8_t(c)));
    }
    return text;
}

std::wstring Wide(const std::string& ascii) {
    return std::wstring(ascii.begin(), ascii.end());
}

// What a field shows, by name, for readable failures.
std::string ColourName(COLORREF colour, COLORREF usual) {
    if (colour == Green) {
        return "green";
    }
    if (colour == Red) {
        return "red";
    }
    if (colour == usual) {
        return "usual";
    }
    char text[16];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", GetRValue(colour), GetGValue(colour),
                  GetBValue(colour));
    return text;
}

// The colour most of a window's inside shows on the screen: a result field's background, which
// covers far more of it than the text does. The border is left out.
COLORREF ShownBackground(HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    InflateRect(&rect, -3, -3);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) {
        return CLR_INVALID;
    }
    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const HBITMAP picture = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HGDIOBJ before = SelectObject(memory, picture);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    GdiFlush();
    std::map<uint32_t, int> counts;
    const auto* pixels = static_cast<const uint32_t*>(bits);
    for (int i = 0; i < width * height; ++i) {
        ++counts[pixels[i] & 0xFFFFFF];  // 0x00RRGGBB
    }
    SelectObject(memory, before);
    DeleteObject(picture);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    const auto most = std::max_element(counts.begin(), counts.end(),
                                       [](const auto& a, const auto& b) { return a.second < b.second; });
    const uint32_t pixel = most->first;
    return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}

class MarksTest : public DialogTest {
  protected:
    void SetUp() override {
        DialogTest::SetUp();
        SetClipboardText(std::nullopt);  // no digest left there by another test
    }
    void TearDown() override {
        DialogTest::TearDown();
        SetClipboardText(std::nullopt);
    }

    // Expects the visible rows to show `marked` (Green or Red) and the others the usual
    // background, as the program paints them of its own accord.
    void ExpectMarks(const std::map<int, COLORREF>& marked, const char* when) {
        const COLORREF usual = GetSysColor(COLOR_3DFACE);  // a read-only edit's own background
        std::map<int, std::string> wanted, shown;
        for (const Row& row : Rows) {
            if (Visible(row.result)) {
                const int id = row.algorithm;
                wanted[id] = ColourName(marked.count(id) != 0 ? marked.at(id) : usual, usual);
            }
        }
        // The program paints when its queue is empty, and the display shows it a little later:
        // a moment for both, so no colour is read from before the change, then until it shows.
        Sleep(500);
        WaitUntil(
            [&] {
                for (const auto& [id, name] : wanted) {
                    shown[id] = ColourName(ShownBackground(Item(RowOf(id).result)), usual);
                }
                return shown == wanted;
            },
            5000);
        EXPECT_EQ(shown, wanted) << when << " (by Algorithm identifier)";
    }

    // Calculates the file `path` as typed into the data edit.
    void CalculateFile(const std::wstring& path) {
        Type(DataEdit, path);
        Calculate();
        EXPECT_EQ(Shown()[Sha256], Wide(AbcSha256)) << "the file was not hashed";
    }
};

TEST_F(MarksTest, SumFilesBesideTheFileMarkTheirAlgorithmsRows) {
    // MD5, SHA-1, SHA-256, RIPEMD-160 and CRC-32 ticked, by the stored settings: HMAC first, then
    // each algorithm.
    SetStringValue(SettingsKey, L"CheckBoxes", L"01011001000010");
    const std::wstring folder = EmptyDirectory(L"marks");
    const std::wstring file = WriteTestFile(L"marks\\abc.txt", "abc");
    WriteTestFile(L"marks\\abc.txt.sha256", Upper(AbcSha256) + "  abc.txt\n");
    WriteTestFile(L"marks\\abc.txt.sha1", std::string(AbcSha256, 40) + " *abc.txt\n");  // wrong
    WriteTestFile(L"marks\\abc.txt.sfv", "; written by hand\r\nABC.TXT 352441C2\r\n");
    WriteTestFile(L"marks\\MD5SUMS", std::string(AbcMd5) + "  other.txt\n");  // another file's

    Start(Quoted(file));  // calculated at once
    ASSERT_TRUE(WaitForCalculation());
    EXPECT_EQ(Shown()[Crc32], Wide(AbcCrc32));
    const std::map<int, COLORREF> marked = {{Sha1, Red}, {Sha256, Green}, {Crc32, Green}};
    ExpectMarks(marked, "at start");
    // In words too, for those who cannot tell the colours apart.
    EXPECT_EQ(Text(StatusText),
              L"SHA1 与 abc.txt.sha1 不一致；SHA256 与 abc.txt.sha256 一致；CRC32 与 abc.txt.sfv 一致");
    TakeScreenshot(L"dialog-marks");

    // Widened: every field moves and is painted again, marks and all.
    RECT window = {};
    GetWindowRect(dialog_, &window);
    const LONG width_before = ScreenRect(RowOf(Sha256).result).right - ScreenRect(RowOf(Sha256).result).left;
    SetWindowPos(dialog_, nullptr, window.left, window.top, window.right - window.left + 80,
                 window.bottom - window.top, SWP_NOZORDER | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS);
    EXPECT_TRUE(WaitUntil([&] {
        const RECT field = ScreenRect(RowOf(Sha256).result);
        return field.right - field.left == width_before + 80;
    }));
    ExpectMarks(marked, "after widening");

    // A wrong NAME.sha256.
    const std::wstring wrong = EmptyDirectory(L"marks wrong") + L"abc.txt";
    WriteTestFile(L"marks wrong\\abc.txt", "abc");
    WriteTestFile(L"marks wrong\\abc.txt.sha256", std::string(64, 'b') + "  abc.txt\n");
    CalculateFile(wrong);
    ExpectMarks({{Sha256, Red}}, "a wrong abc.txt.sha256");

    // A SHA256SUMS that lists other files only, one of them below the folder.
    const std::wstring others = EmptyDirectory(L"marks others") + L"abc.txt";
    WriteTestFile(L"marks others\\abc.txt", "abc");
    WriteTestFile(L"marks others\\SHA256SUMS",
                  std::string(AbcSha256) + "  abc.txt.bak\n" + std::string(64, 'c') + "  sub/abc.txt\n");
    CalculateFile(others);
    ExpectMarks({}, "a SHA256SUMS of other files");
    EXPECT_EQ(Text(StatusText), L"") << "nothing marked, nothing said";

    // A sum file held open by another program, and a malformed one: no mark and no message (the
    // held one would have marked SHA-256 green).
    const std::wstring unreadable = EmptyDirectory(L"marks unreadable") + L"abc.txt";
    WriteTestFile(L"marks unreadable\\abc.txt", "abc");
    const std::wstring held =
        WriteTestFile(L"marks unreadable\\abc.txt.sha256", std::string(AbcSha256) + "  abc.txt\n");
    WriteTestFile(L"marks unreadable\\SHA1SUMS",
                  std::string("\xff\xfe\0garbage\n(abc.txt) =\n", 23) + std::string(AbcSha1) + " abc.txt\n");
    const HANDLE holder = CreateFileW(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    CalculateFile(unreadable);  // fails the test on any message
    CloseHandle(holder);
    ExpectMarks({}, "an unreadable and a malformed sum file");
}

TEST_F(MarksTest, ClipboardDigestMarksItsRowUntilTheResultGoes) {
    Start();
    ChooseFormat(DataFormat, TextFormat);
    Type(DataEdit, L"abc");
    const std::string sha1 = Upper(AbcSha1);  // in upper case and groups, as some pages show it
    SetClipboardText(L" \t" + Wide(sha1.substr(0, 8) + " " + sha1.substr(8, 12) + "  " + sha1.substr(20)) +
                     L"\r\n");
    Calculate();
    ExpectMarks({{Sha1, Green}}, "text, with the SHA-1 on the clipboard");

    Click(RowOf(Sha1).check_box);  // unticked: the result goes, and its mark
    ExpectMarks({}, "SHA-1 unticked");
    Click(RowOf(Sha1).check_box);
    Calculate();
    ExpectMarks({{Sha1, Green}}, "calculated again");
    Type(DataEdit, L"abcd");  // every result is cleared
    ExpectMarks({}, "the results cleared");

    // The same results again, with text on the clipboard that is no digest: the mark goes.
    Type(DataEdit, L"abc");
    Calculate();
    ExpectMarks({{Sha1, Green}}, "calculated once more");
    SetClipboardText(L"SHA1 " + Wide(AbcSha1));
    Calculate();
    ExpectMarks({}, "text that is no digest on the clipboard");
}

}  // namespace
