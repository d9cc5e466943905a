#include "ThumbnailSource.h"

#include "ExifThumbnail.h"
#include "FileStatus.h"
#include "Paths.h"
#include "PictureReader.h"
#include "RgbDecoders.h"
#include "SpiHost.h"
#include "ThumbnailCache.h"
#include "ThumbnailGrid.h"

#include <QTransform>

#include <cstdio>
#include <memory>

namespace lumidex {

namespace {

// Cameras round the embedded picture's sides; a letterboxed one (4:3 for a 3:2 sensor) is off
// by far more.
constexpr double kAspectTolerance = 0.02;
// Exif thumbnails are small; a large one is not what this shortcut is for.
constexpr int kMaxExifThumbnailSide = 1024;

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

RgbAllocator IntoImage(QImage& image) {
    return [&image](int width, int height) {
        image = QImage(width, height, QImage::Format_RGB888);
        if (image.isNull()) return RgbTarget{};
        return RgbTarget{image.bits(), static_cast<size_t>(image.bytesPerLine())};
    };
}

bool IsJpegPath(const std::string& path) {
    const std::string ext = paths::UpperKey(paths::Extension(path));
    return ext == ".JPG" || ext == ".JIF" || ext == ".JPE" || ext == ".JPEG";
}

bool Turned(int orientation) {
    return orientation >= 5 && orientation <= 8;
}

// What the cell shows of a picture of this (display) size, and what the cache wants of it.
QSize Cover(QSize display, QSize cell, bool keepAspect, int cacheSide) {
    QSize cover = FitIntoCell(QRect(QPoint(0, 0), cell), display, keepAspect).size();
    if (cacheSide > 0)
        cover = cover.expandedTo(
            display.scaled(cacheSide, cacheSide, Qt::KeepAspectRatio).boundedTo(display));
    return cover.expandedTo({1, 1});
}

// A JPEG by the reduced decode or its Exif thumbnail; fromExif tells which.
bool ReadJpegForCell(QImage& picture, const std::string& path, QSize cell, bool keepAspect,
                     int cacheSide, QSize& original, bool& fromExif) {
    File file(std::fopen(path.c_str(), "rbe"));
    if (!file) return false;
    int orientation = 1;
    QImage exifPicture, decoded;
    QSize stored;
    const JpegHeaderHook hook = [&](const JpegHeader& header, int& coverWidth, int& coverHeight) {
        stored = QSize(header.width, header.height);
        ExifThumbnail exif;
        if (header.exif) ParseExif(header.exif, header.exifSize, exif);
        orientation = exif.orientation;
        const bool turned = Turned(orientation);
        const QSize display = turned ? stored.transposed() : stored;
        QSize need = FitIntoCell(QRect(QPoint(0, 0), cell), display, keepAspect).size();
        if (turned) need.transpose();
        if (exif.length > 0) {
            exifPicture = UsableExifThumbnail(header.exif + exif.offset, exif.length, stored, need);
            if (!exifPicture.isNull()) return false;
        }
        QSize cover = Cover(display, cell, keepAspect, cacheSide);
        if (turned) cover.transpose();
        coverWidth = cover.width();
        coverHeight = cover.height();
        return true;
    };
    if (DecodeJpegRgbForThumbnail(file.get(), kMaxPictureSide, IntoImage(decoded), hook) !=
        DecodeOutcome::Ok)
        return false;
    fromExif = !exifPicture.isNull();
    const QImage& read = fromExif ? exifPicture : decoded;
    if (read.isNull()) return false;
    picture = Oriented(read, orientation);
    original = Turned(orientation) ? stored.transposed() : stored;
    return true;
}

} // namespace

QImage Oriented(const QImage& picture, int orientation) {
    switch (orientation) {
    case 2:
        return picture.mirrored(true, false);
    case 3:
        return picture.transformed(QTransform().rotate(180));
    case 4:
        return picture.mirrored(false, true);
    case 5: // transposed
        return picture.transformed(QTransform().rotate(90)).mirrored(true, false);
    case 6:
        return picture.transformed(QTransform().rotate(90));
    case 7: // transversed
        return picture.transformed(QTransform().rotate(90)).mirrored(false, true);
    case 8:
        return picture.transformed(QTransform().rotate(270));
    default:
        return picture;
    }
}

namespace {

// Same proportions: |tw / th - W / H| within the tolerance of W / H, in products.
bool SameProportions(QSize thumb, QSize original) {
    const double tw = thumb.width(), th = thumb.height();
    const double w = original.width(), h = original.height();
    return std::abs(tw * h - th * w) <= kAspectTolerance * th * w;
}

bool Dark(const QImage& picture, const QRect& area) {
    // Black bars of a JPEG come back near black; the row or column beside the picture may
    // carry its ringing, and is not looked at.
    constexpr int kDarkest = 40;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const uchar* row = picture.constScanLine(y) + 3 * area.left();
        for (int x = 0; x < 3 * area.width(); ++x)
            if (row[x] > kDarkest) return false;
    }
    return true;
}

// Cameras with a 3:2 sensor keep a 4:3 thumbnail with black bars above and below (or beside)
// the picture: the picture within them, or a null picture when the bars are not there.
QImage WithinBars(const QImage& thumb, QSize original) {
    const qint64 tw = thumb.width(), th = thumb.height();
    const qint64 w = original.width(), h = original.height();
    QRect inner, before, after;
    if (w * th > h * tw) {
        const int height = static_cast<int>((tw * h * 2 + w) / (w * 2));
        const int top = (thumb.height() - height) / 2;
        inner = QRect(0, top, thumb.width(), height);
        before = QRect(0, 0, thumb.width(), top - 1);
        after = QRect(0, top + height + 1, thumb.width(), thumb.height() - top - height - 1);
    } else {
        const int width = static_cast<int>((th * w * 2 + h) / (h * 2));
        const int left = (thumb.width() - width) / 2;
        inner = QRect(left, 0, width, thumb.height());
        before = QRect(0, 0, left - 1, thumb.height());
        after = QRect(left + width + 1, 0, thumb.width() - left - width - 1, thumb.height());
    }
    if (before.isEmpty() || after.isEmpty() || inner.width() < 3 || inner.height() < 3) return {};
    if (!Dark(thumb, before) || !Dark(thumb, after)) return {};
    // The rows (or columns) beside the bars are darkened by them: left out too.
    if (inner.width() == thumb.width())
        inner.adjust(0, 1, 0, -1);
    else
        inner.adjust(1, 0, -1, 0);
    return thumb.copy(inner);
}

} // namespace

