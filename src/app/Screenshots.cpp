// Saves pictures of the main window, its menus in both languages, every tab of the options
// window and the about box, for a look at the layout. Run under a display (tools/screenshots.sh
// starts it under Xvfb).
#include "DatabaseFile.h"
#include "MenuCaptions.h"
#include "SharedState.h"
#include "StartUp.h"
#include "TDirSel.h"
#include "TMain.h"
#include "TOpenForm.h"
#include "TOption.h"
#include "TProgress.h"
#include "TViewLeft.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QProgressBar>
#include <QScreen>
#include <QTabWidget>
#include <QThread>
#include <QTimer>
#include <QTreeView>

#include <cstdio>

using namespace lumidex;

namespace {

void Settle() {
    for (int i = 0; i < 10; ++i) {
        QApplication::processEvents();
        QThread::msleep(30);
    }
}

bool Save(const QPixmap& picture, const QString& folder, const QString& name) {
    QString path = folder + "/" + name + ".png";
    bool ok = picture.save(path);
    std::fprintf(stderr, "%s %s\n", ok ? "saved" : "FAILED", qPrintable(path));
    return ok;
}

// A few pictures in pairs of look-alikes.
QString MakePictures(const QString& folder, int width = 160, int height = 120) {
    QDir().mkpath(folder);
    for (int i = 0; i < 8; ++i) {
        QImage img(width, height, QImage::Format_RGB32);
        QPainter p(&img);
        p.scale(width / 160.0, height / 120.0);
        QLinearGradient g(0, 0, 160, 120);
        g.setColorAt(0, QColor::fromHsv((i / 2) * 60, 200, 230));
        g.setColorAt(1, QColor::fromHsv((i / 2) * 60 + 30, 120, 60));
        p.fillRect(img.rect(), g);
        p.setBrush(Qt::white);
        p.drawEllipse(20 + (i / 2) * 20, 30, 40, 40);
        p.end();
        img.save(QString("%1/picture%2.jpg").arg(folder).arg(i), "JPEG", i % 2 ? 70 : 95);
    }
    return folder;
}

void ShootMenus(TMain& main, const QString& folder, const QString& suffix) {
    for (const MenuNode& top : MainMenuLayout()) {
        QMenu* menu = main.MenuNamed(top.name);
        QRect item = main.menuBar()->actionGeometry(menu->menuAction());
        menu->popup(main.menuBar()->mapToGlobal(item.bottomLeft()));
        Settle();
        QRect area = main.frameGeometry().united(menu->geometry());
        QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(0, area.x(), area.y(),
                                                                    area.width(), area.height());
        Save(shot, folder, QString("menu-%1-%2").arg(QString::fromStdString(top.name), suffix));
        menu->hide();
        Settle();
    }
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: lumidex2-screenshots OUTPUT-FOLDER\n");
        return 2;
    }
    QString out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(out);
    std::string appDir = DefaultAppDir();
    QString pictures = MakePictures(QString::fromStdString(appDir) + "pictures");
    // Large enough for the progress window to be drawn while one is analysed.
    QString large = MakePictures(QString::fromStdString(appDir) + "large", 2400, 1800);

    auto program = StartProgram(appDir, {});
    TMain& main = *program->main;
    main.move(0, 0);
    main.show();
    Settle();
    Workspace& ws = main.workspace();
    ws.AddPicturesFromFolder(pictures.toStdString(), {});
    Database db = ws.DatabaseParts();
    BuildHeader(db);
    std::string database = appDir + "screens.ld2";
    WriteDatabase(db, database);
    ws.DatabasePath = database;
    ws.DataChanged = ws.OptionsChanged = false;
    main.UpdateTitle(0);
    main.RefreshViews();
    Settle();

    main.SetMenuLanguage(0);
    Save(main.grab(), out, "main-english");
    ShootMenus(main, out, "english");
    main.SetMenuLanguage(1);
    Settle();
    Save(main.grab(), out, "main-japanese");
    ShootMenus(main, out, "japanese");

