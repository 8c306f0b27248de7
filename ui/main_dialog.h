// The main dialog's logic in plain C++: the values behind the controls and their exchange in
// both directions, the enabling and visibility rules, and what each command does. It reaches
// its window only through DialogControls; the Windows side (main_dialog_window.*) turns window
// messages into the handlers below.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/calculate_command.h"
#include "engine/digest_calculator.h"
#include "hashlib/hashlib.h"
#include "ui/about_box.h"
#include "ui/dialog_controls.h"
#include "ui/rect.h"
#include "ui/resource.h"

namespace ui {

// One algorithm row: its check box and its read-only result edit.
struct AlgorithmRow {
    int check_box;
    int result;
};

// In Algorithm identifier order, the order of the selection flags and of the result texts.
inline constexpr std::array<AlgorithmRow, hashlib::AlgorithmCount> AlgorithmRows = {{
    {IDC_MD5, IDC_MD5_RESULT},
    {IDC_MD4, IDC_MD4_RESULT},
    {IDC_SHA1, IDC_SHA1_RESULT},
    {IDC_SHA256, IDC_SHA256_RESULT},
    {IDC_SHA384, IDC_SHA384_RESULT},
    {IDC_SHA512, IDC_SHA512_RESULT},
    {IDC_RIPEMD160, IDC_RIPEMD160_RESULT},
    {IDC_PANAMA, IDC_PANAMA_RESULT},
    {IDC_TIGER, IDC_TIGER_RESULT},
    {IDC_MD2, IDC_MD2_RESULT},
    {IDC_ADLER32, IDC_ADLER32_RESULT},
    {IDC_CRC32, IDC_CRC32_RESULT},
    {IDC_EDONKEY, IDC_EDONKEY_RESULT},
}};

// The selectors' items, in this order; the item index is the input or key kind.
inline constexpr std::array<std::wstring_view, 3> DataFormatItems = {L"文件", L"文本字符串", L"十六进制串"};
inline constexpr std::array<std::wstring_view, 2> KeyFormatItems = {L"文本字符串", L"十六进制串"};

// The row of the algorithm whose check box has this id, or -1.
int AlgorithmRowOf(int check_box_id);

// The values mirrored to and from the controls.
struct DialogValues {
    bool hmac = false;
    std::array<bool, hashlib::AlgorithmCount> algorithms{};
    std::array<std::wstring, hashlib::AlgorithmCount> results;
    std::wstring data_value;
    std::wstring key_value;
    std::wstring data_format;  // the data format selector's selected text
    std::wstring key_format;   // the key format selector's selected text
};

// The three stored settings values as the registry holds them (each empty when absent).
struct StoredSettings {
    std::wstring window_rect;  // "WndRect"
    std::wstring check_boxes;  // "CheckBoxes"
    std::wstring combo_boxes;  // "ComboBoxes"
    bool operator==(const StoredSettings&) const = default;
};

class MainDialog {
  public:
    // The defaults: HMAC off; MD5, SHA1, RIPEMD160 and CRC32 ticked; every string empty.
    MainDialog();
    MainDialog(const MainDialog&) = delete;
    MainDialog& operator=(const MainDialog&) = delete;

    DialogValues values;

    // Filled from the stored settings when they are loaded; left at zero they mean "no stored
    // placement" and the first item of each selector.
    Rect stored_window_rect;
    int stored_data_format = 0;
    int stored_key_format = 0;
    // The window's size when it was created.
    int32_t created_width = 0;
    int32_t created_height = 0;
    // Registry key (under the current user) below which the settings live.
    std::wstring settings_key_path;
    // Who the program is, for the About box and the web link; set by the application.
    ProgramIdentity program;

    // The control layer while the window exists; null before and after.
    void Attach(DialogControls* controls) { controls_ = controls; }

    // The two exchange directions.
    void ControlsToState();
    void StateToControls();

    // Empties every result and shows it.
    void ClearResults();
    // Shows the browse button in File format only; the data edit ends 2 pixels before the
    // button, or at the button's right edge when it is hidden.
    void UpdateBrowseButton();
    // The key controls are enabled, and the rows that cannot be keyed hidden, exactly when HMAC
    // is ticked. Hidden rows keep their ticks.
    void ApplyHmacMode();
    // The ticked rows that a calculation would use: MD5 to TIGER always, the rest without HMAC.
    int16_t CountSelectedAlgorithms() const;

    // Initialisation: the stored selector indices (when in range), then the browse button and
    // the HMAC mode; then, when a file name came from the command line, File format and an
    // immediate calculation.
    void ApplyStoredFormats();
    void CalculateGivenFile();

    // Settings. LoadSettings takes the values as read: the stored rectangle and the stored
    // selector indices are kept for the placement and for ApplyStoredFormats, the ticks are
    // shown at once. A malformed value leaves the defaults it would have replaced.
    void LoadSettings(const StoredSettings& stored);
    // The values to store when the window closes: its outer rectangle in screen coordinates
    // (or "maximized"), the ticks and the selectors' current items, as the controls show them.
    StoredSettings SettingsToSave(const Rect& window, bool maximized);

    // Handlers of the dialog's commands and notifications.
    void OnHmacClicked();
    void OnAlgorithmClicked(int check_box_id);
    void OnDataFormatAccepted();
    void OnKeyFormatAccepted();
    void OnValueEdited();  // data or key edit changed
    void OnBrowse();
    void OnFileDropped(std::wstring path);  // the last file of a drop
    void OnCalculate();

  private:
    void WriteText(int id, const std::wstring& text);
    std::wstring SelectedText(int selector) const;
    void SelectByText(int selector, const std::wstring& text);
    void FocusOn(engine::Field field);

    DialogControls* controls_ = nullptr;
    engine::DigestCalculator calculator_;
    // The dialog's own writes raise change notifications too; those must not clear results.
    bool writing_controls_ = false;
};

}  // namespace ui
