#include "DialogScript.h"
#include "FaultyFileSystem.h"
#include "RecordingFrame.h"
#include "StartUp.h"
#include "TDirSel.h"
#include "TMain.h"
#include "TPathChange.h"
#include "TQueryDialog.h"
#include "TUnlinkedData.h"
#include "TViewLeft.h"
#include "TempDir.h"
#include "TestApplication.h"
#include "TestPictures.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>

namespace lumidex {
namespace {

using test::Find;
using test::OnDialog;
using test::ReadWholeFile;
using test::TempDir;
namespace fs = std::filesystem;

bool Exists(const std::string& path) {
    return fs::exists(path);
}

// A catalogue of src/a.png and src/b.png (one picture twice) and src/c.png (another), with a
// selected as the reference and b as its target.
class FileOpsWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::EnsureApplication();
        // Deleted files must land in a trash of the test's own.
        setenv("XDG_DATA_HOME", trash.path().c_str(), 1);
        program = StartProgram(home.path(), {});
        main = program->main.get();
        main->SetScript(&script);
        main->show();
        QApplication::processEvents();
        main->SetMenuLanguage(0);
        const uint32_t seeds[] = {1, 1, 2};
        for (int i = 0; i < 3; ++i)
            test::WritePicture(Src(std::string(1, char('a' + i)) + ".png"),
                               test::PhotoLikePicture(64, 48, seeds[i]));
        ws().options.NotUpdateListatAction = false;
        ws().fileSystem = &faulty;
        ws().AddPicturesFromFolder(data.File("src"), {});
        ASSERT_EQ(ws().catalogue.Count(), 3);
        SelectPair();
    }
    void TearDown() override {
        ws().DataChanged = ws().OptionsChanged = ws().OldFormatRead = false;
        program.reset();
        unsetenv("XDG_DATA_HOME");
    }
    Workspace& ws() { return main->workspace(); }
    std::string Src(const std::string& name) const { return data.File("src/" + name); }
    std::string Folder(const std::string& name) const {
        fs::create_directories(data.File(name));
        return data.File(name + "/");
    }
    Pdata* Entry(const std::string& path) {
        const int at = ws().catalogue.FindEntry(path);
        return at < 0 ? nullptr : &ws().catalogue.Entry(at);
    }
    void SelectPair() {
        Lists& lists = ws().lists;
        lists.SelectReference(lists.reference.Find(Entry(Src("a.png"))));
        ASSERT_EQ(lists.target.Count(), 1);
        lists.target.Select(0);
        lists.TargetSelectionChanged(false);
        main->RefreshViews();
        main->UpdateActions();
    }
    // Opens a list's context menu as the user does, without showing it.
    void OpenPopup(bool reference) {
        QMenu* menu = reference ? main->LeftPopupMenu() : main->RightPopupMenu();
        emit menu->aboutToShow();
    }
    bool Enabled(const char* name) { return main->Action(name)->isEnabled(); }

    TempDir home;
    TempDir data;
    TempDir trash;
    FaultyFileSystem faulty;
    test::RecordingFrame script;
    std::unique_ptr<Program> program;
    TMain* main = nullptr;
};

