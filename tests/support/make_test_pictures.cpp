// Writes the pictures that the command line test runs over into the folder named, one set per
// picture content in every format variant, plus files the analysis must reject.
#include "TestPictures.h"

#include <cstdio>
#include <exception>
#include <string>

using namespace lumidex::test;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const std::string dir = std::string(argv[1]) + "/";
    try {
        // Grey 4 * x in column x: the cells stretch to 0, 255, 510, 765 from left to right.
        QImage columns = MakePicture(64, 64, [](int x, int) { return qRgb(4 * x, 4 * x, 4 * x); });
        QImage rows = MakePicture(64, 48, [](int, int y) { return qRgb(5 * y, 5 * y, 5 * y); });
        QImage halves = MakePicture(
            32, 32, [](int x, int) { return x < 16 ? qRgb(255, 0, 0) : qRgb(0, 0, 255); });

        const std::string c = dir + "columns";
        WriteJpeg(c + ".jpg", columns);
        WriteJpeg(c + "-q40.JPEG", columns, {.quality = 40});
        WriteJpeg(c + "-progressive.jpe", columns, {.progressive = true});
        WriteJpeg(c + "-grey.jif", columns, {.colour = JpegColour::Grey});
        WriteJpeg(c + "-cmyk.jpg", columns, {.colour = JpegColour::Cmyk});
        WritePng(c + ".png", columns);
        WritePng(c + "-grey.png", columns, {.kind = PngKind::Grey});
        WritePng(c + "-grey4.png", columns, {.kind = PngKind::Grey, .bitDepth = 4});
        WritePng(c + "-palette.png", columns, {.kind = PngKind::Palette});
        WritePng(c + "-16bit.png", columns, {.kind = PngKind::Rgb16});
        WritePng(c + "-grey16.png", columns, {.kind = PngKind::Grey16, .interlaced = true});
        WritePng(c + "-alpha.png", columns.convertToFormat(QImage::Format_ARGB32),
                 {.kind = PngKind::RgbAlpha});
        WriteBmp(c + ".bmp", columns);
        WriteBmp(c + "-32.bmp", columns, {.kind = BmpKind::Rgb32});
        WriteBmp(c + "-555.bmp", columns, {.kind = BmpKind::Rgb555});
        WriteBmp(c + "-palette.bmp", columns, {.kind = BmpKind::Palette8, .topDown = true});

        WriteJpeg(dir + "rows.jpg", rows);
        WritePng(dir + "rows.png", rows, {.kind = PngKind::Palette});
        WriteBmp(dir + "rows.bmp", rows, {.kind = BmpKind::Rgb565});
        WriteJpeg(dir + "halves.jpg", halves, {.quality = 100, .chromaFull = true});
        WritePng(dir + "halves.png", halves);
        WriteBmp(dir + "halves.bmp", halves);

        // Rejected files.
        WriteJpeg(dir + "tiny.jpg", columns.copy(0, 0, 16, 16), {.minBytes = 0});
        WriteJpeg(dir + "narrow.jpg", columns.copy(0, 0, 15, 64));
        WriteJpeg(dir + "wide.jpg", UniformPicture(10001, 16, qRgb(50, 60, 70)));
        WriteBytes(dir + "png-data.jpg", EncodePng(columns));
        std::string jpeg = EncodeJpeg(columns);
        WriteBytes(dir + "truncated.jpg", jpeg.substr(0, 200) + std::string(1000, '\0'));
        WriteBytes(dir + "garbage.png", std::string(2000, 'P'));
        std::string bmp = EncodeBmp(columns);
        WriteBytes(dir + "short.bmp", bmp.substr(0, bmp.size() / 2));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
