// Orvendal.exe while it calculates: MD2, the slowest algorithm, over a large file takes seconds,
// and meanwhile the window answers at once, shows its progress and offers Stop; Stop ends it
// at once without a word, Close ends the program as always, and a file on the command line
// shows its progress in a window that appears at once.
#include <string>

#include "dialog_fixture.h"

using namespace e2e;

namespace {

class CalculationTest : public DialogTest {
  protected:
    int BarPosition() const {
        LRESULT position = -1;
        TrySend(Item(ProgressBar), PBM_GETPOS, 0, 0, &position);
        return int(position);
    }

    void ExpectRequestControlsEnabled(bool enabled) {
        for (const int id : {DataFormat, DataEdit, BrowseButton, HmacBox, Rows[0].check_box, Md2Box}) {
            EXPECT_EQ(Enabled(id), enabled) << "control " << id;
        }
        EXPECT_FALSE(Enabled(KeyFormat)) << "the key follows HMAC, which is off";
        EXPECT_FALSE(Enabled(KeyEdit));
        EXPECT_TRUE(Enabled(IDCANCEL));
        EXPECT_TRUE(Enabled(HelpButton));
    }
};

TEST_F(CalculationTest, WindowAnswersShowsProgressAndStopsWithinHalfASecond) {
    SetStringValue(SettingsKey, L"CheckBoxes", OnlyMd2);
    const std::wstring path = LongInput();
    Start();
    Type(DataEdit, path);
    ShowInResults(L"earlier");
    ASSERT_TRUE(TrySend(dialog_, WM_COMMAND, IDOK, 0, nullptr, 1000)) << "Calculate did not return at once";
    EXPECT_EQ(Text(IDOK), StopCaption);
    ExpectRequestControlsEnabled(false);
    EXPECT_EQ(Shown(), Results{});

    // For two seconds: every ping answered within 300 ms, and the bar shown and moving on.
    int pings = 0;
    int answered = 0;
    int first_position = -1;
    int last_position = -1;
    const ULONGLONG until = GetTickCount64() + 2000;
    while (GetTickCount64() < until) {
        ++pings;
        if (TrySend(dialog_, WM_NULL, 0, 0, nullptr, 300)) {
            ++answered;
        }
        if (Visible(ProgressBar)) {
            last_position = BarPosition();
            first_position = first_position < 0 ? last_position : first_position;
        }
        Sleep(100);
    }
    EXPECT_EQ(answered, pings) << "the window did not answer within 300 ms every time";
    ASSERT_EQ(Text(IDOK), StopCaption) << "over already: the input is too short to test anything";
    EXPECT_GE(first_position, 0) << "no progress bar";
    EXPECT_GT(last_position, first_position) << "the bar did not move";
    EXPECT_LT(last_position, 10000);
    EXPECT_NE(Text(StatusText).find(L" MB/s  剩余 "), std::wstring::npos) << "status: " << Text(StatusText);
    TakeScreenshot(L"dialog-calculating");

    // Stop, pressed as a user presses it.
    const ULONGLONG stop_pressed = GetTickCount64();
    Send(Item(IDOK), BM_CLICK);
    ASSERT_TRUE(WaitUntil([&] { return Text(IDOK) == CalculateCaption; }, 5000)) << "Stop did not stop";
    EXPECT_LE(GetTickCount64() - stop_pressed, 500u) << "Stop took longer than half a second";
    Send(dialog_, WM_NULL);
    EXPECT_EQ(Shown(), Results{});
    EXPECT_EQ(Text(StatusText), L"");
    EXPECT_FALSE(Visible(ProgressBar));
    ExpectRequestControlsEnabled(true);
    Sleep(300);
    EXPECT_EQ(program_->FindOwnedDialog(dialog_), nullptr) << "a message after Stop";
    TakeScreenshot(L"dialog-stopped");

    // The same file again, with the quick algorithms: whole and right.
    Tick(DefaultTicks);
    Calculate();
    EXPECT_EQ(Shown(), ExpectedPlain(DefaultTicks, LongContent()));
}

TEST_F(CalculationTest, FileOnTheCommandLineShowsItsProgressAndCloseEndsItAtOnce) {
    SetStringValue(SettingsKey, L"CheckBoxes", OnlyMd2);
    Start(Quoted(LongInput()));
    EXPECT_EQ(Text(IDOK), StopCaption) << "the window appears while the file is read";
    EXPECT_EQ(Text(DataEdit), LongInput());
    EXPECT_TRUE(WaitUntil([&] { return Visible(ProgressBar) && BarPosition() > 0; }, 5000));

    // The system Close (the title bar's button, Alt+F4) during the calculation.
    const ULONGLONG closing = GetTickCount64();
    PostMessageW(dialog_, WM_SYSCOMMAND, SC_CLOSE, 0);
    const std::optional<DWORD> code = program_->WaitForExit(5000);
    ASSERT_TRUE(code.has_value()) << "the program did not end";
    EXPECT_LE(GetTickCount64() - closing, 1000u) << "ending took longer than a second";
    EXPECT_EQ(*code, 0u);
    dialog_ = nullptr;
    // Written as the window closed: the test wrote only the ticks.
    EXPECT_TRUE(StringValue(SettingsKey, L"WndRect").has_value());
    EXPECT_EQ(StringValue(SettingsKey, L"ComboBoxes"), L"00");
    EXPECT_EQ(StringValue(SettingsKey, L"CheckBoxes"), OnlyMd2);
}

}  // namespace
