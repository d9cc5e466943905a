// Adding pictures on worker threads must give exactly what one thread gives: the same
// database bytes, the same messages in the same order, the same lists, also when the user
// aborts.
#include "Workspace.h"

#include "RecordingFrame.h"
#include "TempDir.h"
#include "TestPictures.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace lumidex {
namespace {

using test::JpegColour;
using test::PhotoLikePicture;

// A few hundred pictures of every readable kind and defect, in nested folders.
class Corpus {
public:
    Corpus() {
        const std::string r = dir_.path();
        for (int i = 0; i < 260; ++i) {
            const std::string folder = r + (i % 4 == 0   ? "a/"
                                            : i % 4 == 1 ? "a/sub/"
                                            : i % 4 == 2 ? "a/sub/deep/"
                                                         : "b/");
            const std::string name = folder + "p" + std::to_string(i);
            const QImage picture = PhotoLikePicture(16 + (i * 37) % 300, 16 + (i * 53) % 220,
                                                    static_cast<uint32_t>(i % 90));
            switch (i % 8) {
            case 0:
                test::WriteJpeg(name + ".jpg", picture);
                break;
            case 1:
                test::WriteJpeg(name + ".jpeg", picture, {.progressive = true});
                break;
            case 2:
                test::WriteJpeg(name + ".JPG", picture, {.colour = JpegColour::Grey});
                break;
            case 3:
                test::WriteJpeg(name + ".jpe", picture, {.colour = JpegColour::Cmyk});
                break;
            case 4:
                test::WritePng(name + ".png", picture);
                break;
            case 5:
                test::WriteBmp(name + ".bmp", picture);
                break;
            case 6:
                test::WriteJpeg(name + ".jif", picture, {.chromaFull = true});
                break;
            default:
                test::WritePicture(name + ".txt", picture);
                break; // never analysed
            }
        }
        // Defects, each with its own message.
        test::WriteBytes(r + "b/tiny.jpg", std::string(1023, 'x'));
        test::WriteBytes(r + "b/garbage.jpg", std::string(4000, 'x'));
        test::WriteBytes(r + "a/png-named.jpg", test::EncodePng(PhotoLikePicture(60, 40, 3)));
        test::WritePng(r + "b/oversized.png", test::UniformPicture(10001, 16, qRgb(9, 9, 9)));
        test::WritePng(r + "a/sub/narrow.png", PhotoLikePicture(15, 40, 4));
        const std::string whole = test::EncodeJpeg(PhotoLikePicture(300, 200, 5));
        test::WriteBytes(r + "b/truncated.jpg", whole.substr(0, whole.size() / 2));
        // The same pictures under other names; a hidden folder and a link back are not scanned.
        std::filesystem::create_directory(r + "c");
        for (int i = 0; i < 12; ++i)
            std::filesystem::copy_file(r + "a/p" + std::to_string(i * 4) +
                                           (i % 2 ? ".png" : ".jpg"),
                                       r + "c/copy" + std::to_string(i) + ".jpg");
        test::WritePicture(r + ".hidden/h.jpg", PhotoLikePicture(40, 40, 1));
        std::filesystem::create_directory_symlink(r + "a", r + "b/link");
    }
    std::string Path(const std::string& name) const { return dir_.path() + name; }

private:
    test::TempDir dir_;
};

const Corpus& TheCorpus() {
    static const Corpus corpus;
    return corpus;
}

// Everything a run leaves behind that the user or a file could see.
struct Outcome {
    std::string database;
    std::vector<std::pair<StatusPanel, std::string>> status;
    std::vector<std::string> logged, captions, newPictures, reference, folderList;
    std::vector<int> results;
    std::vector<int> stepsAfter; // picture bar steps when each command had ended
    int pictureSteps = 0, picturesShown = 0, filesBar = 0;
};

// Abort is pressed at the given step of the picture bar (0: never).
Outcome RunScans(int workers, SameFilePolicy policy, int abortAtStep = 0) {
    const Corpus& c = TheCorpus();
    test::TempDir home;
    test::RecordingFrame frame;
    Workspace ws(frame, home.path());
    ws.analysisWorkers = workers;
    frame.onStepPictureBar = [&] {
        if (frame.pictureBarSteps == abortAtStep) frame.abort = true;
    };
    Outcome o;
    // Part of it first, so that the policy meets catalogued paths everywhere.
    auto record = [&](int result) {
        o.results.push_back(result);
        o.stepsAfter.push_back(frame.pictureBarSteps);
    };
    record(ws.AddPicturesFromFolder(c.Path("a/sub"), {true, 1, false}));
    ws.options.GroupBox2 = policy;
    record(ws.AddPicturesFromFolder(c.Path(""), {}));
    record(ws.AddPicturesFromFolder(c.Path(""), {true, 2, true}));
    record(ws.AddDroppedItems(
        {c.Path("c"), c.Path("a/p0.jpg"), c.Path("a/p0.jpg"), c.Path("b/x.txt"), c.Path("c")}));
    record(ws.AddPictures(c.Path("a"), {"p4.png", "missing.jpg", "p4.png", "p8.jpg", "p12.bmp"}));
    ws.ReanalyseReferenceList();
    record(0);

    Database parts = ws.DatabaseParts();
    BuildHeader(parts);
    EXPECT_TRUE(WriteDatabase(parts, home.File("out.ld2")));
    o.database = test::ReadWholeFile(home.File("out.ld2"));
    o.status = frame.statusHistory;
    o.logged = frame.logged;
    o.captions = frame.captions;
    for (const Pdata* e : ws.newPictures)
        o.newPictures.push_back(e->path);
    for (const ListRow& r : ws.lists.reference.Rows())
        o.reference.push_back(r.entry->path);
    for (const auto& [key, entry] : ws.FolderList)
        o.folderList.push_back(key + " " + entry->path);
    o.pictureSteps = frame.pictureBarSteps;
    o.picturesShown = frame.picturesShown;
    o.filesBar = frame.filesBarPosition;
    return o;
}

void ExpectSame(const Outcome& one, const Outcome& many) {
    EXPECT_EQ(one.results, many.results);
    EXPECT_TRUE(one.database == many.database) << "the database files differ";
    EXPECT_EQ(one.logged, many.logged);
    EXPECT_EQ(one.status, many.status);
    EXPECT_EQ(one.captions, many.captions);
    EXPECT_EQ(one.newPictures, many.newPictures);
    EXPECT_EQ(one.reference, many.reference);
    EXPECT_EQ(one.folderList, many.folderList);
    EXPECT_EQ(one.pictureSteps, many.pictureSteps);
    EXPECT_EQ(one.picturesShown, many.picturesShown);
    EXPECT_EQ(one.filesBar, many.filesBar);
}

TEST(ParallelScan, FourWorkersGiveWhatOneThreadGivesUnderEveryPolicy) {
    for (SameFilePolicy policy :
         {SameFilePolicy::DontAdd, SameFilePolicy::Replace, SameFilePolicy::NotCare}) {
        SCOPED_TRACE(static_cast<int>(policy));
        const Outcome one = RunScans(1, policy);
        // The fixture is worth its name: every defect was met and many files were added.
        for (const char* message :
             {"File is too small,", "Read failed,", "File read failed,", "Cant analyze,"})
            EXPECT_TRUE(std::any_of(one.logged.begin(), one.logged.end(),
                                    [&](const std::string& m) { return m.starts_with(message); }))
                << message;
        EXPECT_GT(one.reference.size(), 150u);
        ExpectSame(one, RunScans(4, policy));
    }
}

TEST(ParallelScan, AbortKeepsEveryFileBeforeItAndNothingAfter) {
    // Somewhere in each command, and at the first and last cell of a file.
    const std::vector<int> ends = RunScans(1, SameFilePolicy::Replace).stepsAfter;
    std::vector<int> steps = {1, ends[1] - 16};
    for (size_t i = 0; i < ends.size(); ++i) {
        const int begin = i ? ends[i - 1] : 0;
        if (ends[i] > begin) steps.push_back(begin + (ends[i] - begin) / 2 + 3);
    }
    for (int step : steps) {
        SCOPED_TRACE(step);
        const Outcome one = RunScans(1, SameFilePolicy::Replace, step);
        // The re-analysis has no progress window: it fails file by file instead.
        if (step <= ends[4]) {
            EXPECT_TRUE(std::any_of(one.status.begin(), one.status.end(),
                                    [](const auto& s) { return s.second == "Aborted"; }));
        }
        ExpectSame(one, RunScans(4, SameFilePolicy::Replace, step));
    }
}

} // namespace
} // namespace lumidex
