// What orvendal-cli needs from the platform: text in the engine's encodings, and output that
// shows correctly on a console. One small file per platform.
#pragma once

#include <string>

namespace cli {

// Text and key bytes as the dialog would take them: the system code page bytes of what was
// typed (characters the code page lacks become '?'). On POSIX the bytes as given.
std::string ToSystemCodePage(const std::string& utf8);

// Writes UTF-8 text to standard output or standard error. A Windows console gets it as
// Unicode; a pipe or a file gets the UTF-8 bytes.
void WriteOutput(const std::string& utf8);
void WriteError(const std::string& utf8);
// False when standard output could not be written.
bool FlushOutput();

bool StandardErrorIsTerminal();

}  // namespace cli
