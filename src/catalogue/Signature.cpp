#include "Signature.h"

#include "Frame.h"

#include <QImage>

#include <algorithm>
#include <array>

namespace lumidex {

namespace {

// Pixel layouts read straight from the scanlines.
struct Rgb888 {
    static constexpr int kBytes = 3;
    static void Add(const uchar* p, uint64_t sum[3]) {
        sum[0] += p[0];
        sum[1] += p[1];
        sum[2] += p[2];
    }
    static std::array<int, 3> At(const uchar* p) { return {p[0], p[1], p[2]}; }
};

struct Xrgb32 {
    static constexpr int kBytes = 4;
    static void Add(const uchar* p, uint64_t sum[3]) {
        QRgb c = *reinterpret_cast<const QRgb*>(p);
        sum[0] += qRed(c);
        sum[1] += qGreen(c);
        sum[2] += qBlue(c);
    }
    static std::array<int, 3> At(const uchar* p) {
        QRgb c = *reinterpret_cast<const QRgb*>(p);
        return {qRed(c), qGreen(c), qBlue(c)};
    }
};

// Sampled columns of one cell are summed in blocks, row by row within a block, so that a
// picture sampled at every pixel is read along its lines rather than across them.
constexpr int kColumnBlock = 32;

struct Grid {
    int xb[5];
    int yb[5];
    int stepX;
    int stepY;
};

bool BlackOrWhite(int r, int g, int b) {
    return (r == 0 && g == 0 && b == 0) || (r == 255 && g == 255 && b == 255);
}

// About 120 samples along a side, or every pixel of a short one.
int SampleStep(int side) {
    return side > 120 ? side / 120 : 1;
}

// Whether the diagonal (x, x + 1) holds only pure black and pure white.
template <class Px> bool TwoTone(const QImage& picture) {
    const int width = picture.width(), height = picture.height();
    for (int x = 0; x < width && x + 1 < height; ++x) {
        std::array<int, 3> c = Px::At(picture.constScanLine(x + 1) + x * Px::kBytes);
        if (!BlackOrWhite(c[0], c[1], c[2])) return false;
    }
    return true;
}

// Channel means of the 16 cells, cell (i, j) at i * 4 + j; false when the user aborted.
template <class Px>
bool CellMeans(const QImage& picture, const Grid& g, std::array<int, 16> means[3], Frame& frame) {
    const uchar* const bits = picture.constBits();
    const qsizetype stride = picture.bytesPerLine();
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            uint64_t sum[3] = {0, 0, 0};
            uint64_t count = 0;
            int rows = 0;
            for (int y = g.yb[j]; y < g.yb[j + 1]; y += g.stepY)
                ++rows;
            for (int x = g.xb[i]; x < g.xb[i + 1];) {
                int columns = 0;
                const int first = x;
                for (; x < g.xb[i + 1] && columns < kColumnBlock; x += g.stepX)
                    ++columns;
                for (int y = g.yb[j]; y < g.yb[j + 1]; y += g.stepY) {
                    const uchar* p = bits + stride * y + static_cast<qsizetype>(first) * Px::kBytes;
                    for (int c = 0; c < columns;
                         ++c, p += static_cast<qsizetype>(g.stepX) * Px::kBytes)
                        Px::Add(p, sum);
                }
                count += static_cast<uint64_t>(columns) * rows;
                // Keeps the window alive and lets the Abort button be pressed.
                for (int c = 0; c < columns; ++c)
                    frame.ProcessEvents();
            }
            for (int k = 0; k < 3; ++k)
                means[k][i * 4 + j] = static_cast<int>(sum[k] / count);
            if (frame.AbortRequested()) return false;
            frame.StepPictureBar();
        }
    }
    return true;
}

