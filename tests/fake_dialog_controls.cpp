#include "fake_dialog_controls.h"

#include "ui/resource.h"

namespace {

// Pixel rectangles as the template gives them at the usual dialog font: the data edit ends one
// dialog unit before the browse button.
constexpr ui::Rect DataEditBounds = {95, 24, 354, 45};
constexpr ui::Rect BrowseButtonBounds = {356, 24, 374, 45};

}  // namespace

FakeDialogControls::FakeDialogControls(ui::MainDialog& dialog) : dialog_(dialog) {
    const int plain[] = {IDC_DATA_VALUE,         IDC_BROWSE,      IDC_HMAC,
                         IDC_KEY_VALUE,          IDC_INPUT_LINE,  IDC_EDONKEY_LINE_ABOVE,
                         IDC_EDONKEY_LINE_BELOW, IDC_BOTTOM_LINE, IDC_STATUS_TEXT,
                         ui::CloseCommand,       IDC_HELP_BUTTON};
    for (const int id : plain) {
        controls_[id] = Control{};
    }
    controls_[ui::CalculateCommand].text = ui::CalculateCaption;
    controls_[IDC_PROGRESS_BAR].visible = false;
    for (const ui::DialogRow& row : ui::DialogRows) {
        controls_[row.check_box] = Control{};
        controls_[row.result] = Control{};
    }
    controls_[IDC_DATA_FORMAT].items.assign(ui::DataFormatItems.begin(), ui::DataFormatItems.end());
    controls_[IDC_KEY_FORMAT].items.assign(ui::KeyFormatItems.begin(), ui::KeyFormatItems.end());
    controls_[IDC_DATA_VALUE].bounds = DataEditBounds;
    controls_[IDC_BROWSE].bounds = BrowseButtonBounds;
    dialog_.Attach(this);
}

void FakeDialogControls::Initialise(const ui::StoredSettings& stored) {
    dialog_.OnInit(stored);
}

void FakeDialogControls::Type(int edit, const std::wstring& text) {
    SetText(edit, text);
}

void FakeDialogControls::Click(int check_box) {
    Control& box = controls_.at(check_box);
    box.checked = !box.checked;
    dialog_.OnCommand(check_box, ui::ButtonClicked);
}

void FakeDialogControls::Choose(int selector, int index) {
    SetSelection(selector, index);
    dialog_.OnCommand(selector, ui::SelectionAccepted);
}

void FakeDialogControls::SetText(int id, std::wstring_view text) {
    controls_.at(id).text = text;
    if (id == IDC_DATA_VALUE || id == IDC_KEY_VALUE) {
        dialog_.OnCommand(id, ui::TextChanged);
    }
}

void FakeDialogControls::SetChecked(int id, bool checked) {
    Control& box = controls_.at(id);
    if (box.checked != checked) {
        journal.push_back((checked ? "tick " : "untick ") + std::to_string(id));
    }
    box.checked = checked;
}

void FakeDialogControls::Select(int id, int index) {
    journal.push_back("select " + std::to_string(id) + " " + std::to_string(index));
    SetSelection(id, index);
}

void FakeDialogControls::SetSelection(int id, int index) {
    Control& selector = controls_.at(id);
    selector.selection = index >= 0 && index < int(selector.items.size()) ? index : -1;
}

void FakeDialogControls::Enable(int id, bool enabled) {
    Control& control = controls_.at(id);
    if (control.enabled != enabled) {
        journal.push_back((enabled ? "enable " : "disable ") + std::to_string(id));
    }
    control.enabled = enabled;
}

void FakeDialogControls::Move(int id, const ui::Rect& bounds) {
    journal.push_back("move " + std::to_string(id));
    controls_.at(id).bounds = bounds;
}

void FakeDialogControls::SetResultMark(int id, ui::ResultMark mark) {
    Control& result = controls_.at(id);
    if (result.mark != mark) {
        const char* name = mark == ui::ResultMark::Match      ? "match"
                           : mark == ui::ResultMark::Mismatch ? "mismatch"
                                                              : "none";
        journal.push_back("mark " + std::to_string(id) + " " + name);
    }
    result.mark = mark;
}

