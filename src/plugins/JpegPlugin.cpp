// JPEG through the plug-in interface, decoded as the built-in reader decodes it.
#include "DibConverter.h"
#include "SpiKit.h"

namespace lumidex::spi {

const char* const kPluginName = "Lumidex2 JPEG plug-in (libjpeg)";
const char* const kFileTypes[] = {"*.jpg;*.jpeg;*.jpe;*.jif", "JPEG", nullptr};

bool Supports(const uint8_t* header) {
    return header[0] == 0xFF && header[1] == 0xD8 && header[2] == 0xFF;
}

DecodeOutcome Decode(std::FILE* file, const RgbAllocator& allocate) {
    return DecodeJpegRgb(file, kMaxDibSide, allocate);
}

} // namespace lumidex::spi
