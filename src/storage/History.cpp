#include "History.h"

#include "AtomicFile.h"
#include "FileStatus.h"
#include "Paths.h"

#include <algorithm>
#include <fstream>

namespace lumidex {

int History::Find(const std::string& path) const {
    for (size_t i = 0; i < paths_.size(); ++i)
        if (paths::SamePath(paths_[i], path)) return static_cast<int>(i);
    return -1;
}

void History::AddToHistory(const std::string& path) {
    if (path.empty() || Find(path) >= 0) return;
    paths_.insert(paths_.begin(), path);
    while (static_cast<int>(paths_.size()) > std::max(limit_, 0))
        paths_.pop_back();
}

void History::MoveToFront(const std::string& path) {
    int at = Find(path);
    if (at >= 0) paths_.erase(paths_.begin() + at);
    paths_.insert(paths_.begin(), path);
    while (static_cast<int>(paths_.size()) > std::max(limit_, 0))
        paths_.pop_back();
}

void History::Optimize() {
    std::erase_if(paths_, [](const std::string& p) { return !IsExistingFile(p); });
}

std::vector<History::MenuItem> History::MenuItems(const std::string& databasePath,
                                                  bool changed) const {
    std::vector<MenuItem> items;
    for (const std::string& p : paths_) {
        if (p == databasePath && !changed) continue;
        items.push_back({p, IsExistingFile(p)});
    }
    return items;
}

void History::Load(const std::string& appDir) {
    std::ifstream in(appDir + "history.cfg", std::ios::binary);
    std::string text;
    // A history longer than any limit is not read past its first megabyte.
    constexpr std::streamsize kMaxBytes = 1 << 20;
    text.resize(static_cast<size_t>(kMaxBytes));
    in.read(text.data(), kMaxBytes);
    text.resize(static_cast<size_t>(in.gcount()));
    Parse(text);
}

void History::Parse(std::string_view text) {
    paths_.clear();
    while (!text.empty() && static_cast<int>(paths_.size()) < std::max(limit_, 0)) {
        size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (!line.empty()) paths_.emplace_back(line);
    }
}

bool History::Save(const std::string& appDir) const {
    std::string text;
    for (const std::string& p : paths_)
        text += p + "\r\n";
    return WriteFileAtomically(appDir + "history.cfg", text) == SaveResult::Ok;
}

} // namespace lumidex
