// A plug-in's bitmap from hostile bytes: the first two bytes (little-endian) give the length
// of the information block, the rest is the pixel block. Each block is copied into memory of
// exactly its size, so that any read past what the host may read is caught.
#include "DibConverter.h"

#include <QImage>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    size_t infoSize = data[0] | data[1] << 8;
    data += 2;
    size -= 2;
    if (infoSize > size) infoSize = size;
    std::vector<uint8_t> info(data, data + infoSize), pixels(data + infoSize, data + size);
    QImage picture;
    if (lumidex::ConvertDib(info.data(), info.size(), pixels.data(), pixels.size(), 0, 0,
                            picture)) {
        volatile uint8_t sink = picture.constScanLine(picture.height() - 1)[0];
        (void)sink;
    }
    return 0;
}
