#include "DatabaseCommands.h"
#include "FolderExplorer.h"
#include "MemoFile.h"
#include "Paths.h"
#include "QtText.h"
#include "RecordingFrame.h"
#include "StartUp.h"
#include "TFolderManager.h"
#include "TMain.h"
#include "TMemoMan.h"
#include "TMismatchEditor.h"
#include "TMismatchhConf.h"
#include "TNavigator.h"
#include "TempDir.h"
#include "TestApplication.h"
#include "TestPictures.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <QTreeView>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace lumidex {
namespace {

using test::RecordingFrame;
using test::TempDir;

// pics/p0 and pics/p1 are the same picture, pics/sub/p2 another one.
std::string MakeDatabase(const TempDir& dir) {
    test::WritePicture(dir.File("pics/p0.png"), test::PhotoLikePicture(64, 48, 1));
    test::WritePicture(dir.File("pics/p1.png"), test::PhotoLikePicture(64, 48, 1));
    test::WritePicture(dir.File("pics/sub/p2.png"), test::PhotoLikePicture(40, 60, 2));
    NullFrame frame;
    Workspace ws(frame, dir.File("db_home"));
    ws.AddPicturesFromFolder(dir.File("pics"), {});
    ws.options.UseJapneseMenu = false;
    Database db = ws.DatabaseParts();
    BuildHeader(db);
    const std::string path = dir.File("o.ld2");
    EXPECT_TRUE(WriteDatabase(db, path));
    return path;
}

class OrganiseTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::EnsureApplication();
        database = MakeDatabase(data);
        program = StartProgram(home.path(), {QString::fromStdString(database)});
        main = program->main.get();
        main->SetScript(&script);
        main->show();
        QApplication::processEvents();
    }
    void TearDown() override {
        Workspace& ws = main->workspace();
        ws.DataChanged = ws.OptionsChanged = ws.OldFormatRead = false;
        program.reset();
    }
    Workspace& ws() { return main->workspace(); }
    void Select(QTreeView* view, int row) {
        view->selectionModel()->select(view->model()->index(row, 0),
                                       QItemSelectionModel::ClearAndSelect |
                                           QItemSelectionModel::Rows);
        main->UpdateActions();
        main->UpdateOrganiseActions();
    }
    int RowOf(const std::string& name) {
        EntryList& list = ws().lists.reference;
        for (int r = 0; r < list.Count(); ++r)
            if (paths::FileName(list.EntryAt(r)->path) == name) return r;
        return -1;
    }
    // A main menu command as the user reaches it: its menu drops down first.
    void Run(const char* name) {
        QAction* action = main->Action(name);
        for (QObject* o : action->associatedObjects())
            if (auto* menu = qobject_cast<QMenu*>(o)) emit menu->aboutToShow();
        action->trigger();
    }
    // The context menu as it opens.
    void Open(QMenu* menu) { emit menu->aboutToShow(); }
    QAction* Item(QMenu* menu, const QString& text) {
        for (QAction* a : menu->actions())
            if (a->text() == text) return a;
        return nullptr;
    }
    // Lists the look-alike pair and selects p0 with its target p1.
    void SelectPair() {
        main->DataFilterChange(static_cast<int>(FilterItem::HasSimilarPics));
        ASSERT_EQ(ws().lists.reference.Count(), 2);
        Select(main->ListBox1(), RowOf("p0.png"));
        ASSERT_EQ(ws().lists.target.Count(), 1);
        Select(main->ListBox2(), 0);
    }

    TempDir home, data;
    std::string database;
    RecordingFrame script;
    std::unique_ptr<Program> program;
    TMain* main = nullptr;
};

TEST_F(OrganiseTest, RealWindowsOpenFromTheMenusAndTheirButtons) {
    EXPECT_EQ(qobject_cast<TMemoMan*>(program->windows[2]), main->MemoMan());
    for (QWidget* w : std::initializer_list<QWidget*>{main->MemoMan(), main->MismatchEditor(),
                                                      main->MismatchConf(), main->Navigator(),
                                                      main->FolderManager()}) {
        ASSERT_TRUE(w);
        EXPECT_NE(std::find(program->windows.begin(), program->windows.end(), w),
                  program->windows.end());
    }
    Run("MemoEditor1");
    EXPECT_TRUE(main->MemoMan()->isVisible());
    main->UpdateOrganiseActions();
    EXPECT_TRUE(main->findChild<QToolButton*>("DataSetSpeedButton")->isChecked());
    Run("MemoEditor1");
    EXPECT_FALSE(main->MemoMan()->isVisible()) << "the command closes a shown manager";

    Run("ShowNavigator1");
    EXPECT_TRUE(main->Navigator()->isVisible());
    main->findChild<QToolButton*>("SpeedButtonnavi")->click();
    EXPECT_FALSE(main->Navigator()->isVisible());

    Select(main->ListBox1(), RowOf("p2.png"));
    Run("FolderExplorer1");
    EXPECT_TRUE(main->FolderManager()->isVisible());
    EXPECT_EQ(main->FolderManager()->CurrentFolder(), data.File("pics/sub"))
        << "the current reference's folder, exactly as the path spells it";

    Run("MenuMismatchEditor");
    EXPECT_TRUE(main->MismatchEditor()->isVisible());
}

