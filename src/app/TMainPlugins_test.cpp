#include "MainWindowTesting.h"
#include "Paths.h"
#include "PluginMode.h"
#include "PluginTestPictures.h"
#include "TDirSel.h"
#include "TestPictures.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTreeView>

#include <gtest/gtest.h>

#include <filesystem>

namespace lumidex {
namespace {

void ChooseFolder(const std::string& folder) {
    test::OnDialog([folder](QDialog* d) {
        EXPECT_EQ(d->windowTitle(), "Susie Plugin Folder");
        static_cast<TDirSel*>(d)->SetCurrentFolder(folder);
        d->findChild<QPushButton*>("Button1")->click();
    });
}

class PluginModeWindow : public test::MainWindowFixture {
protected:
    void TearDown() override {
        Stop();
        SetActivePictureHost(nullptr);
    }
    // The plug-in menu's enabling as the user finds it when it drops down.
    std::pair<bool, bool> MenuEnabling() {
        emit main->MenuNamed("SetSusiePlugins1")->aboutToShow();
        return {main->Action("SetPluginDirectory1")->isEnabled(),
                main->Action("StopUsingPlugins1")->isEnabled()};
    }
    std::string Settings() const { return home.File(kPluginSettingsFile); }
    std::string Outcome() const { return main->PanelText(StatusPanel::Outcome); }
};

TEST_F(PluginModeWindow, FolderChosenSwitchesOnAndStopSwitchesOff) {
    Start();
    Workspace& ws = main->workspace();
    EXPECT_FALSE(ws.PluginsInUse);
    EXPECT_EQ(Outcome(), "Lumidex native graphics:JPEG,BMP,PNG");
    EXPECT_EQ(MenuEnabling(), std::make_pair(true, false));
    const std::string addingFolder = data.path();
    main->DirSel()->SetCurrentFolder(addingFolder);

    ChooseFolder(PROJECT_PLUGIN_DIR);
    main->Action("SetPluginDirectory1")->trigger();
    ASSERT_TRUE(ws.PluginsInUse);
    EXPECT_EQ(ActivePictureHost(), &ws.plugins);
    EXPECT_EQ(Outcome().rfind("Loaded Susie plugin:.", 0), 0u) << Outcome();
    EXPECT_NE(Outcome().find("WebP"), std::string::npos);
    EXPECT_EQ(ws.PicturePatterns.description, "Susie graphics");
    EXPECT_TRUE(ws.IsReadableExtension(".heic"));
    EXPECT_EQ(test::ReadWholeFile(Settings()), std::string(PROJECT_PLUGIN_DIR) + "\n");
    EXPECT_EQ(MenuEnabling(), std::make_pair(false, true));
    // The adding commands find their own folder again.
    EXPECT_EQ(paths::WithTrailingDelimiter(main->DirSel()->CurrentFolder()), addingFolder);

    main->Action("StopUsingPlugins1")->trigger();
    EXPECT_FALSE(ws.PluginsInUse);
    EXPECT_EQ(ActivePictureHost(), nullptr);
    EXPECT_FALSE(std::filesystem::exists(Settings()));
    EXPECT_FALSE(ws.IsReadableExtension(".webp"));
    EXPECT_EQ(Outcome(), "Lumidex native graphics:JPEG,BMP,PNG");
    EXPECT_EQ(MenuEnabling(), std::make_pair(true, false));
}

TEST_F(PluginModeWindow, FolderWithoutPluginsKeepsTheModeOffAndTheLoadedOnes) {
    Start();
    Workspace& ws = main->workspace();
    // A cancelled dialog changes nothing.
    test::OnDialog([](QDialog* d) { d->findChild<QPushButton*>("Button2")->click(); });
    main->Action("SetPluginDirectory1")->trigger();
    EXPECT_TRUE(script.questions.empty());

    ChooseFolder(std::string(TEST_PLUGIN_DIR) + "nopicture");
    main->Action("SetPluginDirectory1")->trigger();
    ASSERT_EQ(script.questions.size(), 1u);
    EXPECT_EQ(script.questions[0].caption, "Bad Folder");
    EXPECT_EQ(script.questions[0].text, "No valid plugin");
    EXPECT_FALSE(ws.PluginsInUse);
    EXPECT_FALSE(std::filesystem::exists(Settings()));
    EXPECT_EQ(MenuEnabling(), std::make_pair(true, false));
}

TEST_F(PluginModeWindow, StartUpFollowsTheSettingsFile) {
    struct Case {
        std::string folder;
        bool on;
        std::string message;
    };
    const Case cases[] = {
        {PROJECT_PLUGIN_DIR, true, ""},
        {std::string(TEST_PLUGIN_DIR) + "nopicture/", false, "No valid Susie plugin"},
        {"", false, ""},
    };
    for (const Case& c : cases) {
        test::WriteBytes(Settings(), c.folder + "\n");
        script.questions.clear();
        Start();
        Workspace& ws = main->workspace();
        EXPECT_EQ(ws.PluginsInUse, c.on) << c.folder;
        EXPECT_EQ(MenuEnabling(), std::make_pair(!c.on, c.on)) << c.folder;
        if (c.on) {
            EXPECT_EQ(Outcome().rfind("Loaded Susie plugin:.", 0), 0u);
        } else {
            EXPECT_EQ(ws.PicturePatterns.description, "BMP & JPEG & PNG graphics");
            EXPECT_EQ(Outcome(), "Lumidex native graphics:JPEG,BMP,PNG");
        }
        ASSERT_EQ(script.questions.size(), c.message.empty() ? 0u : 1u) << c.folder;
        if (!c.message.empty()) {
            EXPECT_EQ(script.questions[0].caption, "Bad Folder");
            EXPECT_EQ(script.questions[0].text, c.message);
        }
        Stop();
    }
}

// The formats the built-in readers lack, added, previewed and listed up in plug-in mode.
TEST_F(PluginModeWindow, PluginFormatsAreAddedPreviewedAndListedUp) {
    const QImage scene = test::PhotoLikePicture(160, 120, 4);
    test::WriteWebp(data.File("pics/scene.webp"), scene);
    test::WriteTiff(data.File("pics/scene.tif"), scene);
    const bool heic = test::WriteHeic(data.File("pics/scene.heic"), scene);
    // GIF holds 256 colours: a picture of few colours keeps its signature.
    const QImage few = test::MakePicture(
        160, 120, [](int x, int y) { return qRgb((x / 20) * 36, (y / 15) * 32, 128); });
    test::WriteGif(data.File("pics/few.gif"), few);
    // The GIF's logical screen frames the picture with a pixel of its background colour.
    QImage framed(162, 122, QImage::Format_RGB888);
    framed.fill(QColor(9, 9, 9));
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 160; ++x)
            framed.setPixel(x + 1, y + 1, few.pixel(x, y));
    test::WritePng(data.File("pics/few.png"), framed);

