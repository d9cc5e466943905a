#include "Analyser.h"

#include "FileStatus.h"
#include "PictureReader.h"
#include "RecordingFrame.h"
#include "SharedState.h"
#include "Signature.h"
#include "TempDir.h"
#include "TestPictures.h"

#include <gtest/gtest.h>

using namespace lumidex;
using namespace lumidex::test;

namespace {

struct Fixture {
    TempDir dir;
    RecordingFrame frame;
    SharedState state{frame, dir.path()};
    Catalogue catalogue;
    std::vector<Pdata*> newPictures;
    Analyser analyser{state, catalogue, newPictures};
};

} // namespace

TEST(AnalyseFile, InsertsAnAnalysedEntry) {
    Fixture f;
    QImage pic = PhotoLikePicture(200, 150, 4);
    std::string path = WriteJpeg(f.dir.File("Pics/Holiday.jpg"), pic);
    std::vector<Pdata*> seen;
    f.analyser.onInserted = [&](Pdata& e) { seen.push_back(&e); };

    ASSERT_EQ(f.analyser.AnalyseFile(path), 0);

    ASSERT_EQ(f.catalogue.Count(), 1);
    Pdata& e = f.catalogue.Entry(0);
    EXPECT_EQ(e.path, path);
    EXPECT_EQ(f.catalogue.FindEntry(path), 0);
    // The signature of the picture as read from the file.
    QImage read;
    ASSERT_EQ(ReadPicture(read, path), 0);
    NullFrame quiet;
    Pdata expected(path);
    ComputeSignature(read, expected, SignatureMode::WholePicture, 0, 0, 0, 0, quiet);
    EXPECT_EQ(e.key, expected.key);
    EXPECT_EQ(e.code, expected.code);
    FileStatus st = GetFileStatus(path);
    EXPECT_EQ(e.fileSize, st.size);
    EXPECT_EQ(e.fileTime, st.modified);
    EXPECT_EQ(f.newPictures, std::vector<Pdata*>{&e});
    EXPECT_EQ(seen, std::vector<Pdata*>{&e});
    EXPECT_TRUE(f.state.DataChanged);
    EXPECT_TRUE(f.frame.logged.empty());
    EXPECT_EQ(f.frame.captions, (std::vector<std::string>{"Reading " + path, "Analyzing " + path}));
    EXPECT_EQ(f.frame.status[StatusPanel::Progress], "Analyzing");
    EXPECT_EQ(f.frame.statusHistory.front().second, "Reading " + path);
    EXPECT_EQ(f.analyser.Picture().size(), QSize(200, 150));

    // The same path again makes a second entry: the duplicate policy is the caller's.
    ASSERT_EQ(f.analyser.AnalyseFile(path), 0);
    EXPECT_EQ(f.catalogue.Count(), 2);
    EXPECT_EQ(f.catalogue.Entry(1).key, e.key);
}

TEST(AnalyseFile, RejectsWithTheReasonInWords) {
    Fixture f;
    auto jpeg = [&](const std::string& name, int w, int h) {
        return WriteJpeg(f.dir.File(name), PhotoLikePicture(w, h, 2));
    };
    std::string exact1023 =
        WriteJpeg(f.dir.File("small.jpg"), PhotoLikePicture(16, 16, 1), {.minBytes = 0});
    PadFileTo(exact1023, 1023);
    std::string exact1024 =
        WriteJpeg(f.dir.File("just.jpg"), PhotoLikePicture(16, 16, 1), {.minBytes = 0});
    PadFileTo(exact1024, 1024);
    std::string png = EncodePng(PhotoLikePicture(40, 40, 1));
    struct Case {
        std::string path;
        int result;
        std::string message; // followed by the path, except "Analyze error"
    };
    for (const Case& c : {
             Case{exact1023, 1, "File is too small,"},
             Case{exact1024, 0, ""},
             Case{f.dir.File("missing.jpg"), 1, "File is too small,"},
             Case{f.dir.path(), 1, "Read failed,"}, // a folder
             Case{WriteBytes(f.dir.File("png.jpg"), png), 1, "Read failed,"},
             Case{WriteBytes(f.dir.File("noise.png"), std::string(5000, 'x')), 1, "Read failed,"},
             Case{WriteBytes(f.dir.File("a.gif"), png), 1, "Read failed,"},
             Case{jpeg("15x16.jpg", 15, 16), 1, "Cant analyze,"},
             Case{jpeg("16x15.jpg", 16, 15), 1, "Cant analyze,"},
             Case{jpeg("16x16.jpg", 16, 16), 0, ""},
             Case{jpeg("wide.jpg", 10000, 16), 0, ""},
             Case{jpeg("10001x10.jpg", 10001, 10), 1, "File read failed,"}, // size before smallness
             Case{WritePng(f.dir.File("tall.png"), UniformPicture(20, 10001, qRgb(1, 1, 1))), 1,
                  "File read failed,"},
         }) {
        f.frame.logged.clear();
        int before = f.catalogue.Count();
        EXPECT_EQ(f.analyser.AnalyseFile(c.path), c.result) << c.path;
        if (c.result == 0) {
            EXPECT_TRUE(f.frame.logged.empty()) << c.path;
            EXPECT_EQ(f.catalogue.Count(), before + 1);
        } else {
            EXPECT_EQ(f.frame.logged, std::vector<std::string>{c.message + c.path});
            EXPECT_EQ(f.catalogue.Count(), before) << c.path;
        }
    }
    EXPECT_EQ(f.newPictures.size(), 3u);
    EXPECT_EQ(f.state.ErrorHistory.Counter(), 10);
}

TEST(AnalyseFile, AbortReturnsMinusOneAndKeepsNothing) {
    Fixture f;
    std::string path = WriteJpeg(f.dir.File("a.jpg"), PhotoLikePicture(300, 200, 6));
    f.frame.onStepPictureBar = [&] {
        if (f.frame.pictureBarSteps == 3) f.frame.abort = true;
    };
    EXPECT_EQ(f.analyser.AnalyseFile(path), -1);
    EXPECT_EQ(f.frame.status[StatusPanel::Outcome], "Aborted");
    EXPECT_EQ(f.frame.pictureBarSteps, 3);
    EXPECT_TRUE(f.frame.logged.empty());
    EXPECT_EQ(f.catalogue.Count(), 0);
    EXPECT_TRUE(f.newPictures.empty());
    EXPECT_FALSE(f.state.DataChanged);
}
