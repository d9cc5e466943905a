#include "TDirSel.h"

#include "FolderBrowser.h"
#include "FolderDialogRules.h"
#include "Paths.h"
#include "QtText.h"

#include <QCheckBox>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeView>
#include <QVBoxLayout>

#include <cerrno>
#include <sys/stat.h>

namespace lumidex {

TDirSel::TDirSel(QWidget* parent) : QDialog(parent) {
    setObjectName("TDirSel");
    setWindowTitle("Select Folder");
    browser_ = new FolderBrowser(this);
    QAction* make = new QAction("Make Folder...", browser_->ContextMenu());
    make->setObjectName("MakeFolder1");
    browser_->ContextMenu()->insertAction(browser_->ContextMenu()->actions().value(0), make);
    connect(make, &QAction::triggered, this, &TDirSel::MakeFolderClick);

    searchSubfolder_ = new QCheckBox("Search Subfolder", this);
    searchSubfolder_->setObjectName("SearchSubfolder");

    imageReadPage_ = new QWidget(this);
    imageReadPage_->setObjectName("foraImageRead");
    minimize_ = new QCheckBox("Minimize", imageReadPage_);
    minimize_->setObjectName("Minimize");
    levelLimit_ = new QCheckBox("Set Depth", imageReadPage_);
    levelLimit_->setObjectName("LevelLimit");
    // One spin box stands for the number box and its up-down; it takes only numbers from 1.
    edit1_ = new QSpinBox(imageReadPage_);
    edit1_->setObjectName("Edit1");
    edit1_->setRange(1, 9999);
    edit1_->setValue(1);
    edit1_->setEnabled(false);
    makeErrorLog_ = new QCheckBox("Make Error Log", imageReadPage_);
    makeErrorLog_->setObjectName("MakeErrorLog");
    connect(levelLimit_, &QCheckBox::toggled, edit1_, &QSpinBox::setEnabled);
    auto* imageRead = new QGridLayout(imageReadPage_);
    imageRead->setContentsMargins(0, 0, 0, 0);
    imageRead->addWidget(minimize_, 0, 0);
    imageRead->addWidget(levelLimit_, 1, 0);
    imageRead->addWidget(edit1_, 1, 1);
    imageRead->addWidget(makeErrorLog_, 2, 0);
    imageRead->setColumnStretch(2, 1);

    copyMovePage_ = new QWidget(this);
    copyMovePage_->setObjectName("forCopyMove");
    treeView1_ = new QListWidget(copyMovePage_);
    treeView1_->setObjectName("TreeView1");
    treeView1_->setMaximumHeight(110);
    treeView1_->setToolTip("Recent destinations");
    auto* copyMove = new QVBoxLayout(copyMovePage_);
    copyMove->setContentsMargins(0, 0, 0, 0);
    copyMove->addWidget(treeView1_);
    connect(treeView1_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        SetCurrentFolder(PathBytes(item->data(Qt::UserRole).toString()));
    });

    auto* ok = new QPushButton("Ok", this);
    ok->setObjectName("Button1");
    ok->setDefault(true);
    auto* cancel = new QPushButton("Cancel", this);
    cancel->setObjectName("Button2");
    connect(ok, &QPushButton::clicked, this, [this] {
        Remember(CurrentFolder());
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(browser_, 1);
    layout->addWidget(searchSubfolder_);
    layout->addWidget(imageReadPage_);
    layout->addWidget(copyMovePage_);
    layout->addLayout(buttons);
    // The dialog takes the height of the page its mode shows.
    layout->setSizeConstraint(QLayout::SetFixedSize);
    SetMode(0);
}

void TDirSel::SetMode(int mode) {
    const DirSelMode* m = FindDirSelMode(mode);
    if (!m) return;
    mode_ = mode;
    setWindowTitle(m->caption);
    imageReadPage_->setVisible(m->page == DirSelPage::ImageRead);
    copyMovePage_->setVisible(m->page == DirSelPage::CopyMove);
    searchSubfolder_->setVisible(m->searchSubfolder);
}

std::string TDirSel::CurrentFolder() const {
    return browser_->CurrentFolder();
}

void TDirSel::SetCurrentFolder(const std::string& folder) {
    browser_->SetCurrentFolder(folder);
}

void TDirSel::Remember(const std::string& folder) {
    destinations_.Remember(folder);
    ShowDestinations();
}

void TDirSel::AddDatabaseFolder(const std::string& folder) {
    destinations_.AddDatabaseFolder(folder);
    ShowDestinations();
}

void TDirSel::ShowDestinations() {
    treeView1_->clear();
    for (const std::string& folder : destinations_.Items()) {
        auto* item = new QListWidgetItem(PathText(folder), treeView1_);
        item->setData(Qt::UserRole, PathText(folder));
    }
    emit destinationsChanged();
}

std::string TDirSel::MakeFolder(const std::string& name) {
    const std::string path = paths::Join(CurrentFolder(), name);
    const std::string failure = "Cannot create " + path;
    if (!IsValidNewFolderName(name)) return failure;
    if (::mkdir(path.c_str(), 0777) != 0) return failure;
    SetCurrentFolder(path);
    return {};
}

void TDirSel::MakeFolderClick() {
    bool ok = false;
    QString name =
        QInputDialog::getText(this, "New Folder", "Folder Name", QLineEdit::Normal, {}, &ok);
    if (ok) {
        std::string failure = MakeFolder(PathBytes(name));
        if (!failure.empty()) QMessageBox::warning(this, "Lumidex2", PathText(failure));
    }
    raise();
    activateWindow();
}

TDirSel::ImageRead TDirSel::ImageReadChoice() const {
    return {minimize_->isChecked(), levelLimit_->isChecked(), edit1_->value(),
            makeErrorLog_->isChecked()};
}

bool TDirSel::SearchSubfolder() const {
    return searchSubfolder_->isChecked();
}

void TDirSel::showEvent(QShowEvent* event) {
    // A folder deleted since the last showing gives way to its nearest existing parent.
    browser_->Refresh();
    QDialog::showEvent(event);
}

} // namespace lumidex
