#ifdef __linux__
#include <sched.h>
#endif
#include <dirent.h>

#include <algorithm>
#include <cstring>
#include <thread>

#include "platform.h"

namespace engine {

unsigned UsableCoreCount() {
#ifdef __linux__
    cpu_set_t cores;
    if (sched_getaffinity(0, sizeof cores, &cores) == 0 && CPU_COUNT(&cores) > 0) {
        return unsigned(CPU_COUNT(&cores));
    }
#endif
    return std::max(std::thread::hardware_concurrency(), 1u);
}

size_t SystemCodePageLength(const std::string& utf8_path) {
    return utf8_path.size();
}

std::optional<std::vector<std::string>> FolderEntryNames(const std::string& utf8_folder, size_t limit) {
    DIR* folder = opendir(utf8_folder.empty() ? "." : utf8_folder.c_str());
    if (folder == nullptr) {
        return std::nullopt;
    }
    std::vector<std::string> names;
    while (names.size() < limit) {
        const dirent* entry = readdir(folder);
        if (entry == nullptr) {
            break;
        }
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0) {
            names.emplace_back(entry->d_name);
        }
    }
    closedir(folder);
    return names;
}

}  // namespace engine
