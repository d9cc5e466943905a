// A plug-in for the host's tests. It reads "LMXT" files: bytes 4 and 5 width and height,
// byte 6 a fault to commit, bytes 7..9 a colour (the plug-in's own colour when zero). Built
// in variants: without GetPicture, and needing the 128-byte offset.
#include "SpiAbi.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string.h>

#ifndef TEST_PLUGIN_COLOUR
#define TEST_PLUGIN_COLOUR 0x102030
#endif
#ifndef TEST_PLUGIN_OFFSET
#define TEST_PLUGIN_OFFSET 0
#endif

#define EXPORT extern "C" __attribute__((visibility("default")))

namespace {

enum Fault {
    kNone,
    kHeaderSize,
    kPlanes,
    kBitCount16,
    kHeaderWidthZero,
    kHeightDiffers,
    kPaletteOutside,
    kPixelsShort,
    kInfoTooWide,
    kNullPixels,
    kTopDown,
    kPalette8,
    kMono1,
    kInfoText,
    kCompressed,
    kInfoFails,
};

struct Request {
    int width, height, fault;
    unsigned char r, g, b;
};

bool Parse(const unsigned char* h, Request& q) {
    if (std::memcmp(h, "LMXT", 4) != 0) return false;
    q.width = h[4];
    q.height = h[5];
    q.fault = h[6];
    q.r = h[7], q.g = h[8], q.b = h[9];
    if (!q.r && !q.g && !q.b) {
        q.r = (TEST_PLUGIN_COLOUR >> 16) & 255;
        q.g = (TEST_PLUGIN_COLOUR >> 8) & 255;
        q.b = TEST_PLUGIN_COLOUR & 255;
    }
    return true;
}

// The picture's header starts at the offset this variant needs; any other offset fails.
bool Load(const char* path, int32_t offset, Request& q) {
    if (offset != TEST_PLUGIN_OFFSET) return false;
    std::FILE* f = std::fopen(path, "rb");
    if (!f) return false;
    unsigned char h[10] = {};
    bool ok = std::fseek(f, offset, SEEK_SET) == 0 && std::fread(h, 1, 10, f) == 10;
    std::fclose(f);
    return ok && Parse(h, q);
}

} // namespace

EXPORT int GetPluginInfo(int infono, char* buf, int buflen) {
    const char* texts[] = {"00IN", "test plug-in", "*.lmxt", "Test pictures"};
    if (infono < 0 || infono > 3 || buflen <= 0) return 0;
    std::snprintf(buf, static_cast<size_t>(buflen), "%s", texts[infono]);
    return static_cast<int>(std::strlen(buf));
}

EXPORT int IsSupported(const char*, void* header) {
    Request q;
    return Parse(static_cast<const unsigned char*>(header) + TEST_PLUGIN_OFFSET, q);
}

EXPORT int GetPictureInfo(const char* buf, int32_t len, uint32_t, SpiPictureInfo* info) {
    Request q;
    if (!Load(buf, len, q) || q.fault == kInfoFails) return SPI_UNKNOWN_FORMAT;
    info->width = q.fault == kInfoTooWide ? 20000 : q.width;
    info->height = q.height;
    info->colorDepth = 24;
    if (q.fault == kInfoText) info->hInfo = ::strdup("a text the host must free");
    return SPI_SUCCESS;
}

#ifndef TEST_PLUGIN_NO_GETPICTURE
EXPORT int GetPicture(const char* buf, int32_t len, uint32_t, void** bitmapInfo, void** bitmap,
                      SpiProgressCallback, int32_t) {
    Request q;
    if (!Load(buf, len, q)) return SPI_UNKNOWN_FORMAT;
    const bool indexed = q.fault == kPalette8 || q.fault == kPaletteOutside;
    const int bits = q.fault == kMono1 ? 1 : indexed ? 8 : q.fault == kBitCount16 ? 16 : 24;
    const size_t colours = bits <= 8 ? (1u << bits) : 0;
    const size_t infoSize = 40 + 4 * (q.fault == kPaletteOutside ? 4 : colours);
    auto* h = static_cast<SpiBitmapInfoHeader*>(std::calloc(1, infoSize));
    h->biSize = q.fault == kHeaderSize ? 41 : 40;
    h->biWidth = q.fault == kHeaderWidthZero ? 0 : q.width;
    h->biHeight = q.fault == kTopDown ? -q.height : q.height + (q.fault == kHeightDiffers);
    h->biPlanes = q.fault == kPlanes ? 2 : 1;
    h->biBitCount = static_cast<uint16_t>(bits);
    h->biCompression = q.fault == kCompressed ? 1 : 0;
    auto* table = reinterpret_cast<unsigned char*>(h + 1);
    if (bits == 1) { // index 0 black, 1 the colour; the left half is set
        table[4] = q.b, table[5] = q.g, table[6] = q.r;
    } else if (indexed && q.fault == kPalette8) {
        table[4 * 7] = q.b, table[4 * 7 + 1] = q.g, table[4 * 7 + 2] = q.r;
    }
    const size_t rowBytes = (static_cast<size_t>(q.width) * bits + 31) / 32 * 4;
    const size_t pixelSize = q.fault == kPixelsShort ? rowBytes : rowBytes * q.height;
    auto* pixels = static_cast<unsigned char*>(std::calloc(1, pixelSize));
    for (int y = 0; y < q.height && q.fault != kPixelsShort; ++y) {
        unsigned char* row = pixels + rowBytes * y;
        for (int x = 0; x < q.width; ++x) {
            if (bits == 24) {
                row[3 * x] = q.b, row[3 * x + 1] = q.g, row[3 * x + 2] = q.r;
            } else if (bits == 8) {
                row[x] = 7;
            } else if (bits == 1 && x < q.width / 2) {
                row[x / 8] |= static_cast<unsigned char>(0x80 >> (x % 8));
            }
        }
    }
    if (q.fault == kNullPixels) {
        std::free(pixels);
        pixels = nullptr;
    }
    *bitmapInfo = h;
    *bitmap = pixels;
    return SPI_SUCCESS;
}
#endif