template <class Px>
int64_t Signature(const QImage& picture, Pdata& entry, SignatureMode mode, int x0, int y0, int x1,
                  int y1, Frame& frame) {
    const int w = x1 - x0, h = y1 - y0;
    Grid g{};
    const int qx = w / 4, qy = h / 4;
    for (int k = 0; k < 4; ++k) {
        g.xb[k] = x0 + k * qx;
        g.yb[k] = y0 + k * qy;
    }
    g.xb[4] = x1;
    g.yb[4] = y1;
    g.stepX = g.stepY = 1;
    // The two-tone test looks at the whole picture, whatever the rectangle.
    if (!TwoTone<Px>(picture)) {
        g.stepY = SampleStep(h);
        g.stepX = SampleStep(w);
    }
    frame.SetPictureBarMax(16);

    std::array<int, 16> v[3];
    if (!CellMeans<Px>(picture, g, v, frame)) return -1;

    // Stretch each channel to the full range, which discounts brightness, contrast and cast.
    for (auto& channel : v) {
        int lo = 256, hi = 0;
        for (int m : channel)
            lo = std::min(lo, m), hi = std::max(hi, m);
        for (int& m : channel)
            m = hi == lo ? 0 : (m - lo) * 255 / (hi - lo);
    }
    auto S = [&v](int i, int j) { return v[0][i * 4 + j] + v[1][i * 4 + j] + v[2][i * 4 + j]; };

    uint32_t key = 0;
    int prev = S(3, 3);
    auto compare = [&](int s) {
        key = key << 1 | (prev > s ? 1u : 0u);
        prev = s;
    };
    for (int j = 0; j < 4; ++j)
        for (int i = 0; i < 4; ++i)
            compare(S(i, j));
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            compare(S(i, j));

    uint32_t code = 0;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            code = code << 2 | static_cast<uint32_t>(S(i, j) / 192);

    if (mode == SignatureMode::WholePicture) {
        entry.key = key;
        entry.code = code;
    } else {
        entry.AddRegion(key, code, Area{x0, y0, x1, y1});
    }
    return key;
}

} // namespace

SignatureRows::SignatureRows(int width, int height)
    : height_(height), diagonal_(std::min(width, height - 1)), quarter_(height / 4),
      step_(SampleStep(height)) {
    // A picture too small for a signature, or without a diagonal, is read whole.
    if (width < 16 || height < 16 || diagonal_ < 1) decided_ = everyRow_ = true;
}

int SignatureRows::Next(int row, const uint8_t* rgb) {
    if (!decided_) {
        if (row >= 1 && row <= diagonal_) {
            const uint8_t* p = rgb + 3 * (row - 1);
            if (!BlackOrWhite(p[0], p[1], p[2]))
                decided_ = true;
            else if (row == diagonal_)
                decided_ = everyRow_ = true; // a two-tone picture is sampled at every pixel
        }
        if (!decided_) return row + 1;
    }
    const int y = row + 1;
    if (everyRow_ || y >= height_) return std::min(y, height_);
    // The cells' rows start at each quarter and go in steps to the next one.
    const int cell = std::min(y / quarter_, 3);
    const int first = cell * quarter_, end = cell < 3 ? first + quarter_ : height_;
    const int sampled = first + (y - first + step_ - 1) / step_ * step_;
    return std::min(sampled, end);
}

int64_t ComputeSignature(const QImage& picture, Pdata& entry, SignatureMode mode, int left, int top,
                         int right, int bottom, Frame& frame) {
    int x0 = 0, y0 = 0, x1 = picture.width(), y1 = picture.height();
    if (mode == SignatureMode::Rectangle) {
        x0 = std::max(left, 0);
        y0 = std::max(top, 0);
        x1 = std::min(right, picture.width());
        y1 = std::min(bottom, picture.height());
    }
    if (int64_t{x1} - x0 < 16 || int64_t{y1} - y0 < 16) return -1;

    switch (picture.format()) {
    case QImage::Format_RGB888:
        return Signature<Rgb888>(picture, entry, mode, x0, y0, x1, y1, frame);
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
        return Signature<Xrgb32>(picture, entry, mode, x0, y0, x1, y1, frame);
    default: {
        // Any other layout is read as its straight colours, alpha ignored.
        QImage converted = picture.convertToFormat(QImage::Format_ARGB32);
        if (converted.isNull()) return -1;
        return Signature<Xrgb32>(converted, entry, mode, x0, y0, x1, y1, frame);
    }
    }
}

} // namespace lumidex
