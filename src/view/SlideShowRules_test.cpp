#include "SlideShowRules.h"

#include <gtest/gtest.h>

#include <set>

namespace lumidex {
namespace {

TEST(SlideShowRules, Intervals) {
    struct Case {
        int position, seconds;
    } cases[] = {{0, 1},    {1, 2},    {9, 10},    {10, 15},   {18, 55}, {19, 60},
                 {23, 300}, {24, 600}, {28, 1800}, {29, 3600}, {-5, 1},  {99, 3600}};
    for (const Case& c : cases)
        EXPECT_EQ(SlideIntervalSeconds(c.position), c.seconds) << c.position;
}

TEST(SlideShowRules, Stepping) {
    auto readableExcept = [](std::set<int> bad) {
        return [bad](int row) { return !bad.count(row); };
    };
    struct Case {
        const char* what;
        int row, count;
        bool wrap, advanceFirst;
        std::set<int> unreadable;
        SlideStep::Outcome outcome;
        int to;
    } cases[] = {
        {"next row", 2, 5, true, true, {}, SlideStep::Show, 3},
        {"wraps to the first", 4, 5, true, true, {}, SlideStep::Show, 0},
        {"stops on the last row", 4, 5, false, true, {}, SlideStep::EndOfList, 4},
        {"unreadable rows passed over", 1, 5, false, true, {2, 3}, SlideStep::Show, 4},
        {"unreadable up to the end", 1, 5, false, true, {2, 3, 4}, SlideStep::EndOfList, 4},
        {"wrapping past unreadable", 3, 5, true, true, {4, 0}, SlideStep::Show, 1},
        {"back to the only readable", 2, 5, true, true, {0, 1, 3, 4}, SlideStep::Show, 2},
        {"nothing readable ends", 2, 5, true, true, {0, 1, 2, 3, 4}, SlideStep::NoneReadable, 2},
        {"play tries its own row", 2, 5, true, false, {}, SlideStep::Show, 2},
        {"play skips its own row", 2, 5, true, false, {2}, SlideStep::Show, 3},
        {"row beyond a shrunk list", 9, 3, false, true, {}, SlideStep::EndOfList, 2},
        {"empty list", 0, 0, true, true, {}, SlideStep::EmptyList, 0},
    };
    for (const Case& c : cases) {
        int reads = 0;
        auto readable = readableExcept(c.unreadable);
        SlideStep s = NextSlide(c.row, c.count, c.wrap, c.advanceFirst, [&](int r) {
            ++reads;
            EXPECT_GE(r, 0);
            EXPECT_LT(r, c.count);
            return readable(r);
        });
        EXPECT_EQ(s.outcome, c.outcome) << c.what;
        EXPECT_EQ(s.row, c.to) << c.what;
        EXPECT_LE(reads, c.count) << c.what; // at most one pass
    }
}

} // namespace
} // namespace lumidex