TEST_F(FileOpsWindowTest, CopyTargetToTheCurrentFolderAsksOnCollisionAndTracksTheCopy) {
    const std::string dst = Folder("dst");
    test::WritePicture(dst + "b.png", test::PhotoLikePicture(64, 48, 7));
    const std::string before = ReadWholeFile(dst + "b.png");
    main->DirSel()->SetCurrentFolder(dst.substr(0, dst.size() - 1));
    OpenPopup(false);
    ASSERT_TRUE(Enabled("CopyTargetto1"));
    EXPECT_EQ(main->Action("CopyTargetto1")->text().toStdString(),
              "Copy Target to <" + dst.substr(0, dst.size() - 1) + ">");
    OnDialog([](QDialog* d) {
        EXPECT_EQ(d->objectName(), "QueryDialog");
        EXPECT_EQ(d->windowTitle(), "Name:b.png");
        Find<QRadioButton>(d, "Rename")->click();
        EXPECT_EQ(Find<QLineEdit>(d, "RenameEdit")->text(), "b_1.png");
        Find<QLineEdit>(d, "RenameEdit")->setText("kept.png");
        Find<QPushButton>(d, "Doit")->click();
    });
    main->Action("CopyTargetto1")->trigger();
    EXPECT_TRUE(ReadWholeFile(dst + "b.png") == before) << "the file in the way is left alone";
    EXPECT_TRUE(ReadWholeFile(dst + "kept.png") == ReadWholeFile(Src("b.png")));
    EXPECT_TRUE(Exists(Src("b.png")));
    ASSERT_NE(Entry(dst + "kept.png"), nullptr);
    EXPECT_EQ(ws().catalogue.Count(), 4);
    EXPECT_EQ(main->PanelText(StatusPanel::Outcome), "Copy complate.");
    EXPECT_EQ(main->DirSel()->Destinations().Items().front(), dst.substr(0, dst.size() - 1));
    EXPECT_EQ(main->windowTitle().toStdString(), "Lumidex2 [New]*");

    // Cancelling the query stops the command and copies nothing.
    OnDialog([](QDialog* d) { Find<QPushButton>(d, "Cancel")->click(); });
    OpenPopup(false);
    main->Action("CopyTargetto1")->trigger();
    EXPECT_EQ(ws().catalogue.Count(), 4);
    EXPECT_FALSE(Exists(dst + "b_1.png"));
}

TEST_F(FileOpsWindowTest, OkToAllAppliesTheConfirmedAnswerToTheRestOfTheBatch) {
    // A second look-alike of a, and both targets' names taken in the destination.
    test::WritePicture(Src("d.png"), test::PhotoLikePicture(64, 48, 1));
    ws().AddPictures(data.File("src"), {"d.png"});
    Lists& lists = ws().lists;
    lists.SelectReference(lists.reference.Find(Entry(Src("a.png"))));
    ASSERT_EQ(lists.target.Count(), 2);
    lists.target.Select(0);
    lists.target.Select(1);
    lists.TargetSelectionChanged(false);
    const std::string dst = Folder("dst");
    for (const char* name : {"b.png", "d.png"})
        test::WritePicture(dst + name, test::PhotoLikePicture(64, 48, 9));
    main->DirSel()->SetCurrentFolder(dst);
    int asked = 0;
    OnDialog([&](QDialog* d) {
        ++asked;
        Find<QRadioButton>(d, "OverWrite")->click();
        QPushButton* ok = Find<QPushButton>(d, "Doit");
        QTest::keyPress(ok, Qt::Key_Shift, Qt::ShiftModifier);
        EXPECT_EQ(ok->text(), "Ok to All");
        ok->click();
    });
    OpenPopup(false);
    main->Action("CopyTargetto1")->trigger();
    // Shift is let go, or Qt would hold it down for the tests that follow.
    QTest::keyRelease(main, Qt::Key_Shift);
    EXPECT_EQ(asked, 1) << "the second collision is not asked";
    for (const char* name : {"b.png", "d.png"})
        EXPECT_TRUE(ReadWholeFile(dst + name) == ReadWholeFile(Src(name))) << name;
    EXPECT_FALSE(main->QueryDialog()->OkToAll) << "the next command asks again";
}

TEST_F(FileOpsWindowTest, MoveReferenceThroughTheFolderDialogThenDeleteTheTargetToTheTrash) {
    const std::string dst = Folder("dst");
    Pdata* a = Entry(Src("a.png"));
    ASSERT_TRUE(Enabled("MoveRef1"));
    OnDialog([&](QDialog* d) {
        EXPECT_EQ(d->objectName(), "TDirSel");
        EXPECT_EQ(d->windowTitle(), "Move To...");
        static_cast<TDirSel*>(d)->SetCurrentFolder(dst);
        Find<QPushButton>(d, "Button1")->click();
    });
    main->Action("MoveRef1")->trigger();
    EXPECT_FALSE(Exists(Src("a.png")));
    EXPECT_TRUE(Exists(dst + "a.png"));
    EXPECT_EQ(Entry(dst + "a.png"), a) << "the entry follows its file";
    EXPECT_EQ(ws().lists.currentReference, a);

    SelectPair();
    ASSERT_TRUE(Enabled("Delete1"));
    main->Action("Delete1")->trigger();
    ASSERT_FALSE(script.questions.empty());
    EXPECT_EQ(script.questions.back().text, "Delete<" + Src("b.png") + ">?");
    EXPECT_FALSE(Exists(Src("b.png")));
    EXPECT_TRUE(Exists(trash.File("Trash/files/b.png")));
    EXPECT_EQ(Entry(Src("b.png")), nullptr);
    EXPECT_EQ(ws().catalogue.Count(), 2);
    EXPECT_EQ(main->PanelText(StatusPanel::Outcome).rfind("Disk free : ", 0), 0u);
    EXPECT_FALSE(Enabled("Delete1")) << "no target is left";
}