TEST_F(OrganiseTest, EnablingFollowsTheCatalogueAndTheSelection) {
    main->UpdateOrganiseActions();
    for (const char* name : {"FolderExplorer1", "MenuMismatchEditor", "ShowNavigator1"})
        EXPECT_TRUE(main->Action(name)->isEnabled()) << name;
    EXPECT_FALSE(main->Action("SyncMemo1")->isEnabled()) << "no pair selected";
    SelectPair();
    EXPECT_FALSE(main->Action("SyncMemo1")->isEnabled()) << "neither carries a memo";
    ws().memos.AddGroup("G", 100);
    ws().lists.currentTarget->AddMemo(ws().memos.PutMemo("m", 100));
    main->UpdateOrganiseActions();
    EXPECT_TRUE(main->Action("SyncMemo1")->isEnabled());
    Run("SyncMemo1");
    EXPECT_TRUE(ws().lists.currentReference->HasMemo(0));
    EXPECT_TRUE(ws().DataChanged);

    ws().ClearAllEntries();
    main->UpdateOrganiseActions();
    for (const char* name : {"FolderExplorer1", "MenuMismatchEditor", "ShowNavigator1"})
        EXPECT_FALSE(main->Action(name)->isEnabled()) << name;
    EXPECT_FALSE(main->findChild<QToolButton*>("SpeedButtonnavi")->isEnabled());
}

TEST_F(OrganiseTest, MemoSubmenusToggleTheMemoOfTheRightEntry) {
    ws().memos.AddGroup("Colours", 100);
    ws().memos.AddGroup("Empty", 101);
    // Equal texts in one group: the items are told apart by slot.
    const int red = ws().memos.PutMemo("red", 100);
    const int red2 = ws().memos.PutMemo("red", 100);
    main->MemoMan()->RebuildTree();
    main->MemoMan()->show();
    SelectPair();
    Pdata* ref = ws().lists.currentReference;
    Pdata* target = ws().lists.currentTarget;

    QMenu* left = main->LeftPopupMenu();
    Open(left);
    QMenu* dataSet = main->MenuNamed("DataSet1");
    ASSERT_TRUE(main->Action("DataSet1")->isEnabled());
    ASSERT_EQ(dataSet->actions().size(), 1) << "groups without memos get no submenu";
    QMenu* colours = dataSet->actions()[0]->menu();
    ASSERT_EQ(colours->actions().size(), 2);
    colours->actions()[1]->trigger();
    EXPECT_FALSE(ref->HasMemo(red));
    EXPECT_TRUE(ref->HasMemo(red2));
    EXPECT_TRUE(ws().DataChanged);
    const QModelIndex node = main->MemoMan()->model().MemoIndex(red2);
    EXPECT_EQ(node.data(MemoTreeModel::CheckImageRole).toInt(), 1) << "the manager follows";

    Open(left);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(dataSet->findChildren<QMenu*>().size(), 1) << "the old submenus are gone";
    EXPECT_TRUE(main->MenuNamed("DataSet1")->actions()[0]->menu()->actions()[1]->isChecked());
    main->MenuNamed("DataSet1")->actions()[0]->menu()->actions()[1]->trigger();
    EXPECT_FALSE(ref->HasMemo(red2)) << "a checked item takes the memo off";

    QMenu* right = main->RightPopupMenu();
    Open(right);
    ASSERT_TRUE(main->Action("SetMemo1")->isEnabled());
    main->MenuNamed("SetMemo1")->actions()[0]->menu()->actions()[0]->trigger();
    EXPECT_TRUE(target->HasMemo(red));
    EXPECT_FALSE(ref->HasMemo(red));
}

