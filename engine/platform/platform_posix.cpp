#ifdef __linux__
#include <fcntl.h>
#include <sched.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/uio.h>
#include <unistd.h>
#endif
#include <dirent.h>

#include <algorithm>
#include <cstring>
#include <thread>

#include "platform.h"

namespace engine {
namespace {

#ifdef __linux__
// The first character of a small file of the system's, such as "0\n".
bool ReadFirstCharacter(const std::string& path, char& first) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool read = ::read(fd, &first, 1) == 1;
    ::close(fd);
    return read;
}
#endif

}  // namespace

unsigned UsableCoreCount() {
#ifdef __linux__
    cpu_set_t cores;
    if (sched_getaffinity(0, sizeof cores, &cores) == 0 && CPU_COUNT(&cores) > 0) {
        return unsigned(CPU_COUNT(&cores));
    }
#endif
    return std::max(std::thread::hardware_concurrency(), 1u);
}

bool StorageHasSeekPenalty(const std::string& utf8_path) {
#ifdef __linux__
    struct stat status;
    if (::stat(utf8_path.c_str(), &status) != 0) {
        return false;
    }
    // The block device the file system is on; a partition's queue is its disk's, one folder up.
    // A file system on no block device (tmpfs, a network share) has no entry here.
    const std::string device =
        "/sys/dev/block/" + std::to_string(major(status.st_dev)) + ":" + std::to_string(minor(status.st_dev));
    char rotational = '0';
    if (ReadFirstCharacter(device + "/queue/rotational", rotational) ||
        ReadFirstCharacter(device + "/../queue/rotational", rotational)) {
        return rotational == '1';
    }
#else
    (void)utf8_path;
#endif
    return false;
}

bool FileStartIsCached(const std::string& utf8_path) {
#if defined(__linux__) && defined(RWF_NOWAIT)
    const int fd = ::open(utf8_path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        return false;
    }
    // A read that may not wait for the storage gives the byte only when it is in the cache;
    // an empty file needs no storage either.
    char first = 0;
    iovec vector{&first, 1};
    const bool cached = preadv2(fd, &vector, 1, 0, RWF_NOWAIT) >= 0;
    ::close(fd);
    return cached;
#else
    (void)utf8_path;
    return false;
#endif
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
