#include "Signature.h"

#include "RecordingFrame.h"
#include "TestPictures.h"

#include <QImage>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>

using namespace lumidex;
using namespace lumidex::test;

namespace {

struct Result {
    int64_t key;
    uint32_t code;
    int columns; // sampled columns, counted by the events let run after each
};

// The routine as written down, one QImage::pixel() at a time.
Result Literal(const QImage& pic, int x0, int y0, int x1, int y1) {
    x0 = std::max(x0, 0), y0 = std::max(y0, 0);
    x1 = std::min(x1, pic.width()), y1 = std::min(y1, pic.height());
    int w = x1 - x0, h = y1 - y0;
    if (w < 16 || h < 16) return {-1, 0, 0};
    int xb[5] = {x0, x0 + w / 4, x0 + 2 * (w / 4), x0 + 3 * (w / 4), x1};
    int yb[5] = {y0, y0 + h / 4, y0 + 2 * (h / 4), y0 + 3 * (h / 4), y1};
    int stepX = 1, stepY = 1;
    bool twoTone = true;
    for (int x = 0; x < pic.width() && x + 1 < pic.height() && twoTone; ++x) {
        QRgb c = pic.pixel(x, x + 1) & 0xFFFFFF;
        twoTone = c == 0 || c == 0xFFFFFF;
    }
    if (!twoTone) {
        if (h > 120) stepY = h / 120;
        if (w > 120) stepX = w / 120;
    }
    int m[3][4][4];
    int columns = 0;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            long s[3] = {0, 0, 0}, n = 0;
            for (int x = xb[i]; x < xb[i + 1]; x += stepX, ++columns)
                for (int y = yb[j]; y < yb[j + 1]; y += stepY, ++n) {
                    QRgb c = pic.pixel(x, y);
                    s[0] += qRed(c), s[1] += qGreen(c), s[2] += qBlue(c);
                }
            for (int k = 0; k < 3; ++k)
                m[k][i][j] = static_cast<int>(s[k] / n);
        }
    int S[4][4] = {};
    for (int k = 0; k < 3; ++k) {
        int lo = 256, hi = 0;
        for (auto& col : m[k])
            for (int v : col)
                lo = std::min(lo, v), hi = std::max(hi, v);
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j)
                S[i][j] += hi == lo ? 0 : (m[k][i][j] - lo) * 255 / (hi - lo);
    }
    uint32_t key = 0, code = 0;
    int prev = S[3][3];
    for (int j = 0; j < 4; ++j)
        for (int i = 0; i < 4; ++i)
            key = key * 2 + (prev > S[i][j]), prev = S[i][j];
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            key = key * 2 + (prev > S[i][j]), prev = S[i][j];
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            code = code * 4 + S[i][j] / 192;
    return {key, code, columns};
}

Result Computed(const QImage& pic, SignatureMode mode, int l = 0, int t = 0, int r = 0, int b = 0) {
    RecordingFrame frame;
    Pdata entry("/x.jpg");
    int64_t key = ComputeSignature(pic, entry, mode, l, t, r, b, frame);
    uint32_t code = mode == SignatureMode::WholePicture ? entry.code
                    : entry.RegionCount()               ? entry.RegionAt(0).code
                                                        : 0;
    return {key, code, frame.processEventsCalls};
}

QImage Greys(int w, int h, const std::function<int(int, int)>& level) {
    return MakePicture(w, h, [&](int x, int y) {
        int g = level(x, y);
        return qRgb(g, g, g);
    });
}

// Black and white along the diagonal (x, x + 1), colour elsewhere.
QImage TwoToneDiagonal(int w, int h, uint32_t seed) {
    QImage pic = PhotoLikePicture(w, h, seed);
    for (int x = 0; x < w && x + 1 < h; ++x)
        pic.setPixel(x, x + 1, x % 3 ? 0xFFFFFFFFu : 0xFF000000u);
    return pic;
}

} // namespace

