#include "FrameRules.h"

#include "MenuCaptions.h"
#include <QLocale>

#include <gtest/gtest.h>

#include <set>

namespace lumidex {
namespace {

TEST(FrameRules, TitleMarksFollowTheFlagsInOrder) {
    struct Case {
        std::string path;
        bool data, options, old;
        std::string title;
    };
    const Case cases[] = {
        {"", false, false, false, "Lumidex2 [New]"},
        {"", true, true, true, "Lumidex2 [New]*+!"},
        {"/d/a.ld2", false, false, true, "Lumidex2 [/d/a.ld2]!"},
        {"/d/a.ld2", true, false, true, "Lumidex2 [/d/a.ld2]*!"},
        {"/d/a.ld2", false, true, false, "Lumidex2 [/d/a.ld2]+"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(BuildTitle(c.path, c.data, c.options, c.old), c.title) << c.path;
}

TEST(FrameRules, FirstStartFollowsTheUsersLanguage) {
    EXPECT_TRUE(JapaneseMenuAtFirstStart(QLocale::Japanese));
    for (auto language : {QLocale::English, QLocale::German, QLocale::Chinese, QLocale::C})
        EXPECT_FALSE(JapaneseMenuAtFirstStart(language)) << language;
}

TEST(FrameRules, SaveQuestionCaptionIsTheBareFileName) {
    EXPECT_EQ(DatabaseCaption(""), "[New]");
    EXPECT_EQ(DatabaseCaption("/home/u/pics.v2.ld2"), "pics.v2");
    EXPECT_EQ(DatabaseCaption("/home/u/noext"), "noext");
}

TEST(FrameRules, KeysOfTheMainWindow) {
    struct Case {
        int key;
        Qt::KeyboardModifiers mods;
        bool targetFocus;
        KeyAction action;
        bool consumed;
    };
    const Qt::KeyboardModifiers pad = Qt::KeypadModifier;
    const Case cases[] = {
        {Qt::Key_1, pad, false, KeyAction::NextReference, true},
        {Qt::Key_4, pad, true, KeyAction::PreviousReference, true},
        {Qt::Key_3, pad, false, KeyAction::NextTarget, true},
        {Qt::Key_6, pad, false, KeyAction::PreviousTarget, true},
        {Qt::Key_7, pad, false, KeyAction::ToggleReferenceViewer, false},
        {Qt::Key_9, pad, false, KeyAction::ToggleTargetViewer, false},
        {Qt::Key_1, Qt::NoModifier, false, KeyAction::None, false}, // the digit row is typing
        {Qt::Key_Down, Qt::NoModifier, false, KeyAction::NextReference, true},
        {Qt::Key_Up, Qt::NoModifier, false, KeyAction::PreviousReference, true},
        {Qt::Key_Up, Qt::KeypadModifier, false, KeyAction::PreviousReference, true},
        {Qt::Key_Down, Qt::NoModifier, true, KeyAction::None, false},
        {Qt::Key_Space, Qt::NoModifier, false, KeyAction::NextReference, true},
        {Qt::Key_Space, Qt::ControlModifier, false, KeyAction::PreviousReference, true},
        {Qt::Key_Space, Qt::NoModifier, true, KeyAction::None, false},
        {Qt::Key_Space, Qt::ShiftModifier, false, KeyAction::None, false},
    };
    for (const Case& c : cases) {
        KeyDecision d = DecideKey(c.key, c.mods, c.targetFocus);
        EXPECT_EQ(d.action, c.action) << c.key;
        EXPECT_EQ(d.consumed, c.consumed) << c.key;
    }
}

TEST(FrameRules, PlaceAtCursorKeepsTheWindowOnScreen) {
    const QRect screen(0, 0, 1000, 800);
    const QSize size(200, 100);
    EXPECT_EQ(PlaceAtCursorPosition(size, {500, 400}, screen), QPoint(400, 350));
    EXPECT_EQ(PlaceAtCursorPosition(size, {990, 790}, screen), QPoint(800, 700));
    EXPECT_EQ(PlaceAtCursorPosition(size, {10, 10}, screen), QPoint(0, 0));
    // Larger than the screen: the top left corner wins.
    EXPECT_EQ(PlaceAtCursorPosition({1200, 900}, {500, 400}, screen), QPoint(0, 0));
    // A second screen to the right.
    EXPECT_EQ(PlaceAtCursorPosition(size, {1010, 10}, QRect(1000, 0, 800, 600)), QPoint(1000, 0));
}

TEST(FrameRules, ToolButtonAndMenuEnabling) {
    FrameState empty;
    ToolButtonStates t = UpdateToolButtonStates(empty);
    EXPECT_FALSE(t.clearAll);
    EXPECT_FALSE(t.refresh);
    EXPECT_FALSE(t.makeMismatch);
    EXPECT_TRUE(t.searchButton);
    EXPECT_FALSE(DatabaseActions(empty).saveAs);

    FrameState s;
    s.catalogueCount = 3;
    s.referenceRows = 3;
    s.referenceSelected = true;
    t = UpdateToolButtonStates(s);
    EXPECT_TRUE(t.clearAll);
    EXPECT_FALSE(t.makeMismatch);
    EXPECT_FALSE(t.searchButton); // "All" with entries
    s.dataFilterIndex = 2;
    EXPECT_TRUE(UpdateToolButtonStates(s).searchButton);
    EXPECT_FALSE(DatabaseActions(s).save);
    s.anyChangeFlag = true;
    EXPECT_TRUE(DatabaseActions(s).save);
    EXPECT_TRUE(DatabaseActions(s).import);

    EXPECT_TRUE(DropDownEnabled("DeleteDataEntry1", s));
    EXPECT_FALSE(DropDownEnabled("Makemismatch1", s));
    EXPECT_FALSE(DropDownEnabled("ExportMemo1", s));
    EXPECT_FALSE(DropDownEnabled("ImportListfromClipboard1", s));
    s.clipboardHasText = true;
    EXPECT_TRUE(DropDownEnabled("ImportListfromClipboard1", s));
    EXPECT_FALSE(DropDownEnabled("Refind1", empty));
    EXPECT_TRUE(DropDownEnabled("Opendatabase1", empty));
}

TEST(FrameRules, ToolMenuItemsFollowTheCatalogueAndTheReference) {
    struct Case {
        const char* item;
        bool empty, entries, entriesAndReference;
    };
    const Case cases[] = {
        {"SearchUnlinkedData", false, true, true}, {"MenuMismatchEditor", false, true, true},
        {"FolderExplorer1", false, true, true},    {"ChangeAllFilePath1", false, true, true},
        {"SlideShow1", false, false, true},        {"MovePath1", false, false, true},
    };
    FrameState empty, entries, selected;
    entries.catalogueCount = entries.referenceRows = 2;
    selected = entries;
    selected.referenceSelected = true;
    for (const Case& c : cases) {
        EXPECT_EQ(DropDownEnabled(c.item, empty), c.empty) << c.item;
        EXPECT_EQ(DropDownEnabled(c.item, entries), c.entries) << c.item;
        EXPECT_EQ(DropDownEnabled(c.item, selected), c.entriesAndReference) << c.item;
    }
}

TEST(FrameRules, FileDialogFiltersInQtForm) {
    EXPECT_EQ(DialogNameFilter("Lumidex Database(ls2,ldb)|*.ld2;*.ldb|All|*.*"),
              "Lumidex Database(ls2,ldb) (*.ld2 *.ldb);;All (*)");
    EXPECT_EQ(DialogNameFilter("Lumidex2 Database(ld2)|*.ld2|All|*.*"),
              "Lumidex2 Database(ld2) (*.ld2);;All (*)");
    EXPECT_EQ(DialogNameFilter("Memo|*.l2m"), "Memo (*.l2m)");
    EXPECT_EQ(DialogNameFilter(""), "");
}

TEST(FrameRules, SizeComparisonOfThePreviews) {
    const PanelLook plain, high{true, false}, raised{false, true};
    struct Case {
        int64_t left, right;
        PanelLook l, r;
    };
    const Case cases[] = {
        {100, 100, high, high},  {200, 100, raised, plain}, {100, 200, plain, raised},
        {-1, 100, plain, plain}, {0, 0, plain, plain},      {100, -1, plain, plain},
    };
    for (const Case& c : cases) {
        SizeComparison s = CompareSizes(c.left, c.right);
        EXPECT_EQ(s.left, c.l) << c.left << " " << c.right;
        EXPECT_EQ(s.right, c.r) << c.left << " " << c.right;
    }
}

TEST(MenuCaptions, TableCoversEveryNamedItemOfTheMenu) {
    const auto& table = MenuCaptionTable();
    EXPECT_EQ(table.size(), 62u);
    std::set<std::string> rows;
    for (const MenuCaption& row : table)
        EXPECT_TRUE(rows.insert(row.name).second) << row.name;

    std::set<std::string> keys;
    std::function<void(const std::vector<MenuNode>&)> walk =
        [&](const std::vector<MenuNode>& nodes) {
            for (const MenuNode& n : nodes) {
                if (n.separator) continue;
                keys.insert(n.captionKey);
                walk(n.children);
            }
        };
    walk(MainMenuLayout());
    EXPECT_EQ(keys, rows);
}

TEST(MenuCaptions, JapaneseCaptionsKeepTheEnglishAccelerator) {
    for (const MenuCaption& row : MenuCaptionTable()) {
        // The one Japanese caption that names its command differently and has no accelerator.
        if (std::string(row.name) == "ImportListfromClipboard1") continue;
        std::string en = row.english, ja = row.japanese;
        size_t amp = en.find('&');
        if (amp == std::string::npos || en.compare(amp, 2, "&&") == 0) continue;
        std::string accel = en.substr(amp, 2);
        EXPECT_NE(ja.find(accel), std::string::npos) << row.name;
    }
    EXPECT_STREQ(MenuCaptionFor("ChangeFilenamewithCSV1", 1),
                 "リネームツールで作成したCSVファイルを読み込んでファイル名を変更(Change Filename "
                 "with CS&V)...");
    EXPECT_STREQ(MenuCaptionFor("File1", 0), "&File");
    EXPECT_EQ(MenuCaptionFor("File1", 2), nullptr);
}

TEST(MenuCaptions, SetMenuLanguageAssignsAllRowsOrNothing) {
    std::vector<std::pair<std::string, std::string>> got;
    auto assign = [&](const std::string& n, const std::string& c) { got.emplace_back(n, c); };
    EXPECT_FALSE(SetMenuLanguage(2, assign));
    EXPECT_FALSE(SetMenuLanguage(-1, assign));
    EXPECT_TRUE(got.empty());
    EXPECT_TRUE(SetMenuLanguage(1, assign));
    ASSERT_EQ(got.size(), 62u);
    EXPECT_EQ(got.front(), std::make_pair(std::string("File1"), std::string("ファイル(&F)")));
    EXPECT_EQ(got.back(),
              std::make_pair(std::string("About1"), std::string("バージョン情報(&About)...")));
}

} // namespace
} // namespace lumidex
