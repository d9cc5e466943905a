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
    size_t low = 0, high = static_cast<size_t>(Count());
    while (low < high) {
        size_t middle = low + (high - low) / 2;
        if (Before(At(middle), prefix, path))
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

void Catalogue::MoveGapTo(size_t position) {
    if (gapLength_ == 0) {
        gapStart_ = position;
        return;
    }
    auto at = [this](size_t i) { return items_.begin() + static_cast<std::ptrdiff_t>(i); };
    if (position < gapStart_) {
        std::move_backward(at(position), at(gapStart_), at(gapStart_ + gapLength_));
    } else if (position > gapStart_) {
        std::move(at(gapStart_ + gapLength_), at(position + gapLength_), at(gapStart_));
    }
    gapStart_ = position;
}

std::string Catalogue::Key(int position) const {
    return paths::UpperKey(Entry(position).path);
}

int Catalogue::FindEntry(std::string_view path) const {
    size_t at = LowerBound(PrefixOf(path), path);
    if (at < static_cast<size_t>(Count()) && paths::SamePath(At(at).entry->path, path))
        return static_cast<int>(at);
    return -1;
}

int Catalogue::PositionOf(const Pdata* entry) const {
    for (int i = 0; i < Count(); ++i)
        if (At(static_cast<size_t>(i)).entry.get() == entry) return i;
    return -1;
}

int Catalogue::Insert(std::unique_ptr<Pdata> entry) {
    uint64_t prefix = PrefixOf(entry->path);
    const size_t count = static_cast<size_t>(Count());
    // Entries read from a database usually arrive in order: append without a search.
    size_t at;
    if (count == 0 || Before(At(count - 1), prefix, entry->path)) {
        at = count;
    } else {
        at = LowerBound(prefix, entry->path);
    }
    ++generation_;
    if (at == count && gapLength_ == 0) {
        items_.push_back(Item{prefix, std::move(entry)});
        return static_cast<int>(at);
    }
    if (gapLength_ == 0) {
        // A gap of an eighth of the catalogue: the next insertions nearby cost no shifting.
        const size_t length = std::max<size_t>(16, count / 8);
        items_.resize(items_.size() + length);
        gapStart_ = count;
        gapLength_ = length;
    }
    MoveGapTo(at);
    items_[gapStart_] = Item{prefix, std::move(entry)};
    ++gapStart_;
    --gapLength_;
    return static_cast<int>(at);
}

std::unique_ptr<Pdata> Catalogue::Take(int position) {
    ++generation_;
    const size_t p = static_cast<size_t>(position);
    if (gapLength_ == 0 && p + 1 == items_.size()) {
        std::unique_ptr<Pdata> entry = std::move(items_.back().entry);
        items_.pop_back();
        return entry;
    }
    MoveGapTo(p);
    std::unique_ptr<Pdata> entry = std::move(items_[gapStart_ + gapLength_].entry);
    ++gapLength_;
    return entry;
}

int Catalogue::Rekey(const Pdata* entry) {
    int position = PositionOf(entry);
    if (position < 0) return -1;
    return Insert(Take(position));
}

} // namespace lumidex
