// Saves pictures of the main window, its menus in both languages, every tab of the options
// window and the about box, for a look at the layout; given a plug-in folder and a folder of
// pictures, also plug-in mode and the region window over those pictures. Run under a display
// (tools/screenshots.sh starts it under Xvfb).
#include "DatabaseFile.h"
#include "MenuCaptions.h"
#include "Paths.h"
#include "SharedState.h"
#include "StartUp.h"
#include "TDirSel.h"
#include "TFolderManager.h"
#include "TMain.h"
#include "TMemoMan.h"
#include "TMismatchEditor.h"
#include "TNavigator.h"
#include "TOpenForm.h"
#include "TOption.h"
#include "TPView.h"
#include "TProgress.h"
#include "TViewLeft.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QThread>
#include <QTimer>
#include <QTreeView>

#include <cstdio>
#include <set>

using namespace lumidex;

namespace lumidex {
void ShootViewTools(TMain& main, const QString& out, const QString& photos);
}

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

QPixmap GrabArea(const QRect& area) {
    return QGuiApplication::primaryScreen()->grabWindow(0, area.x(), area.y(), area.width(),
                                                        area.height());
}

// Plug-in mode over the plug-ins of pluginDir: the folder dialog, the pictures of pictureDir
// added, listed up and previewed, and the region window opened from the reference pane in
// both languages of the main window.
void ShootPlugins(TMain& main, const QString& out, const std::string& pluginDir,
                  const std::string& pictureDir) {
    Workspace& ws = main.workspace();
    ws.DataChanged = false;
    ws.ClearAllEntries();
    main.SetMenuLanguage(0);
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<TDirSel*>(QApplication::activeModalWidget());
        if (!dialog) return;
        dialog->SetCurrentFolder(pluginDir);
        dialog->move(60, 60);
        Settle();
        Save(dialog->grab(), out, "dirsel-mode3-plugins");
        dialog->findChild<QPushButton*>("Button1")->click();
    });
    main.Action("SetPluginDirectory1")->trigger();
    if (!ws.PluginsInUse) {
        std::fprintf(stderr, "FAILED: no plug-ins in %s\n", pluginDir.c_str());
        return;
    }
    // The tool menu with the plug-in submenu open, its items enabled for plug-in mode.
    QMenu* tool = main.MenuNamed("Option1");
    tool->popup(main.menuBar()->mapToGlobal(
        main.menuBar()->actionGeometry(tool->menuAction()).bottomLeft()));
    Settle();
    QMenu* plugins = main.MenuNamed("SetSusiePlugins1");
    plugins->popup(tool->mapToGlobal(tool->actionGeometry(plugins->menuAction()).topRight()));
    Settle();
    Save(GrabArea(main.frameGeometry().united(tool->geometry()).united(plugins->geometry())), out,
         "menu-plugins-on");
    plugins->hide();
    tool->hide();
    Settle();

    main.AddPicturesFromFolder(pictureDir);
    main.DataFilterChange(static_cast<int>(FilterItem::HasSimilarPics));
    QTreeView* references = main.ListBox1();
    auto select = [&](int row) {
        references->selectionModel()->select(references->model()->index(row, 0),
                                             QItemSelectionModel::ClearAndSelect |
                                                 QItemSelectionModel::Rows);
        Settle();
    };
    // Each format's picture as the reference, previewed through its plug-in.
    std::set<std::string> shot;
    for (int row = 0; row < ws.lists.reference.Count(); ++row) {
        const std::string ext(paths::Extension(ws.lists.reference.EntryAt(row)->path));
        if (!shot.insert(ext).second) continue;
        select(row);
        Save(main.grab(), out, QString("main-plugins-%1").arg(QString::fromStdString(ext).mid(1)));
    }
    if (ws.lists.reference.Count() == 0) return;

    for (int language : {0, 1}) {
        main.SetMenuLanguage(language);
        select(0);
        QTimer::singleShot(0, [&, language] {
            auto* view = dynamic_cast<TPView*>(QApplication::activeModalWidget());
            if (!view) return;
            view->move(main.frameGeometry().right() + 8, main.y());
            const QImage& picture = main.Pane(true).picture;
            const int w = std::max(main.Pane(true).fullWidth, picture.width());
            const int h = std::max(main.Pane(true).fullHeight, picture.height());
            if (view->findChild<QListWidget*>("ListBox1")->count() == 0) {
                view->SetRectangleArea({w / 8, h / 8, w / 2, h / 2});
                view->findChild<QPushButton*>("AddButton")->click();
                view->SetRectangleArea({w / 3, h / 4, w * 5 / 6, h * 3 / 4});
                view->findChild<QPushButton*>("AddButton")->click();
            }
            // The pointer near the left edge: the magnifier shows its hatching.
            QWidget* image = view->findChild<QWidget*>("Image1");
            QMouseEvent move(QEvent::MouseMove, QPointF(4, h / 3),
                             image->mapToGlobal(QPointF(4, h / 3)), Qt::NoButton, Qt::NoButton,
                             Qt::NoModifier);
            QApplication::sendEvent(image, &move);
            Settle();
            Save(GrabArea(main.frameGeometry().united(view->frameGeometry())), out,
                 QString("region-window-%1").arg(language ? "japanese" : "english"));
            view->findChild<QPushButton*>("Cancel")->click();
        });
        main.Action("MakeSecondIndex1")->trigger();
        Settle();
    }
    main.SetMenuLanguage(0);
    Save(main.grab(), out, "main-plugins-regions");
}