TEST_F(OrganiseTest, BookmarksJumpListAndForgetClearedEntries) {
    Select(main->ListBox1(), RowOf("p2.png"));
    Pdata* p2 = ws().lists.currentReference;
    main->Action("SetBookmark1")->trigger();
    Select(main->ListBox1(), RowOf("p1.png"));
    main->Action("SetBookmark1")->trigger();
    main->Action("SetBookmark1")->trigger();
    ASSERT_EQ(ws().bookmarks.Entries().size(), 2u) << "one bookmark per entry";

    QMenu* goTo = main->MenuNamed("GotoBookmark1");
    for (int opening = 0; opening < 2; ++opening) {
        Open(main->LeftPopupMenu());
        ASSERT_EQ(goTo->actions().size(), 4) << "items, separator and Show Path, not doubled";
    }
    EXPECT_EQ(goTo->actions()[0]->text(), "p1.png") << "the last bookmark first";
    main->Action("ShowPath1")->setChecked(true);
    Open(main->LeftPopupMenu());
    EXPECT_EQ(goTo->actions()[1]->text(), QString::fromStdString(p2->path));
    goTo->actions()[1]->trigger();
    EXPECT_EQ(ws().lists.currentReference, p2);

    ws().lists.ClearTargetList();
    Open(main->RightPopupMenu());
    ASSERT_TRUE(main->Action("ListupBookMark")->isEnabled());
    main->Action("ListupBookMark")->trigger();
    EXPECT_EQ(ws().lists.target.Count(), 2);

    ws().ClearAllEntries();
    EXPECT_TRUE(ws().bookmarks.Empty());
    Open(main->RightPopupMenu());
    EXPECT_FALSE(main->Action("ListupBookMark")->isEnabled());
}

TEST_F(OrganiseTest, MismatchLeavesTheListsAndComesBackWhenDissolved) {
    SelectPair();
    Pdata* p0 = ws().lists.currentReference;
    Pdata* p1 = ws().lists.currentTarget;
    main->findChild<QToolButton*>("SpeedButton10")->click();
    EXPECT_EQ(p0->mismatchGroup, 1);
    EXPECT_EQ(p1->mismatchGroup, 1);
    EXPECT_TRUE(ws().lists.reference.Empty()) << "neither has a similar picture any more";
    EXPECT_TRUE(ws().DataChanged);

    // Saved and read again, the group holds.
    main->SavedatabaseClick();
    ASSERT_FALSE(ws().DataChanged);
    RecordingFrame frame;
    Workspace again(frame, home.File("again"));
    Database other = again.DatabaseParts();
    again.PendingDatabasePath = database;
    ASSERT_EQ(ReadDatabase(other), ReadResult::Done);
    for (int i = 0; i < again.catalogue.Count(); ++i)
        EXPECT_EQ(again.catalogue.Entry(i).mismatchGroup,
                  paths::FileName(again.catalogue.Entry(i).path) == "p2.png" ? 0 : 1);

    Run("MenuMismatchEditor");
    auto* rows = main->MismatchEditor()->findChild<QListView*>("ListBox1");
    ASSERT_EQ(rows->model()->rowCount(), 2);
    rows->selectAll();
    main->MismatchEditor()->findChild<QPushButton*>("ButtonRemove")->click();
    EXPECT_EQ(p0->mismatchGroup, 0);
    EXPECT_EQ(ws().lists.reference.Count(), 2) << "the pair is listed again at once";
    EXPECT_TRUE(ws().mismatchNumbers.IsFree(1));
}

TEST_F(OrganiseTest, MakeMismatchNeedsAPairAndLeavesAFullAllocatorAlone) {
    main->DataFilterChange(static_cast<int>(FilterItem::HasSimilarPics));
    Select(main->ListBox1(), 0);
    ws().lists.target.ClearSelection();
    ws().lists.TargetSelectionChanged(false);
    main->RefreshViews();
    ws().DataChanged = false;
    main->MakeMismatchClick();
    EXPECT_FALSE(ws().DataChanged) << "no target selected";
    Select(main->ListBox2(), 0);
    for (int n = 1; n < 8192; ++n)
        ws().mismatchNumbers.MarkUsed(n);
    main->MakeMismatchClick();
    EXPECT_FALSE(ws().DataChanged);
    ASSERT_TRUE(ws().lists.currentTarget);
    EXPECT_EQ(ws().lists.currentTarget->mismatchGroup, 0);
    EXPECT_EQ(main->PanelText(StatusPanel::Progress), "Mismatch groups are full.");
}

TEST_F(OrganiseTest, ClipboardListsGoOutAndComeBack) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    Run("CopyRefListToClipboard1");
    const QStringList lines = clipboard->text().split("\r\n", Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[0].startsWith(QString::fromStdString(data.File("pics/p0.png")) + " ("));

    clipboard->setText(lines[2] + "\r\n  +---x\r\n");
    Run("ImportListfromClipboard1");
    ASSERT_EQ(ws().lists.reference.Count(), 1);
    EXPECT_EQ(paths::FileName(ws().lists.reference.EntryAt(0)->path), "p2.png");

    clipboard->setText(QString::fromStdString(data.File("new.jpg")) + "\nrelative/x.jpg\n" +
                       lines[0] + "\n");
    Run("ImportListfromClipboard2");
    EXPECT_EQ(ws().catalogue.Count(), 4) << "only the absolute path that is new";
    EXPECT_TRUE(ws().DataChanged);
    EXPECT_EQ(ws().lists.reference.Count(), 2) << "the new entry joins the searched rows";
    EXPECT_EQ(ws().lists.dataFilter, FilterItem::All);
    EXPECT_NE(main->PanelText(StatusPanel::Progress).find("1 line(s) skipped"), std::string::npos)
        << main->PanelText(StatusPanel::Progress);
}