    // The look-alike pairs listed up, the first one selected.
    main.SetMenuLanguage(0);
    main.DataFilterChange(static_cast<int>(FilterItem::HasSimilarPics));
    QTreeView* references = main.ListBox1();
    references->selectionModel()->select(references->model()->index(0, 0),
                                         QItemSelectionModel::ClearAndSelect |
                                             QItemSelectionModel::Rows);
    Settle();
    Save(main.grab(), out, "main-similar");
    // Both previews with Japanese menus, and in the narrowest main window.
    main.SetMenuLanguage(1);
    Settle();
    Save(main.grab(), out, "main-similar-japanese");
    main.SetMenuLanguage(0);
    const QSize wide = main.size();
    main.resize(640, wide.height());
    Settle();
    Save(main.grab(), out, "main-similar-640");
    main.resize(wide);
    Settle();
    // The reference viewer on a double click of the reference preview.
    main.ImageDblClick(true, false);
    Settle();
    if (TViewLeft* viewer = main.PaneViewer(true)) {
        Save(viewer->grab(), out, "viewer");
        viewer->hide();
    }

    TOption& option = *main.optionWindow();
    option.move(40, 40);
    option.show();
    Settle();
    for (int i = 0; i < option.tabs()->count(); ++i) {
        option.tabs()->setCurrentIndex(i);
        Settle();
        Save(option.grab(), out,
             QString("option-%1-%2").arg(i).arg(option.tabs()->tabText(i).replace(' ', '_')));
    }
    option.hide();

    // The folder dialog in its adding and copy forms, the picture dialog, in both languages
    // of the main window (the dialogs themselves have one caption set).
    for (int language : {0, 1}) {
        main.SetMenuLanguage(language);
        const QString suffix = language ? "japanese" : "english";
        TDirSel* dirSel = main.DirSel();
        dirSel->Remember(pictures.toStdString());
        for (int mode : {0, 1}) {
            dirSel->SetMode(mode);
            dirSel->SetCurrentFolder(pictures.toStdString());
            dirSel->move(60, 60);
            dirSel->show();
            Settle();
            Save(dirSel->grab(), out, QString("dirsel-mode%1-%2").arg(mode).arg(suffix));
            dirSel->hide();
        }
        TOpenForm* form = main.OpenForm();
        form->SetCurrentFolder(pictures.toStdString());
        form->move(60, 60);
        form->show();
        Settle();
        form->SelectAllClick();
        Settle();
        Save(form->grab(), out, "openform-" + suffix);
        form->hide();
        // The progress window while a folder is added: shot from inside the adding loop.
        bool shot = false;
        QTimer watch;
        watch.setInterval(0);
        QObject::connect(&watch, &QTimer::timeout, [&] {
            TProgress* p = main.Progress();
            if (shot || !p->isVisible() || p->ProgressBar1()->value() < 4) return;
            shot = true;
            QRect area = main.frameGeometry().united(p->frameGeometry());
            Save(QGuiApplication::primaryScreen()->grabWindow(0, area.x(), area.y(), area.width(),
                                                              area.height()),
                 out, "progress-" + suffix);
        });
        watch.start();
        ws.DataChanged = false; // nothing to ask before clearing
        ws.ClearAllEntries();
        main.AddPicturesFromFolder(large.toStdString());
        watch.stop();
    }
    main.SetMenuLanguage(0);

    for (QWidget* w : program->windows) {
        QString name = w->objectName();
        if (name != "TAboutBox" && name != "TSizeSpec" && name != "TDateSpec") continue;
        w->move(60, 60);
        w->show();
        Settle();
        Save(w->grab(), out, name == "TAboutBox" ? "about" : name);
        w->hide();
    }
    ws.DataChanged = ws.OptionsChanged = ws.OldFormatRead = false;
    return 0;
}
