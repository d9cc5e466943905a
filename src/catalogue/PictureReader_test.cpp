#include "PictureReader.h"

#include "TempDir.h"
#include "TestPictures.h"

#include <QImage>
#include <gtest/gtest.h>

#include <csetjmp>
#include <functional>
#include <vector>

#include <jpeglib.h>
#include <zlib.h>

using namespace lumidex;
using namespace lumidex::test;

namespace {

// A picture with few enough colours for a palette, varied enough to show misplaced pixels.
QImage FewColours(int w, int h) {
    return MakePicture(w, h, [](int x, int y) {
        int k = (x * 7 + y * 13) % 40;
        return qRgb(k * 6, 255 - k * 5, (k * 37) % 256);
    });
}

QImage WithAlpha(const QImage& src) {
    return MakePictureWithAlpha(src.width(), src.height(), [&](int x, int y) {
        return qRgba(qRed(src.pixel(x, y)), qGreen(src.pixel(x, y)), qBlue(src.pixel(x, y)),
                     (x * 31 + y) % 256);
    });
}

// The RGB a reader must deliver for each pixel of the source.
using Expect = std::function<QRgb(QRgb)>;
QRgb Same(QRgb c) {
    return c | 0xFF000000u;
}
QRgb Grey(QRgb c) {
    return qRgb(qGray(c), qGray(c), qGray(c));
}

void ExpectPixels(const QImage& got, const QImage& src, const Expect& expect,
                  const std::string& what) {
    ASSERT_EQ(got.format(), QImage::Format_RGB888) << what;
    ASSERT_EQ(got.size(), src.size()) << what;
    for (int y = 0; y < src.height(); ++y)
        for (int x = 0; x < src.width(); ++x) {
            const uchar* p = got.constScanLine(y) + 3 * x;
            QRgb want = expect(src.pixel(x, y));
            ASSERT_EQ(qRgb(p[0], p[1], p[2]), want | 0xFF000000u)
                << what << " at " << x << "," << y;
        }
}

// Libjpeg's own decoder with its defaults, row by row: the values every standard viewer shows.
QImage ReferenceJpegDecode(const std::string& bytes) {
    jpeg_decompress_struct cinfo{};
    jpeg_error_mgr err{};
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_RGB;
    cinfo.dct_method = JDCT_ISLOW;
    cinfo.do_fancy_upsampling = TRUE;
    jpeg_start_decompress(&cinfo);
    QImage out(static_cast<int>(cinfo.output_width), static_cast<int>(cinfo.output_height),
               QImage::Format_RGB888);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = out.scanLine(static_cast<int>(cinfo.output_scanline));
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return out;
}

// Sets a big-endian 16-bit value.
void PutBE16(std::string& s, size_t at, int v) {
    s[at] = static_cast<char>(v >> 8);
    s[at + 1] = static_cast<char>(v & 0xFF);
}

} // namespace

