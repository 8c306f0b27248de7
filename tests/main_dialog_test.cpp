// The main dialog's logic over a fake of its controls: the defaults and initialisation, what
// each handler does to the values and the controls, and the Calculate command as the dialog
// runs it (which bytes reach the engine, where the results and messages go). Digests are the
// library's own, already checked against published vectors and an independent implementation;
// here they only tell which bytes were hashed. The calculation in the background is driven step
// by step: the fake runs the work when the test says, and a filter over the input lets the test
// act while the file is being read.
#include "ui/main_dialog.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "engine_support.h"
#include "fake_dialog_controls.h"
#include "temp_dir.h"
#include "test_support.h"
#include "ui/calculation_progress.h"
#include "ui/resource.h"

using ui::DialogRowCount;
using ui::DialogRows;

namespace {

constexpr int FileFormat = 0, TextFormat = 1, HexFormat = 2;
constexpr int TextKey = 0, HexKey = 1;

std::wstring Widen(const std::string& ascii) {
    return std::wstring(ascii.begin(), ascii.end());
}

// The row that offers the algorithm.
constexpr size_t RowOf(int algorithm) {
    return size_t(ui::DialogRowOf(algorithm));
}

std::wstring DigestOf(int algorithm, const std::string& bytes) {
    auto object = hashlib::CreateDigestObject(algorithm);
    object->Update(bytes.data(), uint32_t(bytes.size()));
    return Widen(HexDigestOf(*object));
}

// A file in the temporary directory, removed again at the end of the test.
class TempFile {
  public:
    TempFile(const std::filesystem::path& name, const std::string& content)
        : path_(std::filesystem::temp_directory_path() / name) {
        std::ofstream(path_, std::ios::binary) << content;
    }
    ~TempFile() { std::filesystem::remove(path_); }
    // Decoded here: the library's own conversion follows the C locale on POSIX.
    std::wstring name() const {
        const std::u8string utf8 = path_.u8string();
        return FakeDialogControls::DecodeUtf8(std::string(utf8.begin(), utf8.end()));
    }

  private:
    std::filesystem::path path_;
};

class MainDialogTest : public testing::Test {
  protected:
    // The results the dialog should show for `bytes` with its current ticks and no HMAC.
    std::array<std::wstring, DialogRowCount> PlainResults(const std::string& bytes) {
        std::array<std::wstring, DialogRowCount> results;
        for (size_t row = 0; row < DialogRowCount; ++row) {
            if (controls[DialogRows[row].check_box].checked) {
                results[row] = DigestOf(DialogRows[row].algorithm, bytes);
            }
        }
        return results;
    }

    std::array<std::wstring, DialogRowCount> ShownResults() {
        std::array<std::wstring, DialogRowCount> results;
        for (size_t row = 0; row < DialogRowCount; ++row) {
            results[row] = controls[DialogRows[row].result].text;
        }
        return results;
    }

    ui::ResultMarks ShownMarks() {
        ui::ResultMarks marks{};
        for (size_t row = 0; row < DialogRowCount; ++row) {
            marks[row] = controls[DialogRows[row].result].mark;
        }
        return marks;
    }

    void ShowInResults(const std::wstring& text) {
        for (const ui::DialogRow& row : ui::DialogRows) {
            controls[row.result].text = text;
        }
    }

    void Untick(int check_box) {
        if (controls[check_box].checked) {
            controls.Click(check_box);
        }
    }

    void Calculate(int format, const std::wstring& data) {
        controls.Choose(IDC_DATA_FORMAT, format);
        controls.Type(IDC_DATA_VALUE, data);
        dialog.OnCalculate();
    }

