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

} // namespace
} // namespace lumidex
