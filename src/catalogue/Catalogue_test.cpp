#include "Catalogue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using namespace lumidex;

namespace {
Pdata* Add(Catalogue& c, const std::string& path) {
    auto e = std::make_unique<Pdata>(path);
    Pdata* raw = e.get();
    c.Insert(std::move(e));
    return raw;
}
std::vector<std::string> Paths(const Catalogue& c) {
    std::vector<std::string> out;
    for (int i = 0; i < c.Count(); ++i)
        out.push_back(c.Entry(i).path);
    return out;
}
} // namespace

TEST(Catalogue, OrdersByUpperCaseKeyThenExactBytes) {
    Catalogue c;
    for (const char* p :
         {"/p/b.jpg", "/p/_x.jpg", "/p/A.jpg", "/p/a.jpg", "/P/c.jpg", "/p/a.jpeg", "/p/aa.jpg"})
        Add(c, p);
    // ".JPEG" < ".JPG", the same key is ordered "A" before "a", and '_' follows the letters.
    EXPECT_EQ(Paths(c), (std::vector<std::string>{"/p/a.jpeg", "/p/A.jpg", "/p/a.jpg", "/p/aa.jpg",
                                                  "/p/b.jpg", "/P/c.jpg", "/p/_x.jpg"}));
    EXPECT_EQ(c.Key(5), "/P/C.JPG");
}

TEST(Catalogue, FindEntryIsExactOnLinuxAndReturnsTheFirstOfEqualPaths) {
    Catalogue c;
    Pdata* first = Add(c, "/pics/a.jpg");
    Add(c, "/pics/A.JPG");
    Pdata* second = Add(c, "/pics/a.jpg"); // inserted before the equal one
    Add(c, "/pics/b.jpg");
    int at = c.FindEntry("/pics/a.jpg");
    ASSERT_GE(at, 0);
    EXPECT_EQ(&c.Entry(at), second);
    EXPECT_EQ(&c.Entry(at + 1), first);
    EXPECT_EQ(c.Entry(c.FindEntry("/pics/A.JPG")).path, "/pics/A.JPG");
    EXPECT_EQ(c.FindEntry("/PICS/a.jpg"), -1);
    EXPECT_EQ(c.FindEntry("/pics/c.jpg"), -1);
    EXPECT_EQ(c.FindEntry(""), -1);
    EXPECT_EQ(Catalogue().FindEntry("/x"), -1);
}

TEST(Catalogue, TakeRekeyAndPositionOf) {
    Catalogue c;
    Pdata* a = Add(c, "/p/a.jpg");
    Pdata* b = Add(c, "/p/b.jpg");
    Add(c, "/p/c.jpg");
    EXPECT_EQ(c.PositionOf(b), 1);
    b->path = "/p/z.jpg";
    EXPECT_EQ(c.Rekey(b), 2);
    EXPECT_EQ(c.FindEntry("/p/z.jpg"), 2);
    std::unique_ptr<Pdata> taken = c.Take(0);
    EXPECT_EQ(taken.get(), a);
    EXPECT_EQ(c.Count(), 2);
    EXPECT_EQ(c.PositionOf(a), -1);
    EXPECT_EQ(c.Rekey(a), -1);
}

TEST(Catalogue, RandomInsertionsStaySortedAndFindable) {
    std::mt19937 rng(7);
    const char* names[] = {"a", "B", "b", "ab", "Ab", "_", "a_", "z", "~", "\xc3\xa4"};
    Catalogue c;
    std::vector<std::string> all;
    for (int i = 0; i < 400; ++i) {
        std::string p = std::string("/") + names[rng() % 10] + "/" + names[rng() % 10] +
                        names[rng() % 10] + ".jpg";
        all.push_back(p);
        Add(c, p);
    }
    for (int i = 1; i < c.Count(); ++i) {
        std::string k0 = c.Key(i - 1), k1 = c.Key(i);
        ASSERT_TRUE(k0 < k1 || (k0 == k1 && c.Entry(i - 1).path <= c.Entry(i).path)) << i;
    }
    for (const std::string& p : all) {
        int at = c.FindEntry(p);
        ASSERT_GE(at, 0) << p;
        EXPECT_EQ(c.Entry(at).path, p);
        EXPECT_TRUE(at == 0 || c.Entry(at - 1).path != p);
    }
}

TEST(Catalogue, GenerationChangesWithEveryInsertionAndRemoval) {
    Catalogue c;
    uint64_t g = c.Generation();
    Pdata* a = Add(c, "/p/a.jpg");
    EXPECT_NE(c.Generation(), g);
    g = c.Generation();
    a->path = "/p/b.jpg";
    c.Rekey(a);
    EXPECT_NE(c.Generation(), g);
    g = c.Generation();
    c.FindEntry("/p/b.jpg");
    c.Entry(0);
    EXPECT_EQ(c.Generation(), g);
    c.Touch();
    EXPECT_NE(c.Generation(), g);
}