TEST_F(FileOpsWindowTest, FailuresAreReportedAndLeaveFilesAndEntriesAsTheyWere) {
    // No trash: the file is never deleted for good instead.
    faulty.Fail(FaultyFileSystem::Op::Trash, EACCES);
    main->Action("Delete1")->trigger();
    EXPECT_TRUE(Exists(Src("b.png")));
    EXPECT_NE(Entry(Src("b.png")), nullptr);
    EXPECT_NE(ws().ErrorHistory.Joined().find("Delete failed:" + Src("b.png")), std::string::npos);
    EXPECT_EQ(main->PanelText(StatusPanel::Progress), "Delete failed");
    main->Action("OverwrightMoveRefTarg1")->trigger();
    EXPECT_TRUE(Exists(Src("a.png")));
    EXPECT_TRUE(Exists(Src("b.png")));
    EXPECT_EQ(ws().catalogue.Count(), 3);

    // A full disk half-way through a copy leaves nothing behind in the destination.
    faulty.Clear();
    faulty.diskFull = true;
    const std::string dst = Folder("dst");
    main->DirSel()->SetCurrentFolder(dst);
    OpenPopup(false);
    main->Action("CopyTargetto1")->trigger();
    EXPECT_TRUE(fs::is_empty(dst));
    EXPECT_EQ(main->PanelText(StatusPanel::Progress), "Copy failed:" + Src("b.png"));
    EXPECT_EQ(ws().catalogue.Count(), 3);
    EXPECT_NE(main->PanelText(StatusPanel::Outcome), "Copy complate.");
}

TEST_F(FileOpsWindowTest, RenameTargetAsksAgainForANameThatExists) {
    OnDialog([](QDialog* d) {
        EXPECT_EQ(d->objectName(), "RenameDlg");
        EXPECT_EQ(Find<QLineEdit>(d, "Edit1")->text(), "b");
        EXPECT_EQ(Find<QLabel>(d, "Label1")->text(), ".png");
        // The name it has: the file itself exists.
        OnDialog([](QDialog* again) {
            EXPECT_EQ(Find<QLabel>(again, "Message")->text(), "File already Exists!");
            Find<QLineEdit>(again, "Edit1")->setText("renamed");
            Find<QPushButton>(again, "OKBtn")->click();
        });
        Find<QPushButton>(d, "OKBtn")->click();
    });
    Pdata* b = Entry(Src("b.png"));
    main->Action("Rename1")->trigger();
    EXPECT_TRUE(Exists(Src("renamed.png")));
    EXPECT_FALSE(Exists(Src("b.png")));
    EXPECT_EQ(Entry(Src("renamed.png")), b);
}

TEST_F(FileOpsWindowTest, OverwriteMoveReplacesTheTargetWhichGoesToTheTrash) {
    Pdata* a = Entry(Src("a.png"));
    ASSERT_TRUE(Enabled("OverwrightMoveRefTarg1"));
    main->Action("OverwrightMoveRefTarg1")->trigger();
    EXPECT_FALSE(Exists(Src("a.png")));
    EXPECT_TRUE(Exists(Src("b.png")));
    EXPECT_TRUE(Exists(trash.File("Trash/files/b.png")));
    EXPECT_EQ(Entry(Src("b.png")), a);
    EXPECT_EQ(ws().catalogue.Count(), 2);
}

