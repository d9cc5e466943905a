// A cached thumbnail from hostile bytes: its header and text keys are read.
#include "ThumbnailCache.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A copy of exactly its size, so that any read past the file is caught.
    std::vector<uint8_t> file(data, data + size);
    lumidex::PngThumbKeys keys;
    lumidex::ReadPngThumbKeys(file.data(), file.size(), keys);
    return 0;
}
