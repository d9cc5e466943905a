#include "MemoAssign.h"

#include "ListsTestFixture.h"

#include <gtest/gtest.h>

namespace lumidex {
namespace {
using test::Fixture;

TEST(MemoAssign, SetResetAllSetAndTheQuestion) {
    Fixture f;
    DataManage memos;
    memos.AddGroup("G", 100);
    const int m = memos.PutMemo("m", 100);
    Pdata* a = f.Add("/p/a.jpg", 0);
    Pdata* b = f.Add("/p/b.jpg", 1);
    EXPECT_TRUE(SetMemo(f.state, *a, m));
    EXPECT_TRUE(f.state.DataChanged);
    f.state.DataChanged = false;
    EXPECT_FALSE(SetMemo(f.state, *a, m));
    EXPECT_FALSE(f.state.DataChanged) << "nothing changed";
    EXPECT_TRUE(ToggleMemo(f.state, *a, m));
    EXPECT_FALSE(a->HasMemo(m));

    // Search results only: no question.
    f.lists.AddRow(f.lists.reference, b);
    EXPECT_EQ(SetMemoOnReferenceList(f.lists, memos, m, true), 1);
    EXPECT_TRUE(f.frame.questions.empty());
    // Every entry listed: asked, and No stops.
    f.lists.AddRow(f.lists.reference, a);
    f.frame.answers = {Answer::No};
    EXPECT_EQ(SetMemoOnReferenceList(f.lists, memos, m, true), -1);
    EXPECT_EQ(f.frame.questions.at(0).text, "Set to ALL Data?");
    EXPECT_EQ(f.frame.questions.at(0).caption, "Cinfirm");
    EXPECT_FALSE(a->HasMemo(m));
    f.frame.answers = {Answer::Yes};
    EXPECT_EQ(SetMemoOnReferenceList(f.lists, memos, m, false), 1);
    EXPECT_FALSE(b->HasMemo(m));
}

TEST(MemoAssign, CopyPasteSynchronizeAndMenus) {
    Fixture f;
    DataManage memos;
    memos.AddGroup("G", 100);
    memos.AddGroup("Empty", 101);
    for (const char* t : {"m0", "m1", "m2"})
        memos.PutMemo(t, 100);
    Pdata* a = f.Add("/p/a.jpg", 0);
    Pdata* b = f.Add("/p/b.jpg", 1);
    a->AddMemo(0);
    a->AddMemo(2);
    a->AddMemo(9); // out of range (a damaged file)
    b->AddMemo(1);
    CopiedMemos copied;
    EXPECT_FALSE(copied.Paste(f.state, memos, *b, true)) << "nothing copied yet";
    copied.Copy(*a);
    memos.EraseMemoAt(2); // blank since the copy
    EXPECT_TRUE(copied.Paste(f.state, memos, *b, true));
    EXPECT_EQ(b->Memos(), std::vector<int32_t>{0}) << "replace leaves only the copied ones";
    copied.Clear();
    EXPECT_FALSE(copied.HasCopy());

    b->AddMemo(1);
    EXPECT_TRUE(SynchronizeMemo(f.state, *a, *b));
    EXPECT_TRUE(a->HasMemo(1));
    EXPECT_TRUE(b->HasMemo(2));
    EXPECT_FALSE(SynchronizeMemo(f.state, *a, *b));

    auto menu = MemoMenu(memos, b);
    ASSERT_EQ(menu.size(), 1u) << "a group without memos has no submenu";
    ASSERT_EQ(menu[0].items.size(), 2u);
    EXPECT_EQ(menu[0].items[1].text, "m1");
    EXPECT_TRUE(menu[0].items[1].checked);
}

} // namespace
} // namespace lumidex
