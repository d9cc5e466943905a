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

TEST(MismatchNum, MergedNumbersAreShiftedAndNeverWrapOntoGroupsInUse) {
    test::RecordingFrame frame;
    SharedState state(frame, "/nonexistent/");
    MismatchNum m;
    m.MarkUsed(1);
    m.MarkUsed(3);
    m.MarkUsed(65000);
    MergedGroupNumbers merged(m, state);
    EXPECT_EQ(merged.Map(0), 0);
    EXPECT_EQ(merged.Map(1), 65001);
    EXPECT_EQ(merged.Map(535), 65535);
    // 536 and up would wrap: onto 0 (no group) or 1 (a group in use). Free numbers instead,
    // one per merged group.
    EXPECT_EQ(merged.Map(600), 2);
    EXPECT_EQ(merged.Map(601), 4);
    EXPECT_EQ(merged.Map(600), 2);
    EXPECT_FALSE(m.IsFree(2));
    ASSERT_EQ(frame.logged.size(), 2u);
    EXPECT_EQ(frame.logged[0], "Mismatch group 600 of the merged database became group 2.");
}

} // namespace
} // namespace lumidex
