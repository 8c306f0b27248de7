// orvendal-cli -r: the files in a folder and its subfolders, in a stable order.
#pragma once

#include <functional>
#include <string>

namespace cli {

// Calls `file` with the path of each file under `folder`, as reached from it ("folder/sub/name",
// joined with '/' on every system so the sum files written from them read the same anywhere),
// in byte-wise order of the names within each folder, a subfolder walked where its name sorts.
// Links to folders, pipes, devices and sockets are left alone; `unreadable` is called with each
// folder that cannot be listed (the walk goes on with the rest).
void WalkFolder(const std::string& folder, const std::function<void(const std::string&)>& file,
                const std::function<void(const std::string&)>& unreadable);

}  // namespace cli
