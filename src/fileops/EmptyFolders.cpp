#include "EmptyFolders.h"

#include "Paths.h"

#include <vector>

namespace lumidex {

int RemoveEmptyFolders(FileSystem& fs, const std::string& folder, bool recurse) {
    std::vector<FolderItem> items;
    if (fs.List(folder, items) != 0) return 0;
    int count = 0;
    bool empty = true;
    for (const FolderItem& item : items) {
        if (!item.isFolder || !recurse) {
            empty = false;
            continue;
        }
        int removed = RemoveEmptyFolders(fs, paths::Join(folder, item.name), recurse);
        if (removed == 0) empty = false;
        count += removed;
    }
    if (empty) {
        // A sub-folder trashed above may have left its parent not yet empty: look again.
        if (count > 0 && fs.List(folder, items) == 0 && !items.empty()) return count;
        std::string trashedAt;
        std::string path = folder;
        while (path.size() > 1 && paths::IsDelimiter(path.back()))
            path.pop_back();
        if (fs.Trash(path, trashedAt) == 0) ++count;
    }
    return count;
}

} // namespace lumidex
