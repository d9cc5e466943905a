#pragma once

#include "FileSystem.h"

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace lumidex {

// Whether a folder scan stays out of folder: the pseudo file systems stand where the system
// folder stood.
bool IsSystemFolder(const std::string& folder);

// What a folder scan looks at in one folder (FolderItem, shared with the file operations), in
// the order the file system lists it: the subfolders it enters and the files it analyses.
using FolderItems = std::vector<FolderItem>;

// dir ends with the delimiter. Folders whose name begins with '.' and links to folders are
// left out (a loop would never end), and so are files whose extension is not readable.
FolderItems ListFolder(const std::string& dir,
                       const std::function<bool(std::string_view)>& readableExtension);

// Listings made ahead of the scan that will use them, so that both see one listing.
class FolderListings {
public:
    void Keep(const std::string& dir, std::shared_ptr<const FolderItems> items);
    // The listing kept for dir, else a fresh one.
    std::shared_ptr<const FolderItems>
    Take(const std::string& dir, const std::function<bool(std::string_view)>& readableExtension);
    void Clear() { kept_.clear(); }

private:
    std::map<std::string, std::deque<std::shared_ptr<const FolderItems>>> kept_;
};

// The files a folder scan will analyse, in its order, one at a time: the same depth rules and
// folders left out as the scan. Each listing it makes is kept for the scan.
class FolderWalk {
public:
    struct Rules {
        bool setDepth = false;
        int depth = 1;
        std::function<bool(std::string_view)> readableExtension;
    };
    FolderWalk(const std::string& folder, int depth, Rules rules, FolderListings& listings);
    // The next file's path; false at the end.
    bool Next(std::string& path);

private:
    void Enter(const std::string& folder, int depth);

    struct Level {
        std::string dir;
        std::shared_ptr<const FolderItems> items;
        size_t next = 0;
        int depth = 0;
    };
    Rules rules_;
    FolderListings& listings_;
    std::vector<Level> stack_;
};

} // namespace lumidex
