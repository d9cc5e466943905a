#include "AnalysisPipeline.h"

#include "AnalysisBudget.h"

#include "TempDir.h"
#include "TestPictures.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lumidex {
namespace {

using test::PhotoLikePicture;

void ExpectSameAnalysis(const FileAnalysis& a, const FileAnalysis& b, const std::string& path) {
    EXPECT_EQ(a.status.size, b.status.size) << path;
    EXPECT_EQ(a.readTried, b.readTried) << path;
    EXPECT_EQ(a.read, b.read) << path;
    EXPECT_EQ(a.width, b.width) << path;
    EXPECT_EQ(a.height, b.height) << path;
    EXPECT_EQ(a.key, b.key) << path;
    EXPECT_EQ(a.code, b.code) << path;
    EXPECT_EQ(a.preview.size(), b.preview.size()) << path;
}

struct Files {
    test::TempDir dir;
    std::vector<std::string> paths;
    Files() {
        for (int i = 0; i < 24; ++i) {
            const char* ext[] = {".jpg", ".png", ".bmp"};
            paths.push_back(test::WritePicture(dir.File("p" + std::to_string(i) + ext[i % 3]),
                                               PhotoLikePicture(40 + 7 * i, 30 + 5 * i, i)));
        }
        paths.push_back(test::WriteBytes(dir.File("tiny.jpg"), "tiny"));
        paths.push_back(test::WriteBytes(dir.File("broken.jpg"), std::string(3000, 'x')));
    }
    AnalysisPipeline::Upcoming Upcoming(const std::vector<std::string>& order) {
        auto next = std::make_shared<size_t>(0);
        return [order, next](std::string& path) {
            if (*next >= order.size()) return false;
            path = order[(*next)++];
            return true;
        };
    }
};

TEST(AnalysisPipeline, ResultsEqualOneThreadWhateverTheOwnerAsksFor) {
    Files f;
    std::vector<FileAnalysis> alone;
    for (const std::string& p : f.paths)
        alone.push_back(MeasureFile(p));

    // Taken in the foreseen order, with files passed over, asked twice and never foreseen.
    AnalysisPipeline pipeline(4, f.Upcoming(f.paths), nullptr);
    for (size_t i = 0; i < f.paths.size(); ++i) {
        if (i % 5 == 1) {
            pipeline.Pass(f.paths[i]);
            continue;
        }
        ExpectSameAnalysis(pipeline.Take(f.paths[i]), alone[i], f.paths[i]);
        if (i % 7 == 3) ExpectSameAnalysis(pipeline.Take(f.paths[i]), alone[i], "again");
    }
    EXPECT_GT(pipeline.FilesDecodedAhead(), 0);

    // Asked out of the foreseen order; then cancelled: the owner's own thread takes over.
    AnalysisPipeline shuffled(3, f.Upcoming(f.paths), nullptr);
    for (size_t i : {5u, 2u, 20u, 0u})
        ExpectSameAnalysis(shuffled.Take(f.paths[i]), alone[i], f.paths[i]);
    shuffled.Cancel();
    ExpectSameAnalysis(shuffled.Take(f.paths[21]), alone[21], "after cancel");
}

TEST(AnalysisPipeline, OnlyFilesWorthDecodingAreDecodedAhead) {
    Files f;
    std::vector<std::string> asked;
    AnalysisPipeline pipeline(2, f.Upcoming(f.paths), [&](const std::string& path, bool pending) {
        asked.push_back(path);
        return !pending && path.find("p1") == std::string::npos;
    });
    for (const std::string& p : f.paths)
        pipeline.Take(p);
    EXPECT_EQ(asked, f.paths) << "asked once per file, in order";
    int worth = 0;
    for (const std::string& p : f.paths)
        worth += p.find("p1") == std::string::npos;
    EXPECT_EQ(pipeline.FilesDecodedAhead(), worth);
}

TEST(AnalysisPipeline, ByteBudgetBoundsThePicturesInFlight) {
    test::TempDir dir;
    std::vector<std::string> paths;
    // 1200 x 900 decodes to 3.24 MB at three bytes a pixel.
    for (int i = 0; i < 8; ++i)
        paths.push_back(test::WritePng(dir.File("big" + std::to_string(i) + ".png"),
                                       test::UniformPicture(1200, 900, qRgb(i * 20, 40, 90))));
    const size_t one = size_t{1200} * 3 * 900;
    for (size_t budget : {one + one / 2, 3 * one, one / 2}) {
        auto next = std::make_shared<size_t>(0);
        AnalysisPipeline pipeline(
            4,
            [&, next](std::string& path) {
                if (*next >= paths.size()) return false;
                path = paths[(*next)++];
                return true;
            },
            nullptr, budget);
        for (const std::string& p : paths)
            EXPECT_EQ(pipeline.Take(p).width, 1200);
        const size_t peak = pipeline.PeakBytesInFlight();
        EXPECT_LE(peak, budget);
        // A picture over the budget is decoded alone, as if it took the whole budget.
        if (budget < 2 * one) {
            EXPECT_EQ(peak, std::min(one, budget)) << budget;
        }
    }
}

TEST(AnalysisBudget, HeaderGivesWhatTheDecodeHoldsAtItsPeak) {
    test::TempDir dir;
    const QImage picture = PhotoLikePicture(100, 50, 7);
    const size_t rgb = 300 * 50; // lines of 300 bytes, already a multiple of four
    // A progressive file holds all its coefficients: 13 x 7 blocks of 128 bytes a component.
    const size_t coefficients = 3 * 13 * 7 * 128;
    const struct {
        std::string path;
        size_t bytes;
    } cases[] = {
        {test::WriteJpeg(dir.File("base.jpg"), picture), rgb},
        {test::WriteJpeg(dir.File("prog.jpeg"), picture, {.progressive = true, .chromaFull = true}),
         rgb + coefficients},
        {test::WritePng(dir.File("p.png"), picture), rgb},
        {test::WriteBmp(dir.File("b.bmp"), picture), rgb + 100 * 50 * 4},
        // Refused before anything is allocated.
        {test::WritePng(dir.File("wide.png"), test::UniformPicture(10001, 16, qRgb(1, 2, 3))), 0},
        {test::WriteBytes(dir.File("broken.jpg"), std::string(3000, 'x')), 0},
        {test::WriteBytes(dir.File("png-as.jpg"), test::EncodePng(picture)), 0},
        {test::WritePicture(dir.File("t.txt"), picture), 0},
        {dir.File("missing.png"), 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AnalysisBytes(c.path), c.bytes) << c.path;
}

TEST(ProgressPreview, SmallCopyTakesTheNearestPixels) {
    const QImage wide = PhotoLikePicture(420, 100, 3);
    const QImage small = NearestReduction(wide, kProgressPreviewSide);
    ASSERT_EQ(small.size(), QSize(210, 50));
    for (int y = 0; y < 50; y += 7)
        for (int x = 0; x < 210; x += 13)
            ASSERT_EQ(small.pixel(x, y), wide.pixel(2 * x + 1, 2 * y + 1)) << x << "," << y;
    EXPECT_EQ(NearestReduction(PhotoLikePicture(1, 5000, 1), 210).size(), QSize(1, 210));
    const QImage fits = PhotoLikePicture(210, 80, 2).convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(NearestReduction(fits, 210), fits);
    EXPECT_EQ(NearestReduction(fits, 105).size(), QSize(105, 40));
}

} // namespace
} // namespace lumidex
