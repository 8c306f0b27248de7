#include "folder_walk.h"

#include <algorithm>

#include "engine/engine.h"
#include "platform.h"

namespace cli {

void WalkFolder(const std::string& folder, const std::function<void(const std::string&)>& file,
                const std::function<void(const std::string&)>& unreadable) {
    std::optional<std::vector<FolderEntry>> entries = ListFolder(folder);
    if (!entries) {
        unreadable(folder);
        return;
    }
    std::sort(entries->begin(), entries->end(),
              [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
    for (const FolderEntry& entry : *entries) {
        if (entry.kind == EntryKind::File) {
            file(engine::JoinPath(folder, entry.name));
        } else if (entry.kind == EntryKind::Folder) {
            WalkFolder(engine::JoinPath(folder, entry.name), file, unreadable);
        }
    }
}

}  // namespace cli
