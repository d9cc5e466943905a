#pragma once

#include <cstddef>
#include <cstdint>

namespace lumidex {

// What a thumbnail needs from a JPEG's Exif block: how the camera was held, and where the small
// JPEG picture that cameras embed for quick display lies.
struct ExifThumbnail {
    int orientation = 1; // 1..8 as Exif numbers them; 1 when absent or out of range
    // Within the block given to ParseExif; length 0 when there is no embedded picture.
    size_t offset = 0;
    size_t length = 0;
};

// Parses an APP1 segment's payload ("Exif\0\0" and a TIFF structure). Every offset is checked
// against size before it is followed; false when the payload is not Exif at all.
bool ParseExif(const uint8_t* data, size_t size, ExifThumbnail& out);

} // namespace lumidex
