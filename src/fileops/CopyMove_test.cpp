#include "CopyMove.h"
#include "FileOpsTestFixture.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace lumidex::test {
namespace {

CollisionReply Reply(Collision answer, bool okToAll = false, bool useAsDefault = false,
                     std::string name = {}) {
    CollisionReply r;
    r.answer = answer;
    r.okToAll = okToAll;
    r.useAsDefault = useAsDefault;
    r.newName = std::move(name);
    return r;
}

// Three targets of one reference, ready to be acted on.
struct Batch : FileOpsFixture {
    Pdata* reference;
    std::vector<Pdata*> targets;
    Batch() {
        reference = AddFile("ref.jpg", "reference", 7);
        for (const char* n : {"a.jpg", "b.jpg", "c.jpg"})
            targets.push_back(AddFile(std::string("src/") + n, std::string("bytes of ") + n, 7));
        ::mkdir(dir.File("out").c_str(), 0755);
        ListAll();
        lists.SelectReference(lists.reference.Find(reference));
        for (int r = 0; r < lists.target.Count(); ++r)
            lists.target.Select(r);
    }
    std::string Out() const { return dir.File("out"); }
};

TEST(CopyMove, CancelOnTheSecondCollisionKeepsTheFirstCopyAndTouchesNothingElse) {
    Batch f;
    f.dir.Write("out/b.jpg", "older b");
    ScriptedAsker asker; // no replies: cancels
    TransferResult r = CopySelectedTargets(f.parts, f.Out(), &asker);
    EXPECT_TRUE(r.aborted);
    EXPECT_EQ(r.done, 1);
    EXPECT_EQ(f.Read("out/a.jpg"), "bytes of a.jpg");
    EXPECT_EQ(f.Read("out/b.jpg"), "older b");
    EXPECT_FALSE(f.Exists("out/c.jpg"));
    EXPECT_TRUE(f.InCatalogue(f.dir.File("out/a.jpg")));
    EXPECT_NE(f.frame.status[StatusPanel::Outcome], "Copy complate.");
}

TEST(CopyMove, EachCollisionOptionWithoutAsking) {
    struct Case {
        CopyCollision option;
        std::string expectDestination;
        bool skipped;
    } cases[] = {{CopyCollision::Skip, "older", true},
                 {CopyCollision::OverWrite, "bytes of a.jpg", false},
                 {CopyCollision::Ask, "older", true}}; // nobody to ask: skip
    for (const Case& c : cases) {
        Batch f;
        f.dir.Write("out/a.jpg", "older");
        f.options.GroupBox1 = c.option;
        TransferPlan plan = PlanTransfer(f.parts, TransferKind::Copy, {f.targets[0]}, f.Out(), {});
        TransferResult r = ApplyTransfer(f.parts, plan);
        EXPECT_EQ(f.Read("out/a.jpg"), c.expectDestination);
        EXPECT_EQ(r.skipped, c.skipped);
        EXPECT_EQ(f.Read("src/a.jpg"), "bytes of a.jpg");
        if (c.skipped) {
            EXPECT_EQ(f.frame.logged.back(), "Destination file exists,Copy skipped");
        }
        // Replacing leaves no staged file behind.
        EXPECT_FALSE(f.Exists("out/.lumidex2-"));
    }
}

TEST(CopyMove, ProposalFollowsSizesAndTimes) {
    struct Case {
        int64_t source, destination;
        bool sourceNewer;
        const char* name;
        Collision expected;
    } cases[] = {{1000, 1000, false, "a.jpg", Collision::Skip},
                 {1000, 1000, true, "a.bmp", Collision::OverWrite},
                 {1000, 1000, false, "a.BMP", Collision::Rename},
                 {100000, 90000, true, "a.jpg", Collision::OverWrite},
                 {100000, 80000, true, "a.jpg", Collision::Rename},
                 {100000, 90000, false, "a.jpg", Collision::Rename}};
    for (const Case& c : cases) {
        CollisionQuery q;
        q.source = std::string("/x/") + c.name;
        q.sourceInfo.size = c.source;
        q.destinationInfo.size = c.destination;
        q.sourceInfo.modified = c.sourceNewer ? 2000 : 1000;
        q.destinationInfo.modified = 1500;
        EXPECT_EQ(ProposedAnswer(q), c.expected) << c.source << " " << c.destination << c.name;
    }
}

TEST(CopyMove, QueryProposesTheFirstFreeNameAndRenameUsesIt) {
    Batch f;
    for (const char* n : {"out/a.jpg", "out/a_1.jpg", "out/a_2.jpg"})
        f.dir.Write(n, "x");
    ScriptedAsker asker;
    asker.replies.push_back(Reply(Collision::Rename, false, false, "a_3.jpg"));
    ApplyTransfer(f.parts,
                  PlanTransfer(f.parts, TransferKind::Copy, {f.targets[0]}, f.Out(), {&asker, {}}));
    ASSERT_EQ(asker.shown.size(), 1u);
    EXPECT_EQ(asker.shown[0].proposedName, "a_3.jpg");
    EXPECT_EQ(f.Read("out/a_3.jpg"), "bytes of a.jpg");
    EXPECT_EQ(f.Read("out/a.jpg"), "x");
}

TEST(CopyMove, OkToAllKeepsTheConfirmedAnswerAndLeavesTheOptionAlone) {
    Batch f;
    for (const char* n : {"out/a.jpg", "out/b.jpg", "out/c.jpg"})
        f.dir.Write(n, "older");
    ScriptedAsker asker;
    asker.replies.push_back(Reply(Collision::Skip, /*okToAll=*/true));
    TransferResult r = CopySelectedTargets(f.parts, f.Out(), &asker);
    EXPECT_EQ(asker.shown.size(), 1u);
    EXPECT_EQ(r.done, 0);
    for (const char* n : {"out/a.jpg", "out/b.jpg", "out/c.jpg"})
        EXPECT_EQ(f.Read(n), "older");
    EXPECT_EQ(f.options.GroupBox1, CopyCollision::Ask);
    EXPECT_FALSE(f.state.OptionsChanged);
    // The next command asks again.
    asker.replies.push_back(Reply(Collision::Skip));
    PlanTransfer(f.parts, TransferKind::Copy, {f.targets[0]}, f.Out(), {&asker, {}});
    EXPECT_EQ(asker.shown.size(), 2u);
}

TEST(CopyMove, UseAsDefaultChangesTheOptionOnlyWhenTheUserTicksIt) {
    Batch f;
    f.dir.Write("out/a.jpg", "older");
    ScriptedAsker asker;
    asker.replies.push_back(Reply(Collision::OverWrite, false, /*useAsDefault=*/true));
    ApplyTransfer(f.parts,
                  PlanTransfer(f.parts, TransferKind::Copy, {f.targets[0]}, f.Out(), {&asker, {}}));
    EXPECT_EQ(f.options.GroupBox1, CopyCollision::OverWrite);
    EXPECT_TRUE(f.state.OptionsChanged);
    EXPECT_EQ(f.Read("out/a.jpg"), "bytes of a.jpg");
}

TEST(CopyMove, AFileIsNeverItsOwnCollision) {
    Batch f;
    f.options.GroupBox1 = CopyCollision::OverWrite;
    // A hard link: another name, the same file.
    ASSERT_EQ(::link(f.dir.File("src/a.jpg").c_str(), f.dir.File("out/a.jpg").c_str()), 0);
    for (TransferKind kind : {TransferKind::Copy, TransferKind::Move}) {
        TransferResult r =
            ApplyTransfer(f.parts, PlanTransfer(f.parts, kind, {f.targets[0]}, f.Out(), {}));
        EXPECT_EQ(r.done, 0);
        EXPECT_EQ(f.Read("src/a.jpg"), "bytes of a.jpg");
        EXPECT_EQ(f.Read("out/a.jpg"), "bytes of a.jpg");
    }
    // A link to the source folder is the source folder.
    ASSERT_EQ(::symlink(f.dir.File("src").c_str(), f.dir.File("alias").c_str()), 0);
    TransferResult r =
        ApplyTransfer(f.parts, PlanTransfer(f.parts, TransferKind::Copy, {f.targets[0]},
                                            f.dir.File("alias"), {}));
    EXPECT_TRUE(r.aborted);
    EXPECT_EQ(f.frame.logged.back(), "Can't copy to the same folder !");
    EXPECT_EQ(f.Read("src/a.jpg"), "bytes of a.jpg");
}

TEST(CopyMove, TrackingACopyOntoACataloguedPathReplacesThatEntry) {
    Batch f;
    Pdata* old = f.AddFile("out/a.jpg", "older", 99);
    f.options.GroupBox1 = CopyCollision::OverWrite;
    const int count = f.catalogue.Count();
    TransferResult r = ApplyTransfer(
        f.parts, PlanTransfer(f.parts, TransferKind::Copy, {f.targets[0]}, f.Out(), {}));
    EXPECT_EQ(r.firstNewEntry, old);
    EXPECT_EQ(f.catalogue.Count(), count);
    EXPECT_EQ(old->key, 7u);
    EXPECT_EQ(old->fileSize, -1);
}

TEST(CopyMove, MoveFollowsTheFileOrDropsTheEntryWithoutTracking) {
    for (bool track : {true, false}) {
        Batch f;
        f.options.TrackMoveCopy = track;
        f.fs.crossDevice = true; // the copy path of a move
        TransferResult r = MoveSelectedTargets(f.parts, f.Out(), nullptr);
        EXPECT_EQ(r.done, 3);
        for (const char* n : {"a.jpg", "b.jpg", "c.jpg"}) {
            EXPECT_FALSE(f.Exists(std::string("src/") + n));
            EXPECT_TRUE(f.Exists(std::string("out/") + n));
            EXPECT_EQ(f.InCatalogue(f.dir.File(std::string("out/") + n)), track);
            EXPECT_FALSE(f.InCatalogue(f.dir.File(std::string("src/") + n)));
        }
        EXPECT_EQ(f.catalogue.Count(), track ? 4 : 1);
    }
}

TEST(CopyMove, FailuresAreReportedWithThePathAndChangeNothing) {
    struct Case {
        const char* what;
        std::function<void(Batch&)> arrange;
    } cases[] = {
        {"read-only destination", [](Batch& f) { f.fs.readOnly.insert(f.Out()); }},
        {"disk full", [](Batch& f) { f.fs.diskFull = true; }},
        {"source vanished while the query was open",
         [](Batch& f) {
             f.fs.before = [&f](FaultyFileSystem::Op op, const std::string&) {
                 if (op == FaultyFileSystem::Op::Copy) ::unlink(f.dir.File("src/a.jpg").c_str());
             };
         }},
    };
    for (const Case& c : cases) {
        for (TransferKind kind : {TransferKind::Copy, TransferKind::Move}) {
            Batch f;
            f.fs.crossDevice = true;
            c.arrange(f);
            const int count = f.catalogue.Count();
            TransferResult r =
                ApplyTransfer(f.parts, PlanTransfer(f.parts, kind, {f.targets[0]}, f.Out(), {}));
            EXPECT_TRUE(r.aborted) << c.what;
            EXPECT_EQ(f.frame.logged.back(),
                      (kind == TransferKind::Copy ? "Copy failed:" : "Move failed:") +
                          f.dir.File("src/a.jpg"))
                << c.what;
            EXPECT_FALSE(f.Exists("out/a.jpg")) << c.what;
            EXPECT_EQ(f.catalogue.Count(), count);
            EXPECT_TRUE(f.InCatalogue(f.dir.File("src/a.jpg")));
        }
    }
}

TEST(CopyMove, InvalidNameFromTheQueryIsRefused) {
    Batch f;
    f.dir.Write("out/a.jpg", "older");
    ScriptedAsker asker;
    asker.replies.push_back(Reply(Collision::Rename, false, false, "../escape.jpg"));
    TransferResult r = ApplyTransfer(
        f.parts, PlanTransfer(f.parts, TransferKind::Copy, {f.targets[0]}, f.Out(), {&asker, {}}));
    EXPECT_TRUE(r.aborted);
    EXPECT_FALSE(f.Exists("escape.jpg"));
    EXPECT_EQ(f.frame.logged.back(), "Copy failed:" + f.dir.File("out/../escape.jpg"));
}

TEST(CopyMove, EmptiedSourceFolderGoesToTheTrashButALinkLoopKeepsItsFolder) {
    Batch f;
    f.options.DeleteEmptyFolderafterFileMove = true;
    ::mkdir(f.dir.File("src/empty").c_str(), 0755);
    MoveSelectedTargets(f.parts, f.Out(), nullptr);
    EXPECT_FALSE(f.Exists("src/empty"));
    EXPECT_FALSE(std::ifstream(f.dir.File("src")).good());
    EXPECT_TRUE(std::ifstream(f.TrashFolder() + "src").good());

    Batch g;
    g.options.DeleteEmptyFolderafterFileMove = true;
    ::mkdir(g.dir.File("src/loop").c_str(), 0755);
    ::symlink(g.dir.File("src").c_str(), g.dir.File("src/loop/back").c_str());
    MoveSelectedTargets(g.parts, g.Out(), nullptr);
    EXPECT_TRUE(std::ifstream(g.dir.File("src/loop")).good());
}

} // namespace
} // namespace lumidex::test
