// Pictures of the viewing tools over real photographs: the thumbnail window, the slide show,
// the synthesis view and the comparison with the clipboard.
#include "DatabaseFile.h"
#include "PictureReader.h"
#include "TMain.h"
#include "TSlideShow.h"
#include "TThumbnail.h"
#include "TViewLeft.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QMenu>
#include <QScreen>
#include <QThread>
#include <QTreeView>

#include <cstdio>

namespace lumidex {

namespace {

void SettleLong() {
    for (int i = 0; i < 40; ++i) {
        QApplication::processEvents();
        QThread::msleep(25);
    }
}

void SaveScreen(const std::vector<QWidget*>& windows, const QString& folder, const QString& name) {
    QRect area;
    for (QWidget* w : windows)
        if (w && w->isVisible()) area = area.united(w->frameGeometry());
    const QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(0, area.x(), area.y(),
                                                                      area.width(), area.height());
    const QString path = folder + "/" + name + ".png";
    const bool ok = shot.save(path);
    std::fprintf(stderr, "%s %s\n", ok ? "saved" : "FAILED", qPrintable(path));
}

void SelectRow(QTreeView* view, int row) {
    view->selectionModel()->select(view->model()->index(row, 0),
                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

} // namespace

// photos: a folder of photographs with copies among them; nothing is written into it.
void ShootViewTools(TMain& main, const QString& out, const QString& photos) {
    if (photos.isEmpty() || !QDir(photos).exists()) {
        std::fprintf(stderr, "no photographs: the viewing tools are not shot\n");
        return;
    }
    Workspace& ws = main.workspace();
    ws.DataChanged = false;
    ws.ClearAllEntries();
    ws.AddPicturesFromFolder(photos.toStdString(), {});
    main.DataFilterChange(0);
    main.UpdateTitle(0);
    main.RefreshViews();
    main.move(0, 0);
    SettleLong();

    for (int language : {0, 1}) {
        main.SetMenuLanguage(language);
        const QString suffix = language ? "japanese" : "english";
        SelectRow(main.ListBox1(), 5);
        main.UpdateActions();
        TThumbnail* thumbs = main.Thumbnail();
        thumbs->resize(520, 460);
        thumbs->move(main.frameGeometry().right() - 200, 40);
        main.ShowThumbClick();
        SettleLong();
        thumbs->FinishDrawing();
        thumbs->PointAt(thumbs->drawing().Records().at(2).cell.center());
        SettleLong();
        SaveScreen({&main, thumbs}, out, "thumbnail-" + suffix);
        main.ShowThumbClick();
        SettleLong();
    }
    main.SetMenuLanguage(0);

    // The slide show, shown without its modal loop.
    SelectRow(main.ListBox1(), 1);
    main.UpdateActions();
    TSlideShow* show = main.SlideShowWindow();
    show->PrepareShowing();
    show->move(420, 620);
    show->show();
    show->PlayClick();
    SettleLong();
    SaveScreen({show, show->SlideViewer()}, out, "slideshow");
    show->CloseClick();
    SettleLong();

    // The synthesis of the first pair of look-alikes.
    Lists& lists = ws.lists;
    for (int row = 0; row < lists.reference.Count(); ++row) {
        SelectRow(main.ListBox1(), row);
        main.UpdateActions();
        if (lists.target.Count() == 0) continue;
        SelectRow(main.ListBox2(), 0);
        main.UpdateActions();
        SettleLong();
        SaveScreen({&main}, out, "main-photographs");
        main.SynthViewClick();
        SettleLong();
        SaveScreen({main.SynthesisViewer()}, out, "synthesis");
        main.SynthesisViewer()->hide();
        break;
    }

    // The clipboard holds a catalogued photograph: its copies fill the reference list.
    QImage picture;
    if (lists.currentReference && ReadPicture(picture, lists.currentReference->path) == 0) {
        QGuiApplication::clipboard()->setImage(picture);
        SettleLong();
        main.UpdateActions();
        main.CompareWithClipboardClick();
        SettleLong();
        main.ClipboardViewer()->move(main.frameGeometry().right() - 300, 80);
        SettleLong();
        SaveScreen({&main, main.ClipboardViewer()}, out, "compare-clipboard");
        main.ClipboardViewer()->hide();
    }

    // The reference list's menu with its "Convert" submenu.
    SelectRow(main.ListBox1(), 0);
    main.UpdateActions();
    SettleLong();
    QMenu* popup = main.LeftPopupMenu();
    const QPoint at = main.ListBox1()->viewport()->mapToGlobal(QPoint(40, 30));
    popup->popup(at);
    SettleLong();
    QMenu* convert = main.MenuNamed("Convert1");
    popup->setActiveAction(convert->menuAction());
    convert->popup(popup->geometry().topRight() +
                   QPoint(0, popup->actionGeometry(convert->menuAction()).top()));
    SettleLong();
    SaveScreen({&main, popup, convert}, out, "convert-menu");
    convert->hide();
    popup->hide();
    ws.DataChanged = ws.OptionsChanged = ws.OldFormatRead = false;
}

} // namespace lumidex
