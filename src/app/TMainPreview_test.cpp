#include "DatabaseCommands.h"
#include "Format.h"
#include "MainWindowTesting.h"
#include "RecordingFrame.h"
#include "StartUp.h"
#include "TMain.h"
#include "TViewLeft.h"
#include "TempDir.h"
#include "TestApplication.h"
#include "TestPictures.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTreeView>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <filesystem>

namespace lumidex {
namespace {

using test::TempDir;

// p0 and p1 are the same picture (64 x 48); p2 is another, 40 x 60.
std::string MakePreviewDatabase(const TempDir& dir) {
    test::WritePicture(dir.File("pics/p0.png"), test::PhotoLikePicture(64, 48, 1));
    test::WritePicture(dir.File("pics/p1.png"), test::PhotoLikePicture(64, 48, 1));
    test::WritePicture(dir.File("pics/p2.png"), test::PhotoLikePicture(40, 60, 2));
    return test::WriteFolderDatabase(dir.File("pics"), dir.File("db_home"), dir.File("p.ld2"));
}

class PreviewTest : public test::MainWindowFixture {
protected:
    void SetUp() override { Start(MakePreviewDatabase(data)); }
    void SelectReference(int row) { SelectRow(main->ListBox1(), row); }
    QString Text(const char* name) { return main->findChild<QLabel*>(name)->text(); }
    Pdata* Entry(int row) { return main->workspace().lists.reference.EntryAt(row); }
};

TEST_F(PreviewTest, SelectingAReferenceShowsBothPanesWithFieldsAndColumns) {
    auto* filter = main->findChild<QComboBox*>("DataFilter");
    filter->setCurrentIndex(1);
    emit filter->activated(1);
    SelectReference(0);
    QLabel* left = main->PaneImage(true);
    QLabel* right = main->PaneImage(false);
    EXPECT_FALSE(left->isHidden());
    EXPECT_FALSE(right->isHidden());
    EXPECT_EQ(left->geometry(), QRect(8, 21, 105, 78));
    EXPECT_EQ(Text("STFnam1"), " p0.png");
    EXPECT_EQ(Text("STFnam2"), " p1.png");
    EXPECT_EQ(Text("STFSize1").toStdString(), FormatSize(Entry(0)->fileSize));
    // The date fits its field in the narrowest window.
    main->resize(640, main->height());
    QApplication::processEvents();
    QLabel* date = main->findChild<QLabel*>("STFDate");
    EXPECT_EQ(date->text().toStdString(), FormatFileTime(Entry(0)->fileTime));
    EXPECT_LE(date->fontMetrics().horizontalAdvance(date->text()), date->contentsRect().width());
    EXPECT_EQ(main->PaneHintText(true).toStdString(),
              Entry(0)->path + ":(64x48," + std::to_string(Entry(0)->fileSize) + " bytes)");
    EXPECT_TRUE(main->Action("ViewRefference1")->isEnabled());
    QAbstractItemModel* model = main->ListBox1()->model();
    EXPECT_EQ(model->index(0, 1).data().toString().toStdString(), FormatSize(Entry(0)->fileSize));
    EXPECT_FALSE(model->index(0, 2).data().toString().isEmpty());

    // A file deleted outside: View refuses it and the pane hides.
    std::filesystem::remove(Entry(0)->path);
    main->View(true, Entry(0));
    EXPECT_TRUE(left->isHidden());
    main->UpdateActions();
    EXPECT_FALSE(main->Action("ViewRefference1")->isEnabled());
}

TEST_F(PreviewTest, CacheEvictsInArrivalOrderAndReloadReadsAgain) {
    main->findChild<QCheckBox*>("UsePreviewCache")->setChecked(true);
    main->findChild<QLineEdit*>("CacheCount")->setText("2");
    for (int row : {0, 1, 0, 2})
        SelectReference(row);
    PreviewCache& cache = main->previewCache();
    ASSERT_EQ(cache.Count(), 2);
    EXPECT_EQ(cache.At(0).key.path, Entry(1)->path); // p0 went first, though shown again
    EXPECT_EQ(cache.At(1).key.path, Entry(2)->path);
    // Shown from the cache; a reload request reads the file again.
    SelectReference(1);
    main->RequestPaneReload(true);
    main->View(true, Entry(1));
    EXPECT_TRUE(main->Pane(true).smallCopy);
    // The viewer gets the picture itself, not the small copy.
    main->ImageDblClick(true, false);
    ASSERT_NE(main->PaneViewer(true), nullptr);
    EXPECT_TRUE(main->PaneViewer(true)->isVisible());
    EXPECT_EQ(main->PaneViewer(true)->picture().size(), QSize(64, 48));
    EXPECT_FALSE(main->Pane(true).smallCopy);
    EXPECT_EQ(main->PaneViewer(true)->windowTitle(), main->PaneHintText(true));
}

TEST_F(PreviewTest, LargeJpegIsDecodedReducedButKnownAndViewedWhole) {
    Workspace& ws = main->workspace();
    test::WriteJpeg(data.File("pics/big.jpg"), test::PhotoLikePicture(1600, 1200, 3));
    ws.AddPictures(data.File("pics"), {"big.jpg"});
    main->RefreshViews();
    const int row = ws.lists.reference.Find(ws.newPictures.front());
    ASSERT_GE(row, 0);
    for (bool cache : {false, true}) {
        main->findChild<QCheckBox*>("UsePreviewCache")->setChecked(cache);
        main->RequestPaneReload(true);
        SelectReference(row);
        main->View(true, Entry(row));
        const PreviewPaneState& pane = main->Pane(true);
        EXPECT_TRUE(pane.smallCopy);
        EXPECT_LT(pane.picture.width(), 1600);
        EXPECT_GE(pane.picture.height(), 105);
        EXPECT_EQ(main->PaneImage(true)->geometry(), QRect(8, 21, 105, 78));
        EXPECT_NE(main->PaneHintText(true).toStdString().find(":(1600x1200,"), std::string::npos);
        main->ImageDblClick(true, false);
        EXPECT_EQ(main->PaneViewer(true)->picture().size(), QSize(1600, 1200));
        EXPECT_FALSE(pane.smallCopy);
        main->PaneViewer(true)->hide();
    }
    // The cached copy keeps the picture's own size, though made from the reduced decode.
    PreviewCache& cache = main->previewCache();
    ASSERT_EQ(cache.Count(), 1);
    EXPECT_EQ(cache.At(0).fullWidth, 1600);
    EXPECT_EQ(cache.At(0).fullHeight, 1200);
}

TEST_F(PreviewTest, UnreadablePictureAndRemovedEntriesLeaveNothingBehind) {
    SelectReference(0);
    ASSERT_EQ(main->Pane(true).shown, Entry(0));
    // Damaged file: the message, and no old picture beside the new name.
    test::WriteBytes(Entry(1)->path, std::string(2000, 'x'));
    SelectReference(1);
    EXPECT_NE(main->CrystalHint().toStdString().find("Read failed," + Entry(1)->path),
              std::string::npos);
    EXPECT_TRUE(main->PaneImage(true)->isHidden());
    EXPECT_EQ(main->Pane(true).lastShown, nullptr);

    SelectReference(2);
    ASSERT_EQ(main->Pane(true).shown, Entry(2));
    main->ImageDblClick(true, true); // a free viewer
    ASSERT_EQ(main->FreeViewers().size(), 1u);
    const std::string path = Entry(2)->path;
    main->workspace().options.ConfirmClear = false;
    main->DeleteDataEntryClick();
    EXPECT_EQ(main->workspace().catalogue.FindEntry(path), -1);
    for (bool reference : {true, false}) {
        if (const Pdata* last = main->Pane(reference).lastShown) {
            EXPECT_NE(last->path, path);
        }
    }
    // "Goto Data" of a vanished entry does nothing.
    emit main->FreeViewers().front()->gotoDataRequested(path);
    main->workspace().DataChanged = false;
    main->ClearAllDataEntryClick();
    EXPECT_EQ(main->Pane(true).lastShown, nullptr);
    EXPECT_EQ(main->Pane(false).lastShown, nullptr);
}

TEST_F(PreviewTest, ReanalysingTheReferenceListShowsEachPictureAndDropsItsCopies) {
    Workspace& ws = main->workspace();
    main->findChild<QCheckBox*>("UsePreviewCache")->setChecked(true);
    for (int row : {0, 1, 2})
        SelectReference(row);
    ASSERT_EQ(main->previewCache().Count(), 3);
    SelectReference(1);
    // p2 turns unreadable: its pane is emptied, and the run goes on.
    test::WriteBytes(Entry(2)->path, std::string(2000, 'x'));
    std::vector<std::pair<const Pdata*, bool>> seen;
    auto show = ws.onReanalysing;
    ws.onReanalysing = [&](Pdata& entry, const FileAnalysis& read) {
        show(entry, read);
        seen.emplace_back(main->Pane(true).shown, !main->PaneImage(true)->isHidden());
        EXPECT_EQ(main->previewCache().Find({entry.path, read.status.size, read.status.modified}),
                  -1);
    };
    main->ReanalizeAllinRefListClick();
    const std::vector<std::pair<const Pdata*, bool>> expected = {
        {Entry(0), true}, {Entry(1), true}, {nullptr, false}};
    EXPECT_EQ(seen, expected);
    // Back to the selected reference, read again.
    EXPECT_EQ(ws.lists.reference.SelectedRow(), 1);
    EXPECT_EQ(main->Pane(true).shown, Entry(1));
    EXPECT_FALSE(main->PaneImage(true)->isHidden());
    EXPECT_EQ(main->PaneHintText(true).toStdString(),
              Entry(1)->path + ":(64x48," + std::to_string(Entry(1)->fileSize) + " bytes)");
}

TEST_F(PreviewTest, ViewerStepsOncePerNotchAndClosesOnEscape) {
    SelectReference(0);
    main->ImageDblClick(true, false);
    TViewLeft* viewer = main->PaneViewer(true);
    ASSERT_NE(viewer, nullptr);
    auto wheel = [&](int delta) {
        QWheelEvent e(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(viewer, &e);
    };
    wheel(40);
    wheel(40); // a touchpad's small steps: no notch yet
    EXPECT_EQ(main->workspace().lists.reference.SelectedRow(), 0);
    wheel(-120); // toward the user at the bottom: next reference
    EXPECT_EQ(main->workspace().lists.reference.SelectedRow(), 1);
    EXPECT_EQ(main->Pane(true).shown, Entry(1));
    QTest::keyClick(viewer, Qt::Key_Escape);
    EXPECT_FALSE(viewer->isVisible());
}

} // namespace
} // namespace lumidex
