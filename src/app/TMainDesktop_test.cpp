#include "Companions.h"
#include "DatabaseCommands.h"
#include "RecordingFrame.h"
#include "StartUp.h"
#include "TMain.h"
#include "TempDir.h"
#include "TestApplication.h"
#include "TestPictures.h"
#include "WaitFor.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDeadlineTimer>
#include <QDesktopServices>
#include <QLabel>
#include <QMenu>
#include <QSharedMemory>
#include <QThread>
#include <QToolButton>
#include <QTreeView>
#include <QUrl>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>

namespace lumidex {
namespace {

using test::ReadWholeFile;
using test::RecordingFrame;
using test::TempDir;
using test::WaitFor;

// Takes the URLs the desktop would open, so that no browser or file manager starts.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    std::vector<QUrl> urls;
public slots:
    void Open(const QUrl& url) { urls.push_back(url); }
};

// A desktop of the test's own: two applications for PNG pictures, the viewer the default, the
// other named with an ampersand; both record what they were started on. GIO reads the desktop once
// per process, so every test shares it. The companion channel lives in a runtime folder of
// the tests, and no session bus is reached.
class DesktopTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        test::EnsureApplication();
        desktop = new TempDir;
        TempDir& root = *desktop;
        const std::string script = root.Write(
            "record.sh", "#!/bin/sh\nfor a in \"$@\"; do echo \"$a\"; done > \"$(dirname "
                         "\"$0\")/ran.txt\"\n");
        ::chmod(script.c_str(), 0755);
        for (auto [id, name] :
             {std::pair{"fakeview", "Fake Viewer"}, {"fakepaint", "Paint & Draw"}})
            root.Write(std::string("share/applications/") + id + ".desktop",
                       std::string("[Desktop Entry]\nType=Application\nName=") + name +
                           "\nExec=" + script + " %f\nMimeType=image/png;\n");
        root.Write("share/applications/mimeinfo.cache",
                   "[MIME Cache]\nimage/png=fakepaint.desktop;fakeview.desktop;\n");
        root.Write("config/mimeapps.list", "[Default Applications]\nimage/png=fakeview.desktop\n");
        setenv("XDG_DATA_DIRS", (root.path() + "share:/usr/local/share:/usr/share").c_str(), 1);
        setenv("XDG_DATA_HOME", (root.path() + "nodata").c_str(), 1);
        setenv("XDG_CONFIG_HOME", (root.path() + "config").c_str(), 1);
        setenv("XDG_CONFIG_DIRS", (root.path() + "noconfig").c_str(), 1);
        setenv("DBUS_SESSION_BUS_ADDRESS", "disabled:", 1);
        ::mkdir((root.path() + "runtime").c_str(), 0700);
        setenv("XDG_RUNTIME_DIR", (root.path() + "runtime").c_str(), 1);
        QDesktopServices::setUrlHandler("file", &catcher, "Open");
    }
    static void TearDownTestSuite() {
        QDesktopServices::unsetUrlHandler("file");
        delete desktop;
        desktop = nullptr;
    }

    void SetUp() override {
        // p0 and p1 are the same picture; p2 differs.
        test::WritePicture(data.File("pics/p0.png"), test::PhotoLikePicture(64, 48, 1));
        test::WritePicture(data.File("pics/p1.png"), test::PhotoLikePicture(64, 48, 1));
        test::WritePicture(data.File("pics/p2.png"), test::PhotoLikePicture(40, 60, 2));
        std::string db;
        {
            NullFrame frame;
            Workspace ws(frame, data.File("db_home"));
            ws.AddPicturesFromFolder(data.File("pics"), {});
            ws.options.UseJapneseMenu = false;
            Database parts = ws.DatabaseParts();
            BuildHeader(parts);
            db = data.File("p.ld2");
            ASSERT_TRUE(WriteDatabase(parts, db));
        }
        program = StartProgram(home.path(), {QString::fromStdString(db)});
        main = program->main.get();
        main->SetScript(&script);
        main->SetCompanionFolders({companions.path()});
        main->show();
        QApplication::processEvents();
        catcher.urls.clear();
    }
    void TearDown() override {
        Workspace& ws = main->workspace();
        ws.DataChanged = ws.OptionsChanged = ws.OldFormatRead = false;
        program.reset();
    }
    void Select(bool reference, int row) {
        QTreeView* view = reference ? main->ListBox1() : main->ListBox2();
        view->selectionModel()->select(view->model()->index(row, 0),
                                       QItemSelectionModel::ClearAndSelect |
                                           QItemSelectionModel::Rows);
        main->UpdateActions();
    }
    Pdata* Reference(int row) { return main->workspace().lists.reference.EntryAt(row); }
    QMenu* Open(QMenu* menu) {
        emit menu->aboutToShow();
        return menu;
    }
    std::vector<QString> Captions(QMenu* menu) {
        std::vector<QString> out;
        for (QAction* a : menu->actions())
            out.push_back(a->isSeparator() ? "-" : a->text());
        return out;
    }
    // The companion channel's path slot, as a companion sees it.
    void WriteChannelPath(const std::string& path) {
        QSharedMemory block(PerUserChannelName("Lumidex Server"));
        ASSERT_TRUE(block.attach());
        block.lock();
        WriteBlockPath(static_cast<char*>(block.data()), path);
        block.unlock();
    }
    std::string ChannelPath() {
        QSharedMemory block(PerUserChannelName("Lumidex Server"));
        if (!block.attach()) return "<none>";
        block.lock();
        std::string path = ReadBlockPath(static_cast<const char*>(block.constData()));
        block.unlock();
        return path;
    }
    std::string Crystal() { return main->CrystalHint().toStdString(); }

    static inline TempDir* desktop = nullptr;
    static inline UrlCatcher catcher;
    TempDir home, data, companions;
    RecordingFrame script;
    std::unique_ptr<Program> program;
    TMain* main = nullptr;
};

