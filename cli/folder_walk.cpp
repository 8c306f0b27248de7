#include "folder_walk.h"

#include <algorithm>

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
#ifdef _WIN32
    const bool ends_in_separator = folder.ends_with('/') || folder.ends_with('\\');
#else
    const bool ends_in_separator = folder.ends_with('/');
#endif
    const std::string prefix = ends_in_separator ? folder : folder + "/";
    for (const FolderEntry& entry : *entries) {
        if (entry.kind == EntryKind::File) {
            file(prefix + entry.name);
        } else if (entry.kind == EntryKind::Folder) {
            WalkFolder(prefix + entry.name, file, unreadable);
        }
    }
}

}  // namespace cli
