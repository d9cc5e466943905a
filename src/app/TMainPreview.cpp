// The main window: preview panes, the preview cache and the viewer windows.
#include "TMain.h"

#include "EntryListModel.h"
#include "FileStatus.h"
#include "Format.h"
#include "Paths.h"
#include "PictureReader.h"
#include "QtText.h"
#include "TThumbnail.h"
#include "TViewLeft.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDateTime>
#include <QGuiApplication>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTextDocument>
#include <QToolButton>
#include <QTreeView>

#include <algorithm>
#include <cmath>

namespace lumidex {

namespace {

// Calls a handler for double clicks on a widget that has no signal for them.
class DoubleClickFilter : public QObject {
public:
    DoubleClickFilter(QObject* parent, std::function<void(bool shift)> onDoubleClick)
        : QObject(parent), onDoubleClick_(std::move(onDoubleClick)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonDblClick) {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::LeftButton) {
                onDoubleClick_(mouse->modifiers() & Qt::ShiftModifier);
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void(bool)> onDoubleClick_;
};

// Names and memos may hold markup characters: a hint shows them as they are.
QString PlainHint(const std::string& text) {
    return Qt::convertFromPlainText(Q(text), Qt::WhiteSpaceNormal);
}

// The picture as the camera meant it to be seen; the catalogue keeps the stored pixel order.
QImage DisplayOriented(const QImage& picture, const std::string& path) {
    QImageReader reader(PathText(path));
    const QImageIOHandler::Transformations t = reader.transformation();
    if (t == QImageIOHandler::TransformationNone) return picture;
    QTransform transform;
    if (t & QImageIOHandler::TransformationRotate90) transform.rotate(90);
    QImage result = picture;
    if (t & QImageIOHandler::TransformationMirror) result = result.mirrored(true, false);
    if (t & QImageIOHandler::TransformationFlip) result = result.mirrored(false, true);
    return transform.isIdentity() ? result : result.transformed(transform);
}

// Width of the widest file time the field may show in the user's locale and font.
int WidestFileTime(const QLabel* field) {
    int widest = 0;
    for (int month = 1; month <= 12; ++month)
        for (int hour : {10, 22}) {
            const QDateTime t(QDate(2028, month, 28), QTime(hour, 58, 58));
            widest = std::max(widest, field->fontMetrics().horizontalAdvance(
                                          Q(FormatFileTime(t.toSecsSinceEpoch()))));
        }
    // A centred text keeps no indent: the frame and a pixel either side.
    return widest + 2 * field->frameWidth() + 2;
}

} // namespace

void TMain::BuildPreviews() {
    for (const char* name : {"STFnam1", "STFSize1", "STFDate", "STFnam2", "STFSize2", "STFDate2"})
        if (auto* field = findChild<QLabel*>(name)) field->setTextFormat(Qt::PlainText);
    for (const char* name : {"STFSize1", "STFDate", "STFSize2", "STFDate2"}) {
        auto* field = findChild<QLabel*>(name);
        field->setAlignment(Qt::AlignCenter);
        field->setFrameShape(QFrame::StyledPanel);
        field->setFrameShadow(QFrame::Sunken);
    }
    // The column is as wide as a panel, or as a date where that is wider.
    if (auto* column = findChild<QWidget*>("PreviewColumn"))
        column->setFixedWidth(
            std::max(kPreviewPanelSide, WidestFileTime(findChild<QLabel*>("STFDate"))));
    for (bool reference : {true, false}) {
        QLabel* area = PaneImage(reference);
        area->setTextFormat(Qt::PlainText);
        area->installEventFilter(new DoubleClickFilter(
            area, [this, reference](bool shift) { ImageDblClick(reference, shift); }));
        QMenu*& menu = reference ? popupMenuLeftUpper_ : popupMenuLeftLower_;
        menu = new QMenu(this);
        menu->setObjectName(reference ? "PopupMenuLeftUpper" : "PopupMenuLeftLower");
        QAction* whole = menu->addAction("ReAnalyse(&Whole)");
        whole->setObjectName(reference ? "whole" : "Lowerwhole");
        actions_[reference ? "whole" : "Lowerwhole"] = whole;
        connect(whole, &QAction::triggered, this,
                [this, reference] { ReAnalyseWholeClick(reference); });
        const char* subName = reference ? "MakeSecondIndex1" : "SubIndex1";
        QAction* subIndex = menu->addAction("&Sub Index...");
        subIndex->setObjectName(subName);
        actions_[subName] = subIndex;
        menu->addSeparator();
        const char* copyName = reference ? "CopyImage3" : "CopyImage4";
        QAction* copyImage = menu->addAction("Copy &Image");
        copyImage->setObjectName(copyName);
        actions_[copyName] = copyImage;
        connect(menu, &QMenu::aboutToShow, this, [this, reference, whole, subIndex] {
            whole->setEnabled(Pane(reference).shown != nullptr);
            subIndex->setEnabled(Pane(reference).shown != nullptr);
        });
        area->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(area, &QWidget::customContextMenuRequested, this,
                [area, menu](const QPoint& at) { menu->popup(area->mapToGlobal(at)); });
        QTreeView* view = reference ? listBox1_ : listBox2_;
        view->viewport()->installEventFilter(new DoubleClickFilter(
            view, [this, reference](bool shift) { ListDblClick(reference, shift); }));
    }
    Connect("ViewRefference1", &TMain::ViewLeftClick);
    Connect("TiewTaget1", &TMain::ViewRightClick);
    connect(panelButtons_["LeftViewButton"], &QToolButton::clicked, this, &TMain::ViewLeftClick);
    connect(panelButtons_["RightViewButton"], &QToolButton::clicked, this, &TMain::ViewRightClick);

    // The cache settings beside the check box.
    cacheCount_->setEnabled(usePreviewCache_->isChecked());
    connect(usePreviewCache_, &QCheckBox::toggled, cacheCount_, &QWidget::setEnabled);
    connect(cacheCount_, &QLineEdit::editingFinished, this, [this] {
        const std::string corrected = PreviewCache::CorrectedCountText(S(cacheCount_->text()));
        if (corrected != S(cacheCount_->text())) cacheCount_->setText(Q(corrected));
    });
    const qreal ratio = devicePixelRatioF();
    previewCache_ = PreviewCache(static_cast<int>(std::ceil(kPreviewSide * ratio)));

    ListHooks& l = ws_->lists.hooks;
    l.showReferencePreview = [this](Pdata* e) { e ? View(true, e) : HidePane(true, false); };
    l.showTargetPreview = [this](Pdata* e) { e ? View(false, e) : HidePane(false, false); };
    // Entries that go away are let go by the panes and viewers too.
    auto removed = l.entryRemoved;
    l.entryRemoved = [this, removed](Pdata* entry) {
        if (removed) removed(entry);
        ForgetPreviewEntry(entry);
    };
    auto removedMany = l.entriesRemoved;
    l.entriesRemoved = [this, removedMany](const std::vector<Pdata*>& entries) {
        if (removedMany) removedMany(entries);
        for (const Pdata* entry : entries)
            ForgetPreviewEntry(entry);
    };
    ws_->onReanalysing = [this](Pdata& entry, const FileAnalysis& read) {
        ShowReanalysing(entry, read);
    };
    auto clear = ws_->databaseHooks.ClearLists;
    ws_->databaseHooks.ClearLists = [this, clear] {
        ForgetPreviewEntry(nullptr);
        if (clear) clear();
    };
}

bool TMain::ViewableFile(const Pdata* entry) const {
    return entry && IsExistingFile(entry->path) &&
           ws_->IsReadableExtension(paths::Extension(entry->path));
}

void TMain::ViewLeftClick() {
    View(true, ws_->lists.currentReference);
}

void TMain::ViewRightClick() {
    const EntryList& target = ws_->lists.target;
    std::vector<int> rows = target.SelectedRows();
    View(false, rows.empty() ? nullptr : target.EntryAt(rows.front()));
}

void TMain::View(bool reference, Pdata* entry) {
    if (!entry) return;
    PreviewPaneState& pane = panes_[reference ? 0 : 1];
    QLabel* area = PaneImage(reference);
    // The file is checked here: the selection may call before the idle enabling ran.
    if (!ViewableFile(entry)) {
        HidePane(reference, false);
        return;
    }
    const FileStatus status = GetFileStatus(entry->path);
    if (pane.NeedsFetch(entry, area->isHidden(), !reference)) {
        pane.reloadRequest = false;
        const bool unmeasured = entry->fileSize == -1;
        FileStatus examined;
        ws_->StatEntry(examined, *entry);
        if (unmeasured && entry->fileSize != -1) UpdateTitle(1);
        const PreviewKey key{entry->path, status.size, status.modified};
        const int at = ws_->options.UsePreviewCache ? previewCache_.Find(key) : -1;
        if (at >= 0) {
            const PreviewCache::Item& item = previewCache_.At(at);
            pane.picture = item.picture;
            pane.smallCopy = true;
            pane.fullWidth = item.fullWidth;
            pane.fullHeight = item.fullHeight;
        } else {
            SetBusy(true);
            PanePicture read;
            // The pane never draws more than this many device pixels a side, nor the cache.
            const int side =
                std::max(previewCache_.side(),
                         static_cast<int>(std::ceil(kPreviewSide * area->devicePixelRatioF())));
            const bool ok = ReadPanePicture(entry->path, side, read);
            SetBusy(false);
            if (!ok) {
                ws_->LogMessage("Read failed," + entry->path);
                // An old picture beside the new name would mislead the choice of a copy.
                HidePane(reference, true);
                return;
            }
            pane.picture = std::move(read.picture);
            pane.smallCopy = read.reduced;
            pane.fullWidth = read.fullWidth;
            pane.fullHeight = read.fullHeight;
            if (ws_->options.UsePreviewCache)
                previewCache_.Add(pane.picture, pane.fullWidth, pane.fullHeight, key,
                                  PreviewCache::LimitFromText(ws_->options.CacheCount));
        }
    }
    ShowPaneEntry(reference, entry, reference ? entry->fileSize : status.size);
    if (TViewLeft* viewer = PaneViewer(reference); viewer && viewer->isVisible())
        ShowInViewer(reference, viewer);
}

void TMain::ShowPaneEntry(bool reference, const Pdata* entry, int64_t hintFileSize) {
    PreviewPaneState& pane = panes_[reference ? 0 : 1];
    QLabel* area = PaneImage(reference);
    if (pane.fullWidth > 0 && pane.fullHeight > 0) {
        pane.hint = PaneHint(*entry, pane.fullWidth, pane.fullHeight, hintFileSize, ws_->memos,
                             ws_->options.ShowMemoonPreview, reference);
        area->setToolTip(PlainHint(pane.hint));
        pane.shown = pane.lastShown = entry;
        DrawPane(reference);
        area->show();
    } else {
        area->setToolTip(QString());
    }
    SetPreviewSizes(Pane(true).shown ? Pane(true).shown->fileSize : -1,
                    Pane(false).shown ? Pane(false).shown->fileSize : -1);
}

void TMain::DrawPane(bool reference) {
    const PreviewPaneState& pane = Pane(reference);
    QLabel* area = PaneImage(reference);
    const AreaGeometry g =
        PreviewAreaGeometry(pane.fullWidth, pane.fullHeight, ws_->options.KeepAspectRatio);
    area->setGeometry(g.left, g.top, g.width, g.height);
    const qreal ratio = area->devicePixelRatioF();
    const QSize device = (QSizeF(g.width, g.height) * ratio).toSize().expandedTo(QSize(1, 1));
    QImage scaled = pane.picture.scaled(device, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    scaled.setDevicePixelRatio(ratio);
    area->setPixmap(QPixmap::fromImage(scaled));
}

void TMain::HidePane(bool reference, bool forgetLast) {
    PreviewPaneState& pane = panes_[reference ? 0 : 1];
    pane.Hide(forgetLast);
    QLabel* area = PaneImage(reference);
    area->hide();
    area->clear();
    area->setToolTip(QString());
    SetPreviewSizes(Pane(true).shown ? Pane(true).shown->fileSize : -1,
                    Pane(false).shown ? Pane(false).shown->fileSize : -1);
}

QString TMain::PaneHintText(bool reference) const {
    return Pane(reference).shown ? Q(Pane(reference).hint) : QString();
}

void TMain::RebuildPaneHint(bool reference) {
    PreviewPaneState& pane = panes_[reference ? 0 : 1];
    if (!pane.shown) return;
    pane.hint = PaneHint(*pane.shown, pane.fullWidth, pane.fullHeight, pane.shown->fileSize,
                         ws_->memos, ws_->options.ShowMemoonPreview, reference);
    PaneImage(reference)->setToolTip(PlainHint(pane.hint));
}

void TMain::DropPreview(const std::string& path) {
    previewCache_.DropPath(path);
    if (thumbnail_) thumbnail_->Forget(path);
    for (PreviewPaneState& pane : panes_)
        if (pane.lastShown && pane.lastShown->path == path) pane.reloadRequest = true;
}

void TMain::ForgetPreviewEntry(const Pdata* entry) {
    for (bool reference : {true, false}) {
        const PreviewPaneState& pane = Pane(reference);
        if (!entry || pane.shown == entry || pane.lastShown == entry) HidePane(reference, true);
    }
    // Pane viewers show a copy of the picture and hold no entry; free viewers hold a path.
}

TViewLeft* TMain::MakeViewer(int binding) {
    auto* viewer = new TViewLeft(this, static_cast<ViewerBinding>(binding));
    ConfigureViewer(viewer);
    return viewer;
}

void TMain::ConfigureViewer(TViewLeft* viewer) {
    viewer->SetOptionsSource([this] {
        return ViewerOptions{ws_->options.Stretch, ws_->options.FixedSize,
                             ws_->options.FixedPosition};
    });
    viewer->SetScreenSource([this] {
        QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
        return s ? s->availableGeometry() : QRect();
    });
    const bool reference = viewer->binding() == ViewerBinding::Reference;
    viewer->SetStepState([this, reference] {
        const EntryList& list = reference ? ws_->lists.reference : ws_->lists.target;
        const int row = list.SelectedRow();
        return std::pair{row<list.Count() - 1, row> 0};
    });
    connect(viewer, &TViewLeft::nextRequested, this,
            [this, reference] { MoveListSelection(reference, 1); });
    connect(viewer, &TViewLeft::previousRequested, this,
            [this, reference] { MoveListSelection(reference, -1); });
    connect(viewer, &TViewLeft::gotoDataRequested, this, &TMain::GotoData);
    BindViewerFileCommands(viewer);
    connect(viewer, &TViewLeft::keyForwarded, this,
            [this](int key, Qt::KeyboardModifiers modifiers, const QString& text) {
                QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
                QCoreApplication::sendEvent(listBox1_, &press);
            });
}

const QImage& TMain::PaneFullPicture(bool reference) {
    static const QImage none;
    PreviewPaneState& pane = panes_[reference ? 0 : 1];
    if (!pane.shown) return none;
    if (pane.smallCopy) {
        QImage full;
        if (ReadPicture(full, pane.shown->path) != 0) {
            ws_->LogMessage("Read failed," + pane.shown->path);
            return none;
        }
        pane.picture = std::move(full);
        pane.smallCopy = false;
    }
    return pane.picture;
}

void TMain::ShowInViewer(bool reference, TViewLeft* viewer) {
    PreviewPaneState& pane = panes_[reference ? 0 : 1];
    // The pane may hold only a small copy; the viewer shows the picture itself.
    if (PaneFullPicture(reference).isNull()) return;
    viewer->setWindowTitle(Q(pane.hint));
    if (viewer->binding() == ViewerBinding::Unbound) viewer->SetPath(pane.shown->path);
    viewer->show();
    viewer->ShowPicture(DisplayOriented(pane.picture, pane.shown->path));
    viewer->raise();
}

void TMain::ImageDblClick(bool reference, bool shift) {
    if (!Pane(reference).shown || PaneImage(reference)->isHidden()) return;
    TViewLeft* viewer = nullptr;
    if (shift) {
        // Free viewers closed by the user are done with.
        for (QPointer<TViewLeft>& v : freeViewers_)
            if (v && !v->isVisible()) delete v.data();
        freeViewers_.erase(std::remove_if(freeViewers_.begin(), freeViewers_.end(),
                                          [](const QPointer<TViewLeft>& v) { return !v; }),
                           freeViewers_.end());
        viewer = MakeViewer(static_cast<int>(ViewerBinding::Unbound));
        freeViewers_.push_back(viewer);
    } else {
        TViewLeft*& own = paneViewers_[reference ? 0 : 1];
        if (!own)
            own = MakeViewer(
                static_cast<int>(reference ? ViewerBinding::Reference : ViewerBinding::Target));
        viewer = own;
    }
    ShowInViewer(reference, viewer);
}

void TMain::ListDblClick(bool reference, bool shift) {
    const bool autoView = reference ? ws_->options.AutoViewLeft : ws_->options.AutoViewRight;
    if (autoView) {
        if (!PaneImage(reference)->isHidden()) ImageDblClick(reference, shift);
        return;
    }
    if (panelButtons_[reference ? "LeftViewButton" : "RightViewButton"]->isEnabled())
        reference ? ViewLeftClick() : ViewRightClick();
}

void TMain::ToggleViewer(bool reference) {
    if (!Pane(reference).shown || PaneImage(reference)->isHidden()) return;
    if (TViewLeft* viewer = PaneViewer(reference); viewer && viewer->isVisible())
        viewer->hide();
    else
        ImageDblClick(reference, false);
}

std::vector<TViewLeft*> TMain::FreeViewers() const {
    std::vector<TViewLeft*> viewers;
    for (const QPointer<TViewLeft>& v : freeViewers_)
        if (v) viewers.push_back(v.data());
    return viewers;
}

void TMain::GotoData(const std::string& path) {
    // The free viewer holds only a path: the entry may have gone since.
    const int at = ws_->catalogue.FindEntry(path);
    if (at < 0 || ListUpRunning()) return;
    Pdata* entry = &ws_->catalogue.Entry(at);
    Lists& lists = ws_->lists;
    int row = lists.reference.Find(entry);
    if (row < 0) row = lists.AddRow(lists.reference, entry);
    lists.SelectReference(row);
    RefreshViews();
    listBox1_->scrollTo(model1_->index(row, 0));
    UpdateToolButtons();
    activateWindow();
}

void TMain::ReAnalyseWholeClick(bool reference) {
    // The pane's own entry: a name may hold ":(" itself.
    Pdata* entry = const_cast<Pdata*>(Pane(reference).shown);
    if (!entry || ListUpRunning()) return;
    const std::string path = entry->path;
    if (!ws_->ReanalyseEntry(*entry)) return;
    DropPreview(path);
    // The lists were refreshed; the entry is still in the catalogue.
    RefreshViews();
    if (Pane(reference).lastShown == entry) View(reference, entry);
    UpdateToolButtons();
}

void TMain::ShowReanalysing(Pdata& entry, const FileAnalysis& read) {
    // Cached copies of the file may show its old content.
    DropPreview(entry.path);
    SyncViewSelection();
    if (const int row = ws_->lists.reference.SelectedRow(); row >= 0)
        listBox1_->scrollTo(model1_->index(row, 0));
    RefreshPreviewState();
    if (read.read != ReadOutcome::Ok || read.preview.isNull()) {
        HidePane(true, true);
        return;
    }
    PreviewPaneState& pane = panes_[0];
    pane.reloadRequest = false;
    pane.picture = read.preview;
    pane.fullWidth = read.width;
    pane.fullHeight = read.height;
    pane.smallCopy = read.preview.size() != QSize(read.width, read.height);
    ShowPaneEntry(true, &entry, read.status.size);
    leftViewPanel_->repaint();
}

void TMain::RefreshPreviewState() {
    Lists& lists = ws_->lists;
    // Runs after every analysed file: the fields are looked up once.
    if (!previewFields_[0]) {
        const char* names[] = {"STFnam1", "STFSize1", "STFDate", "STFnam2", "STFSize2", "STFDate2"};
        for (int i = 0; i < 6; ++i)
            previewFields_[i] = findChild<QLabel*>(names[i]);
    }
    auto fields = [](const Pdata* entry, QLabel* const* field) {
        field[0]->setText(entry ? " " + PathText(std::string(paths::FileName(entry->path)))
                                : QString());
        field[1]->setText(entry ? Q(FormatSize(entry->fileSize)) : QString());
        field[2]->setText(entry && entry->fileTime != -1 ? Q(FormatFileTime(entry->fileTime))
                                                         : QString());
    };
    const int row = lists.reference.SelectedRow();
    lists.currentReference = row >= 0 ? lists.reference.EntryAt(row) : nullptr;
    fields(lists.currentReference, previewFields_);
    fields(lists.currentTarget, previewFields_ + 3);
    const bool left = ViewableFile(lists.currentReference);
    const bool right = ViewableFile(lists.currentTarget);
    if (!left && Pane(true).shown) HidePane(true, false);
    Action("ViewRefference1")->setEnabled(left);
    Action("TiewTaget1")->setEnabled(right);
    panelButtons_["LeftViewButton"]->setEnabled(left);
    panelButtons_["RightViewButton"]->setEnabled(right);
}

} // namespace lumidex
