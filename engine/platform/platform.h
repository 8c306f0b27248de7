// The little the engine asks of the system besides reading files: how many cores the process
// may use, whether a file's storage pays for seeks, how long a path is in the system code page,
// the names in a folder, and on Windows the conversions between the system's UTF-16 and the byte
// encodings the program uses. One small file per platform; only the Windows one includes
// windows.h, so the dialog and orvendal-cli share these without
// taking the Windows headers from here.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>
#ifdef _WIN32
#include <string_view>
#endif

namespace engine {

// The cores this process may run on, as its affinity allows (at least 1).
unsigned UsableCoreCount();

// Whether the storage a UTF-8 path is on pays for seeks, as a spinning disk does, so that
// reading several files at once is slower than reading them in turn; false when the system does
// not tell (a network share, a RAM disk, a device it does not know, a path that does not exist).
bool StorageHasSeekPenalty(const std::string& utf8_path);

// Whether the start of the file at a UTF-8 path is in the system's cache (or it is empty), so a
// read of it needs no storage at all; false when not, or the system does not tell (Windows).
bool FileStartIsCached(const std::string& utf8_path);

// The length of a UTF-8 path in bytes of the system code page, which the path-length check
// counts: on Windows the ANSI bytes of the Unicode name, elsewhere the UTF-8 bytes.
size_t SystemCodePageLength(const std::string& utf8_path);

// The names (UTF-8) of the entries of the folder at the UTF-8 path (empty: the current folder),
// but "." and "..", in no particular order and at most `limit` of them; nothing when it cannot
// be listed. Only names: nothing is asked of each entry.
std::optional<std::vector<std::string>> FolderEntryNames(const std::string& utf8_folder, size_t limit);

#ifdef _WIN32
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
#endif

}  // namespace engine
