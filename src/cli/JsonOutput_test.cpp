#include "JsonOutput.h"

#include "Pdata.h"

#include <gtest/gtest.h>

namespace lumidex::cli {
namespace {

TEST(JsonOutput, StringsKeepUtf8AndEscapeEveryOtherByte) {
    struct Case {
        std::string bytes, json;
    };
    const Case cases[] = {
        {"/a/b.jpg", R"("/a/b.jpg")"},
        {"say \"hi\"\\", R"("say \"hi\"\\")"},
        {"tab\tnl\n\x7f", R"("tab\u0009nl\u000a\u007f")"},
        {"caf\xC3\xA9 \xE6\x97\xA5 \xF0\x9F\x93\xB7",
         "\"caf\xC3\xA9 \xE6\x97\xA5 \xF0\x9F\x93\xB7\""},
        // Shift_JIS, Latin-1 and cut sequences: each stray byte on its own.
        {"\x83\x65.jpg", R"("\udc83e.jpg")"},
        {"\xE9t\xE9", R"("\udce9t\udce9")"},
        {"\xE6\x97", R"("\udce6\udc97")"},
        // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
        {"\xC0\xAF", R"("\udcc0\udcaf")"},
        {"\xED\xA0\x80", R"("\udced\udca0\udc80")"},
        {"\xF4\x90\x80\x80", R"("\udcf4\udc90\udc80\udc80")"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(JsonString(c.bytes), c.json) << c.bytes;
}

TEST(JsonOutput, EntryNamesTheWayItWasFound) {
    Pdata e("/p/a.jpg");
    e.key = 0xAB;
    e.code = 0x1234;
    e.fileSize = 9999;
    e.fileTime = 1000;
    EXPECT_EQ(JsonEntry(e),
              R"({"path":"/p/a.jpg","size":9999,"time":1000,"key":"000000AB","code":"00001234"})");
    EXPECT_EQ(JsonEntry(e, Orientation::MirroredLeftRight, 2),
              R"({"path":"/p/a.jpg","size":9999,"time":1000,"key":"000000AB","code":"00001234",)"
              R"("orientation":"mirrored-left-right","region":2})");
}

} // namespace
} // namespace lumidex::cli
