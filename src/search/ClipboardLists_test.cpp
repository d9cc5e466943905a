#include "ClipboardLists.h"

#include "Format.h"
#include "ListsTestFixture.h"
#include "PathOrder.h"
#include "Paths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace lumidex {
namespace {
using test::Fixture;
using test::Strings;

TEST(ClipboardLists, LinesAndTheirPaths) {
    Pdata e("/pics/a.jpg");
    e.fileSize = 12345;
    e.fileTime = 1070914325;
    std::string date = FormatDateLine(e.fileTime);
    date.pop_back();
    EXPECT_EQ(ListLine(e), "/pics/a.jpg (12345 bytes," + date + ")");
    Pdata q("/my pics/a.jpg");
    q.fileSize = 1;
    q.fileTime = 1070914325;
    EXPECT_EQ(ListLine(q), "\"/my pics/a.jpg\" (1 bytes," + date + ")");
    EXPECT_EQ(PairLine(q), "  +---/my pics/a.jpg");
    for (const char* odd : {"/a,b.jpg", "/say \"hi\".jpg", "/tab\there.jpg", "\"/q.jpg"}) {
        Pdata o(odd);
        EXPECT_EQ(PathOfLine(ListLine(o)), odd) << "reads back whole";
    }
    Pdata never("/x.jpg");
    EXPECT_EQ(ListLine(never), "/x.jpg (-1 bytes,unknown time)");

    EXPECT_EQ(SplitLines("a\r\nb\rc\nd"), (Strings{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitLines("a\r\n\r\n"), (Strings{"a", ""}));
    using namespace std::string_literals;
    EXPECT_EQ(SplitLines("a\r\nb\0c\r\nd"s), (Strings{"a", "b"})) << "the text ends at a NUL";
    struct Case {
        const char* line;
        const char* path;
    };
    const Case cases[] = {{"D:\\x.jpg,foo", "D:\\x.jpg"},
                          {"/a/b.jpg (12 bytes,Mon)", "/a/b.jpg"},
                          {"\"/my pics/a.jpg\" (1 bytes,x)", "/my pics/a.jpg"},
                          {"\"say \"\"hi\"\".jpg\"", "say \"hi\".jpg"},
                          {"  +---/a/b.jpg", ""},
                          {"", ""},
                          {",x", ""},
                          {"\t/a/t.jpg x", "/a/t.jpg"},
                          {"\"/a/open quote", "/a/open quote"}};
    for (const Case& c : cases)
        EXPECT_EQ(PathOfLine(c.line), c.path) << c.line;
    EXPECT_EQ(PathOfLine(std::string_view("\"/a\0b\"", 6)), "/a") << "no NUL in a path";
}

TEST(ClipboardLists, CopiedListsReadBack) {
    Fixture f;
    f.Add("/a/p.jpg", 0);
    f.Add("/my pics/q.jpg", 0);
    f.Add("/a/r.jpg", 0xFFFF0000u);
    f.ListUp();
    ASSERT_EQ(f.Paths(f.lists.reference), (Strings{"/a/p.jpg", "/my pics/q.jpg"}));
    const std::string pairs = CopyPairListText(f.lists);
    EXPECT_NE(pairs.find("\r\n  +---/my pics/q.jpg\r\n"), std::string::npos);
    EXPECT_EQ(pairs.find("  +---/a/r.jpg"), std::string::npos);

    f.lists.UpdateReferenceList(); // all three
    SearchListFromText(f.lists, pairs);
    EXPECT_EQ(f.Paths(f.lists.reference), (Strings{"/a/p.jpg", "/my pics/q.jpg"}));
    SearchListFromText(f.lists, CopyListText(f.lists));
    EXPECT_EQ(f.Paths(f.lists.reference), (Strings{"/a/p.jpg", "/my pics/q.jpg"}));
    SearchListFromText(f.lists, " \r\n\r\n");
    EXPECT_TRUE(f.lists.reference.Empty());
    EXPECT_EQ(f.frame.mainProgressMax, 0) << "a short run shows no progress bar";
}

TEST(ClipboardLists, ProgressBarOnlyForLongRuns) {
    Fixture f;
    f.Add("/a/p.jpg", 0);
    f.Add("/a/q.jpg", 0);
    std::string text;
    for (int i = 0; i < 32769; ++i) // 32769 lines x 2 entries > 65536
        text += i == 40 ? "/a/q.jpg\n" : "/none.jpg\n";
    SearchListFromText(f.lists, text);
    EXPECT_EQ(f.Paths(f.lists.reference), (Strings{"/a/q.jpg"}));
    EXPECT_EQ(f.frame.mainProgressMax, 32769);
    EXPECT_EQ(f.frame.mainProgressPosition, 32768) << "unfound lines move it every 16";
    EXPECT_FALSE(f.frame.mainProgressVisible);
}

TEST(ClipboardLists, ImportMakesEntriesWithoutSignatures) {
    Fixture f;
    f.Add("/a/p.jpg", 0xFFFFFFFEu, 0xFFFFFFFFu);
    EXPECT_EQ(
        ImportListFromText(f.lists, "/a/p.jpg\r\n/b/new.jpg\r\n/b/new.jpg\r\n  +---/c/x.jpg\r\n"),
        1);
    EXPECT_EQ(f.catalogue.Count(), 2);
    EXPECT_TRUE(f.state.DataChanged);
    const Pdata& made = f.catalogue.Entry(f.catalogue.FindEntry("/b/new.jpg"));
    EXPECT_EQ(made.key, kNoSignature);
    EXPECT_EQ(made.fileSize, -1);
    EXPECT_EQ(f.frame.status[StatusPanel::Counts], "1/2");
    // No signature, no similar pictures, even against an almost white one.
    f.options.SetTrackBar3(4);
    f.ListUp();
    EXPECT_TRUE(f.lists.reference.Empty());

    f.state.DataChanged = false;
    EXPECT_EQ(ImportListFromText(f.lists, ""), 0);
    EXPECT_FALSE(f.state.DataChanged);

    // Relative paths and paths too long to be saved are skipped and reported.
    int skipped = -1;
    const std::string text = "relative/x.jpg\n/ok/y.jpg\n/" +
                             std::string(kMaxImportPathLength, 'l') + "\n" + "/" +
                             std::string(kMaxImportPathLength - 1, 'k') + "\n";
    EXPECT_EQ(ImportListFromText(f.lists, text, &skipped), 2);
    EXPECT_EQ(skipped, 2);
    EXPECT_EQ(f.frame.logged.back(),
              "2 line(s) skipped: not an absolute path or too long (first: line 1).");
}

TEST(PathOrder, SameOrderAsTheCatalogue) {
    // Case-only differences, prefixes, keys equal beyond a 16-byte window, long shared
    // folders, duplicates, and bytes above 'z'.
    std::vector<std::string> paths = {"/a/B.jpg",  "/a/b.jpg", "/a/b.jpg",        "/a/b",
                                      "/a/b.jpgx", "/A/c.jpg", "/\xc3\xa9/x.jpg", "/a/_.jpg",
                                      "/a/[.jpg"};
    const std::string deep = "/home/someone/Pictures/2019/holiday/";
    std::mt19937 random(5);
    for (int i = 0; i < 300; ++i) {
        std::string name;
        for (int k = 0, n = 1 + static_cast<int>(random() % 40); k < n; ++k)
            name += "aAbB_1./"[random() % 8];
        paths.push_back((i % 3 ? deep : std::string("/x/")) + name);
    }
    std::vector<std::string_view> views(paths.begin(), paths.end());
    std::vector<uint32_t> expected(paths.size());
    for (uint32_t i = 0; i < expected.size(); ++i)
        expected[i] = i;
    std::stable_sort(expected.begin(), expected.end(), [&](uint32_t a, uint32_t b) {
        const int u = paths::CompareUpper(paths[a], paths[b]);
        return u != 0 ? u < 0 : paths[a] < paths[b];
    });
    EXPECT_EQ(CatalogueOrder(views), expected);
    EXPECT_TRUE(CatalogueOrder({}).empty());
}

// Keys that share long prefixes, differ in case only, repeat, end inside a 16-byte window or
// hold a NUL byte.
std::vector<std::string> OddKeys(std::mt19937& random, int n) {
    using namespace std::string_literals;
    std::vector<std::string> keys = {"a\0b"s, "a"s, "A\0"s, ""};
    const std::string shared = "IMG_2019_holiday_";
    while (static_cast<int>(keys.size()) < n) {
        std::string key = random() % 2 ? shared : std::string();
        for (int k = 0, len = static_cast<int>(random() % 24); k < len; ++k)
            key += "aA_b1"[random() % 5];
        keys.push_back(key);
    }
    return keys;
}

TEST(EntryLists, BatchesAreInsertedAsIfAddedOneByOne) {
    std::mt19937 random(11);
    const std::vector<std::string> keys = OddKeys(random, 400);
    std::vector<std::unique_ptr<Pdata>> entries;
    for (size_t i = 0; i < keys.size(); ++i)
        entries.push_back(std::make_unique<Pdata>("/e" + std::to_string(i)));
    auto entry = [&](size_t i) { return entries[i % 300].get(); }; // some entries twice
    for (bool unique : {false, true}) {
        for (bool sorted : {false, true}) {
            std::vector<size_t> added(keys.size()); // which key is added n-th
            for (size_t i = 0; i < added.size(); ++i)
                added[i] = i;
            if (sorted)
                std::stable_sort(added.begin(), added.end(), [&](size_t a, size_t b) {
                    return paths::CompareUpper(keys[a], keys[b]) < 0;
                });
            else
                std::shuffle(added.begin(), added.end(), random);
            EntryList single(unique), batch(unique), ranked(unique);
            for (EntryList* list : {&single, &batch, &ranked})
                for (size_t i = 0; i < 40; ++i) // rows already there
                    list->Add(keys[i * 7], entry(i * 7));
            std::vector<ListRow> inOrder;
            for (size_t k : added) {
                single.Add(keys[k], entry(k));
                inOrder.push_back(ListRow{keys[k], entry(k)});
            }
            batch.AddMany(inOrder);
            // The same rows in another order, each with its rank of adding.
            std::vector<ListRow> rows;
            std::vector<uint32_t> ranks;
            for (size_t n = 0; n < added.size(); ++n) {
                const size_t at = (n * 37) % added.size();
                rows.push_back(inOrder[at]);
                ranks.push_back(static_cast<uint32_t>(at * 3));
            }
            ranked.AddMany(rows, ranks);
            ASSERT_EQ(batch.Count(), single.Count());
            ASSERT_EQ(ranked.Count(), single.Count());
            for (int i = 0; i < single.Count(); ++i) {
                EXPECT_EQ(batch.EntryAt(i), single.EntryAt(i)) << unique << sorted << " row " << i;
                EXPECT_EQ(batch.At(i).key, single.At(i).key);
                EXPECT_EQ(ranked.EntryAt(i), single.EntryAt(i)) << unique << sorted << " row " << i;
                EXPECT_EQ(ranked.At(i).key, single.At(i).key);
            }
        }
    }
}

TEST(ClipboardLists, LongListsStandAsIfAddedLineByLine) {
    // A long list in any order: the same entries and list order as making each line's entry
    // and adding its row in turn.
    std::mt19937 random(3);
    std::vector<std::string> lines = {"/pics/old.jpg", "\"/pics/with blank.jpg\" (1 bytes,x)",
                                      "/pics/Case.jpg", "/pics/case.jpg", "/pics/CASE.jpg"};
    for (int i = 0; i < 500; ++i) {
        const int folder = static_cast<int>(random() % 30);
        const int name = static_cast<int>(random() % 300);
        lines.push_back("/pics/" + std::to_string(folder) + "/IMG_" + std::to_string(name) +
                        (random() % 2 ? ".jpg" : ".JPG"));
    }
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    for (SortOrder order : {SortOrder::byName, SortOrder::byPathname}) {
        Fixture g;
        g.Add("/pics/old.jpg", 1);
        g.options.Sortby = order;
        g.lists.SelectSortKey();
        const int made = ImportListFromText(g.lists, text);

        EntryList expected;
        std::vector<std::string> seen = {"/pics/old.jpg"};
        for (const std::string& line : lines) {
            const std::string path = PathOfLine(line);
            if (std::find(seen.begin(), seen.end(), path) != seen.end()) continue;
            seen.push_back(path);
            const int at = g.catalogue.FindEntry(path);
            ASSERT_GE(at, 0) << path;
            expected.Add(g.lists.SortKeyOf(g.catalogue.Entry(at)), &g.catalogue.Entry(at));
        }
        EXPECT_EQ(made, expected.Count());
        EXPECT_EQ(g.catalogue.Count(), expected.Count() + 1);
        ASSERT_EQ(g.lists.reference.Count(), expected.Count());
        for (int i = 0; i < expected.Count(); ++i)
            EXPECT_EQ(g.lists.reference.EntryAt(i), expected.EntryAt(i)) << i;
        for (int i = 1; i < g.catalogue.Count(); ++i) {
            const std::string& a = g.catalogue.Entry(i - 1).path;
            const std::string& b = g.catalogue.Entry(i).path;
            const int u = paths::CompareUpper(a, b);
            EXPECT_TRUE(u < 0 || (u == 0 && a < b)) << a << " " << b;
        }

        // Searching for the same lines lists a row per line that names an entry, repeats
        // included, in the order of adding them one by one.
        SearchListFromText(g.lists, text + "/pics/none.jpg\r\n" + lines[7] + "\r\n");
        EntryList searched;
        for (const std::string& line : lines) {
            const int at = g.catalogue.FindEntry(PathOfLine(line));
            searched.Add(g.lists.SortKeyOf(g.catalogue.Entry(at)), &g.catalogue.Entry(at));
        }
        const int again = g.catalogue.FindEntry(PathOfLine(lines[7]));
        searched.Add(g.lists.SortKeyOf(g.catalogue.Entry(again)), &g.catalogue.Entry(again));
        ASSERT_EQ(g.lists.reference.Count(), searched.Count());
        for (int i = 0; i < searched.Count(); ++i)
            EXPECT_EQ(g.lists.reference.EntryAt(i), searched.EntryAt(i)) << i;
    }
}

} // namespace
} // namespace lumidex
