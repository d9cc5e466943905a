#include "TViewLeft.h"

#include "PictureArea.h"
#include "ViewerLayout.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QWheelEvent>

namespace lumidex {

namespace {

QString FolderCaption(const std::string& folder) {
    return QString::fromUtf8(folder.c_str(), static_cast<qsizetype>(folder.size()))
        .replace("&", "&&");
}

} // namespace

TViewLeft::TViewLeft(QWidget* parent, ViewerBinding binding)
    : QDialog(parent, Qt::Window | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint),
      binding_(binding) {
    setObjectName(binding == ViewerBinding::Reference ? "ReferenceViewer"
                  : binding == ViewerBinding::Target  ? "TargetViewer"
                                                      : "TViewLeft");
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    scroll_ = new QScrollArea(this);
    scroll_->setObjectName("ScrollBox");
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setWidgetResizable(false);
    scroll_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto* content = new QWidget;
    content->setObjectName("Content");
    panel_ = new QWidget(content);
    panel_->setObjectName("Panel1");
    image_ = new PictureArea(panel_);
    image_->setObjectName("Image1");
    scroll_->setWidget(content);
    layout->addWidget(scroll_);
    scroll_->viewport()->installEventFilter(this);
    BuildMenus();
}

void TViewLeft::BuildMenus() {
    auto item = [this](QMenu* menu, const char* name, const char* caption) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(name);
        items_[name] = a;
        return a;
    };
    popup1_ = new QMenu(this);
    popup1_->setObjectName("PopupMenu1");
    connect(item(popup1_, "Next1", "&Next"), &QAction::triggered, this, [this] { Step(true); });
    connect(item(popup1_, "Previous1", "&Previous"), &QAction::triggered, this,
            [this] { Step(false); });
    popup1_->addSeparator();
    const bool target = binding_ == ViewerBinding::Target;
    QAction* copy = item(popup1_, "Copy1", target ? "&Copy Target..." : "Copy Reference...");
    copy->setShortcut(QKeySequence("Ctrl+C"));
    QAction* move = item(popup1_, "Move1", target ? "&Move Target..." : "Mo&ve Reference...");
    move->setShortcut(QKeySequence("Ctrl+M"));
    item(popup1_, "Delete1", target ? "&Delete Target" : "De&lete Reference");
    popup1_->addSeparator();
    item(popup1_, "CopyReferenceto1", "Copy to");
    item(popup1_, "MoveReferenceto1", "Move to");
    for (const char* name : {"CopyReferenceto2", "MoveReferenceto2"}) {
        QMenu* sub =
            popup1_->addMenu(std::string(name) == "CopyReferenceto2" ? "Copy to" : "Move to");
        sub->setObjectName(name);
        sub->menuAction()->setObjectName(name);
        items_[name] = sub->menuAction();
    }
    for (const char* name : {"Copy1", "Move1", "Delete1", "CopyReferenceto1", "MoveReferenceto1"})
        connect(items_[name], &QAction::triggered, this,
                [this, name] { RunFileCommand(name, {}); });
    popup2_ = new QMenu(this);
    popup2_->setObjectName("PopupMenu2");
    connect(item(popup2_, "GotoData1", "Goto Data"), &QAction::triggered, this,
            [this] { emit gotoDataRequested(path_); });
    PrepareMenu();
}

QAction* TViewLeft::MenuItem(const std::string& name) const {
    auto it = items_.find(name);
    return it == items_.end() ? nullptr : it->second;
}

void TViewLeft::BindFileCommand(const std::string& item, FileCommand run,
                                std::function<bool()> enabled) {
    fileCommands_[item] = {std::move(run), std::move(enabled)};
}

void TViewLeft::RunFileCommand(const std::string& item, const std::string& destination) {
    auto it = fileCommands_.find(item);
    if (it == fileCommands_.end() || !it->second.run) return;
    it->second.run(destination);
    if (isVisible()) activateWindow();
}

void TViewLeft::RebuildDestinations(QMenu* menu, const std::string& item,
                                    const std::vector<std::string>& folders) {
    menu->clear();
    for (const std::string& folder : folders) {
        QAction* a = menu->addAction(FolderCaption(folder));
        connect(a, &QAction::triggered, this,
                [this, item, folder] { RunFileCommand(item, folder); });
    }
}

