#include "ErrorHistory.h"

#include <gtest/gtest.h>

TEST(ErrorHistory, KeepsTheLastTenNumberedFromStartUp) {
    lumidex::ErrorHistory h;
    EXPECT_EQ(h.Joined(), "");
    h.Add("one");
    h.Add("two");
    EXPECT_EQ(h.Joined(), "Error 1:one\nError 2:two");
    for (int i = 3; i <= 11; ++i)
        h.Add("m" + std::to_string(i));
    EXPECT_EQ(h.Counter(), 11);
    EXPECT_EQ(h.Filled(), 10);
    EXPECT_EQ(h.Slot(0), "Error 2:two");
    EXPECT_EQ(h.Slot(9), "Error 11:m11");
}