TEST(ReadPicture, LosslessFormatsComeOutAsTheirRgbValues) {
    TempDir dir;
    QImage photo = PhotoLikePicture(37, 23, 5); // odd width: row padding in every format
    QImage few = FewColours(37, 23);
    QImage alpha = WithAlpha(photo);
    QImage greys = MakePicture(37, 23, [](int x, int y) {
        int g = (x * 29 + y * 7) % 256;
        return qRgb(g, g, g);
    });
    auto level = [](int bits) {
        return [bits](QRgb c) {
            int v = qGray(c) >> (8 - bits);
            int g = v * 255 / ((1 << bits) - 1); // the PNG rule: scale to the full range
            return qRgb(g, g, g);
        };
    };
    struct Case {
        const char* name;
        QImage source;
        std::function<std::string(const std::string&, const QImage&)> write;
        Expect expect;
    };
    std::vector<Case> cases = {
        {"rgb.png", photo, [](auto& p, auto& i) { return WritePng(p, i); }, Same},
        {"interlaced.png", photo,
         [](auto& p, auto& i) { return WritePng(p, i, {.interlaced = true}); }, Same},
        {"gamma.png", photo, [](auto& p, auto& i) { return WritePng(p, i, {.gamma = true}); },
         Same},
        {"rgba.png", alpha,
         [](auto& p, auto& i) { return WritePng(p, i, {.kind = PngKind::RgbAlpha}); }, Same},
        {"rgb16.png", photo,
         [](auto& p, auto& i) { return WritePng(p, i, {.kind = PngKind::Rgb16}); }, Same},
        {"rgba16.png", alpha,
         [](auto& p, auto& i) { return WritePng(p, i, {.kind = PngKind::RgbAlpha16}); }, Same},
        {"grey.png", greys,
         [](auto& p, auto& i) { return WritePng(p, i, {.kind = PngKind::Grey}); }, Grey},
        {"grey4.png", greys,
         [](auto& p, auto& i) { return WritePng(p, i, {.kind = PngKind::Grey, .bitDepth = 4}); },
         level(4)},
        {"grey1.png", greys,
         [](auto& p, auto& i) { return WritePng(p, i, {.kind = PngKind::Grey, .bitDepth = 1}); },
         level(1)},
        {"grey16.png", greys,
         [](auto& p, auto& i) { return WritePng(p, i, {.kind = PngKind::Grey16}); }, Grey},
        {"greyalpha.png", WithAlpha(greys),
         [](auto& p, auto& i) { return WritePng(p, i, {.kind = PngKind::GreyAlpha}); }, Grey},
        {"palette.png", few,
         [](auto& p, auto& i) { return WritePng(p, i, {.kind = PngKind::Palette}); }, Same},
        {"palette-trns.png", few,
         [](auto& p, auto& i) {
             return WritePng(p, i, {.kind = PngKind::Palette, .paletteAlpha = 0});
         },
         Same},
        {"rgb24.bmp", photo, [](auto& p, auto& i) { return WriteBmp(p, i); }, Same},
        {"topdown.bmp", photo, [](auto& p, auto& i) { return WriteBmp(p, i, {.topDown = true}); },
         Same},
        {"rgb32.bmp", alpha,
         [](auto& p, auto& i) { return WriteBmp(p, i, {.kind = BmpKind::Rgb32}); }, Same},
        {"argb32.bmp", alpha,
         [](auto& p, auto& i) { return WriteBmp(p, i, {.kind = BmpKind::Argb32}); }, Same},
        {"palette8.bmp", few,
         [](auto& p, auto& i) { return WriteBmp(p, i, {.kind = BmpKind::Palette8}); }, Same},
    };
    for (const Case& c : cases) {
        std::string path = c.write(dir.File(c.name), c.source);
        QImage got;
        ASSERT_EQ(ReadPictureFile(got, path), ReadOutcome::Ok) << c.name;
        ExpectPixels(got, c.source, c.expect, c.name);
    }
}

TEST(ReadPicture, SixteenBitBmpChannelsWidenByShifting) {
    // Qt's reader scales a 5-bit channel by 8 and a 6-bit one by 4 (31 -> 248, 63 -> 252).
    TempDir dir;
    QImage src =
        MakePicture(20, 17, [](int x, int y) { return qRgb(x * 13 % 256, y * 15, 255 - x * 12); });
    auto shift555 = [](QRgb c) { return qRgb(qRed(c) & 0xF8, qGreen(c) & 0xF8, qBlue(c) & 0xF8); };
    auto shift565 = [](QRgb c) { return qRgb(qRed(c) & 0xF8, qGreen(c) & 0xFC, qBlue(c) & 0xF8); };
    QImage got;
    ASSERT_EQ(ReadPictureFile(got, WriteBmp(dir.File("a.bmp"), src, {.kind = BmpKind::Rgb555})),
              ReadOutcome::Ok);
    ExpectPixels(got, src, shift555, "555");
    ASSERT_EQ(ReadPictureFile(got, WriteBmp(dir.File("b.bmp"), src, {.kind = BmpKind::Rgb565})),
              ReadOutcome::Ok);
    ExpectPixels(got, src, shift565, "565");
}

TEST(ReadPicture, JpegGivesTheStandardDecodersValues) {
    TempDir dir;
    QImage photo = PhotoLikePicture(75, 41, 9);
    struct Case {
        const char* name;
        JpegOptions options;
    };
    for (const Case& c :
         {Case{"420.jpg", {}}, Case{"444.JPEG", {.quality = 75, .chromaFull = true}},
          Case{"progressive.jpe", {.progressive = true}},
          Case{"grey.jif", {.colour = JpegColour::Grey}}}) {
        std::string bytes = EncodeJpeg(photo, c.options);
        QImage got;
        ASSERT_EQ(ReadPictureFile(got, WriteBytes(dir.File(c.name), bytes)), ReadOutcome::Ok)
            << c.name;
        QImage want = ReferenceJpegDecode(bytes);
        ASSERT_EQ(got.format(), QImage::Format_RGB888);
        ASSERT_EQ(got.size(), want.size());
        for (int y = 0; y < want.height(); ++y)
            ASSERT_EQ(0, memcmp(got.constScanLine(y), want.constScanLine(y), 3 * want.width()))
                << c.name << " row " << y;
    }
}

