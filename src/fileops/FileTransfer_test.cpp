#include "FileNames.h"
#include "FileOpsTestFixture.h"
#include "FileTransfer.h"

#include <gtest/gtest.h>

#include <QDir>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace lumidex::test {
namespace {

// Names in a folder, the hidden staging names included.
std::vector<std::string> Names(const std::string& folder) {
    std::vector<std::string> out;
    for (const QString& n : QDir(QString::fromStdString(folder))
                                .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot))
        out.push_back(n.toStdString());
    return out;
}

TEST(FileNames, RefusesNamesThatAreNoFileNames) {
    struct Case {
        std::string name;
        bool valid;
    } cases[] = {{"a.jpg", true},
                 {"", false},
                 {".", false},
                 {"..", false},
                 {"a/b", false},
                 {std::string("a\0b", 3), false},
                 {std::string(255, 'x'), true},
                 {std::string(256, 'x'), false},
                 {"..jpg", true}};
    for (const Case& c : cases)
        EXPECT_EQ(IsValidFileName(c.name), c.valid) << c.name.size() << " " << c.name;
}

TEST(FileNames, NormalisesAndComparesFolders) {
    EXPECT_EQ(NormalisedFolder("/a/b/../c/./"), "/a/c");
    EXPECT_TRUE(IsSameOrInside("/a/c", "/a/c"));
    EXPECT_TRUE(IsSameOrInside("/a/c/d", "/a/c"));
    EXPECT_FALSE(IsSameOrInside("/a/cd", "/a/c"));
}

TEST(FileTransfer, CopyKeepsBytesModeAndTime) {
    FileOpsFixture f;
    std::string from = f.dir.Write("a.jpg", "picture bytes");
    ::chmod(from.c_str(), 0640);
    struct timespec times[2] = {{1000000000, 0}, {1000000000, 0}};
    ::utimensat(AT_FDCWD, from.c_str(), times, 0);
    ::mkdir(f.dir.File("out").c_str(), 0755);
    ASSERT_EQ(CopyFileTo(f.fs, from, f.dir.File("out/a.jpg"), false), 0);
    struct stat st {};
    ASSERT_EQ(::stat(f.dir.File("out/a.jpg").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(st.st_mtime, 1000000000);
    EXPECT_EQ(f.Read("out/a.jpg"), "picture bytes");
    EXPECT_EQ(Names(f.dir.File("out")), std::vector<std::string>{"a.jpg"});
}

TEST(FileTransfer, FullDiskLeavesSourceAndNoPartialFile) {
    for (bool move : {false, true}) {
        FileOpsFixture f;
        std::string from = f.dir.Write("a.jpg", std::string(4096, 'p'));
        ::mkdir(f.dir.File("out").c_str(), 0755);
        f.fs.diskFull = true;
        f.fs.crossDevice = true; // a move must copy
        int e = move ? MoveFileTo(f.fs, from, f.dir.File("out/a.jpg"), false)
                     : CopyFileTo(f.fs, from, f.dir.File("out/a.jpg"), false);
        EXPECT_EQ(e, ENOSPC);
        EXPECT_EQ(f.Read("a.jpg"), std::string(4096, 'p'));
        EXPECT_TRUE(Names(f.dir.File("out")).empty());
    }
}

TEST(FileTransfer, MoveAcrossFileSystemsCopiesThenRemovesTheSource) {
    FileOpsFixture f;
    std::string from = f.dir.Write("a.jpg", "bytes");
    struct timespec times[2] = {{999999999, 0}, {999999999, 0}};
    ::utimensat(AT_FDCWD, from.c_str(), times, 0);
    ::mkdir(f.dir.File("out").c_str(), 0755);
    f.fs.crossDevice = true;
    ASSERT_EQ(MoveFileTo(f.fs, from, f.dir.File("out/a.jpg"), false), 0);
    EXPECT_FALSE(f.Exists("a.jpg"));
    EXPECT_EQ(f.Read("out/a.jpg"), "bytes");
    struct stat st {};
    ::stat(f.dir.File("out/a.jpg").c_str(), &st);
    EXPECT_EQ(st.st_mtime, 999999999);
    EXPECT_EQ(Names(f.dir.File("out")), std::vector<std::string>{"a.jpg"});
}

TEST(FileTransfer, PublishingNeverReplacesAFileThatAppeared) {
    FileOpsFixture f;
    std::string from = f.dir.Write("a.jpg", "new");
    f.dir.Write("out/a.jpg", "appeared meanwhile");
    EXPECT_EQ(CopyFileTo(f.fs, from, f.dir.File("out/a.jpg"), false), EEXIST);
    f.fs.crossDevice = true;
    EXPECT_EQ(MoveFileTo(f.fs, from, f.dir.File("out/a.jpg"), false), EEXIST);
    EXPECT_EQ(f.Read("out/a.jpg"), "appeared meanwhile");
    EXPECT_EQ(f.Read("a.jpg"), "new");
    EXPECT_EQ(Names(f.dir.File("out")), std::vector<std::string>{"a.jpg"});
}

// The real copier against a real size limit, in a child so the limit binds it alone.
TEST(FileTransfer, RealCopyUnderAFileSizeLimitLeavesNothing) {
    FileOpsFixture f;
    std::string from = f.dir.Write("big.jpg", std::string(256 * 1024, 'b'));
    ::mkdir(f.dir.File("out").c_str(), 0755);
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit {
            64 * 1024, 64 * 1024
        };
        ::setrlimit(RLIMIT_FSIZE, &limit);
        RealFileSystem fs;
        ::_exit(CopyFileTo(fs, from, f.dir.File("out/big.jpg"), false));
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), EFBIG);
    EXPECT_TRUE(Names(f.dir.File("out")).empty());
    EXPECT_EQ(f.Read("big.jpg").size(), 256u * 1024u);
}

TEST(FileTransfer, TrashAndRestoreUseTheTrashOfXdgDataHome) {
    FileOpsFixture f;
    std::string path = f.dir.Write("a.jpg", "kept");
    std::string at;
    ASSERT_EQ(f.fs.Trash(path, at), 0);
    EXPECT_FALSE(f.Exists("a.jpg"));
    EXPECT_EQ(at.rfind(f.TrashFolder(), 0), 0u) << at;
    ASSERT_EQ(f.fs.Restore(at, path), 0);
    EXPECT_EQ(f.Read("a.jpg"), "kept");
    EXPECT_TRUE(Names(f.home.File("Trash/info")).empty());
}

TEST(FileTransfer, TrashUnavailableFailsAndKeepsTheFile) {
    FileOpsFixture f;
    std::string blocker = f.home.Write("blocker", "a file where the trash folder would be");
    ::setenv("XDG_DATA_HOME", (blocker + "/data").c_str(), 1);
    std::string path = f.dir.Write("a.jpg", "kept");
    std::string at;
    EXPECT_NE(f.fs.Trash(path, at), 0);
    EXPECT_EQ(f.Read("a.jpg"), "kept");
}

} // namespace
} // namespace lumidex::test
