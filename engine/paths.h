// How paths are taken apart and joined, in one place for every platform's rules: on Windows
// both '/' and '\' separate, and "C:" starts a drive. Paths are UTF-8 text; nothing here
// touches the file system.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace engine {

enum class PathStyle { Posix, Windows };
#ifdef _WIN32
constexpr PathStyle NativePathStyle = PathStyle::Windows;
#else
constexpr PathStyle NativePathStyle = PathStyle::Posix;
#endif

constexpr bool IsPathSeparator(char c, PathStyle style = NativePathStyle) {
    return c == '/' || (style == PathStyle::Windows && c == '\\');
}

// Where the last component (a file's own name) starts: after the last separator, or after a
// drive ("C:name"); 0 when the path is a bare name.
size_t NameStart(std::string_view path, PathStyle style = NativePathStyle);

// `name` inside `folder`: joined with '/' on every system (so what is written from the result
// reads the same anywhere), unless the folder already ends in a separator.
std::string JoinPath(std::string_view folder, std::string_view name, PathStyle style = NativePathStyle);

// The path to open for `listed_name` from the sum file at `sum_file_path` (empty for standard
// input, whose names are relative to the current folder): an absolute listed name as it is,
// any other joined to the sum file's folder. Windows style writes '\' for every separator and
// gives a name rooted at "\" the sum file's drive.
std::string ResolveListedName(std::string_view sum_file_path, std::string_view listed_name,
                              PathStyle style = NativePathStyle);

}  // namespace engine
