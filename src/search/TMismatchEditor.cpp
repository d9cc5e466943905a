#include "TMismatchEditor.h"

#include "Workspace.h"

#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

namespace lumidex {

namespace {
// Rows draw their path; the last row of a group is three pixels taller and ends in a purple
// dash-dot-dot line.
class GroupDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& o, const QModelIndex& i) const override {
        QSize s = QStyledItemDelegate::sizeHint(o, i);
        if (i.data(MismatchRowsModel::EndsGroupRole).toBool()) s.rheight() += 3;
        return s;
    }
    void paint(QPainter* p, const QStyleOptionViewItem& o, const QModelIndex& i) const override {
        QStyledItemDelegate::paint(p, o, i);
        if (!i.data(MismatchRowsModel::EndsGroupRole).toBool()) return;
        p->save();
        p->setPen(QPen(QColor(128, 0, 128), 1, Qt::DashDotDotLine));
        p->drawLine(o.rect.bottomLeft(), o.rect.bottomRight());
        p->restore();
    }
};
} // namespace

TMismatchEditor::TMismatchEditor(Workspace& ws, MismatchEditorHost* host, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowStaysOnTopHint), ws_(ws), host_(host) {
    setObjectName("MismatchEditor");
    setWindowTitle("Mismatch Editor");
    setMinimumSize(360, 344);
    list_ = new QListView(this);
    list_->setObjectName("ListBox1");
    list_->setModel(&model_);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setUniformItemSizes(false);
    list_->setItemDelegate(new GroupDelegate(list_));
    groupNo_ = new QLabel(this);
    groupNo_->setObjectName("LabelGroupNo");
    auto button = [this](const char* name, const char* caption) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        return b;
    };
    remove_ = button("ButtonRemove", "Remove");
    removeSingle_ = button("ButtonRemoveSingle", "Remove Single Group");
    forward_ = button("ButtonForward", "Forward");
    backward_ = button("ButtonBackward", "Backward");
    close_ = button("ButtonClose", "Close");
    search_ = new QLineEdit(this);
    search_->setObjectName("Edit1");

    auto* searchRow = new QHBoxLayout;
    searchRow->addWidget(search_, 1);
    searchRow->addWidget(backward_);
    searchRow->addWidget(forward_);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(remove_);
    buttons->addWidget(removeSingle_);
    buttons->addWidget(close_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_, 1);
    layout->addWidget(groupNo_);
    layout->addLayout(searchRow);
    layout->addLayout(buttons);

    connect(remove_, &QPushButton::clicked, this, &TMismatchEditor::RemoveClick);
    connect(removeSingle_, &QPushButton::clicked, this, &TMismatchEditor::RemoveSingleClick);
    connect(forward_, &QPushButton::clicked, this, [this] { SearchClick(true); });
    connect(backward_, &QPushButton::clicked, this, [this] { SearchClick(false); });
    connect(close_, &QPushButton::clicked, this, &QDialog::close);
    connect(search_, &QLineEdit::textChanged, this, &TMismatchEditor::UpdateButtons);
    connect(list_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TMismatchEditor::RowClicked);
    connect(list_, &QListView::doubleClicked, this, [this](const QModelIndex& i) {
        if (host_ && i.isValid())
            host_->SelectEntry(rows_.Rows()[static_cast<size_t>(i.row())].entry);
    });
    // The rows hold entries: they must not outlive them.
    listener_ = ws_.AddEntryListener([this](const Pdata* e) {
        if (e)
            rows_.Forget(e);
        else
            rows_.Clear();
        model_.Reset();
        UpdateButtons();
    });
    UpdateButtons();
}

TMismatchEditor::~TMismatchEditor() {
    ws_.RemoveEntryListener(listener_);
}

void TMismatchEditor::showEvent(QShowEvent* event) {
    Refresh();
    QDialog::showEvent(event);
}

void TMismatchEditor::Refresh() {
    rows_.Build(ws_.catalogue);
    model_.Reset();
    if (rows_.Count() > 0) {
        list_->setCurrentIndex(model_.index(0));
        list_->scrollToTop();
    }
    UpdateButtons();
}

void TMismatchEditor::UpdateButtons() {
    const bool any = rows_.Count() > 0;
    remove_->setEnabled(any && list_->selectionModel()->hasSelection());
    removeSingle_->setEnabled(any);
    search_->setEnabled(any);
    const bool text = any && !search_->text().isEmpty();
    forward_->setEnabled(text);
    backward_->setEnabled(text);
}

void TMismatchEditor::RowClicked() {
    const QModelIndex i = list_->currentIndex();
    if (i.isValid())
        groupNo_->setText(QString::fromStdString(MismatchEditorRows::GroupLabel(
            static_cast<uint16_t>(i.data(MismatchRowsModel::GroupRole).toInt()))));
    UpdateButtons();
}

void TMismatchEditor::RemoveClick() {
    std::vector<int> rows;
    for (const QModelIndex& i : list_->selectionModel()->selectedRows())
        rows.push_back(i.row());
    const int removed = rows_.Remove(rows, ws_.catalogue, ws_.mismatchNumbers);
    model_.Reset();
    if (removed > 0) ws_.MarkDataChanged();
    if (host_) host_->GroupsChanged();
    UpdateButtons();
}

void TMismatchEditor::RemoveSingleClick() {
    if (rows_.Count() == 0) return;
    const int removed = rows_.RemoveSingleGroups();
    model_.Reset();
    if (removed > 0) {
        ws_.MarkDataChanged();
        if (host_) host_->GroupsChanged();
    }
    UpdateButtons();
}

void TMismatchEditor::SearchClick(bool forward) {
    const QByteArray text = search_->text().toUtf8();
    const int from = list_->currentIndex().isValid() ? list_->currentIndex().row() : -1;
    setCursor(Qt::BusyCursor);
    search_->setEnabled(false);
    const int hit = rows_.Search(
        from, std::string(text.constData(), static_cast<size_t>(text.size())), forward);
    search_->setEnabled(true);
    unsetCursor();
    if (hit < 0) return;
    list_->selectionModel()->setCurrentIndex(model_.index(hit),
                                             QItemSelectionModel::ClearAndSelect);
    // The hit stands sixth from the top when it lies further down.
    list_->scrollTo(model_.index(std::max(0, hit - 5)), QAbstractItemView::PositionAtTop);
    RowClicked();
}

} // namespace lumidex
