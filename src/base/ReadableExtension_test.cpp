#include "ReadableExtension.h"

#include <gtest/gtest.h>

TEST(ReadableExtension, FirstOccurrenceRuleUnderNativePatterns) {
    const std::string& p = lumidex::kNativePicturePatterns.patterns;
    struct Case {
        const char* ext;
        bool readable;
    };
    const Case cases[] = {
        {".jpg", true}, {".JPEG", true}, {".Png", true}, {".jpe", true},    {".bmp", true},
        {".jif", true}, {".jp", false},  {".pn", false}, {".", false},      {".pe", false},
        {"", false},    {".gif", false}, {".j", false},  {".jpegx", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(lumidex::IsReadableExtension(c.ext, p), c.readable) << c.ext;
}

TEST(ReadableExtension, OnlyTheFirstOccurrenceCounts) {
    // ".ab" first occurs inside ".abc" (followed by a letter), so the later exact ".ab" is missed.
    EXPECT_FALSE(lumidex::IsReadableExtension(".ab", "*.abc;*.ab"));
    EXPECT_TRUE(lumidex::IsReadableExtension(".ab", "*.ab;*.abc"));
    EXPECT_TRUE(lumidex::IsReadableExtension(".q", "*.q"));
}
