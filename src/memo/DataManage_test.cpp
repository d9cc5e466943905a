#include "DataManage.h"

#include "ByteStream.h"

#include <gtest/gtest.h>

namespace lumidex {
namespace {

TEST(DataManage, SlotsStayAndBlankSlotsAreReused) {
    DataManage m;
    m.AddGroup("G", 100);
    for (const char* t : {"a", "b", "c", "d", "e"})
        m.PutMemo(t, 100);
    m.EraseMemo("d", 100);
    m.EraseMemo("b", 100);
    EXPECT_EQ(m.Count(), 5);
    EXPECT_EQ(m.FindMemo("e", 100), 4);
    EXPECT_EQ(m.PutMemo("x", 100), 1);
    EXPECT_EQ(m.PutMemo("y", 100), 3);
    EXPECT_EQ(m.PutMemo("z", 100), 5);
    m.EraseMemo("missing", 100);
    EXPECT_EQ(m.Count(), 6);

    // Erasing a group blanks its memos; the slots stay.
    m.AddGroup("H", 101);
    m.PutMemo("h", 101);
    m.EraseGroup(100);
    EXPECT_EQ(m.GroupCount(), 1);
    EXPECT_EQ(m.Count(), 7);
    EXPECT_EQ(m.MemosOfGroup(101).size(), 1u);
    EXPECT_EQ(m.MemosOfGroup(0, true).size(), 7u);
    EXPECT_EQ(m.PutMemo("again", 101), 0);
}

TEST(DataManage, GroupIdsAndNames) {
    DataManage m;
    EXPECT_EQ(m.NewGroupId(), 100);
    EXPECT_EQ(m.MaxGroupId(), 0);
    m.AddGroup("N", 100);
    m.AddGroup("N1", 101);
    m.AddGroup("X", 103);
    EXPECT_EQ(m.AddGroup("N", 100), 0); // same name and id: the same group
    EXPECT_EQ(m.AddGroup("N", 104), 3); // same name, other id: a new group
    EXPECT_EQ(m.NewGroupId(), 102);
    EXPECT_EQ(m.MaxGroupId(), 104);
    EXPECT_EQ(m.UniqueGroupName("N"), "N2");
    EXPECT_EQ(m.UniqueGroupName("Y"), "Y");
    m.PutMemo("red", 100);
    m.PutMemo("red1", 100);
    EXPECT_EQ(m.UniqueMemoText("red", 100), "red2");
    EXPECT_EQ(m.UniqueMemoText("red", 103), "red");
    EXPECT_EQ(m.GroupIdAt(9), -1);
    EXPECT_EQ(m.GroupIndexOfName("X"), 2);
    EXPECT_EQ(m.GroupIndexOfId(104), 3);

    DataManage negative;
    negative.AddGroup("a", -5);
    EXPECT_EQ(negative.MaxGroupId(), 0);
}

TEST(DataManage, TableSectionRoundTripAndMergeBase) {
    DataManage m;
    m.tableValue = 7;
    m.AddGroup("Colours", 100);
    m.AddGroup("Other", 101);
    m.PutMemo("red", 100);
    m.PutMemo("gone", 101);
    m.PutMemo("blue", 101);
    m.EraseMemo("gone", 101);
    std::string bytes;
    ByteWriter w(bytes);
    m.WriteMemoTable(w);

    DataManage same;
    ByteReader in(bytes);
    ASSERT_TRUE(same.ReadMemoTable(in));
    EXPECT_TRUE(in.AtEnd());
    EXPECT_EQ(same.tableValue, 7);
    std::string again;
    ByteWriter w2(again);
    same.WriteMemoTable(w2);
    EXPECT_EQ(again, bytes);

    // Merged into a table whose highest id is 104.
    DataManage t;
    t.AddGroup("Colours", 104);
    t.PutMemo("x", 104);
    t.groupIdBase = t.MaxGroupId();
    ByteReader in2(bytes);
    ASSERT_TRUE(t.ReadMemoTable(in2));
    EXPECT_EQ(t.Groups()[1].name, "Colours1");
    EXPECT_EQ(t.Groups()[1].id, 204);
    EXPECT_EQ(t.Groups()[2].id, 205);
    EXPECT_EQ(t.Slots()[1].groupId, 204);
    EXPECT_EQ(t.Slots()[2].groupId, -1);
    // The blank slot read is the first the next memo fills.
    EXPECT_EQ(t.PutMemo("new", 204), 2);

    // Counts and lengths that run past the data are refused, keeping what came before.
    std::string cut = bytes.substr(0, bytes.size() - 3);
    DataManage broken;
    ByteReader in3(cut);
    EXPECT_FALSE(broken.ReadMemoTable(in3));
    EXPECT_EQ(broken.GroupCount(), 2);
    std::string hostile;
    ByteWriter h(hostile);
    h.I32(1), h.I32(2), h.I32(1 << 30), h.I32(0x7FFFFFF0);
    ByteReader in4(hostile);
    EXPECT_FALSE(DataManage().ReadMemoTable(in4));
}

} // namespace
} // namespace lumidex
