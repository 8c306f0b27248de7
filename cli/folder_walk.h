// orvendal-cli -r: the files in a folder and its subfolders, in a stable order, one at a time.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform.h"

namespace cli {

// The files under a folder, as reached from it ("folder/sub/name", joined with '/' on every
// system so the sum files written from them read the same anywhere), in byte-wise order of the
// names within each folder, a subfolder walked where its name sorts. Links to folders, pipes,
// devices and sockets are left alone. A folder is listed when the walk reaches it, so only the
// folders on the way to the current file are held, never the whole tree.
class FolderWalk {
  public:
    explicit FolderWalk(std::string folder);

    enum class Step { File, UnreadableFolder, End };
    // The next file, or the next folder that cannot be listed (the walk goes on with the rest);
    // `path` is its path.
    Step Next(std::string& path);

  private:
    struct Level {
        std::string folder;
        std::vector<FolderEntry> entries;  // sorted
        size_t next = 0;
    };
    // Lists `folder` as the next level; false when it cannot be listed.
    bool Enter(const std::string& folder);

    std::string top_;
    bool started_ = false;
    std::vector<Level> levels_;
};

}  // namespace cli
