#include "FolderWalk.h"

#include "Paths.h"

#include <filesystem>

namespace lumidex {

namespace fs = std::filesystem;

bool IsSystemFolder(const std::string& folder) {
    std::error_code ec;
    std::string abs = fs::absolute(fs::path(folder), ec).lexically_normal().string();
    if (ec) abs = folder;
    for (const char* root : {"/proc", "/sys", "/dev"}) {
        std::string r(root);
        if (abs == r || abs.rfind(r + "/", 0) == 0) return true;
    }
    return false;
}

FolderItems ListFolder(const std::string& dir,
                       const std::function<bool(std::string_view)>& readableExtension) {
    FolderItems items;
    std::error_code ec;
    fs::directory_iterator it(fs::path(dir), fs::directory_options::skip_permission_denied, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        std::string name = it->path().filename().string();
        std::error_code sec;
        const fs::file_status st = it->symlink_status(sec);
        if (sec) continue;
        if (fs::is_directory(st)) {
            if (name.empty() || name[0] == '.') continue;
            items.push_back({std::move(name), true});
            continue;
        }
        if (fs::is_symlink(st) && fs::is_directory(it->status(sec))) continue;
        const std::string_view ext = paths::Extension(name);
        if (ext.empty() || !readableExtension(ext)) continue;
        items.push_back({std::move(name), false});
    }
    return items;
}

void FolderListings::Keep(const std::string& dir, std::shared_ptr<const FolderItems> items) {
    kept_[dir].push_back(std::move(items));
}

std::shared_ptr<const FolderItems>
FolderListings::Take(const std::string& dir,
                     const std::function<bool(std::string_view)>& readableExtension) {
    auto it = kept_.find(dir);
    if (it == kept_.end())
        return std::make_shared<const FolderItems>(ListFolder(dir, readableExtension));
    std::shared_ptr<const FolderItems> items = std::move(it->second.front());
    it->second.pop_front();
    if (it->second.empty()) kept_.erase(it);
    return items;
}

FolderWalk::FolderWalk(const std::string& folder, int depth, Rules rules, FolderListings& listings)
    : rules_(std::move(rules)), listings_(listings) {
    Enter(folder, depth);
}

void FolderWalk::Enter(const std::string& folder, int depth) {
    if (IsSystemFolder(folder)) return;
    ++depth;
    if (rules_.setDepth && rules_.depth < depth) return;
    if (folder.empty()) return;
    Level level;
    level.dir = paths::WithTrailingDelimiter(folder);
    level.items =
        std::make_shared<const FolderItems>(ListFolder(level.dir, rules_.readableExtension));
    level.depth = depth;
    listings_.Keep(level.dir, level.items);
    stack_.push_back(std::move(level));
}

bool FolderWalk::Next(std::string& path) {
    while (!stack_.empty()) {
        Level& top = stack_.back();
        if (top.next >= top.items->size()) {
            stack_.pop_back();
            continue;
        }
        const FolderItem& item = (*top.items)[top.next++];
        if (item.isFolder) {
            // top may move when the stack grows.
            const std::string sub = top.dir + item.name;
            Enter(sub, top.depth);
            continue;
        }
        path = top.dir + item.name;
        return true;
    }
    return false;
}

} // namespace lumidex