void FakeDialogControls::ShowWarning(int message_id) {
    journal.push_back("warning " + std::to_string(message_id));
    warnings.push_back(message_id);
}

void FakeDialogControls::StartBackgroundWork(std::function<void(std::stop_token)> work) {
    journal.push_back("start work");
    ++works_started;
    stop_ = std::stop_source();
    held_work_ = std::move(work);
    if (!hold_background_work) {
        FinishBackgroundWork();
    }
}

void FakeDialogControls::StopBackgroundWork() {
    journal.push_back("stop work");
    stop_.request_stop();
}

void FakeDialogControls::FinishBackgroundWork() {
    const std::function<void(std::stop_token)> work = std::move(held_work_);
    held_work_ = nullptr;
    work(stop_.get_token());
    journal.push_back("work done");
    dialog_.OnBackgroundWorkDone();
}

void FakeDialogControls::Close() {
    journal.push_back("close");
    if (held_work_) {
        stop_.request_stop();
        const std::function<void(std::stop_token)> work = std::move(held_work_);
        held_work_ = nullptr;
        work(stop_.get_token());
    }
}

void FakeDialogControls::StartProgressTimer() {
    journal.push_back("timer on");
    timer_running = true;
}

void FakeDialogControls::StopProgressTimer() {
    journal.push_back("timer off");
    timer_running = false;
}

void FakeDialogControls::Tick(std::chrono::milliseconds elapsed) {
    now += elapsed;
    if (timer_running) {
        dialog_.OnProgressTimer();
    }
}

void FakeDialogControls::ShowProgress(std::optional<int> position) {
    journal.push_back(position ? "progress " + std::to_string(*position) : "no progress");
    progress = position;
    controls_.at(IDC_PROGRESS_BAR).visible = position.has_value();
}

void FakeDialogControls::RestoreWindowPlacement(const ui::Rect& stored_window_rect) {
    const ui::Rect& r = stored_window_rect;
    journal.push_back("placement " + std::to_string(r.left) + "," + std::to_string(r.top) + "," +
                      std::to_string(r.right) + "," + std::to_string(r.bottom));
}

std::optional<std::wstring> FakeDialogControls::ChooseFile() {
    ++file_dialogs;
    return file_to_choose;
}

std::string FakeDialogControls::ToSystemCodePage(std::wstring_view text) const {
    std::string bytes;
    for (const wchar_t c : text) {
        bytes += uint32_t(c) < 0x100 ? char(uint8_t(c)) : '?';
    }
    return bytes;
}

std::wstring FakeDialogControls::FromSystemCodePage(std::string_view bytes) const {
    std::wstring text;
    for (const char c : bytes) {
        text += wchar_t(uint8_t(c));
    }
    return text;
}

std::string FakeDialogControls::EncodeUtf8(std::wstring_view text) {
    std::string bytes;
    for (const wchar_t c : text) {
        const uint32_t code = uint32_t(c);
        if (code < 0x80) {
            bytes += char(code);
        } else if (code < 0x800) {
            bytes += char(0xC0 | (code >> 6));
            bytes += char(0x80 | (code & 0x3F));
        } else {
            bytes += char(0xE0 | (code >> 12));
            bytes += char(0x80 | ((code >> 6) & 0x3F));
            bytes += char(0x80 | (code & 0x3F));
        }
    }
    return bytes;
}

std::wstring FakeDialogControls::DecodeUtf8(std::string_view bytes) {
    std::wstring text;
    for (size_t i = 0; i < bytes.size();) {
        const uint8_t lead = uint8_t(bytes[i]);
        const size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : 3;
        uint32_t code = length == 1 ? lead : length == 2 ? lead & 0x1F : lead & 0x0F;
        for (size_t k = 1; k < length && i + k < bytes.size(); ++k) {
            code = (code << 6) | (uint8_t(bytes[i + k]) & 0x3F);
        }
        text += wchar_t(code);
        i += length;
    }
    return text;
}
