#include "Orientation.h"

#include "Frame.h"
#include "Signature.h"

#include <QImage>
#include <gtest/gtest.h>

#include <random>

using namespace lumidex;

namespace {

// The picture as it lies in orientation o, pixel by pixel.
QImage Oriented(const QImage& in, Orientation o) {
    const int w = in.width(), h = in.height();
    const bool swapped = o == Orientation::TurnedRight || o == Orientation::TurnedLeft ||
                         o == Orientation::MirroredDiagonal ||
                         o == Orientation::MirroredAntiDiagonal;
    QImage out(swapped ? h : w, swapped ? w : h, QImage::Format_RGB888);
    for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x) {
            int sx = x, sy = y;
            switch (o) {
            case Orientation::Upright:
                break;
            case Orientation::TurnedRight:
                sx = y, sy = h - 1 - x;
                break;
            case Orientation::TurnedOver:
                sx = w - 1 - x, sy = h - 1 - y;
                break;
            case Orientation::TurnedLeft:
                sx = w - 1 - y, sy = x;
                break;
            case Orientation::MirroredLeftRight:
                sx = w - 1 - x;
                break;
            case Orientation::MirroredUpDown:
                sy = h - 1 - y;
                break;
            case Orientation::MirroredDiagonal:
                sx = y, sy = x;
                break;
            case Orientation::MirroredAntiDiagonal:
                sx = w - 1 - y, sy = h - 1 - x;
                break;
            }
            out.setPixel(x, y, in.pixel(sx, sy));
        }
    return out;
}

// 64 x 48 pixels, each of the 16 cells one colour out of a few, so that cells tie.
QImage CellPicture(std::mt19937& rng, int colours) {
    std::vector<QRgb> palette;
    for (int c = 0; c < colours; ++c)
        palette.push_back(qRgb(int(rng() % 256), int(rng() % 256), int(rng() % 256)));
    QImage pic(64, 48, QImage::Format_RGB888);
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            QRgb c = palette[rng() % palette.size()];
            for (int x = i * 16; x < i * 16 + 16; ++x)
                for (int y = j * 12; y < j * 12 + 12; ++y)
                    pic.setPixel(x, y, c);
        }
    return pic;
}

TEST(Orientation, DerivedSignatureAgreesWithTheTurnedPicture) {
    std::mt19937 rng(7);
    NullFrame frame;
    double known[kOrientations] = {};
    const int pictures = 150;
    for (int n = 0; n < pictures; ++n) {
        const QImage pic = CellPicture(rng, 2 + n % 14);
        Pdata e("/p.png");
        ASSERT_GE(ComputeSignature(pic, e, SignatureMode::WholePicture, 0, 0, 0, 0, frame), 0);
        for (int o = 0; o < kOrientations; ++o) {
            const Orientation way = static_cast<Orientation>(o);
            Pdata t("/t.png");
            ComputeSignature(Oriented(pic, way), t, SignatureMode::WholePicture, 0, 0, 0, 0, frame);
            const OrientedSignature d = DeriveOrientation(e.key, e.code, way);
            SCOPED_TRACE("picture " + std::to_string(n) + ", orientation " + std::to_string(o));
            EXPECT_EQ(d.code, t.code);
            EXPECT_EQ(t.key & d.known, d.key) << "every known bit is right";
            EXPECT_EQ(d.knownBits, __builtin_popcount(d.known));
            known[o] += d.knownBits;
        }
    }
    EXPECT_EQ(known[0], 32.0 * pictures) << "upright, the key is all known";
    // The scaled tolerance means little unless most of the key survives.
    for (int o = 1; o < kOrientations; ++o)
        EXPECT_GE(known[o] / pictures, 16.0) << "orientation " << o;
}

TEST(Orientation, MarksAndTheSevenOthers) {
    const OtherOrientations all = DeriveOrientations(0x12345678u, 0x9ABCDEF0u);
    for (int o = 1; o < kOrientations; ++o)
        EXPECT_EQ(all[static_cast<size_t>(o - 1)].orientation, static_cast<Orientation>(o));
    EXPECT_STREQ(OrientationMark(Orientation::Upright), "");
    EXPECT_STREQ(OrientationMark(Orientation::TurnedLeft), " (turned)");
    EXPECT_STREQ(OrientationMark(Orientation::TurnedOver), " (turned)");
    EXPECT_STREQ(OrientationMark(Orientation::MirroredUpDown), " (mirrored)");
    EXPECT_STREQ(OrientationMark(Orientation::MirroredDiagonal), " (mirrored)");
}

} // namespace

namespace {

// The derivation by tables gives, bit for bit, what the comparisons one at a time give, for
// flat, symmetric and random signatures in every orientation.
TEST(Orientation, TablesDeriveAsTheComparisons) {
    std::mt19937 rng(5);
    for (int i = 0; i < 20000; ++i) {
        const uint32_t key = i % 5 == 0 ? 0u : static_cast<uint32_t>(rng());
        uint32_t code = static_cast<uint32_t>(rng());
        if (i % 7 == 0) code = (rng() % 4) * 0x55555555u;
        if (i % 3 == 0) code &= 0x0F0F0F0Fu;
        for (int o = 0; o < kOrientations; ++o) {
            const Orientation way = static_cast<Orientation>(o);
            const OrientedSignature fast = DeriveOrientation(key, code, way);
            const OrientedSignature slow = DeriveOrientationStepwise(key, code, way);
            ASSERT_EQ(fast.code, slow.code) << i << " " << o;
            ASSERT_EQ(fast.known, slow.known) << i << " " << o;
            ASSERT_EQ(fast.key, slow.key) << i << " " << o;
            ASSERT_EQ(fast.knownBits, slow.knownBits);
            ASSERT_EQ(OrientedCode(code, way), slow.code);
        }
    }
}

} // namespace
