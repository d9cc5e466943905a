#include "MainWindowTesting.h"
#include "TPView.h"
#include "TestPictures.h"

#include <QAction>
#include <QCheckBox>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>

#include <gtest/gtest.h>

#include <filesystem>

namespace lumidex {
namespace {

// Works the region window that the next command opens; a window still open after two
// seconds is closed, so that a fault fails the test instead of hanging it.
void OnRegionWindow(std::function<void(TPView*)> work) {
    test::OnDialog([work](QDialog* dialog) {
        auto* view = dynamic_cast<TPView*>(dialog);
        ASSERT_NE(view, nullptr);
        QTimer::singleShot(2000, view, [view] { view->reject(); });
        work(view);
    });
}

void Click(TPView* view, const char* button) {
    view->findChild<QPushButton*>(button)->click();
}

// A photograph and a crop of it: not alike as wholes, alike through a region.
class RegionsInTheWindow : public test::MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        const QImage scene = test::PhotoLikePicture(200, 150, 11);
        test::WritePng(data.File("pics/scene.png"), scene);
        test::WritePng(data.File("pics/crop.png"), scene.copy(50, 40, 100, 80));
        Start();
        main->AddPicturesFromFolder(data.File("pics"));
        Workspace& ws = main->workspace();
        ASSERT_EQ(ws.catalogue.Count(), 2);
        ws.DataChanged = false;
        main->UpdateTitle(0);
    }
    // Selects the reference row of path.
    Pdata* SelectReference(const std::string& name) {
        EntryList& list = main->workspace().lists.reference;
        for (int row = 0; row < list.Count(); ++row) {
            if (!list.EntryAt(row)->path.ends_with(name)) continue;
            QTreeView* view = main->ListBox1();
            view->selectionModel()->select(view->model()->index(row, 0),
                                           QItemSelectionModel::ClearAndSelect |
                                               QItemSelectionModel::Rows);
            main->UpdateActions();
            return list.EntryAt(row);
        }
        ADD_FAILURE() << name << " not listed";
        return nullptr;
    }
    std::string Title() const { return main->windowTitle().toStdString(); }
};

TEST_F(RegionsInTheWindow, RegionDrawnOnAPictureFindsItsCroppedCopy) {
    Workspace& ws = main->workspace();
    main->DataFilterChange(static_cast<int>(FilterItem::HasSimilarPics));
    EXPECT_EQ(ws.lists.reference.Count(), 0) << "the crop is not alike as a whole";
    main->DataFilterChange(static_cast<int>(FilterItem::All));
    Pdata* scene = SelectReference("scene.png");
    ASSERT_EQ(main->Pane(true).shown, scene);

    // Closing without Add or Delete changes no flag, but the pane reads its picture again.
    OnRegionWindow([&](TPView* view) {
        EXPECT_EQ(view->EditedEntry(), scene);
        Click(view, "Cancel");
    });
    main->Action("MakeSecondIndex1")->trigger();
    EXPECT_FALSE(ws.DataChanged);
    EXPECT_EQ(Title(), "Lumidex2 [New]");
    EXPECT_TRUE(main->Pane(true).reloadRequest);

    SelectReference("scene.png");
    OnRegionWindow([&](TPView* view) {
        view->SetRectangleArea({50, 40, 150, 120});
        Click(view, "AddButton");
        EXPECT_EQ(view->findChild<QListWidget*>("ListBox1")->count(), 1);
        Click(view, "Cancel");
    });
    main->Action("MakeSecondIndex1")->trigger();
    ASSERT_EQ(scene->RegionCount(), 1);
    EXPECT_EQ(scene->RegionAt(0).area, (Area{50, 40, 150, 120}));
    EXPECT_TRUE(ws.DataChanged);
    EXPECT_EQ(Title(), "Lumidex2 [New]*");

    main->DataFilterChange(static_cast<int>(FilterItem::HasSimilarPics));
    ASSERT_EQ(ws.lists.reference.Count(), 1);
    SelectReference("scene.png");
    ASSERT_EQ(ws.lists.target.Count(), 1);
    EXPECT_TRUE(ws.lists.target.EntryAt(0)->path.ends_with("crop.png"));
    // Without "Use SubIndex" the region is not looked for.
    main->findChild<QCheckBox*>("UseSubIndex")->click();
    EXPECT_FALSE(ws.options.UseSubIndex);
    EXPECT_EQ(ws.lists.target.Count(), 0);
    main->findChild<QCheckBox*>("UseSubIndex")->click();
    EXPECT_EQ(ws.lists.target.Count(), 1);
}

TEST_F(RegionsInTheWindow, WindowEditsTheEntryThePaneShowsWithItsFullPicture) {
    Workspace& ws = main->workspace();
    ws.options.UsePreviewCache = true;
    Pdata* crop = SelectReference("crop.png");
    Pdata* scene = SelectReference("scene.png");
    SelectReference("crop.png");
    SelectReference("scene.png");
    ASSERT_TRUE(main->Pane(true).smallCopy) << "the pane holds only the small copy";
    // The target pane shows the crop while the target list has nothing selected.
    main->View(false, crop);
    ASSERT_EQ(main->Pane(false).shown, crop);
    OnRegionWindow([&](TPView* view) {
        EXPECT_EQ(view->EditedEntry(), crop);
        EXPECT_EQ(view->findChild<QWidget*>("Image1")->size(), QSize(100, 80));
        Click(view, "Cancel");
    });
    main->Action("SubIndex1")->trigger();
    OnRegionWindow([&](TPView* view) {
        EXPECT_EQ(view->EditedEntry(), scene);
        EXPECT_EQ(view->findChild<QWidget*>("Image1")->size(), QSize(200, 150));
        Click(view, "Cancel");
    });
    main->Action("MakeSecondIndex1")->trigger();
    EXPECT_EQ(ws.lists.currentTarget, nullptr);

    // The pane's menu offers no regions of a file that went away.
    main->View(false, crop);
    QMenu* menu = main->findChild<QMenu*>("PopupMenuLeftLower");
    emit menu->aboutToShow();
    EXPECT_TRUE(main->Action("SubIndex1")->isEnabled());
    std::filesystem::remove(crop->path);
    emit menu->aboutToShow();
    EXPECT_FALSE(main->Action("SubIndex1")->isEnabled());
}

TEST_F(RegionsInTheWindow, EntryRemovedWhileItsRegionsAreEditedIsLetGo) {
    Workspace& ws = main->workspace();
    ws.options.ConfirmClear = false;
    Pdata* scene = SelectReference("scene.png");
    const std::string path = scene->path;
    bool closedByRemoval = false;
    OnRegionWindow([&](TPView* view) {
        view->SetRectangleArea({50, 40, 150, 120});
        Click(view, "AddButton");
        // A command that runs while the window is up (a companion's message) frees the entry.
        ws.lists.ClearSelectedEntry();
        EXPECT_EQ(view->EditedEntry(), nullptr);
        EXPECT_FALSE(view->findChild<QPushButton*>("AddButton")->isEnabled());
        QTimer::singleShot(0, [&closedByRemoval, view] { closedByRemoval = !view->isVisible(); });
    });
    main->Action("MakeSecondIndex1")->trigger();
    QApplication::processEvents();
    EXPECT_TRUE(closedByRemoval);
    EXPECT_EQ(ws.catalogue.FindEntry(path), -1);
    EXPECT_EQ(ws.catalogue.Count(), 1);
}

} // namespace
} // namespace lumidex
