// A JPEG's Exif block from hostile bytes: the orientation and the embedded picture are found,
// and the picture, when there is one, is decoded as a thumbnail cell would take it.
#include "ExifThumbnail.h"
#include "ThumbnailSource.h"

#include <QImage>

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A copy of exactly its size, so that any read past the block is caught.
    std::vector<uint8_t> block(data, data + size);
    lumidex::ExifThumbnail exif;
    if (!lumidex::ParseExif(block.data(), block.size(), exif) || exif.length == 0) return 0;
    // Main pictures of other proportions make the embedded one be searched for black bars.
    static const QSize kOriginals[] = {{160, 120}, {900, 600}, {600, 900}, {1, 30000}, {30000, 1}};
    const QSize original = kOriginals[size % std::size(kOriginals)];
    const QImage thumb = lumidex::UsableExifThumbnail(block.data() + exif.offset, exif.length,
                                                      original, QSize(1, 1));
    if (!thumb.isNull()) {
        volatile uchar sink = thumb.constScanLine(thumb.height() - 1)[0];
        (void)sink;
    }
    return 0;
}
