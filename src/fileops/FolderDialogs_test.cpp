#include "DialogScript.h"
#include "FolderBrowser.h"
#include "TDirSel.h"
#include "TOpenForm.h"
#include "TempDir.h"
#include "TestPictures.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <gtest/gtest.h>

#include <filesystem>

namespace lumidex {
namespace {

using test::Find;
using test::TempDir;
namespace fs = std::filesystem;

void EnsureApp() {
    static int argc = 1;
    static char name[] = "folder_dialogs_ui_test";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) new QApplication(argc, argv);
}

// The folder without the trailing delimiter the test folders carry.
std::string Bare(const std::string& folder) {
    return folder.substr(0, folder.size() - 1);
}

// Runs the dialog modally while answer works it, as a user would.
int RunDialog(QDialog& dialog, std::function<void()> answer) {
    QTimer::singleShot(0, [&] {
        answer();
        if (dialog.isVisible()) dialog.reject();
    });
    return dialog.exec();
}

class FolderDialogsTest : public ::testing::Test {
protected:
    void SetUp() override { EnsureApp(); }
    TempDir dir;
};

TEST_F(FolderDialogsTest, ModesSetCaptionPageAndSearchSubfolder) {
    TDirSel d;
    auto* search = Find<QCheckBox>(&d, "SearchSubfolder");
    auto* imageRead = Find<QWidget>(&d, "foraImageRead");
    auto* copyMove = Find<QWidget>(&d, "forCopyMove");
    EXPECT_EQ(d.windowTitle(), "Select Folder");
    d.SetMode(6);
    EXPECT_TRUE(search->isVisibleTo(&d));
    EXPECT_TRUE(copyMove->isVisibleTo(&d));
    EXPECT_FALSE(imageRead->isVisibleTo(&d));
    d.SetMode(1);
    EXPECT_EQ(d.windowTitle(), "Copy To...");
    EXPECT_FALSE(search->isVisibleTo(&d)) << "mode 1 after mode 6 hides it again";
    d.SetMode(5);
    EXPECT_EQ(d.Mode(), 1) << "no such mode: nothing changes";
    EXPECT_EQ(d.windowTitle(), "Copy To...");
    d.SetMode(0);
    EXPECT_TRUE(imageRead->isVisibleTo(&d));
    EXPECT_FALSE(copyMove->isVisibleTo(&d));
    d.show();
    QApplication::processEvents();
    const int adding = d.height();
    d.SetMode(2);
    QApplication::processEvents();
    EXPECT_EQ(d.windowTitle(), "Move To...");
    d.SetMode(0);
    QApplication::processEvents();
    EXPECT_EQ(d.height(), adding) << "the adding form gets its height back";

    // "Set Depth" enables the depth box; the choice reads all four controls.
    auto* depth = Find<QSpinBox>(&d, "Edit1");
    EXPECT_FALSE(depth->isEnabled());
    Find<QCheckBox>(&d, "LevelLimit")->click();
    EXPECT_TRUE(depth->isEnabled());
    depth->setValue(0);
    EXPECT_EQ(depth->value(), 1) << "at least 1";
    depth->setValue(3);
    Find<QCheckBox>(&d, "MakeErrorLog")->click();
    TDirSel::ImageRead c = d.ImageReadChoice();
    EXPECT_TRUE(c.setDepth && c.makeErrorLog && !c.minimize);
    EXPECT_EQ(c.depth, 3);
}

TEST_F(FolderDialogsTest, OkRemembersTheFolderAndADestinationClickChoosesIt) {
    fs::create_directories(dir.File("a"));
    fs::create_directories(dir.File("b"));
    TDirSel d;
    d.SetMode(1);
    auto ok = [&](const std::string& folder) {
        return RunDialog(d, [&] {
            d.SetCurrentFolder(folder);
            Find<QPushButton>(&d, "Button1")->click();
        });
    };
    EXPECT_EQ(ok(dir.File("a")), QDialog::Accepted);
    EXPECT_EQ(ok(dir.File("b")), QDialog::Accepted);
    EXPECT_EQ(ok(dir.File("a")), QDialog::Accepted);
    EXPECT_EQ(d.Destinations().Items(), (std::vector<std::string>{dir.File("a"), dir.File("b")}));
    // Cancel remembers nothing.
    EXPECT_EQ(RunDialog(d,
                        [&] {
                            d.SetCurrentFolder(Bare(dir.path()));
                            Find<QPushButton>(&d, "Button2")->click();
                        }),
              QDialog::Rejected);
    EXPECT_EQ(d.Destinations().Items().size(), 2u);

    auto* list = Find<QListWidget>(&d, "TreeView1");
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->item(1)->text().toStdString(), dir.File("b"));
    d.show();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(1)).center());
    EXPECT_EQ(d.CurrentFolder(), dir.File("b"));
}

