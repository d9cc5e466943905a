#include "DibConverter.h"

#include "SpiAbi.h"

#include <QImage>

namespace lumidex {

namespace {

uint32_t Le32(const uint8_t* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}
uint16_t Le16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

struct Colour {
    uint8_t r, g, b;
};

} // namespace

bool ConvertDib(const uint8_t* info, size_t infoSize, const uint8_t* bits, size_t bitsSize,
                int expectedWidth, int expectedHeight, QImage& out) {
    if (!info || !bits || infoSize < sizeof(SpiBitmapInfoHeader)) return false;
    const uint32_t headerSize = Le32(info);
    const int32_t width = static_cast<int32_t>(Le32(info + 4));
    const int32_t height = static_cast<int32_t>(Le32(info + 8));
    const uint16_t planes = Le16(info + 12), bitCount = Le16(info + 14);
    const uint32_t compression = Le32(info + 16), coloursUsed = Le32(info + 32);
    constexpr uint32_t kUncompressed = 0;
    if (headerSize != sizeof(SpiBitmapInfoHeader) || planes != 1 || compression != kUncompressed)
        return false;
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24 && bitCount != 32)
        return false;
    if (width < 1 || width > kMaxDibSide || height < 1 || height > kMaxDibSide) return false;
    if ((expectedWidth && width != expectedWidth) || (expectedHeight && height != expectedHeight))
        return false;

    Colour palette[256] = {};
    if (bitCount <= 8) {
        const uint32_t full = 1u << bitCount;
        const uint32_t colours = coloursUsed ? coloursUsed : full;
        if (colours > full ||
            sizeof(SpiBitmapInfoHeader) + 4 * static_cast<size_t>(colours) > infoSize)
            return false;
        for (uint32_t i = 0; i < colours; ++i) {
            const uint8_t* q = info + sizeof(SpiBitmapInfoHeader) + 4 * i; // blue, green, red, 0
            palette[i] = {q[2], q[1], q[0]};
        }
    }

    const size_t rowBytes = (static_cast<size_t>(width) * bitCount + 31) / 32 * 4;
    if (rowBytes * static_cast<size_t>(height) > bitsSize) return false;
    QImage image(width, height, QImage::Format_RGB888);
    if (image.isNull()) return false;
    for (int y = 0; y < height; ++y) {
        const uint8_t* in = bits + rowBytes * static_cast<size_t>(height - 1 - y);
        uint8_t* o = image.scanLine(y);
        switch (bitCount) {
        case 32:
        case 24: {
            const int step = bitCount / 8;
            for (int x = 0; x < width; ++x, in += step, o += 3) {
                o[0] = in[2];
                o[1] = in[1];
                o[2] = in[0];
            }
            break;
        }
        default: {
            const int perByte = 8 / bitCount;
            const unsigned mask = (1u << bitCount) - 1;
            for (int x = 0; x < width; ++x, o += 3) {
                const int shift = (perByte - 1 - x % perByte) * bitCount;
                const Colour& c = palette[(in[x / perByte] >> shift) & mask];
                o[0] = c.r;
                o[1] = c.g;
                o[2] = c.b;
            }
        }
        }
    }
    out = std::move(image);
    return true;
}

} // namespace lumidex
