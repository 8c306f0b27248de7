// Windows only: the wide command line in the engine's UTF-8.
#pragma once

#include <string>

namespace cli {

std::string WideToUtf8(const wchar_t* text);

}  // namespace cli
