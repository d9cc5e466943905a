// PNG through the plug-in interface, decoded as the built-in reader decodes it.
#include "DibConverter.h"
#include "SpiKit.h"

#include <cstring>

namespace lumidex::spi {

const char* const kPluginName = "Lumidex2 PNG plug-in (libpng)";
const char* const kFileTypes[] = {"*.png", "PNG", nullptr};

bool Supports(const uint8_t* header) {
    return std::memcmp(header, "\x89PNG\r\n\x1a\n", 8) == 0;
}

DecodeOutcome Decode(std::FILE* file, const RgbAllocator& allocate) {
    return DecodePngRgb(file, kMaxDibSide, allocate);
}

} // namespace lumidex::spi
