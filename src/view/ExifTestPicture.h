#pragma once
// Camera-like JPEGs for tests and benchmarks: an Exif block with an orientation and an
// embedded thumbnail, as cameras write them.

#include <QBuffer>
#include <QImage>
#include <QPainter>

#include <cstdint>
#include <string>

namespace lumidex::test {

inline std::string JpegBytes(const QImage& picture, int quality = 85) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "JPG", quality);
    return bytes.toStdString();
}

// The APP1 segment (marker included): IFD0 with the orientation, IFD1 with the thumbnail.
inline std::string ExifSegment(int orientation, const std::string& thumbnailJpeg) {
    std::string tiff;
    auto u16 = [&](unsigned v) { tiff += char(v & 255), tiff += char(v >> 8 & 255); };
    auto u32 = [&](uint32_t v) { u16(v & 0xffff), u16(v >> 16); };
    auto entry = [&](unsigned tag, unsigned type, uint32_t value) {
        u16(tag), u16(type), u32(1);
        if (type == 3)
            u16(value), u16(0);
        else
            u32(value);
    };
    tiff += "II";
    u16(42), u32(8);
    u16(1), entry(0x0112, 3, orientation), u32(26); // IFD0, then IFD1 at 26
    u16(3), entry(0x0103, 3, 6), entry(0x0201, 4, 68),
        entry(0x0202, 4, static_cast<uint32_t>(thumbnailJpeg.size())), u32(0);
    tiff += thumbnailJpeg;
    const std::string payload = std::string("Exif\0\0", 6) + tiff;
    const size_t length = payload.size() + 2;
    return std::string("\xff\xe1", 2) + char(length >> 8 & 255) + char(length & 255) + payload;
}

// A thumbnail of picture in its own proportions between black bars, as cameras with a 3:2
// sensor keep it.
inline QImage BetweenBars(const QImage& picture, QSize thumbnail) {
    QImage out(thumbnail, QImage::Format_RGB32);
    out.fill(Qt::black);
    const QImage inner = picture.scaled(thumbnail, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    QPainter(&out).drawImage((thumbnail.width() - inner.width()) / 2,
                             (thumbnail.height() - inner.height()) / 2, inner);
    return out;
}

// A JPEG of picture with an Exif block whose thumbnail is the picture reduced to thumbnail
// (bars: BetweenBars).
inline std::string CameraJpeg(const QImage& picture, QSize thumbnail, int orientation = 1,
                              int quality = 85, bool bars = false) {
    const std::string main = JpegBytes(picture, quality);
    const QImage small =
        bars ? BetweenBars(picture, thumbnail)
             : picture.scaled(thumbnail, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return main.substr(0, 2) + ExifSegment(orientation, JpegBytes(small, 80)) + main.substr(2);
}

} // namespace lumidex::test
