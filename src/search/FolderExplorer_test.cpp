#include "FolderExplorer.h"
#include "FolderNote.h"

#include "ListsTestFixture.h"
#include "TempDir.h"

#include <QAbstractItemModelTester>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace lumidex {
namespace {
using test::Fixture;

TEST(FolderTree, BuiltFromTheFolderListWithExactNames) {
    Fixture f;
    Pdata* a = f.Add("/Pics/a/x.jpg", 0);
    Pdata* b = f.Add("/pics/b.jpg", 0);
    Pdata* z = f.Add("/Pics/Zed/y.jpg", 0);
    FolderList list{
        {"/PICS/A/X.JPG", a}, {"/PICS/A/", a}, {"/PICS/", b}, {"/PICS/ZED/", z}, {"/PICS/", b}};
    FolderTree tree;
    tree.Rebuild(list);
    FolderTreeModel model(tree);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    ASSERT_EQ(model.rowCount(), 1);
    const QModelIndex root = model.index(0, 0);
    EXPECT_EQ(model.data(root).toString(), "/");
    ASSERT_EQ(model.rowCount(root), 2) << "Pics and pics are two folders";
    EXPECT_EQ(model.data(model.index(0, 0, root)).toString(), "Pics");
    const int pics = tree.Find("/Pics/");
    ASSERT_GE(pics, 0);
    EXPECT_EQ(tree.NodePath(tree.At(pics).children[1]), "/Pics/Zed");
    EXPECT_GE(tree.Find("/Pics/a"), 0);

    // The next single path after a rebuild counts; the same folder again is ignored.
    int first = -1, again = -1, made = -1;
    model.Reset([&] {
        first = tree.AddPath("/Pics/a/q.jpg");
        again = tree.AddPath("/Pics/a/r.jpg");
        made = tree.AddPath("/Pics/B/r.jpg");
    });
    EXPECT_GE(first, 0);
    EXPECT_EQ(again, -1);
    EXPECT_EQ(tree.NodePath(made), "/Pics/B");
    EXPECT_EQ(model.data(model.index(1, 0, model.IndexOf(pics))).toString(), "B")
        << "upper-case order: a, B, Zed";
}

TEST(FolderExplorer, MoveToAndSearchesUseExactFolders) {
    Fixture f;
    f.Add("/p/sub/deep.jpg", 0);
    f.Add("/p/x.jpg", 0);
    f.Add("/P/y.jpg", 0);
    f.Add("/pp/z.jpg", 0);
    f.lists.UpdateReferenceList();
    std::string status;
    EXPECT_EQ(MoveToFolder(f.lists, "/p", status),
              f.lists.reference.Find(&f.catalogue.Entry(f.catalogue.FindEntry("/p/x.jpg"))));
    EXPECT_EQ(f.lists.currentReference->path, "/p/x.jpg") << "not the sub-folder's picture";
    EXPECT_EQ(MoveToFolder(f.lists, "/q", status), -1);
    EXPECT_EQ(status, "Not found. Select 'All' to displaey all data.");

    EXPECT_EQ(SearchFolder(f.lists, "/p", false, status), 1);
    EXPECT_EQ(status, "1 Files match.");
    EXPECT_EQ(SearchFolder(f.lists, "/p", true, status), 2) << "a prefix, not /pp or /P";
    EXPECT_TRUE(InFolderTree("/p/sub/deep.jpg", "/p/"));
    EXPECT_FALSE(InFolderTree("/x/p/a.jpg", "/p"));
}

TEST(FolderNote, ReadWriteDeleteAndUnreadable) {
    test::TempDir dir;
    const std::string folder = dir.path();
    FolderNoteField note;
    ASSERT_TRUE(note.Select(folder));
    EXPECT_TRUE(note.enabled());
    EXPECT_EQ(note.text(), "");
    note.Edit("first\nsecond");
    ASSERT_TRUE(note.Select(folder)) << "saved before the selection moves";
    EXPECT_EQ(note.text(), "first\nsecond");
    std::ifstream in(std::filesystem::path(folder) / kFolderNoteName, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes, "first\r\nsecond\r\n");
    note.Edit("");
    ASSERT_TRUE(note.Deselect());
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(folder) / kFolderNoteName));

    // Too large to be a note: the field stays disabled rather than holding another's text.
    {
        std::ofstream big(std::filesystem::path(folder) / kFolderNoteName, std::ios::binary);
        big << std::string(kMaxFolderNoteBytes + 1, 'x');
    }
    ASSERT_TRUE(note.Select(folder));
    EXPECT_FALSE(note.enabled());
    note.Edit("lost");
    EXPECT_FALSE(note.changed());
    EXPECT_EQ(ParseFolderNote("a\r\nb\rc\n").value(), (std::vector<std::string>{"a", "b", "c"}));
}

} // namespace
} // namespace lumidex
