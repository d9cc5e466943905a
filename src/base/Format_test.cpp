#include "Format.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

TEST(Format, SizeInBytesOrKilobytes) {
    EXPECT_EQ(lumidex::FormatSize(-1), "-1");
    EXPECT_EQ(lumidex::FormatSize(0), "0");
    EXPECT_EQ(lumidex::FormatSize(1023), "1023");
    EXPECT_EQ(lumidex::FormatSize(1024), "1.00K");
    EXPECT_EQ(lumidex::FormatSize(1536), "1.50K");
    EXPECT_EQ(lumidex::FormatSize(2048), "2.00K");
    EXPECT_EQ(lumidex::FormatSize(10 * 1024 * 1024), "10240.00K");
}

TEST(Format, DateLineInLocalTimeWithEnglishNames) {
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    // 2003-12-08 20:12:05 UTC
    EXPECT_EQ(lumidex::FormatDateLine(1070914325), "Mon Dec 08 20:12:05 2003\n");
    ::setenv("TZ", "JST-9", 1);
    ::tzset();
    EXPECT_EQ(lumidex::FormatDateLine(1070914325), "Tue Dec 09 05:12:05 2003\n");
    ::setenv("TZ", "UTC", 1);
    ::tzset();
}

TEST(Format, FileTimeShowsLocalDateAndTime) {
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    std::string text = lumidex::FormatFileTime(1070914325);
    EXPECT_NE(text.find("20:12:05"), std::string::npos) << text;
    EXPECT_NE(text.find("03"), std::string::npos) << text;
}