TEST(ReadPicture, CmykJpegIsTakenAsAdobeInverted) {
    TempDir dir;
    // At quality 100 a flat picture decodes to the very samples written: here K = 200,
    // C = 255, M = 128, Y = 64 (see JpegColour::Cmyk), so R = C * K / 255 and so on.
    QImage flat = UniformPicture(24, 24, qRgb(200, 100, 50));
    QImage got;
    ASSERT_EQ(ReadPictureFile(got, WriteJpeg(dir.File("cmyk.jpg"), flat,
                                             {.quality = 100, .colour = JpegColour::Cmyk})),
              ReadOutcome::Ok);
    ExpectPixels(
        got, flat, [](QRgb) { return qRgb(255 * 200 / 255, 128 * 200 / 255, 64 * 200 / 255); },
        "cmyk");
}

TEST(ReadPicture, ExtensionChoosesTheDecoder) {
    TempDir dir;
    QImage pic = PhotoLikePicture(20, 20, 1);
    std::string jpeg = EncodeJpeg(pic), png = EncodePng(pic), bmp = EncodeBmp(pic);
    struct Case {
        const char* name;
        const std::string& bytes;
        bool ok;
    };
    for (const Case& c :
         {Case{"a.jpg", jpeg, true}, Case{"a.JPEG", jpeg, true}, Case{"a.Jif", jpeg, true},
          Case{"a.jpe", jpeg, true}, Case{"a.PNG", png, true}, Case{"a.bMp", bmp, true},
          Case{"png.jpg", png, false}, Case{"jpeg.png", jpeg, false}, Case{"png.bmp", png, false},
          Case{"bmp.jpg", bmp, false}, Case{"a.gif", jpeg, false}, Case{"a.ico", bmp, false},
          Case{"a.jp", jpeg, false}, Case{"noextension", jpeg, false},
          Case{"empty.jpg", std::string(), false}}) {
        QImage target = pic; // a failed read must not leave the old picture behind
        std::string path = WriteBytes(dir.File(c.name), c.bytes);
        EXPECT_EQ(ReadPicture(target, path), c.ok ? 0 : 1) << c.name;
        EXPECT_EQ(target.isNull(), !c.ok) << c.name;
    }
    QImage target = pic;
    EXPECT_EQ(ReadPictureFile(target, dir.File("missing.jpg")), ReadOutcome::Failed);
    EXPECT_TRUE(target.isNull());
}

TEST(ReadPicture, DamagedFilesFailAndLeaveNothing) {
    TempDir dir;
    QImage pic = PhotoLikePicture(40, 40, 3);
    std::string jpeg = EncodeJpeg(pic, {.minBytes = 0}), png = EncodePng(pic, {.minBytes = 0}),
                bmp = EncodeBmp(pic, {.minBytes = 0});
    std::string badCrc = png;
    badCrc[30] ^= 0x55; // inside the IHDR chunk
    std::string noPixels = bmp.substr(0, 60);
    struct Case {
        const char* name;
        std::string bytes;
    };
    for (const Case& c : {Case{"head.jpg", jpeg.substr(0, 100)}, Case{"sig.jpg", jpeg.substr(0, 2)},
                          Case{"garbage.jpg", std::string(3000, '\x5A')},
                          Case{"half.png", png.substr(0, png.size() / 2)}, Case{"crc.png", badCrc},
                          Case{"sig.png", png.substr(0, 8)}, Case{"head.bmp", bmp.substr(0, 20)},
                          Case{"nopixels.bmp", noPixels}}) {
        QImage target = pic;
        EXPECT_EQ(ReadPictureFile(target, WriteBytes(dir.File(c.name), c.bytes)),
                  ReadOutcome::Failed)
            << c.name;
        EXPECT_TRUE(target.isNull()) << c.name;
    }
}

