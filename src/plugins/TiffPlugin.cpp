// TIFF through the plug-in interface (libtiff): the first page, through libtiff's RGBA
// interface so that every photometric kind reads; alpha is dropped.
#include "DibConverter.h"
#include "SpiKit.h"

#include <tiffio.h>

#include <cstring>
#include <memory>

namespace lumidex::spi {

const char* const kPluginName = "Lumidex2 TIFF plug-in (libtiff)";
const char* const kFileTypes[] = {"*.tif;*.tiff", "TIFF", nullptr};

bool Supports(const uint8_t* header) {
    return std::memcmp(header, "II*\0", 4) == 0 || std::memcmp(header, "MM\0*", 4) == 0 ||
           std::memcmp(header, "II+\0", 4) == 0 || std::memcmp(header, "MM\0+", 4) == 0;
}

namespace {

// libtiff reads through these from the bytes in memory.
struct Memory {
    const std::vector<uint8_t>* bytes;
    toff_t position = 0;
};

tsize_t Read(thandle_t h, tdata_t out, tsize_t size) {
    auto* m = static_cast<Memory*>(h);
    const toff_t total = m->bytes->size();
    if (m->position >= total || size <= 0) return 0;
    const toff_t n = std::min<toff_t>(static_cast<toff_t>(size), total - m->position);
    std::memcpy(out, m->bytes->data() + m->position, n);
    m->position += n;
    return static_cast<tsize_t>(n);
}
tsize_t Write(thandle_t, tdata_t, tsize_t) {
    return 0;
}
toff_t Seek(thandle_t h, toff_t offset, int whence) {
    auto* m = static_cast<Memory*>(h);
    toff_t base = whence == SEEK_CUR ? m->position : whence == SEEK_END ? m->bytes->size() : 0;
    m->position = base + offset;
    return m->position;
}
int Close(thandle_t) {
    return 0;
}
toff_t Size(thandle_t h) {
    return static_cast<Memory*>(h)->bytes->size();
}
int Map(thandle_t, tdata_t*, toff_t*) {
    return 0;
}
void Unmap(thandle_t, tdata_t, toff_t) {}

void Quiet(const char*, const char*, va_list) {}

struct TiffCloser {
    void operator()(TIFF* t) const { TIFFClose(t); }
};

} // namespace

DecodeOutcome Decode(std::FILE* file, const RgbAllocator& allocate) {
    std::vector<uint8_t> bytes;
    if (!ReadRest(file, bytes)) return DecodeOutcome::Failed;
    TIFFSetErrorHandler(Quiet);
    TIFFSetWarningHandler(Quiet);
    Memory memory{&bytes};
    std::unique_ptr<TIFF, TiffCloser> tif(
        TIFFClientOpen("picture", "rm", &memory, Read, Write, Seek, Close, Size, Map, Unmap));
    if (!tif) return DecodeOutcome::Failed;
    uint32_t width = 0, height = 0;
    TIFFGetField(tif.get(), TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tif.get(), TIFFTAG_IMAGELENGTH, &height);
    if (width == 0 || height == 0) return DecodeOutcome::Failed;
    if (width > kMaxDibSide || height > kMaxDibSide) return DecodeOutcome::Oversized;
    RgbTarget target = allocate(static_cast<int>(width), static_cast<int>(height));
    if (!target.pixels) return DecodeOutcome::Failed;
    std::vector<uint32_t> raster(static_cast<size_t>(width) * height);
    if (!TIFFReadRGBAImageOriented(tif.get(), width, height, raster.data(), ORIENTATION_TOPLEFT, 0))
        return DecodeOutcome::Failed;
    for (uint32_t y = 0; y < height; ++y) {
        uint8_t* row = target.pixels + target.stride * y;
        const uint32_t* in = raster.data() + static_cast<size_t>(width) * y;
        for (uint32_t x = 0; x < width; ++x) {
            row[3 * x] = static_cast<uint8_t>(TIFFGetR(in[x]));
            row[3 * x + 1] = static_cast<uint8_t>(TIFFGetG(in[x]));
            row[3 * x + 2] = static_cast<uint8_t>(TIFFGetB(in[x]));
        }
    }
    return DecodeOutcome::Ok;
}

} // namespace lumidex::spi