TEST_F(DesktopTest, ShellSubmenuOffersTheFileTypesApplicationsOnce) {
    Select(true, 0);
    QMenu* shell = main->MenuNamed("Shell1");
    for (int opening = 0; opening < 2; ++opening) {
        Open(main->LeftPopupMenu());
        ASSERT_TRUE(main->Action("Shell1")->isEnabled());
        std::vector<QString> captions = Captions(shell);
        ASSERT_GE(captions.size(), 3u);
        EXPECT_EQ(captions[0], "E&xplore");
        EXPECT_EQ(captions[1], "-");
        EXPECT_EQ(captions[2], "Open");
        EXPECT_EQ(shell->actions()[2]->data().toString(), "fakeview.desktop");
        EXPECT_EQ(std::count(captions.begin(), captions.end(), QString("Open")), 1);
        // Another application keeps its name, its ampersand shown as it is.
        auto paint = std::find(captions.begin(), captions.end(), QString("Paint && Draw"));
        ASSERT_NE(paint, captions.end());
        EXPECT_EQ(shell->actions()[paint - captions.begin()]->data().toString(),
                  "fakepaint.desktop");
    }
    // The default application runs on the whole path, no shell in between.
    const std::string path = Reference(0)->path;
    shell->actions()[2]->trigger();
    const std::string ran = desktop->File("ran.txt");
    ASSERT_TRUE(WaitFor([&] { return !ReadWholeFile(ran).empty(); }));
    EXPECT_EQ(ReadWholeFile(ran), path + "\n");
    std::filesystem::remove(ran);

    main->OpenClick(true, "missing.desktop");
    EXPECT_NE(Crystal().find("ShellCommand failed"), std::string::npos);
}

TEST_F(DesktopTest, MissingReferenceFileDisablesShellButNotTheTargetsShell) {
    Workspace& ws = main->workspace();
    main->DataFilterChange(static_cast<int>(FilterItem::HasSimilarPics));
    Select(true, 0);
    ASSERT_GT(ws.lists.target.Count(), 0);
    Select(false, 0);
    const std::string referencePath = Reference(0)->path;
    const std::string targetPath = ws.lists.target.EntryAt(0)->path;
    auto* paneMenu = qobject_cast<QMenu*>(main->Action("CopyImage3")->parent());
    Open(paneMenu);
    EXPECT_TRUE(main->Action("whole")->isEnabled());
    std::filesystem::rename(referencePath, referencePath + ".gone");
    std::filesystem::rename(targetPath, targetPath + ".gone");

    Open(paneMenu);
    EXPECT_FALSE(main->Action("whole")->isEnabled());
    EXPECT_FALSE(main->Action("MakeSecondIndex1")->isEnabled());
    Open(main->LeftPopupMenu());
    EXPECT_FALSE(main->Action("Shell1")->isEnabled());
    EXPECT_EQ(main->MenuNamed("Shell1")->actions().size(), 2);
    EXPECT_TRUE(main->Action("Clear1")->isEnabled());
    Open(main->RightPopupMenu());
    EXPECT_TRUE(main->Action("Shell2")->isEnabled());

    // Nothing selected in the target list: its menu offers nothing of a row.
    ws.lists.target.ClearSelection();
    main->RefreshViews();
    Open(main->RightPopupMenu());
    EXPECT_FALSE(main->Action("Shell2")->isEnabled());
    EXPECT_FALSE(main->Action("CopyFileName2")->isEnabled());
}