TEST_F(FolderDialogsTest, AVanishedFolderGivesWayToItsNearestParent) {
    fs::create_directories(dir.File("a/b/c"));
    TDirSel d;
    d.SetCurrentFolder(dir.File("a/b/c"));
    EXPECT_EQ(d.CurrentFolder(), dir.File("a/b/c"));
    fs::remove_all(dir.File("a/b"));
    d.show();
    EXPECT_EQ(d.CurrentFolder(), dir.File("a"));
    d.SetCurrentFolder("/no/such/folder/anywhere");
    EXPECT_EQ(d.CurrentFolder(), "/");
    d.SetCurrentFolder("");
    EXPECT_EQ(d.CurrentFolder(), QDir::homePath().toStdString());
    d.SetCurrentFolder(dir.path());
    EXPECT_EQ(d.CurrentFolder(), Bare(dir.path())) << "no trailing delimiter";

    // The place selector follows the folder and leads to its place.
    auto* drives = Find<QComboBox>(&d, "DriveComboBox1");
    const std::vector<Place>& places = d.Browser()->Places();
    ASSERT_FALSE(places.empty());
    EXPECT_EQ(drives->count(), static_cast<int>(places.size()));
    EXPECT_EQ(drives->currentIndex(), PlaceOf(places, d.CurrentFolder()));
    const int root = drives->findData("/");
    ASSERT_GE(root, 0);
    drives->setCurrentIndex(root);
    emit drives->activated(root);
    EXPECT_EQ(d.CurrentFolder(), "/");
}

TEST_F(FolderDialogsTest, MakeFolderRefusesBadNamesAndEntersTheNewFolder) {
    TDirSel d;
    d.SetCurrentFolder(dir.path());
    const std::string here = Bare(dir.path());
    for (const char* bad : {"", ".", "..", "x/y", "../escape"}) {
        EXPECT_EQ(d.MakeFolder(bad), "Cannot create " + here + "/" + bad) << bad;
        EXPECT_EQ(d.CurrentFolder(), here) << "the current folder stays";
    }
    EXPECT_FALSE(fs::exists(dir.File("x")));
    EXPECT_FALSE(fs::exists(Bare(dir.path()) + "/../escape"));
    EXPECT_EQ(d.MakeFolder("New pics"), "");
    EXPECT_TRUE(fs::is_directory(dir.File("New pics")));
    EXPECT_EQ(d.CurrentFolder(), dir.File("New pics"));
    EXPECT_EQ(d.MakeFolder("..."), "");
    EXPECT_EQ(d.MakeFolder("..."), "") << "inside the new one";
    d.SetCurrentFolder(dir.File("New pics"));
    EXPECT_EQ(d.MakeFolder("..."), "Cannot create " + dir.File("New pics/...")) << "exists";
}

