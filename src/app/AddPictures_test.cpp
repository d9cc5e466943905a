#include "Workspace.h"

#include "RecordingFrame.h"
#include "TempDir.h"
#include "TestPictures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace lumidex {
namespace {

using test::PhotoLikePicture;
using test::WritePicture;

struct Fixture {
    test::TempDir home, dir;
    test::RecordingFrame frame;
    Workspace ws{frame, home.path()};

    std::vector<std::string> CataloguePaths() const {
        std::vector<std::string> out;
        for (int i = 0; i < ws.catalogue.Count(); ++i)
            out.push_back(ws.catalogue.Entry(i).path);
        return out;
    }
};

TEST(AddPictures, FolderScanDepthLinksAndSkippedNames) {
    Fixture f;
    const std::string root = f.dir.path();
    WritePicture(root + "a.jpg", PhotoLikePicture(40, 30, 1));
    WritePicture(root + "notes.txt", PhotoLikePicture(40, 30, 2));
    WritePicture(root + "sub/b.png", PhotoLikePicture(40, 30, 3));
    WritePicture(root + "sub/deep/c.bmp", PhotoLikePicture(40, 30, 4));
    WritePicture(root + ".hidden/d.jpg", PhotoLikePicture(40, 30, 5));
    std::filesystem::create_directory_symlink(root, root + "sub/loop");

    EXPECT_EQ(f.ws.AddPicturesFromFolder(root, {true, 2, false}), 0);
    EXPECT_EQ(f.CataloguePaths(), (std::vector<std::string>{root + "a.jpg", root + "sub/b.png"}));
    EXPECT_EQ(f.frame.status[StatusPanel::Progress], "Adding pictures done.");
    // Under "All" each new picture joined the reference list.
    EXPECT_EQ(f.ws.lists.reference.Count(), 2);
    EXPECT_EQ(f.ws.newPictures.size(), 2u);
    EXPECT_FALSE(f.ws.FolderList.empty());

    // No depth limit: the deep folder too, and the link back to the root is not followed.
    f.ws.options.GroupBox2 = SameFilePolicy::DontAdd;
    EXPECT_EQ(f.ws.AddPicturesFromFolder(root, {false, 1, false}), 0);
    EXPECT_EQ(f.ws.catalogue.Count(), 3);
    EXPECT_EQ(f.ws.newPictures.size(), 1u);

    EXPECT_EQ(f.ws.AddPicturesFromFolder("/proc", {}), 0);
    EXPECT_EQ(f.ws.catalogue.Count(), 3);
}

TEST(AddPictures, DuplicatePolicies) {
    Fixture f;
    std::vector<int> titles;
    f.ws.databaseHooks.UpdateTitle = [&](int mark) { titles.push_back(mark); };
    const std::string a = WritePicture(f.dir.File("a.jpg"), PhotoLikePicture(40, 30, 1));
    ASSERT_EQ(f.ws.AddPictures(f.dir.path(), {"a.jpg"}), 0);
    EXPECT_EQ(titles, std::vector<int>{0}) << "the title follows every adding";
    Pdata& first = f.ws.catalogue.Entry(0);
    first.mismatchGroup = 5;

    f.frame.status.clear();
    EXPECT_EQ(f.ws.AddPictures(f.dir.path(), {"a.jpg"}), -1) << "skipped: nothing analysed";
    EXPECT_EQ(f.frame.status.count(StatusPanel::Progress), 0u) << "no completion text";
    EXPECT_EQ(f.ws.catalogue.Count(), 1);

    f.ws.options.GroupBox2 = SameFilePolicy::Replace;
    EXPECT_EQ(f.ws.AddPictures(f.dir.path(), {"a.jpg"}), 0);
    ASSERT_EQ(f.ws.catalogue.Count(), 1);
    EXPECT_EQ(f.ws.catalogue.Entry(0).mismatchGroup, 0) << "the old entry went with its group";

    f.ws.options.GroupBox2 = SameFilePolicy::NotCare;
    EXPECT_EQ(f.ws.AddPictures(f.dir.path(), {"a.jpg"}), 0);
    EXPECT_EQ(f.ws.catalogue.Count(), 2);
    EXPECT_EQ(f.ws.lists.reference.Count(), 2);
    for (const ListRow& r : f.ws.lists.reference.Rows())
        EXPECT_GE(PositionOfEntry(f.ws.catalogue, r.entry), 0);
}

TEST(AddPictures, DroppedItemsAndAbort) {
    Fixture f;
    const std::string root = f.dir.path();
    WritePicture(root + "f/a.jpg", PhotoLikePicture(40, 30, 1));
    WritePicture(root + "f/b.jpg", PhotoLikePicture(40, 30, 2));
    const std::string c = WritePicture(root + "c.jpg", PhotoLikePicture(40, 30, 3));
    const std::string txt = test::WriteBytes(root + "x.txt", std::string(2000, 'x'));

    EXPECT_EQ(f.ws.AddDroppedItems({txt}), 1);
    EXPECT_EQ(f.frame.logged.back(), "Illegal file extention:" + txt);
    EXPECT_EQ(f.ws.AddDroppedItems({root + "f", c}), 0);
    EXPECT_EQ(f.ws.catalogue.Count(), 3);
    EXPECT_EQ(f.frame.status[StatusPanel::Outcome], "Adding pictures(Drag&Drop) done.");
    f.ws.options.GroupBox2 = SameFilePolicy::Replace;
    EXPECT_EQ(f.ws.AddDroppedItems({root + "f/b.jpg"}), 0) << "replaced in place";
    EXPECT_EQ(f.ws.catalogue.Count(), 3);
    EXPECT_EQ(f.ws.lists.reference.Count(), 3) << "the old row went with its entry";

    // Abort in Add Picture: no count for the aborted file, no completion text.
    Fixture h;
    h.frame.onStepPictureBar = [&] { h.frame.abort = true; };
    EXPECT_EQ(h.ws.AddPictures(root, {"c.jpg"}), -1);
    for (const auto& [panel, text] : h.frame.statusHistory) {
        EXPECT_NE(text, "0 Files");
        EXPECT_NE(text, "Adding pictures done.");
    }

    // Abort inside a dropped folder ends the whole drop.
    Fixture g;
    g.frame.onStepPictureBar = [&] { g.frame.abort = true; };
    g.frame.status.clear();
    EXPECT_EQ(g.ws.AddDroppedItems({root + "f", c}), -1);
    EXPECT_EQ(g.ws.catalogue.Count(), 0);
    EXPECT_NE(g.frame.status[StatusPanel::Outcome], "Adding pictures(Drag&Drop) done.");
    EXPECT_FALSE(g.frame.abort) << "the request ends with the operation";
}

TEST(AddPictures, ReanalysisAndClearAll) {
    Fixture f;
    const std::string a = WritePicture(f.dir.File("a.png"), PhotoLikePicture(40, 30, 1));
    ASSERT_EQ(f.ws.AddPictures(f.dir.path(), {"a.png"}), 0);
    Pdata& e = f.ws.catalogue.Entry(0);
    e.mismatchGroup = 3;
    e.AddRegion(1, 2, Area{0, 0, 20, 20});
    const uint32_t key = e.key;
    WritePicture(a, PhotoLikePicture(40, 30, 99));
    std::vector<int> titles;
    f.ws.databaseHooks.UpdateTitle = [&](int mark) { titles.push_back(mark); };
    EXPECT_TRUE(f.ws.ReanalyseEntry(e));
    EXPECT_EQ(titles, std::vector<int>{1}) << "UpdateTitle(1) marks the change";
    if (e.key != key) {
        EXPECT_EQ(e.mismatchGroup, 0);
        EXPECT_EQ(e.RegionCount(), 0);
    }
    test::WriteBytes(a, "tiny");
    EXPECT_FALSE(f.ws.ReanalyseEntry(e));
    EXPECT_EQ(f.frame.logged.back(), "File is too small," + a);

    f.ws.DataChanged = true;
    f.frame.answers = {Answer::No};
    EXPECT_FALSE(f.ws.ClearAllEntries());
    EXPECT_EQ(f.ws.catalogue.Count(), 1);
    f.frame.answers = {Answer::Yes};
    EXPECT_TRUE(f.ws.ClearAllEntries());
    EXPECT_EQ(f.ws.catalogue.Count(), 0);
    EXPECT_TRUE(f.ws.lists.reference.Empty());
    EXPECT_FALSE(f.ws.DataChanged);
    EXPECT_TRUE(f.ws.newPictures.empty());
}

TEST(AddPictures, ReanalysingTheReferenceListAndRowsOutsideAll) {
    Fixture f;
    const std::string a = WritePicture(f.dir.File("a.png"), PhotoLikePicture(40, 30, 1));
    const std::string b = WritePicture(f.dir.File("b.png"), PhotoLikePicture(40, 30, 2));
    ASSERT_EQ(f.ws.AddPictures(f.dir.path(), {"a.png", "b.png"}), 0);
    ASSERT_EQ(f.ws.lists.reference.Count(), 2);
    for (int i = 0; i < 2; ++i) {
        f.ws.catalogue.Entry(i).key ^= 1; // as if analysed from another picture
        f.ws.catalogue.Entry(i).mismatchGroup = 4;
        f.ws.catalogue.Entry(i).AddRegion(1, 1, Area{});
    }
    test::WriteBytes(b, "tiny");
    f.ws.ReanalyseReferenceList();
    EXPECT_EQ(f.ws.catalogue.Entry(0).mismatchGroup, 0);
    EXPECT_EQ(f.ws.catalogue.Entry(0).RegionCount(), 1) << "regions stay here";
    EXPECT_EQ(f.frame.logged.back(), "File is too small," + b);
    EXPECT_EQ(f.ws.catalogue.Entry(1).mismatchGroup, 4) << "the run ended at the small file";

    // Outside "All" a new picture waits for the next list-up.
    f.ws.lists.dataFilter = FilterItem::HasSimilarPics;
    WritePicture(f.dir.File("c.png"), PhotoLikePicture(40, 30, 3));
    ASSERT_EQ(f.ws.AddPictures(f.dir.path(), {"c.png"}), 0);
    EXPECT_EQ(f.ws.lists.reference.Count(), 2);
}

TEST(AddPictures, AbortedFolderScanIsNotDoneAndLongDroppedPathsStayWhole) {
    Fixture f;
    const std::string root = f.dir.path();
    WritePicture(root + "f/a.jpg", PhotoLikePicture(40, 30, 1));
    f.frame.onStepPictureBar = [&] { f.frame.abort = true; };
    EXPECT_EQ(f.ws.AddPicturesFromFolder(root + "f", {}), -1);
    EXPECT_EQ(f.frame.status[StatusPanel::Progress], "Aborted");
    for (const auto& [panel, text] : f.frame.statusHistory)
        EXPECT_NE(text, "Adding pictures done.");
    f.frame.onStepPictureBar = nullptr;

    // A path longer than 1023 bytes, well inside the system's limit.
    std::string deep = root;
    for (int i = 0; i < 5; ++i)
        deep += std::string(240, static_cast<char>('a' + i)) + "/";
    const std::string picture = WritePicture(deep + "long.jpg", PhotoLikePicture(40, 30, 2));
    ASSERT_GT(picture.size(), 1023u);
    EXPECT_EQ(f.ws.AddDroppedItems({picture}), 0);
    EXPECT_EQ(f.CataloguePaths(), (std::vector<std::string>{picture}));
}

} // namespace
} // namespace lumidex
