#include "PictureReader.h"
#include "PluginMode.h"
#include "RecordingFrame.h"
#include "SharedState.h"
#include "Signature.h"
#include "TempDir.h"
#include "TestPictures.h"

#include <gif_lib.h>
#include <libheif/heif.h>
#include <tiffio.h>
#include <webp/encode.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>

using namespace lumidex;
using namespace lumidex::test;

namespace {

// Plug-in mode over the project's own plug-ins for the life of the fixture.
struct ProjectPlugins : ::testing::Test {
    RecordingFrame frame;
    TempDir home, dir;
    SharedState state{frame, home.path()};
    SpiHost host;
    void SetUp() override { ASSERT_TRUE(UsePluginsForRun(state, host, PROJECT_PLUGIN_DIR)); }
    void TearDown() override { StopUsingPlugins(state); }

    QImage ReadNative(const std::string& path) {
        SetActivePictureHost(nullptr);
        QImage picture;
        EXPECT_EQ(ReadPictureFile(picture, path), ReadOutcome::Ok) << path;
        SetActivePictureHost(&host);
        return picture;
    }
    QImage ReadPlugin(const std::string& path) {
        QImage picture;
        EXPECT_EQ(ReadPictureFile(picture, path), ReadOutcome::Ok) << path;
        return picture;
    }
};

void ExpectSamePixels(const QImage& a, const QImage& b, const std::string& what) {
    ASSERT_EQ(a.size(), b.size()) << what;
    for (int y = 0; y < a.height(); ++y)
        ASSERT_EQ(0, memcmp(a.constScanLine(y), b.constScanLine(y), size_t(a.width()) * 3))
            << what << " row " << y;
}

std::pair<uint32_t, uint32_t> SignatureOf(const QImage& picture) {
    NullFrame frame;
    Pdata entry("x");
    ComputeSignature(picture, entry, SignatureMode::WholePicture, 0, 0, 0, 0, frame);
    return {entry.key, entry.code};
}

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
    PadFileTo(path, std::max<size_t>(1024, std::filesystem::file_size(path)));
    return path;
}

QImage FewColours(int w, int h) {
    return MakePicture(w, h, [](int x, int y) {
        int k = (x / 3 + y / 5) % 30;
        return qRgb(k * 8, 255 - k * 7, (k * 37) % 256);
    });
}

} // namespace

TEST_F(ProjectPlugins, JpegAndPngReadAsTheBuiltInReadersByteForByte) {
    const QImage photo = PhotoLikePicture(97, 61, 3);
    struct Case {
        std::string name;
        std::function<std::string(const std::string&)> write;
    };
    const std::vector<Case> cases = {
        {"rgb.jpg", [&](auto& p) { return WriteJpeg(p, photo); }},
        {"grey.jpeg", [&](auto& p) { return WriteJpeg(p, photo, {.colour = JpegColour::Grey}); }},
        {"cmyk.jpg", [&](auto& p) { return WriteJpeg(p, photo, {.colour = JpegColour::Cmyk}); }},
        {"progressive.JPG", [&](auto& p) { return WriteJpeg(p, photo, {.progressive = true}); }},
        {"rgb.png", [&](auto& p) { return WritePng(p, photo); }},
        {"interlaced16.png",
         [&](auto& p) { return WritePng(p, photo, {.kind = PngKind::Rgb16, .interlaced = true}); }},
        {"palette4.png",
         [&](auto& p) {
             return WritePng(p, FewColours(33, 20), {.kind = PngKind::Palette, .bitDepth = 8});
         }},
        {"grey1.png",
         [&](auto& p) { return WritePng(p, photo, {.kind = PngKind::Grey, .bitDepth = 1}); }},
    };
    for (const Case& c : cases) {
        const std::string path = c.write(dir.File(c.name));
        const QImage native = ReadNative(path), plugin = ReadPlugin(path);
        ExpectSamePixels(native, plugin, c.name);
        EXPECT_EQ(SignatureOf(native), SignatureOf(plugin)) << c.name;
    }
}

TEST_F(ProjectPlugins, WebpTiffAndGifReadTheirPixels) {
    const QImage photo = PhotoLikePicture(45, 38, 5);
    ExpectSamePixels(ReadPlugin(WriteWebp(dir.File("a.webp"), photo)), photo, "webp");
    ExpectSamePixels(ReadPlugin(WriteTiff(dir.File("a.tif"), photo)), photo, "tiff");
    const QImage few = FewColours(40, 27);
    for (bool interlaced : {false, true}) {
        QImage gif =
            ReadPlugin(WriteGif(dir.File(interlaced ? "i.gif" : "a.gif"), few, interlaced));
        ASSERT_EQ(gif.size(), QSize(42, 29));
        EXPECT_EQ(gif.pixel(0, 0), qRgb(9, 9, 9));
        ExpectSamePixels(gif.copy(1, 1, 40, 27), few, interlaced ? "interlaced gif" : "gif");
    }
}

TEST_F(ProjectPlugins, HeicReadsTheEncodedPicture) {
    heif_context* context = heif_context_alloc();
    heif_encoder* encoder = nullptr;
    if (heif_context_get_encoder_for_format(context, heif_compression_HEVC, &encoder).code !=
        heif_error_Ok) {
        heif_context_free(context);
        GTEST_SKIP() << "no HEVC encoder";
    }
    const QImage photo = PhotoLikePicture(64, 48, 7);
    heif_image* image = nullptr;
    heif_image_create(64, 48, heif_colorspace_RGB, heif_chroma_interleaved_RGB, &image);
    heif_image_add_plane(image, heif_channel_interleaved, 64, 48, 8);
    int stride = 0;
    uint8_t* plane = heif_image_get_plane(image, heif_channel_interleaved, &stride);
    for (int y = 0; y < 48; ++y)
        memcpy(plane + stride * y, photo.constScanLine(y), 64 * 3);
    heif_encoder_set_lossy_quality(encoder, 95);
    heif_context_encode_image(context, image, encoder, nullptr, nullptr);
    const std::string path = dir.File("a.heic");
    ASSERT_EQ(heif_context_write_to_file(context, path.c_str()).code, heif_error_Ok);
    heif_encoder_release(encoder);
    heif_image_release(image);
    heif_context_free(context);
    PadFileTo(path, std::max<size_t>(1024, std::filesystem::file_size(path)));

    const QImage read = ReadPlugin(path);
    ASSERT_EQ(read.size(), photo.size());
    long difference = 0;
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64 * 3; ++x)
            difference += std::abs(read.constScanLine(y)[x] - photo.constScanLine(y)[x]);
    EXPECT_LT(difference / (64 * 48 * 3), 12); // lossy, but the same picture
}

TEST_F(ProjectPlugins, DamagedFilesFailCleanly) {
    const QImage photo = PhotoLikePicture(45, 38, 5);
    for (const char* name : {"a.jpg", "a.png", "a.webp", "a.tif", "a.gif"}) {
        std::string path = dir.File(name);
        if (std::string(name).ends_with(".webp"))
            WriteWebp(path, photo);
        else if (std::string(name).ends_with(".tif"))
            WriteTiff(path, photo);
        else if (std::string(name).ends_with(".gif"))
            WriteGif(path, FewColours(40, 27), false);
        else
            WritePicture(path, photo);
        std::string bytes = ReadWholeFile(path);
        WriteBytes(path, bytes.substr(0, 40)); // the header, no pixels
        QImage picture;
        EXPECT_NE(ReadPictureFile(picture, path), ReadOutcome::Ok) << name;
        EXPECT_TRUE(picture.isNull()) << name;
    }
}
