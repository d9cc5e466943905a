#include "FolderDestinations.h"

#include <algorithm>

namespace lumidex {

void FolderDestinations::Remember(const std::string& folder) {
    auto it = std::find(items_.begin(), items_.end(), folder);
    if (it != items_.end()) items_.erase(it);
    items_.insert(items_.begin(), folder);
}

void FolderDestinations::AddDatabaseFolder(const std::string& folder) {
    // Reading the same database again must not list its folder twice.
    if (folder.empty() || std::find(items_.begin(), items_.end(), folder) != items_.end()) return;
    items_.push_back(folder);
}

} // namespace lumidex
