#include "FileStatus.h"

#include "TempDir.h"

#include <gtest/gtest.h>

using lumidex::test::TempDir;

TEST(FileStatus, SizeTimeAndMissingFiles) {
    TempDir dir;
    std::string f = dir.Write("a.bin", std::string(1500, 'x'));
    lumidex::FileStatus s = lumidex::GetFileStatus(f);
    EXPECT_TRUE(s.exists);
    EXPECT_FALSE(s.isFolder);
    EXPECT_EQ(s.size, 1500);
    EXPECT_GT(s.modified, 0);
    EXPECT_TRUE(lumidex::GetFileStatus(dir.path()).isFolder);
    EXPECT_FALSE(lumidex::GetFileStatus(dir.File("missing")).exists);
    EXPECT_FALSE(lumidex::GetFileStatus("").exists);
}

TEST(FileStatus, ExpandLongPathKeepsExistingPathsAndLeavesMissingOnes) {
    TempDir dir;
    std::string f = dir.Write("Sub/Pic.JPG", "x");
    EXPECT_EQ(lumidex::ExpandLongPath(f), f);
    EXPECT_EQ(lumidex::ExpandLongPath(dir.File("Sub/missing.jpg")), dir.File("Sub/missing.jpg"));
    EXPECT_EQ(lumidex::ExpandLongPath("/"), "/");
}
