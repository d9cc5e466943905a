#include "TMemoMan.h"

#include "MemoAssign.h"
#include "MemoOps.h"
#include "Workspace.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTreeView>
#include <QVBoxLayout>

#include <functional>

namespace lumidex {

namespace {
std::string Bytes(const QString& s) {
    const QByteArray b = s.toUtf8();
    return std::string(b.constData(), static_cast<size_t>(b.size()));
}

// Draws the "off" and "on" images as a check indicator and reports a click on it.
class CheckImageDelegate : public QStyledItemDelegate {
public:
    CheckImageDelegate(std::function<void(const QModelIndex&)> clicked, QObject* parent)
        : QStyledItemDelegate(parent), clicked_(std::move(clicked)) {}

protected:
    void initStyleOption(QStyleOptionViewItem* o, const QModelIndex& i) const override {
        QStyledItemDelegate::initStyleOption(o, i);
        const int image = i.data(MemoTreeModel::CheckImageRole).toInt();
        if (image < 0) return;
        o->features |= QStyleOptionViewItem::HasCheckIndicator;
        o->checkState = image ? Qt::Checked : Qt::Unchecked;
    }
    bool editorEvent(QEvent* e, QAbstractItemModel* m, const QStyleOptionViewItem& o,
                     const QModelIndex& i) override {
        if (e->type() == QEvent::MouseButtonRelease &&
            i.data(MemoTreeModel::CheckImageRole).toInt() >= 0) {
            QStyleOptionViewItem opt = o;
            initStyleOption(&opt, i);
            const QWidget* w = opt.widget;
            QStyle* style = w ? w->style() : QApplication::style();
            const QRect box = style->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &opt, w);
            if (box.contains(static_cast<QMouseEvent*>(e)->position().toPoint())) {
                clicked_(i);
                return true;
            }
        }
        return QStyledItemDelegate::editorEvent(e, m, o, i);
    }

private:
    std::function<void(const QModelIndex&)> clicked_;
};
} // namespace

TMemoMan::TMemoMan(Workspace& ws, MemoManagerHost* host, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowStaysOnTopHint), ws_(ws), host_(host),
      model_(ws, ws.memos, ws.catalogue) {
    setObjectName("MemoMan");
    setWindowTitle("Memo Manager");
    setMinimumSize(100, 385);
    tree_ = new QTreeView(this);
    tree_->setObjectName("TreeView1");
    tree_->setModel(&model_);
    tree_->setHeaderHidden(true);
    tree_->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    tree_->setDragDropMode(QAbstractItemView::InternalMove);
    tree_->setDefaultDropAction(Qt::MoveAction);
    tree_->setItemDelegate(new CheckImageDelegate(
        [this](const QModelIndex& i) {
            tree_->setCurrentIndex(i);
            if (model_.SlotOf(i) < 0) return;
            i.data(MemoTreeModel::CheckImageRole).toInt() ? ResetClick() : SetClick();
        },
        tree_));

    autoExpand_ = new QCheckBox("Auto Expand", this);
    autoExpand_->setObjectName("AutoExpand");
    autoExpand_->setChecked(true);
    replace_ = new QCheckBox("Replace", this);
    replace_->setObjectName("Replace");
    newGroup_ = Button("ButtonNewGroup", "New", &TMemoMan::NewGroupClick);
    groupPaste_ = Button("ActionGroupPaste", "Paste", &TMemoMan::GroupPasteClick);
    deleteGroup_ = Button("DeleteGroup", "Delete", &TMemoMan::DeleteGroupClick);
    newMemo_ = Button("NewMemo", "New", &TMemoMan::NewMemoClick);
    memoPaste_ = Button("ActionMemoPaste", "Paste", &TMemoMan::MemoPasteClick);
    deleteMemo_ = Button("DeleteMemo", "Delete", &TMemoMan::DeleteMemoClick);
    set_ = Button("ActionSet", "Set", &TMemoMan::SetClick);
    reset_ = Button("ActionReset", "Reset", &TMemoMan::ResetClick);
    allSet_ = Button("ActionAllSet", "All Set", &TMemoMan::AllSetClick);
    allReset_ = Button("ActionAllReset", "All Reset", &TMemoMan::AllResetClick);
    copy_ = Button("CopyButton", "Copy", &TMemoMan::CopyClick);
    paste_ = Button("PasteButton", "Paste", &TMemoMan::PasteClick);
    prev_ = Button("Prev", "Up", nullptr);
    next_ = Button("Next", "Down", nullptr);
    searchPrev_ = Button("SearchPrev", "Search Prev", &TMemoMan::SearchPrevClick);
    searchNext_ = Button("SearchNext", "Search Next", &TMemoMan::SearchNextClick);
    close_ = Button("ButtonClose", "Close", nullptr);
    connect(prev_, &QPushButton::clicked, this, [this] {
        if (host_) host_->MoveReferenceSelection(-1);
        UpdateButtons();
    });
    connect(next_, &QPushButton::clicked, this, [this] {
        if (host_) host_->MoveReferenceSelection(+1);
        UpdateButtons();
    });
    connect(close_, &QPushButton::clicked, this, &QDialog::close);

    auto* panel = new QGridLayout;
    int row = 0;
    auto pair = [&](QWidget* a, QWidget* b) {
        panel->addWidget(a, row, 0);
        if (b) panel->addWidget(b, row, 1);
        ++row;
    };
    pair(new QLabel("Group", this), nullptr);
    pair(newGroup_, groupPaste_);
    pair(deleteGroup_, nullptr);
    pair(new QLabel("Memo", this), nullptr);
    pair(newMemo_, memoPaste_);
    pair(deleteMemo_, nullptr);
    pair(set_, reset_);
    pair(allSet_, allReset_);
    pair(copy_, paste_);
    pair(replace_, nullptr);
    pair(prev_, next_);
    pair(searchPrev_, searchNext_);
    pair(autoExpand_, nullptr);
    panel->setRowStretch(row++, 1);
    pair(close_, nullptr);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(panel);
    layout->addWidget(tree_, 1);

    connect(tree_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& now, const QModelIndex& before) {
                if (ws_.options.AutoExpand) {
                    if (before.isValid()) tree_->collapse(before);
                    tree_->expand(now);
                }
                UpdateButtons();
            });
    connect(&model_, &QAbstractItemModel::dataChanged, this, &TMemoMan::UpdateButtons);
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, &TMemoMan::UpdateButtons);
    listener_ = ws_.AddEntryListener([this](const Pdata* e) {
        if (!e || e == shown_) ShowMemosOf(nullptr);
    });
    RebuildTree();
}

