#include "ThumbnailCache.h"

#include "ThumbnailGrid.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QImageWriter>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace lumidex {

namespace {

struct Flavour {
    const char* folder;
    int side;
};
constexpr Flavour kFlavours[] = {
    {"normal", 128}, {"large", 256}, {"x-large", 512}, {"xx-large", 1024}};

// A cached file larger than this is not a thumbnail (the largest, 1024 x 1024 RGBA, packs to
// well under it).
constexpr int64_t kMaxCachedFile = 8 << 20;
// Longer values are not the keys this cache writes or reads.
constexpr size_t kMaxKeyValue = 8192;

uint32_t Be32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3];
}

std::optional<int64_t> Integer(const std::string& text) {
    if (text.empty() || text.size() > 20) return std::nullopt;
    char* end = nullptr;
    errno = 0;
    const long long value = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0') return std::nullopt;
    return value;
}

void Keep(PngThumbKeys& out, std::string_view key, std::string_view value) {
    if (value.size() > kMaxKeyValue) return;
    const std::string text(value);
    if (key == "Thumb::URI")
        out.uri = text;
    else if (key == "Thumb::MTime")
        out.mtime = Integer(text);
    else if (key == "Thumb::Size")
        out.size = Integer(text);
    else if (key == "Thumb::Image::Width") {
        if (auto v = Integer(text); v && *v > 0 && *v <= INT32_MAX) out.imageWidth = int(*v);
    } else if (key == "Thumb::Image::Height") {
        if (auto v = Integer(text); v && *v > 0 && *v <= INT32_MAX) out.imageHeight = int(*v);
    }
}

// A tEXt chunk: keyword, NUL, Latin-1 text.
void TextChunk(PngThumbKeys& out, std::string_view chunk) {
    const size_t nul = chunk.find('\0');
    if (nul == std::string_view::npos) return;
    Keep(out, chunk.substr(0, nul), chunk.substr(nul + 1));
}

// An iTXt chunk: keyword, NUL, compression flag and method, language tag, NUL, translated
// keyword, NUL, UTF-8 text. Compressed ones are not the short keys looked for here.
void InternationalTextChunk(PngThumbKeys& out, std::string_view chunk) {
    const size_t nul = chunk.find('\0');
    if (nul == std::string_view::npos || chunk.size() - nul < 3 || chunk[nul + 1] != 0) return;
    std::string_view rest = chunk.substr(nul + 3);
    for (int skip = 0; skip < 2; ++skip) {
        const size_t end = rest.find('\0');
        if (end == std::string_view::npos) return;
        rest.remove_prefix(end + 1);
    }
    Keep(out, chunk.substr(0, nul), rest);
}

bool MakeFolder(const std::string& path) {
    return ::mkdir(path.c_str(), 0700) == 0 || errno == EEXIST;
}

} // namespace

bool ReadPngThumbKeys(const uint8_t* data, size_t size, PngThumbKeys& out) {
    out = {};
    static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    if (!data || size < 8 + 8 + 13 || std::memcmp(data, kSignature, 8) != 0) return false;
    size_t at = 8;
    bool header = false;
    while (size - at >= 12) {
        const uint32_t length = Be32(data + at);
        const std::string_view type(reinterpret_cast<const char*>(data + at + 4), 4);
        if (length > size - at - 12) return false; // the chunk and its CRC do not fit
        const std::string_view chunk(reinterpret_cast<const char*>(data + at + 8), length);
        if (!header) {
            if (type != "IHDR" || length < 8) return false;
            const uint32_t w = Be32(data + at + 8), h = Be32(data + at + 12);
            if (w == 0 || h == 0 || w > INT32_MAX || h > INT32_MAX) return false;
            out.width = static_cast<int>(w);
            out.height = static_cast<int>(h);
            header = true;
        } else if (type == "tEXt") {
            TextChunk(out, chunk);
        } else if (type == "iTXt") {
            InternationalTextChunk(out, chunk);
        } else if (type == "IEND") {
            break;
        }
        at += 12 + static_cast<size_t>(length);
    }
    return header;
}

ThumbnailCache ThumbnailCache::ForUser() {
    const char* cache = std::getenv("XDG_CACHE_HOME");
    if (cache && cache[0] == '/') return ThumbnailCache(std::string(cache) + "/thumbnails");
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') return ThumbnailCache(std::string(home) + "/.cache/thumbnails");
    return ThumbnailCache("");
}

std::string ThumbnailCache::FileUri(const std::string& path) {
    // The characters a path keeps unescaped in a desktop file URI; the rest, and every byte
    // outside ASCII, become %XX.
    static const char kKept[] = "!$&'()*+,-./:=@_~";
    static const char kHex[] = "0123456789ABCDEF";
    std::string uri = "file://";
    for (const unsigned char c : path) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
            (c != 0 && std::strchr(kKept, c))) {
            uri += static_cast<char>(c);
        } else {
            uri += '%';
            uri += kHex[c >> 4];
            uri += kHex[c & 15];
        }
    }
    return uri;
}

