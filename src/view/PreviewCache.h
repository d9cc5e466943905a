#pragma once

#include <QImage>

#include <cstdint>
#include <string>
#include <vector>

namespace lumidex {

// Which version of a file a cached preview was made from: the exact path (names are
// case-sensitive) with the size and time the file had.
struct PreviewKey {
    std::string path;
    int64_t size = -1;
    int64_t time = -1;
    bool operator==(const PreviewKey&) const = default;
};

// Small copies of recently shown pictures, so that showing one again needs no decoding.
// Items leave in the order they came; a hit does not renew an item.
class PreviewCache {
public:
    struct Item {
        PreviewKey key;
        int fullWidth = 0;
        int fullHeight = 0;
        QImage picture; // side x side, stretched
    };

    // side: the copies' width and height in device pixels.
    explicit PreviewCache(int side = 105) : side_(side) {}

    // The text of CacheCount as a limit: 0 (cache nothing) for text that is no number or not
    // above 0.
    static int LimitFromText(const std::string& text);
    // The text CacheCount shows after an edit: a negative number becomes "20".
    static std::string CorrectedCountText(const std::string& text);

    // Adds a copy of picture, a picture of fullWidth x fullHeight perhaps decoded reduced,
    // unless the key is held already; makes room first.
    void Add(const QImage& picture, int fullWidth, int fullHeight, const PreviewKey& key,
             int limit);
    int Find(const PreviewKey& key) const;
    void Delete(int position);
    // Drops every item of path, whatever version (the file changed or went away).
    void DropPath(const std::string& path);
    void Clear() { items_.clear(); }

    int Count() const { return static_cast<int>(items_.size()); }
    const Item& At(int position) const { return items_[static_cast<size_t>(position)]; }
    int side() const { return side_; }

private:
    int side_;
    std::vector<Item> items_;
};

} // namespace lumidex
