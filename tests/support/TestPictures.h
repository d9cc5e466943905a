#pragma once

// Pictures for tests: QImages built from a pixel function, and JPEG, PNG and BMP files written
// from them. Every writer throws std::runtime_error when it cannot write, so a broken fixture
// fails the test that made it.
//
// File size: the program rejects files under 1024 bytes ("File is too small,"), and small
// pictures compress to less. So every writer appends zero bytes after the picture data until the
// file holds at least `minBytes` bytes (default 1024): every reader here ignores bytes after the
// end of the picture. Set minBytes = 0 to get the bare encoding, or use PadFileTo for an exact
// size.
//
// Typical use in a folder-scan test:
//     TempDir dir;
//     WritePicture(dir.File("a.jpg"), PhotoLikePicture(64, 48, 1));
//     WritePicture(dir.File("sub/b.png"), PhotoLikePicture(64, 48, 2)); // folders are made
//
// Exact pixel values after decoding: PNG and BMP are lossless. JPEG is lossy, except that a
// uniform picture (or uniform 8 x 8 blocks with 4:4:4 sampling) at quality 100 decodes to
// the values written, give or take the YCbCr rounding of colours.

#include <QImage>
#include <QRgb>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace lumidex::test {

// ---- Pictures in memory (QImage::Format_RGB888 unless noted) ----

QImage MakePicture(int width, int height, const std::function<QRgb(int x, int y)>& pixel);
// Format_ARGB32 (not premultiplied): the alpha of each QRgb is kept.
QImage MakePictureWithAlpha(int width, int height, const std::function<QRgb(int x, int y)>& pixel);
QImage UniformPicture(int width, int height, QRgb colour);
// A deterministic photograph-like picture: smooth colour waves over the picture's area plus a
// little pixel noise. The waves depend on x / width and y / height only, so the same seed at two
// sizes (or a copy saved as JPEG) gives pictures that usually share their signature; different
// seeds give different pictures.
QImage PhotoLikePicture(int width, int height, uint32_t seed);

// ---- Files. Each writer makes the missing folders of path and returns path. ----

enum class JpegColour {
    Rgb,  // YCbCr in the file, as cameras write
    Grey, // one component: the grey level qGray(pixel)
    // Four components, Adobe-inverted as Photoshop writes them (with an Adobe marker):
    // K = max(r, g, b), C = round(r * 255 / K), M and Y likewise (all 0 when K is 0).
    // The conventional decoding R = C * K / 255 gives back the colour within 1.
    Cmyk,
};

struct JpegOptions {
    int quality = 90;
    JpegColour colour = JpegColour::Rgb;
    bool progressive = false;
    bool chromaFull = false; // 4:4:4 instead of the default 4:2:0 chroma subsampling
    size_t minBytes = 1024;
};

std::string EncodeJpeg(const QImage& pixels, const JpegOptions& options = {});
std::string WriteJpeg(const std::string& path, const QImage& pixels,
                      const JpegOptions& options = {});

enum class PngKind {
    Rgb,        // 8-bit RGB
    RgbAlpha,   // 8-bit RGBA; alpha = qAlpha(pixel) (use MakePictureWithAlpha)
    Grey,       // grey level qGray(pixel) at bitDepth 1, 2, 4 or 8 (default 8)
    GreyAlpha,  // 8-bit grey + alpha
    Palette,    // palette of the picture's distinct colours (at most 256, else it throws),
                // bitDepth 1, 2, 4 or 8 (default 8); with paletteAlpha a tRNS chunk gives
                // every entry that alpha
    Rgb16,      // 16-bit RGB: each sample is (value << 8) | low16
    RgbAlpha16, // 16-bit RGBA
    Grey16,     // 16-bit grey
};

struct PngOptions {
    PngKind kind = PngKind::Rgb;
    int bitDepth = 0; // 0: the kind's natural depth
    bool interlaced = false;
    uint8_t low16 = 0xC0;  // low byte of 16-bit samples: shows whether a reader rounds or truncates
    int paletteAlpha = -1; // Palette only: 0..255 adds a tRNS chunk
    bool gamma = false;    // adds a gAMA chunk of 1/1.0 (readers must not apply it)
    size_t minBytes = 1024;
};

std::string EncodePng(const QImage& pixels, const PngOptions& options = {});
std::string WritePng(const std::string& path, const QImage& pixels, const PngOptions& options = {});

enum class BmpKind {
    Rgb24,    // BITMAPINFOHEADER, 24 bits
    Rgb32,    // BITMAPINFOHEADER, BI_RGB 32 bits; the fourth byte holds qAlpha(pixel)
    Argb32,   // BITMAPV5HEADER, BI_BITFIELDS 32 bits with an alpha mask; alpha = qAlpha(pixel)
    Rgb555,   // BI_RGB 16 bits: 5 bits a channel (value >> 3)
    Rgb565,   // BI_BITFIELDS 16 bits: 5, 6, 5 bits
    Palette8, // 8-bit colour table of the picture's distinct colours (at most 256, else throws)
};

struct BmpOptions {
    BmpKind kind = BmpKind::Rgb24;
    bool topDown = false; // negative height: rows stored top row first
    size_t minBytes = 1024;
};

std::string EncodeBmp(const QImage& pixels, const BmpOptions& options = {});
std::string WriteBmp(const std::string& path, const QImage& pixels, const BmpOptions& options = {});

// Writes by the extension of path, in any letter case: ".jpg", ".jpeg", ".jif", ".jpe" as
// JPEG quality 90, ".png" as 8-bit RGB PNG, ".bmp" as 24-bit BMP; padded to 1024 bytes.
// Any other extension writes a JPEG (handy for files the scan must skip by their name).
std::string WritePicture(const std::string& path, const QImage& pixels);

// Writes bytes to path, making its folders; returns path.
std::string WriteBytes(const std::string& path, const std::string& bytes);
// Appends zero bytes until the file has exactly size bytes (throws if it is already larger).
void PadFileTo(const std::string& path, size_t size);

} // namespace lumidex::test
