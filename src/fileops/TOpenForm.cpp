#include "TOpenForm.h"

#include "FolderBrowser.h"
#include "QtText.h"

#include <QDir>
#include <QFileIconProvider>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

namespace lumidex {

TOpenForm::TOpenForm(QWidget* parent) : QDialog(parent) {
    setObjectName("TOpenForm");
    setWindowTitle("Select Picture");
    browser_ = new FolderBrowser(this);
    files_ = new QListWidget(this);
    files_->setObjectName("FileListBox1");
    files_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    files_->setUniformItemSizes(true);
    files_->setMinimumSize(240, 240);
    files_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(files_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        browser_->ContextMenu()->popup(files_->viewport()->mapToGlobal(at));
    });
    // A double click on a picture takes it, as in other programs' open dialogs.
    connect(files_, &QListWidget::itemDoubleClicked, this, [this] { accept(); });
    connect(browser_, &FolderBrowser::currentFolderChanged, this, &TOpenForm::RefreshFiles);

    auto* selectAll = new QPushButton("Select All =>", this);
    selectAll->setObjectName("SelectAll");
    connect(selectAll, &QPushButton::clicked, this, &TOpenForm::SelectAllClick);
    auto* ok = new QPushButton("Ok", this);
    ok->setObjectName("OKbutton");
    ok->setDefault(true);
    auto* cancel = new QPushButton("Cancel", this);
    cancel->setObjectName("Cancelbutton");
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QGridLayout(this);
    layout->addWidget(browser_, 0, 0);
    layout->addWidget(files_, 0, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(selectAll);
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons, 1, 0, 1, 2);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    SetMask("*.jpg;*.jpeg;*.bmp;*.png");
}

void TOpenForm::SetMask(const std::string& patterns) {
    QStringList mask = Q(patterns).split(';', Qt::SkipEmptyParts);
    if (mask == mask_) return;
    mask_ = mask;
    RefreshFiles();
}

std::string TOpenForm::CurrentFolder() const {
    return browser_->CurrentFolder();
}

void TOpenForm::SetCurrentFolder(const std::string& folder) {
    browser_->SetCurrentFolder(folder);
}

void TOpenForm::RefreshFiles() {
    files_->clear();
    // Letter case does not matter in the patterns: "X.JPG" is a picture as much as "x.jpg".
    QDir dir(PathText(CurrentFolder()), {}, QDir::Name | QDir::IgnoreCase,
             QDir::Files | QDir::Readable);
    dir.setNameFilters(mask_);
    const QIcon icon = QFileIconProvider().icon(QFileIconProvider::File);
    for (const QString& name : dir.entryList())
        new QListWidgetItem(icon, name, files_);
}

std::vector<std::string> TOpenForm::SelectedNames() const {
    std::vector<std::string> names;
    for (int row = 0; row < files_->count(); ++row)
        if (files_->item(row)->isSelected()) names.push_back(PathBytes(files_->item(row)->text()));
    return names;
}

void TOpenForm::SelectAllClick() {
    files_->selectAll();
    files_->setFocus();
}

void TOpenForm::showEvent(QShowEvent* event) {
    browser_->Refresh();
    QDialog::showEvent(event);
}

} // namespace lumidex
