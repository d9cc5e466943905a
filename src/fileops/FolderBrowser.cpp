#include "FolderBrowser.h"

#include "QtText.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QMenu>
#include <QSignalBlocker>
#include <QTreeView>
#include <QVBoxLayout>

namespace lumidex {

namespace {
// A hidden folder is shown once the user stands in one.
bool HasHiddenComponent(const std::string& folder) {
    return folder.find("/.") != std::string::npos;
}
} // namespace

FolderBrowser::FolderBrowser(QWidget* parent) : QWidget(parent) {
    drives_ = new QComboBox(this);
    drives_->setObjectName("DriveComboBox1");
    model_ = new QFileSystemModel(this);
    model_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    model_->setReadOnly(false); // "Make Folder..." creates through the model
    tree_ = new QTreeView(this);
    tree_->setObjectName("DirectoryListBox1");
    tree_->setModel(model_);
    tree_->setHeaderHidden(true);
    for (int c = 1; c < model_->columnCount(); ++c)
        tree_->hideColumn(c);
    tree_->setSortingEnabled(true);
    tree_->sortByColumn(0, Qt::AscendingOrder);
    tree_->setSelectionMode(QAbstractItemView::SingleSelection);
    tree_->setMinimumSize(260, 240);
    tree_->setContextMenuPolicy(Qt::CustomContextMenu);

    menu_ = new QMenu(this);
    menu_->setObjectName("FolderPopupMenu");
    toDatabase_ = menu_->addAction("Move to Database Folder");
    toDatabase_->setObjectName("MovetoDatabaseFolder1");
    QAction* toFile = menu_->addAction("Move to File Folder");
    toFile->setObjectName("MovetoFileFolder1");
    connect(toDatabase_, &QAction::triggered, this, &FolderBrowser::MoveToDatabaseFolder);
    connect(toFile, &QAction::triggered, this, &FolderBrowser::MoveToFileFolder);
    connect(menu_, &QMenu::aboutToShow, this, &FolderBrowser::PrepareMenu);
    connect(tree_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { menu_->popup(tree_->viewport()->mapToGlobal(at)); });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(drives_);
    layout->addWidget(tree_, 1);

    places_ = SystemPlaces();
    for (const Place& p : places_)
        drives_->addItem(PathText(p.label), PathText(p.path));
    connect(drives_, &QComboBox::activated, this, [this](int index) {
        if (index >= 0 && index < static_cast<int>(places_.size()))
            SetCurrentFolder(places_[static_cast<size_t>(index)].path);
    });
    connect(tree_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &FolderBrowser::OnTreeCurrentChanged);
    // The tree is read in the background: the current folder is shown once its parents are in.
    connect(model_, &QFileSystemModel::directoryLoaded, this, [this] {
        QModelIndex at = model_->index(PathText(current_));
        if (at.isValid()) tree_->scrollTo(at);
    });
    SetCurrentFolder(PathBytes(QDir::homePath()));
}

void FolderBrowser::SetSources(std::function<std::string()> databaseFolder,
                               std::function<std::string()> referencePath) {
    databaseFolder_ = std::move(databaseFolder);
    referencePath_ = std::move(referencePath);
}

void FolderBrowser::SetCurrentFolder(const std::string& folder) {
    const std::string home = PathBytes(QDir::homePath());
    std::string shown = NearestExistingFolder(folder, home);
    if (shown.size() > 1 && shown.back() == '/') shown.pop_back();
    current_ = shown;
    int place = PlaceOf(places_, shown);
    ShowPlace(place);
    QDir::Filters filter = QDir::AllDirs | QDir::NoDotAndDotDot;
    if (HasHiddenComponent(shown)) filter |= QDir::Hidden;
    if (model_->filter() != filter) model_->setFilter(filter);
    QModelIndex at = model_->index(PathText(shown));
    {
        QSignalBlocker block(tree_->selectionModel());
        tree_->setCurrentIndex(at);
    }
    tree_->scrollTo(at);
    tree_->expand(at);
    emit currentFolderChanged();
}

void FolderBrowser::ShowPlace(int index) {
    if (index < 0 || index >= static_cast<int>(places_.size())) return;
    const QString root = PathText(places_[static_cast<size_t>(index)].path);
    drives_->setCurrentIndex(index);
    if (model_->rootPath() != root) {
        model_->setRootPath(root);
        tree_->setRootIndex(model_->index(root).parent());
    }
}

void FolderBrowser::Refresh() {
    SetCurrentFolder(current_);
}

void FolderBrowser::OnTreeCurrentChanged() {
    QModelIndex at = tree_->currentIndex();
    if (!at.isValid()) return;
    std::string folder = PathBytes(model_->filePath(at));
    if (folder == current_) return;
    current_ = folder;
    emit currentFolderChanged();
}

void FolderBrowser::PrepareMenu() {
    const std::string db = databaseFolder_ ? databaseFolder_() : std::string();
    toDatabase_->setEnabled(MoveToDatabaseFolderEnabled(db, current_));
}

void FolderBrowser::MoveToDatabaseFolder() {
    const std::string db = databaseFolder_ ? databaseFolder_() : std::string();
    if (MoveToDatabaseFolderEnabled(db, current_)) SetCurrentFolder(db);
}

void FolderBrowser::MoveToFileFolder() {
    const std::string path = referencePath_ ? referencePath_() : std::string();
    if (!path.empty()) SetCurrentFolder(FileFolder(path));
}

} // namespace lumidex
