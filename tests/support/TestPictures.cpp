#include "TestPictures.h"

#include <QDir>
#include <QFileInfo>

#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <stdexcept>
#include <vector>

#include <jpeglib.h>
#include <png.h>

namespace lumidex::test {

QImage MakePicture(int width, int height, const std::function<QRgb(int x, int y)>& pixel) {
    QImage image(width, height, QImage::Format_RGB888);
    for (int y = 0; y < height; ++y) {
        uchar* row = image.scanLine(y);
        for (int x = 0; x < width; ++x) {
            QRgb c = pixel(x, y);
            row[3 * x] = static_cast<uchar>(qRed(c));
            row[3 * x + 1] = static_cast<uchar>(qGreen(c));
            row[3 * x + 2] = static_cast<uchar>(qBlue(c));
        }
    }
    return image;
}

QImage MakePictureWithAlpha(int width, int height, const std::function<QRgb(int x, int y)>& pixel) {
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x)
            row[x] = pixel(x, y);
    }
    return image;
}

QImage UniformPicture(int width, int height, QRgb colour) {
    return MakePicture(width, height, [colour](int, int) { return colour; });
}

namespace {
uint32_t Hash(uint32_t a) {
    a ^= a >> 16;
    a *= 0x7feb352dU;
    a ^= a >> 15;
    a *= 0x846ca68bU;
    a ^= a >> 16;
    return a;
}
int Clamp(double v) {
    return v < 0 ? 0 : v > 255 ? 255 : static_cast<int>(v);
}
} // namespace

QImage PhotoLikePicture(int width, int height, uint32_t seed) {
    double p[9];
    for (int i = 0; i < 9; ++i)
        p[i] = (Hash(seed * 9 + static_cast<uint32_t>(i) + 1) % 1000) / 1000.0;
    const double kTau = 6.283185307179586;
    return MakePicture(width, height, [&](int x, int y) {
        double u = (x + 0.5) / width, v = (y + 0.5) / height;
        uint32_t h = Hash(static_cast<uint32_t>(x) * 73856093U ^
                          static_cast<uint32_t>(y) * 19349663U ^ seed);
        int noise = static_cast<int>(h % 9) - 4;
        double r = 128 + 100 * std::sin(kTau * ((0.5 + p[0]) * u + p[1] * v + p[2]));
        double g = 128 + 100 * std::sin(kTau * (p[3] * u + (0.5 + p[4]) * v + p[5]));
        double b = 128 + 100 * std::cos(kTau * ((0.3 + p[6]) * (u - v) + p[7]) + p[8] * 3 * u);
        return qRgb(Clamp(r + noise), Clamp(g + noise), Clamp(b + noise));
    });
}

