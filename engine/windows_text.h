// Windows only: text between the system's UTF-16 and the byte encodings the program uses, the
// engine's UTF-8 and the system (ANSI) code page. Kept free of windows.h so the dialog and
// orvendal-cli share it without taking the Windows headers from here.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace engine {

enum class CodePage {
    System,  // the ANSI code page: the bytes text and key inputs hash
    Utf8,
};

// Lenient both ways, as for text the user typed: a character the code page lacks becomes its
// default character ('?'), and bytes that are not valid in it become U+FFFD.
std::string Narrow(std::wstring_view text, CodePage code_page);
std::wstring Widen(std::string_view bytes, CodePage code_page);

// Strict, for a file name: nothing when the bytes are not valid UTF-8, since a repaired name
// would open another file, or none.
std::optional<std::wstring> WidenStrictUtf8(std::string_view utf8);

}  // namespace engine
