#include "DataFilter.h"

#include "ListsTestFixture.h"

#include <gtest/gtest.h>

#include "TempDir.h"

#include <cstdlib>
#include <ctime>
#include <sys/time.h>

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

// Switches the local time zone for one test.
class ZoneScope {
public:
    explicit ZoneScope(const char* zone) {
        if (const char* old = std::getenv("TZ")) old_ = old, had_ = true;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~ZoneScope() {
        had_ ? setenv("TZ", old_.c_str(), 1) : unsetenv("TZ");
        tzset();
    }

private:
    std::string old_;
    bool had_ = false;
};

int64_t Local(int year, int month, int day, int hour, int minute) {
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_isdst = -1;
    return std::mktime(&tm);
}

TEST(DataFilter, DateModeOnTheDayTheClocksChange) {
    ZoneScope zone("Europe/Berlin");
    Fixture f;
    // 2021-03-28: the clocks went from 02:00 to 03:00.
    f.Add("/a/early.jpg", 0)->fileTime = static_cast<int32_t>(Local(2021, 3, 28, 1, 30));
    f.Add("/a/late.jpg", 0)->fileTime = static_cast<int32_t>(Local(2021, 3, 28, 23, 30));
    f.Add("/a/before.jpg", 0)->fileTime = static_cast<int32_t>(Local(2021, 3, 27, 23, 30));
    f.Add("/a/after.jpg", 0)->fileTime = static_cast<int32_t>(Local(2021, 3, 29, 0, 30));
    f.Add("/a/midnight.jpg", 0)->fileTime = static_cast<int32_t>(Local(2021, 3, 29, 0, 0));
    const int64_t noon = Local(2021, 3, 28, 12, 0);
    EXPECT_EQ(RunSearch(f.lists, Method::RBNormal, DateTest(Relation::Equal, noon, true)), 2);
    EXPECT_EQ(f.Paths(f.lists.reference), (Strings{"/a/early.jpg", "/a/late.jpg"}));
    EXPECT_EQ(RunSearch(f.lists, Method::RBNormal, DateTest(Relation::AtMost, noon, true)), 3);
    EXPECT_EQ(RunSearch(f.lists, Method::RBNormal, DateTest(Relation::AtLeast, noon, true)), 4);
}

TEST(DataFilter, UpdatedPicsComparesTheTimeAsStored) {
    Fixture f;
    test::TempDir dir;
    auto fileAt = [&](const std::string& name, int64_t seconds) {
        const std::string path = dir.Write(name, "x");
        timeval times[2] = {{static_cast<time_t>(seconds), 0}, {static_cast<time_t>(seconds), 0}};
        EXPECT_EQ(utimes(path.c_str(), times), 0);
        return path;
    };
    f.Add(fileAt("same.jpg", 1000000), 0)->fileTime = 1000000;
    f.Add(fileAt("touched.jpg", 2000000), 0)->fileTime = 1000000;
    // Before 1970 and after 2038 the entry holds the nearest 32-bit time.
    f.Add(fileAt("old.jpg", -86400), 0)->fileTime = 0;
    f.Add(fileAt("far.jpg", int64_t{1} << 33), 0)->fileTime = 0x7FFFFFFF;
    f.Add(fileAt("unmeasured.jpg", 2000000), 0)->fileTime = -1;
    f.Add(dir.File("gone.jpg"), 0)->fileTime = 5;
    EXPECT_EQ(RunSearch(f.lists, Method::RBNormal, UpdatedTest()), 1);
    EXPECT_EQ(f.Paths(f.lists.reference), (Strings{dir.File("touched.jpg")}));
}

TEST(DataFilter, SizeField) {
    const std::pair<const char*, int32_t> cases[] = {{"100000", 100000},
                                                     {"-1", -1},
                                                     {"+7", 7},
                                                     {"", 0},
                                                     {"12ab", 0},
                                                     {"2147483647", 2147483647},
                                                     {"2147483648", 0},
                                                     {"-2147483648", INT32_MIN},
                                                     {"99999999999999999999", 0},
                                                     {" 5", 0},
                                                     {"-", 0}};
    for (const auto& [field, value] : cases)
        EXPECT_EQ(SizeFieldValue(field), value) << field;
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
    f.frame.statusHistory.clear();
    Refresh(f.lists, fresh, true);
    EXPECT_FALSE(f.options.FindOptionsChanged);
    // Refresh runs it as the Search button does, which reports the rows as matches.
    auto outcomes = [&] {
        Strings out;
        for (const auto& [panel, text] : f.frame.statusHistory)
            if (panel == StatusPanel::Outcome && !text.empty()) out.push_back(text);
        return out;
    };
    EXPECT_EQ(outcomes(),
              (Strings{"Searching...", "Search Done 0 Files found.", "0 Files match."}));
    EXPECT_EQ(f.frame.status[StatusPanel::Counts], "0/2");

    ChooseFilter(f.lists, FilterItem::All, fresh);
    f.frame.statusHistory.clear();
    Refresh(f.lists, fresh, true);
    EXPECT_EQ(outcomes(), (Strings{"2 Files match."}));
    f.frame.statusHistory.clear();
    Refresh(f.lists, fresh, false);
    EXPECT_EQ(outcomes(), Strings{}) << "another command's refresh only re-lists";
}

} // namespace
} // namespace lumidex
