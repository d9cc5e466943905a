#include "SpiHost.h"

#include "PictureReader.h"
#include "PluginMode.h"
#include "RecordingFrame.h"
#include "SharedState.h"
#include "TempDir.h"
#include "TestPictures.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace lumidex;
using namespace lumidex::test;

namespace {

const std::string kTestPlugins = TEST_PLUGIN_DIR;

// A file for the test plug-in: "LMXT", width, height, fault, colour; padded to 1024 bytes,
// optionally behind a 128-byte MacBinary-like header.
std::string TestFile(const TempDir& dir, const std::string& name, int w, int h, int fault = 0,
                     QRgb colour = 0, bool macBinary = false) {
    std::string bytes = macBinary ? std::string(128, 'M') : std::string();
    bytes += "LMXT";
    bytes += {static_cast<char>(w),
              static_cast<char>(h),
              static_cast<char>(fault),
              static_cast<char>(qRed(colour)),
              static_cast<char>(qGreen(colour)),
              static_cast<char>(qBlue(colour))};
    bytes.resize(1024, '\0');
    return dir.Write(name, bytes);
}

SpiRead Read(SpiHost& host, const std::string& path, QImage& picture) {
    if (!host.SelectPlugin(path)) return SpiRead::Failed;
    return host.ReadSelected(picture);
}

int ChainLength(const SpiHost& host) {
    int n = 0;
    for (const TSpi_plugin* p = host.Chain(); p; p = p->next.get())
        ++n;
    return n;
}

} // namespace

TEST(SpiHost, ReadsThroughAPluginAndListsItsTypes) {
    SpiHost host;
    host.LoadFolder(kTestPlugins + "reader");
    ASSERT_EQ(ChainLength(host), 1);
    EXPECT_EQ(host.Folder(), kTestPlugins + "reader/");
    std::vector<SpiFileType> types;
    ASSERT_EQ(host.ListTypes(types), 1);
    EXPECT_EQ(types[0].pattern, "*.lmxt");
    EXPECT_EQ(types[0].description, "Test pictures");

    TempDir dir;
    QImage picture;
    ASSERT_EQ(Read(host, TestFile(dir, "a.lmxt", 40, 30, 0, qRgb(200, 100, 50)), picture),
              SpiRead::Ok);
    ASSERT_EQ(picture.size(), QSize(40, 30));
    EXPECT_EQ(picture.format(), QImage::Format_RGB888);
    EXPECT_EQ(picture.pixel(0, 0), qRgb(200, 100, 50));
    EXPECT_EQ(picture.pixel(39, 29), qRgb(200, 100, 50));

    // A file it does not support: no plug-in chosen, nothing read.
    std::string other = dir.Write("b.lmxt", std::string(1024, 'x'));
    EXPECT_FALSE(host.SelectPlugin(other));
    EXPECT_EQ(host.Chosen(), nullptr);
    EXPECT_EQ(host.ReadSelected(picture), SpiRead::Failed);
    EXPECT_TRUE(picture.isNull());
}

TEST(SpiHost, HostileOutputFailsTheRead) {
    SpiHost host;
    host.LoadFolder(kTestPlugins + "reader");
    TempDir dir;
    struct Case {
        int fault;
        SpiRead expected;
        const char* what;
    };
    const Case cases[] = {
        {1, SpiRead::Failed, "header size not 40"},
        {2, SpiRead::Failed, "two planes"},
        {3, SpiRead::Failed, "16 bits a pixel"},
        {4, SpiRead::Failed, "header width 0"},
        {5, SpiRead::Failed, "header height differs from the information"},
        {6, SpiRead::Failed, "colour table beyond its block"},
        {7, SpiRead::Failed, "pixel block too short"},
        {8, SpiRead::BadSize, "information width over 10000"},
        {9, SpiRead::Failed, "success without pixels"},
        {10, SpiRead::Failed, "rows top-down (negative height)"},
        {14, SpiRead::Failed, "compressed"},
        {15, SpiRead::Failed, "information fails at both offsets"},
    };
    for (const Case& c : cases) {
        QImage picture;
        std::string path = TestFile(dir, "f" + std::to_string(c.fault) + ".lmxt", 20, 20, c.fault);
        EXPECT_EQ(Read(host, path, picture), c.expected) << c.what;
        EXPECT_TRUE(picture.isNull()) << c.what;
    }
}

