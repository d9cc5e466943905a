#include "TFolderManager.h"

#include "Workspace.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace lumidex {

namespace {
QString Text(const std::string& s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}
} // namespace

TFolderManager::TFolderManager(Workspace& ws, FolderManagerHost* host, QWidget* parent)
    : QDialog(parent, Qt::Window), ws_(ws), host_(host) {
    setObjectName("FolderManager");
    setWindowTitle("Folder Explorer");
    setMinimumSize(200, 200);
    view_ = new QTreeView;
    view_->setObjectName("TreeView1");
    view_->setModel(&model_);
    view_->setHeaderHidden(true);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->setAcceptDrops(true);
    view_->viewport()->setAcceptDrops(true);
    view_->viewport()->installEventFilter(this);
    memo_ = new QPlainTextEdit;
    memo_->setObjectName("Memo1");
    memo_->setEnabled(false);
    auto* splitter = new QSplitter(Qt::Vertical);
    splitter->addWidget(view_);
    splitter->addWidget(memo_);
    splitter->setStretchFactor(0, 3);

    auto button = [this](const char* name, const char* caption) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        return b;
    };
    findFirst_ = button("ButtonFindFirst", "Move to");
    search_ = button("ButtonSearch", "Search");
    search2_ = button("ButtonSearch2", "Search Sub");
    auto* close = button("ButtonClose", "Close");
    auto* up = new QToolButton(this);
    up->setObjectName("Up");
    up->setArrowType(Qt::UpArrow);
    auto* down = new QToolButton(this);
    down->setObjectName("Down");
    down->setArrowType(Qt::DownArrow);
    status_ = new QStatusBar(this);
    status_->setObjectName("StatusBar1");

    auto* strip = new QVBoxLayout;
    strip->addWidget(findFirst_);
    strip->addWidget(search_);
    strip->addWidget(search2_);
    auto* arrows = new QHBoxLayout;
    arrows->addWidget(up);
    arrows->addWidget(down);
    strip->addLayout(arrows);
    strip->addStretch();
    strip->addWidget(close);
    auto* body = new QHBoxLayout;
    body->addWidget(splitter, 1);
    body->addLayout(strip);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body, 1);
    layout->addWidget(status_);
    resize(420, 480);

    connect(findFirst_, &QPushButton::clicked, this, &TFolderManager::FindFirst);
    connect(view_, &QTreeView::doubleClicked, this, &TFolderManager::FindFirst);
    connect(search_, &QPushButton::clicked, this, [this] { Search(false); });
    connect(search2_, &QPushButton::clicked, this, [this] { Search(true); });
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    // Up goes up the list, Down goes down it.
    connect(up, &QToolButton::clicked, this, [this] {
        if (host_) host_->MoveReferenceSelection(-1);
    });
    connect(down, &QToolButton::clicked, this, [this] {
        if (host_) host_->MoveReferenceSelection(+1);
    });
    connect(view_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &TFolderManager::NodeSelected);
    connect(memo_, &QPlainTextEdit::textChanged, this, [this] {
        if (!loading_) {
            const QByteArray t = memo_->toPlainText().toUtf8();
            note_.Edit(std::string(t.constData(), static_cast<size_t>(t.size())));
        }
    });
    // A clear or an open empties the folder list: the note is saved first.
    listener_ = ws_.AddEntryListener([this](const Pdata* e) {
        if (e) return;
        SaveNote();
        model_.Reset([this] { tree_.Clear(); });
        NodeSelected();
    });
    NodeSelected();
}

TFolderManager::~TFolderManager() {
    ws_.RemoveEntryListener(listener_);
    SaveNote();
}

std::string TFolderManager::CurrentFolder() const {
    return tree_.NodePath(model_.NodeOf(view_->currentIndex()));
}

bool TFolderManager::SaveNote() {
    if (note_.Flush()) return true;
    NoteFailed();
    return false;
}

void TFolderManager::NoteFailed() {
    const std::string text = "Can't write " + note_.folder() + "/" + kFolderNoteName;
    ws_.LogMessage(text);
    status_->showMessage(Text(text));
}

void TFolderManager::Rebuild() {
    SaveNote();
    model_.Reset([this] { tree_.Rebuild(ws_.FolderList); });
    view_->expandAll();
    if (Pdata* ref = ws_.lists.currentReference) AddPath(ref->path, true);
    NodeSelected();
}

void TFolderManager::AddPath(const std::string& path, bool select) {
    const int kept = model_.NodeOf(view_->currentIndex());
    int node = -1;
    model_.Reset([&] { node = tree_.AddPath(path); });
    view_->expandAll();
    if (node >= 0 && select)
        Select(node);
    else if (kept >= 0)
        view_->setCurrentIndex(model_.IndexOf(kept));
}

void TFolderManager::Select(int node) {
    QModelIndex i = model_.IndexOf(node);
    view_->scrollTo(i);
    view_->setCurrentIndex(i);
}

void TFolderManager::NodeSelected() {
    const std::string folder = CurrentFolder();
    const bool any = !folder.empty();
    findFirst_->setEnabled(any);
    search_->setEnabled(any);
    search2_->setEnabled(any);
    if (!(any ? note_.Select(folder) : note_.Deselect())) {
        NoteFailed();
        return;
    }
    loading_ = true;
    memo_->setPlainText(Text(note_.text()));
    loading_ = false;
    memo_->setEnabled(note_.enabled());
}

void TFolderManager::FindFirst() {
    std::string status;
    MoveToFolder(ws_.lists, CurrentFolder(), status);
    status_->showMessage(Text(status));
    if (host_) host_->ListsChanged();
}

void TFolderManager::Search(bool subfolders) {
    std::string status;
    setCursor(Qt::BusyCursor);
    SearchFolder(ws_.lists, CurrentFolder(), subfolders, status);
    unsetCursor();
    status_->showMessage(Text(status));
    if (host_) host_->ListsChanged();
}

void TFolderManager::closeEvent(QCloseEvent* event) {
    SaveNote();
    QDialog::closeEvent(event);
}

bool TFolderManager::eventFilter(QObject* watched, QEvent* event) {
    if (watched != view_->viewport()) return QDialog::eventFilter(watched, event);
    // Only pictures dragged from the program's own lists; files from other programs are
    // refused.
    if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
        auto* e = static_cast<QDropEvent*>(event);
        const QModelIndex at = view_->indexAt(e->position().toPoint());
        if (e->mimeData()->hasFormat(kEntryDragType) && at.isValid()) {
            view_->setCurrentIndex(at);
            e->acceptProposedAction();
        } else {
            e->ignore();
        }
        return true;
    }
    if (event->type() == QEvent::Drop) {
        auto* e = static_cast<QDropEvent*>(event);
        if (!e->mimeData()->hasFormat(kEntryDragType)) {
            e->ignore();
            return true;
        }
        const QModelIndex at = view_->indexAt(e->position().toPoint());
        const std::string folder = tree_.NodePath(model_.NodeOf(at));
        if (!at.isValid() || folder.empty() || !host_) {
            e->ignore();
            return true;
        }
        const bool fromReference = e->mimeData()->data(kEntryDragType) == "reference";
        // The move is the file operations' part; the drag's source is told nothing was copied.
        e->setDropAction(Qt::MoveAction);
        e->accept();
        host_->MoveOntoFolder(folder, fromReference);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace lumidex