namespace {

void Pad(std::string& bytes, size_t minBytes) {
    if (bytes.size() < minBytes) bytes.append(minBytes - bytes.size(), '\0');
}

QRgb PixelAt(const QImage& image, int x, int y) {
    return image.pixel(x, y);
}

int GreyOf(QRgb c) {
    return qGray(c);
}

// ---- JPEG ----

struct JpegError {
    jpeg_error_mgr mgr;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void JpegErrorExit(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<JpegError*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

// Fills rows of the component layout the encoder expects.
std::vector<JSAMPLE> JpegRows(const QImage& pixels, JpegColour colour) {
    int w = pixels.width(), h = pixels.height();
    int n = colour == JpegColour::Grey ? 1 : colour == JpegColour::Cmyk ? 4 : 3;
    std::vector<JSAMPLE> data(static_cast<size_t>(w) * h * n);
    size_t at = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            QRgb c = PixelAt(pixels, x, y);
            int r = qRed(c), g = qGreen(c), b = qBlue(c);
            switch (colour) {
            case JpegColour::Rgb:
                data[at++] = static_cast<JSAMPLE>(r);
                data[at++] = static_cast<JSAMPLE>(g);
                data[at++] = static_cast<JSAMPLE>(b);
                break;
            case JpegColour::Grey:
                data[at++] = static_cast<JSAMPLE>(GreyOf(c));
                break;
            case JpegColour::Cmyk: {
                int k = std::max(r, std::max(g, b));
                auto part = [k](int v) { return k ? (v * 255 + k / 2) / k : 0; };
                data[at++] = static_cast<JSAMPLE>(part(r));
                data[at++] = static_cast<JSAMPLE>(part(g));
                data[at++] = static_cast<JSAMPLE>(part(b));
                data[at++] = static_cast<JSAMPLE>(k);
                break;
            }
            }
        }
    }
    return data;
}

// Runs the encoder; returns false with the message when libjpeg fails.
bool EncodeJpegRaw(const QImage& pixels, const JpegOptions& options, std::string& out,
                   std::string& why) {
    std::vector<JSAMPLE> data = JpegRows(pixels, options.colour);
    jpeg_compress_struct cinfo{};
    JpegError err{};
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    cinfo.err = jpeg_std_error(&err.mgr);
    err.mgr.error_exit = JpegErrorExit;
    if (setjmp(err.jump)) {
        jpeg_destroy_compress(&cinfo);
        std::free(buffer);
        why = err.message;
        return false;
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = static_cast<JDIMENSION>(pixels.width());
    cinfo.image_height = static_cast<JDIMENSION>(pixels.height());
    switch (options.colour) {
    case JpegColour::Rgb:
        cinfo.input_components = 3;
        cinfo.in_color_space = JCS_RGB;
        break;
    case JpegColour::Grey:
        cinfo.input_components = 1;
        cinfo.in_color_space = JCS_GRAYSCALE;
        break;
    case JpegColour::Cmyk:
        cinfo.input_components = 4;
        cinfo.in_color_space = JCS_CMYK;
        break;
    }
    jpeg_set_defaults(&cinfo);
    if (options.colour == JpegColour::Cmyk) jpeg_set_colorspace(&cinfo, JCS_CMYK); // Adobe marker
    jpeg_set_quality(&cinfo, options.quality, TRUE);
    if (options.chromaFull)
        for (int i = 0; i < cinfo.num_components; ++i)
            cinfo.comp_info[i].h_samp_factor = cinfo.comp_info[i].v_samp_factor = 1;
    if (options.progressive) jpeg_simple_progression(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    size_t stride = static_cast<size_t>(pixels.width()) * cinfo.input_components;
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = data.data() + stride * cinfo.next_scanline;
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    out.assign(reinterpret_cast<const char*>(buffer), size);
    jpeg_destroy_compress(&cinfo);
    std::free(buffer);
    return true;
}

// ---- PNG ----

struct PngSink {
    std::string bytes;
    char message[256] = {};
};

void PngWrite(png_structp png, png_bytep data, png_size_t length) {
    static_cast<PngSink*>(png_get_io_ptr(png))
        ->bytes.append(reinterpret_cast<const char*>(data), length);
}
void PngFlush(png_structp) {}
void PngError(png_structp png, png_const_charp message) {
    auto* sink = static_cast<PngSink*>(png_get_error_ptr(png));
    std::snprintf(sink->message, sizeof sink->message, "%s", message);
    png_longjmp(png, 1);
}
void PngWarning(png_structp, png_const_charp) {}

// Distinct colours in order of first appearance, or an empty table when there are over 256.
std::vector<QRgb> PaletteOf(const QImage& pixels, std::map<QRgb, int>& index) {
    std::vector<QRgb> table;
    for (int y = 0; y < pixels.height(); ++y)
        for (int x = 0; x < pixels.width(); ++x) {
            QRgb c = PixelAt(pixels, x, y) | 0xFF000000u;
            if (index.count(c)) continue;
            if (table.size() == 256) return {};
            index[c] = static_cast<int>(table.size());
            table.push_back(c);
        }
    return table;
}

// Packs samples of bitDepth bits, most significant first, into rows.
void PackRow(const std::vector<int>& samples, int bitDepth, std::vector<png_byte>& row) {
    row.assign((samples.size() * bitDepth + 7) / 8, 0);
    for (size_t i = 0; i < samples.size(); ++i) {
        size_t bit = i * bitDepth;
        row[bit / 8] |= static_cast<png_byte>(samples[i] << (8 - bitDepth - bit % 8));
    }
}

bool EncodePngRaw(const QImage& pixels, const PngOptions& o, std::string& out, std::string& why) {
    int w = pixels.width(), h = pixels.height();
    int colourType = PNG_COLOR_TYPE_RGB, depth = 8, channels = 3;
    switch (o.kind) {
    case PngKind::Rgb:
        break;
    case PngKind::RgbAlpha:
        colourType = PNG_COLOR_TYPE_RGB_ALPHA, channels = 4;
        break;
    case PngKind::Grey:
        colourType = PNG_COLOR_TYPE_GRAY, channels = 1, depth = o.bitDepth ? o.bitDepth : 8;
        break;
    case PngKind::GreyAlpha:
        colourType = PNG_COLOR_TYPE_GRAY_ALPHA, channels = 2;
        break;
    case PngKind::Palette:
        colourType = PNG_COLOR_TYPE_PALETTE, channels = 1, depth = o.bitDepth ? o.bitDepth : 8;
        break;
    case PngKind::Rgb16:
        depth = 16;
        break;
    case PngKind::RgbAlpha16:
        colourType = PNG_COLOR_TYPE_RGB_ALPHA, channels = 4, depth = 16;
        break;
    case PngKind::Grey16:
        colourType = PNG_COLOR_TYPE_GRAY, channels = 1, depth = 16;
        break;
    }
    std::map<QRgb, int> index;
    std::vector<QRgb> table;
    if (o.kind == PngKind::Palette) {
        table = PaletteOf(pixels, index);
        if (table.empty() || table.size() > (1u << depth)) {
            why = "too many colours for a palette";
            return false;
        }
    }
    // Every row as bytes, built before the encoder runs.
    std::vector<std::vector<png_byte>> rows(static_cast<size_t>(h));
    for (int y = 0; y < h; ++y) {
        std::vector<int> samples;
        for (int x = 0; x < w; ++x) {
            QRgb c = PixelAt(pixels, x, y);
            int a = pixels.hasAlphaChannel() ? qAlpha(c) : 255;
            switch (o.kind) {
            case PngKind::Rgb:
            case PngKind::Rgb16:
                samples.insert(samples.end(), {qRed(c), qGreen(c), qBlue(c)});
                break;
            case PngKind::RgbAlpha:
            case PngKind::RgbAlpha16:
                samples.insert(samples.end(), {qRed(c), qGreen(c), qBlue(c), a});
                break;
            case PngKind::Grey:
                samples.push_back(GreyOf(c) >> (8 - depth));
                break;
            case PngKind::Grey16:
                samples.push_back(GreyOf(c));
                break;
            case PngKind::GreyAlpha:
                samples.insert(samples.end(), {GreyOf(c), a});
                break;
            case PngKind::Palette:
                samples.push_back(index[c | 0xFF000000u]);
                break;
            }
        }
        if (depth == 16) {
            rows[y].clear();
            for (int s : samples)
                rows[y].insert(rows[y].end(), {static_cast<png_byte>(s), o.low16});
        } else {
            PackRow(samples, depth, rows[y]);
        }
    }
    (void)channels;

    PngSink sink;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &sink, PngError, PngWarning);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        why = sink.message;
        return false;
    }
    png_set_write_fn(png, &sink, PngWrite, PngFlush);
    png_set_IHDR(png, info, static_cast<png_uint_32>(w), static_cast<png_uint_32>(h), depth,
                 colourType, o.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color> palette;
    std::vector<png_byte> alphas;
    if (o.kind == PngKind::Palette) {
        for (QRgb c : table)
            palette.push_back({static_cast<png_byte>(qRed(c)), static_cast<png_byte>(qGreen(c)),
                               static_cast<png_byte>(qBlue(c))});
        png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
        if (o.paletteAlpha >= 0) {
            alphas.assign(palette.size(), static_cast<png_byte>(o.paletteAlpha));
            png_set_tRNS(png, info, alphas.data(), static_cast<int>(alphas.size()), nullptr);
        }
    }
    if (o.gamma) png_set_gAMA_fixed(png, info, 100000);
    std::vector<png_bytep> pointers;
    for (auto& r : rows)
        pointers.push_back(r.data());
    png_set_rows(png, info, pointers.data());
    png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    png_destroy_write_struct(&png, &info);
    out = std::move(sink.bytes);
    return true;
}

// ---- BMP ----

void Put16(std::string& s, uint32_t v) {
    s.push_back(static_cast<char>(v & 0xFF));
    s.push_back(static_cast<char>((v >> 8) & 0xFF));
}
void Put32(std::string& s, uint32_t v) {
    Put16(s, v & 0xFFFF);
    Put16(s, v >> 16);
}

} // namespace

std::string EncodeJpeg(const QImage& pixels, const JpegOptions& options) {
    std::string bytes, why;
    if (!EncodeJpegRaw(pixels, options, bytes, why)) throw std::runtime_error("EncodeJpeg: " + why);
    Pad(bytes, options.minBytes);
    return bytes;
}

std::string EncodePng(const QImage& pixels, const PngOptions& options) {
    std::string bytes, why;
    if (!EncodePngRaw(pixels, options, bytes, why)) throw std::runtime_error("EncodePng: " + why);
    Pad(bytes, options.minBytes);
    return bytes;
}

std::string EncodeBmp(const QImage& pixels, const BmpOptions& o) {
    int w = pixels.width(), h = pixels.height();
    int bits = 24, headerSize = 40, compression = 0; // BI_RGB
    uint32_t masks[4] = {0, 0, 0, 0};
    switch (o.kind) {
    case BmpKind::Rgb24:
        break;
    case BmpKind::Rgb32:
        bits = 32;
        break;
    case BmpKind::Argb32:
        bits = 32, headerSize = 124, compression = 3; // BI_BITFIELDS
        masks[0] = 0x00FF0000, masks[1] = 0x0000FF00, masks[2] = 0x000000FF, masks[3] = 0xFF000000;
        break;
    case BmpKind::Rgb555:
        bits = 16;
        break;
    case BmpKind::Rgb565:
        bits = 16, compression = 3;
        masks[0] = 0xF800, masks[1] = 0x07E0, masks[2] = 0x001F;
        break;
    case BmpKind::Palette8:
        bits = 8;
        break;
    }
    std::map<QRgb, int> index;
    std::vector<QRgb> table;
    if (o.kind == BmpKind::Palette8) {
        table = PaletteOf(pixels, index);
        if (table.empty()) throw std::runtime_error("EncodeBmp: too many colours for a palette");
    }
    bool masksAfterHeader = compression == 3 && headerSize == 40;
    uint32_t rowBytes = ((static_cast<uint32_t>(w) * bits + 31) / 32) * 4;
    uint32_t offBits =
        14 + headerSize + (masksAfterHeader ? 12 : 0) + static_cast<uint32_t>(table.size()) * 4;
    uint32_t imageBytes = rowBytes * static_cast<uint32_t>(h);

    std::string s;
    s += "BM";
    Put32(s, offBits + imageBytes);
    Put32(s, 0);
    Put32(s, offBits);
    Put32(s, static_cast<uint32_t>(headerSize));
    Put32(s, static_cast<uint32_t>(w));
    Put32(s, static_cast<uint32_t>(o.topDown ? -h : h));
    Put16(s, 1);
    Put16(s, static_cast<uint32_t>(bits));
    Put32(s, static_cast<uint32_t>(compression));
    Put32(s, imageBytes);
    Put32(s, 2835);
    Put32(s, 2835);
    Put32(s, static_cast<uint32_t>(table.size()));
    Put32(s, 0);
    if (headerSize == 124) {
        for (uint32_t m : masks)
            Put32(s, m);
        s += "BGRs";             // LCS_WINDOWS_COLOR_SPACE, stored little-endian as 'sRGB'
        s.append(36 + 12, '\0'); // endpoints and gamma
        Put32(s, 4);             // intent: LCS_GM_IMAGES
        Put32(s, 0), Put32(s, 0), Put32(s, 0);
    } else if (masksAfterHeader) {
        for (int i = 0; i < 3; ++i)
            Put32(s, masks[i]);
    }
    for (QRgb c : table) {
        s.push_back(static_cast<char>(qBlue(c)));
        s.push_back(static_cast<char>(qGreen(c)));
        s.push_back(static_cast<char>(qRed(c)));
        s.push_back('\0');
    }
    for (int i = 0; i < h; ++i) {
        int y = o.topDown ? i : h - 1 - i;
        size_t start = s.size();
        for (int x = 0; x < w; ++x) {
            QRgb c = PixelAt(pixels, x, y);
            uint32_t r = qRed(c), g = qGreen(c), b = qBlue(c);
            uint32_t a = pixels.hasAlphaChannel() ? qAlpha(c) : 255;
            switch (o.kind) {
            case BmpKind::Rgb24:
                s.push_back(static_cast<char>(b)), s.push_back(static_cast<char>(g)),
                    s.push_back(static_cast<char>(r));
                break;
            case BmpKind::Rgb32:
            case BmpKind::Argb32:
                Put32(s, (a << 24) | (r << 16) | (g << 8) | b);
                break;
            case BmpKind::Rgb555:
                Put16(s, ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3));
                break;
            case BmpKind::Rgb565:
                Put16(s, ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
                break;
            case BmpKind::Palette8:
                s.push_back(static_cast<char>(index[c | 0xFF000000u]));
                break;
            }
        }
        s.append(rowBytes - (s.size() - start), '\0');
    }
    Pad(s, o.minBytes);
    return s;
}

std::string WriteBytes(const std::string& path, const std::string& bytes) {
    QDir().mkpath(QFileInfo(QString::fromStdString(path)).absolutePath());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
    return path;
}

void PadFileTo(const std::string& path, size_t size) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) throw std::runtime_error("cannot read " + path);
    auto have = static_cast<size_t>(in.tellg());
    in.close();
    if (have > size) throw std::runtime_error("PadFileTo: " + path + " is already larger");
    std::ofstream out(path, std::ios::binary | std::ios::app);
    out << std::string(size - have, '\0');
    if (!out) throw std::runtime_error("cannot write " + path);
}

std::string WriteJpeg(const std::string& path, const QImage& pixels, const JpegOptions& options) {
    return WriteBytes(path, EncodeJpeg(pixels, options));
}

std::string WritePng(const std::string& path, const QImage& pixels, const PngOptions& options) {
    return WriteBytes(path, EncodePng(pixels, options));
}

std::string WriteBmp(const std::string& path, const QImage& pixels, const BmpOptions& options) {
    return WriteBytes(path, EncodeBmp(pixels, options));
}

std::string WritePicture(const std::string& path, const QImage& pixels) {
    QString ext = QFileInfo(QString::fromStdString(path)).suffix().toLower();
    if (ext == QLatin1String("png")) return WritePng(path, pixels);
    if (ext == QLatin1String("bmp")) return WriteBmp(path, pixels);
    return WriteJpeg(path, pixels);
}

} // namespace lumidex::test