TMemoMan::~TMemoMan() {
    ws_.RemoveEntryListener(listener_);
}

QPushButton* TMemoMan::Button(const char* name, const char* caption, void (TMemoMan::*slot)()) {
    auto* b = new QPushButton(caption, this);
    b->setObjectName(name);
    b->setAutoDefault(false);
    if (slot) connect(b, &QPushButton::clicked, this, slot);
    return b;
}

void TMemoMan::RebuildTree() {
    model_.Rebuild();
    if (ws_.options.InitialStatus == 1) tree_->expandAll();
    ShowMemosOf(ws_.lists.currentReference);
}

void TMemoMan::ShowMemosOf(Pdata* entry) {
    tree_->setExpandsOnDoubleClick(!ws_.options.AutoExpand);
    if (autoExpand_->isChecked()) tree_->collapseAll();
    shown_ = entry;
    model_.ShowMemosOf(entry);
    if (entry && autoExpand_->isChecked())
        for (int g : model_.GroupRowsCarried())
            tree_->expand(model_.index(g, 0));
    UpdateButtons();
}

int32_t TMemoMan::SelectedGroupId() const {
    return model_.GroupIdOf(tree_->currentIndex());
}

int TMemoMan::SelectedSlot() const {
    return model_.SlotOf(tree_->currentIndex());
}

QString TMemoMan::ClipboardLine() const {
    return QString::fromStdString(FirstLine(Bytes(QGuiApplication::clipboard()->text())));
}

void TMemoMan::UpdateButtons() {
    const QModelIndex at = tree_->currentIndex();
    const bool node = at.isValid();
    const bool memo = model_.SlotOf(at) >= 0;
    const bool group = model_.IsGroup(at);
    const int slot = model_.SlotOf(at);
    Pdata* ref = ws_.lists.currentReference;
    const QString clip = ClipboardLine();
    newMemo_->setEnabled(node);
    deleteMemo_->setEnabled(memo);
    deleteGroup_->setEnabled(group && model_.rowCount(at) == 0);
    groupPaste_->setEnabled(!clip.isEmpty());
    memoPaste_->setEnabled(!clip.isEmpty() && node);
    groupPaste_->setToolTip(clip.isEmpty() ? QString() : "Make <" + clip + ">");
    memoPaste_->setToolTip(groupPaste_->toolTip());
    copy_->setEnabled(ref && node);
    set_->setEnabled(memo && shown_ && !shown_->HasMemo(slot));
    reset_->setEnabled(memo && shown_ && shown_->HasMemo(slot));
    allSet_->setEnabled(memo);
    allReset_->setEnabled(memo);
    paste_->setEnabled(memo && ws_.copiedMemos.HasCopy() && ref);
    replace_->setEnabled(paste_->isEnabled());
    const int row = ws_.lists.reference.SelectedRow();
    prev_->setEnabled(row > 0);
    next_->setEnabled(row >= 0 && row < ws_.lists.reference.Count() - 1);
    searchPrev_->setEnabled(memo);
    searchNext_->setEnabled(memo);
}

