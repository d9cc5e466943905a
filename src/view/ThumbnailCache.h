#pragma once

#include <QImage>
#include <QSize>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace lumidex {

// The file a thumbnail was made of, as it stood: a changed file never matches its old one.
struct FileStamp {
    int64_t size = 0;
    int64_t modified = 0; // seconds since 1970-01-01 UTC
    bool operator==(const FileStamp&) const = default;
};

// The text keys of a cached thumbnail that say which file, as it stood, it was made of.
struct PngThumbKeys {
    int width = 0, height = 0; // the thumbnail's own size, from its header
    std::string uri;
    std::optional<int64_t> mtime, size;
    std::optional<int> imageWidth, imageHeight; // the original's size
};
// Reads the header and the uncompressed text chunks of a PNG held in memory; every chunk
// length is checked against size before it is read. False when it is not a PNG.
bool ReadPngThumbKeys(const uint8_t* data, size_t size, PngThumbKeys& out);

// The desktop's shared thumbnail cache ($XDG_CACHE_HOME/thumbnails, else ~/.cache/thumbnails):
// PNG files named by the MD5 of the picture's file URI, in folders by size (normal 128,
// large 256, x-large 512, xx-large 1024). File managers and viewers fill and read the same
// cache, so a folder already browsed elsewhere opens at once. Every failure is silent: the
// caller decodes the picture instead.
class ThumbnailCache {
public:
    // An empty root: no cache at all.
    explicit ThumbnailCache(std::string root) : root_(std::move(root)) {}
    // The user's cache, from the environment at the time of the call.
    static ThumbnailCache ForUser();

    // The file URI of an absolute path, escaped as the desktop's file managers escape it.
    static std::string FileUri(const std::string& path);
    // The cached file's path for a size folder ("normal", "large", ...).
    std::string PathFor(const std::string& path, const char* flavour) const;

    // A current thumbnail of path that covers a cell (the rectangle the picture is drawn into
    // when keepAspect), display-oriented; a null picture when there is none.
    QImage Find(const std::string& path, const FileStamp& stamp, QSize cell, bool keepAspect) const;
    // The longest side of the thumbnail Store writes for a cell; 0 when no size folder serves it.
    static int SideFor(QSize cell);
    // The picture reduced to the size Store writes for a cell (unchanged when not larger).
    static QImage Reduced(const QImage& picture, QSize cell);
    // Stores a thumbnail of path made of picture (display-oriented, at least SideFor(cell) on
    // its longer side unless the original is smaller; original is the original's size).
    void Store(const std::string& path, const FileStamp& stamp, QSize cell, const QImage& picture,
               QSize original) const;
    // Pictures inside the cache itself are never cached.
    bool Holds(const std::string& path) const;

private:
    std::string root_;
};

} // namespace lumidex