QImage UsableExifThumbnail(const uint8_t* data, size_t size, QSize original, QSize need) {
    if (!data || size == 0 || original.isEmpty()) return {};
    std::FILE* memory = fmemopen(const_cast<uint8_t*>(data), size, "rb");
    if (!memory) return {};
    File file(memory);
    QImage thumb;
    if (DecodeJpegRgb(file.get(), kMaxExifThumbnailSide, IntoImage(thumb)) != DecodeOutcome::Ok ||
        thumb.isNull())
        return {};
    // Within bars the proportions are the original's by construction.
    if (!SameProportions(thumb.size(), original)) thumb = WithinBars(thumb, original);
    if (thumb.isNull()) return {};
    if (thumb.width() < need.width() || thumb.height() < need.height()) return {};
    return thumb;
}

bool ReadThumbnail(QImage& picture, const std::string& path, QSize cell, bool keepAspect,
                   const ThumbnailCache* cache) {
    picture = QImage();
    const FileStatus status = GetFileStatus(path);
    if (!status.exists || status.isFolder) return false;
    const FileStamp stamp{status.size, status.modified};
    if (cache) {
        picture = cache->Find(path, stamp, cell, keepAspect);
        if (!picture.isNull()) return true;
    }
    const int cacheSide = cache && !cache->Holds(path) ? ThumbnailCache::SideFor(cell) : 0;
    QSize original;
    bool fromExif = false;
    if (IsJpegPath(path) && !ActivePictureHost()) {
        if (!ReadJpegForCell(picture, path, cell, keepAspect, cacheSide, original, fromExif))
            return false;
    } else {
        if (ReadPictureForCell(picture, path, cell.width(), cell.height(), &original) !=
            ReadOutcome::Ok)
            return false;
    }
    // The cache holds what was decoded from the picture itself, never the camera's shortcut.
    // The cell is then drawn from the cached size, as the next visit draws it.
    if (cache && cacheSide > 0 && !fromExif) {
        picture = ThumbnailCache::Reduced(picture, cell);
        cache->Store(path, stamp, cell, picture, original);
    }
    return !picture.isNull();
}

} // namespace lumidex