TEST_F(OrganiseTest, MemoFilesGoThroughTheDialogsAndRebuildTheManager) {
    ws().memos.AddGroup("Colours", 100);
    ws().memos.PutMemo("red", 100);
    script.chosenFiles = {home.File("m.l2m")};
    Run("ExportMemo1");
    ASSERT_TRUE(std::filesystem::exists(home.File("m.l2m")));
    script.chosenFiles = {home.File("m.l2m")};
    Run("ImportMemo1");
    EXPECT_EQ(ws().memos.GroupCount(), 2);
    EXPECT_EQ(main->MemoMan()->model().rowCount(), 2) << "the tree shows the new group";
    EXPECT_TRUE(ws().DataChanged);

    // A file far larger than any memo file is refused before it is read.
    std::filesystem::resize_file(home.File("m.l2m"), kMaxMemoFileBytes + 1);
    ws().DataChanged = false;
    script.chosenFiles = {home.File("m.l2m")};
    Run("ImportMemo1");
    EXPECT_EQ(ws().memos.GroupCount(), 2);
    EXPECT_FALSE(ws().DataChanged);
    EXPECT_EQ(main->PanelText(StatusPanel::Progress), kMemoFileFailed);
}

TEST_F(OrganiseTest, DropOnAFolderMovesTheFileAndNotesAreSavedBeforeAnOpen) {
    Select(main->ListBox1(), RowOf("p0.png"));
    Pdata* p0 = ws().lists.currentReference;
    Run("FolderExplorer1");
    TFolderManager* explorer = main->FolderManager();
    const std::string sub = data.File("pics/sub");

    // Only the program's own drags count; files from elsewhere are refused.
    auto* view = explorer->findChild<QTreeView*>("TreeView1");
    explorer->AddPath(sub + "/p2.png", true);
    const QPoint at = view->visualRect(view->currentIndex()).center();
    auto dropOn = [&](const QMimeData& mime) {
        QDragEnterEvent enter(at, Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view->viewport(), &enter);
        QDropEvent drop(at, Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view->viewport(), &drop);
        return enter.isAccepted();
    };
    QMimeData foreign;
    foreign.setUrls({QUrl::fromLocalFile(QString::fromStdString(data.File("pics/p1.png")))});
    EXPECT_FALSE(dropOn(foreign));
    EXPECT_TRUE(std::filesystem::exists(data.File("pics/p1.png")));

    QMimeData own;
    own.setData(kEntryDragType, "reference");
    EXPECT_TRUE(dropOn(own));
    EXPECT_FALSE(std::filesystem::exists(data.File("pics/p0.png")));
    EXPECT_TRUE(std::filesystem::exists(sub + "/p0.png"));
    EXPECT_EQ(p0->path, sub + "/p0.png") << "the catalogue follows the move";

    explorer->findChild<QPlainTextEdit*>("Memo1")->setPlainText("holiday");
    ws().DataChanged = false;
    main->OpenFromHistory(database);
    std::ifstream note(sub + "/index .txt", std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(note)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, "holiday\r\n");
}

TEST_F(OrganiseTest, KeysInTheNavigatorMoveTheReferenceButNotWhileTyping) {
    Select(main->ListBox1(), 0);
    Run("ShowNavigator1");
    TNavigator* navigator = main->Navigator();
    navigator->activateWindow();
    QApplication::setActiveWindow(navigator);
    auto* pages = navigator->findChild<QTabWidget*>("PageControl1");
    pages->setFocus();
    QApplication::processEvents();
    QWidget* focused = QApplication::focusWidget();
    ASSERT_TRUE(focused && focused->window() == navigator);
    QTest::keyClick(focused, Qt::Key_Space);
    EXPECT_EQ(ws().lists.reference.SelectedRow(), 1);
    pages->setCurrentIndex(static_cast<int>(NavigatorPage::Name));
    auto* text = navigator->findChild<QLineEdit*>("SearchString");
    text->setFocus();
    QApplication::processEvents();
    QTest::keyClick(text, Qt::Key_Space);
    EXPECT_EQ(ws().lists.reference.SelectedRow(), 1);
    EXPECT_EQ(text->text(), " ");
}

} // namespace
} // namespace lumidex