    ui::MainDialog dialog;
    FakeDialogControls controls{dialog};
};

TEST_F(MainDialogTest, OpensWithTheDefaults) {
    controls.Initialise();

    for (size_t row = 0; row < DialogRowCount; ++row) {
        const int id = DialogRows[row].algorithm;
        const bool ticked = id == hashlib::AlgorithmMd5 || id == hashlib::AlgorithmSha1 ||
                            id == hashlib::AlgorithmRipemd160 || id == hashlib::AlgorithmCrc32;
        EXPECT_EQ(controls[DialogRows[row].check_box].checked, ticked) << "row " << row;
        EXPECT_TRUE(controls[DialogRows[row].check_box].visible) << "row " << row;
    }
    EXPECT_FALSE(controls[IDC_HMAC].checked);
    EXPECT_EQ(controls[IDC_DATA_FORMAT].selection, FileFormat);
    EXPECT_EQ(controls[IDC_KEY_FORMAT].selection, TextKey);
    EXPECT_EQ(dialog.values.data_format, FileFormat);
    EXPECT_EQ(dialog.values.key_format, TextKey);
    EXPECT_FALSE(controls[IDC_KEY_FORMAT].enabled);
    EXPECT_FALSE(controls[IDC_KEY_VALUE].enabled);
    EXPECT_TRUE(controls[IDC_BROWSE].visible);
    EXPECT_EQ(controls[IDC_DATA_VALUE].bounds.right, controls[IDC_BROWSE].bounds.left - 2);
    EXPECT_EQ(ShownResults(), decltype(ShownResults()){});
    EXPECT_TRUE(controls.warnings.empty());
    EXPECT_EQ(controls.works_started, 0) << "nothing is calculated without a file name";
    EXPECT_EQ(controls[ui::CalculateCommand].text, ui::CalculateCaption);
    EXPECT_FALSE(controls[IDC_PROGRESS_BAR].visible);
}

TEST_F(MainDialogTest, StoredFormatIndicesApplyOnlyWhenInRange) {
    dialog.stored_data_format = HexFormat;
    dialog.stored_key_format = HexKey;
    controls.Initialise();
    EXPECT_EQ(controls[IDC_DATA_FORMAT].selection, HexFormat);
    EXPECT_EQ(controls[IDC_KEY_FORMAT].selection, HexKey);
    EXPECT_FALSE(controls[IDC_BROWSE].visible);
    EXPECT_EQ(controls[IDC_DATA_VALUE].bounds.right, controls[IDC_BROWSE].bounds.right);

    ui::MainDialog other;
    other.stored_data_format = 3;
    other.stored_key_format = -1;
    FakeDialogControls other_controls(other);
    other_controls[IDC_DATA_FORMAT].selection = TextFormat;
    other_controls.Initialise();
    EXPECT_EQ(other_controls[IDC_DATA_FORMAT].selection, TextFormat);
    EXPECT_EQ(other_controls[IDC_KEY_FORMAT].selection, -1);
}

TEST_F(MainDialogTest, CommandLineFileIsHashedInFileFormatAtOnce) {
    const TempFile file("orvendal dialog test.txt", "The quick brown fox");
    dialog.stored_data_format = TextFormat;  // File format is chosen whatever was stored
    dialog.values.data_value = file.name() + L"  ";
    controls.Initialise();

    EXPECT_TRUE(controls.warnings.empty());
    EXPECT_EQ(controls[IDC_DATA_FORMAT].selection, FileFormat);
    EXPECT_TRUE(controls[IDC_BROWSE].visible);
    EXPECT_EQ(ShownResults(), PlainResults("The quick brown fox"));
    EXPECT_EQ(controls[IDC_DATA_VALUE].text, file.name()) << "the trimmed name is shown after success";
    EXPECT_EQ(controls.works_started, 1);
}

TEST_F(MainDialogTest, FileNamesOutsideTheCodePageAreOpenedByTheirUnicodeName) {
    const TempFile file(u8"Файл проверки.txt", "abc");
    dialog.values.data_value = file.name();
    controls.Initialise();
    EXPECT_TRUE(controls.warnings.empty());
    EXPECT_EQ(ShownResults(), PlainResults("abc"));
}

TEST_F(MainDialogTest, TextIsHashedAsCodePageBytesAndShownAsTyped) {
    controls.Initialise();
    Calculate(TextFormat, L"abc");
    EXPECT_EQ(controls[IDC_MD5_RESULT].text, L"900150983cd24fb0d6963f7d28e17f72");           // RFC 1321
    EXPECT_EQ(controls[IDC_SHA1_RESULT].text, L"a9993e364706816aba3e25717850c26c9cd0d89d");  // FIPS 180
    EXPECT_EQ(ShownResults(), PlainResults("abc"));

    Calculate(TextFormat, L"\u00e9\u0416");  // é is in the fake's code page, Ж is not
    EXPECT_EQ(ShownResults(), PlainResults("\xe9?"));
    EXPECT_EQ(controls[IDC_DATA_VALUE].text, L"\u00e9\u0416");

    Calculate(TextFormat, L"");
    EXPECT_EQ(controls[IDC_MD5_RESULT].text, L"d41d8cd98f00b204e9800998ecf8427e");  // RFC 1321
    EXPECT_TRUE(controls.warnings.empty());
}

TEST_F(MainDialogTest, HexInputLosesItsSpacesAndKeepsItsResults) {
    controls.Initialise();
    Calculate(HexFormat, L"61 62 63");
    EXPECT_TRUE(controls.warnings.empty());
    EXPECT_EQ(ShownResults(), PlainResults("abc"));
    EXPECT_EQ(controls[IDC_DATA_VALUE].text, L"616263");

    Calculate(HexFormat, L"   ");  // only spaces: the empty message
    EXPECT_EQ(ShownResults(), PlainResults(""));
    EXPECT_EQ(controls[IDC_DATA_VALUE].text, L"");
}

// What the journal shows of the request's controls disabled, or enabled again, without HMAC (the
// key controls are disabled then anyway).
std::vector<std::string> InputsTurned(const std::string& how) {
    std::vector<std::string> steps;
    for (const int id : {IDC_DATA_FORMAT, IDC_DATA_VALUE, IDC_BROWSE, IDC_HMAC}) {
        steps.push_back(how + " " + std::to_string(id));
    }
    for (const ui::DialogRow& row : ui::DialogRows) {
        steps.push_back(how + " " + std::to_string(row.check_box));
    }
    return steps;
}

// A calculation from its start to its end as the journal shows it, before its outcome: the
// inputs disabled, the progress timer and the work started, then, the work done, the timer and
// the progress bar gone and the inputs enabled again.
std::vector<std::string> CalculationJournal() {
    std::vector<std::string> steps = InputsTurned("disable");
    for (const char* step : {"timer on", "start work", "work done", "timer off", "no progress"}) {
        steps.push_back(step);
    }
    for (const std::string& step : InputsTurned("enable")) {
        steps.push_back(step);
    }
    return steps;
}

struct Refusal {
    const char* name;
    int format;
    std::wstring data;
    bool hmac;
    int key_format;
    std::wstring key;
    std::vector<int> ticks;  // empty: the defaults
    int message;
    int focus;
};

// Named in test listings by its case name alone.
void PrintTo(const Refusal& refusal, std::ostream* out) {
    *out << refusal.name;
}

class CalculateRefusalTest : public MainDialogTest, public testing::WithParamInterface<Refusal> {};

TEST_P(CalculateRefusalTest, ShowsItsMessageMovesTheFocusAndKeepsTheResults) {
    const Refusal& refusal = GetParam();
    controls.Initialise();
    if (!refusal.ticks.empty()) {
        for (const ui::DialogRow& row : ui::DialogRows) {
            Untick(row.check_box);
        }
        for (const int box : refusal.ticks) {
            controls.Click(box);
        }
    }
    if (refusal.hmac) {
        controls.Click(IDC_HMAC);
        controls.Choose(IDC_KEY_FORMAT, refusal.key_format);
        controls.Type(IDC_KEY_VALUE, refusal.key);
    }
    controls.Choose(IDC_DATA_FORMAT, refusal.format);
    controls.Type(IDC_DATA_VALUE, refusal.data);
    ShowInResults(L"earlier result");

    dialog.OnCalculate();

    EXPECT_EQ(controls.warnings, std::vector<int>{refusal.message});
    EXPECT_EQ(controls.focus, refusal.focus);
    for (const std::wstring& result : ShownResults()) {
        EXPECT_EQ(result, L"earlier result");
    }
    EXPECT_EQ(controls[IDC_DATA_VALUE].text, refusal.data) << "the edits keep what was typed";
    EXPECT_EQ(controls[IDC_KEY_VALUE].text, refusal.hmac ? refusal.key : L"");
}

std::wstring MissingPath(const char* tail) {
    const std::u8string utf8 = (std::filesystem::temp_directory_path() / tail).u8string();
    return FakeDialogControls::DecodeUtf8(std::string(utf8.begin(), utf8.end()));
}

INSTANTIATE_TEST_SUITE_P(
    Messages, CalculateRefusalTest,
    testing::Values(
        Refusal{"EmptyPath", FileFormat, L"", false, 0, L"", {}, IDS_SELECT_FILE, IDC_DATA_VALUE},
        Refusal{"BlankPath", FileFormat, L" \t ", false, 0, L"", {}, IDS_SELECT_FILE, IDC_DATA_VALUE},
        Refusal{"PathOver260",
                FileFormat,
                L"no-dir/" + std::wstring(254, L'x'),
                false,
                0,
                L"",
                {},
                IDS_PATH_TOO_LONG,
                IDC_DATA_VALUE},
        Refusal{"PathOf260Tried",
                FileFormat,
                L"no-dir/" + std::wstring(253, L'x'),
                false,
                0,
                L"",
                {},
                IDS_CANNOT_OPEN,
                IDC_DATA_VALUE},
        Refusal{"MissingFile",
                FileFormat,
                MissingPath("orvendal-no-such-file.txt"),
                false,
                0,
                L"",
                {},
                IDS_CANNOT_OPEN,
                IDC_DATA_VALUE},
        Refusal{"MissingDirectory",
                FileFormat,
                MissingPath("orvendal-no-such-dir/file.txt"),
                false,
                0,
                L"",
                {},
                IDS_CANNOT_OPEN,
                IDC_DATA_VALUE},
        Refusal{"HexOddLength", HexFormat, L"61 6", false, 0, L"", {}, IDS_HEX_ODD_LENGTH, IDC_DATA_VALUE},
        Refusal{"HexIllegalChar", HexFormat, L"6 g", false, 0, L"", {}, IDS_HEX_ILLEGAL_CHAR, IDC_DATA_VALUE},
        Refusal{"HexKeyOddLength",
                TextFormat,
                L"abc",
                true,
                HexKey,
                L"4a 6",
                {},
                IDS_HEX_ODD_LENGTH,
                IDC_KEY_VALUE},
        Refusal{"HexKeyIllegalChar",
                TextFormat,
                L"abc",
                true,
                HexKey,
                L"4x",
                {},
                IDS_HEX_ILLEGAL_CHAR,
                IDC_KEY_VALUE},
        Refusal{"OnlyUnkeyableUnderHmac",
                TextFormat,
                L"abc",
                true,
                TextKey,
                L"k",
                {IDC_MD2, IDC_ADLER32, IDC_CRC32, IDC_EDONKEY},
                IDS_SELECT_ALGORITHM,
                IDC_MD2}),
    [](const testing::TestParamInfo<Refusal>& info) { return std::string(info.param.name); });

TEST_F(MainDialogTest, NothingTickedAsksForAnAlgorithm) {
    controls.Initialise();
    for (const ui::DialogRow& row : ui::DialogRows) {
        Untick(row.check_box);
    }
    Calculate(TextFormat, L"abc");
    EXPECT_EQ(controls.warnings, std::vector<int>{IDS_SELECT_ALGORITHM});
    EXPECT_EQ(controls.focus, IDC_MD2);
}

TEST_F(MainDialogTest, FailedCommandKeepsTheCleanedValuesOnlyInTheRecord) {
    controls.Initialise();
    Calculate(HexFormat, L"6 g");
    EXPECT_EQ(dialog.values.data_value, L"6g");
    EXPECT_EQ(controls[IDC_DATA_VALUE].text, L"6 g");
}

TEST_F(MainDialogTest, HmacModeHidesTheUnkeyableRowsAndEnablesTheKey) {
    controls.Initialise();
    Calculate(TextFormat, L"abc");
    controls.Click(IDC_HMAC);

    EXPECT_TRUE(controls[IDC_KEY_FORMAT].enabled);
    EXPECT_TRUE(controls[IDC_KEY_VALUE].enabled);
    for (size_t row = 0; row < DialogRowCount; ++row) {
        const bool shown = row < RowOf(hashlib::AlgorithmMd2);  // MD5 to TIGER
        EXPECT_EQ(controls[DialogRows[row].check_box].visible, shown) << "row " << row;
        EXPECT_EQ(controls[DialogRows[row].result].visible, shown) << "row " << row;
    }
    EXPECT_FALSE(controls[IDC_EDONKEY_LINE_ABOVE].visible);
    EXPECT_FALSE(controls[IDC_EDONKEY_LINE_BELOW].visible);
    EXPECT_TRUE(controls[IDC_CRC32].checked) << "a hidden row keeps its tick";
    EXPECT_EQ(ShownResults(), decltype(ShownResults()){});

    controls.Click(IDC_HMAC);
    EXPECT_FALSE(controls[IDC_KEY_VALUE].enabled);
    EXPECT_TRUE(controls[IDC_CRC32].visible);
    EXPECT_TRUE(controls[IDC_EDONKEY_LINE_ABOVE].visible);
}

TEST_F(MainDialogTest, HmacResultsAreKeyedAndLeaveTheUnkeyableRowsEmpty) {
    controls.Initialise();
    controls.Click(IDC_HMAC);
    controls.Type(IDC_KEY_VALUE, L"Jefe");
    Calculate(TextFormat, L"what do ya want for nothing?");
    // RFC 2202, test case 2.
    EXPECT_EQ(controls[IDC_MD5_RESULT].text, L"750c783e6ab0b503eaa86e310a5db738");
    EXPECT_EQ(controls[IDC_SHA1_RESULT].text, L"effcdf6ae5eb2fa2d27416d5f184df9c259a7c79");
    EXPECT_EQ(controls[IDC_RIPEMD160_RESULT].text.size(), 40u);
    EXPECT_EQ(controls[IDC_CRC32_RESULT].text, L"") << "ticked but not keyable";

    controls.Choose(IDC_KEY_FORMAT, HexKey);
    controls.Type(IDC_KEY_VALUE, L"4a 65 66 65");  // "Jefe"
    Calculate(TextFormat, L"what do ya want for nothing?");
    EXPECT_EQ(controls[IDC_MD5_RESULT].text, L"750c783e6ab0b503eaa86e310a5db738");
    EXPECT_EQ(controls[IDC_KEY_VALUE].text, L"4a656665");
    EXPECT_TRUE(controls.warnings.empty());
}

TEST_F(MainDialogTest, ResultsAreClearedWhenTheirInputChanges) {
    controls.Initialise();
    controls.Click(IDC_SHA256);
    Calculate(TextFormat, L"abc");
    const auto full = ShownResults();

    controls.Click(IDC_MD5);  // untick: only its own result goes
    auto expected = full;
    expected[RowOf(hashlib::AlgorithmMd5)].clear();
    EXPECT_EQ(ShownResults(), expected);
    controls.Click(IDC_MD4);  // tick: nothing changes
    EXPECT_EQ(ShownResults(), expected);

    controls.Click(IDC_MD5);
    dialog.OnCalculate();
    controls.Type(IDC_DATA_VALUE, L"abcd");
    EXPECT_EQ(ShownResults(), decltype(ShownResults()){}) << "typing in the data edit";

    dialog.OnCalculate();
    controls.Type(IDC_KEY_VALUE, L"k");
    EXPECT_EQ(ShownResults(), decltype(ShownResults()){}) << "typing in the key edit";

    dialog.OnCalculate();
    const auto before = ShownResults();
    controls.Choose(IDC_DATA_FORMAT, TextFormat);  // the same format again
    EXPECT_EQ(ShownResults(), before);
    EXPECT_EQ(controls[IDC_DATA_VALUE].text, L"abcd");

    controls.Choose(IDC_DATA_FORMAT, HexFormat);
    EXPECT_EQ(ShownResults(), decltype(ShownResults()){}) << "another data format";
    EXPECT_EQ(controls[IDC_DATA_VALUE].text, L"");

    controls.Type(IDC_DATA_VALUE, L"00");
    dialog.OnCalculate();
    controls.Choose(IDC_KEY_FORMAT, HexKey);
    EXPECT_EQ(ShownResults(), decltype(ShownResults()){}) << "another key format";
    EXPECT_EQ(controls[IDC_KEY_VALUE].text, L"");

    dialog.OnCalculate();
    EXPECT_NE(ShownResults(), decltype(ShownResults()){});
    controls.Choose(IDC_KEY_FORMAT, HexKey);  // the same key format again
    EXPECT_NE(ShownResults(), decltype(ShownResults()){});
    controls.Click(IDC_HMAC);
    EXPECT_EQ(ShownResults(), decltype(ShownResults()){}) << "HMAC clicked";
    EXPECT_TRUE(controls.warnings.empty());
}

TEST_F(MainDialogTest, ExpectedDigestsMarkTheResultsTheyGoWith) {
    using ui::ResultMark;
    constexpr size_t Md5 = RowOf(hashlib::AlgorithmMd5), Sha1 = RowOf(hashlib::AlgorithmSha1),
                     Crc32 = RowOf(hashlib::AlgorithmCrc32);
    // "abc": MD5 from RFC 1321, CRC-32 from zlib; the SHA-1 listed is wrong.
    const TempDir folder;
    const std::wstring file = FakeDialogControls::DecodeUtf8(folder.Write("download.bin", "abc"));
    folder.Write("MD5SUMS", "900150983cd24fb0d6963f7d28e17f72 *DOWNLOAD.BIN\n");
    folder.Write("download.bin.sha1", std::string(40, '0') + "  download.bin\n");
    controls.clipboard = L" 3524 41C2\r\n";
    controls.Initialise();
    controls.Click(IDC_SHA256);  // nothing is expected of it

    Calculate(FileFormat, file);
    ui::ResultMarks marked{};
    marked[Md5] = ResultMark::Match;
    marked[Sha1] = ResultMark::Mismatch;
    marked[Crc32] = ResultMark::Match;
    EXPECT_EQ(ShownMarks(), marked);
    EXPECT_EQ(ShownResults(), PlainResults("abc")) << "marks change no result";
    EXPECT_TRUE(controls.warnings.empty());
    // And in words: the status text names every mark, each marked field's tip its own.
    EXPECT_EQ(controls[IDC_STATUS_TEXT].text,
              L"SHA1 与 download.bin.sha1 不一致；MD5 与 MD5SUMS 一致；CRC32 与剪贴板一致");
    EXPECT_EQ(controls[IDC_SHA1_RESULT].tip, L"SHA1 与 download.bin.sha1 不一致");
    EXPECT_EQ(controls[IDC_CRC32_RESULT].tip, L"CRC32 与剪贴板一致");
    EXPECT_EQ(controls[IDC_SHA256_RESULT].tip, L"") << "unmarked: nothing to say";

    std::filesystem::remove(PathFromUtf8(folder.Path("download.bin")));
    dialog.OnCalculate();  // fails with its message: results and marks stay
    EXPECT_EQ(controls.warnings, std::vector<int>{IDS_CANNOT_OPEN});
    EXPECT_EQ(ShownResults(), PlainResults("abc"));
    EXPECT_EQ(ShownMarks(), marked);

    controls.Click(IDC_MD5);  // unticked: its result and its mark go
    marked[Md5] = ResultMark::None;
    EXPECT_EQ(ShownMarks(), marked);
    EXPECT_EQ(controls[IDC_MD5_RESULT].tip, L"");
    EXPECT_EQ(controls[IDC_STATUS_TEXT].text, L"SHA1 与 download.bin.sha1 不一致；CRC32 与剪贴板一致");
    controls[IDC_CRC32_RESULT].text = L"900150983cd24fb0d6963f7d28e17f72";  // written from outside
    dialog.ControlsToState();
    dialog.StateToControls();
    marked[Crc32] = ResultMark::None;
    EXPECT_EQ(ShownMarks(), marked) << "a mark stays only with the text it was given for";

    // Under HMAC the sum files, which list plain digests, are not read (the zeros listed for SHA-1
    // would make it a mismatch); the clipboard still counts. RFC 2202, test case 2.
    folder.Write("download.bin", "what do ya want for nothing?");
    controls.Click(IDC_HMAC);
    EXPECT_EQ(ShownMarks(), ui::ResultMarks{});
    controls.Type(IDC_KEY_VALUE, L"Jefe");
    controls.clipboard = L"effcdf6ae5eb2fa2d27416d5f184df9c259a7c79";
    dialog.OnCalculate();
    marked = {};
    marked[Sha1] = ResultMark::Match;
    EXPECT_EQ(ShownMarks(), marked);

    // Text input: the clipboard only. Another format, or a new Calculate, takes the mark away.
    controls.Click(IDC_HMAC);
    controls.clipboard = L"a9993e364706816aba3e25717850c26c9cd0d89d";  // FIPS 180-4
    Calculate(TextFormat, L"abc");
    EXPECT_EQ(ShownMarks(), marked);
    controls.Choose(IDC_DATA_FORMAT, HexFormat);
    EXPECT_EQ(ShownMarks(), ui::ResultMarks{});
    EXPECT_EQ(controls[IDC_STATUS_TEXT].text, L"") << "cleared with the results";
    Calculate(TextFormat, L"abc");
    EXPECT_EQ(ShownMarks(), marked);
    controls.clipboard.reset();  // none, or it could not be opened
    dialog.OnCalculate();
    EXPECT_EQ(ShownMarks(), ui::ResultMarks{});
    EXPECT_EQ(controls.warnings, std::vector<int>{IDS_CANNOT_OPEN}) << "only the failed Calculate's";
}

TEST_F(MainDialogTest, BrowseFillsTheDataValueWithoutCalculating) {
    controls.Initialise();
    ShowInResults(L"earlier result");
    controls.file_to_choose.reset();
    dialog.OnBrowse();
    EXPECT_EQ(ShownResults()[0], L"earlier result") << "cancelled: nothing changes";

    controls.file_to_choose = L"C:\\Data\\chosen file.bin";
    dialog.OnBrowse();
    EXPECT_EQ(controls.file_dialogs, 2);
    EXPECT_EQ(controls[IDC_DATA_VALUE].text, L"C:\\Data\\chosen file.bin");
    EXPECT_EQ(ShownResults(), decltype(ShownResults()){});
    EXPECT_EQ(controls.works_started, 0) << "browsing does not calculate";
}

TEST_F(MainDialogTest, DroppedFileSwitchesToFileFormatAndCalculates) {
    const TempFile file("orvendal dropped.bin", std::string("\0\x01\x02", 3));
    controls.Initialise();
    Calculate(TextFormat, L"abc");

    dialog.OnFileDropped(file.name());
    EXPECT_EQ(controls[IDC_DATA_FORMAT].selection, FileFormat);
    EXPECT_TRUE(controls[IDC_BROWSE].visible);
    EXPECT_EQ(controls[IDC_DATA_VALUE].bounds.right, controls[IDC_BROWSE].bounds.left - 2);
    EXPECT_EQ(controls[IDC_DATA_VALUE].text, file.name());
    EXPECT_EQ(ShownResults(), PlainResults(std::string("\0\x01\x02", 3)));

    dialog.OnFileDropped(MissingPath("orvendal-not-there.bin"));
    EXPECT_EQ(controls.warnings, std::vector<int>{IDS_CANNOT_OPEN});
    EXPECT_EQ(controls.focus, IDC_DATA_VALUE);
    EXPECT_EQ(ShownResults(), decltype(ShownResults()){}) << "the drop cleared them before calculating";
}

TEST_F(MainDialogTest, CountsOnlyTheRowsACalculationWouldUse) {
    for (bool& ticked : dialog.values.algorithms) {
        ticked = false;
    }
    dialog.values.algorithms[RowOf(hashlib::AlgorithmMd2)] = true;
    dialog.values.algorithms[RowOf(hashlib::AlgorithmTiger)] = true;
    EXPECT_EQ(dialog.CountSelectedAlgorithms(), 2);
    dialog.values.hmac = true;
    EXPECT_EQ(dialog.CountSelectedAlgorithms(), 1);
}

TEST_F(MainDialogTest, StartsUpInItsOrder) {
    dialog.values.data_value = MissingPath("orvendal-given-file.bin");       // from the command line
    controls.Initialise({L"t:10b:400l:20r:300", L"01000000000000", L"21"});  // MD5; hex, hex key

    const auto entry = [](std::string what, int id) {
        what += ' ';
        what += std::to_string(id);
        return what;
    };
    const std::vector<std::string> expected = {
        // The defaults show, then the window prepares itself and records the layout.
        entry("tick", IDC_MD5), entry("tick", IDC_SHA1), entry("tick", IDC_RIPEMD160),
        entry("tick", IDC_CRC32), "about menu", "icons", "tool tips", "capture layout",
        // The stored ticks, then the stored placement; the images.
        entry("untick", IDC_SHA1), entry("untick", IDC_RIPEMD160), entry("untick", IDC_CRC32),
        "placement 20,10,300,400", "size grip", "logo",
        // The stored data format with the browse button, the stored key format with HMAC mode.
        entry("select", IDC_DATA_FORMAT) + " 2", entry("move", IDC_DATA_VALUE),
        entry("select", IDC_KEY_FORMAT) + " 1", entry("disable", IDC_KEY_FORMAT),
        entry("disable", IDC_KEY_VALUE),
        // The given file, in File format, is calculated; drops are accepted only then.
        entry("select", IDC_DATA_FORMAT) + " 0", entry("move", IDC_DATA_VALUE)};
    std::vector<std::string> calculated = expected;
    for (const std::string& step : CalculationJournal()) {
        calculated.push_back(step);
    }
    calculated.push_back(entry("warning", IDS_CANNOT_OPEN));
    calculated.push_back("accept drops");
    EXPECT_EQ(controls.journal, calculated);
    EXPECT_EQ(controls.warnings, std::vector<int>{IDS_CANNOT_OPEN});
}

TEST_F(MainDialogTest, CommandsAreRoutedByControlAndNotification) {
    constexpr int OtherNotification = 0x0100;  // such as an edit taking the focus
    controls.Initialise();
    Calculate(TextFormat, L"abc");
    const auto results = ShownResults();
    // Changes that would clear results if the command reached their handlers.
    controls[IDC_MD5].checked = false;
    controls[IDC_DATA_FORMAT].selection = HexFormat;
    controls.journal.clear();
    for (const int id : {IDC_HMAC, IDC_MD5, IDC_DATA_FORMAT, IDC_KEY_FORMAT, IDC_BROWSE, IDC_HELP_BUTTON,
                         IDC_DATA_VALUE, IDC_KEY_VALUE}) {
        dialog.OnCommand(id, OtherNotification);
    }
    dialog.OnCommand(IDC_MD5_RESULT, ui::ButtonClicked);  // not a check box
    EXPECT_EQ(ShownResults(), results);
    EXPECT_EQ(controls.file_dialogs, 0);
    EXPECT_TRUE(controls.journal.empty());

    controls[IDC_DATA_FORMAT].selection = TextFormat;
    dialog.OnCommand(IDC_HELP_BUTTON, ui::ButtonClicked);
    dialog.OnCommand(ui::CalculateCommand, 1);  // whatever the notification (1: an accelerator)
    dialog.OnCommand(ui::CloseCommand, 1);
    std::vector<std::string> expected = {"help"};
    for (const std::string& step : CalculationJournal()) {
        expected.push_back(step);
    }
    expected.push_back("close");
    EXPECT_EQ(controls.journal, expected);
    EXPECT_TRUE(controls.warnings.empty());
}

// ---------------------------------------------------------------------------------------------
// The calculation in the background

// Reads what the calculator opens as it is, calling `hook` (with the offset's index) before the
// read at each of `offsets`: there the test does what happens while a file is read - time passes,
// the user presses Stop.
class HookedInputs final : public engine::SourceFilter {
  public:
    HookedInputs(std::vector<uint64_t> offsets, std::function<void(size_t)> hook)
        : offsets_(std::move(offsets)), hook_(std::move(hook)) {}
    engine::ByteSource& Filter(engine::ByteSource& opened) override { return source_.emplace(opened, *this); }
    uint64_t bytes_read() const { return source_ ? source_->offset : 0; }

