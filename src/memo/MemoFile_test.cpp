#include "MemoFile.h"

#include <gtest/gtest.h>

namespace lumidex {
namespace {

TEST(MemoFile, ExportLayout) {
    DataManage m;
    EXPECT_EQ(BuildMemoFile(m), "\"\",\"\"\r\n\"\",\"\"\r\n");
    m.AddGroup("Colours", 100);
    m.PutMemo("red", 100);
    m.PutMemo("x", 100);
    m.PutMemo("blue", 100);
    m.EraseMemo("x", 100);
    EXPECT_EQ(BuildMemoFile(m), "\"Colours\",\"100\"\r\n"
                                "\"\",\"\"\r\n"
                                "\"red\",\"100\"\r\n"
                                "\"\",\"-1\"\r\n"
                                "\"blue\",\"100\"\r\n"
                                "\"\",\"\"\r\n");
}

TEST(MemoFile, SplitCommaText) {
    struct Case {
        const char* line;
        std::vector<std::string> fields;
    };
    const Case cases[] = {
        {"\"a b\",\"1\"", {"a b", "1"}},
        {"a b,c", {"a", "b", "c"}},
        {"\"say \"\"hi\"\"\",\"2\"", {"say \"hi\"", "2"}},
        {"\"\",\"\"", {"", ""}},
        {"x,", {"x", ""}},
        {"  ", {}},
        {"\"open", {"open"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SplitCommaText(c.line), c.fields) << c.line;
}

TEST(MemoFile, ImportAddsShiftedGroupsAndKeepsTexts) {
    DataManage source;
    source.AddGroup("Colours", 100);
    source.PutMemo("say \"hi\", twice", 100);
    source.PutMemo("blank", 100);
    source.PutMemo("blue", 100);
    source.EraseMemo("blank", 100);

    DataManage target;
    target.AddGroup("Colours", 100);
    target.AddGroup("Colours1", 103);
    ASSERT_TRUE(ReadMemoFile(target, BuildMemoFile(source)));
    ASSERT_EQ(target.GroupCount(), 3);
    EXPECT_EQ(target.Groups()[2].name, "Colours2");
    EXPECT_EQ(target.Groups()[2].id, 203);
    ASSERT_EQ(target.Count(), 2); // the blank slot is skipped
    EXPECT_EQ(target.Slots()[0].text, "say \"hi\", twice");
    EXPECT_EQ(target.Slots()[0].groupId, 203);

    // Exporting and importing into the same table doubles its groups.
    std::string again = BuildMemoFile(target);
    ASSERT_TRUE(ReadMemoFile(target, again));
    EXPECT_EQ(target.GroupCount(), 6);
}

TEST(MemoFile, BrokenFilesAddNothingAndForeignGroupsAreSkipped) {
    const char* cases[] = {
        "\"A\",\"1\"\r\n\r\n\"\",\"\"\r\n", // blank line
        "\"A\",\"1\"\r\n\"B\"\r\n",         // one field
        "\"A\",\"1\"\r\n\"B\",\"x1\"\r\n",  // not a number
    };
    for (const char* c : cases) {
        DataManage m;
        m.AddGroup("Kept", 100);
        EXPECT_FALSE(ReadMemoFile(m, c)) << c;
        EXPECT_EQ(m.GroupCount(), 1) << c;
        EXPECT_EQ(m.Count(), 0) << c;
    }
    // A memo line failing after good memo lines adds none of them either.
    DataManage half;
    EXPECT_FALSE(ReadMemoFile(half, "\"A\",\"1\"\r\n\"\",\"\"\r\n\"m\",\"1\"\r\n\"n\"\r\n"));
    EXPECT_EQ(half.GroupCount(), 0);
    EXPECT_EQ(half.Count(), 0);

    // A file may end without its separators. A memo whose group is not in the file would land
    // in whatever group holds the shifted id: it is skipped and counted.
    DataManage m;
    m.AddGroup("Existing", 107);
    int skipped = -1;
    EXPECT_TRUE(ReadMemoFile(m, "\"A\",\"100\"\n\"\",\"\"\n\"m\",\"100\"\n\"x\",\"0\"", &skipped));
    EXPECT_EQ(skipped, 1);
    ASSERT_EQ(m.Count(), 1);
    EXPECT_EQ(m.Slots()[0].text, "m");
    EXPECT_EQ(m.Slots()[0].groupId, 207);
}

} // namespace
} // namespace lumidex
