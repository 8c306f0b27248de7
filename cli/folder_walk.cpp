#include "folder_walk.h"

#include <algorithm>
#include <utility>

#include "engine/engine.h"

namespace cli {

FolderWalk::FolderWalk(std::string folder) : top_(std::move(folder)) {}

bool FolderWalk::Enter(const std::string& folder) {
    std::optional<std::vector<FolderEntry>> entries = ListFolder(folder);
    if (!entries) {
        return false;
    }
    std::sort(entries->begin(), entries->end(),
              [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
    levels_.push_back({folder, std::move(*entries), 0});
    return true;
}

FolderWalk::Step FolderWalk::Next(std::string& path) {
    if (!started_) {
        started_ = true;
        if (!Enter(top_)) {
            path = top_;
            return Step::UnreadableFolder;
        }
    }
    while (!levels_.empty()) {
        Level& level = levels_.back();
        if (level.next == level.entries.size()) {
            levels_.pop_back();
            continue;
        }
        const FolderEntry& entry = level.entries[level.next++];
        if (entry.kind == EntryKind::File) {
            path = engine::JoinPath(level.folder, entry.name);
            return Step::File;
        }
        if (entry.kind == EntryKind::Folder) {
            const std::string folder = engine::JoinPath(level.folder, entry.name);
            if (!Enter(folder)) {  // `level` may have moved
                path = folder;
                return Step::UnreadableFolder;
            }
        }
    }
    return Step::End;
}

}  // namespace cli