  private:
    struct Source final : engine::ByteSource {
        Source(engine::ByteSource& inner, HookedInputs& owner) : inner(inner), owner(owner) {}
        bool ReadSome(uint8_t* buffer, uint32_t capacity, uint32_t& got) override {
            while (owner.next_ < owner.offsets_.size() && offset >= owner.offsets_[owner.next_]) {
                owner.hook_(owner.next_++);
            }
            const bool read = inner.ReadSome(buffer, capacity, got);
            offset += got;
            return read;
        }
        uint64_t Size() const override { return inner.Size(); }
        engine::ByteSource& inner;
        HookedInputs& owner;
        uint64_t offset = 0;
    };

    std::vector<uint64_t> offsets_;
    std::function<void(size_t)> hook_;
    size_t next_ = 0;
    std::optional<Source> source_;
};

constexpr uint64_t MiB = 1 << 20;

class BackgroundCalculationTest : public MainDialogTest {
  protected:
    // A file of several pieces, and only SHA256 ticked: one object, fed on the thread that reads,
    // so whatever the test does from inside a read happens in the order the calculation runs.
    BackgroundCalculationTest() : content(3 * MiB + 5, 'x') {
        file = FakeDialogControls::DecodeUtf8(folder.Write("big.bin", content));
        controls.Initialise();
        for (const ui::DialogRow& row : ui::DialogRows) {
            Untick(row.check_box);
        }
        controls.Click(IDC_SHA256);
    }