TEST(Signature, WorkedExamples) {
    struct Case {
        const char* name;
        QImage pic;
        uint32_t key, code;
    };
    for (const Case& c : {
             Case{"grey columns", Greys(16, 16, [](int x, int) { return 16 * x; }), 0x88888000,
                  0x0055AAFF},
             Case{"grey rows", Greys(16, 16, [](int, int y) { return 16 * y; }), 0x80008888,
                  0x1B1B1B1B},
             Case{"uniform", UniformPicture(301, 77, qRgb(90, 140, 7)), 0, 0},
             Case{
                 "red and blue",
                 MakePicture(32, 32,
                             [](int x, int) { return x < 16 ? qRgb(255, 0, 0) : qRgb(0, 0, 255); }),
                 0, 0x55555555},
         }) {
        RecordingFrame frame;
        Pdata entry("/p.png");
        EXPECT_EQ(ComputeSignature(c.pic, entry, SignatureMode::WholePicture, 5, 5, 6, 6, frame),
                  c.key)
            << c.name;
        EXPECT_EQ(entry.key, c.key) << c.name;
        EXPECT_EQ(entry.code, c.code) << c.name;
        EXPECT_EQ(frame.pictureBarMax, 16);
        EXPECT_EQ(frame.pictureBarSteps, 16);
    }
}

