// Works the file commands in the real main window, as a user would, and saves pictures of the
// dialogs they open: lumidex2-fileops-trial PICTURES-FOLDER WORK-FOLDER [ja] (ja: with the
// Japanese menus, the pictures' names ending in "-ja"). Run it under a display
// (Xvfb) with LUMIDEX2_HOME and XDG_DATA_HOME set to folders of its own: it deletes to the
// trash. Prints one line per check and exits 1 when any failed.
#include "StartUp.h"
#include "TDirSel.h"
#include "TMain.h"
#include "TPathChange.h"
#include "TUnlinkedData.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QThread>
#include <QTimer>

#include <cstdio>
#include <functional>

using namespace lumidex;

namespace {

int failures = 0;
QString shots;
QString suffix;

void Check(bool ok, const char* what) {
    std::fprintf(stderr, "%s %s\n", ok ? "ok  " : "FAIL", what);
    if (!ok) ++failures;
}

void Settle() {
    for (int i = 0; i < 10; ++i) {
        QApplication::processEvents();
        QThread::msleep(30);
    }
}

void Shoot(const QString& name) {
    Settle();
    QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(0);
    shot.save(shots + "/" + name + suffix + ".png");
    std::fprintf(stderr, "saved %s/%s%s.png\n", qPrintable(shots), qPrintable(name),
                 qPrintable(suffix));
}

// Works the modal dialog that the next command opens, once it is up.
void OnDialog(std::function<void(QWidget*)> answer) {
    QTimer::singleShot(400, [answer] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (!dialog) {
            Check(false, "a dialog opened");
            return;
        }
        answer(dialog);
    });
}

template <class T> T* Child(QWidget* w, const char* name) {
    return w->findChild<T*>(name);
}

// Pairs of look-alikes: the same drawing saved at two qualities; the pairs differ in the
// direction of their light.
void MakePictures(const QString& folder, int pairs) {
    QDir().mkpath(folder);
    const QPointF ends[][2] = {{{0, 0}, {320, 0}}, {{0, 240}, {0, 0}}, {{320, 240}, {0, 0}}};
    for (int i = 0; i < pairs * 2; ++i) {
        const int pair = (i / 2) % 3;
        QImage img(320, 240, QImage::Format_RGB32);
        QPainter p(&img);
        QLinearGradient g(ends[pair][0], ends[pair][1]);
        g.setColorAt(0, QColor::fromHsv(pair * 110, 200, 250));
        g.setColorAt(1, QColor::fromHsv(pair * 110 + 30, 120, 20));
        p.fillRect(img.rect(), g);
        p.setBrush(pair == 1 ? Qt::black : Qt::white);
        p.drawEllipse(pair == 2 ? 200 : 40, pair == 1 ? 20 : 120, 90, 90);
        p.end();
        img.save(QString("%1/photo%2.jpg").arg(folder).arg(i), "JPEG", i % 2 ? 70 : 95);
    }
}

bool Exists(const std::string& path) {
    return QFile::exists(QString::fromStdString(path));
}

