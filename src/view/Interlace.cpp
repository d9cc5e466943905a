#include "Interlace.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace lumidex {

QImage Interlace(const QImage& reference, const QImage& target) {
    if (reference.isNull() || target.isNull()) return {};
    QImage out = reference.convertToFormat(QImage::Format_RGB888);
    const QImage in = target.convertToFormat(QImage::Format_RGB888);
    if (out.isNull() || in.isNull()) return {};
    const int64_t W = out.width(), H = out.height(), w = in.width(), h = in.height();
    std::vector<int> column(static_cast<size_t>(W));
    for (int64_t x = 0; x < W; ++x)
        column[static_cast<size_t>(x)] = static_cast<int>(std::min(x * w / W, w - 1));
    for (int64_t y = 0; y < H; y += 2) {
        const int sourceRow = static_cast<int>(std::min(y * h / H, h - 1));
        const uchar* from = in.constScanLine(sourceRow);
        uchar* to = out.scanLine(static_cast<int>(y));
        for (int64_t x = 0; x < W; ++x)
            std::memcpy(to + 3 * x, from + 3 * column[static_cast<size_t>(x)], 3);
    }
    return out;
}

} // namespace lumidex
