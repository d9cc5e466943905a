#include "Pdata.h"

#include "ByteStream.h"

#include <gtest/gtest.h>

using namespace lumidex;

TEST(Pdata, NewEntryHasItsInitialValues) {
    Pdata e("/pics/a.jpg");
    EXPECT_EQ(e.path, "/pics/a.jpg");
    EXPECT_EQ(e.MemoCount(), 0);
    EXPECT_EQ(e.mismatchGroup, 0);
    EXPECT_EQ(e.key, 0u);
    EXPECT_EQ(e.code, 0u);
    EXPECT_EQ(e.fileSize, -1);
    EXPECT_EQ(e.fileTime, -1);
    EXPECT_FALSE(e.HasSubIndex());
    EXPECT_EQ(e.RegionCount(), 0);
    EXPECT_EQ(e.listUpMark, -1);
}

TEST(Pdata, MemoListKeepsEachNumberOnce) {
    Pdata e("x");
    EXPECT_EQ(e.AddMemo(7), 0);
    EXPECT_EQ(e.AddMemo(3), 1);
    EXPECT_EQ(e.AddMemo(7), -1);
    EXPECT_EQ(e.Memos(), (std::vector<int32_t>{7, 3}));
    EXPECT_EQ(e.RemoveMemo(9), -1);
    EXPECT_EQ(e.RemoveMemo(7), 0);
    EXPECT_FALSE(e.HasMemo(7));
    e.MergeMemos({3, 4, 4, 5});
    EXPECT_EQ(e.Memos(), (std::vector<int32_t>{3, 4, 5}));
}

TEST(Pdata, MemoListStreamAddsTheBaseAndDropsRepeats) {
    std::string bytes;
    ByteWriter w(bytes);
    w.I32(3);
    w.I32(0);
    w.I32(2);
    w.I32(0);
    ByteReader r(bytes);
    Pdata e("x");
    e.ReadMemoList(r, 5);
    EXPECT_FALSE(r.Failed());
    EXPECT_TRUE(r.AtEnd());
    EXPECT_EQ(e.Memos(), (std::vector<int32_t>{5, 7}));

    std::string out;
    ByteWriter w2(out);
    e.WriteMemoList(w2);
    EXPECT_EQ(out, std::string("\x02\0\0\0\x05\0\0\0\x07\0\0\0", 12));
}

TEST(Pdata, SubIndexStreamOrderIsKeyCodeTopLeftBottomRight) {
    Pdata e("x");
    e.AddRegion(0xAABBCCDD, 0x11223344, Area{10, 20, 110, 220});
    std::string out;
    ByteWriter w(out);
    e.WriteSubIndex(w);
    ByteReader check(out);
    EXPECT_EQ(check.I32(), 1);
    EXPECT_EQ(check.U32(), 0xAABBCCDDu);
    EXPECT_EQ(check.U32(), 0x11223344u);
    EXPECT_EQ(check.I32(), 20);
    EXPECT_EQ(check.I32(), 10);
    EXPECT_EQ(check.I32(), 220);
    EXPECT_EQ(check.I32(), 110);
    EXPECT_TRUE(check.AtEnd());

    Pdata back("y");
    ByteReader r(out);
    back.ReadSubIndex(r);
    ASSERT_EQ(back.RegionCount(), 1);
    EXPECT_EQ(back.RegionAt(0), e.RegionAt(0));
}

TEST(Pdata, EmptyAndAbsentSubIndexAreWrittenAlike) {
    Pdata absent("a"), cleared("b");
    cleared.AddRegion(1, 2, Area{0, 0, 16, 16});
    cleared.AddRegion(3, 4, Area{0, 0, 16, 16});
    cleared.DeleteRegion(2); // == count: nothing happens
    absent.DeleteRegion(0);
    EXPECT_EQ(cleared.RegionCount(), 2);
    cleared.DeleteRegion(0);
    EXPECT_EQ(cleared.RegionAt(0).key, 3u);
    cleared.ClearRegions();
    EXPECT_EQ(cleared.RegionCount(), 0);
    EXPECT_TRUE(cleared.HasSubIndex());
    std::string a, b;
    ByteWriter wa(a), wb(b);
    absent.WriteSubIndex(wa);
    cleared.WriteSubIndex(wb);
    EXPECT_EQ(a, std::string(4, '\0'));
    EXPECT_EQ(a, b);
    ByteReader r(a);
    absent.ReadSubIndex(r);
    EXPECT_FALSE(absent.HasSubIndex());
}

TEST(Pdata, HostileCountsFailTheReaderWithoutReadingOrAllocating) {
    struct Case {
        const char* name;
        std::string bytes;
    };
    const Case cases[] = {
        {"negative", std::string("\xfb\xff\xff\xff", 4)},
        {"huge", std::string("\xff\xff\xff\x7f", 4) + std::string(8, '\0')},
        {"truncated", std::string("\x02\0\0\0\x01\0\0\0", 8)},
        {"missing count", std::string("\x01\0", 2)},
    };
    for (const Case& c : cases) {
        Pdata e("x");
        ByteReader memo(c.bytes);
        e.ReadMemoList(memo, 0);
        EXPECT_TRUE(memo.Failed()) << c.name;
        EXPECT_EQ(e.MemoCount(), 0) << c.name;
        ByteReader sub(c.bytes);
        e.ReadSubIndex(sub);
        EXPECT_TRUE(sub.Failed()) << c.name;
        EXPECT_EQ(e.RegionCount(), 0) << c.name;
    }
}