TEST_F(DesktopTest, ExploreShowsTheFileAndHelpOpensTheManual) {
    Select(true, 1);
    main->Action("Explore1")->trigger();
    ASSERT_EQ(catcher.urls.size(), 1u);
    // Without a file manager on the bus the folder itself is opened.
    EXPECT_EQ(catcher.urls[0].toLocalFile().toStdString() + "/", data.File("pics/"));

    main->Action("Help2")->trigger();
    EXPECT_NE(Crystal().find("Browser open failed."), std::string::npos);
    const std::string manual = home.Write("manual.html", "<html></html>");
    main->Action("Help2")->trigger();
    ASSERT_EQ(catcher.urls.size(), 2u);
    EXPECT_EQ(catcher.urls[1].toLocalFile().toStdString(), manual);
}

TEST_F(DesktopTest, CopyCommandsPutThePathAndTheFullPictureOnTheClipboard) {
    Workspace& ws = main->workspace();
    main->findChild<QCheckBox*>("UsePreviewCache")->setChecked(true);
    ASSERT_TRUE(ws.options.UsePreviewCache);
    for (int row : {2, 0, 2, 0})
        main->View(true, Reference(row));
    ASSERT_TRUE(main->Pane(true).smallCopy);
    Select(true, 0);
    Open(main->LeftPopupMenu());
    EXPECT_TRUE(main->Action("CopyFileName1")->isEnabled());
    EXPECT_TRUE(main->Action("CopyImage1")->isEnabled());
    main->Action("CopyFileName1")->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), Reference(0)->path);
    main->Action("CopyImage3")->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->image().size(), QSize(64, 48));
    EXPECT_FALSE(main->Pane(true).smallCopy);
}

TEST_F(DesktopTest, ButtonPanelMenusToggleTheirButtons) {
    QMenu* menu = main->ButtonPanelMenu(true);
    ASSERT_TRUE(menu);
    EXPECT_EQ(menu->objectName(), "ButtonPopupMenu");
    Open(menu);
    std::vector<QString> captions = Captions(menu);
    EXPECT_EQ(captions,
              (std::vector<QString>{"View", "Clear", "Copy", "Move", "Delete", "Rename"}));
    EXPECT_TRUE(menu->actions()[1]->isChecked());
    EXPECT_FALSE(menu->actions()[5]->isChecked()); // hidden at start
    menu->actions()[1]->trigger();
    EXPECT_TRUE(main->findChild<QToolButton*>("ClearEntry")->isHidden());
    Open(menu);
    EXPECT_EQ(menu->actions().size(), 6);
    EXPECT_FALSE(menu->actions()[1]->isChecked());

    QMenu* right = Open(main->ButtonPanelMenu(false));
    EXPECT_EQ(right->objectName(), "RightButtonPopupMenu");
    EXPECT_EQ(right->actions().size(), 5);
}

TEST_F(DesktopTest, CompanionMessagesSelectAddAndStep) {
    Workspace& ws = main->workspace();
    const int count = ws.lists.reference.Count();
    ASSERT_EQ(count, 3);
    // "next picture": nothing selected starts from the first row, the last row stays.
    main->CompanionMessage(0, 2);
    EXPECT_EQ(ws.lists.reference.SelectedRow(), 1);
    EXPECT_EQ(ChannelPath(), Reference(1)->path);
    main->CompanionMessage(0, 2);
    main->CompanionMessage(0, 2);
    EXPECT_EQ(ws.lists.reference.SelectedRow(), 2);
    EXPECT_EQ(ChannelPath(), Reference(2)->path);

    // "show this picture" adds a picture the catalogue lacks and selects it.
    test::WritePicture(data.File("more/new.png"), test::PhotoLikePicture(50, 50, 3));
    WriteChannelPath(data.File("more/new.png"));
    main->CompanionMessage(1, 0);
    ASSERT_EQ(ws.catalogue.Count(), 4);
    ASSERT_NE(ws.lists.currentReference, nullptr);
    EXPECT_EQ(ws.lists.currentReference->path, data.File("more/new.png"));
    EXPECT_EQ(main->Pane(true).shown, ws.lists.currentReference);

    // "picture changed" re-analyses a known picture and ignores an unknown one.
    auto byPath = [&](const char* name) {
        return &ws.catalogue.Entry(ws.catalogue.FindEntry(data.File(name)));
    };
    const Pdata* p0 = byPath("pics/p0.png");
    const Pdata* p2 = byPath("pics/p2.png");
    ASSERT_NE(p0->key, p2->key);
    std::filesystem::copy_file(p2->path, p0->path,
                               std::filesystem::copy_options::overwrite_existing);
    WriteChannelPath(p0->path);
    main->CompanionMessage(0, 0);
    EXPECT_EQ(ws.lists.currentReference, p0);
    EXPECT_EQ(p0->key, p2->key);
    WriteChannelPath(data.File("elsewhere.png"));
    main->CompanionMessage(0, 0);
    EXPECT_EQ(ws.catalogue.Count(), 4);
    // A folder is not a picture to show: nothing is scanned.
    test::WritePicture(data.File("tree/x.png"), test::PhotoLikePicture(30, 30, 4));
    WriteChannelPath(data.File("tree"));
    main->CompanionMessage(0, 1);
    EXPECT_EQ(ws.catalogue.Count(), 4);

    // While a long operation runs, messages wait for its end.
    ws.lists.updateRunning = true;
    main->CompanionMessage(0, 2);
    const int before = ws.lists.reference.SelectedRow();
    QCoreApplication::processEvents();
    EXPECT_EQ(ws.lists.reference.SelectedRow(), before);
    ws.lists.updateRunning = false;
    EXPECT_TRUE(WaitFor([&] { return ws.lists.reference.SelectedRow() != before; }));
}