TEST(SpiHost, ConvertsPaletteBitmapsAndFreesTheTextHandle) {
    SpiHost host;
    host.LoadFolder(kTestPlugins + "reader");
    TempDir dir;
    QImage picture;
    ASSERT_EQ(Read(host, TestFile(dir, "p8.lmxt", 21, 17, 11, qRgb(9, 80, 250)), picture),
              SpiRead::Ok);
    EXPECT_EQ(picture.pixel(20, 16), qRgb(9, 80, 250));
    // 1 bit: the left half set to the colour, the rest black; rows padded to 4 bytes.
    ASSERT_EQ(Read(host, TestFile(dir, "p1.lmxt", 37, 19, 12, qRgb(1, 2, 3)), picture),
              SpiRead::Ok);
    EXPECT_EQ(picture.pixel(17, 5), qRgb(1, 2, 3));
    EXPECT_EQ(picture.pixel(18, 5), qRgb(0, 0, 0));
    EXPECT_EQ(picture.pixel(36, 18), qRgb(0, 0, 0));
    // The information's text must be freed (the leak checker of the sanitizer build sees it).
    EXPECT_EQ(Read(host, TestFile(dir, "t.lmxt", 16, 16, 13), picture), SpiRead::Ok);
}

TEST(SpiHost, RetriesAtOffset128) {
    SpiHost host;
    host.LoadFolder(kTestPlugins + "offset");
    TempDir dir;
    QImage picture;
    std::string path = TestFile(dir, "mac.lmxt", 30, 20, 0, qRgb(7, 8, 9), true);
    ASSERT_EQ(Read(host, path, picture), SpiRead::Ok);
    EXPECT_EQ(picture.size(), QSize(30, 20));
    EXPECT_EQ(picture.pixel(3, 3), qRgb(7, 8, 9));
}

TEST(SpiHost, LibraryWithoutGetPictureIsNotLoaded) {
    SpiHost host;
    host.LoadFolder(kTestPlugins + "nopicture");
    EXPECT_EQ(ChainLength(host), 0);
    std::vector<SpiFileType> types;
    EXPECT_EQ(host.ListTypes(types), 0);
    EXPECT_TRUE(types.empty());
}

TEST(SpiHost, FirstListedBytewiseWins) {
    SpiHost host;
    host.LoadFolder(kTestPlugins + "twice");
    ASSERT_EQ(ChainLength(host), 2);
    EXPECT_EQ(host.Chain()->name, "B_first.spi");
    TempDir dir;
    QImage picture;
    ASSERT_EQ(Read(host, TestFile(dir, "x.lmxt", 16, 16), picture), SpiRead::Ok);
    EXPECT_EQ(picture.pixel(0, 0), qRgb(255, 0, 0));
}

TEST(SpiHost, NamesEndingInSpiInAnyCaseAndNothingElse) {
    TempDir dir;
    namespace fs = std::filesystem;
    fs::copy_file(kTestPlugins + "reader/reader.spi", dir.File("Upper.SPI"));
    fs::copy_file(kTestPlugins + "reader/reader.spi", dir.File("other.so"));
    dir.Write("broken.spi", "not a library");
    SpiHost host;
    host.LoadFolder(dir.path());
    ASSERT_EQ(ChainLength(host), 1);
    EXPECT_EQ(host.Chain()->name, "Upper.SPI");
    // Loading another folder replaces the chain; an empty name clears it.
    host.LoadFolder(kTestPlugins + "twice");
    EXPECT_EQ(ChainLength(host), 2);
    host.LoadFolder("");
    EXPECT_EQ(ChainLength(host), 0);
}

TEST(SpiHost, PluginModeReadsBmpNativelyAndOtherFilesOnlyThroughAPlugin) {
    RecordingFrame frame;
    TempDir home;
    SharedState state(frame, home.path());
    SpiHost host;
    ASSERT_TRUE(UsePluginsForRun(state, host, kTestPlugins + "reader"));
    TempDir dir;
    std::string bmp = WriteBmp(dir.File("a.bmp"), UniformPicture(20, 20, qRgb(1, 2, 3)));
    std::string jpg = WriteJpeg(dir.File("a.jpg"), UniformPicture(20, 20, qRgb(1, 2, 3)));
    std::string lmxt = TestFile(dir, "a.lmxt", 18, 18);
    QImage picture;
    EXPECT_EQ(ReadPictureFile(picture, bmp), ReadOutcome::Ok);
    EXPECT_EQ(host.Chosen(), nullptr);
    EXPECT_EQ(ReadPictureFile(picture, jpg), ReadOutcome::Failed);
    EXPECT_TRUE(picture.isNull());
    EXPECT_EQ(ReadPictureFile(picture, lmxt), ReadOutcome::Ok);
    EXPECT_EQ(ReadPictureFile(picture, TestFile(dir, "w.lmxt", 20, 20, 8)), ReadOutcome::Oversized);

    StopUsingPlugins(state);
    EXPECT_EQ(ActivePictureHost(), nullptr);
    EXPECT_EQ(ReadPictureFile(picture, jpg), ReadOutcome::Ok);
    EXPECT_EQ(ReadPictureFile(picture, lmxt), ReadOutcome::Failed);
}
