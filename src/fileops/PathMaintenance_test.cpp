#include "FileOpsTestFixture.h"
#include "PathMaintenance.h"
#include "RenameList.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <sys/stat.h>

namespace lumidex::test {
namespace {

TEST(Unlinked, OnlyFilesThatAreNotThereCountAsMissing) {
    FileOpsFixture f;
    Pdata* here = f.AddFile("here.jpg", "x");
    Pdata* gone = f.Add(f.dir.File("gone.jpg"), 1);
    Pdata* underFile = f.Add(f.dir.File("here.jpg/inside.jpg"), 1); // ENOTDIR
    Pdata* unreadable = f.Add(f.dir.File("locked/a.jpg"), 1);
    f.fs.Fail(FaultyFileSystem::Op::Stat, EACCES,
              [&](const std::string& p) { return p == unreadable->path; });
    here->fileSize = -1;
    std::vector<Pdata*> missing = FindUnlinkedEntries(f.parts);
    EXPECT_EQ(missing, (std::vector<Pdata*>{gone, underFile}));
    EXPECT_EQ(here->fileSize, 1); // measured on the way
    EXPECT_FALSE(f.state.OperationRunning());
    RemoveUnlinkedEntries(f.parts, missing);
    EXPECT_EQ(f.catalogue.Count(), 2);
}

TEST(PathChange, OnlyMovedFilesChangeAndFoldersCompareExactly) {
    FileOpsFixture f;
    Pdata* moved = f.Add(f.dir.File("old/2002/a.jpg"), 1);
    Pdata* stillThere = f.AddFile("old/b.jpg", "b");
    Pdata* nowhere = f.Add(f.dir.File("old/c.jpg"), 1);
    f.dir.Write("new/2002/a.jpg", "a");
    f.dir.Write("new/b.jpg", "b");
    // Sub-folders off: the entry in old/2002/ is not in old/.
    EXPECT_TRUE(PlanPathChange(f.parts, f.dir.File("old"), f.dir.File("new"), false).empty());
    // Letter case counts.
    EXPECT_TRUE(PlanPathChange(f.parts, f.dir.File("OLD"), f.dir.File("new"), true).empty());
    auto changes = PlanPathChange(f.parts, f.dir.File("old/"), f.dir.File("new/"), true);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(ApplyPathChange(f.parts, changes), 1);
    EXPECT_EQ(moved->path, f.dir.File("new/2002/a.jpg"));
    EXPECT_EQ(stillThere->path, f.dir.File("old/b.jpg"));
    EXPECT_EQ(nowhere->path, f.dir.File("old/c.jpg"));
    EXPECT_TRUE(f.InCatalogue(f.dir.File("new/2002/a.jpg")));
    EXPECT_EQ(f.frame.status[StatusPanel::Outcome], "1/3 Changed.");
}

TEST(MoveFolder, MovesTheTreeLeavesCollisionsAndRekeysWhatMoved) {
    FileOpsFixture f;
    Pdata* a = f.AddFile("from/a.jpg", "a");
    Pdata* b = f.AddFile("from/sub/b.jpg", "b");
    Pdata* c = f.AddFile("from/c.jpg", "c");
    f.dir.Write("to/c.jpg", "already there");
    ::symlink(f.dir.File("from").c_str(), f.dir.File("from/sub/loop").c_str());
    FolderMovePlan plan = PlanFolderMove(f.parts, f.dir.File("from"), f.dir.File("to"));
    ASSERT_TRUE(plan.refusal.empty());
    EXPECT_EQ(ApplyFolderMove(f.parts, plan), 2);
    EXPECT_EQ(a->path, f.dir.File("to/a.jpg"));
    EXPECT_EQ(b->path, f.dir.File("to/sub/b.jpg"));
    EXPECT_EQ(c->path, f.dir.File("from/c.jpg"));
    EXPECT_EQ(f.Read("from/c.jpg"), "c");
    EXPECT_EQ(f.Read("to/c.jpg"), "already there");
    EXPECT_EQ(f.frame.logged.front(), "Move failed:" + f.dir.File("from/c.jpg"));
}

TEST(MoveFolder, RefusesRootsAndDestinationsInsideTheSource) {
    FileOpsFixture f;
    f.AddFile("from/a.jpg", "a");
    for (const std::string& to :
         {f.dir.File("from"), f.dir.File("from/sub"), f.dir.File("from/./x/..")}) {
        EXPECT_FALSE(PlanFolderMove(f.parts, f.dir.File("from/"), to).refusal.empty()) << to;
    }
    EXPECT_FALSE(PlanFolderMove(f.parts, "/", f.dir.File("x")).refusal.empty());
    EXPECT_EQ(ApplyFolderMove(f.parts,
                              PlanFolderMove(f.parts, f.dir.File("from"), f.dir.File("from/in"))),
              0);
    EXPECT_TRUE(f.Exists("from/a.jpg"));
}

TEST(RenameList, FieldsFollowTheQuotingRules) {
    struct Case {
        std::string line;
        std::vector<std::string> fields;
    } cases[] = {
        {"a.jpg,/p/,b.jpg", {"a.jpg", "/p/", "b.jpg"}},
        {"  \"a, b.jpg\" , \"/p/\" ,\"say \"\"hi\"\".jpg\"", {"a, b.jpg", "/p/", "say \"hi\".jpg"}},
        {"a,,c", {"a", "", "c"}},
        {"a,b,", {"a", "b", ""}},
        {"a b c", {"a", "b", "c"}},
        {"", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SplitCsvLine(c.line), c.fields) << c.line;
}

TEST(RenameList, AnInvalidListAppliesNothing) {
    FileOpsFixture f;
    Pdata* a = f.Add("/p/a.jpg", 1);
    for (const std::string& text :
         {std::string("old,folder,new\n/p/a.jpg,/p/\n"), std::string("h\na.jpg,/p/,../x.jpg\n"),
          std::string("h\na.jpg,/p/,x.jpg\nb.jpg,/p/\n")}) {
        std::string csv = f.dir.Write("list.csv", text);
        EXPECT_EQ(ChangeFilenamesWithCsv(f.parts, csv), -1) << text;
        EXPECT_EQ(f.frame.questions.back().text, "ERROR:Invalid CSV");
        EXPECT_EQ(f.frame.status[StatusPanel::Outcome], "0 FileName Changed.");
        EXPECT_EQ(a->path, "/p/a.jpg");
    }
    EXPECT_EQ(ChangeFilenamesWithCsv(f.parts, f.dir.File("none.csv")), -1);
}

TEST(RenameList, SwapsWorkAndUnknownOrUnterminatedFoldersAreIgnored) {
    FileOpsFixture f;
    Pdata* a = f.Add("/p/a.jpg", 1);
    Pdata* b = f.Add("/p/b.jpg", 2);
    std::string csv = f.dir.Write("list.csv", "Old,Folder,New\r\n"
                                              "a.jpg,/p/,b.jpg\r\n"
                                              "b.jpg,/p/,a.jpg\r\n"
                                              "c.jpg,/p/,d.jpg\r\n"
                                              "a.jpg,/p,z.jpg\r\n");
    EXPECT_EQ(ChangeFilenamesWithCsv(f.parts, csv), 2);
    EXPECT_EQ(a->path, "/p/b.jpg");
    EXPECT_EQ(b->path, "/p/a.jpg");
    EXPECT_EQ(f.frame.status[StatusPanel::Outcome], "2 FileName Changed.");
    EXPECT_EQ(&f.catalogue.Entry(f.catalogue.FindEntry("/p/a.jpg")), b);
}

} // namespace
} // namespace lumidex::test