    test::WriteBytes(Settings(), std::string(PROJECT_PLUGIN_DIR) + "\n");
    Start();
    Workspace& ws = main->workspace();
    ASSERT_TRUE(ws.PluginsInUse);
    main->AddPicturesFromFolder(data.File("pics"));
    const int expected = heic ? 5 : 4;
    ASSERT_EQ(ws.catalogue.Count(), expected) << main->CrystalHint().toStdString();

    main->DataFilterChange(static_cast<int>(FilterItem::HasSimilarPics));
    EXPECT_EQ(ws.lists.reference.Count(), expected);
    for (int row = 0; row < ws.lists.reference.Count(); ++row) {
        QTreeView* view = main->ListBox1();
        view->selectionModel()->select(view->model()->index(row, 0),
                                       QItemSelectionModel::ClearAndSelect |
                                           QItemSelectionModel::Rows);
        main->UpdateActions();
        const Pdata* entry = ws.lists.reference.EntryAt(row);
        EXPECT_EQ(main->Pane(true).shown, entry) << entry->path;
        const bool few = entry->path.find("few.") != std::string::npos;
        EXPECT_EQ(main->Pane(true).fullWidth, few ? 162 : 160) << entry->path;
        EXPECT_FALSE(main->PaneImage(true)->isHidden()) << entry->path;
        EXPECT_GE(ws.lists.target.Count(), 1) << entry->path;
        EXPECT_TRUE(main->Action("ViewRefference1")->isEnabled()) << entry->path;
    }
}

} // namespace
} // namespace lumidex
