// The main dialog's logic in plain C++: the values behind the controls and their exchange in
// both directions, the enabling and visibility rules, the order of the start-up, which command
// does what, and the calculation in the background with its progress and its Stop. It reaches
// its window only through DialogControls (main_dialog_controls.* on Windows);
// main_dialog_window.cpp turns window messages into the calls below.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "engine/engine.h"
#include "hashlib/hashlib.h"
#include "ui/dialog_controls.h"
#include "ui/dialog_rows.h"
#include "ui/rect.h"
#include "ui/resource.h"
#include "ui/result_marks.h"
#include "ui/settings_format.h"

namespace ui {

// The selectors' items, in this order; the item index is the input or key kind.
inline constexpr std::array<std::wstring_view, 3> DataFormatItems = {L"文件", L"文本字符串", L"十六进制串"};
inline constexpr std::array<std::wstring_view, 2> KeyFormatItems = {L"文本字符串", L"十六进制串"};

// The Calculate and Close buttons carry the platform's OK and Cancel ids, so that Enter and Esc
// (and the system Close) run them.
inline constexpr int CalculateCommand = 1;  // IDOK
inline constexpr int CloseCommand = 2;      // IDCANCEL

// The Calculate button's caption, and its caption while a calculation runs, when it stops it.
inline constexpr std::wstring_view CalculateCaption = L"计算(&U)";
inline constexpr std::wstring_view StopCaption = L"停止(&U)";

// Milliseconds between two looks at a running calculation's progress. The first look shows
// the progress, so a calculation shorter than this shows none and nothing flickers.
inline constexpr unsigned ProgressInterval = 300;

// The notifications the dialog acts on, numbered as the platform numbers them.
inline constexpr int ButtonClicked = 0;      // BN_CLICKED: a button or check box was clicked
inline constexpr int SelectionAccepted = 9;  // CBN_SELENDOK: a list's choice was accepted
inline constexpr int TextChanged = 0x0300;   // EN_CHANGE: an edit's text changed

// The values mirrored to and from the controls.
struct DialogValues {
    bool hmac = false;
    std::array<bool, DialogRowCount> algorithms{};  // the ticks, by row
    std::array<std::wstring, DialogRowCount> results;
    // Shown with the results (colour, tool tip, and all of them in the status text), set by a
    // successful Calculate; a mark goes with its result's text.
    MarkReasons marks{};
    std::wstring data_value;
    std::wstring key_value;
    // The selectors' selected items, -1 for none. An item's index is its kind: the data format
    // is an engine::InputKind, the key format an engine::KeyKind.
    int data_format = -1;
    int key_format = -1;
};

// What a calculation hands back to the dialog: the Calculate command's outcome and, for a plain
// file, the digests the sum files beside it expect.
struct CalculationOutcome {
    engine::CommandOutcome command;
    engine::ExpectedDigests sum_file_digests;
};

class MainDialog {
  public:
    // The defaults: HMAC off; MD5, SHA1, RIPEMD160 and CRC32 ticked; every string empty.
    MainDialog();
    ~MainDialog();
    MainDialog(const MainDialog&) = delete;
    MainDialog& operator=(const MainDialog&) = delete;

    DialogValues values;

    // Filled from the stored settings when they are loaded; left at zero they mean "no stored
    // placement" and the first item of each selector.
    Rect stored_window_rect;
    int stored_data_format = 0;
    int stored_key_format = 0;

    // The control layer while the window exists; null before and after.
    void Attach(DialogControls* controls) { controls_ = controls; }

    // The engine object every calculation runs on (tests read its inputs through a filter).
    engine::DigestCalculator& Calculator() { return calculator_; }

    // The start-up, when the window has been created from its template: the defaults shown, the
    // window's own preparations, then the stored settings, the window's placement and images,
    // the stored selections, and the calculation of a file named on the command line; last,
    // dropped files are accepted.
    void OnInit(const StoredSettings& stored);