    // The data edit holds the file, the focus is there (Enter pressed in it), and the next
    // calculation's work waits for the test.
    void PrepareHeld() {
        controls.Choose(IDC_DATA_FORMAT, FileFormat);
        if (controls[IDC_DATA_VALUE].text != file) {
            controls.Type(IDC_DATA_VALUE, file);  // which clears the results
        }
        controls.focus = IDC_DATA_VALUE;
        controls.hold_background_work = true;
        controls.journal.clear();
    }

    void ExpectIdle() {
        EXPECT_FALSE(dialog.Calculating());
        EXPECT_EQ(controls[ui::CalculateCommand].text, ui::CalculateCaption);
        EXPECT_FALSE(controls[IDC_PROGRESS_BAR].visible);
        EXPECT_FALSE(controls.timer_running);
        for (const int id : {IDC_DATA_FORMAT, IDC_DATA_VALUE, IDC_BROWSE, IDC_HMAC, IDC_SHA256, IDC_MD2}) {
            EXPECT_TRUE(controls[id].enabled) << id;
        }
        EXPECT_FALSE(controls[IDC_KEY_VALUE].enabled) << "the key follows HMAC";
    }

    const TempDir folder;
    const std::string content;
    std::wstring file;
};

std::vector<std::string> operator+(std::vector<std::string> steps, const std::vector<std::string>& more) {
    steps.insert(steps.end(), more.begin(), more.end());
    return steps;
}

TEST_F(BackgroundCalculationTest, DisablesClearsShowsProgressThenAppliesItsOutcome) {
    Calculate(TextFormat, L"abc");  // results to be cleared
    std::vector<ui::ProgressView> seen;
    HookedInputs inputs({1 * MiB, 2 * MiB}, [&](size_t) {
        controls.Tick(std::chrono::milliseconds(ui::ProgressInterval));
        seen.push_back({controls.progress.value_or(-1), controls[IDC_STATUS_TEXT].text});
    });
    dialog.Calculator().SetSourceFilter(&inputs);
    PrepareHeld();

    dialog.OnCalculate();
    EXPECT_TRUE(dialog.Calculating());
    EXPECT_EQ(controls.journal,
              (InputsTurned("disable") + std::vector<std::string>{"timer on", "start work"}));
    EXPECT_EQ(ShownResults(), decltype(ShownResults()){});
    EXPECT_EQ(controls[ui::CalculateCommand].text, ui::StopCaption);
    EXPECT_EQ(controls.focus, ui::CalculateCommand) << "Enter and Space stop it";
    EXPECT_FALSE(controls[IDC_PROGRESS_BAR].visible) << "nothing shown before the first tick";
    dialog.OnFileDropped(L"dropped meanwhile.bin");
    EXPECT_EQ(controls[IDC_DATA_VALUE].text, file) << "drops are ignored";

    controls.journal.clear();
    controls.FinishBackgroundWork();
    // Seen from inside the reads: the bar moves on, short of the end, and the text says so.
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_GT(seen[0].position, 0);
    EXPECT_GT(seen[1].position, seen[0].position);
    EXPECT_LT(seen[1].position, ui::ProgressRange);
    for (const ui::ProgressView& view : seen) {
        EXPECT_EQ(view.text.substr(0, view.text.find(L'%')), std::to_wstring(view.position / 100));
        EXPECT_NE(view.text.find(L" MB/s  剩余 "), std::wstring::npos) << testing::PrintToString(view.text);
    }
    const std::vector<std::string> progress = {"progress " + std::to_string(seen[0].position),
                                               "progress " + std::to_string(seen[1].position)};
    EXPECT_EQ(controls.journal,
              (progress + std::vector<std::string>{"work done", "timer off", "no progress"} +
               InputsTurned("enable")));
    ExpectIdle();
    EXPECT_EQ(ShownResults(), PlainResults(content));
    EXPECT_EQ(controls.focus, IDC_DATA_VALUE) << "back where it was";
    EXPECT_EQ(controls[IDC_STATUS_TEXT].text, L"") << "no marks, no words";
    EXPECT_TRUE(controls.warnings.empty());
}

TEST_F(BackgroundCalculationTest, StopEndsItWithEveryResultEmptyAndNoMessage) {
    Calculate(TextFormat, L"abc");
    HookedInputs inputs({1 * MiB}, [&](size_t) {
        controls.Tick(std::chrono::milliseconds(ui::ProgressInterval));
        dialog.OnCommand(ui::CalculateCommand, ui::ButtonClicked);  // the button reads Stop
    });
    dialog.Calculator().SetSourceFilter(&inputs);
    PrepareHeld();
    dialog.OnCalculate();
    controls.FinishBackgroundWork();

    EXPECT_LT(inputs.bytes_read(), content.size()) << "the file was read to its end: the stop did not arrive";
    ExpectIdle();
    EXPECT_EQ(ShownResults(), decltype(ShownResults()){});
    EXPECT_EQ(controls[IDC_STATUS_TEXT].text, L"") << "no progress left behind";
    EXPECT_TRUE(controls.warnings.empty());
    EXPECT_EQ(controls[IDC_DATA_VALUE].text, file);

    // The next calculation is whole and right.
    dialog.Calculator().SetSourceFilter(nullptr);
    controls.hold_background_work = false;
    dialog.OnCalculate();
    EXPECT_EQ(ShownResults(), PlainResults(content));
    EXPECT_TRUE(controls.warnings.empty());
}

TEST_F(BackgroundCalculationTest, CloseStopsItAndClosesWithoutApplyingIt) {
    PrepareHeld();
    dialog.OnCalculate();
    controls.journal.clear();
    dialog.OnCommand(ui::CloseCommand, ui::ButtonClicked);
    EXPECT_EQ(controls.journal, (std::vector<std::string>{"stop work", "close"}));
    EXPECT_TRUE(controls.warnings.empty());
    EXPECT_EQ(ShownResults(), decltype(ShownResults()){});
    EXPECT_EQ(dialog.SettingsToSave({}, false).check_boxes, L"00001000000000") << "the ticks, as shown";
}

TEST_F(BackgroundCalculationTest, ARefusalBeforeTheStartTouchesNothingElse) {
    Calculate(TextFormat, L"abc");
    const auto earlier = ShownResults();
    PrepareHeld();
    controls.Choose(IDC_DATA_FORMAT, HexFormat);
    controls.Type(IDC_DATA_VALUE, L"6g");
    ShowInResults(L"earlier");
    controls.journal.clear();
    dialog.OnCalculate();
    EXPECT_EQ(controls.journal, std::vector<std::string>{"warning " + std::to_string(IDS_HEX_ILLEGAL_CHAR)});
    EXPECT_EQ(controls.works_started, 1) << "only the earlier calculation";
    EXPECT_FALSE(dialog.Calculating());
    EXPECT_EQ(controls[ui::CalculateCommand].text, ui::CalculateCaption);
}

TEST_F(BackgroundCalculationTest, AReadFailingInTheMiddleBringsBackTheEarlierResultsWithItsMessage) {
    controls.Click(IDC_CRC32);
    controls.clipboard = PlainResults(content)[RowOf(hashlib::AlgorithmSha256)];
    Calculate(FileFormat, file);
    const auto earlier = ShownResults();
    const ui::ResultMarks earlier_marks = ShownMarks();
    ASSERT_EQ(earlier_marks[RowOf(hashlib::AlgorithmSha256)], ui::ResultMark::Match);
    const std::wstring earlier_status = controls[IDC_STATUS_TEXT].text;
    EXPECT_EQ(earlier_status, L"SHA256 与剪贴板一致");

    FaultyInputs failing({.fail_at = 2 * MiB});
    dialog.Calculator().SetSourceFilter(&failing);
    PrepareHeld();
    dialog.OnCalculate();
    EXPECT_EQ(ShownMarks(), ui::ResultMarks{}) << "cleared while it runs";
    EXPECT_EQ(controls[IDC_STATUS_TEXT].text, L"");
    controls.FinishBackgroundWork();

    EXPECT_EQ(controls.warnings, std::vector<int>{IDS_ACCESS_DENIED});
    EXPECT_EQ(controls.focus, IDC_DATA_VALUE);
    ExpectIdle();
    EXPECT_EQ(ShownResults(), earlier) << "as a failed Calculate always kept them";
    EXPECT_EQ(ShownMarks(), earlier_marks);
    EXPECT_EQ(controls[IDC_STATUS_TEXT].text, earlier_status);
}

}  // namespace
