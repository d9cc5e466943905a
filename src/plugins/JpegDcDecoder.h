#pragma once
// A 1/8-scale JPEG decode that reads only what the 1/8 output depends on. At that scale each
// 8x8 block gives libjpeg one sample from its DC coefficient (4:2:0 chroma gives 2x2 from a few
// AC ones), yet libjpeg entropy-decodes every coefficient to throw most away; for a large
// photograph that is nearly all of the decode's time. This decoder skips the coefficients it
// does not need with tables made for skipping, and gives the same bytes libjpeg-turbo gives.

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include <jpeglib.h>

namespace lumidex {

// cinfo has its header read up to the first scan (jpeg_read_header) and its output dimensions
// computed for RGB at 1/8 (jpeg_calc_output_dimensions); the scan's coded data follows in
// cinfo's source buffer and then in file, which is read on from its current position.
enum class JpegDcResult {
    Decoded,       // output_height rows of output_width RGB pixels written, stride bytes apart
    LeftToLibjpeg, // nothing written, file back where it was, cinfo untouched
    FileLost,      // as LeftToLibjpeg, but file could not be put back: the decode has failed
};
// Leaves to libjpeg anything but a layout it knows (sequential Huffman, 8-bit, one scan of grey
// or YCbCr with only the first component subsampled) whose coded data is complete and clean:
// libjpeg then decodes the file as it would have anyway, warnings and all.
JpegDcResult DecodeJpegEighthFromDc(const jpeg_decompress_struct& cinfo, std::FILE* file,
                                    uint8_t* pixels, size_t stride);

// For tests: whether the decoders in RgbDecoders try this one first (they do unless told
// otherwise), and how many files it has decoded.
void SetJpegDcDecoding(bool on);
bool JpegDcDecodingOn();
uint64_t JpegDcDecodedCount();

} // namespace lumidex
