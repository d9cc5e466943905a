#include "MismatchNum.h"

#include "RecordingFrame.h"
#include "SharedState.h"

#include <gtest/gtest.h>

namespace lumidex {
namespace {

TEST(MismatchNum, AllocatesLowestFreeNumberAndNeverZero) {
    MismatchNum m;
    EXPECT_FALSE(m.IsFree(0));
    EXPECT_EQ(m.Allocate(), 1);
    EXPECT_EQ(m.Allocate(), 2);
    m.MarkUsed(5);
    EXPECT_EQ(m.MaxNumber(), 5);
    m.Release(1);
    EXPECT_EQ(m.MaxNumber(), 5);
    EXPECT_EQ(m.Allocate(), 1);
    EXPECT_EQ(m.Allocate(), 3);
    m.Reset();
    EXPECT_EQ(m.MaxNumber(), 0);
    EXPECT_FALSE(m.IsFree(0));
    EXPECT_TRUE(m.IsFree(5));
    EXPECT_EQ(m.Allocate(), 1);
}

TEST(MismatchNum, FullAllocatorRefusesAndHighNumbersAreTracked) {
    MismatchNum m;
    for (int i = 1; i <= MismatchNum::kLastNumber; ++i)
        ASSERT_EQ(m.Allocate(), i);
    EXPECT_EQ(m.Allocate(), -1);
    // Numbers above 8191 come only from files; they are marked but never handed out.
    m.MarkUsed(65535);
    EXPECT_FALSE(m.IsFree(65535));
    EXPECT_EQ(m.MaxNumber(), 65535);
}

TEST(MismatchNum, FullAllocatorIsReportedToTheCaller) {
    test::RecordingFrame frame;
    SharedState state(frame, "/nonexistent/");
    MismatchNum m;
    for (int i = 1; i <= MismatchNum::kLastNumber; ++i)
        m.MarkUsed(i);
    EXPECT_EQ(AllocateGroupNumber(m, state), -1);
    ASSERT_EQ(frame.logged.size(), 1u);
    EXPECT_EQ(frame.logged[0], "Mismatch groups are full.");
}

TEST(MismatchNum, MergeOffsetWrapsIn16BitsAndKeepsZero) {
    EXPECT_EQ(MergedGroupNumber(1, 4), 5);
    EXPECT_EQ(MergedGroupNumber(0, 4), 0);
    EXPECT_EQ(MergedGroupNumber(65535, 2), 1);
}

} // namespace
} // namespace lumidex
