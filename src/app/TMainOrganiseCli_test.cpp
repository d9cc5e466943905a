// The window and lumidex2-cli on one database: memos and mismatch groups made in one are read
// and changed by the other.
#include "MainWindowTesting.h"
#include "Paths.h"
#include "TMemoMan.h"
#include "TMismatchEditor.h"
#include "TestPictures.h"

#include <QClipboard>
#include <QComboBox>
#include <QListView>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QToolButton>

namespace lumidex {
namespace {

class OrganiseWithCli : public test::MainWindowFixture {
protected:
    // Runs lumidex2-cli and returns what it printed; its status is checked.
    std::string Cli(const QStringList& args, int status = 0) {
        QProcess cli;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("LUMIDEX2_HOME", QString::fromStdString(cliHome.path()));
        cli.setProcessEnvironment(env);
        cli.start(LUMIDEX2_CLI, args);
        EXPECT_TRUE(cli.waitForFinished(60000)) << args.join(' ').toStdString();
        EXPECT_EQ(cli.exitCode(), status)
            << args.join(' ').toStdString() << ": " << cli.readAllStandardError().toStdString();
        return cli.readAllStandardOutput().toStdString();
    }
    void Click(QWidget* in, const char* name) {
        auto* button = test::Find<QAbstractButton>(in, name);
        ASSERT_TRUE(button && button->isEnabled()) << name;
        button->click();
    }
    int RowOf(const std::string& path) {
        const EntryList& list = main->workspace().lists.reference;
        for (int r = 0; r < list.Count(); ++r)
            if (list.EntryAt(r)->path == path) return r;
        return -1;
    }
    // Lists the entries with similar pictures and selects the reference and its one target.
    void SelectPair(const std::string& reference) {
        main->DataFilterChange(static_cast<int>(FilterItem::All));
        main->DataFilterChange(static_cast<int>(FilterItem::HasSimilarPics));
        const int row = RowOf(reference);
        ASSERT_GE(row, 0) << reference;
        SelectRow(main->ListBox1(), row);
        ASSERT_EQ(main->workspace().lists.target.Count(), 1);
        SelectRow(main->ListBox2(), 0);
    }

    test::TempDir cliHome;
};

TEST_F(OrganiseWithCli, MemosAndMismatchGroupsGoBothWays) {
    // p0 and p1 are one picture, q0 and q1 another; r stands alone.
    for (const char* name : {"p0", "p1"})
        test::WritePicture(data.File(std::string("pics/") + name + ".png"),
                           test::PhotoLikePicture(64, 48, 1));
    for (const char* name : {"q0", "q1"})
        test::WritePicture(data.File(std::string("pics/") + name + ".png"),
                           test::PhotoLikePicture(64, 48, 3));
    test::WritePicture(data.File("pics/r.png"), test::PhotoLikePicture(40, 60, 2));
    const std::string p0 = data.File("pics/p0.png"), p1 = data.File("pics/p1.png");
    const std::string q0 = data.File("pics/q0.png"), q1 = data.File("pics/q1.png");
    const std::string db =
        test::WriteFolderDatabase(data.File("pics"), home.File("writer"), data.File("o.ld2"));
    const QString dbArg = QString::fromStdString(db);
    Start(db);
    Workspace& ws = main->workspace();

    // The window: a group and a memo named from the clipboard, set on p0 from the manager and
    // on r from the list menu; p0 and p1 kept apart.
    main->Action("MemoEditor1")->trigger();
    TMemoMan* manager = main->MemoMan();
    ASSERT_TRUE(manager->isVisible());
    QGuiApplication::clipboard()->setText("Colours");
    Click(manager, "ActionGroupPaste");
    QGuiApplication::clipboard()->setText("red");
    Click(manager, "ActionMemoPaste");
    main->DataFilterChange(static_cast<int>(FilterItem::All));
    SelectRow(main->ListBox1(), RowOf(p0));
    Click(manager, "ActionSet");
    SelectRow(main->ListBox1(), RowOf(data.File("pics/r.png")));
    emit main->LeftPopupMenu()->aboutToShow();
    main->MenuNamed("DataSet1")->actions().value(0)->menu()->actions().value(0)->trigger();
    SelectPair(p0);
    main->findChild<QToolButton*>("SpeedButton10")->click();
    EXPECT_EQ(RowOf(p0), -1) << "the pair leaves the list";
    main->SavedatabaseClick();
    ASSERT_FALSE(ws.DataChanged);

    // The command line reads them and changes them.
    const std::string group = std::to_string(ws.memos.GroupIdAt(0));
    EXPECT_EQ(Cli({"memo", dbArg, "--list"}), group + "\tColours\n\t0\tred\n");
    EXPECT_EQ(Cli({"search", dbArg, "--memo", "Colours", "red"}),
              p0 + "\n" + data.File("pics/r.png") + "\n");
    EXPECT_EQ(Cli({"mismatch", dbArg, "--list"}), "1\t" + p0 + "\n1\t" + p1 + "\n");
    Cli({"memo", dbArg, "--set", "Colours", "blue", QString::fromStdString(q0)});
    Cli({"memo", dbArg, "--unset", "Colours", "red", QString::fromStdString(p0)});
    EXPECT_EQ(
        Cli({"mismatch", dbArg, "--make", QString::fromStdString(q0), QString::fromStdString(q1)}),
        "2\n");

    // The window opens the changed file and shows what the command line did.
    main->OpenFromHistory(db);
    ASSERT_FALSE(ws.DataChanged);
    main->DataFilterChange(static_cast<int>(FilterItem::All));
    main->DataFilterChange(static_cast<int>(FilterItem::HasSimilarPics));
    EXPECT_TRUE(ws.lists.reference.Empty()) << "both pairs are kept apart";
    main->DataFilterChange(static_cast<int>(FilterItem::Memo));
    test::OnDialog([](QDialog* dialog) {
        auto* memo = test::Find<QComboBox>(dialog, "ItemValue");
        memo->setCurrentIndex(memo->findText("blue"));
        dialog->accept();
    });
    main->SearchButtonClick();
    ASSERT_EQ(ws.lists.reference.Count(), 1);
    EXPECT_EQ(ws.lists.reference.EntryAt(0)->path, q0);
    SelectRow(main->ListBox1(), 0);
    EXPECT_EQ(main->PaneHintText(true).section('\n', 1).toStdString(), "blue");
    const QModelIndex colours = manager->model().index(0, 0);
    EXPECT_EQ(manager->model().rowCount(colours), 2) << "the manager shows red and blue";
    const int red = ws.memos.FindMemo("red", ws.memos.GroupIdAt(0));
    EXPECT_FALSE(ws.catalogue.Entry(ws.catalogue.FindEntry(p0)).HasMemo(red));
    EXPECT_TRUE(ws.catalogue.Entry(ws.catalogue.FindEntry(data.File("pics/r.png"))).HasMemo(red));

    main->Action("MenuMismatchEditor")->trigger();
    auto* groups = main->MismatchEditor()->findChild<QListView*>("ListBox1");
    ASSERT_TRUE(groups);
    EXPECT_EQ(groups->model()->rowCount(), 4);
}

} // namespace
} // namespace lumidex
