#include "Companions.h"
#include "MainWindowTesting.h"
#include "PictureReader.h"
#include "TSlideShow.h"
#include "TThumbnail.h"
#include "TViewLeft.h"
#include "TestPictures.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QSharedMemory>
#include <QSlider>
#include <QTimer>
#include <QTreeView>

#include <gtest/gtest.h>

#include <filesystem>

namespace lumidex {
namespace {

using test::TempDir;

// a0 and a1 are one picture (80 x 60), b2 a second (40 x 60), c3 a damaged file in the
// catalogue, d4 a third picture (60 x 60).
std::string MakeToolsDatabase(const TempDir& dir) {
    test::WritePicture(dir.File("pics/a0.png"), test::PhotoLikePicture(80, 60, 1));
    test::WritePicture(dir.File("pics/a1.png"), test::PhotoLikePicture(80, 60, 1));
    test::WritePicture(dir.File("pics/b2.png"), test::PhotoLikePicture(40, 60, 2));
    test::WritePicture(dir.File("pics/c3.png"), test::PhotoLikePicture(60, 60, 3));
    test::WritePicture(dir.File("pics/d4.png"), test::PhotoLikePicture(60, 60, 4));
    const std::string path =
        test::WriteFolderDatabase(dir.File("pics"), dir.File("db_home"), dir.File("t.ld2"));
    test::WriteBytes(dir.File("pics/c3.png"), std::string(3000, 'x'));
    return path;
}

class ViewToolsTest : public test::MainWindowFixture {
protected:
    void SetUp() override {
        test::EnsureApplication();
        QGuiApplication::clipboard()->clear();
        // The thumbnail window's cache, never the user's.
        ::setenv("XDG_CACHE_HOME", data.File("cache").c_str(), 1);
        // The companion channel, private to the test.
        ::mkdir(data.File("runtime").c_str(), 0700);
        ::setenv("XDG_RUNTIME_DIR", data.File("runtime").c_str(), 1);
        Start(MakeToolsDatabase(data));
    }
    void Select(QTreeView* view, int row) { SelectRow(view, row); }
    bool Enabled(const char* name) {
        main->UpdateActions();
        return main->Action(name)->isEnabled();
    }
    Lists& lists() { return main->workspace().lists; }
    std::string RowPath(int row) { return lists().reference.EntryAt(row)->path; }
};

TEST_F(ViewToolsTest, CommandsAreEnabledByTheirRules) {
    main->ListBox2()->clearSelection();
    main->ListBox1()->clearSelection();
    EXPECT_TRUE(Enabled("ShowThumnail1"));
    EXPECT_FALSE(Enabled("SlideShow1")); // no reference selected
    EXPECT_FALSE(Enabled("SynthesisView1"));
    EXPECT_FALSE(Enabled("CompairwithClipboard1"));
    Select(main->ListBox1(), 0);
    main->ListBox2()->clearSelection();
    EXPECT_TRUE(Enabled("SlideShow1"));
    EXPECT_FALSE(Enabled("SynthesisView1")); // no target
    ASSERT_GT(lists().target.Count(), 0);
    Select(main->ListBox2(), 0);
    EXPECT_TRUE(Enabled("SynthesisView1"));
    QGuiApplication::clipboard()->setText("text only");
    EXPECT_FALSE(Enabled("CompairwithClipboard1"));
    QGuiApplication::clipboard()->setImage(test::PhotoLikePicture(30, 30, 5));
    EXPECT_TRUE(Enabled("CompairwithClipboard1"));

    main->ClearAllDataEntryClick();
    EXPECT_FALSE(Enabled("ShowThumnail1"));
    EXPECT_FALSE(Enabled("SlideShow1"));
}

TEST_F(ViewToolsTest, ThumbnailsFollowTheSelectionReuseCellsAndOpenTheSharedViewer) {
    Select(main->ListBox1(), 0);
    main->Action("ShowThumnail1")->trigger();
    TThumbnail* thumbs = main->Thumbnail();
    ASSERT_TRUE(thumbs->isVisible());
    thumbs->FinishDrawing();
    const ThumbnailDrawing& drawing = thumbs->drawing();
    ASSERT_GE(drawing.Capacity(), 5);
    ASSERT_EQ(drawing.Records().size(), 5u); // every row, the first at the top left
    EXPECT_EQ(drawing.Records()[0].path, RowPath(0));
    EXPECT_EQ(drawing.Records()[0].cell.topLeft(), QPoint(0, 0));
    EXPECT_EQ(drawing.readCount, 5);
    EXPECT_FALSE(drawing.focusFrame.isEmpty());

    // A new selection draws again from the event loop and copies the cells it had.
    Select(main->ListBox1(), 3);
    EXPECT_TRUE(thumbs->Busy());
    thumbs->FinishDrawing();
    EXPECT_EQ(drawing.readCount, 5);

    // The damaged file's cell holds the error picture; a good one opens the shared viewer.
    const Thumlist& good = drawing.Records()[1];
    thumbs->PointAt(good.cell.center());
    EXPECT_EQ(thumbs->findChild<QLineEdit*>("Filename")->text().toStdString(), good.path);
    thumbs->OpenPointed();
    TViewLeft* viewer = nullptr;
    for (QWidget* w : program->windows)
        if (auto* v = qobject_cast<TViewLeft*>(w)) viewer = v;
    ASSERT_NE(viewer, nullptr);
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_EQ(viewer->windowTitle().toStdString(), good.path);
    EXPECT_EQ(viewer->picture().size(), QSize(80, 60));

    // Paging moves the reference selection; the tool button closes the window.
    thumbs->Page(PagingButton::BackLine);
    EXPECT_LT(lists().reference.SelectedRow(), 3);
    main->Action("ShowThumnail1")->trigger();
    EXPECT_FALSE(thumbs->isVisible());
}

TEST_F(ViewToolsTest, APictureAChangedCompanionReportsIsDrawnAnew) {
    Select(main->ListBox1(), 0);
    main->ShowThumbClick();
    TThumbnail* thumbs = main->Thumbnail();
    thumbs->FinishDrawing();
    const ThumbnailDrawing& drawing = thumbs->drawing();
    ASSERT_EQ(drawing.Records()[0].path, RowPath(0));
    const QPoint inside = drawing.Records()[0].drawn.center();
    const QRgb before = drawing.Picture().pixel(inside);
    const QPoint neighbour = drawing.Records()[1].drawn.center();
    const QRgb neighbourBefore = drawing.Picture().pixel(neighbour);

    // An editor saves another picture over the first row's file and tells the program.
    QImage other(80, 60, QImage::Format_RGB32);
    other.fill(qRgb(250, 10, 10));
    test::WritePicture(RowPath(0), other);
    {
        QSharedMemory block(PerUserChannelName("Lumidex Server"));
        ASSERT_TRUE(block.attach());
        block.lock();
        WriteBlockPath(static_cast<char*>(block.data()), RowPath(0));
        block.unlock();
    }
    main->CompanionMessage(0, 0);
    QApplication::processEvents();
    thumbs->FinishDrawing();
    ASSERT_EQ(drawing.Records()[0].path, RowPath(0));
    EXPECT_NE(drawing.Picture().pixel(inside), before);
    EXPECT_EQ(qRed(drawing.Picture().pixel(inside)), 250);
    EXPECT_EQ(drawing.Picture().pixel(neighbour), neighbourBefore);
}

TEST_F(ViewToolsTest, ThumbnailsLetGoOfACatalogueBeingCleared) {
    Select(main->ListBox1(), 0);
    main->ShowThumbClick();
    main->Thumbnail()->FinishDrawing();
    main->workspace().options.ConfirmClear = false;
    main->ClearAllDataEntryClick();
    QApplication::processEvents();
    main->Thumbnail()->FinishDrawing();
    EXPECT_TRUE(main->Thumbnail()->drawing().Records().empty());
}

TEST_F(ViewToolsTest, SlideShowSkipsUnreadablePicturesAndStopsAtTheEndWithoutWrap) {
    Workspace& ws = main->workspace();
    ws.options.WrapAround = false;
    ws.options.TrackBar2 = 19;
    Select(main->ListBox1(), 1);
    TSlideShow* show = main->SlideShowWindow();
    show->PrepareShowing();
    EXPECT_EQ(show->TrackBar1()->maximum(), 4);
    EXPECT_EQ(show->TrackBar1()->value(), 1);
    EXPECT_EQ(show->findChild<QLabel*>("FileName")->text(), "a1");
    show->show();
    show->PlayClick();
    TViewLeft* viewer = show->SlideViewer();
    ASSERT_NE(viewer, nullptr);
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_EQ(viewer->windowTitle(), "Slide Show");
    EXPECT_EQ(viewer->picture().size(), QSize(80, 60));
    EXPECT_EQ(show->Timer1()->interval(), 60000);

    show->Tick(); // b2
    EXPECT_EQ(show->TrackBar1()->value(), 2);
    show->Tick(); // c3 cannot be read: d4
    EXPECT_EQ(show->TrackBar1()->value(), 4);
    EXPECT_TRUE(show->Timer1()->isActive());
    show->Tick(); // the end without WrapAround
    EXPECT_EQ(show->TrackBar1()->value(), 4);
    EXPECT_FALSE(show->Timer1()->isActive());
    EXPECT_TRUE(show->findChild<QAbstractButton*>("Stop")->isChecked());

    // The list emptied under a running show: the next tick stops it.
    ws.options.WrapAround = true;
    show->PlayClick();
    lists().ClearReferenceList();
    show->Tick();
    EXPECT_FALSE(show->Timer1()->isActive());
    show->CloseClick();
    QApplication::processEvents();
    EXPECT_EQ(show->SlideViewer(), nullptr);
}

TEST_F(ViewToolsTest, SynthesisInterlacesTheFullPicturesAndReportsAFailedRead) {
    Select(main->ListBox1(), 0);
    Select(main->ListBox2(), 0);
    const std::string reference = lists().currentReference->path;
    const std::string target = lists().currentTarget->path;
    main->SynthViewClick();
    TViewLeft* viewer = main->SynthesisViewer();
    ASSERT_NE(viewer, nullptr);
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_EQ(viewer->windowTitle(), "a0.png + a1.png");
    QImage under, over;
    ASSERT_EQ(ReadPicture(under, reference), 0);
    ASSERT_EQ(ReadPicture(over, target), 0);
    const QImage shown = viewer->picture().convertToFormat(QImage::Format_RGB888);
    EXPECT_EQ(shown.pixel(5, 0), over.pixel(5, 0));
    EXPECT_EQ(shown.pixel(5, 1), under.pixel(5, 1));

    viewer->hide();
    std::filesystem::remove(target);
    main->SynthViewClick();
    EXPECT_FALSE(viewer->isVisible());
    EXPECT_NE(main->CrystalHint().toStdString().find("Read failed," + target), std::string::npos);
}

TEST_F(ViewToolsTest, ClipboardComparisonListsTheCataloguedCopies) {
    QImage copy;
    ASSERT_EQ(ReadPicture(copy, data.File("pics/a0.png")), 0);
    QGuiApplication::clipboard()->setImage(copy);
    main->UpdateActions();
    main->Action("CompairwithClipboard1")->trigger();
    ASSERT_NE(main->ClipboardViewer(), nullptr);
    EXPECT_EQ(main->ClipboardViewer()->windowTitle(), "Cipboard");
    ASSERT_EQ(lists().reference.Count(), 2);
    EXPECT_EQ(RowPath(0), data.File("pics/a0.png"));
    EXPECT_EQ(RowPath(1), data.File("pics/a1.png"));

    // Too small for a signature: an empty list, and a fresh viewer.
    QPointer<TViewLeft> first = main->ClipboardViewer();
    QGuiApplication::clipboard()->setImage(test::PhotoLikePicture(10, 10, 1));
    main->CompareWithClipboardClick();
    EXPECT_TRUE(first.isNull());
    ASSERT_NE(main->ClipboardViewer(), nullptr);
    EXPECT_EQ(lists().reference.Count(), 0);
}

TEST_F(ViewToolsTest, ConvertWritesBesideTheReferenceOnceAndCataloguesIt) {
    Workspace& ws = main->workspace();
    ws.options.TrackMoveCopy = true;
    Select(main->ListBox1(), 2); // b2.png
    const std::string sourcePath = lists().currentReference->path;
    const uint32_t key = lists().currentReference->key, code = lists().currentReference->code;
    QMenu* popup = main->LeftPopupMenu();
    emit popup->aboutToShow();
    ASSERT_TRUE(main->Action("Jpeg1")->isEnabled());
    main->Action("Jpeg1")->trigger();
    const std::string jpeg = data.File("pics/b2.jpg");
    ASSERT_TRUE(std::filesystem::exists(jpeg));
    const int at = ws.catalogue.FindEntry(jpeg);
    ASSERT_GE(at, 0);
    EXPECT_EQ(ws.catalogue.Entry(at).key, key);
    EXPECT_EQ(ws.catalogue.Entry(at).code, code);
    EXPECT_GE(lists().reference.Find(&ws.catalogue.Entry(at)), 0);
    EXPECT_TRUE(ws.DataChanged);

    // Never over an existing file: b2.jpg exists now, and a PNG is its own ".png".
    Pdata* again = &ws.catalogue.Entry(ws.catalogue.FindEntry(sourcePath));
    Select(main->ListBox1(), lists().reference.Find(again));
    emit popup->aboutToShow();
    EXPECT_FALSE(main->Action("Jpeg1")->isEnabled());
    EXPECT_FALSE(main->Action("ActionSaveasPng1")->isEnabled());
    std::filesystem::remove(jpeg);
    emit popup->aboutToShow();
    EXPECT_TRUE(main->Action("Jpeg1")->isEnabled());
}

} // namespace
} // namespace lumidex
