// A JPEG's Exif block from hostile bytes: the orientation and the embedded picture are found,
// and the picture, when there is one, is decoded as a thumbnail cell would take it.
#include "ExifThumbnail.h"
#include "ThumbnailSource.h"

#include <QImage>

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A copy of exactly its size, so that any read past the block is caught.
    std::vector<uint8_t> block(data, data + size);
    lumidex::ExifThumbnail exif;
    if (!lumidex::ParseExif(block.data(), block.size(), exif) || exif.length == 0) return 0;
    const QImage thumb = lumidex::UsableExifThumbnail(block.data() + exif.offset, exif.length,
                                                      QSize(160, 120), QSize(1, 1));
    if (!thumb.isNull()) {
        volatile uchar sink = thumb.constScanLine(thumb.height() - 1)[0];
        (void)sink;
    }
    return 0;
}