void TViewLeft::PrepareMenu() {
    const bool bound = binding_ != ViewerBinding::Unbound;
    auto [canNext, canPrevious] = bound && stepState_ ? stepState_() : std::pair{false, false};
    items_["Next1"]->setEnabled(canNext);
    items_["Previous1"]->setEnabled(canPrevious);
    auto ready = [this](const std::string& name) {
        auto it = fileCommands_.find(name);
        return it != fileCommands_.end() && it->second.run &&
               (!it->second.enabled || it->second.enabled());
    };
    for (const char* name : {"Copy1", "Move1", "Delete1"})
        items_[name]->setEnabled(ready(name));
    auto [folder, folders] =
        destinations_ ? destinations_() : std::pair<std::string, std::vector<std::string>>{};
    items_["CopyReferenceto1"]->setText(folder.empty() ? "Copy to"
                                                       : "Copy to <" + FolderCaption(folder) + ">");
    items_["MoveReferenceto1"]->setText(folder.empty() ? "Move to"
                                                       : "Move to <" + FolderCaption(folder) + ">");
    items_["CopyReferenceto1"]->setEnabled(!folder.empty() && ready("CopyReferenceto1"));
    items_["MoveReferenceto1"]->setEnabled(!folder.empty() && ready("MoveReferenceto1"));
    for (const char* name : {"CopyReferenceto2", "MoveReferenceto2"}) {
        QMenu* sub = items_[name]->menu();
        RebuildDestinations(sub, name, folders);
        items_[name]->setEnabled(!folders.empty() && ready(name));
    }
}

void TViewLeft::Step(bool next) {
    if (binding_ == ViewerBinding::Unbound) return;
    if (next)
        emit nextRequested();
    else
        emit previousRequested();
    if (isVisible()) activateWindow();
}

QRect TViewLeft::PanelGeometry() const {
    return panel_->geometry();
}

void TViewLeft::ShowPicture(const QImage& picture) {
    picture_ = picture;
    scroll_->horizontalScrollBar()->setValue(0);
    scroll_->verticalScrollBar()->setValue(0);
    image_->SetPicture(picture_);
    LayOut();
}

void TViewLeft::LayOut() {
    panel_->move(0, 0);
    const ViewerOptions o = options_ ? options_() : ViewerOptions{};
    QRect screen = screen_ ? screen_() : QRect();
    if (screen.isEmpty()) {
        QScreen* s = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
        if (s) screen = s->availableGeometry();
    }
    ViewerLayoutInput in;
    in.picture = picture_.size();
    in.client = size();
    in.frame = isVisible() ? frameGeometry().size() - size() : QSize(0, 0);
    in.screen = screen;
    in.stretch = o.stretch;
    in.fixedSize = o.fixedSize;
    in.fixedPosition = o.fixedPosition;
    in.boundToReference = binding_ == ViewerBinding::Reference;
    auto out = LayoutViewer(in);
    if (!out) return;
    layingOut_ = true;
    panel_->setGeometry(out->panel);
    image_->setGeometry(QRect(QPoint(0, 0), out->panel.size()));
    scroll_->widget()->resize(out->panel.size().expandedTo(out->client));
    if (!o.fixedSize) resize(out->client);
    if (out->window) move(*out->window);
    layingOut_ = false;
}

void TViewLeft::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    if (layingOut_ || !options_) return;
    if (options_().fixedSize) LayOut();
}

void TViewLeft::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        hide();
        return;
    }
    emit keyForwarded(event->key(), event->modifiers(), event->text());
    if (isVisible()) activateWindow();
}

void TViewLeft::wheelEvent(QWheelEvent* event) {
    // Touchpads send many small steps: one step of the list per whole notch only.
    const int delta = event->angleDelta().y();
    if ((delta < 0) != (wheelRest_ < 0)) wheelRest_ = 0; // a turn the other way starts afresh
    wheelRest_ += delta;
    const int notches = wheelRest_ / 120;
    if (notches == 0) {
        event->accept();
        return;
    }
    wheelRest_ -= notches * 120;
    QScrollBar* bar = scroll_->verticalScrollBar();
    const int before = bar->value();
    bar->setValue(before - notches * bar->singleStep() * 3);
    if (bar->value() == before && binding_ != ViewerBinding::Unbound) Step(notches < 0);
    event->accept();
}

void TViewLeft::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) hide();
}

void TViewLeft::contextMenuEvent(QContextMenuEvent* event) {
    if (windowTitle() == "Slide Show") return;
    QMenu* menu = binding_ == ViewerBinding::Unbound ? popup2_ : popup1_;
    PrepareMenu();
    menu->popup(event->globalPos());
}

void TViewLeft::enterEvent(QEnterEvent* event) {
    QDialog::enterEvent(event);
    if (!isActiveWindow()) activateWindow();
}

bool TViewLeft::eventFilter(QObject* watched, QEvent* event) {
    if (watched == scroll_->viewport()) {
        switch (event->type()) {
        case QEvent::Wheel:
            wheelEvent(static_cast<QWheelEvent*>(event));
            return true;
        case QEvent::MouseButtonRelease:
            mouseReleaseEvent(static_cast<QMouseEvent*>(event));
            return true;
        case QEvent::ContextMenu:
            contextMenuEvent(static_cast<QContextMenuEvent*>(event));
            return true;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace lumidex
