#include "PictureReader.h"

#include "Paths.h"

#include <QFile>
#include <QImage>
#include <QImageReader>

#include "RgbDecoders.h"
#include "SpiHost.h"

#include <cstdio>
#include <memory>
#include <mutex>

namespace lumidex {

namespace {

// Closes the file on every way out of a reader.
struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

File OpenFile(const std::string& path) {
    return File(std::fopen(path.c_str(), "rbe"));
}

bool TooLarge(uint64_t width, uint64_t height) {
    return width > static_cast<uint64_t>(kMaxPictureSide) ||
           height > static_cast<uint64_t>(kMaxPictureSide);
}

// The decoders write straight into the picture's own lines.
RgbAllocator IntoImage(QImage& image) {
    return [&image](int width, int height) {
        image = QImage(width, height, QImage::Format_RGB888);
        if (image.isNull()) return RgbTarget{};
        return RgbTarget{image.bits(), static_cast<size_t>(image.bytesPerLine())};
    };
}

ReadOutcome FromDecode(DecodeOutcome outcome) {
    switch (outcome) {
    case DecodeOutcome::Ok:
        return ReadOutcome::Ok;
    case DecodeOutcome::Oversized:
        return ReadOutcome::Oversized;
    case DecodeOutcome::Failed:
        break;
    }
    return ReadOutcome::Failed;
}

ReadOutcome ReadJpeg(QImage& target, const std::string& path, int cellWidth, int cellHeight,
                     QSize& fullSize) {
    File file = OpenFile(path);
    if (!file) return ReadOutcome::Failed;
    QImage image;
    RgbSize full;
    ReadOutcome outcome = FromDecode(
        DecodeJpegRgb(file.get(), kMaxPictureSide, IntoImage(image), cellWidth, cellHeight, &full));
    if (outcome != ReadOutcome::Ok) return outcome;
    target = std::move(image);
    fullSize = QSize(full.width, full.height);
    return outcome;
}

ReadOutcome ReadJpegRows(QImage& target, const std::string& path,
                         const std::function<RowsWanted(int width, int height)>& rowsFor) {
    File file = OpenFile(path);
    if (!file) return ReadOutcome::Failed;
    // libjpeg reads 4 KB at a time: a larger buffer saves most of the system calls.
    std::setvbuf(file.get(), nullptr, _IOFBF, 64 << 10);
    QImage image;
    RowsWanted wanted;
    const RgbAllocator intoImage = IntoImage(image);
    const RgbAllocator allocate = [&](int width, int height) {
        wanted = rowsFor(width, height);
        return intoImage(width, height);
    };
    const RowChooser choose = [&](int row, const uint8_t* rgb) {
        return wanted ? wanted(row, rgb) : row + 1;
    };
    ReadOutcome outcome = FromDecode(DecodeJpegRows(file.get(), kMaxPictureSide, allocate, choose));
    if (outcome == ReadOutcome::Ok) target = std::move(image);
    return outcome;
}

ReadOutcome ReadPng(QImage& target, const std::string& path) {
    File file = OpenFile(path);
    if (!file) return ReadOutcome::Failed;
    QImage image;
    ReadOutcome outcome = FromDecode(DecodePngRgb(file.get(), kMaxPictureSide, IntoImage(image)));
    if (outcome == ReadOutcome::Ok) target = std::move(image);
    return outcome;
}

// ---- BMP ----

uint32_t Le32(const unsigned char* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}
uint16_t Le16(const unsigned char* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

// Checks the header before Qt decodes anything: the sides against the limit, and that an
// uncompressed file holds all its rows (Qt would return a half-read picture otherwise).
ReadOutcome CheckBmpHeader(const std::string& path) {
    File file = OpenFile(path);
    if (!file) return ReadOutcome::Failed;
    unsigned char h[30];
    if (std::fread(h, 1, sizeof h, file.get()) != sizeof h || h[0] != 'B' || h[1] != 'M')
        return ReadOutcome::Failed;
    const uint32_t offBits = Le32(h + 10), headerSize = Le32(h + 14);
    int64_t width = 0, height = 0;
    unsigned bits = 0, compression = 0;
    if (headerSize == 12) { // OS/2 core header
        width = Le16(h + 18);
        height = Le16(h + 20);
        bits = Le16(h + 24);
    } else {
        width = static_cast<int32_t>(Le32(h + 18));
        height = static_cast<int32_t>(Le32(h + 22));
        bits = Le16(h + 28);
        unsigned char c[4];
        if (std::fread(c, 1, 4, file.get()) != 4) return ReadOutcome::Failed;
        compression = Le32(c);
    }
    if (height < 0) height = -height; // rows stored top first
    if (width <= 0 || height == 0) return ReadOutcome::Failed;
    if (TooLarge(static_cast<uint64_t>(width), static_cast<uint64_t>(height)))
        return ReadOutcome::Oversized;
    constexpr unsigned kRgb = 0, kBitfields = 3, kAlphaBitfields = 6;
    if (compression == kRgb || compression == kBitfields || compression == kAlphaBitfields) {
        const uint64_t rowBytes = (static_cast<uint64_t>(width) * bits + 31) / 32 * 4;
        if (std::fseek(file.get(), 0, SEEK_END) != 0) return ReadOutcome::Failed;
        const long size = std::ftell(file.get());
        if (size < 0 ||
            static_cast<uint64_t>(size) < offBits + rowBytes * static_cast<uint64_t>(height))
            return ReadOutcome::Failed;
    }
    return ReadOutcome::Ok;
}

// Qt's reader, held to the BMP format whatever the content. Alpha, where a file has it, is
// dropped as stored: never composited, never premultiplied.
ReadOutcome ReadBmp(QImage& target, const std::string& path) {
    if (ReadOutcome header = CheckBmpHeader(path); header != ReadOutcome::Ok) return header;
    QImageReader reader(QFile::decodeName(QByteArray::fromStdString(path)), "bmp");
    reader.setAutoDetectImageFormat(false);
    reader.setDecideFormatFromContent(false);
    reader.setAutoTransform(false);
    // A picture of the largest size takes 400 MB as 32-bit pixels; Qt refuses less by default.
    // Raised once: pictures are read on several threads at a time.
    static const bool limitRaised = [] {
        if (QImageReader::allocationLimit() != 0 && QImageReader::allocationLimit() < 512)
            QImageReader::setAllocationLimit(512);
        return true;
    }();
    (void)limitRaised;
    QImage image;
    if (!reader.read(&image) || image.isNull()) return ReadOutcome::Failed;
    if (TooLarge(static_cast<uint64_t>(image.width()), static_cast<uint64_t>(image.height())))
        return ReadOutcome::Oversized;
    if (image.format() == QImage::Format_RGB888) {
        target = std::move(image);
        return ReadOutcome::Ok;
    }
    if (!image.hasAlphaChannel()) {
        QImage rgb = image.convertToFormat(QImage::Format_RGB888);
        if (rgb.isNull()) return ReadOutcome::Failed;
        target = std::move(rgb);
        return ReadOutcome::Ok;
    }
    QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    QImage rgb(argb.width(), argb.height(), QImage::Format_RGB888);
    if (argb.isNull() || rgb.isNull()) return ReadOutcome::Failed;
    for (int y = 0; y < argb.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        uchar* out = rgb.scanLine(y);
        for (int x = 0; x < argb.width(); ++x, out += 3) {
            out[0] = static_cast<uchar>(qRed(in[x]));
            out[1] = static_cast<uchar>(qGreen(in[x]));
            out[2] = static_cast<uchar>(qBlue(in[x]));
        }
    }
    target = std::move(rgb);
    return ReadOutcome::Ok;
}

// Plug-in mode: BMP files stay with the built-in reader, everything else goes to the plug-in
// that accepts it. The host's state is one file at a time, so readers take turns.
ReadOutcome ReadThroughHost(SpiHost& host, QImage& target, const std::string& path) {
    std::lock_guard<std::mutex> turn(host.Lock());
    if (!host.SelectPlugin(path)) return ReadOutcome::Failed;
    if (!host.Chosen()) return ReadBmp(target, path);
    switch (host.ReadSelected(target)) {
    case SpiRead::Ok:
        return ReadOutcome::Ok;
    case SpiRead::BadSize:
        return ReadOutcome::Oversized;
    case SpiRead::Failed:
        break;
    }
    return ReadOutcome::Failed;
}

bool IsJpegExtension(const std::string& path) {
    const std::string ext = paths::UpperKey(paths::Extension(path));
    return ext == ".JPG" || ext == ".JIF" || ext == ".JPE" || ext == ".JPEG";
}

} // namespace

ReadOutcome ReadPictureRows(QImage& target, const std::string& path,
                            const std::function<RowsWanted(int width, int height)>& rowsFor) {
    if (ActivePictureHost() || !IsJpegExtension(path)) return ReadPictureFile(target, path);
    const ReadOutcome outcome = ReadJpegRows(target, path, rowsFor);
    if (outcome != ReadOutcome::Ok) target = QImage();
    return outcome;
}

ReadOutcome ReadPictureFile(QImage& target, const std::string& path) {
    return ReadPictureForCell(target, path, 0, 0);
}

ReadOutcome ReadPictureForCell(QImage& target, const std::string& path, int cellWidth,
                               int cellHeight, QSize* fullSize) {
    std::string ext = paths::UpperKey(paths::Extension(path));
    ReadOutcome outcome = ReadOutcome::Failed;
    QSize full; // only a reduced decode differs from the picture read
    if (SpiHost* host = ActivePictureHost())
        outcome = ReadThroughHost(*host, target, path);
    else if (ext == ".PNG")
        outcome = ReadPng(target, path);
    else if (ext == ".BMP")
        outcome = ReadBmp(target, path);
    else if (ext == ".JPG" || ext == ".JIF" || ext == ".JPE" || ext == ".JPEG")
        outcome = ReadJpeg(target, path, cellWidth, cellHeight, full);
    if (outcome != ReadOutcome::Ok) target = QImage();
    if (outcome == ReadOutcome::Ok && fullSize) *fullSize = full.isValid() ? full : target.size();
    return outcome;
}

} // namespace lumidex
