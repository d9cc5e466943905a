#include "DataFilter.h"

#include "ListsTestFixture.h"

#include <gtest/gtest.h>

#include <ctime>

namespace lumidex {
namespace {
using test::Fixture;
using test::Strings;

Fixture& Sample(Fixture& f) {
    f.Add("/Pics/a.jpg", 0, 0, 50000);
    f.Add("/Pics/sub/b.jpg", 0, 0, 100000);
    f.Add("/other/c.jpg", 0, 0, 200000);
    f.Add("/other/d.jpg", 0, 0, -1);
    return f;
}

TEST(DataFilter, Criteria) {
    Fixture f;
    Sample(f);
    struct Case {
        const char* what;
        EntryTest test;
        Strings matches;
    };
    const Case cases[] = {
        {"name in the folder part, case ignored",
         NameTest("pics"),
         {"/Pics/a.jpg", "/Pics/sub/b.jpg"}},
        {"folder alone", FolderTest("/pics", false), {"/Pics/a.jpg"}},
        {"folder with subfolders", FolderTest("/pics/", true), {"/Pics/a.jpg", "/Pics/sub/b.jpg"}},
        {"size >=", SizeTest(Relation::AtLeast, 100000), {"/Pics/sub/b.jpg", "/other/c.jpg"}},
        {"size ==", SizeTest(Relation::Equal, 50000), {"/Pics/a.jpg"}},
        {"size <= never matches -1",
         SizeTest(Relation::AtMost, 100000),
         {"/Pics/a.jpg", "/Pics/sub/b.jpg"}},
    };
    for (const Case& c : cases) {
        f.lists.UpdateReferenceList();
        EXPECT_EQ(RunSearch(f.lists, Method::RBNormal, c.test), static_cast<int>(c.matches.size()))
            << c.what;
        Strings got = f.Paths(f.lists.reference);
        std::sort(got.begin(), got.end());
        EXPECT_EQ(got, c.matches) << c.what;
    }
    EXPECT_EQ(f.frame.status[StatusPanel::Outcome], "2 Files match.");
    EXPECT_EQ(RunSearch(f.lists, Method::RBNormal, nullptr), 0) << "cancelled";
    EXPECT_EQ(f.lists.reference.Count(), 2);
}

TEST(DataFilter, CombinationModes) {
    Fixture f;
    Sample(f);
    f.options.Sortby = SortOrder::byPathname;
    f.lists.SelectSortKey();
    EntryTest big = SizeTest(Relation::AtLeast, 100000);
    EXPECT_EQ(RunSearch(f.lists, Method::RBNormal, NameTest("/pics/")), 2);
    EXPECT_EQ(RunSearch(f.lists, Method::RBOr, big), 2) << "counts matches already listed";
    EXPECT_EQ(f.Paths(f.lists.reference),
              (Strings{"/other/c.jpg", "/Pics/a.jpg", "/Pics/sub/b.jpg"}));
    EXPECT_EQ(RunSearch(f.lists, Method::RBNot, big), 1);
    EXPECT_EQ(f.Paths(f.lists.reference), (Strings{"/Pics/a.jpg"}));

    f.lists.UpdateReferenceList();
    f.lists.SetSendToTarget(true);
    EXPECT_TRUE(f.lists.DisableAutoFind);
    EXPECT_EQ(RunSearch(f.lists, Method::RBAnd, big), 2);
    EXPECT_EQ(f.Paths(f.lists.target), (Strings{"/other/c.jpg", "/Pics/sub/b.jpg"}));
    EXPECT_EQ(f.lists.reference.Count(), 4) << "the reference list stays";
    EXPECT_EQ(RunSearch(f.lists, Method::RBNot, big), 2);
    EXPECT_EQ(f.Paths(f.lists.target), (Strings{"/other/d.jpg", "/Pics/a.jpg"}))
        << "keeps -1 sizes";
}

TEST(DataFilter, DatesInLocalDays) {
    Fixture f;
    std::tm noon{};
    noon.tm_year = 2003 - 1900;
    noon.tm_mon = 11;
    noon.tm_mday = 8;
    noon.tm_hour = 12;
    noon.tm_isdst = -1;
    const int64_t t = std::mktime(&noon);
    Pdata* morning = f.Add("/a/m.jpg", 0);
    morning->fileTime = static_cast<int32_t>(t - 11 * 3600);
    Pdata* evening = f.Add("/a/e.jpg", 0);
    evening->fileTime = static_cast<int32_t>(t + 11 * 3600);
    Pdata* next = f.Add("/a/n.jpg", 0);
    next->fileTime = static_cast<int32_t>(t + 13 * 3600);
    EXPECT_EQ(RunSearch(f.lists, Method::RBNormal, DateTest(Relation::Equal, t, true)), 2);
    EXPECT_EQ(RunSearch(f.lists, Method::RBNormal, DateTest(Relation::Equal, t, false)), 0);
    EXPECT_EQ(RunSearch(f.lists, Method::RBNormal, DateTest(Relation::AtLeast, t, false)), 2);
}

TEST(DataFilter, SimpleItemsAndNewPictures) {
    Fixture f;
    Pdata* a = f.Add("/a/a.jpg", 0);
    Pdata* b = f.Add("/a/b.jpg", 0);
    f.Add("/a/c.jpg", 0xFFFF0000u);
    std::vector<Pdata*> fresh{a, b};
    ChooseFilter(f.lists, FilterItem::HasSimilarPics, fresh);
    EXPECT_EQ(f.frame.status[StatusPanel::Outcome], "Search Done 2 Files found.");
    EXPECT_EQ(f.frame.status[StatusPanel::Counts], "2/3");
    f.lists.RemoveEntry(b);
    ChooseFilter(f.lists, FilterItem::NewPics, fresh);
    EXPECT_EQ(f.Paths(f.lists.reference), (Strings{"/a/a.jpg"}));
    EXPECT_EQ(fresh.size(), 1u);
    ChooseFilter(f.lists, FilterItem::Name, fresh);
    EXPECT_EQ(f.lists.reference.Count(), 1) << "a criterion waits for Search";
    Refresh(f.lists, fresh, true);
    EXPECT_EQ(f.lists.dataFilter, FilterItem::All) << "a refresh leaves the criterion";
    EXPECT_EQ(f.lists.reference.Count(), 2);

    ChooseFilter(f.lists, FilterItem::HasSimilarPics, fresh);
    f.options.FindOptionsChanged = true;
    f.frame.status.clear();
    Refresh(f.lists, fresh, true);
    EXPECT_FALSE(f.options.FindOptionsChanged);
    EXPECT_EQ(f.frame.status[StatusPanel::Outcome], "Search Done 0 Files found.");
    EXPECT_EQ(f.frame.status[StatusPanel::Counts], "0/2");
}

} // namespace
} // namespace lumidex
