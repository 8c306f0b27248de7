// The file reader on POSIX systems. There is no share mode to ask for: other readers and
// writers are never locked out. A missing file or directory (also a path through something that
// is not a directory) gives 1; anything else, a directory included, gives 2.
#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "file_reader.h"

namespace engine {
namespace {

// Size of a regular file, 0 for anything else; false for a directory, which cannot be read.
bool Inspect(int fd, uint64_t& size) {
    struct stat status;
    if (fstat(fd, &status) != 0 || S_ISDIR(status.st_mode)) {
        return false;
    }
    size = S_ISREG(status.st_mode) ? uint64_t(status.st_size) : 0;
    return true;
}

}  // namespace

ResultCode FileReader::Open(const std::string& path) {
    Close();
    int fd;
    do {
        fd = ::open(path.c_str(), O_RDONLY | O_NOCTTY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        return errno == ENOENT || errno == ENOTDIR ? ResultNotFound : ResultUnreadable;
    }
    uint64_t size = 0;
    if (!Inspect(fd, size)) {
        ::close(fd);
        return ResultUnreadable;
    }
#ifdef POSIX_FADV_SEQUENTIAL
    posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);  // read ahead: the file is read once, in order
#endif
    handle_ = fd;
    owned_ = true;
    size_ = size;
    return ResultSuccess;
}

ResultCode FileReader::OpenStandardInput() {
    Close();
    uint64_t size = 0;
    if (!Inspect(STDIN_FILENO, size)) {
        return ResultUnreadable;
    }
    handle_ = STDIN_FILENO;
    owned_ = false;
    size_ = size;
    return ResultSuccess;
}

bool FileReader::ReadSome(uint8_t* buffer, uint32_t capacity, uint32_t& got) {
    ssize_t count;
    do {
        count = ::read(int(handle_), buffer, capacity);
    } while (count < 0 && errno == EINTR);
    if (count < 0) {
        return false;
    }
    got = uint32_t(count);
    return true;
}

void FileReader::Close() {
    if (owned_ && handle_ >= 0) {
        ::close(int(handle_));
    }
    handle_ = -1;
    owned_ = false;
    size_ = 0;
}

}  // namespace engine
