#include "ui/main_dialog.h"

#include <algorithm>
#include <chrono>

#include "engine/engine.h"
#include "ui/calculation_progress.h"
#include "ui/settings_format.h"

namespace ui {
namespace {

// The rows that cannot be keyed (MD2, ADLER32, CRC32, eDonkey) are hidden under HMAC, with the
// etched lines around the eDonkey row: the template has them as one block at the bottom.
constexpr std::array<int, 2> UnkeyedRowLines = {IDC_EDONKEY_LINE_ABOVE, IDC_EDONKEY_LINE_BELOW};

constexpr bool IsKeyable(const DialogRow& row) {
    return hashlib::Algorithms[size_t(row.algorithm)].keyable;
}

constexpr bool UnkeyedRowsAreTheBottomBlock() {
    for (size_t row = 1; row < DialogRows.size(); ++row) {
        if (IsKeyable(DialogRows[row]) && !IsKeyable(DialogRows[row - 1])) {
            return false;
        }
    }
    return !IsKeyable(DialogRows.back());
}
static_assert(UnkeyedRowsAreTheBottomBlock(),
              "the template hides the unkeyed rows as one block at the bottom");

// The engine's selection, by Algorithm identifier, for the ticks of the rows.
engine::Selection SelectionOf(const std::array<bool, DialogRowCount>& ticks) {
    engine::Selection selection{};
    for (size_t row = 0; row < DialogRows.size(); ++row) {
        selection[size_t(DialogRows[row].algorithm)] = ticks[row] ? 1 : 0;
    }
    return selection;
}

// Ticked when nothing is stored.
constexpr std::array DefaultTicks = {hashlib::AlgorithmMd5, hashlib::AlgorithmSha1,
                                     hashlib::AlgorithmRipemd160, hashlib::AlgorithmCrc32};

// Gap between the data edit and the browse button, in pixels.
constexpr int32_t BrowseButtonGap = 2;

// The controls that make the request, besides the algorithms' check boxes: disabled while a
// calculation runs, so that it cannot change under the calculation.
constexpr std::array<int, 6> RequestControls = {IDC_DATA_FORMAT, IDC_DATA_VALUE, IDC_BROWSE,
                                                IDC_HMAC,        IDC_KEY_FORMAT, IDC_KEY_VALUE};

bool IsRequestControl(int id) {
    return std::find(RequestControls.begin(), RequestControls.end(), id) != RequestControls.end() ||
           DialogRowOfCheckBox(id) >= 0;
}

}  // namespace

// A calculation in the background, from its start to its outcome.
struct MainDialog::Calculation {
    engine::CalculationRequest request;
    CalculationOutcome outcome;  // the work's; read once the work has returned
    ProgressCounter progress;    // written by the work's file pass
    std::chrono::steady_clock::time_point started;
    int shown_position = 0;
    // What was shown when it started: a failure brings it back, as a failed Calculate keeps it.
    std::array<std::wstring, DialogRowCount> results_before;
    MarkReasons marks_before{};
    // Where the focus was when it had to leave a control that was disabled (0: nowhere yet).
    int focus_before = 0;
    bool focus_moved = false;
    bool stop_asked = false;
};

MainDialog::MainDialog() {
    for (const hashlib::AlgorithmId algorithm : DefaultTicks) {
        values.algorithms[size_t(DialogRowOf(algorithm))] = true;
    }
}

MainDialog::~MainDialog() = default;

void MainDialog::ControlsToState() {
    values.hmac = controls_->IsChecked(IDC_HMAC);
    for (size_t row = 0; row < DialogRows.size(); ++row) {
        values.algorithms[row] = controls_->IsChecked(DialogRows[row].check_box);
        std::wstring shown = controls_->Text(DialogRows[row].result);
        if (shown != values.results[row]) {
            values.marks[row] = {};
        }
        values.results[row] = std::move(shown);
    }
    values.data_value = controls_->Text(IDC_DATA_VALUE);
    values.key_value = controls_->Text(IDC_KEY_VALUE);
    values.data_format = controls_->Selection(IDC_DATA_FORMAT);
    values.key_format = controls_->Selection(IDC_KEY_FORMAT);
}

void MainDialog::StateToControls() {
    writing_controls_ = true;
    controls_->SetChecked(IDC_HMAC, values.hmac);
    for (size_t row = 0; row < DialogRows.size(); ++row) {
        controls_->SetChecked(DialogRows[row].check_box, values.algorithms[row]);
        if (values.results[row].empty()) {
            values.marks[row] = {};  // whatever emptied the result
        }
        WriteText(DialogRows[row].result, values.results[row]);
        controls_->SetResultMark(DialogRows[row].result, values.marks[row].Mark());
        controls_->SetToolTip(DialogRows[row].result, MarkTip(row, values.marks[row]));
    }
    const std::wstring marks = MarksSummary(values.marks);
    WriteText(IDC_STATUS_TEXT, marks);
    controls_->SetToolTip(IDC_STATUS_TEXT, marks);
    WriteText(IDC_DATA_VALUE, values.data_value);
    WriteText(IDC_KEY_VALUE, values.key_value);
    ShowSelection(IDC_DATA_FORMAT, values.data_format);
    ShowSelection(IDC_KEY_FORMAT, values.key_format);
    writing_controls_ = false;
}

void MainDialog::ClearResults() {
    for (std::wstring& result : values.results) {
        result.clear();
    }
    StateToControls();
}

void MainDialog::UpdateBrowseButton() {
    if (!controls_->HasControl(IDC_DATA_FORMAT) || controls_->Selection(IDC_DATA_FORMAT) < 0) {
        return;
    }
    values.data_format = controls_->Selection(IDC_DATA_FORMAT);
    if (!controls_->HasControl(IDC_BROWSE) || !controls_->HasControl(IDC_DATA_VALUE)) {
        return;
    }
    const Rect button = controls_->Bounds(IDC_BROWSE);
    Rect edit = controls_->Bounds(IDC_DATA_VALUE);
    const bool file_format = values.data_format == engine::InputFile;
    controls_->Show(IDC_BROWSE, file_format);
    edit.right = file_format ? button.left - BrowseButtonGap : button.right;
    controls_->Move(IDC_DATA_VALUE, edit);
}

void MainDialog::ApplyHmacMode() {
    controls_->Enable(IDC_KEY_FORMAT, values.hmac);
    controls_->Enable(IDC_KEY_VALUE, values.hmac);
    values.key_format = controls_->Selection(IDC_KEY_FORMAT);
    for (size_t row = 0; row < DialogRows.size(); ++row) {
        if (!IsKeyable(DialogRows[row])) {
            controls_->Show(DialogRows[row].check_box, !values.hmac);
            controls_->Show(DialogRows[row].result, !values.hmac);
        }
    }
    for (const int line : UnkeyedRowLines) {
        controls_->Show(line, !values.hmac);
    }
}

int16_t MainDialog::CountSelectedAlgorithms() const {
    return int16_t(engine::CountSelectedAlgorithms(values.hmac, SelectionOf(values.algorithms)));
}

void MainDialog::ApplyStoredFormats() {
    if (stored_data_format >= 0 && stored_data_format < controls_->ItemCount(IDC_DATA_FORMAT)) {
        controls_->Select(IDC_DATA_FORMAT, stored_data_format);
    }
    UpdateBrowseButton();
    if (stored_key_format >= 0 && stored_key_format < controls_->ItemCount(IDC_KEY_FORMAT)) {
        controls_->Select(IDC_KEY_FORMAT, stored_key_format);
    }
    ApplyHmacMode();
}

void MainDialog::CalculateGivenFile() {
    if (values.data_value.empty()) {
        return;
    }
    controls_->Select(IDC_DATA_FORMAT, engine::InputFile);
    values.data_format = controls_->Selection(IDC_DATA_FORMAT);
    UpdateBrowseButton();
    StateToControls();
    OnCalculate();
}

void MainDialog::LoadSettings(const StoredSettings& stored) {
    stored_window_rect = ParseWindowRect(stored.window_rect);
    if (const std::optional<CheckBoxFlags> flags = ParseCheckBoxes(stored.check_boxes)) {
        values.hmac = flags->hmac;
        values.algorithms = flags->algorithms;
    }
    StateToControls();
    const FormatSelections selections = ParseComboBoxes(stored.combo_boxes);
    if (selections.data_format) {
        stored_data_format = *selections.data_format;
    }
    if (selections.key_format) {
        stored_key_format = *selections.key_format;
    }
}

StoredSettings MainDialog::SettingsToSave(const Rect& window, bool maximized) {
    ControlsToState();
    StoredSettings settings;
    settings.window_rect = FormatWindowRect(window, maximized);
    settings.check_boxes = FormatCheckBoxes(CheckBoxFlags{values.hmac, values.algorithms});
    settings.combo_boxes =
        FormatComboBoxes(controls_->Selection(IDC_DATA_FORMAT), controls_->Selection(IDC_KEY_FORMAT));
    return settings;
}

void MainDialog::OnInit(const StoredSettings& stored) {
    StateToControls();  // the defaults show
    controls_->AddAboutMenuItem();
    controls_->SetIcons();
    controls_->EnableToolTips();
    controls_->CaptureLayout();  // before anything moves
    LoadSettings(stored);
    controls_->RestoreWindowPlacement(stored_window_rect);
    controls_->SetSizeGrip();
    controls_->SetLogo();
    ApplyStoredFormats();
    CalculateGivenFile();
    controls_->AcceptDroppedFiles();
}

void MainDialog::OnCommand(int id, int notification) {
    if (calculation_) {
        switch (id) {
            case CalculateCommand:
                StopCalculation();
                return;
            case CloseCommand:
                StopCalculation();
                controls_->Close();
                return;
            case IDC_HELP_BUTTON:
            case IDC_DATA_VALUE:
            case IDC_KEY_VALUE:
                break;  // as at any other time
            default:
                return;
        }
    }
    switch (id) {
        case CalculateCommand:
            OnCalculate();
            return;
        case CloseCommand:
            controls_->Close();
            return;
        case IDC_HMAC:
            if (notification == ButtonClicked) {
                OnHmacClicked();
            }
            return;
        case IDC_DATA_FORMAT:
            if (notification == SelectionAccepted) {
                OnDataFormatAccepted();
            }
            return;
        case IDC_KEY_FORMAT:
            if (notification == SelectionAccepted) {
                OnKeyFormatAccepted();
            }
            return;
        case IDC_BROWSE:
            if (notification == ButtonClicked) {
                OnBrowse();
            }
            return;
        case IDC_HELP_BUTTON:
            if (notification == ButtonClicked) {
                controls_->ShowHelp();
            }
            return;
        case IDC_DATA_VALUE:
        case IDC_KEY_VALUE:
            if (notification == TextChanged) {
                OnValueEdited();
            }
            return;
        default:
            if (notification == ButtonClicked && DialogRowOfCheckBox(id) >= 0) {
                OnAlgorithmClicked(id);
            }
            return;
    }
}

void MainDialog::OnHmacClicked() {
    ControlsToState();
    ClearResults();
    ApplyHmacMode();
}

void MainDialog::OnAlgorithmClicked(int check_box_id) {
    const int row = DialogRowOfCheckBox(check_box_id);
    if (row < 0) {
        return;
    }
    ControlsToState();
    if (!values.algorithms[size_t(row)]) {
        values.results[size_t(row)].clear();
        StateToControls();
    }
}

void MainDialog::OnDataFormatAccepted() {
    const int previous = values.data_format;
    UpdateBrowseButton();  // takes the new format
    if (values.data_format != previous) {
        values.data_value.clear();
        ClearResults();
    }
}

void MainDialog::OnKeyFormatAccepted() {
    const int previous = values.key_format;
    values.key_format = controls_->Selection(IDC_KEY_FORMAT);
    if (values.key_format != previous) {
        values.key_value.clear();
        ClearResults();
    }
}

void MainDialog::OnValueEdited() {
    if (writing_controls_) {
        return;
    }
    // Only another program can change a disabled edit; the results would belong to the old text.
    StopCalculation();
    ControlsToState();
    ClearResults();
}

void MainDialog::OnBrowse() {
    std::optional<std::wstring> path = controls_->ChooseFile();
    if (!path) {
        return;
    }
    values.data_value = std::move(*path);
    ClearResults();
}

void MainDialog::OnFileDropped(std::wstring path) {
    if (calculation_) {
        return;
    }
    ClearResults();
    controls_->Select(IDC_DATA_FORMAT, engine::InputFile);
    values.data_format = controls_->Selection(IDC_DATA_FORMAT);
    UpdateBrowseButton();
    values.data_value = std::move(path);
    StateToControls();
    OnCalculate();
}

namespace {

// The string-table message of each refusal.
int MessageIdOf(engine::Refusal refusal) {
    switch (refusal) {
        case engine::Refusal::NoAlgorithm:
            return IDS_SELECT_ALGORITHM;
        case engine::Refusal::HexOddLength:
            return IDS_HEX_ODD_LENGTH;
        case engine::Refusal::HexIllegalCharacter:
            return IDS_HEX_ILLEGAL_CHAR;
        case engine::Refusal::NoFile:
            return IDS_SELECT_FILE;
        case engine::Refusal::FileUnreadable:
            return IDS_ACCESS_DENIED;
        case engine::Refusal::FileNotFound:
            return IDS_CANNOT_OPEN;
        case engine::Refusal::PathTooLong:
            return IDS_PATH_TOO_LONG;
        case engine::Refusal::UnknownFailure:
        case engine::Refusal::Stopped:
        case engine::Refusal::None:
            break;
    }
    return IDS_UNKNOWN_ERROR;
}

// The engine's part of a calculation. It touches no control, so it can run away from the
// dialog's thread.
CalculationOutcome RunCalculation(const engine::CalculationRequest& request,
                                  engine::DigestCalculator& calculator) {
    // Fed as orvendal-cli feeds it where that is faster.
    calculator.SetParallelFeeding(engine::ParallelFeedingPays(request, engine::UsableCoreCount()));
    CalculationOutcome outcome;
    outcome.command = engine::RunCalculateCommand(request, calculator);
    if (outcome.command.succeeded() && request.input_kind == engine::InputFile && !request.hmac) {
        outcome.sum_file_digests =
            engine::ReadSumFilesBeside(outcome.command.request.input_value);  // trimmed
    }
    return outcome;
}

}  // namespace

void MainDialog::OnCalculate() {
    if (calculation_) {
        StopCalculation();
        return;
    }
    ControlsToState();
    const engine::CalculationRequest request = BuildCalculationRequest();
    CalculationOutcome checked;
    checked.command = engine::CheckCalculateCommand(request);
    if (!checked.command.succeeded()) {
        ApplyCalculationOutcome(request, checked);
        return;
    }
    StartCalculation(request);
}

void MainDialog::StartCalculation(const engine::CalculationRequest& request) {
    calculation_ = std::make_unique<Calculation>();
    Calculation& calculation = *calculation_;
    calculation.request = request;
    calculation.started = controls_->Now();
    calculation.results_before = values.results;
    calculation.marks_before = values.marks;
    // The focus leaves what is about to be disabled for Stop, where Enter and Space reach it.
    const int focus = controls_->FocusedControl();
    if (focus == 0 || IsRequestControl(focus)) {
        calculation.focus_before = focus;
        calculation.focus_moved = true;
        controls_->Focus(CalculateCommand);
    }
    EnableInputs(false);
    ClearResults();
    WriteText(CalculateCommand, std::wstring(StopCaption));
    controls_->StartProgressTimer();
    // Last: the work's end may be reported as soon as it has started.
    engine::DigestCalculator* calculator = &calculator_;
    controls_->StartBackgroundWork([&calculation, calculator](std::stop_token stop) {
        calculator->SetStopToken(std::move(stop));
        calculator->SetProgressCallback(&calculation.progress);
        calculation.outcome = RunCalculation(calculation.request, *calculator);
        calculator->SetProgressCallback(nullptr);
    });
}

void MainDialog::StopCalculation() {
    if (!calculation_ || calculation_->stop_asked) {
        return;
    }
    calculation_->stop_asked = true;
    controls_->StopBackgroundWork();
}

void MainDialog::OnProgressTimer() {
    if (!calculation_) {
        return;
    }
    Calculation& calculation = *calculation_;
    const double seconds = std::chrono::duration<double>(controls_->Now() - calculation.started).count();
    const ProgressView view = ViewProgress(calculation.progress.done(), calculation.progress.total(), seconds,
                                           calculation.shown_position);
    calculation.shown_position = view.position;
    controls_->ShowProgress(view.position);
    WriteText(IDC_STATUS_TEXT, view.text);
    controls_->SetToolTip(IDC_STATUS_TEXT, view.text);
}

void MainDialog::OnBackgroundWorkDone() {
    if (!calculation_) {
        return;
    }
    const std::unique_ptr<Calculation> done = std::move(calculation_);
    controls_->StopProgressTimer();
    controls_->ShowProgress(std::nullopt);
    WriteText(CalculateCommand, std::wstring(CalculateCaption));
    EnableInputs(true);
    if (done->focus_moved && controls_->FocusedControl() == CalculateCommand) {
        // Back where it was; at start-up, where the dialog would have put it.
        controls_->Focus(done->focus_before != 0 ? done->focus_before : IDC_DATA_FORMAT);
    }

    CalculationOutcome& outcome = done->outcome;
    if (done->stop_asked) {
        outcome.command.refusal = engine::Refusal::Stopped;  // whatever came of it: not wanted
    } else if (!outcome.command.succeeded() && outcome.command.refusal != engine::Refusal::Stopped) {
        values.results = done->results_before;
        values.marks = done->marks_before;
    }
    StateToControls();  // the results as they now stand, and no more progress in the status text
    ApplyCalculationOutcome(done->request, outcome);
}

void MainDialog::EnableInputs(bool enabled) {
    for (const int id : RequestControls) {
        const bool key_control = id == IDC_KEY_FORMAT || id == IDC_KEY_VALUE;
        controls_->Enable(id, enabled && (!key_control || values.hmac));
    }
    for (const DialogRow& row : DialogRows) {
        controls_->Enable(row.check_box, enabled);
    }
}

engine::CalculationRequest MainDialog::BuildCalculationRequest() const {
    engine::CalculationRequest request;
    request.input_kind = engine::InputKind(values.data_format);
    request.input_value = request.input_kind == engine::InputFile
                              ? controls_->ToUtf8(values.data_value)
                              : controls_->ToSystemCodePage(values.data_value);
    request.hmac = values.hmac;
    request.key_kind = engine::KeyKind(values.key_format);
    request.key_value = controls_->ToSystemCodePage(values.key_value);
    request.selection = SelectionOf(values.algorithms);
    return request;
}

void MainDialog::ApplyCalculationOutcome(const engine::CalculationRequest& request,
                                         const CalculationOutcome& outcome) {
    const engine::CommandOutcome& command = outcome.command;
    // The cleaned values (trimmed path, hex without spaces) are kept whatever the outcome. A
    // text value is left as typed: its code page bytes may have lost characters the code page
    // lacks, and the edit must keep what the user wrote.
    if (request.input_kind == engine::InputFile) {
        values.data_value = controls_->FromUtf8(command.request.input_value);
    } else if (request.input_kind == engine::InputHex) {
        values.data_value = controls_->FromSystemCodePage(command.request.input_value);
    }
    if (request.hmac && request.key_kind == engine::KeyHex) {
        values.key_value = controls_->FromSystemCodePage(command.request.key_value);
    }

    if (command.refusal == engine::Refusal::Stopped) {
        return;  // asked for: no message, and the results stay as they were
    }
    if (!command.succeeded()) {
        controls_->ShowWarning(MessageIdOf(command.refusal));
        FocusOn(command.field);
        return;
    }
    for (size_t row = 0; row < DialogRows.size(); ++row) {
        const std::string& text = command.results[size_t(DialogRows[row].algorithm)];
        values.results[row].assign(text.begin(), text.end());  // lower-case hex digits only
    }
    // What the clipboard holds is expected whatever was hashed; sum files only for a plain file.
    const std::optional<std::wstring> clipboard = controls_->ClipboardText();
    const std::string& input = command.request.input_value;
    const std::string file_name = command.request.input_kind == engine::InputFile
                                      ? input.substr(engine::NameStart(input))
                                      : std::string();
    values.marks = JudgeResults(
        values.results, clipboard ? ClipboardDigest(controls_->ToUtf8(*clipboard), file_name) : std::nullopt,
        outcome.sum_file_digests, [this](std::string_view name) { return controls_->FromUtf8(name); });
    StateToControls();
}

void MainDialog::WriteText(int id, const std::wstring& text) {
    // Unchanged text is not written again, so the edit raises no change notification for it.
    if (controls_->Text(id) != text) {
        controls_->SetText(id, text);
    }
}

void MainDialog::ShowSelection(int selector, int index) {
    if (index >= 0 && index < controls_->ItemCount(selector) && controls_->Selection(selector) != index) {
        controls_->Select(selector, index);
    }
}

void MainDialog::FocusOn(engine::Field field) {
    switch (field) {
        case engine::Field::Data:
            controls_->Focus(IDC_DATA_VALUE);
            break;
        case engine::Field::Key:
            controls_->Focus(IDC_KEY_VALUE);
            break;
        case engine::Field::AlgorithmSelection:
            controls_->Focus(IDC_MD2);
            break;
        case engine::Field::None:
            break;
    }
}

}  // namespace ui
