#include "Interlace.h"

#include "TestPictures.h"

#include <gtest/gtest.h>

namespace lumidex {
namespace {

using test::MakePicture;

// A picture whose every pixel tells its own position.
QImage Positions(int w, int h) {
    return MakePicture(w, h, [](int x, int y) { return qRgb(x % 256, y % 256, 7); });
}

TEST(Interlace, EvenRowsFromTheTargetOddRowsKeptFromTheReference) {
    struct Case {
        int W, H, w, h;
    } cases[] = {
        {800, 600, 400, 300}, // target enlarged twice
        {400, 300, 800, 600}, // target reduced by dropping pixels
        {7, 5, 3, 2},         // proportions that do not divide
        {255, 3, 254, 1},     // one target row for every even row
    };
    for (const Case& c : cases) {
        const QImage ref = test::UniformPicture(c.W, c.H, qRgb(200, 201, 202));
        const QImage out = Interlace(ref, Positions(c.w, c.h));
        ASSERT_EQ(out.size(), QSize(c.W, c.H));
        ASSERT_EQ(out.format(), QImage::Format_RGB888);
        for (int y = 0; y < c.H; ++y)
            for (int x = 0; x < c.W; ++x) {
                const QRgb p = out.pixel(x, y);
                if (y % 2) {
                    ASSERT_EQ(p, qRgb(200, 201, 202)) << x << "," << y;
                } else {
                    // Nearest neighbour: the target's own pixel, never an average.
                    ASSERT_EQ(qRed(p), (int64_t{x} * c.w / c.W) % 256) << x << "," << y;
                    ASSERT_EQ(qGreen(p), (int64_t{y} * c.h / c.H) % 256) << x << "," << y;
                    ASSERT_EQ(qBlue(p), 7);
                }
            }
    }
}

TEST(Interlace, EmptyPicturesGiveNothing) {
    EXPECT_TRUE(Interlace(QImage(), Positions(4, 4)).isNull());
    EXPECT_TRUE(Interlace(Positions(4, 4), QImage()).isNull());
}

TEST(Interlace, OtherFormatsAreTakenAsRgb) {
    QImage ref(4, 4, QImage::Format_ARGB32);
    ref.fill(qRgb(1, 2, 3));
    QImage target(2, 2, QImage::Format_Indexed8);
    target.setColorTable({qRgb(9, 8, 7)});
    target.fill(0);
    const QImage out = Interlace(ref, target);
    EXPECT_EQ(out.pixel(3, 0), qRgb(9, 8, 7));
    EXPECT_EQ(out.pixel(3, 1), qRgb(1, 2, 3));
}

} // namespace
} // namespace lumidex
