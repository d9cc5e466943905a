#include "ExifThumbnail.h"

#include <cstring>

namespace lumidex {

namespace {

constexpr uint16_t kOrientation = 0x0112;
constexpr uint16_t kCompression = 0x0103;
constexpr uint16_t kThumbnailOffset = 0x0201;
constexpr uint16_t kThumbnailLength = 0x0202;
constexpr uint16_t kShort = 3, kLong = 4;
constexpr unsigned kJpegCompression = 6;

// The TIFF structure after the Exif signature, read in its own byte order.
class Tiff {
public:
    Tiff(const uint8_t* data, size_t size, bool bigEndian)
        : data_(data), size_(size), big_(bigEndian) {}
    bool Has(uint64_t offset, uint64_t length) const {
        return offset <= size_ && length <= size_ - offset;
    }
    uint16_t U16(size_t at) const {
        const uint8_t* p = data_ + at;
        return static_cast<uint16_t>(big_ ? p[0] << 8 | p[1] : p[1] << 8 | p[0]);
    }
    uint32_t U32(size_t at) const {
        return big_ ? static_cast<uint32_t>(U16(at)) << 16 | U16(at + 2)
                    : static_cast<uint32_t>(U16(at + 2)) << 16 | U16(at);
    }
    // A SHORT or LONG value held in the entry itself.
    bool Value(size_t entry, uint32_t& value) const {
        const uint16_t type = U16(entry + 2);
        if (U32(entry + 4) != 1) return false;
        if (type == kShort)
            value = U16(entry + 8);
        else if (type == kLong)
            value = U32(entry + 8);
        else
            return false;
        return true;
    }
    // Calls visit(tag, entryOffset) for each entry of the directory at offset; returns the
    // next directory's offset, 0 at the end or when the directory does not fit.
    template <class Visit> uint32_t Directory(uint32_t offset, Visit visit) const {
        if (!Has(offset, 2)) return 0;
        const unsigned count = U16(offset);
        const uint64_t entries = static_cast<uint64_t>(offset) + 2;
        if (!Has(entries, static_cast<uint64_t>(count) * 12 + 4)) return 0;
        for (unsigned i = 0; i < count; ++i) {
            const size_t entry = entries + static_cast<size_t>(i) * 12;
            visit(U16(entry), entry);
        }
        return U32(entries + static_cast<size_t>(count) * 12);
    }

private:
    const uint8_t* data_;
    size_t size_;
    bool big_;
};

} // namespace

bool ParseExif(const uint8_t* data, size_t size, ExifThumbnail& out) {
    out = {};
    static const uint8_t kSignature[6] = {'E', 'x', 'i', 'f', 0, 0};
    if (!data || size < sizeof kSignature + 8 || std::memcmp(data, kSignature, 6) != 0)
        return false;
    const uint8_t* tiffData = data + 6;
    const size_t tiffSize = size - 6;
    bool big;
    if (tiffData[0] == 'I' && tiffData[1] == 'I')
        big = false;
    else if (tiffData[0] == 'M' && tiffData[1] == 'M')
        big = true;
    else
        return false;
    const Tiff tiff(tiffData, tiffSize, big);
    if (tiff.U16(2) != 42) return false;

    const uint32_t first = tiff.U32(4);
    const uint32_t second = tiff.Directory(first, [&](uint16_t tag, size_t entry) {
        uint32_t value = 0;
        if (tag == kOrientation && tiff.Value(entry, value) && value >= 1 && value <= 8)
            out.orientation = static_cast<int>(value);
    });
    if (second == 0 || second == first) return true;
    uint32_t offset = 0, length = 0, compression = kJpegCompression;
    tiff.Directory(second, [&](uint16_t tag, size_t entry) {
        uint32_t value = 0;
        if (!tiff.Value(entry, value)) return;
        if (tag == kThumbnailOffset)
            offset = value;
        else if (tag == kThumbnailLength)
            length = value;
        else if (tag == kCompression)
            compression = value;
    });
    // Only a JPEG (SOI first) that lies wholly inside the block.
    if (compression != kJpegCompression || length < 4 || !tiff.Has(offset, length) ||
        tiffData[offset] != 0xFF || tiffData[offset + 1] != 0xD8)
        return true;
    out.offset = 6 + static_cast<size_t>(offset);
    out.length = length;
    return true;
}

} // namespace lumidex