// A list's context menu opened over its first row, with the window behind it.
void ShootPopup(TMain& main, QMenu* menu, QTreeView* view, const QString& folder,
                const QString& name) {
    menu->popup(
        view->viewport()->mapToGlobal(view->visualRect(view->model()->index(0, 0)).center()));
    Settle();
    QRect area = main.frameGeometry().united(menu->geometry());
    Save(QGuiApplication::primaryScreen()->grabWindow(0, area.x(), area.y(), area.width(),
                                                      area.height()),
         folder, name);
    menu->hide();
    Settle();
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr,
                     "usage: lumidex2-screenshots OUTPUT-FOLDER [PLUGIN-FOLDER PICTURE-FOLDER]\n");
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
    ShootPopup(main, main.LeftPopupMenu(), references, out, "popup-reference");
    main.ListBox2()->selectionModel()->select(main.ListBox2()->model()->index(0, 0),
                                              QItemSelectionModel::ClearAndSelect |
                                                  QItemSelectionModel::Rows);
    Settle();
    ShootPopup(main, main.RightPopupMenu(), main.ListBox2(), out, "popup-target");

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
        // The first round's adding left the catalogue changed; nobody answers a question here.
        ws.DataChanged = false;
        ws.ClearAllEntries();
        main.AddPicturesFromFolder(large.toStdString());
        watch.stop();
    }
    main.SetMenuLanguage(0);

    if (argc >= 4) ShootPlugins(main, out, argv[2], argv[3]);

    for (QWidget* w : program->windows) {
        QString name = w->objectName();
        if (name != "TAboutBox" && name != "TSizeSpec" && name != "TDateSpec") continue;
        w->move(60, 60);
        w->show();
        Settle();
        Save(w->grab(), out, name == "TAboutBox" ? "about" : name);
        w->hide();
    }
    ShootViewTools(main, out, qEnvironmentVariable("LUMIDEX2_SCREENSHOT_PHOTOS"));
    // The organising windows with data: memos on the pictures, a mismatch group, a note.
    for (int language : {0, 1}) {
        main.SetMenuLanguage(language);
        const QString suffix = language ? "japanese" : "english";
        if (language == 0) {
            ws.memos.AddGroup("Places", 100);
            ws.memos.AddGroup("People", 101);
            for (const char* memo : {"Beach", "Mountains", "Old town"})
                ws.memos.PutMemo(memo, 100);
            for (const char* memo : {"Family", "Friends"})
                ws.memos.PutMemo(memo, 101);
            for (int i = 0; i < ws.catalogue.Count(); ++i)
                ws.catalogue.Entry(i).AddMemo(i % 5);
            for (int i = 0; i < 4 && i < ws.catalogue.Count(); ++i)
                ws.catalogue.Entry(i).mismatchGroup = static_cast<uint16_t>(1 + i / 2);
            ws.mismatchNumbers.MarkUsed(1);
            ws.mismatchNumbers.MarkUsed(2);
            ws.lists.SelectReference(0);
            main.RefreshViews();
        }
        auto shoot = [&](QWidget* w, const QString& name) {
            w->move(60, 60);
            w->show();
            Settle();
            Save(w->grab(), out, name + "-" + suffix);
            w->hide();
        };
        main.ActionMemomanExecute();
        TMemoMan* memoMan = main.MemoMan();
        memoMan->move(60, 60);
        Settle();
        Save(memoMan->grab(), out, "memo-manager-" + suffix);
        main.ActionMemomanExecute();
        shoot(main.MismatchEditor(), "mismatch-editor");
        TNavigator* navigator = main.Navigator();
        auto* pages = navigator->findChild<QTabWidget*>("PageControl1");
        for (int page : {0, 3}) {
            pages->setCurrentIndex(page);
            shoot(navigator, QString("navigator-page%1").arg(page));
        }
        pages->setCurrentIndex(0);
        main.ActionFolderManExecute();
        TFolderManager* explorer = main.FolderManager();
        explorer->move(60, 60);
        explorer->findChild<QPlainTextEdit*>("Memo1")->setPlainText("Holiday 2003\nsorted");
        Settle();
        Save(explorer->grab(), out, "folder-explorer-" + suffix);
        explorer->findChild<QPlainTextEdit*>("Memo1")->clear();
        explorer->hide();
    }
    main.SetMenuLanguage(0);
    ws.DataChanged = ws.OptionsChanged = ws.OldFormatRead = false;
    return 0;
}