    // A command from control `id` with the control's notification. Calculate and Close act
    // whatever the notification; every other control only on the one it sends when used. While
    // a calculation runs, Calculate stops it, Close stops it and closes, Help helps, and the
    // inputs (disabled then) are not listened to.
    void OnCommand(int id, int notification);

    // The two exchange directions. A result the controls show differently loses its mark.
    void ControlsToState();
    void StateToControls();

    // Empties every result (and so takes its mark, and the status text naming it) and shows it.
    void ClearResults();
    // Shows the browse button in File format only; the data edit ends 2 pixels before the
    // button, or at the button's right edge when it is hidden.
    void UpdateBrowseButton();
    // The key controls are enabled, and the rows that cannot be keyed hidden, exactly when HMAC
    // is ticked. Hidden rows keep their ticks.
    void ApplyHmacMode();
    // The ticked rows that a calculation would use: MD5 to TIGER always, the rest without HMAC.
    int16_t CountSelectedAlgorithms() const;

    // Settings. LoadSettings takes the values as read: the stored rectangle and the stored
    // selector indices are kept for the placement and for ApplyStoredFormats, the ticks are
    // shown at once. A malformed value leaves the defaults it would have replaced.
    void LoadSettings(const StoredSettings& stored);
    // The values to store when the window closes: its outer rectangle in screen coordinates
    // (or "maximized"), the ticks and the selectors' current items, as the controls show them.
    StoredSettings SettingsToSave(const Rect& window, bool maximized);

    // What the commands do (OnCommand chooses), and the drop of files on the dialog.
    void OnHmacClicked();
    void OnAlgorithmClicked(int check_box_id);
    void OnDataFormatAccepted();
    void OnKeyFormatAccepted();
    void OnValueEdited();  // data or key edit changed
    void OnBrowse();
    void OnFileDropped(std::wstring path);  // the last file of a drop; ignored while calculating
    // The Calculate command: the request built from the controls and checked; refused, its
    // message at once. Accepted, the calculation starts in the background: the inputs disabled,
    // the results cleared, the button turned into Stop. Its outcome comes to
    // OnBackgroundWorkDone. While a calculation runs, the command stops it instead.
    void OnCalculate();
    bool Calculating() const { return calculation_ != nullptr; }

    // The end of the calculation in the background: the controls back as they were, then its
    // outcome applied as the Calculate command applies it - results and marks, or the message
    // and the focus of a failure (the results shown before come back with it), or, when it was
    // stopped, nothing: the results stay empty and no message appears.
    void OnBackgroundWorkDone();
    // The progress timer: the progress bar and the status text show how far it has come.
    void OnProgressTimer();

  private:
    struct Calculation;

    // Start-up: the stored selector indices (when in range), then the browse button and the
    // HMAC mode; then, when a file name came from the command line, File format and an
    // immediate calculation.
    void ApplyStoredFormats();
    void CalculateGivenFile();

    // The two ends of a calculation, on the dialog's side. The request is built from the values
    // (ControlsToState first); the outcome writes back the cleaned values, and then either shows
    // the refusal's message and moves the focus, or shows the results with their marks.
    engine::CalculationRequest BuildCalculationRequest() const;
    void ApplyCalculationOutcome(const engine::CalculationRequest& request,
                                 const CalculationOutcome& outcome);

    void StartCalculation(const engine::CalculationRequest& request);
    void StopCalculation();
    // Every input control, check box, the HMAC box, both selectors and the browse button; back
    // on, the key controls follow HMAC.
    void EnableInputs(bool enabled);

    void WriteText(int id, const std::wstring& text);
    // Selects item `index` of `selector` unless it is selected already; -1, or an index the list
    // does not have, leaves the selection as it is.
    void ShowSelection(int selector, int index);
    void FocusOn(engine::Field field);

    DialogControls* controls_ = nullptr;
    engine::DigestCalculator calculator_;       // the background work's alone while it runs
    std::unique_ptr<Calculation> calculation_;  // while one runs
    // The dialog's own writes raise change notifications too; those must not clear results.
    bool writing_controls_ = false;
};

}  // namespace ui