TEST_F(FileOpsWindowTest, EnablingFollowsTheFilesOnDisk) {
    struct Case {
        const char* name;
        bool whileReadOnly;
        bool referenceGone;
    };
    const std::vector<Case> cases = {
        {"CopyRef1", true, false},      {"MoveRef1", false, false},
        {"DeleteRef1", false, false},   {"Copy1", true, true},
        {"Move1", false, true},         {"Delete1", false, true},
        {"Rename1", false, true},       {"OverwrightMoveRefTarg1", true, false},
        {"ActionMovePath", true, true}, {"ChangeAllFilePath1", true, true},
    };
    // A folder the user may not change makes its files read-only for name changes.
    faulty.readOnly.insert(data.File("src"));
    main->UpdateActions();
    for (const Case& c : cases)
        EXPECT_EQ(Enabled(c.name), c.whileReadOnly) << c.name << " read-only";
    faulty.readOnly.clear();
    fs::remove(Src("a.png"));
    main->UpdateActions();
    for (const Case& c : cases)
        EXPECT_EQ(Enabled(c.name), c.referenceGone) << c.name << " reference gone";
    EXPECT_FALSE(main->findChild<QWidget*>("CopyRefButton")->isEnabled());
    EXPECT_TRUE(main->findChild<QWidget*>("MoveButton")->isEnabled());
}

TEST_F(FileOpsWindowTest, RememberedDestinationsFillTheSubmenusAndMoveThere) {
    const std::string first = Folder("first"), second = Folder("second");
    main->DirSel()->Remember(first);
    main->DirSel()->Remember(second);
    std::vector<std::string> explorer;
    main->SetFolderListAdded([&](const std::string& path) { explorer.push_back(path); });
    OpenPopup(false);
    QMenu* moves = main->MenuNamed("MoveTargetto2");
    ASSERT_EQ(moves->actions().size(), 2);
    EXPECT_EQ(moves->actions()[0]->text().toStdString(), second);
    EXPECT_TRUE(moves->menuAction()->isEnabled());
    moves->actions()[1]->trigger();
    EXPECT_TRUE(Exists(first + "b.png"));
    EXPECT_FALSE(Exists(Src("b.png")));
    EXPECT_NE(Entry(first + "b.png"), nullptr);
    EXPECT_EQ(main->DirSel()->Destinations().Items().front(), first) << "it moves to the top";
    EXPECT_EQ(explorer, std::vector<std::string>{first}) << "the folder explorer hears of it";

    OpenPopup(true);
    EXPECT_EQ(main->MenuNamed("CopyReferencetp1")->actions().size(), 2);
}

TEST_F(FileOpsWindowTest, UnlinkedDataListsMissingFilesAndDropsRowsOfRemovedEntries) {
    fs::remove(Src("c.png"));
    fs::remove(Src("b.png"));
    main->Action("SearchUnlinkedData")->trigger();
    TUnlinkedData* window = main->UnlinkedData();
    EXPECT_TRUE(window->isVisible());
    ASSERT_EQ(window->ListBox2->count(), 2);
    // An entry that leaves the catalogue by another command leaves the window too.
    ws().lists.RemoveEntries({Entry(Src("c.png"))});
    ASSERT_EQ(window->ListBox2->count(), 1);
    window->ClearAll->click();
    EXPECT_EQ(ws().catalogue.Count(), 1);
    EXPECT_FALSE(window->isVisible());

    // So does every entry when the catalogue is emptied.
    fs::remove(Src("a.png"));
    main->Action("SearchUnlinkedData")->trigger();
    ASSERT_EQ(window->ListBox2->count(), 1);
    main->Action("ClearAllDataEntry1")->trigger();
    EXPECT_TRUE(ws().catalogue.Empty());
    EXPECT_EQ(window->ListBox2->count(), 0);
    EXPECT_FALSE(Enabled("SearchUnlinkedData"));
}