void TMemoMan::NewGroupClick() {
    QModelIndex i = model_.NewGroup();
    tree_->setFocus();
    tree_->setCurrentIndex(i);
    tree_->edit(i);
}

void TMemoMan::GroupPasteClick() {
    const QString clip = ClipboardLine();
    if (clip.isEmpty()) return;
    tree_->setCurrentIndex(model_.NewGroup(Bytes(clip)));
}

void TMemoMan::NewMemoClick() {
    QModelIndex i = model_.NewMemo(tree_->currentIndex());
    if (!i.isValid()) return;
    tree_->expand(i.parent());
    tree_->setCurrentIndex(i);
    tree_->edit(i);
}

void TMemoMan::MemoPasteClick() {
    const QString clip = ClipboardLine();
    if (clip.isEmpty()) return;
    QModelIndex i = model_.NewMemo(tree_->currentIndex(), Bytes(clip));
    if (!i.isValid()) return;
    tree_->expand(i.parent());
    model_.ShowMemosOf(shown_);
    tree_->setCurrentIndex(i);
}

void TMemoMan::DeleteGroupClick() {
    model_.DeleteGroup(tree_->currentIndex());
    UpdateButtons();
}

void TMemoMan::DeleteMemoClick() {
    model_.DeleteMemo(tree_->currentIndex());
    ShowMemosOf(shown_);
}

void TMemoMan::Changed(Pdata* entry) {
    if (host_ && entry) host_->MemosOfEntryChanged(entry);
    ShowMemosOf(shown_);
}

void TMemoMan::SetClick() {
    if (shown_ && SetMemo(ws_, *shown_, SelectedSlot())) Changed(shown_);
}

void TMemoMan::ResetClick() {
    if (shown_ && ResetMemo(ws_, *shown_, SelectedSlot())) Changed(shown_);
}

void TMemoMan::AllSetClick() {
    if (SetMemoOnReferenceList(ws_.lists, ws_.memos, SelectedSlot(), true) > 0)
        Changed(ws_.lists.currentReference);
}

void TMemoMan::AllResetClick() {
    if (SetMemoOnReferenceList(ws_.lists, ws_.memos, SelectedSlot(), false) > 0)
        Changed(ws_.lists.currentReference);
}

void TMemoMan::CopyClick() {
    if (ws_.lists.currentReference) ws_.copiedMemos.Copy(*ws_.lists.currentReference);
    UpdateButtons();
}

void TMemoMan::PasteClick() {
    Pdata* ref = ws_.lists.currentReference;
    if (ref && ws_.copiedMemos.Paste(ws_, ws_.memos, *ref, replace_->isChecked())) Changed(ref);
}

void TMemoMan::MemoJump(int direction) {
    const int slot = SelectedSlot();
    if (slot < 0) return;
    setCursor(Qt::BusyCursor);
    NavigatorQuery q;
    q.memo = slot;
    std::string status;
    if (NavigatorJump(ws_.lists, NavigatorPage::Memo, direction, q, status)) {
        if (host_) host_->ReferenceSelectionMoved();
        ShowMemosOf(ws_.lists.currentReference);
    }
    unsetCursor();
}

void TMemoMan::SearchPrevClick() {
    MemoJump(-1);
}

void TMemoMan::SearchNextClick() {
    MemoJump(+1);
}

void TMemoMan::keyPressEvent(QKeyEvent* event) {
    // While a label is edited the editor takes the keys, not the window.
    if (event->key() == Qt::Key_Space) {
        if (host_) host_->MoveReferenceSelection(event->modifiers() & Qt::ControlModifier ? -1 : 1);
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TMemoMan::closeEvent(QCloseEvent* event) {
    newMemo_->setEnabled(false);
    deleteMemo_->setEnabled(false);
    deleteGroup_->setEnabled(false);
    ws_.frame().ChangeFlagsChanged();
    QDialog::closeEvent(event);
}

} // namespace lumidex
