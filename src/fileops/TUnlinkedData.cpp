#include "TUnlinkedData.h"

#include "PathMaintenance.h"
#include "Paths.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedLayout>
#include <QVBoxLayout>

#include <unordered_set>

namespace lumidex {

TUnlinkedData::TUnlinkedData(FileOpsParts parts, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint), parts_(parts) {
    setObjectName(QStringLiteral("UnlinkedData"));
    setWindowTitle(QStringLiteral("Unlinked Data"));
    setMinimumSize(394, 293);
    auto* layout = new QVBoxLayout(this);
    ListBox2 = new QListWidget(this);
    ListBox2->setObjectName(QStringLiteral("ListBox2"));
    ListBox2->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ListBox2->setSortingEnabled(true);
    layout->addWidget(ListBox2, 1);
    auto* strip = new QHBoxLayout;
    CloseButton = new QPushButton(QStringLiteral("Close"), this);
    CloseButton->setObjectName(QStringLiteral("CloseButton"));
    // The progress bar lies over the two clear buttons while the search runs.
    auto* clearButtons = new QWidget(this);
    auto* clearLayout = new QHBoxLayout(clearButtons);
    clearLayout->setContentsMargins(0, 0, 0, 0);
    Clear = new QPushButton(QStringLiteral("Clear"), clearButtons);
    Clear->setObjectName(QStringLiteral("Clear"));
    Clear->setEnabled(false);
    ClearAll = new QPushButton(QStringLiteral("Clear All"), clearButtons);
    ClearAll->setObjectName(QStringLiteral("ClearAll"));
    clearLayout->addWidget(Clear);
    clearLayout->addWidget(ClearAll);
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    auto* stack = new QStackedLayout;
    stack->setStackingMode(QStackedLayout::StackAll);
    stack->addWidget(clearButtons);
    stack->addWidget(ProgressBar1);
    ProgressBar1->hide();
    strip->addLayout(stack, 1);
    strip->addWidget(CloseButton);
    layout->addLayout(strip);

    connect(CloseButton, &QPushButton::clicked, this, &QWidget::close);
    connect(Clear, &QPushButton::clicked, this, &TUnlinkedData::ClearClick);
    connect(ClearAll, &QPushButton::clicked, this, &TUnlinkedData::ClearAllClick);
    connect(ListBox2, &QListWidget::itemSelectionChanged, this,
            [this] { Clear->setEnabled(!ListBox2->selectedItems().isEmpty()); });
    connect(ListBox2, &QListWidget::itemDoubleClicked, this, &TUnlinkedData::DoubleClicked);
}

Pdata* TUnlinkedData::EntryOf(int row) const {
    return static_cast<Pdata*>(ListBox2->item(row)->data(Qt::UserRole).value<void*>());
}

void TUnlinkedData::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!ProgressBar1->isVisible()) {
        ListBox2->clear();
        Clear->setEnabled(false);
    }
}

void TUnlinkedData::Search() {
    ProgressBar1->setRange(0, std::max(1, parts_.catalogue.Count()));
    ProgressBar1->setValue(0);
    ProgressBar1->show();
    ListBox2->clear();
    show();
    std::vector<Pdata*> missing =
        FindUnlinkedEntries(parts_, [this](int position) { ProgressBar1->setValue(position); });
    ListBox2->setSortingEnabled(false);
    for (Pdata* entry : missing) {
        auto* item = new QListWidgetItem(QString::fromStdString(paths::UpperKey(entry->path)));
        item->setData(Qt::UserRole, QVariant::fromValue(static_cast<void*>(entry)));
        ListBox2->addItem(item);
    }
    ListBox2->setSortingEnabled(true);
    ProgressBar1->hide();
}

void TUnlinkedData::EntriesRemoved(const std::vector<Pdata*>& entries) {
    if (removing_) return;
    std::unordered_set<const Pdata*> gone(entries.begin(), entries.end());
    for (int row = ListBox2->count() - 1; row >= 0; --row)
        if (gone.count(EntryOf(row))) delete ListBox2->takeItem(row);
}

void TUnlinkedData::CatalogueCleared() {
    ListBox2->clear();
    Clear->setEnabled(false);
}

void TUnlinkedData::ClearClick() {
    std::vector<Pdata*> entries;
    std::vector<int> rows;
    for (int row = 0; row < ListBox2->count(); ++row)
        if (ListBox2->item(row)->isSelected()) {
            entries.push_back(EntryOf(row));
            rows.push_back(row);
        }
    removing_ = true;
    parts_.lists.RemoveEntries(entries);
    removing_ = false;
    parts_.state.MarkDataChanged();
    for (auto it = rows.rbegin(); it != rows.rend(); ++it)
        delete ListBox2->takeItem(*it);
    emit catalogueChanged();
    if (ListBox2->count() == 0) close();
}

void TUnlinkedData::ClearAllClick() {
    if (ListBox2->count() == 0) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ClearAll->setEnabled(false);
    std::vector<Pdata*> entries;
    for (int row = 0; row < ListBox2->count(); ++row)
        entries.push_back(EntryOf(row));
    removing_ = true;
    RemoveUnlinkedEntries(parts_, entries);
    removing_ = false;
    ListBox2->clear();
    ClearAll->setEnabled(true);
    QApplication::restoreOverrideCursor();
    emit catalogueChanged();
    close();
}

void TUnlinkedData::DoubleClicked() {
    int row = ListBox2->currentRow();
    if (row < 0) return;
    Lists& lists = parts_.lists;
    int at = lists.reference.Find(EntryOf(row));
    if (at >= 0) {
        lists.SelectReference(at);
    } else {
        lists.reference.ClearSelection();
        lists.ReferenceSelectionChanged();
    }
    emit catalogueChanged();
}

} // namespace lumidex
