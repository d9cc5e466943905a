#include "Workspace.h"

#include "DatabaseCommands.h"
#include "RecordingFrame.h"
#include "TempDir.h"
#include "TestPictures.h"

#include <gtest/gtest.h>

using namespace lumidex;

// The Workspace ties the libraries together: these tests follow one picture through them.
TEST(Workspace, AnalysedPictureJoinsCatalogueNewPicturesAndTheReferenceListUnderAll) {
    test::TempDir dir;
    test::RecordingFrame frame;
    Workspace ws(frame, dir.path());
    std::string path = test::WriteJpeg(dir.File("a.jpg"), test::PhotoLikePicture(64, 48, 1));
    ASSERT_EQ(ws.AnalyseFile(path), 0);
    ASSERT_EQ(ws.catalogue.Count(), 1);
    Pdata* entry = &ws.catalogue.Entry(0);
    EXPECT_EQ(ws.newPictures, std::vector<Pdata*>{entry});
    EXPECT_TRUE(ws.DataChanged);
    ASSERT_EQ(ws.lists.reference.Count(), 1);
    EXPECT_EQ(ws.lists.reference.At(0).entry, entry);
}

TEST(Workspace, OpeningAnotherDatabaseLeavesNoListPointingAtFreedEntries) {
    test::TempDir dir;
    test::RecordingFrame frame;
    Workspace ws(frame, dir.path());
    for (int i = 0; i < 3; ++i)
        ws.AnalyseFile(test::WriteJpeg(dir.File("p" + std::to_string(i) + ".jpg"),
                                       test::PhotoLikePicture(64, 48, static_cast<uint32_t>(i))));
    ws.lists.SelectReference(0);
    Database db = ws.DatabaseParts();
    ws.DatabasePath = dir.File("first.ld2");
    ASSERT_TRUE(SaveDatabase(db));

    // A second, empty catalogue opened over the first: lists and new pictures start afresh.
    Workspace other(frame, dir.path());
    other.DatabasePath = dir.File("empty.ld2");
    Database otherDb = other.DatabaseParts();
    ASSERT_TRUE(SaveDatabase(otherDb));
    ws.PendingDatabasePath = dir.File("empty.ld2");
    ASSERT_TRUE(OpenDatabase(db));
    EXPECT_EQ(ws.catalogue.Count(), 0);
    EXPECT_EQ(ws.lists.reference.Count(), 0);
    EXPECT_EQ(ws.lists.currentReference, nullptr);
    EXPECT_TRUE(ws.newPictures.empty());
}

TEST(Workspace, EveryRemovalListenerHearsOfFreedEntriesAndOfTheCatalogueEmptied) {
    test::TempDir dir;
    test::RecordingFrame frame;
    Workspace ws(frame, dir.path());
    for (const char* p : {"/x/a.jpg", "/x/b.jpg", "/x/c.jpg"})
        ws.catalogue.Insert(std::make_unique<Pdata>(p));
    std::vector<Pdata*> heard[2];
    int cleared[2] = {0, 0};
    for (int i = 0; i < 2; ++i)
        ws.AddRemovalListener({[&heard, i](const std::vector<Pdata*>& e) {
                                   heard[i].insert(heard[i].end(), e.begin(), e.end());
                               },
                               [&cleared, i] { ++cleared[i]; }});
    Pdata* a = &ws.catalogue.Entry(0);
    Pdata* b = &ws.catalogue.Entry(1);
    ws.lists.RemoveEntry(a);
    ws.lists.RemoveEntries({b});
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(heard[i], (std::vector<Pdata*>{a, b}));
    Database db = ws.DatabaseParts();
    ClearAllData(db);
    EXPECT_EQ(cleared[0], 1);
    EXPECT_EQ(cleared[1], 1);
}

TEST(Workspace, EveryHolderOfEntriesLetsGoOnRemovalAndClear) {
    test::TempDir dir;
    test::RecordingFrame frame;
    Workspace ws(frame, dir.path());
    for (const char* p : {"/p/a.jpg", "/p/b.jpg"})
        ws.catalogue.Insert(std::make_unique<Pdata>(p));
    Pdata* a = &ws.catalogue.Entry(0);
    Pdata* b = &ws.catalogue.Entry(1);
    ws.bookmarks.Add(a);
    ws.bookmarks.Add(b);
    a->AddMemo(0);
    ws.copiedMemos.Copy(*a);
    std::vector<const Pdata*> first, second;
    ws.AddEntryListener([&](const Pdata* e) { first.push_back(e); });
    const int id = ws.AddEntryListener([&](const Pdata* e) { second.push_back(e); });

    ws.lists.RemoveEntry(a);
    EXPECT_EQ(ws.bookmarks.Entries(), std::vector<Pdata*>{b});
    EXPECT_EQ(first, std::vector<const Pdata*>{a});
    EXPECT_EQ(second, std::vector<const Pdata*>{a});

    ws.RemoveEntryListener(id);
    Database parts = ws.DatabaseParts();
    ClearAllData(parts);
    EXPECT_TRUE(ws.bookmarks.Empty());
    EXPECT_FALSE(ws.copiedMemos.HasCopy());
    EXPECT_EQ(first.back(), nullptr);
    EXPECT_EQ(second.size(), 1u);
}
