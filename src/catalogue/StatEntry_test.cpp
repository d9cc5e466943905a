#include "StatEntry.h"

#include "RecordingFrame.h"
#include "SharedState.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sys/time.h>

using namespace lumidex;

TEST(StatEntry, FillsUnmeasuredEntriesAndCachesTheLastPath) {
    test::TempDir dir;
    test::RecordingFrame frame;
    SharedState state(frame, dir.path());
    StatCache cache;
    std::string path = dir.Write("a.jpg", std::string(2000, 'x'));
    Pdata e(path);
    FileStatus s;
    EXPECT_EQ(cache.StatEntry(s, e, state), 0);
    EXPECT_EQ(s.size, 2000);
    EXPECT_EQ(e.fileSize, 2000);
    EXPECT_TRUE(state.DataChanged);

    // The second call for the same path does not look at the file again.
    std::remove(path.c_str());
    FileStatus untouched;
    untouched.size = 42;
    EXPECT_EQ(cache.StatEntry(untouched, e, state), 0);
    EXPECT_EQ(untouched.size, 42);

    Pdata missing(dir.File("missing.jpg"));
    EXPECT_EQ(cache.StatEntry(s, missing, state), -1);
    EXPECT_EQ(missing.fileSize, -1);
    // After a failure the remembered path is forgotten.
    EXPECT_EQ(cache.StatEntry(s, e, state), -1);

    // A measured entry keeps its size.
    state.DataChanged = false;
    std::string other = dir.Write("b.jpg", std::string(3000, 'y'));
    Pdata measured(other);
    measured.fileSize = 10;
    EXPECT_EQ(cache.StatEntry(s, measured, state), 0);
    EXPECT_EQ(measured.fileSize, 10);
    EXPECT_EQ(s.size, 3000);
    EXPECT_FALSE(state.DataChanged);
}

TEST(StatEntry, TimesBeyondThirtyTwoBitsAreHeldAtTheEnd) {
    test::TempDir dir;
    test::RecordingFrame frame;
    SharedState state(frame, dir.path());
    StatCache cache;
    std::string path = dir.Write("future.jpg", std::string(2000, 'x'));
    struct timeval times[2] = {{4294967296LL, 0}, {4294967296LL, 0}}; // year 2106
    ASSERT_EQ(::utimes(path.c_str(), times), 0);
    Pdata e(path);
    FileStatus s;
    ASSERT_EQ(cache.StatEntry(s, e, state), 0);
    EXPECT_EQ(e.fileTime, INT32_MAX);
}
