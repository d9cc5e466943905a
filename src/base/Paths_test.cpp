#include "Paths.h"

#include <gtest/gtest.h>

using namespace lumidex::paths;

TEST(Paths, SplitsFolderNameAndExtension) {
    struct Case {
        const char* path;
        const char* folder;
        const char* name;
        const char* ext;
    };
    const Case cases[] = {
        {"/pics/a.jpg", "/pics/", "a.jpg", ".jpg"},
        {"/pics/archive.tar.gz", "/pics/", "archive.tar.gz", ".gz"},
        {"/pics.old/noext", "/pics.old/", "noext", ""},
        {"/pics/.hidden", "/pics/", ".hidden", ".hidden"},
        {"a.png", "", "a.png", ".png"},
        {"/", "/", "", ""},
        {"/pics/dir/", "/pics/dir/", "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FolderPart(c.path), c.folder) << c.path;
        EXPECT_EQ(FileName(c.path), c.name) << c.path;
        EXPECT_EQ(Extension(c.path), c.ext) << c.path;
    }
    EXPECT_EQ(ParentOf("/pics/a.jpg"), "/pics");
    EXPECT_EQ(ParentOf("/a.jpg"), "/");
    EXPECT_EQ(Join("/pics", "a.jpg"), "/pics/a.jpg");
    EXPECT_EQ(Join("/pics/", "/a.jpg"), "/pics/a.jpg");
    EXPECT_EQ(WithTrailingDelimiter("/pics"), "/pics/");
    EXPECT_EQ(WithTrailingDelimiter("/pics/"), "/pics/");
    EXPECT_EQ(WithTrailingDelimiter(""), "/");
    EXPECT_EQ(LowerAscii("/Pics/A\xc3\x84.JPG"), "/pics/a\xc3\x84.jpg");
}

TEST(Paths, KeyUpperCasesAsciiOnlyAndIdentityIsExactOnLinux) {
    EXPECT_EQ(UpperKey("/Pics/a\xc3\xa4.jpg"), "/PICS/A\xc3\xa4.JPG");
    EXPECT_EQ(CompareUpper("/pics/a.jpg", "/PICS/A.JPG"), 0);
    EXPECT_LT(CompareUpper("/pics/a", "/pics/a.jpg"), 0);
    // '_' (0x5F) lies between upper and lower case letters: ordering uses the upper form.
    EXPECT_LT(CompareUpper("/pics/a", "/pics/_"), 0);
    EXPECT_FALSE(SamePath("/pics/a.jpg", "/pics/A.jpg"));
    EXPECT_TRUE(SamePath("/pics/a.jpg", "/pics/a.jpg"));
    EXPECT_TRUE(SameFolder("/pics/a.jpg", "/pics/b.png"));
    EXPECT_FALSE(SameFolder("/pics/a.jpg", "/Pics/b.png"));
    EXPECT_FALSE(SameFolder("/pics/a.jpg", "/pics/sub/b.png"));
}