TEST_F(FolderDialogsTest, ContextMenuLeadsToTheDatabaseAndTheFileFolder) {
    fs::create_directories(dir.File("db"));
    fs::create_directories(dir.File("pics"));
    TDirSel d;
    std::string database, reference;
    d.Browser()->SetSources([&] { return database; }, [&] { return reference; });
    QMenu* menu = d.Browser()->ContextMenu();
    QAction* toDb = menu->findChild<QAction*>("MovetoDatabaseFolder1");
    QAction* toFile = menu->findChild<QAction*>("MovetoFileFolder1");
    ASSERT_TRUE(toDb && toFile);
    std::vector<std::string> captions;
    for (QAction* a : menu->actions())
        captions.push_back(a->text().toStdString());
    EXPECT_EQ(captions, (std::vector<std::string>{"Make Folder...", "Move to Database Folder",
                                                  "Move to File Folder"}));

    d.SetCurrentFolder(dir.File("pics"));
    d.Browser()->PrepareMenu();
    EXPECT_FALSE(toDb->isEnabled()) << "a new catalogue";
    database = dir.File("db/");
    d.Browser()->PrepareMenu();
    EXPECT_TRUE(toDb->isEnabled());
    toDb->trigger();
    EXPECT_EQ(d.CurrentFolder(), dir.File("db"));
    d.Browser()->PrepareMenu();
    EXPECT_FALSE(toDb->isEnabled()) << "already there";

    toFile->trigger();
    EXPECT_EQ(d.CurrentFolder(), dir.File("db")) << "no current reference";
    reference = dir.File("pics/a.jpg");
    toFile->trigger();
    EXPECT_EQ(d.CurrentFolder(), dir.File("pics"));
    reference = "/a.jpg";
    toFile->trigger();
    EXPECT_EQ(d.CurrentFolder(), "/");
}

TEST_F(FolderDialogsTest, OpenFormListsPicturesByMaskAndSelectsAll) {
    test::WriteBytes(dir.File("pics/b.JPG"), "x");
    test::WriteBytes(dir.File("pics/a.png"), "x");
    test::WriteBytes(dir.File("pics/c.txt"), "x");
    test::WriteBytes(dir.File("pics/d.jpeg"), "x");
    fs::create_directories(dir.File("pics/sub.jpg"));
    TOpenForm f;
    EXPECT_EQ(f.windowTitle(), "Select Picture");
    f.SetMask("*.jpg;*.png");
    f.SetCurrentFolder(dir.File("pics"));
    auto* files = Find<QListWidget>(&f, "FileListBox1");
    std::vector<std::string> shown;
    for (int i = 0; i < files->count(); ++i)
        shown.push_back(files->item(i)->text().toStdString());
    EXPECT_EQ(shown, (std::vector<std::string>{"a.png", "b.JPG"})) << "folders are not files";
    EXPECT_TRUE(f.SelectedNames().empty());

    // OK takes the chosen files in list order.
    int result = RunDialog(f, [&] {
        Find<QPushButton>(&f, "SelectAll")->click();
        Find<QPushButton>(&f, "OKbutton")->click();
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(f.SelectedNames(), (std::vector<std::string>{"a.png", "b.JPG"}));

    // Many files: "Select All =>" takes those scrolled out of view too.
    for (int i = 0; i < 300; ++i)
        test::WriteBytes(dir.File("many/p" + std::to_string(1000 + i) + ".jpg"), "x");
    f.SetCurrentFolder(dir.File("many"));
    f.SelectAllClick();
    EXPECT_EQ(f.SelectedNames().size(), 300u);

    // Esc cancels; a vanished folder gives way to its parent on showing.
    fs::create_directories(dir.File("gone"));
    f.SetCurrentFolder(dir.File("gone"));
    fs::remove(dir.File("gone"));
    result = RunDialog(f, [&] {
        EXPECT_EQ(f.CurrentFolder(), Bare(dir.path()));
        QTest::keyClick(&f, Qt::Key_Escape);
    });
    EXPECT_EQ(result, QDialog::Rejected);
}

} // namespace
} // namespace lumidex
