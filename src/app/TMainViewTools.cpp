// The main window: thumbnails, slide show, synthesis view, comparison with the clipboard and
// picture conversion.
#include "TMain.h"

#include "Interlace.h"
#include "Paths.h"
#include "PictureConversion.h"
#include "PictureReader.h"
#include "QtText.h"
#include "SimilarToPicture.h"
#include "StartUp.h"
#include "TSlideShow.h"
#include "TThumbnail.h"
#include "TViewLeft.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QMimeData>
#include <QScreen>
#include <QToolButton>

namespace lumidex {

void TMain::AttachViewTools(TThumbnail* thumbnail, TSlideShow* slideShow, TViewLeft* sharedViewer) {
    thumbnail_ = thumbnail;
    slideShow_ = slideShow;
    sharedViewer_ = sharedViewer;
    ConfigureViewer(sharedViewer_);
    thumbnail_->SetViewer(sharedViewer_);
    thumbnail_->SetSelectionMover([this](int n) {
        MoveListSelection(true, n);
        UpdateToolButtons();
    });
    connect(thumbnail_, &TThumbnail::shownChanged, this,
            [this](bool shown) { toolButtons_["SpeedButtonThumb"]->setChecked(shown); });
    slideShow_->SetViewerFactory([this](QWidget* parent) {
        auto* viewer = new TViewLeft(parent, ViewerBinding::Reference);
        ConfigureViewer(viewer);
        return viewer;
    });

    // The thumbnails follow the reference selection and let go of a catalogue being replaced.
    ListHooks& hooks = ws_->lists.hooks;
    auto refresh = hooks.refreshActions;
    hooks.refreshActions = [this, refresh] {
        if (refresh) refresh();
        if (thumbnail_->isVisible()) thumbnail_->Draw();
    };
    auto clear = ws_->databaseHooks.ClearLists;
    ws_->databaseHooks.ClearLists = [this, clear] {
        thumbnail_->ForgetAll();
        if (clear) clear();
    };

    Connect("ShowThumnail1", &TMain::ShowThumbClick);
    Connect("SlideShow1", &TMain::SlideShowClick);
    Connect("SynthesisView1", &TMain::SynthViewClick);
    Connect("CompairwithClipboard1", &TMain::CompareWithClipboardClick);
    Connect("Jpeg1", &TMain::SaveAsJpegClick);
    Connect("ActionSaveasPng1", &TMain::SaveAsPngClick);
    connect(toolButtons_["SpeedButtonThumb"], &QToolButton::clicked, this, [this] {
        ShowThumbClick();
        toolButtons_["SpeedButtonThumb"]->setChecked(thumbnail_->isVisible());
    });
    connect(toolButtons_["synhbutton"], &QToolButton::clicked, this, &TMain::SynthViewClick);

    // Asking the clipboard at every idle turn would cost a round trip to its owner.
    QClipboard* clipboard = QGuiApplication::clipboard();
    auto sample = [this, clipboard] {
        const QMimeData* data = clipboard->mimeData();
        clipboardHasImage_ = data && data->hasImage();
    };
    sample();
    connect(clipboard, &QClipboard::dataChanged, this, sample);

    AddPopupOpener([this](QMenu*, bool reference) {
        if (!reference) return;
        const bool shown = ReferencePreviewShown();
        Action("Jpeg1")->setEnabled(ConvertEnabled(*ws_, ConvertFormat::Jpeg, shown));
        Action("ActionSaveasPng1")->setEnabled(ConvertEnabled(*ws_, ConvertFormat::Png, shown));
    });
    UpdateViewToolActions();
}

void TMain::UpdateViewToolActions() {
    if (!thumbnail_) return;
    const Lists& lists = ws_->lists;
    const bool any = ws_->catalogue.Count() > 0;
    Action("ShowThumnail1")->setEnabled(any);
    toolButtons_["SpeedButtonThumb"]->setEnabled(any);
    toolButtons_["SpeedButtonThumb"]->setChecked(thumbnail_->isVisible());
    Action("SlideShow1")->setEnabled(any && lists.reference.SelectedCount() > 0);
    const bool pair = lists.currentReference && lists.currentTarget;
    Action("SynthesisView1")->setEnabled(pair);
    toolButtons_["synhbutton"]->setEnabled(pair);
    Action("CompairwithClipboard1")->setEnabled(clipboardHasImage_ && !ListUpRunning());
}

void TMain::ShowThumbClick() {
    if (thumbnail_->isVisible()) {
        thumbnail_->close();
        return;
    }
    if (ws_->catalogue.Count() == 0) return;
    thumbnail_->show();
    thumbnail_->raise();
}

void TMain::SlideShowClick() {
    if (ws_->catalogue.Count() == 0 || ws_->lists.reference.SelectedCount() == 0) return;
    slideShow_->PrepareShowing();
    PlaceAtCursor(slideShow_);
    slideShow_->setWindowModality(Qt::ApplicationModal);
    slideShow_->exec();
    RefreshViews();
}

void TMain::SynthViewClick() {
    const Lists& lists = ws_->lists;
    if (!lists.currentReference || !lists.currentTarget) return;
    const std::string reference = lists.currentReference->path;
    const std::string target = lists.currentTarget->path;
    // Always the full pictures: the panes may hold small cached copies or other entries.
    QImage under, over;
    for (auto [picture, path] : {std::pair{&under, &reference}, std::pair{&over, &target}}) {
        if (ReadPicture(*picture, *path) != 0 || picture->isNull()) {
            ws_->LogMessage("Read failed," + *path);
            return;
        }
    }
    const QImage synthesis = Interlace(under, over);
    if (synthesis.isNull()) return;
    if (!synthesisViewer_) synthesisViewer_ = MakeViewer(static_cast<int>(ViewerBinding::Unbound));
    TViewLeft* viewer = synthesisViewer_;
    viewer->SetPath(reference);
    viewer->setWindowTitle(PathText(std::string(paths::FileName(reference)) + " + " +
                                    std::string(paths::FileName(target))));
    viewer->setToolTip(QString());
    viewer->show();
    viewer->ShowPicture(synthesis);
    QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    if (s) {
        const QRect area = s->availableGeometry();
        viewer->move(area.left() + (area.width() - viewer->frameGeometry().width()) / 2,
                     viewer->y());
    }
    viewer->raise();
}

void TMain::CompareWithClipboardClick() {
    // Clearing the reference list would pull rows from under a running operation.
    if (ListUpRunning()) return;
    const QImage picture =
        QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB888);
    if (picture.isNull()) return;
    if (clipboardViewer_) delete clipboardViewer_.data();
    clipboardViewer_ = MakeViewer(static_cast<int>(ViewerBinding::Unbound));
    clipboardViewer_->setWindowTitle("Cipboard");
    clipboardViewer_->show();
    clipboardViewer_->ShowPicture(picture);
    if (!CompareWithPicture(ws_->lists, picture)) return;
    RefreshViews();
    UpdateTitle(0);
}

TViewLeft* TMain::ClipboardViewer() const {
    return clipboardViewer_.data();
}

bool TMain::ReferencePreviewShown() const {
    return Pane(true).shown && !PaneImage(true)->isHidden();
}

void TMain::ConvertClick(int format) {
    const auto f = static_cast<ConvertFormat>(format);
    if (!ConvertEnabled(*ws_, f, ReferencePreviewShown())) return;
    ConvertReference(*ws_, f);
    RefreshViews();
    UpdateTitle(0);
}

void TMain::SaveAsJpegClick() {
    ConvertClick(static_cast<int>(ConvertFormat::Jpeg));
}

void TMain::SaveAsPngClick() {
    ConvertClick(static_cast<int>(ConvertFormat::Png));
}

} // namespace lumidex
