#include "Catalogue.h"

#include "Paths.h"

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

// The catalogue against a plain sorted vector, through runs of rising insertions (a merged
// database), random insertions, removals and re-keying.
TEST(Catalogue, KeepsThePlainSortedOrderThroughEveryKindOfChange) {
    auto less = [](const Pdata* a, const std::string& path) {
        int c = paths::CompareUpper(a->path, path);
        return c != 0 ? c < 0 : a->path < path;
    };
    std::mt19937 rng(11);
    Catalogue c;
    std::vector<Pdata*> model;
    auto insert = [&](const std::string& path) {
        Pdata* raw = Add(c, path);
        model.insert(std::lower_bound(model.begin(), model.end(), path, less), raw);
    };
    auto name = [&] {
        static const char* parts[] = {"a", "B", "b", "_", "z", "Q", "q0", "9"};
        return std::string("/") + parts[rng() % 8] + "/" + parts[rng() % 8] + parts[rng() % 8] +
               std::to_string(rng() % 50) + ".jpg";
    };
    for (int round = 0; round < 60; ++round) {
        switch (rng() % 4) {
        case 0: { // a sorted run, as a merged database brings it
            std::vector<std::string> run;
            for (int i = 0; i < 40; ++i)
                run.push_back(name());
            std::sort(run.begin(), run.end(), [](const std::string& a, const std::string& b) {
                int k = paths::CompareUpper(a, b);
                return k != 0 ? k < 0 : a < b;
            });
            for (const std::string& p : run)
                insert(p);
            break;
        }
        case 1:
            for (int i = 0; i < 10; ++i)
                insert(name());
            break;
        case 2:
            for (int i = 0; i < 8 && c.Count() > 0; ++i) {
                int at = static_cast<int>(rng() % static_cast<unsigned>(c.Count()));
                std::unique_ptr<Pdata> taken = c.Take(at);
                ASSERT_EQ(taken.get(), model[static_cast<size_t>(at)]);
                model.erase(model.begin() + at);
            }
            break;
        case 3:
            if (c.Count() > 0) {
                Pdata* e = &c.Entry(static_cast<int>(rng() % static_cast<unsigned>(c.Count())));
                model.erase(std::find(model.begin(), model.end(), e));
                e->path = name();
                c.Rekey(e);
                model.insert(std::lower_bound(model.begin(), model.end(), e->path, less), e);
            }
            break;
        }
        ASSERT_EQ(c.Count(), static_cast<int>(model.size()));
        for (int i = 0; i < c.Count(); ++i)
            ASSERT_EQ(&c.Entry(i), model[static_cast<size_t>(i)])
                << "round " << round << " at " << i;
        for (int i = 0; i < c.Count(); i += 7) {
            ASSERT_EQ(c.PositionOf(model[static_cast<size_t>(i)]), i);
            int found = c.FindEntry(model[static_cast<size_t>(i)]->path);
            ASSERT_GE(found, 0);
            ASSERT_EQ(c.Entry(found).path, model[static_cast<size_t>(i)]->path);
            ASSERT_TRUE(found == 0 || c.Entry(found - 1).path != c.Entry(found).path);
        }
    }
    c.Clear();
    EXPECT_EQ(c.Count(), 0);
    EXPECT_EQ(c.FindEntry("/a/a.jpg"), -1);
}