TEST(ReadPicture, SidesOverTheLimitAreRefusedFromTheHeader) {
    TempDir dir;
    QImage target;
    // Real pictures at the limit and one pixel over it.
    EXPECT_EQ(ReadPictureFile(
                  target, WriteJpeg(dir.File("w.jpg"), UniformPicture(10000, 16, qRgb(9, 9, 9)))),
              ReadOutcome::Ok);
    EXPECT_EQ(target.width(), 10000);
    EXPECT_EQ(ReadPictureFile(
                  target, WritePng(dir.File("h.png"), UniformPicture(16, 10000, qRgb(9, 9, 9)))),
              ReadOutcome::Ok);
    EXPECT_EQ(ReadPictureFile(
                  target, WriteJpeg(dir.File("w1.jpg"), UniformPicture(10001, 16, qRgb(9, 9, 9)))),
              ReadOutcome::Oversized);
    EXPECT_TRUE(target.isNull());
    EXPECT_EQ(ReadPictureFile(
                  target, WriteBmp(dir.File("h1.bmp"), UniformPicture(8, 10001, qRgb(9, 9, 9)))),
              ReadOutcome::Oversized);

    // Small files that declare 60000 x 60000 pixels: refused without decoding (or allocating).
    std::string jpeg = EncodeJpeg(UniformPicture(16, 16, qRgb(1, 2, 3)), {.minBytes = 0});
    size_t sof = jpeg.find("\xFF\xC0");
    ASSERT_NE(sof, std::string::npos);
    PutBE16(jpeg, sof + 5, 60000); // height
    PutBE16(jpeg, sof + 7, 60000); // width
    EXPECT_EQ(ReadPictureFile(target, WriteBytes(dir.File("huge.jpg"), jpeg)),
              ReadOutcome::Oversized);

    std::string png = EncodePng(UniformPicture(16, 16, qRgb(1, 2, 3)), {.minBytes = 0});
    for (size_t at : {16u, 20u}) { // IHDR width and height, big-endian 32-bit
        png[at] = 0, png[at + 1] = 0;
        PutBE16(png, at + 2, 60000);
    }
    uLong crc = crc32(0, reinterpret_cast<const Bytef*>(png.data() + 12), 17);
    for (int i = 0; i < 4; ++i)
        png[29 + i] = static_cast<char>(crc >> (24 - 8 * i));
    EXPECT_EQ(ReadPictureFile(target, WriteBytes(dir.File("huge.png"), png)),
              ReadOutcome::Oversized);

    std::string bmp = EncodeBmp(UniformPicture(16, 16, qRgb(1, 2, 3)), {.minBytes = 0});
    for (size_t at : {18u, 22u})
        bmp[at] = '\x60', bmp[at + 1] = '\xEA', bmp[at + 2] = 0, bmp[at + 3] = 0;
    EXPECT_EQ(ReadPictureFile(target, WriteBytes(dir.File("huge.bmp"), bmp)),
              ReadOutcome::Oversized);
    EXPECT_TRUE(target.isNull());
}

TEST(ReadPicture, ForACellJpegDecodesReducedButCoveringTheCell) {
    TempDir dir;
    const std::string jpeg = WriteJpeg(dir.File("a.jpg"), PhotoLikePicture(800, 600, 3));
    const std::string cmyk =
        WriteJpeg(dir.File("c.jpg"), PhotoLikePicture(800, 600, 3), {.colour = JpegColour::Cmyk});
    const std::string png = WritePng(dir.File("a.png"), PhotoLikePicture(800, 600, 3));
    struct Case {
        std::string path;
        int cellWidth, cellHeight;
        QSize decoded;
    } cases[] = {
        {jpeg, 100, 75, {100, 75}},                                // an eighth covers it
        {jpeg, 101, 75, {200, 150}},                               // a quarter
        {jpeg, 100, 76, {200, 150}}, {jpeg, 400, 300, {400, 300}}, // a half
        {jpeg, 401, 10, {800, 600}},                             // only the full picture covers it
        {jpeg, 0, 0, {800, 600}},                                // no cell
        {cmyk, 100, 75, {100, 75}},  {png, 100, 75, {800, 600}}, // other formats decode in full
    };
    for (const Case& c : cases) {
        QImage picture;
        QSize full;
        ASSERT_EQ(ReadPictureForCell(picture, c.path, c.cellWidth, c.cellHeight, &full),
                  ReadOutcome::Ok);
        EXPECT_EQ(picture.size(), c.decoded) << c.path << " " << c.cellWidth << "x" << c.cellHeight;
        EXPECT_EQ(full, QSize(800, 600)); // the header's size, whatever was decoded
        EXPECT_EQ(picture.format(), QImage::Format_RGB888);
    }
    // A reduced decode is still the picture: close to the full decode scaled down.
    QImage full, small;
    ASSERT_EQ(ReadPicture(full, jpeg), 0);
    ASSERT_EQ(ReadPictureForCell(small, jpeg, 100, 75), ReadOutcome::Ok);
    const QImage scaled = full.scaled(100, 75, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    EXPECT_NEAR(qGray(small.pixel(50, 37)), qGray(scaled.pixel(50, 37)), 12);
}
