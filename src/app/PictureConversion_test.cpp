#include "PictureConversion.h"

#include "PictureEncoder.h"
#include "PictureReader.h"
#include "RecordingFrame.h"
#include "TempDir.h"
#include "TestPictures.h"
#include "Workspace.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <jpeglib.h>
#include <sys/resource.h>

namespace lumidex {
namespace {

using test::TempDir;

std::vector<std::string> FilesIn(const TempDir& dir) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir.path()))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

int JpegComponents(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return -1;
    jpeg_decompress_struct cinfo{};
    jpeg_error_mgr err{};
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_decompress(&cinfo);
    jpeg_stdio_src(&cinfo, f);
    jpeg_read_header(&cinfo, TRUE);
    const int n = cinfo.num_components;
    jpeg_destroy_decompress(&cinfo);
    std::fclose(f);
    return n;
}

int64_t SizeOf(const std::string& path) {
    return static_cast<int64_t>(std::filesystem::file_size(path));
}

TEST(PictureEncoder, JpegQualityAndGreyScale) {
    TempDir dir;
    const QImage picture = test::PhotoLikePicture(200, 150, 4);
    ASSERT_EQ(WriteJpegFile(picture, dir.File("q25.jpg"), 25, false), EncodeResult::Ok);
    ASSERT_EQ(WriteJpegFile(picture, dir.File("q100.jpg"), 100, false), EncodeResult::Ok);
    ASSERT_EQ(WriteJpegFile(picture, dir.File("grey.jpg"), 75, true), EncodeResult::Ok);
    EXPECT_LT(SizeOf(dir.File("q25.jpg")), SizeOf(dir.File("q100.jpg")));
    EXPECT_EQ(JpegComponents(dir.File("q100.jpg")), 3);
    EXPECT_EQ(JpegComponents(dir.File("grey.jpg")), 1);
    QImage back;
    ASSERT_EQ(ReadPicture(back, dir.File("q100.jpg")), 0);
    EXPECT_EQ(back.size(), picture.size()); // full scale
    const QRgb a = back.pixel(100, 75), b = picture.pixel(100, 75);
    EXPECT_NEAR(qRed(a), qRed(b), 8);
    EXPECT_NEAR(qBlue(a), qBlue(b), 8);
    // Only the finished files: no temporary file is left.
    EXPECT_EQ(FilesIn(dir), (std::vector<std::string>{"grey.jpg", "q100.jpg", "q25.jpg"}));
}

TEST(PictureEncoder, PngLevelsAreLossless) {
    TempDir dir;
    const QImage picture = test::PhotoLikePicture(120, 90, 6);
    EXPECT_EQ(PngCompressionLevel(0), 0);
    EXPECT_EQ(PngCompressionLevel(1), -1);
    EXPECT_EQ(PngCompressionLevel(2), 1);
    EXPECT_EQ(PngCompressionLevel(3), 9);
    std::vector<int64_t> sizes;
    for (int item = 0; item < 4; ++item) {
        const std::string path = dir.File(std::to_string(item) + ".png");
        ASSERT_EQ(WritePngFile(picture, path, PngCompressionLevel(item)), EncodeResult::Ok);
        QImage back;
        ASSERT_EQ(ReadPicture(back, path), 0);
        EXPECT_EQ(back, picture.convertToFormat(QImage::Format_RGB888)) << item;
        sizes.push_back(SizeOf(path));
    }
    EXPECT_GT(sizes[0], sizes[1]); // none against standard
    EXPECT_GE(sizes[2], sizes[3]); // speed against minimum
}

TEST(PictureEncoder, NeverReplacesAndLeavesNothingOnFailure) {
    TempDir dir;
    const QImage picture = test::PhotoLikePicture(64, 64, 1);
    const std::string existing = dir.Write("a.jpg", "mine");
    EXPECT_EQ(WriteJpegFile(picture, existing, 75, false), EncodeResult::Exists);
    EXPECT_EQ(test::ReadWholeFile(existing), "mine");
    EXPECT_EQ(WritePngFile(QImage(), dir.File("empty.png"), -1), EncodeResult::Failed);
    EXPECT_EQ(WritePngFile(picture, dir.File("no/such/folder.png"), -1), EncodeResult::Failed);

    // The disk fills up half way: the file is not left half written.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const EncodeResult big =
        WritePngFile(test::PhotoLikePicture(400, 400, 2), dir.File("b.png"), 0);
    setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_EQ(big, EncodeResult::Failed);
    EXPECT_EQ(FilesIn(dir), std::vector<std::string>{"a.jpg"});
}

