#include "SpiKit.h"

#include "DibConverter.h"
#include "SpiAbi.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <utility>

namespace lumidex::spi {
namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

File OpenAt(const char* path, int32_t offset) {
    File file(std::fopen(path, "rbe"));
    if (file && (offset < 0 || std::fseek(file.get(), offset, SEEK_SET) != 0)) file.reset();
    return file;
}

int CopyText(const char* text, char* buf, int buflen) {
    if (!text || !buf || buflen <= 0) return 0;
    size_t n = std::min(std::strlen(text), static_cast<size_t>(buflen - 1));
    std::memcpy(buf, text, n);
    buf[n] = '\0';
    return static_cast<int>(n);
}

size_t DibRowBytes(int width) {
    return (static_cast<size_t>(width) * 24 + 31) / 32 * 4;
}

} // namespace

bool ReadRest(std::FILE* file, std::vector<uint8_t>& bytes) {
    constexpr size_t kMaxFileBytes = size_t{1} << 30;
    bytes.clear();
    uint8_t chunk[65536];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        if (bytes.size() + n > kMaxFileBytes) return false;
        bytes.insert(bytes.end(), chunk, chunk + n);
    }
    return !std::ferror(file);
}

} // namespace lumidex::spi

using namespace lumidex;
using namespace lumidex::spi;

extern "C" {

__attribute__((visibility("default"))) int GetPluginInfo(int infono, char* buf, int buflen) {
    if (infono == 0) return CopyText("00IN", buf, buflen);
    if (infono == 1) return CopyText(kPluginName, buf, buflen);
    for (int i = 0; kFileTypes[i]; ++i)
        if (i == infono - 2) return CopyText(kFileTypes[i], buf, buflen);
    return 0;
}

__attribute__((visibility("default"))) int IsSupported(const char* filename, void* header) {
    uint8_t bytes[SPI_HEADER_BYTES] = {};
    if (header) {
        std::memcpy(bytes, header, sizeof bytes);
    } else if (File f = OpenAt(filename, 0)) {
        (void)std::fread(bytes, 1, sizeof bytes, f.get());
    }
    return Supports(bytes) ? 1 : 0;
}

__attribute__((visibility("default"))) int GetPictureInfo(const char* buf, int32_t len,
                                                          uint32_t flag, SpiPictureInfo* info) {
    if ((flag & 7) != SPI_INPUT_FILE || !info) return SPI_NOT_IMPLEMENTED;
    File file = OpenAt(buf, len);
    if (!file) return SPI_FILE_READ_ERROR;
    int width = 0, height = 0;
    DecodeOutcome outcome = Decode(file.get(), [&](int w, int h) {
        width = w;
        height = h;
        return RgbTarget{};
    });
    if (width == 0 && outcome == DecodeOutcome::Failed) return SPI_UNKNOWN_FORMAT;
    std::memset(info, 0, sizeof *info);
    info->width = width; // 0 for a picture over the limit: the host refuses its size
    info->height = height;
    info->colorDepth = 24;
    return SPI_SUCCESS;
}

__attribute__((visibility("default"))) int GetPicture(const char* buf, int32_t len, uint32_t flag,
                                                      void** bitmapInfo, void** bitmap,
                                                      SpiProgressCallback, int32_t) {
    if ((flag & 7) != SPI_INPUT_FILE || !bitmapInfo || !bitmap) return SPI_NOT_IMPLEMENTED;
    File file = OpenAt(buf, len);
    if (!file) return SPI_FILE_READ_ERROR;
    int width = 0, height = 0;
    uint8_t* pixels = nullptr;
    DecodeOutcome outcome = Decode(file.get(), [&](int w, int h) {
        if (w < 1 || h < 1 || w > kMaxDibSide || h > kMaxDibSide || pixels) return RgbTarget{};
        pixels = static_cast<uint8_t*>(std::malloc(DibRowBytes(w) * static_cast<size_t>(h)));
        width = w;
        height = h;
        return RgbTarget{pixels, DibRowBytes(w)};
    });
    if (outcome != DecodeOutcome::Ok || !pixels) {
        std::free(pixels);
        return outcome == DecodeOutcome::Oversized ? SPI_NO_MEMORY : SPI_BROKEN_DATA;
    }
    // Decoded top row first as RGB; the interface wants the bottom row first as BGR. One pass
    // swaps each pair of rows and their red and blue.
    const size_t rowBytes = DibRowBytes(width);
    auto flip = [width](uint8_t* a, uint8_t* b) {
        for (int x = 0; x < width; ++x, a += 3, b += 3) {
            const uint8_t r = a[0], g = a[1], bl = a[2];
            a[0] = b[2], a[1] = b[1], a[2] = b[0];
            b[0] = bl, b[1] = g, b[2] = r;
        }
    };
    for (int top = 0, bottom = height - 1; top <= bottom; ++top, --bottom) {
        uint8_t* a = pixels + rowBytes * static_cast<size_t>(top);
        uint8_t* b = pixels + rowBytes * static_cast<size_t>(bottom);
        if (a != b) {
            flip(a, b);
        } else {
            for (int x = 0; x < width; ++x)
                std::swap(a[3 * x], a[3 * x + 2]);
        }
    }
    auto* header = static_cast<SpiBitmapInfoHeader*>(std::calloc(1, sizeof(SpiBitmapInfoHeader)));
    if (!header) {
        std::free(pixels);
        return SPI_NO_MEMORY;
    }
    header->biSize = sizeof(SpiBitmapInfoHeader);
    header->biWidth = width;
    header->biHeight = height;
    header->biPlanes = 1;
    header->biBitCount = 24;
    header->biSizeImage = static_cast<uint32_t>(rowBytes * static_cast<size_t>(height));
    *bitmapInfo = header;
    *bitmap = pixels;
    return SPI_SUCCESS;
}

} // extern "C"
