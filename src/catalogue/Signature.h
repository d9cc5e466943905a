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

} // namespace lumidex