// A catalogue of two analysed pictures of different sizes, the second selected.
struct Converting : ::testing::Test {
    TempDir dir;
    test::RecordingFrame frame;
    Workspace ws{frame, dir.path()};
    std::string first, second;
    Pdata* selected = nullptr;

    void SetUp() override {
        first = test::WritePng(dir.File("a.png"), test::PhotoLikePicture(80, 60, 1));
        second = test::WriteBmp(dir.File("b.bmp"), test::PhotoLikePicture(64, 48, 2));
        ASSERT_EQ(ws.AnalyseFile(first), 0);
        ASSERT_EQ(ws.AnalyseFile(second), 0);
        ws.DataChanged = false;
        const int row = ws.lists.reference.Find(&ws.catalogue.Entry(1));
        ws.lists.SelectReference(row);
        selected = ws.lists.currentReference;
        ASSERT_NE(selected, nullptr);
        ASSERT_EQ(selected->path, second);
    }
};

TEST_F(Converting, NewEntryWithTheReferencesSignature) {
    EXPECT_EQ(ConvertedPath(second, ConvertFormat::Jpeg), dir.File("b.jpg"));
    EXPECT_EQ(ConvertedPath("/x/noext", ConvertFormat::Png), "/x/noext.png");
    ASSERT_TRUE(ConvertEnabled(ws, ConvertFormat::Jpeg, true));
    EXPECT_FALSE(ConvertEnabled(ws, ConvertFormat::Jpeg, false)); // preview not shown

    ASSERT_TRUE(ConvertReference(ws, ConvertFormat::Jpeg));
    QImage back;
    ASSERT_EQ(ReadPicture(back, dir.File("b.jpg")), 0);
    EXPECT_EQ(back.size(), QSize(64, 48)); // the reference's own file
    ASSERT_EQ(ws.catalogue.Count(), 3);
    const Pdata* made = nullptr;
    for (const ListRow& r : ws.lists.reference.Rows())
        if (r.entry->path == dir.File("b.jpg")) made = r.entry;
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->key, selected->key);
    EXPECT_EQ(made->code, selected->code);
    EXPECT_EQ(made->fileSize, -1); // measured when first previewed
    EXPECT_TRUE(ws.DataChanged);
    EXPECT_FALSE(ConvertEnabled(ws, ConvertFormat::Jpeg, true)); // b.jpg exists now
    EXPECT_TRUE(frame.logged.empty());
}

TEST_F(Converting, WithoutTrackingTheCatalogueStays) {
    ws.options.TrackMoveCopy = false;
    ASSERT_TRUE(ConvertReference(ws, ConvertFormat::Png));
    EXPECT_TRUE(std::filesystem::exists(dir.File("b.png")));
    EXPECT_EQ(ws.catalogue.Count(), 2);
    EXPECT_FALSE(ws.DataChanged);
}

TEST_F(Converting, FailuresAreReportedAndLeaveNoEntry) {
    // A file that appeared after the command was enabled is not replaced.
    dir.Write("b.png", "someone else's");
    EXPECT_FALSE(ConvertReference(ws, ConvertFormat::Png));
    EXPECT_EQ(test::ReadWholeFile(dir.File("b.png")), "someone else's");
    ASSERT_FALSE(frame.logged.empty());
    EXPECT_EQ(frame.logged.back(), "Save failed," + dir.File("b.png"));

    // The reference's file no longer reads.
    dir.Write("b.bmp", std::string(2000, 'x'));
    EXPECT_FALSE(ConvertReference(ws, ConvertFormat::Jpeg));
    EXPECT_EQ(frame.logged.back(), "Read failed," + second);
    EXPECT_FALSE(std::filesystem::exists(dir.File("b.jpg")));

    {
        OperationScope running(ws);
        EXPECT_FALSE(ConvertEnabled(ws, ConvertFormat::Jpeg, true));
    }
    EXPECT_EQ(ws.catalogue.Count(), 2);
    EXPECT_FALSE(ws.DataChanged);
}

} // namespace
} // namespace lumidex
