#pragma once

#include "Pdata.h"

#include <cstdint>

class QImage;

namespace lumidex {

class Frame;

enum class SignatureMode { WholePicture, Rectangle };

// Reduces a picture, or a rectangle of it, to its signature key and luminance code. Whole
// picture: stored in the entry's key and code. Rectangle: appended to the entry's sub-index
// with the rectangle as clipped to the picture. Returns the key, or -1 (nothing stored) when
// the rectangle is under 16 pixels on a side or the user pressed Abort.
int64_t ComputeSignature(const QImage& picture, Pdata& entry, SignatureMode mode, int left, int top,
                         int right, int bottom, Frame& frame);

// The rows a whole-picture signature reads, for a reader that decodes only those. Told each
// row read, in order, with its 8-bit RGB pixels, Next names the row needed next; the height
// when no more are.
class SignatureRows {
public:
    SignatureRows(int width, int height);
    int Next(int row, const uint8_t* rgb);

private:
    int height_;
    int diagonal_; // rows 1 to diagonal_ hold the two-tone test's pixels
    int quarter_;
    int step_;
    bool decided_ = false;
    bool everyRow_ = false;
};

} // namespace lumidex
