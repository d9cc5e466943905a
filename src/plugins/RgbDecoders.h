#pragma once
// The JPEG and PNG decoders of the built-in readers, free of Qt so that the project's
// plug-ins decode with the same libraries and settings (and so give the same signatures).

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>

namespace lumidex {

enum class DecodeOutcome {
    Ok,
    Failed,
    Oversized // wider or higher than the limit given: refused before any pixel is decoded
};

// Where the decoder writes: 8-bit RGB rows of at least width * 3 bytes, stride bytes apart.
struct RgbTarget {
    uint8_t* pixels = nullptr;
    size_t stride = 0;
};
// Called once the size is known; a target without pixels fails the decoding.
using RgbAllocator = std::function<RgbTarget(int width, int height)>;

// The picture's own width and height, as its header states them.
struct RgbSize {
    int width = 0;
    int height = 0;
};

// file is read from its current position to the end of the picture. With a cell to fill,
// libjpeg decodes at the smallest of 1/8, 1/4, 1/2 that still covers it (a thumbnail of a
// large photograph then costs a fraction of the full decode); never for analysis. fullSize,
// when given, gets the undecoded size as soon as the header is read.
DecodeOutcome DecodeJpegRgb(std::FILE* file, int maxSide, const RgbAllocator& allocate,
                            int cellWidth = 0, int cellHeight = 0, RgbSize* fullSize = nullptr);
// Told each row decoded, in order (its index and its RGB pixels), returns the next row it
// needs; the height or more ends the decoding.
using RowChooser = std::function<int(int row, const uint8_t* pixels)>;

// DecodeJpegRgb at full size for a reader that looks at some rows only: where libjpeg is
// known to skip rows exactly (the layouts of the common cameras and editors), only the rows
// chosen are decoded and the others hold whatever the allocator left there; any other file
// is decoded whole. The rows decoded are the same bytes as in a full decode.
DecodeOutcome DecodeJpegRows(std::FILE* file, int maxSide, const RgbAllocator& allocate,
                             const RowChooser& choose);
// What a thumbnail's decode learns from the header, before any pixel is decoded.
struct JpegHeader {
    int width = 0;
    int height = 0;
    const uint8_t* exif = nullptr; // the first APP1 segment holding Exif, signature included
    size_t exifSize = 0;
};
// Returns false to end the decode before any pixel (the caller found what it needed in the
// header: the outcome is then Ok and nothing is allocated); otherwise sets the size the
// reduced output must cover, in the file's own pixel order.
using JpegHeaderHook =
    std::function<bool(const JpegHeader& header, int& coverWidth, int& coverHeight)>;
// DecodeJpegRgb for a thumbnail whose size depends on the picture's own.
DecodeOutcome DecodeJpegRgbForThumbnail(std::FILE* file, int maxSide, const RgbAllocator& allocate,
                                        const JpegHeaderHook& header);

// file is read from its current position, the 8-byte PNG signature included.
DecodeOutcome DecodePngRgb(std::FILE* file, int maxSide, const RgbAllocator& allocate);

} // namespace lumidex
