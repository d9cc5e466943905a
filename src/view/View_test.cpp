#include "DataManage.h"
#include "Pdata.h"
#include "PreviewCache.h"
#include "PreviewPane.h"
#include "ViewerLayout.h"

#include <gtest/gtest.h>

namespace lumidex {
namespace {

QImage Picture(int w, int h) {
    QImage image(w, h, QImage::Format_RGB888);
    image.fill(Qt::gray);
    return image;
}

TEST(PreviewAreaGeometry, FitsTheAreaAndNeverVanishes) {
    struct Case {
        int w, h;
        bool keep;
        AreaGeometry expected;
    } cases[] = {
        {640, 480, true, {8, 21, 105, 78}},
        {480, 640, true, {21, 8, 78, 105}},
        {300, 300, true, {8, 8, 105, 105}},
        {10000, 16, true, {8, 60, 105, 1}}, // 16 * 105 / 10000 would be 0
        {16, 10000, true, {60, 8, 1, 105}},
        {640, 480, false, {9, 8, 105, 105}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PreviewAreaGeometry(c.w, c.h, c.keep), c.expected) << c.w << "x" << c.h;
}

TEST(PaneHint, PathSizeAndMemosAsPlainLines) {
    DataManage memos;
    int g = memos.AddGroup("G", DataManage::kFirstGroupId);
    (void)g;
    int first = memos.PutMemo("<b>bold</b>", DataManage::kFirstGroupId);
    int second = memos.PutMemo("two", DataManage::kFirstGroupId);
    Pdata entry("/p/a:(1).jpg");
    entry.AddMemo(first);
    entry.AddMemo(second);
    EXPECT_EQ(PaneHint(entry, 640, 480, 9999, memos, true, false),
              "/p/a:(1).jpg:(640x480,9999 bytes)\n<b>bold</b>\ntwo");
    EXPECT_EQ(PaneHint(entry, 640, 480, 9999, memos, false, false),
              "/p/a:(1).jpg:(640x480,9999 bytes)");

    // An unknown number ends the memo lines; the reference pane passes over -1.
    Pdata odd("/p/b.jpg");
    odd.AddMemo(-1);
    odd.AddMemo(first);
    odd.AddMemo(77);
    odd.AddMemo(second);
    EXPECT_EQ(PaneHint(odd, 1, 2, 3, memos, true, false), "/p/b.jpg:(1x2,3 bytes)\n???");
    EXPECT_EQ(PaneHint(odd, 1, 2, 3, memos, true, true),
              "/p/b.jpg:(1x2,3 bytes)\n<b>bold</b>\n???");
}

TEST(PreviewCache, FirstInFirstOutWithoutRenewal) {
    PreviewCache cache;
    auto key = [](int i) { return PreviewKey{"/p/" + std::to_string(i) + ".jpg", 1000, 5}; };
    for (int i = 0; i < 20; ++i)
        cache.Add(Picture(64, 48), 64, 48, key(i), 20);
    // Showing the first again neither renews it nor adds it twice.
    cache.Add(Picture(64, 48), 64, 48, key(0), 20);
    EXPECT_EQ(cache.Count(), 20);
    cache.Add(Picture(64, 48), 64, 48, key(20), 20);
    EXPECT_EQ(cache.Count(), 20);
    EXPECT_EQ(cache.Find(key(0)), -1);
    EXPECT_EQ(cache.Find(key(1)), 0);
    EXPECT_EQ(cache.Find(key(20)), 19);
    // A smaller limit evicts the oldest until the new one fits.
    cache.Add(Picture(64, 48), 64, 48, key(21), 5);
    EXPECT_EQ(cache.Count(), 5);
    EXPECT_EQ(cache.Find(key(17)), 0);
}

TEST(PreviewCache, KeyIsExactPathSizeAndTime) {
    PreviewCache cache;
    cache.Add(Picture(700, 1), 70000, 1, PreviewKey{"/p/x.jpg", 2000, 7}, 20);
    ASSERT_EQ(cache.Find({"/p/x.jpg", 2000, 7}), 0);
    // Wider than 65535, and decoded reduced: the full size is kept whole.
    EXPECT_EQ(cache.At(0).fullWidth, 70000);
    EXPECT_EQ(cache.At(0).fullHeight, 1);
    EXPECT_EQ(cache.At(0).picture.size(), QSize(105, 105));
    EXPECT_EQ(cache.Find({"/p/X.jpg", 2000, 7}), -1); // another file on Linux
    EXPECT_EQ(cache.Find({"/p/x.jpg", 2001, 7}), -1); // the file changed
    EXPECT_EQ(cache.Find({"/p/x.jpg", 2000, 8}), -1);
    cache.Add(Picture(8, 8), 8, 8, PreviewKey{"/p/x.jpg", 2001, 8}, 20);
    cache.Add(Picture(8, 8), 8, 8, PreviewKey{"/p/y.jpg", 2001, 8}, 20);
    cache.DropPath("/p/x.jpg");
    EXPECT_EQ(cache.Count(), 1);
    cache.Delete(5); // out of range: nothing
    cache.Delete(0);
    EXPECT_EQ(cache.Count(), 0);
}

TEST(PreviewCache, CountTextRules) {
    struct Case {
        const char* text;
        int limit;
        const char* corrected;
    } cases[] = {{"20", 20, "20"},  {" 3 ", 3, " 3 "},
                 {"0", 0, "0"},     {"", 0, ""},
                 {"abc", 0, "abc"}, {"-4", 0, "20"},
                 {"12x", 0, "12x"}, {"999999999999", 100000, "999999999999"}};
    for (const Case& c : cases) {
        EXPECT_EQ(PreviewCache::LimitFromText(c.text), c.limit) << c.text;
        EXPECT_EQ(PreviewCache::CorrectedCountText(c.text), c.corrected) << c.text;
    }
    // A limit of 0 keeps nothing.
    PreviewCache cache;
    cache.Add(Picture(8, 8), 8, 8, PreviewKey{"/a.jpg", 1, 1}, 0);
    EXPECT_EQ(cache.Count(), 0);
}

TEST(PreviewPaneState, FetchesOnlyForAnotherEntryOrAReload) {
    Pdata a("/a.jpg"), b("/b.jpg");
    PreviewPaneState pane;
    EXPECT_TRUE(pane.NeedsFetch(&a, true, false));
    pane.shown = pane.lastShown = &a;
    EXPECT_FALSE(pane.NeedsFetch(&a, false, false));
    EXPECT_TRUE(pane.NeedsFetch(&b, false, false));
    // The target pane fetches again when its area is hidden.
    EXPECT_TRUE(pane.NeedsFetch(&a, true, true));
    pane.reloadRequest = true;
    EXPECT_TRUE(pane.NeedsFetch(&a, false, false));
    pane.reloadRequest = false;
    pane.Forget(&b);
    EXPECT_EQ(pane.lastShown, &a);
    pane.Forget(&a);
    EXPECT_EQ(pane.shown, nullptr);
    EXPECT_EQ(pane.lastShown, nullptr);
}

TEST(LayoutViewer, TableOfCases) {
    const QRect screen1024(0, 0, 1024, 768);
    struct Case {
        const char* what;
        ViewerLayoutInput in;
        QRect panel;
        QSize client;
        QPoint window;
    } cases[] = {
        {"large, follows the picture, stretched: as wide as the screen",
         {{3000, 2000}, {400, 300}, {0, 0}, screen1024, true, false, false, false},
         {0, 0, 1024, 682},
         {1024, 682},
         {0, 0}},
        {"tall: width first, then as high as the screen and narrower",
         {{3000, 3000}, {400, 300}, {0, 0}, screen1024, true, false, false, false},
         {0, 0, 768, 768},
         {768, 768},
         {1024 - 768, 0}},
        {"not stretched: the window stays inside the screen, the picture scrolls",
         {{3000, 2000}, {400, 300}, {10, 30}, screen1024, false, false, false, false},
         {0, 0, 3000, 2000},
         {1014, 738},
         {0, 0}},
        {"fixed size with stretch: a panorama is letterboxed with equal bands",
         {{1000, 100}, {500, 400}, {0, 0}, screen1024, true, true, false, false},
         {0, 175, 500, 50},
         {500, 400},
         {512, 0}},
        {"fixed size with stretch: a portrait is pillarboxed",
         {{100, 1000}, {500, 400}, {0, 0}, screen1024, true, true, false, false},
         {230, 0, 40, 400},
         {500, 400},
         {512, 0}},
        {"fixed size without stretch: the picture's own size",
         {{100, 1000}, {500, 400}, {0, 0}, screen1024, false, true, false, false},
         {0, 0, 100, 1000},
         {500, 400},
         {512, 0}},
        {"target viewer narrower than half the screen: opens in the right half",
         {{500, 300}, {1, 1}, {0, 0}, {0, 0, 1280, 1024}, true, false, false, false},
         {0, 0, 500, 300},
         {500, 300},
         {640, 0}},
        {"reference viewer: left edge; screen offset kept",
         {{500, 300}, {1, 1}, {0, 0}, {1920, 0, 1280, 1024}, true, false, false, true},
         {0, 0, 500, 300},
         {500, 300},
         {1920, 0}},
    };
    for (const Case& c : cases) {
        auto out = LayoutViewer(c.in);
        ASSERT_TRUE(out) << c.what;
        EXPECT_EQ(out->panel, c.panel) << c.what;
        EXPECT_EQ(out->client, c.client) << c.what;
        ASSERT_TRUE(out->window) << c.what;
        EXPECT_EQ(*out->window, c.window) << c.what;
    }
    ViewerLayoutInput fixed{{500, 300}, {1, 1}, {0, 0}, screen1024, true, false, true, false};
    EXPECT_FALSE(LayoutViewer(fixed)->window);
    ViewerLayoutInput empty{{0, 300}, {1, 1}, {0, 0}, screen1024, true, false, false, false};
    EXPECT_FALSE(LayoutViewer(empty));
}

} // namespace
} // namespace lumidex
