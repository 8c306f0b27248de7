// What orvendal-cli needs from the platform: text in the engine's encodings, and output that
// shows correctly on a console. One small file per platform.
#pragma once

#include <optional>
#include <string>
#include <vector>

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
// Whether writing standard output has failed so far, without flushing it.
bool OutputHasFailed();

bool StandardErrorIsTerminal();

// What a folder holds, for a recursive walk. A link to a file counts as the file; a link to a
// folder, a device, a pipe or a socket is `Other`, which a walk leaves alone.
enum class EntryKind { File, Folder, Other };
struct FolderEntry {
    std::string name;  // UTF-8, no folder
    EntryKind kind = EntryKind::Other;
};

// Whether a UTF-8 path names a folder (following a link to it).
bool IsFolder(const std::string& utf8_path);
// The entries of a folder but "." and "..", in no particular order; nothing when it cannot be
// listed.
std::optional<std::vector<FolderEntry>> ListFolder(const std::string& utf8_path);

}  // namespace cli