TEST(Signature, ScanlineReadingEqualsTheLiteralRoutine) {
    struct Case {
        const char* name;
        QImage pic;
        int l, t, r, b; // rectangle mode when r > 0
    };
    QImage photo = PhotoLikePicture(731, 517, 11);
    QImage twoTone = TwoToneDiagonal(300, 260, 4);
    std::vector<Case> cases = {
        {"small", PhotoLikePicture(16, 16, 1), 0, 0, 0, 0},
        {"odd sides", PhotoLikePicture(239, 481, 2), 0, 0, 0, 0},
        {"sampled", photo, 0, 0, 0, 0},
        {"rgb32", photo.convertToFormat(QImage::Format_RGB32), 0, 0, 0, 0},
        {"argb32", photo.convertToFormat(QImage::Format_ARGB32), 0, 0, 0, 0},
        {"grey8", photo.convertToFormat(QImage::Format_Grayscale8), 0, 0, 0, 0},
        {"indexed", photo.convertToFormat(QImage::Format_Indexed8), 0, 0, 0, 0},
        {"rectangle", photo, 101, 37, 460, 400},
        {"clipped rectangle", photo, -40, -9, 900, 600},
        {"two-tone", twoTone, 0, 0, 0, 0},
        {"rectangle in two-tone", twoTone, 20, 30, 290, 250},
        {"wide two-tone", Greys(2000, 33, [](int x, int y) { return (x * 7 + y) % 5 ? 255 : 0; }),
         0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        bool rect = c.r > 0;
        Result want = rect ? Literal(c.pic, c.l, c.t, c.r, c.b)
                           : Literal(c.pic, 0, 0, c.pic.width(), c.pic.height());
        Result got = Computed(c.pic, rect ? SignatureMode::Rectangle : SignatureMode::WholePicture,
                              c.l, c.t, c.r, c.b);
        EXPECT_EQ(got.key, want.key) << c.name;
        EXPECT_EQ(got.code, want.code) << c.name;
        EXPECT_EQ(got.columns, want.columns) << c.name;
    }
}

TEST(Signature, SamplingStepFollowsTheSidesUnlessTheDiagonalIsTwoTone) {
    // Events run once per sampled column; each of the 4 rows of cells samples every column of
    // its cells, so the count is 4 x (sampled columns across the width).
    QImage grey = UniformPicture(480, 16, qRgb(128, 128, 128));
    struct Case {
        int width;
        bool twoTone;
        int columns;
    };
    for (const Case& c :
         {Case{239, false, 4 * 239}, Case{240, false, 4 * 120}, Case{359, false, 4 * 181},
          Case{480, false, 4 * 120}, Case{480, true, 4 * 480}}) {
        QImage pic = c.twoTone ? UniformPicture(c.width, 16, qRgb(255, 255, 255))
                               : grey.copy(0, 0, c.width, 16);
        EXPECT_EQ(Computed(pic, SignatureMode::WholePicture).columns, c.columns) << c.width;
    }
    // Grey at (0, 1) makes the picture not two-tone, whatever the rest of the diagonal holds.
    QImage almost = UniformPicture(480, 16, qRgb(0, 0, 0));
    almost.setPixel(0, 1, qRgb(1, 1, 1));
    EXPECT_EQ(Computed(almost, SignatureMode::WholePicture).columns, 4 * 120);
}

TEST(Signature, RectangleIsClippedAndStoredAsARegion) {
    RecordingFrame frame;
    QImage pic = PhotoLikePicture(100, 80, 7);
    Pdata entry("/r.png");
    entry.key = 0x1234, entry.code = 0x5678;
    int64_t key = ComputeSignature(pic, entry, SignatureMode::Rectangle, -10, 20, 130, 60, frame);
    ASSERT_GE(key, 0);
    ASSERT_EQ(entry.RegionCount(), 1);
    EXPECT_EQ(entry.RegionAt(0).area, (Area{0, 20, 100, 60}));
    EXPECT_EQ(entry.RegionAt(0).key, static_cast<uint32_t>(key));
    EXPECT_EQ(entry.RegionAt(0).code, Literal(pic, 0, 20, 100, 60).code);
    EXPECT_EQ(entry.key, 0x1234u); // whole-picture values untouched
    EXPECT_EQ(entry.code, 0x5678u);
}

TEST(Signature, UnderSixteenPixelsFailsWithoutTouchingTheEntry) {
    QImage pic = PhotoLikePicture(100, 80, 3);
    struct Case {
        QImage pic;
        SignatureMode mode;
        int l, t, r, b;
    };
    for (const Case& c :
         {Case{pic.copy(0, 0, 15, 80), SignatureMode::WholePicture, 0, 0, 0, 0},
          Case{pic.copy(0, 0, 100, 15), SignatureMode::WholePicture, 0, 0, 0, 0},
          Case{QImage(), SignatureMode::WholePicture, 0, 0, 0, 0},
          Case{pic, SignatureMode::Rectangle, 90, 0, 200, 80},    // 10 wide once clipped
          Case{pic, SignatureMode::Rectangle, 10, 70, 50, 300},   // 10 high once clipped
          Case{pic, SignatureMode::Rectangle, 50, 10, 20, 60}}) { // inverted
        RecordingFrame frame;
        Pdata entry("/s.png");
        entry.key = 77, entry.code = 88;
        EXPECT_EQ(ComputeSignature(c.pic, entry, c.mode, c.l, c.t, c.r, c.b, frame), -1);
        EXPECT_EQ(entry.key, 77u);
        EXPECT_EQ(entry.code, 88u);
        EXPECT_EQ(entry.RegionCount(), 0);
        EXPECT_EQ(frame.pictureBarSteps, 0);
    }
    EXPECT_EQ(Computed(pic.copy(0, 0, 16, 16), SignatureMode::WholePicture).key,
              Literal(pic, 0, 0, 16, 16).key);
}

TEST(Signature, OneVaryingChannelMakesTheKey) {
    QImage pic = MakePicture(64, 64, [](int x, int y) { return qRgb(40, (x + 2 * y) % 200, 90); });
    Result got = Computed(pic, SignatureMode::WholePicture);
    EXPECT_NE(got.key, 0);
    EXPECT_EQ(got.key, Literal(pic, 0, 0, 64, 64).key);
}

TEST(Signature, AbortEndsTheCallAfterTheCellBeingSampled) {
    QImage pic = PhotoLikePicture(64, 64, 8); // 16 x 16 cells, 16 columns each
    RecordingFrame frame;
    int columns = 0;
    frame.onProcessEvents = [&] {
        if (++columns == 9 * 16 + 3) frame.abort = true; // inside the tenth cell
    };
    Pdata entry("/a.png");
    entry.key = 5, entry.code = 6;
    EXPECT_EQ(ComputeSignature(pic, entry, SignatureMode::WholePicture, 0, 0, 0, 0, frame), -1);
    EXPECT_EQ(columns, 10 * 16); // the tenth cell is finished, the eleventh never started
    EXPECT_EQ(frame.pictureBarSteps, 9);
    EXPECT_EQ(entry.key, 5u);
    EXPECT_EQ(entry.code, 6u);
}