TEST_F(DesktopTest, CompanionMenuFollowsTheProgramAndItsChannel) {
    QMenu* tool = main->MenuNamed("Option1");
    Open(tool);
    for (const char* name : {"RunGlimpser1", "RunTinter1", "SendTinter1", "RunJoiner1",
                             "SendJoinerLeft1", "SendJoinerRight1"})
        EXPECT_FALSE(main->Action(name)->isVisible()) << name;

    std::filesystem::copy_file(LUMIDEX2_FAKE_COMPANION, companions.File("tinter"));
    const std::string out = companions.File("messages.txt");
    qputenv("FAKE_COMPANION_SOCKET", kTinter.socket);
    qputenv("FAKE_COMPANION_OUT", QByteArray::fromStdString(out));
    qputenv("FAKE_COMPANION_OFFSET", "4");
    Select(true, 0);
    Open(tool);
    EXPECT_TRUE(main->Action("RunTinter1")->isVisible());
    EXPECT_TRUE(main->Action("RunTinter1")->isEnabled());
    EXPECT_FALSE(main->Action("SendTinter1")->isEnabled());
    EXPECT_FALSE(main->Action("RunJoiner1")->isVisible());

    main->Action("RunTinter1")->trigger();
    ASSERT_TRUE(WaitFor([] { return CompanionRunning(kTinter); }));
    Open(tool);
    EXPECT_FALSE(main->Action("RunTinter1")->isEnabled());
    EXPECT_TRUE(main->Action("SendTinter1")->isEnabled());

    // The companion answers every picture with "next picture".
    Workspace& ws = main->workspace();
    main->Action("SendTinter1")->trigger();
    ASSERT_TRUE(WaitFor([&] { return ws.lists.reference.SelectedRow() == 1; }));
    EXPECT_EQ(ChannelPath(), Reference(1)->path);
    SendCompanionMessage(kTinter, 99, 99);
    ASSERT_TRUE(WaitFor([] { return !CompanionRunning(kTinter); }));
    EXPECT_EQ(ReadWholeFile(out),
              "arg " + Reference(0)->path + "\n2 0 " + Reference(0)->path + "\n");
    qunsetenv("FAKE_COMPANION_SOCKET");
}

TEST_F(DesktopTest, ListsShareTheWidthBesideThePreviewsOnResize) {
    for (QSize size : {QSize(800, 600), QSize(1300, 900)}) {
        main->resize(size);
        QApplication::processEvents();
        QWidget* central = main->centralWidget();
        auto at = [&](const char* name) {
            QWidget* w = main->findChild<QWidget*>(name);
            return QRect(w->mapTo(central, QPoint(0, 0)), w->size());
        };
        const QRect list1 = at("ListBox1"), list2 = at("ListBox2");
        EXPECT_LE(std::abs(list1.width() - list2.width()), 1) << size.width();
        EXPECT_GT(list2.left(), list1.right());
        EXPECT_GT(list1.left(), at("LeftViewPanel").right());
        EXPECT_LE(central->width() - list2.right(), 8);
        // From the bottom up: status bars, search bar, Panel3, then the button panels.
        EXPECT_LE(at("StatusBar1").bottom(), at("StatusBar2").top());
        EXPECT_LE(at("Panel2").bottom(), at("StatusBar1").top());
        EXPECT_LE(at("Panel3").bottom(), at("Panel2").top());
        EXPECT_LE(at("RightPanel").bottom(), at("Panel3").top());
        EXPECT_EQ(at("RightPanel").left(), list2.left());
        EXPECT_LE(list1.bottom(), at("LeftPanel").top());
        // Exit stands two button widths from the right edge.
        const QRect exit = at("SpeedButton2");
        EXPECT_NEAR(central->width() - exit.left(), 2 * exit.width(), 6);
        EXPECT_EQ(list2.left() - list1.right() - 1, 4);
    }
}

} // namespace
} // namespace lumidex

#include "TMainDesktop_test.moc"
