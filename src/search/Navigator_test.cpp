#include "Navigator.h"

#include "ListsTestFixture.h"

#include <gtest/gtest.h>

namespace lumidex {
namespace {
using test::Fixture;

TEST(Navigator, JumpsOfEachPage) {
    Fixture f;
    Pdata* a = f.Add("/p/a.JPG", 0);
    Pdata* b = f.Add("/p/b.png", 0x12345678u);
    Pdata* c = f.Add("/p/c.jpg", 0);
    Pdata* d = f.Add("/p/d.png", 0x0F0F0F0Fu);
    f.lists.UpdateReferenceList(); // all four
    f.lists.SelectReference(0);
    std::string status;
    NavigatorQuery q;

    EXPECT_TRUE(NavigatorJump(f.lists, NavigatorPage::HasSimilar, +1, q, status));
    EXPECT_EQ(f.lists.currentReference, c);
    // Below c nobody has a similar picture, whatever ShowreferenceinTarget says.
    f.options.ShowreferenceinTarget = true;
    EXPECT_FALSE(NavigatorJump(f.lists, NavigatorPage::HasSimilar, +1, q, status));
    EXPECT_EQ(status, "No match");
    EXPECT_EQ(f.lists.currentReference, c);

    q.name = "jpg";
    EXPECT_TRUE(NavigatorJump(f.lists, NavigatorPage::Name, -1, q, status));
    EXPECT_EQ(f.lists.currentReference, a) << ".JPG and .jpg";
    EXPECT_EQ(status, "");

    q.memo = 3;
    d->AddMemo(3);
    EXPECT_TRUE(NavigatorJump(f.lists, NavigatorPage::Memo, +1, q, status));
    EXPECT_EQ(f.lists.currentReference, d);

    std::vector<Pdata*> added{b};
    q.newPictures = &added;
    EXPECT_TRUE(NavigatorJump(f.lists, NavigatorPage::NewAdd, -1, q, status));
    EXPECT_EQ(f.lists.currentReference, b);
    EXPECT_TRUE(NavigatorJump(f.lists, NavigatorPage::Normal, +1, q, status));
    EXPECT_EQ(f.lists.currentReference, c);

    EXPECT_FALSE(NavigatorPageReady(NavigatorPage::Name, NavigatorQuery{}));
    f.lists.reference.ClearSelection();
    EXPECT_FALSE(NavigatorJump(f.lists, NavigatorPage::Normal, +1, q, status));
}

TEST(Bookmarks, SetGotoListAndForget) {
    Fixture f;
    Pdata* a = f.Add("/p/a.jpg", 0);
    Pdata* b = f.Add("/q/b.jpg", 1);
    Bookmarks marks;
    EXPECT_TRUE(marks.Add(a));
    EXPECT_FALSE(marks.Add(a));
    EXPECT_TRUE(marks.Add(b));
    auto items = marks.MenuItems(false);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].first, "b.jpg") << "the last set stands first";
    EXPECT_EQ(marks.MenuItems(true)[1].first, "/p/a.jpg");

    marks.Goto(f.lists, b); // not listed: added and selected
    EXPECT_EQ(f.lists.currentReference, b);
    marks.ListUp(f.lists);
    EXPECT_EQ(f.Paths(f.lists.target), (test::Strings{"/p/a.jpg", "/q/b.jpg"}));
    marks.Forget(a);
    EXPECT_EQ(marks.Entries(), std::vector<Pdata*>{b});
}

} // namespace
} // namespace lumidex
