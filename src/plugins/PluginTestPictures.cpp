#include "PluginTestPictures.h"

#include "TestPictures.h"

#include <gif_lib.h>
#include <libheif/heif.h>
#include <tiffio.h>
#include <webp/encode.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <stdexcept>
#include <vector>

namespace lumidex::test {

namespace {
void PadTo1024(const std::string& path) {
    PadFileTo(path, std::max<size_t>(1024, std::filesystem::file_size(path)));
}
} // namespace

std::string WriteWebp(const std::string& path, const QImage& rgb) {
    uint8_t* out = nullptr;
    size_t size = WebPEncodeLosslessRGB(rgb.constBits(), rgb.width(), rgb.height(),
                                        static_cast<int>(rgb.bytesPerLine()), &out);
    std::string bytes(reinterpret_cast<char*>(out), size);
    WebPFree(out);
    bytes.resize(std::max<size_t>(bytes.size(), 1024), '\0');
    return WriteBytes(path, bytes);
}

std::string WriteTiff(const std::string& path, const QImage& rgb) {
    TIFF* tif = TIFFOpen(path.c_str(), "w");
    if (!tif) throw std::runtime_error("cannot write " + path);
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, rgb.width());
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, rgb.height());
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 3);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
    for (int y = 0; y < rgb.height(); ++y)
        TIFFWriteScanline(tif, const_cast<uchar*>(rgb.constScanLine(y)), y, 0);
    TIFFClose(tif);
    PadTo1024(path);
    return path;
}

// Two frames: the first (the one read) covers the screen but for a border of background.
std::string WriteGif(const std::string& path, const QImage& rgb, bool interlaced) {
    std::map<QRgb, int> index;
    GifColorType colours[256] = {};
    colours[0] = {9, 9, 9}; // background
    index[qRgb(9, 9, 9)] = 0;
    for (int y = 0; y < rgb.height(); ++y)
        for (int x = 0; x < rgb.width(); ++x)
            if (index.emplace(rgb.pixel(x, y), int(index.size())).second) {
                QRgb c = rgb.pixel(x, y);
                colours[index.size() - 1] = {uint8_t(qRed(c)), uint8_t(qGreen(c)),
                                             uint8_t(qBlue(c))};
            }
    if (index.size() > 256) throw std::runtime_error("too many colours");
    int error = 0;
    GifFileType* gif = EGifOpenFileName(path.c_str(), false, &error);
    ColorMapObject* map = GifMakeMapObject(256, colours);
    const int w = rgb.width() + 2, h = rgb.height() + 2;
    EGifPutScreenDesc(gif, w, h, 8, 0, map);
    EGifPutImageDesc(gif, 1, 1, rgb.width(), rgb.height(), interlaced, nullptr);
    std::vector<GifPixelType> line(size_t(rgb.width()));
    std::vector<int> order;
    if (interlaced) {
        for (int start : {0, 4, 2, 1})
            for (int y = start; y < rgb.height(); y += start == 0   ? 8
                                                       : start == 4 ? 8
                                                       : start == 2 ? 4
                                                                    : 2)
                order.push_back(y);
    } else {
        for (int y = 0; y < rgb.height(); ++y)
            order.push_back(y);
    }
    for (int y : order) {
        for (int x = 0; x < rgb.width(); ++x)
            line[size_t(x)] = GifPixelType(index[rgb.pixel(x, y)]);
        EGifPutLine(gif, line.data(), rgb.width());
    }
    // A second frame of another colour that must not show.
    EGifPutImageDesc(gif, 0, 0, w, h, false, nullptr);
    std::vector<GifPixelType> other(size_t(w), 1);
    for (int y = 0; y < h; ++y)
        EGifPutLine(gif, other.data(), w);
    GifFreeMapObject(map);
    EGifCloseFile(gif, &error);
    PadTo1024(path);
    return path;
}

bool WriteHeic(const std::string& path, const QImage& rgb, int quality) {
    heif_context* context = heif_context_alloc();
    heif_encoder* encoder = nullptr;
    if (heif_context_get_encoder_for_format(context, heif_compression_HEVC, &encoder).code !=
        heif_error_Ok) {
        heif_context_free(context);
        return false;
    }
    const int w = rgb.width(), h = rgb.height();
    heif_image* image = nullptr;
    heif_image_create(w, h, heif_colorspace_RGB, heif_chroma_interleaved_RGB, &image);
    heif_image_add_plane(image, heif_channel_interleaved, w, h, 8);
    int stride = 0;
    uint8_t* plane = heif_image_get_plane(image, heif_channel_interleaved, &stride);
    for (int y = 0; y < h; ++y)
        std::copy_n(rgb.constScanLine(y), size_t(w) * 3, plane + size_t(stride) * y);
    heif_encoder_set_lossy_quality(encoder, quality);
    heif_context_encode_image(context, image, encoder, nullptr, nullptr);
    const bool written = heif_context_write_to_file(context, path.c_str()).code == heif_error_Ok;
    heif_encoder_release(encoder);
    heif_image_release(image);
    heif_context_free(context);
    if (!written) throw std::runtime_error("cannot write " + path);
    PadTo1024(path);
    return true;
}

} // namespace lumidex::test
