#include "Settings.h"

#include "TempDir.h"

#include <gtest/gtest.h>

namespace lumidex {
namespace {

auto Never = [](const std::string&) { return false; };

TEST(Settings, RoundTripOfAllLines) {
    test::TempDir dir;
    SettingsRecord r;
    r.mainWindow = {10, 20, 800, 600};
    r.openFormFolder = dir.path();
    r.buttonMask = 1023;
    r.UsePreviewCache = true;
    r.CacheCount = "35";
    r.thumbnail = {1, 2, 3, 4};
    r.thumbnailSpeedButton1 = true;
    r.DispCount = "12";
    r.KeepAspect = true;
    r.MatchOrientations = true;
    ASSERT_TRUE(SaveSettings(dir.path(), r));
    std::string text = test::ReadWholeFile(dir.File("app.cfg"));
    EXPECT_EQ(text.substr(0, 8), "10\r\n20\r\n");
    // Thumbnail lines: left before top.
    EXPECT_NE(text.find("\r\n2\r\n1\r\n3\r\n4\r\n1\r\n12\r\n1\r\n"), std::string::npos);

    SettingsRecord back;
    SettingsLoaded l = LoadSettings(dir.path(), back);
    EXPECT_EQ(l.lines, kSettingsLines);
    EXPECT_EQ(back.mainWindow, r.mainWindow);
    EXPECT_EQ(back.openFormFolder, r.openFormFolder);
    EXPECT_EQ(back.buttonMask, 1023);
    EXPECT_TRUE(back.UsePreviewCache);
    EXPECT_EQ(back.CacheCount, "35");
    EXPECT_EQ(back.thumbnail, r.thumbnail);
    EXPECT_TRUE(back.thumbnailSpeedButton1 && back.KeepAspect);
    EXPECT_EQ(back.DispCount, "12");
    EXPECT_TRUE(back.MatchOrientations);

    // A file written before the last line existed leaves the option off.
    text.erase(text.rfind("1\r\n"));
    SettingsRecord older;
    older.MatchOrientations = true;
    l = ParseSettings(text, older);
    EXPECT_EQ(l.lines, kSettingsLines - 1);
    EXPECT_TRUE(older.KeepAspect);
    EXPECT_TRUE(older.MatchOrientations) << "no line, no change";
}

TEST(Settings, ShortFilesAndBadLines) {
    SettingsRecord r;
    SettingsLoaded l = ParseSettings("5\r\n100\r\n700\r\n500\r\n", r);
    EXPECT_TRUE(l.memoManagerAtMainEdge);
    EXPECT_EQ(r.memoManager.height, 500);
    EXPECT_EQ(r.memoManager.top, 5);
    EXPECT_EQ(r.memoManager.left + r.memoManager.width, 800);

    // A line that is not a number takes its default; a group cut short keeps what came before.
    SettingsRecord s;
    std::string text;
    for (int i = 0; i < 21; ++i)
        text += (i == 2 ? "wide" : i == 20 ? "x" : std::to_string(i)) + "\n";
    text += "7\n8\n";
    l = ParseSettings(text, s, Never);
    EXPECT_EQ(s.mainWindow.width, 640);
    EXPECT_EQ(s.buttonMask, -1);
    EXPECT_EQ(s.folderExplorer.top, 7);
    EXPECT_EQ(s.folderExplorer.left, 8);
    EXPECT_EQ(s.folderExplorer.width, 300);
    EXPECT_EQ(s.regionWindow, SettingsRecord{}.regionWindow);
}

TEST(Settings, FoldersThatCannotBeShownAreShortened) {
    auto shown = [](const std::string& f) { return f == "/home/u"; };
    EXPECT_EQ(ShortenToShownFolder("/home/u/gone/deeper", shown), "/home/u");
    EXPECT_EQ(ShortenToShownFolder("/x/y", Never), "/x");
    EXPECT_EQ(ShortenToShownFolder("/abcd", Never), "/");
    EXPECT_EQ(ShortenToShownFolder("pictures", Never), "");
    EXPECT_EQ(ShortenToShownFolder("abc", Never), "abc");
}

} // namespace
} // namespace lumidex
