#include "DeleteRename.h"
#include "FileOpsTestFixture.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <memory>
#include <unistd.h>

namespace lumidex::test {
namespace {

// A reference and two similar targets on disk, all listed, the targets selected.
struct Pair : FileOpsFixture {
    Pdata* reference;
    Pdata* a;
    Pdata* b;
    Pair() {
        reference = AddFile("ref.jpg", "reference bytes", 5);
        a = AddFile("a.jpg", "a bytes", 5);
        b = AddFile("b.jpg", "b bytes", 5);
        AddFile("other.jpg", "unrelated", 0x0F0F0F0F);
        ListAll();
        SelectReference();
    }
    void SelectReference() {
        lists.SelectReference(lists.reference.Find(reference));
        lists.target.ClearSelection();
    }
    void SelectTargets(std::initializer_list<Pdata*> entries) {
        for (Pdata* e : entries)
            lists.target.Select(lists.target.Find(e));
        lists.TargetSelectionChanged();
    }
};

TEST(Delete, AsksWithTheCountOrThePathAndCancelKeepsEverything) {
    Pair f;
    f.SelectTargets({f.a, f.b});
    f.frame.answers.push_back(Answer::Cancel);
    EXPECT_FALSE(DeleteSelectedTargets(f.parts));
    ASSERT_EQ(f.frame.questions.size(), 1u);
    EXPECT_EQ(f.frame.questions[0].caption, "Delete Confirm");
    EXPECT_EQ(f.frame.questions[0].text, "Delete 2 Files?");
    EXPECT_TRUE(f.Exists("a.jpg"));
    EXPECT_EQ(f.catalogue.Count(), 4);

    f.lists.target.ClearSelection();
    f.SelectTargets({f.a});
    f.frame.answers.push_back(Answer::Cancel);
    DeleteSelectedTargets(f.parts);
    EXPECT_EQ(f.frame.questions.back().text, "Delete<" + f.a->path + ">?");
}

TEST(Delete, TargetsGoToTheTrashAndTheFreeSpaceLineComesLast) {
    Pair f;
    f.SelectTargets({f.a, f.b});
    f.fs.freeSpace = 5000;
    ASSERT_TRUE(DeleteSelectedTargets(f.parts));
    EXPECT_FALSE(f.Exists("a.jpg"));
    EXPECT_EQ(ReadWholeFile(f.TrashFolder() + "a.jpg"), "a bytes");
    EXPECT_EQ(ReadWholeFile(f.TrashFolder() + "b.jpg"), "b bytes");
    EXPECT_EQ(f.catalogue.Count(), 2);
    EXPECT_EQ(f.frame.status[StatusPanel::Outcome], "Disk free : 5000 bytes. 0 bytes freed.");
}

TEST(Delete, AFileThatCannotGoToTheTrashKeepsFileAndEntryAndIsNamed) {
    Pair f;
    f.SelectTargets({f.a, f.b});
    const std::string aPath = f.a->path;
    f.fs.Fail(FaultyFileSystem::Op::Trash, EACCES,
              [&](const std::string& p) { return p == aPath; });
    EXPECT_FALSE(DeleteSelectedTargets(f.parts));
    EXPECT_EQ(f.Read("a.jpg"), "a bytes");
    EXPECT_TRUE(f.InCatalogue(aPath));
    EXPECT_FALSE(f.Exists("b.jpg"));
    EXPECT_FALSE(f.InCatalogue(f.dir.File("b.jpg")));
    ASSERT_GE(f.frame.logged.size(), 2u);
    EXPECT_EQ(f.frame.logged[f.frame.logged.size() - 2], "Delete failed:" + aPath);
    EXPECT_EQ(f.frame.logged.back(), "Delete failed");
}

TEST(Delete, AReferenceThatLostItsLastSimilarPictureLeavesHasSimilarPics) {
    FileOpsFixture f;
    Pdata* ref = f.AddFile("ref.jpg", "r", 9);
    Pdata* only = f.AddFile("copy.jpg", "c", 9);
    f.AddFile("x1.jpg", "x", 0x00FF00FF);
    f.AddFile("x2.jpg", "y", 0x00FF00FF);
    f.ListUp();
    ASSERT_TRUE(f.lists.reference.Contains(ref));
    f.lists.SelectReference(f.lists.reference.Find(ref));
    f.lists.target.Select(f.lists.target.Find(only));
    ASSERT_TRUE(DeleteSelectedTargets(f.parts));
    EXPECT_FALSE(f.lists.reference.Contains(ref));
    EXPECT_TRUE(f.InCatalogue(ref->path));
}

TEST(Delete, AutoSyncGivesTheReferenceTheMemosOfEveryDeletedTarget) {
    Pair f;
    f.options.AutoSync = true;
    f.a->AddMemo(1);
    f.b->AddMemo(2);
    f.SelectTargets({f.a, f.b});
    ASSERT_TRUE(DeleteSelectedTargets(f.parts));
    EXPECT_TRUE(f.reference->HasMemo(1));
    EXPECT_TRUE(f.reference->HasMemo(2));
}

TEST(Delete, ReferenceDeleteFailureKeepsTheEntryAndShowsTheFreeSpaceLine) {
    Pair f;
    f.fs.Fail(FaultyFileSystem::Op::Trash, EIO);
    f.fs.freeSpace = 10;
    EXPECT_FALSE(DeleteReference(f.parts));
    EXPECT_EQ(f.frame.logged.back(), "Delete failed.");
    EXPECT_TRUE(f.Exists("ref.jpg"));
    EXPECT_TRUE(f.InCatalogue(f.reference->path));
    EXPECT_EQ(f.frame.status[StatusPanel::Outcome], "Disk free : 10 bytes. 0 bytes freed.");
    f.fs.Clear();
    const std::string path = f.reference->path;
    EXPECT_TRUE(DeleteReference(f.parts));
    EXPECT_FALSE(f.InCatalogue(path));
}

TEST(Rename, ExistingNameAsksAgainAndTheEntryFollows) {
    Pair f;
    ScriptedRename asker;
    asker.names = {"a", "renamed"}; // the same name first: the file itself exists
    Pdata* e = RenameEntryFile(f.parts, *f.a, asker);
    ASSERT_EQ(e, f.a);
    EXPECT_EQ(asker.messages, (std::vector<std::string>{"", "File already Exists!"}));
    EXPECT_EQ(f.Read("renamed.jpg"), "a bytes");
    EXPECT_EQ(f.a->path, f.dir.File("renamed.jpg"));
    EXPECT_TRUE(f.InCatalogue(f.dir.File("renamed.jpg")));
}

TEST(Rename, RefusedNamesAndRefusedRenamesChangeNothing) {
    for (const std::string& name :
         std::vector<std::string>{"", "..", "a/b", std::string(300, 'n')}) {
        Pair f;
        ScriptedRename asker;
        asker.names = {name};
        if (name.empty()) {
            // Cancel.
            EXPECT_EQ(RenameEntryFile(f.parts, *f.a, asker), nullptr);
            EXPECT_TRUE(f.frame.logged.empty());
            continue;
        }
        EXPECT_EQ(RenameEntryFile(f.parts, *f.a, asker), nullptr);
        EXPECT_EQ(f.frame.logged.back(), "Rename failed:" + f.dir.File("a.jpg"));
        EXPECT_EQ(f.a->path, f.dir.File("a.jpg"));
        EXPECT_TRUE(f.Exists("a.jpg"));
    }
    Pair f;
    f.fs.readOnly.insert(f.dir.path());
    ScriptedRename asker;
    asker.names = {"new"};
    EXPECT_EQ(RenameEntryFile(f.parts, *f.a, asker), nullptr);
    EXPECT_EQ(f.frame.logged.back(), "Rename failed:" + f.dir.File("a.jpg"));
    EXPECT_TRUE(f.InCatalogue(f.dir.File("a.jpg")));
}

TEST(Rename, WithoutTrackingTheEntryLeavesTheCatalogue) {
    Pair f;
    f.options.TrackMoveCopy = false;
    ScriptedRename asker;
    asker.names = {"A"}; // only the letter case changes: a real rename
    RenameEntryFile(f.parts, *f.a, asker);
    EXPECT_TRUE(f.Exists("A.jpg"));
    EXPECT_FALSE(f.InCatalogue(f.dir.File("a.jpg")));
    EXPECT_FALSE(f.InCatalogue(f.dir.File("A.jpg")));
}

struct OverwritePair : Pair {
    OverwritePair() { SelectTargets({a}); }
};

TEST(OverwriteMove, ReferenceOntoTargetWithTracking) {
    OverwritePair f;
    const std::string targetPath = f.a->path;
    ASSERT_TRUE(OverwriteMove(f.parts, true));
    EXPECT_EQ(f.Read("a.jpg"), "reference bytes");
    EXPECT_FALSE(f.Exists("ref.jpg"));
    EXPECT_EQ(ReadWholeFile(f.TrashFolder() + "a.jpg"), "a bytes");
    EXPECT_EQ(f.reference->path, targetPath);
    EXPECT_EQ(f.catalogue.Count(), 3);
    EXPECT_TRUE(f.lists.reference.Contains(f.reference));
}

TEST(OverwriteMove, WithoutTrackingNoEntryPointsAtNothing) {
    OverwritePair f;
    f.options.TrackMoveCopy = false;
    ASSERT_TRUE(OverwriteMove(f.parts, true));
    EXPECT_FALSE(f.InCatalogue(f.dir.File("ref.jpg")));
    EXPECT_FALSE(f.InCatalogue(f.dir.File("a.jpg")));
    EXPECT_EQ(f.catalogue.Count(), 2);
}

TEST(OverwriteMove, FailuresLeaveBothFilesAndTheCatalogue) {
    struct Case {
        const char* what;
        std::function<void(OverwritePair&)> arrange;
        const char* message;
    } cases[] = {
        {"trash refuses", [](OverwritePair& f) { f.fs.Fail(FaultyFileSystem::Op::Trash, EIO); },
         "Delete failed."},
        {"last rename fails",
         [](OverwritePair& f) {
             const std::string dest = f.a->path;
             auto fired = std::make_shared<bool>(false);
             f.fs.before = [&f, dest, fired](FaultyFileSystem::Op op, const std::string& p) {
                 // The staged file's publication, after the replaced file went to the trash.
                 if (op == FaultyFileSystem::Op::Rename &&
                     p.find(".lumidex2-") != std::string::npos && !std::ifstream(dest).good() &&
                     !*fired) {
                     *fired = true;
                     f.fs.FailOnce(FaultyFileSystem::Op::Rename, EIO);
                 }
             };
         },
         "Move failed."},
        {"across file systems, disk full",
         [](OverwritePair& f) {
             f.fs.Fail(FaultyFileSystem::Op::Rename, EXDEV,
                       [](const std::string& p) { return p.ends_with("ref.jpg"); });
             f.fs.diskFull = true;
         },
         "Move failed."},
    };
    for (const Case& c : cases) {
        OverwritePair f;
        c.arrange(f);
        EXPECT_FALSE(OverwriteMove(f.parts, true)) << c.what;
        EXPECT_EQ(f.frame.logged.back(), c.message) << c.what;
        EXPECT_EQ(f.Read("ref.jpg"), "reference bytes") << c.what;
        EXPECT_EQ(f.Read("a.jpg"), "a bytes") << c.what;
        EXPECT_EQ(f.catalogue.Count(), 4) << c.what;
        EXPECT_EQ(f.reference->path, f.dir.File("ref.jpg"));
    }
}

TEST(OverwriteMove, TwoNamesOfOneFileAreRefused) {
    OverwritePair f;
    ::unlink(f.dir.File("a.jpg").c_str());
    ASSERT_EQ(::link(f.dir.File("ref.jpg").c_str(), f.dir.File("a.jpg").c_str()), 0);
    EXPECT_FALSE(OverwriteMove(f.parts, true));
    EXPECT_EQ(f.Read("ref.jpg"), "reference bytes");
    EXPECT_EQ(f.Read("a.jpg"), "reference bytes");
}

} // namespace
} // namespace lumidex::test
