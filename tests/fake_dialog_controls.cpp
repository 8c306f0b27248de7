#include "fake_dialog_controls.h"

#include "ui/resource.h"

namespace {

// Pixel rectangles as the template gives them at the usual dialog font: the data edit ends one
// dialog unit before the browse button.
constexpr ui::Rect DataEditBounds = {95, 24, 354, 45};
constexpr ui::Rect BrowseButtonBounds = {356, 24, 374, 45};

}  // namespace

FakeDialogControls::FakeDialogControls(ui::MainDialog& dialog) : dialog_(dialog) {
    const int plain[] = {IDC_DATA_VALUE,         IDC_BROWSE,     IDC_HMAC,
                         IDC_KEY_VALUE,          IDC_INPUT_LINE, IDC_EDONKEY_LINE_ABOVE,
                         IDC_EDONKEY_LINE_BELOW, IDC_BOTTOM_LINE};
    for (const int id : plain) {
        controls_[id] = Control{};
    }
    for (const ui::AlgorithmRow& row : ui::AlgorithmRows) {
        controls_[row.check_box] = Control{};
        controls_[row.result] = Control{};
    }
    controls_[IDC_DATA_FORMAT].items.assign(ui::DataFormatItems.begin(), ui::DataFormatItems.end());
    controls_[IDC_KEY_FORMAT].items.assign(ui::KeyFormatItems.begin(), ui::KeyFormatItems.end());
    controls_[IDC_DATA_VALUE].bounds = DataEditBounds;
    controls_[IDC_BROWSE].bounds = BrowseButtonBounds;
    dialog_.Attach(this);
}

void FakeDialogControls::Initialise() {
    dialog_.StateToControls();
    dialog_.ApplyStoredFormats();
    dialog_.CalculateGivenFile();
}

void FakeDialogControls::Type(int edit, const std::wstring& text) {
    SetText(edit, text);
}

void FakeDialogControls::Click(int check_box) {
    Control& box = controls_.at(check_box);
    box.checked = !box.checked;
    if (check_box == IDC_HMAC) {
        dialog_.OnHmacClicked();
    } else {
        dialog_.OnAlgorithmClicked(check_box);
    }
}

void FakeDialogControls::Choose(int selector, int index) {
    Select(selector, index);
    if (selector == IDC_DATA_FORMAT) {
        dialog_.OnDataFormatAccepted();
    } else {
        dialog_.OnKeyFormatAccepted();
    }
}

void FakeDialogControls::SetText(int id, std::wstring_view text) {
    controls_.at(id).text = text;
    if (id == IDC_DATA_VALUE || id == IDC_KEY_VALUE) {
        dialog_.OnValueEdited();  // the edit's change notification
    }
}

void FakeDialogControls::Select(int id, int index) {
    Control& selector = controls_.at(id);
    selector.selection = index >= 0 && index < int(selector.items.size()) ? index : -1;
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
