#include "AtomicFile.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace lumidex {
namespace {

TEST(AtomicFile, ReplacesTheFileAndLeavesNoTemporary) {
    test::TempDir dir;
    std::string path = dir.Write("a.cfg", "old");
    EXPECT_EQ(WriteFileAtomically(path, "new contents"), SaveResult::Ok);
    EXPECT_EQ(test::ReadWholeFile(path), "new contents");
    int files = 0;
    for (auto& e : std::filesystem::directory_iterator(dir.path()))
        files += e.is_regular_file();
    EXPECT_EQ(files, 1);
}

TEST(AtomicFile, FailureLeavesTheOldFile) {
    test::TempDir dir;
    EXPECT_EQ(WriteFileAtomically(dir.File("missing/a.cfg"), "x"), SaveResult::CantCreate);
    // A folder in the way of the rename: the write fails and nothing else changes.
    std::filesystem::create_directory(dir.File("b.cfg"));
    EXPECT_EQ(WriteFileAtomically(dir.File("b.cfg"), "x"), SaveResult::WriteFailed);
    EXPECT_TRUE(std::filesystem::is_directory(dir.File("b.cfg")));
}

} // namespace
} // namespace lumidex
