#pragma once

#include <cstddef>
#include <cstdint>

class QImage;

namespace lumidex {

// Largest width or height of a plug-in's picture, as for the built-in readers.
inline constexpr int kMaxDibSide = 10000;

// Turns a plug-in's bitmap (information block and bottom-up pixel rows) into 8-bit RGB.
// Both blocks come from outside code: every field is checked against the sizes given (what
// the host may read of each block) before a pixel is touched. expectedWidth and
// expectedHeight, when non-zero, must equal the header's. False, with out untouched, when any
// check fails.
bool ConvertDib(const uint8_t* info, size_t infoSize, const uint8_t* bits, size_t bitsSize,
                int expectedWidth, int expectedHeight, QImage& out);

} // namespace lumidex
