#pragma once

#include "Pdata.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace lumidex {

// All entries, ordered by their key: the path with ASCII letters upper-cased, compared
// bytewise; paths with equal keys are ordered by their exact bytes on case-sensitive file
// systems. Positions are indexes into this order. The catalogue owns its entries.
//
// The items sit in one vector with a movable gap: a run of insertions at rising positions (a
// database merged into a large catalogue) moves each item once rather than once per insertion.
class Catalogue {
public:
    int Count() const { return static_cast<int>(items_.size() - gapLength_); }
    bool Empty() const { return Count() == 0; }
    Pdata& Entry(int position) const { return *At(static_cast<size_t>(position)).entry; }
    std::string Key(int position) const;

    // Position of the first entry whose path names the same file as path, or -1.
    int FindEntry(std::string_view path) const;
    // Position of the entry itself, or -1 (linear).
    int PositionOf(const Pdata* entry) const;
    // Inserts before every entry of an equal key and returns the position.
    int Insert(std::unique_ptr<Pdata> entry);
    // Removes the item and hands its entry back to the caller.
    std::unique_ptr<Pdata> Take(int position);
    // Moves an entry whose path changed to its new place; returns the new position or -1.
    int Rekey(const Pdata* entry);
    void Reserve(size_t capacity) { items_.reserve(capacity + gapLength_); }
    void Clear() {
        items_.clear();
        gapStart_ = gapLength_ = 0;
        ++generation_;
    }
    // Changes with every insertion and removal (and with Touch), so that anything built over
    // the positions can tell it is out of date.
    uint64_t Generation() const { return generation_; }
    // For callers that changed an entry's signature in place.
    void Touch() { ++generation_; }

private:
    struct Item {
        uint64_t prefix; // the key's first eight bytes, for fast comparisons
        std::unique_ptr<Pdata> entry;
    };
    static uint64_t PrefixOf(std::string_view path);
    // Whether the item orders before the sought key.
    static bool Before(const Item& item, uint64_t prefix, std::string_view path);
    size_t LowerBound(uint64_t prefix, std::string_view path) const;
    const Item& At(size_t position) const {
        return items_[position < gapStart_ ? position : position + gapLength_];
    }
    // Moves the gap so that it starts at the position.
    void MoveGapTo(size_t position);

    std::vector<Item> items_;
    size_t gapStart_ = 0;
    size_t gapLength_ = 0;
    uint64_t generation_ = 0;
};

} // namespace lumidex
