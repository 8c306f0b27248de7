#include <unistd.h>

#include <cstdio>

#include "platform.h"

namespace cli {

std::string ToSystemCodePage(const std::string& utf8) {
    return utf8;
}

void WriteOutput(const std::string& utf8) {
    std::fwrite(utf8.data(), 1, utf8.size(), stdout);
}

void WriteError(const std::string& utf8) {
    std::fwrite(utf8.data(), 1, utf8.size(), stderr);
}

bool FlushOutput() {
    return std::fflush(stdout) == 0 && !std::ferror(stdout);
}

bool StandardErrorIsTerminal() {
    return isatty(STDERR_FILENO) != 0;
}

}  // namespace cli
