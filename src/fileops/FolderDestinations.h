#pragma once

#include <string>
#include <vector>

namespace lumidex {

// The folders confirmed in the folder dialog during this run, newest first: the one-click
// destinations of the main window's context menus. Not saved, not limited.
class FolderDestinations {
public:
    // A confirmed folder goes to the top; one already listed moves there.
    void Remember(const std::string& folder);
    // A database's folder, offered after the destinations confirmed so far.
    void AddDatabaseFolder(const std::string& folder);
    const std::vector<std::string>& Items() const { return items_; }

private:
    std::vector<std::string> items_;
};

} // namespace lumidex