std::string ThumbnailCache::PathFor(const std::string& path, const char* flavour) const {
    const QByteArray uri = QByteArray::fromStdString(FileUri(path));
    const QByteArray md5 = QCryptographicHash::hash(uri, QCryptographicHash::Md5).toHex();
    return root_ + "/" + flavour + "/" + md5.toStdString() + ".png";
}

bool ThumbnailCache::Holds(const std::string& path) const {
    return !root_.empty() && path.size() > root_.size() &&
           path.compare(0, root_.size(), root_) == 0 && path[root_.size()] == '/';
}

int ThumbnailCache::SideFor(QSize cell) {
    const int longer = std::max(cell.width(), cell.height());
    for (const Flavour& f : kFlavours)
        if (f.side >= longer) return f.side;
    return 0;
}

QImage ThumbnailCache::Find(const std::string& path, const FileStamp& stamp, QSize cell,
                            bool keepAspect) const {
    if (root_.empty() || path.empty() || path[0] != '/' || Holds(path)) return {};
    const int smallest = SideFor(cell);
    if (smallest == 0) return {};
    const std::string uri = FileUri(path);
    for (const Flavour& f : kFlavours) {
        if (f.side < smallest) continue;
        const std::string file = PathFor(path, f.folder);
        std::FILE* in = std::fopen(file.c_str(), "rbe");
        if (!in) continue;
        QByteArray bytes;
        struct stat st {};
        if (::fstat(fileno(in), &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0 &&
            st.st_size <= kMaxCachedFile) {
            bytes.resize(static_cast<qsizetype>(st.st_size));
            if (std::fread(bytes.data(), 1, bytes.size(), in) != static_cast<size_t>(bytes.size()))
                bytes.clear();
        }
        std::fclose(in);
        PngThumbKeys keys;
        if (!ReadPngThumbKeys(reinterpret_cast<const uint8_t*>(bytes.constData()),
                              static_cast<size_t>(bytes.size()), keys))
            continue;
        // Current only when made of this file as it stands now.
        if (!keys.mtime || *keys.mtime != stamp.modified) continue;
        if (keys.size && *keys.size != stamp.size) continue;
        if (!keys.uri.empty() && keys.uri != uri) continue;
        if (keys.width > 1024 || keys.height > 1024) continue;
        const QSize own(keys.width, keys.height);
        const QSize need = FitIntoCell(QRect(QPoint(0, 0), cell), own, keepAspect).size();
        const bool wholeOriginal = keys.imageWidth && keys.imageHeight &&
                                   QSize(*keys.imageWidth, *keys.imageHeight) == own;
        if (!wholeOriginal && (own.width() < need.width() || own.height() < need.height()))
            continue;
        QImage picture;
        if (!picture.loadFromData(bytes, "PNG") || picture.size() != own) continue;
        return picture;
    }
    return {};
}

QImage ThumbnailCache::Reduced(const QImage& picture, QSize cell) {
    const int side = SideFor(cell);
    if (side == 0 || std::max(picture.width(), picture.height()) <= side) return picture;
    return picture.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

void ThumbnailCache::Store(const std::string& path, const FileStamp& stamp, QSize cell,
                           const QImage& picture, QSize original) const {
    const int side = SideFor(cell);
    if (root_.empty() || side == 0 || picture.isNull() || path.empty() || path[0] != '/' ||
        Holds(path))
        return;
    const char* folder = nullptr;
    for (const Flavour& f : kFlavours)
        if (f.side == side) folder = f.folder;
    QImage thumb = Reduced(picture, cell);
    thumb.setText("Thumb::URI", QString::fromStdString(FileUri(path)));
    thumb.setText("Thumb::MTime", QString::number(stamp.modified));
    thumb.setText("Thumb::Size", QString::number(stamp.size));
    thumb.setText("Thumb::Image::Width", QString::number(original.width()));
    thumb.setText("Thumb::Image::Height", QString::number(original.height()));
    thumb.setText("Software", "Lumidex2");
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "PNG");
    writer.setQuality(60); // faster packing; a thumbnail is small either way
    if (!writer.write(thumb)) return;

    // The cache folders are private to the user; the file appears whole or not at all.
    const std::filesystem::path parent = std::filesystem::path(root_).parent_path();
    if (!parent.empty()) MakeFolder(parent.string());
    if (!MakeFolder(root_) || !MakeFolder(root_ + "/" + folder)) return;
    const std::string target = PathFor(path, folder);
    std::string temporary = target + ".XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC); // created 0600
    if (fd < 0) return;
    bool ok = ::fchmod(fd, 0600) == 0;
    for (qsizetype done = 0; ok && done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.constData() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        ok = n > 0;
        if (ok) done += n;
    }
    ok = ::close(fd) == 0 && ok;
    if (!ok || std::rename(temporary.c_str(), target.c_str()) != 0) ::unlink(temporary.c_str());
}

} // namespace lumidex