void SelectPair(TMain& main, const std::string& reference, const std::string& target = {}) {
    Workspace& ws = main.workspace();
    Lists& lists = ws.lists;
    const int at = ws.catalogue.FindEntry(reference);
    if (at < 0) return;
    lists.SelectReference(lists.reference.Find(&ws.catalogue.Entry(at)));
    int row = target.empty() ? 0 : -1;
    for (int i = 0; i < lists.target.Count(); ++i)
        if (lists.target.EntryAt(i)->path == target) row = i;
    if (row < 0) {
        Check(false, ("the look-alikes of " + reference + " hold " + target).c_str());
        row = 0;
    }
    if (!lists.target.Empty()) {
        lists.target.Select(row);
        lists.TargetSelectionChanged(false);
    }
    main.RefreshViews();
    main.UpdateActions();
    Settle();
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 3 && argc != 4) return 2;
    const bool japanese = argc == 4 && QString::fromLocal8Bit(argv[3]) == "ja";
    if (japanese) suffix = "-ja";
    shots = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(shots);
    const std::string work = QDir(QString::fromLocal8Bit(argv[2])).absolutePath().toStdString();
    const std::string pics = work + "/Pictures", keep = work + "/Keep";
    MakePictures(QString::fromStdString(pics), 3);
    QDir().mkpath(QString::fromStdString(keep));
    // In the way of the first copy: another drawing under the target's name.
    QFile::copy(QString::fromStdString(pics + "/photo4.jpg"),
                QString::fromStdString(keep + "/photo1.jpg"));

    auto program = StartProgram(qEnvironmentVariable("LUMIDEX2_HOME").toStdString(), {});
    TMain& main = *program->main;
    main.resize(1100, 700);
    main.move(0, 0);
    main.show();
    main.SetMenuLanguage(japanese ? 1 : 0);
    Settle();
    Workspace& ws = main.workspace();
    ws.AddPicturesFromFolder(pics, {});
    main.UpdateTitle(0);
    SelectPair(main, pics + "/photo0.jpg");
    Check(ws.lists.target.Count() == 1, "photo0 has one look-alike");

    // Copy the target into Keep: the name is taken, the query asks.
    main.DirSel()->SetCurrentFolder(keep);
    main.RightPopupMenu()->popup(main.mapToGlobal(QPoint(700, 200)));
    Shoot("target-menu");
    main.RightPopupMenu()->hide();
    emit main.RightPopupMenu()->aboutToShow();
    OnDialog([](QWidget* d) {
        Shoot("query-dialog");
        Child<QRadioButton>(d, "Rename")->click();
        Child<QPushButton>(d, "Doit")->click();
    });
    main.Action("CopyTargetto1")->trigger();
    Check(Exists(keep + "/photo1_1.jpg"), "copied under the proposed name photo1_1.jpg");
    Check(ws.catalogue.FindEntry(keep + "/photo1_1.jpg") >= 0, "the copy is catalogued");
    Shoot("after-copy");

    // Rename the target: its own name is refused first.
    SelectPair(main, pics + "/photo0.jpg", pics + "/photo1.jpg");
    OnDialog([](QWidget* d) {
        OnDialog([](QWidget* again) {
            Shoot("rename-dialog");
            Child<QLineEdit>(again, "Edit1")->setText("photo1-renamed");
            Child<QPushButton>(again, "OKBtn")->click();
        });
        Child<QPushButton>(d, "OKBtn")->click();
    });
    main.Action("Rename1")->trigger();
    Check(Exists(pics + "/photo1-renamed.jpg"), "renamed");

    // Move the reference through the folder dialog.
    SelectPair(main, pics + "/photo2.jpg");
    OnDialog([&](QWidget* d) {
        static_cast<TDirSel*>(d)->SetCurrentFolder(keep);
        Shoot("move-folder-dialog");
        Child<QPushButton>(d, "Button1")->click();
    });
    main.Action("MoveRef1")->trigger();
    Check(Exists(keep + "/photo2.jpg") && !Exists(pics + "/photo2.jpg"), "reference moved");
    Check(ws.catalogue.FindEntry(keep + "/photo2.jpg") >= 0, "its entry follows");

    // Delete its target to the trash, confirming.
    SelectPair(main, keep + "/photo2.jpg");
    OnDialog([](QWidget* box) {
        Shoot("delete-confirm");
        for (QPushButton* b : box->findChildren<QPushButton*>())
            if (b->text().contains("OK", Qt::CaseInsensitive)) b->click();
    });
    main.Action("Delete1")->trigger();
    const std::string trash = qEnvironmentVariable("XDG_DATA_HOME").toStdString() + "/Trash";
    Check(!Exists(pics + "/photo3.jpg") && Exists(trash + "/files/photo3.jpg"),
          "the target went to the trash");
    Check(main.PanelText(StatusPanel::Outcome).rfind("Disk free : ", 0) == 0, "free-space line");
    Shoot("after-delete");

    // Overwrite-move the remaining pair.
    SelectPair(main, pics + "/photo4.jpg", pics + "/photo5.jpg");
    OnDialog([](QWidget* box) {
        for (QPushButton* b : box->findChildren<QPushButton*>())
            if (b->text().contains("OK", Qt::CaseInsensitive)) b->click();
    });
    main.Action("OverwrightMoveRefTarg1")->trigger();
    Check(!Exists(pics + "/photo4.jpg") && Exists(pics + "/photo5.jpg") &&
              Exists(trash + "/files/photo5.jpg"),
          "overwrite-move: photo4 became photo5, the old photo5 is in the trash");
    Shoot("after-overwrite-move");
    std::fprintf(stderr, "after overwrite-move: reference %s, %d targets\n",
                 ws.lists.currentReference ? ws.lists.currentReference->path.c_str() : "none",
                 ws.lists.target.Count());

    // Files gone behind the program's back.
    QFile::remove(QString::fromStdString(pics + "/photo0.jpg"));
    main.Action("SearchUnlinkedData")->trigger();
    Settle();
    Check(main.UnlinkedData()->ListBox2->count() == 1, "one unlinked entry");
    Shoot("unlinked-data");
    main.UnlinkedData()->close();

    // A folder given a new name outside: the path change brings the entries along.
    QDir().rename(QString::fromStdString(pics), QString::fromStdString(work + "/Photos"));
    SelectPair(main, keep + "/photo2.jpg");
    main.PathChangeDialog()->SetFolders(pics + "/", pics + "/");
    OnDialog([&](QWidget* d) {
        Child<QLineEdit>(d, "ToPath")->setText(QString::fromStdString(work + "/Photos/"));
        Shoot("path-change");
        Child<QPushButton>(d, "OKButton1")->click();
    });
    ws.lists.currentReference = nullptr;
    main.Action("ChangeAllFilePath1")->trigger();
    Check(ws.catalogue.FindEntry(work + "/Photos/photo5.jpg") >= 0, "path changed");
    std::fprintf(stderr, "status: %s\n", main.PanelText(StatusPanel::Outcome).c_str());
    Shoot("after-path-change");

    // The same windows with the Japanese menus.
    main.SetMenuLanguage(1);
    QMenu* action = main.MenuNamed("Action1");
    action->popup(main.mapToGlobal(QPoint(60, 20)));
    Shoot("menu-japanese");
    action->hide();
    SelectPair(main, work + "/Photos/photo5.jpg");
    main.Action("SearchUnlinkedData")->trigger();
    Shoot("unlinked-data-japanese");
    main.UnlinkedData()->close();

    ws.DataChanged = ws.OptionsChanged = ws.OldFormatRead = false;
    std::fprintf(stderr, "%d failed\n", failures);
    return failures ? 1 : 0;
}
