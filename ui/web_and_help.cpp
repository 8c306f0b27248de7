#include "ui/web_and_help.h"

namespace ui {

std::wstring BuildWebAddress(std::wstring_view page_word, std::wstring_view product_word) {
    std::wstring address = MakerWebAddress;
    address += page_word;
    address += L"?source=";
    address += product_word;
    address += L".exe";
    return address;
}

std::optional<HelpRequest> BuildHelpRequest(std::wstring_view executable_path) {
    const size_t separator = executable_path.rfind(L'\\');
    if (separator == std::wstring_view::npos) {
        return std::nullopt;
    }
    HelpRequest request;
    request.file = std::wstring(executable_path.substr(0, separator + 1)) + HelpFileName;
    request.topic = request.file + L'>' + HelpWindowType;
    return request;
}

std::wstring HelpNotFoundMessage(std::wstring_view not_found_text, std::wstring_view help_file) {
    std::wstring message(not_found_text);
    message += L'"';
    message += help_file;
    message += L'"';
    message += L" Help file!";
    return message;
}

}  // namespace ui
