// WebP through the plug-in interface (libwebp); alpha is dropped as stored.
#include "SpiKit.h"

#include <webp/decode.h>

#include <cstring>

namespace lumidex::spi {

const char* const kPluginName = "Lumidex2 WebP plug-in (libwebp)";
const char* const kFileTypes[] = {"*.webp", "WebP", nullptr};

bool Supports(const uint8_t* header) {
    return std::memcmp(header, "RIFF", 4) == 0 && std::memcmp(header + 8, "WEBP", 4) == 0;
}

DecodeOutcome Decode(std::FILE* file, const RgbAllocator& allocate) {
    std::vector<uint8_t> bytes;
    int width = 0, height = 0;
    if (!ReadRest(file, bytes) || !WebPGetInfo(bytes.data(), bytes.size(), &width, &height))
        return DecodeOutcome::Failed;
    RgbTarget target = allocate(width, height);
    if (!target.pixels) return DecodeOutcome::Failed;
    const size_t size = target.stride * static_cast<size_t>(height);
    if (!WebPDecodeRGBInto(bytes.data(), bytes.size(), target.pixels, size,
                           static_cast<int>(target.stride)))
        return DecodeOutcome::Failed;
    return DecodeOutcome::Ok;
}

} // namespace lumidex::spi
