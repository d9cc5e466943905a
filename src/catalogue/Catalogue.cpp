#include "Catalogue.h"

#include "Paths.h"

#include <algorithm>

namespace lumidex {

uint64_t Catalogue::PrefixOf(std::string_view path) {
    uint64_t prefix = 0;
    for (size_t i = 0; i < 8; ++i) {
        unsigned char c = i < path.size() ? static_cast<unsigned char>(path[i]) : 0;
        if (c >= 'a' && c <= 'z') c = static_cast<unsigned char>(c - 32);
        prefix = (prefix << 8) | c;
    }
    return prefix;
}

bool Catalogue::Before(const Item& item, uint64_t prefix, std::string_view path) {
    if (item.prefix != prefix) return item.prefix < prefix;
    const std::string& mine = item.entry->path;
    int c = paths::CompareUpper(mine, path);
    if (c != 0) return c < 0;
    if constexpr (paths::kCaseSensitive) return std::string_view(mine) < path;
    return false;
}

size_t Catalogue::LowerBound(uint64_t prefix, std::string_view path) const {
    auto it = std::partition_point(items_.begin(), items_.end(),
                                   [&](const Item& item) { return Before(item, prefix, path); });
    return static_cast<size_t>(it - items_.begin());
}

std::string Catalogue::Key(int position) const {
    return paths::UpperKey(Entry(position).path);
}

int Catalogue::FindEntry(std::string_view path) const {
    size_t at = LowerBound(PrefixOf(path), path);
    if (at < items_.size() && paths::SamePath(items_[at].entry->path, path))
        return static_cast<int>(at);
    return -1;
}

int Catalogue::PositionOf(const Pdata* entry) const {
    for (size_t i = 0; i < items_.size(); ++i)
        if (items_[i].entry.get() == entry) return static_cast<int>(i);
    return -1;
}

int Catalogue::Insert(std::unique_ptr<Pdata> entry) {
    uint64_t prefix = PrefixOf(entry->path);
    // Entries read from a database usually arrive in order: append without a search.
    size_t at;
    if (items_.empty() || Before(items_.back(), prefix, entry->path)) {
        at = items_.size();
    } else {
        at = LowerBound(prefix, entry->path);
    }
    items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(at), Item{prefix, std::move(entry)});
    ++generation_;
    return static_cast<int>(at);
}

std::unique_ptr<Pdata> Catalogue::Take(int position) {
    auto it = items_.begin() + position;
    std::unique_ptr<Pdata> entry = std::move(it->entry);
    items_.erase(it);
    ++generation_;
    return entry;
}

int Catalogue::Rekey(const Pdata* entry) {
    int position = PositionOf(entry);
    if (position < 0) return -1;
    return Insert(Take(position));
}

} // namespace lumidex
