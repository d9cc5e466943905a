#include "PictureReader.h"
#include "PluginMode.h"
#include "PluginTestPictures.h"
#include "RecordingFrame.h"
#include "SharedState.h"
#include "Signature.h"
#include "TempDir.h"
#include "TestPictures.h"

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
    const QImage photo = PhotoLikePicture(64, 48, 7);
    const std::string path = dir.File("a.heic");
    if (!WriteHeic(path, photo)) GTEST_SKIP() << "no HEVC encoder";
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
