#include "FileOpsTestFixture.h"
#include "TPathChange.h"
#include "TQueryDialog.h"
#include "TRenameDlg.h"
#include "TUnlinkedData.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

namespace lumidex::test {
namespace {

// One application for the whole run, never destroyed: Qt's input devices outlive a static one.
void App() {
    static int argc = 1;
    static char name[] = "fileops_ui_test";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) new QApplication(argc, argv);
}

template <class T> T* Find(QWidget& w, const char* name) {
    T* found = w.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

CollisionQuery Query(Collision proposal) {
    CollisionQuery q;
    q.source = "/src/a.jpg";
    q.destination = "/dest/a.jpg";
    q.sourceInfo.size = 100000;
    q.destinationInfo.size = 90000;
    q.proposedName = "a_1.jpg";
    q.proposal = proposal;
    return q;
}

TEST(TQueryDialog, ShowsTheFilesAndFollowsTheRadioRules) {
    App();
    TQueryDialog d;
    d.PrepareQuery(Query(Collision::OverWrite));
    EXPECT_EQ(d.windowTitle(), "Name:a.jpg");
    EXPECT_EQ(Find<QLabel>(d, "Filename1")->toolTip(), "/src/a.jpg");
    EXPECT_EQ(Find<QLabel>(d, "Size2")->text(), "90000");
    EXPECT_TRUE(Find<QRadioButton>(d, "OverWrite")->isChecked());
    EXPECT_FALSE(Find<QLineEdit>(d, "RenameEdit")->isEnabled());
    EXPECT_TRUE(Find<QCheckBox>(d, "DontshowthisDialog")->isEnabled());
    Find<QRadioButton>(d, "Rename")->click();
    EXPECT_TRUE(Find<QLineEdit>(d, "RenameEdit")->isEnabled());
    EXPECT_EQ(Find<QLineEdit>(d, "RenameEdit")->text(), "a_1.jpg");
    EXPECT_FALSE(Find<QCheckBox>(d, "DontshowthisDialog")->isEnabled());
    EXPECT_EQ(d.CurrentReply().answer, Collision::Rename);
}

TEST(TQueryDialog, ShiftMakesOkToAllAndCancelCancels) {
    App();
    TQueryDialog d;
    QTimer::singleShot(0, [&d] {
        QPushButton* ok = d.findChild<QPushButton*>("Doit");
        QTest::keyPress(ok, Qt::Key_Shift, Qt::ShiftModifier);
        EXPECT_EQ(ok->text(), "Ok to All");
        ok->click();
    });
    CollisionReply r = d.Ask(Query(Collision::Skip));
    EXPECT_FALSE(r.cancelled);
    EXPECT_TRUE(r.okToAll);
    EXPECT_EQ(r.answer, Collision::Skip);
    QTimer::singleShot(0, [&d] { d.findChild<QPushButton*>("Cancel")->click(); });
    EXPECT_TRUE(d.Ask(Query(Collision::Skip)).cancelled);
    EXPECT_EQ(d.findChild<QPushButton*>("Doit")->text(), "Ok");
}

TEST(TRenameDlg, ReturnsTheTypedNameAndShowsTheRefusal) {
    App();
    TRenameDlg d;
    EXPECT_EQ(d.windowTitle(), "Rename To");
    QTimer::singleShot(0, [&d] {
        EXPECT_EQ(d.findChild<QLabel*>("Label1")->text(), ".jpg");
        EXPECT_EQ(d.findChild<QLabel*>("Message")->text(), "File already Exists!");
        d.findChild<QLineEdit*>("Edit1")->setText("b");
        d.findChild<QPushButton*>("OKBtn")->click();
    });
    std::string name = "a";
    ASSERT_TRUE(d.AskNewName(name, ".jpg", "File already Exists!"));
    EXPECT_EQ(name, "b");
    QTimer::singleShot(0, [&d] { d.findChild<QPushButton*>("CancelBtn")->click(); });
    EXPECT_FALSE(d.AskNewName(name, ".jpg", ""));
}

TEST(TPathChange, OkNeedsTwoDifferentFoldersAndAddsTheDelimiter) {
    App();
    TPathChange d;
    EXPECT_EQ(d.windowTitle(), "Path Change");
    QPushButton* ok = Find<QPushButton>(d, "OKButton1");
    EXPECT_FALSE(ok->isEnabled());
    EXPECT_TRUE(Find<QCheckBox>(d, "ChangeSubFoler")->isChecked());
    d.SetFolders("/a", "/a");
    EXPECT_FALSE(ok->isEnabled());
    Find<QLineEdit>(d, "ToPath")->setText("/b");
    EXPECT_TRUE(ok->isEnabled());
    ok->click();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(Find<QLineEdit>(d, "FromPath")->text(), "/a/");
    EXPECT_EQ(d.To(), "/b/");
}

TEST(TUnlinkedData, ListsTheMissingAndClearDropsThem) {
    App();
    FileOpsFixture f;
    f.AddFile("here.jpg", "x");
    Pdata* gone1 = f.Add(f.dir.File("gone1.jpg"), 1);
    f.Add(f.dir.File("gone2.jpg"), 1);
    TUnlinkedData w(f.parts);
    EXPECT_EQ(w.windowTitle(), "Unlinked Data");
    w.Search();
    QListWidget* list = Find<QListWidget>(w, "ListBox2");
    ASSERT_EQ(list->count(), 2);
    EXPECT_FALSE(Find<QPushButton>(w, "Clear")->isEnabled());
    // An entry freed elsewhere leaves the list at once.
    f.lists.RemoveEntries({gone1});
    w.EntriesRemoved({gone1});
    ASSERT_EQ(list->count(), 1);
    list->selectAll();
    EXPECT_TRUE(Find<QPushButton>(w, "Clear")->isEnabled());
    Find<QPushButton>(w, "Clear")->click();
    EXPECT_EQ(f.catalogue.Count(), 1);
    EXPECT_FALSE(w.isVisible());
    EXPECT_TRUE(f.state.DataChanged);
}

} // namespace
} // namespace lumidex::test
