#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lumidex {

// Recently used databases, most recent first, kept in "history.cfg".
class History {
public:
    // The hidden options field HistoryCount.
    explicit History(int limit = 20) : limit_(limit) {}

    const std::vector<std::string>& Paths() const { return paths_; }
    void SetLimit(int limit) { limit_ = limit; }

    // Inserts a path at the front unless it is held already (then it stays where it is).
    void AddToHistory(const std::string& path);
    // Moves a path to the front (choosing it from the file menu).
    void MoveToFront(const std::string& path);
    void Clear() { paths_.clear(); }
    // Removes every path whose file does not exist.
    void Optimize();

    struct MenuItem {
        std::string path;
        bool enabled; // the file exists
    };
    // The items of the file menu: every path except the open database while it is unchanged.
    std::vector<MenuItem> MenuItems(const std::string& databasePath, bool changed) const;

    // "history.cfg" in appDir; a missing or unreadable file leaves the history empty.
    void Load(const std::string& appDir);
    // The lines of a history file; empty lines are skipped, at most the limit is kept.
    void Parse(std::string_view text);
    bool Save(const std::string& appDir) const;

private:
    int Find(const std::string& path) const;

    std::vector<std::string> paths_;
    int limit_;
};

} // namespace lumidex
