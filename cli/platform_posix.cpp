#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "engine/engine.h"
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

bool OutputHasFailed() {
    return std::ferror(stdout) != 0;
}

bool StandardErrorIsTerminal() {
    return isatty(STDERR_FILENO) != 0;
}

bool IsFolder(const std::string& utf8_path) {
    struct stat status {};
    return stat(utf8_path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

std::optional<std::vector<FolderEntry>> ListFolder(const std::string& utf8_path) {
    DIR* folder = opendir(utf8_path.c_str());
    if (folder == nullptr) {
        return std::nullopt;
    }
    std::vector<FolderEntry> entries;
    while (const dirent* entry = readdir(folder)) {
        if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) {
            continue;
        }
        FolderEntry listed{entry->d_name, EntryKind::Other};
        const std::string path = engine::JoinPath(utf8_path, listed.name);
        struct stat status {};
        // lstat first: a link to a folder is not entered, a link to a file is read as the file.
        if (lstat(path.c_str(), &status) == 0) {
            if (S_ISDIR(status.st_mode)) {
                listed.kind = EntryKind::Folder;
            } else if (S_ISREG(status.st_mode)) {
                listed.kind = EntryKind::File;
            } else if (S_ISLNK(status.st_mode) && stat(path.c_str(), &status) == 0 &&
                       S_ISREG(status.st_mode)) {
                listed.kind = EntryKind::File;
            }
        }
        entries.push_back(std::move(listed));
    }
    closedir(folder);
    return entries;
}

}  // namespace cli
