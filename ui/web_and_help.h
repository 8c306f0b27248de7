// The texts behind the web link and the help: the address opened in the browser, the request
// handed to the HTML Help viewer, and the message shown when no help window appears. The shell
// and viewer calls themselves live with the dialog.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ui {

// The maker's web site; always ends in '/' so a page word can follow directly.
inline constexpr wchar_t MakerWebAddress[] = L"https://www.tamberlyn.example/";

// The page word of the library line in the About box.
inline constexpr wchar_t LibraryPageWord[] = L"velloquin";

// The help file beside the executable and its window type.
inline constexpr wchar_t HelpFileName[] = L"Orvendal.chm";
inline constexpr wchar_t HelpWindowType[] = L"Main";

// The maker's address, then the page word (empty for none), then "?source=", the product word
// and ".exe", so the site can tell which program sent the visitor:
// "https://www.tamberlyn.example/velloquin?source=Orvendal.exe".
std::wstring BuildWebAddress(std::wstring_view page_word, std::wstring_view product_word);

struct HelpRequest {
    std::wstring file;   // the help file's full name, named in the not-found message
    std::wstring topic;  // what the viewer is asked to display: file, '>', window type
};

// For the executable's full path, the help file in the same directory:
// C:\Tools\Orvendal.exe gives file C:\Tools\Orvendal.chm and topic C:\Tools\Orvendal.chm>Main.
// nullopt when the path holds no '\' (no directory to look in).
std::optional<HelpRequest> BuildHelpRequest(std::wstring_view executable_path);

// The message when no help window appears: the string-table text "未能找到" (not found), then
// the file's full name in double quotes, then " Help file!".
std::wstring HelpNotFoundMessage(std::wstring_view not_found_text, std::wstring_view help_file);

}  // namespace ui
