// GIF through the plug-in interface (giflib): the first frame, drawn on the logical screen
// filled with the background colour.
#include "DibConverter.h"
#include "SpiKit.h"

#include <gif_lib.h>

#include <cstring>
#include <memory>

namespace lumidex::spi {

const char* const kPluginName = "Lumidex2 GIF plug-in (giflib)";
const char* const kFileTypes[] = {"*.gif", "GIF", nullptr};

bool Supports(const uint8_t* header) {
    return std::memcmp(header, "GIF87a", 6) == 0 || std::memcmp(header, "GIF89a", 6) == 0;
}

namespace {

int ReadFromFile(GifFileType* gif, GifByteType* bytes, int length) {
    return static_cast<int>(
        std::fread(bytes, 1, static_cast<size_t>(length), static_cast<std::FILE*>(gif->UserData)));
}

struct GifCloser {
    void operator()(GifFileType* gif) const { DGifCloseFile(gif, nullptr); }
};

bool SkipExtension(GifFileType* gif) {
    int code = 0;
    GifByteType* block = nullptr;
    if (DGifGetExtension(gif, &code, &block) == GIF_ERROR) return false;
    while (block)
        if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) return false;
    return true;
}

// Reads the frame's rows into line order, interlaced or not.
bool ReadFrame(GifFileType* gif, std::vector<GifPixelType>& indices) {
    const GifImageDesc& d = gif->Image;
    const size_t w = static_cast<size_t>(d.Width);
    indices.assign(w * static_cast<size_t>(d.Height), 0);
    if (!d.Interlace) {
        for (int y = 0; y < d.Height; ++y)
            if (DGifGetLine(gif, indices.data() + w * y, d.Width) == GIF_ERROR) return false;
        return true;
    }
    static const int start[] = {0, 4, 2, 1}, step[] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
        for (int y = start[pass]; y < d.Height; y += step[pass])
            if (DGifGetLine(gif, indices.data() + w * y, d.Width) == GIF_ERROR) return false;
    return true;
}

} // namespace

DecodeOutcome Decode(std::FILE* file, const RgbAllocator& allocate) {
    int error = 0;
    std::unique_ptr<GifFileType, GifCloser> gif(DGifOpen(file, ReadFromFile, &error));
    if (!gif) return DecodeOutcome::Failed;
    const int width = gif->SWidth, height = gif->SHeight;
    for (;;) {
        GifRecordType type;
        if (DGifGetRecordType(gif.get(), &type) == GIF_ERROR) return DecodeOutcome::Failed;
        if (type == TERMINATE_RECORD_TYPE) return DecodeOutcome::Failed; // no frame at all
        if (type == EXTENSION_RECORD_TYPE) {
            if (!SkipExtension(gif.get())) return DecodeOutcome::Failed;
            continue;
        }
        if (type != IMAGE_DESC_RECORD_TYPE) continue;
        if (DGifGetImageDesc(gif.get()) == GIF_ERROR) return DecodeOutcome::Failed;
        break;
    }
    const GifImageDesc& d = gif->Image;
    const ColorMapObject* map = d.ColorMap ? d.ColorMap : gif->SColorMap;
    if (!map || d.Width <= 0 || d.Height <= 0 || d.Width > kMaxDibSide || d.Height > kMaxDibSide)
        return DecodeOutcome::Failed;
    RgbTarget target = allocate(width, height);
    if (!target.pixels) return DecodeOutcome::Failed;
    std::vector<GifPixelType> indices;
    if (!ReadFrame(gif.get(), indices)) return DecodeOutcome::Failed;

    GifColorType background{0, 0, 0};
    if (gif->SColorMap && gif->SBackGroundColor < gif->SColorMap->ColorCount)
        background = gif->SColorMap->Colors[gif->SBackGroundColor];
    for (int y = 0; y < height; ++y) {
        uint8_t* row = target.pixels + target.stride * static_cast<size_t>(y);
        for (int x = 0; x < width; ++x) {
            GifColorType c = background;
            const int fx = x - d.Left, fy = y - d.Top;
            if (fx >= 0 && fy >= 0 && fx < d.Width && fy < d.Height) {
                const int index = indices[static_cast<size_t>(fy) * d.Width + fx];
                if (index < map->ColorCount) c = map->Colors[index];
            }
            row[3 * x] = c.Red;
            row[3 * x + 1] = c.Green;
            row[3 * x + 2] = c.Blue;
        }
    }
    return DecodeOutcome::Ok;
}

} // namespace lumidex::spi
