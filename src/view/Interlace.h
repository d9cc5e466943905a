#pragma once

#include <QImage>

namespace lumidex {

// The synthesis view's picture: the reference with every even row (0, 2, 4, ...) replaced by
// the target picture's row floor(y * h / H), each pixel from column floor(x * w / W), nearest
// neighbour (never averaged). Positions are computed in 64-bit integers and clamped, so no
// accumulated rounding steps past the last column. Both are taken as 24-bit RGB; a null
// picture comes back when either is empty.
QImage Interlace(const QImage& reference, const QImage& target);

} // namespace lumidex
