#include "paths.h"

#include "hashlib/ascii.h"

namespace engine {
namespace {

// "C:" at the start of a Windows path, else empty.
std::string_view DriveOf(std::string_view path, PathStyle style) {
    const bool has_drive = style == PathStyle::Windows && path.size() >= 2 && path[1] == ':' &&
                           hashlib::ascii::IsLetter(path[0]);
    return has_drive ? path.substr(0, 2) : std::string_view();
}

}  // namespace

size_t NameStart(std::string_view path, PathStyle style) {
    for (size_t at = path.size(); at > 0; --at) {
        if (IsPathSeparator(path[at - 1], style)) {
            return at;
        }
    }
    return DriveOf(path, style).size();
}

std::string JoinPath(std::string_view folder, std::string_view name, PathStyle style) {
    std::string path(folder);
    if (!folder.empty() && !IsPathSeparator(folder.back(), style)) {
        path += '/';
    }
    path += name;
    return path;
}

std::string ResolveListedName(std::string_view sum_file_path, std::string_view listed_name, PathStyle style) {
    const auto is_separator = [style](char c) { return IsPathSeparator(c, style); };
    std::string path;
    if (!DriveOf(listed_name, style).empty() ||
        (style == PathStyle::Windows && listed_name.size() >= 2 && is_separator(listed_name[0]) &&
         is_separator(listed_name[1]))) {
        path = listed_name;  // a drive or a server of its own
    } else if (!listed_name.empty() && is_separator(listed_name[0])) {
        path = std::string(DriveOf(sum_file_path, style)) + std::string(listed_name);  // rooted
    } else {
        path =
            std::string(sum_file_path.substr(0, NameStart(sum_file_path, style))) + std::string(listed_name);
    }
    if (style == PathStyle::Windows) {
        for (char& c : path) {
            if (c == '/') {
                c = '\\';
            }
        }
    }
    return path;
}

}  // namespace engine