TEST_F(FileOpsWindowTest, ChangeAllFilePathAndMoveFolderRepointTheEntries) {
    fs::rename(data.File("src"), data.File("moved"));
    OnDialog([&](QDialog* d) {
        EXPECT_EQ(d->objectName(), "PathChange");
        EXPECT_EQ(Find<QLineEdit>(d, "FromPath")->text().toStdString(), Src(""));
        EXPECT_FALSE(Find<QPushButton>(d, "OKButton1")->isEnabled()) << "From equals To";
        Find<QLineEdit>(d, "ToPath")->setText(QString::fromStdString(data.File("moved")));
        Find<QPushButton>(d, "OKButton1")->click();
    });
    main->Action("ChangeAllFilePath1")->trigger();
    EXPECT_EQ(main->PanelText(StatusPanel::Outcome), "3/3 Changed.");
    EXPECT_NE(Entry(data.File("moved/a.png")), nullptr);

    // Move Folder moves the tree on disk; the sub-folder box is not offered for it.
    SelectPair();
    ws().lists.SelectReference(0);
    OnDialog([&](QDialog* d) {
        EXPECT_TRUE(Find<QCheckBox>(d, "ChangeSubFoler")->isHidden());
        Find<QLineEdit>(d, "FromPath")->setText(QString::fromStdString(data.File("moved")));
        Find<QLineEdit>(d, "ToPath")->setText(QString::fromStdString(data.File("again")));
        Find<QPushButton>(d, "OKButton1")->click();
    });
    main->Action("ActionMovePath")->trigger();
    EXPECT_TRUE(Exists(data.File("again/c.png")));
    EXPECT_FALSE(Exists(data.File("moved/c.png")));
    EXPECT_NE(Entry(data.File("again/c.png")), nullptr);
    EXPECT_EQ(ws().catalogue.Count(), 3);
    EXPECT_FALSE(main->PathChangeDialog()->ChangeSubFoler->isHidden());
}

TEST_F(FileOpsWindowTest, ChangeFilenameWithCsvRenamesEntriesOnlyAndRefusesABadFileWhole) {
    // A swap: both old names are looked up before either entry changes.
    const std::string csv = data.Write("names.csv", "old,folder,new\n"
                                                    "a.png," +
                                                        Src("") +
                                                        ",b.png\n"
                                                        "b.png," +
                                                        Src("") + ",a.png\n");
    Pdata* a = Entry(Src("a.png"));
    Pdata* b = Entry(Src("b.png"));
    script.chosenFiles.push_back(csv);
    main->Action("ChangeFilenamewithCSV1")->trigger();
    ASSERT_FALSE(script.fileChoices.empty());
    EXPECT_EQ(script.fileChoices.back().defaultExtension, "csv");
    EXPECT_EQ(main->PanelText(StatusPanel::Outcome), "2 FileName Changed.");
    EXPECT_EQ(Entry(Src("b.png")), a);
    EXPECT_EQ(Entry(Src("a.png")), b);
    EXPECT_TRUE(Exists(Src("a.png")) && Exists(Src("b.png"))) << "no file is touched";

    const std::string bad = data.Write("bad.csv", "old,folder,new\n"
                                                  "c.png," +
                                                      Src("") +
                                                      ",d.png\n"
                                                      "only,two\n");
    script.chosenFiles.push_back(bad);
    main->Action("ChangeFilenamewithCSV1")->trigger();
    ASSERT_FALSE(script.questions.empty());
    EXPECT_EQ(script.questions.back().text, "ERROR:Invalid CSV");
    EXPECT_NE(Entry(Src("c.png")), nullptr) << "nothing of a bad file is applied";
}

TEST_F(FileOpsWindowTest, TheReferenceViewerCopiesToTheChosenFolder) {
    const std::string dst = Folder("dst");
    main->DirSel()->SetCurrentFolder(dst);
    main->View(true, ws().lists.currentReference);
    main->ImageDblClick(true, false);
    TViewLeft* viewer = main->PaneViewer(true);
    ASSERT_NE(viewer, nullptr);
    viewer->PrepareMenu();
    QAction* copy = viewer->MenuItem("CopyReferenceto1");
    ASSERT_TRUE(copy->isEnabled());
    copy->trigger();
    EXPECT_TRUE(Exists(dst + "a.png"));
    EXPECT_NE(Entry(dst + "a.png"), nullptr);
    EXPECT_TRUE(viewer->MenuItem("Delete1")->isEnabled());
    viewer->hide();
}

} // namespace
} // namespace lumidex
