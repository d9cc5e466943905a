#include "MemoTreeModel.h"

#include "MemoOps.h"

#include <QMimeData>

#include <algorithm>
#include <unordered_map>

namespace lumidex {

namespace {
QString Text(const std::string& s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}
} // namespace

MemoTreeModel::MemoTreeModel(SharedState& state, DataManage& memos, Catalogue& catalogue,
                             QObject* parent)
    : QAbstractItemModel(parent), state_(state), memos_(memos), catalogue_(catalogue) {
    Rebuild();
}

void MemoTreeModel::Rebuild() {
    beginResetModel();
    groups_.clear();
    std::unordered_map<int32_t, size_t> rowOf;
    for (const MemoGroup& g : memos_.Groups()) {
        // A repeated id (only a damaged file has one) shows its memos under the first group.
        rowOf.emplace(g.id, groups_.size());
        groups_.push_back({g.id, {}});
    }
    const auto& memoSlots = memos_.Slots();
    for (size_t i = 0; i < memoSlots.size(); ++i) {
        if (memoSlots[i].groupId == DataManage::kBlank) continue;
        auto it = rowOf.find(memoSlots[i].groupId);
        if (it != rowOf.end()) groups_[it->second].memoSlots.push_back(static_cast<int>(i));
    }
    imagesShown_ = false;
    endResetModel();
}

void MemoTreeModel::ShowMemosOf(const Pdata* entry) {
    shown_ = entry;
    imagesShown_ = entry != nullptr;
    if (groups_.empty()) return;
    emit dataChanged(index(0, 0), index(static_cast<int>(groups_.size()) - 1, 0), {CheckImageRole});
    for (size_t g = 0; g < groups_.size(); ++g) {
        if (groups_[g].memoSlots.empty()) continue;
        QModelIndex p = index(static_cast<int>(g), 0);
        emit dataChanged(index(0, 0, p),
                         index(static_cast<int>(groups_[g].memoSlots.size()) - 1, 0, p),
                         {CheckImageRole});
    }
}

void MemoTreeModel::ForgetEntry(const Pdata* entry) {
    if (!shown_ || (entry && entry != shown_)) return;
    ShowMemosOf(nullptr);
}

std::vector<int> MemoTreeModel::GroupRowsCarried() const {
    std::vector<int> rows;
    if (!shown_) return rows;
    for (size_t g = 0; g < groups_.size(); ++g)
        if (std::any_of(groups_[g].memoSlots.begin(), groups_[g].memoSlots.end(),
                        [this](int s) { return shown_->HasMemo(s); }))
            rows.push_back(static_cast<int>(g));
    return rows;
}

int MemoTreeModel::GroupRow(int32_t id) const {
    for (size_t g = 0; g < groups_.size(); ++g)
        if (groups_[g].id == id) return static_cast<int>(g);
    return -1;
}

QModelIndex MemoTreeModel::GroupIndex(int32_t groupId) const {
    int row = GroupRow(groupId);
    return row < 0 ? QModelIndex() : index(row, 0);
}

QModelIndex MemoTreeModel::MemoIndex(int slot) const {
    if (!memos_.IsMemo(slot)) return {};
    int g = GroupRow(memos_.Slots()[static_cast<size_t>(slot)].groupId);
    if (g < 0) return {};
    const auto& s = groups_[static_cast<size_t>(g)].memoSlots;
    auto it = std::lower_bound(s.begin(), s.end(), slot);
    if (it == s.end() || *it != slot) return {};
    return index(static_cast<int>(it - s.begin()), 0, index(g, 0));
}

int32_t MemoTreeModel::GroupIdOf(const QModelIndex& i) const {
    if (!i.isValid()) return -1;
    size_t g = i.internalId() ? i.internalId() - 1 : static_cast<size_t>(i.row());
    return g < groups_.size() ? groups_[g].id : -1;
}

int MemoTreeModel::SlotOf(const QModelIndex& i) const {
    if (!i.isValid() || !i.internalId()) return -1;
    const GroupNode& g = groups_[i.internalId() - 1];
    return i.row() < static_cast<int>(g.memoSlots.size())
               ? g.memoSlots[static_cast<size_t>(i.row())]
               : -1;
}

QModelIndex MemoTreeModel::NewGroup(const std::string& name) {
    const int row = static_cast<int>(groups_.size());
    beginInsertRows({}, row, row);
    int32_t id = lumidex::NewGroup(state_, memos_, name);
    groups_.push_back({id, {}});
    endInsertRows();
    return index(row, 0);
}

QModelIndex MemoTreeModel::NewMemo(const QModelIndex& at, const std::string& text) {
    const int32_t group = GroupIdOf(at);
    const int g = GroupRow(group);
    if (g < 0) return {};
    // Peek where PutMemo will put it, so that the node lands in slot order.
    int slot = -1;
    for (int i = 0; i < memos_.Count(); ++i)
        if (!memos_.IsMemo(i)) {
            slot = i;
            break;
        }
    if (slot < 0) slot = memos_.Count();
    auto& memoSlots = groups_[static_cast<size_t>(g)].memoSlots;
    const int row = static_cast<int>(std::lower_bound(memoSlots.begin(), memoSlots.end(), slot) -
                                     memoSlots.begin());
    beginInsertRows(index(g, 0), row, row);
    int made = lumidex::NewMemo(state_, memos_, group, text);
    memoSlots.insert(memoSlots.begin() + row, made);
    endInsertRows();
    return index(row, 0, index(g, 0));
}

bool MemoTreeModel::DeleteGroup(const QModelIndex& i) {
    if (!IsGroup(i)) return false;
    const int row = i.row();
    if (!groups_[static_cast<size_t>(row)].memoSlots.empty()) return false;
    if (!lumidex::DeleteGroup(state_, memos_, groups_[static_cast<size_t>(row)].id)) return false;
    beginRemoveRows({}, row, row);
    groups_.erase(groups_.begin() + row);
    endRemoveRows();
    return true;
}

bool MemoTreeModel::DeleteMemo(const QModelIndex& i) {
    const int slot = SlotOf(i);
    if (slot < 0) return false;
    if (!lumidex::DeleteMemo(state_, memos_, catalogue_, slot)) return false;
    const QModelIndex p = i.parent();
    beginRemoveRows(p, i.row(), i.row());
    auto& memoSlots = groups_[static_cast<size_t>(p.row())].memoSlots;
    memoSlots.erase(memoSlots.begin() + i.row());
    endRemoveRows();
    return true;
}

QModelIndex MemoTreeModel::MoveMemo(int slot, int32_t groupId) {
    const QModelIndex from = MemoIndex(slot);
    const int to = GroupRow(groupId);
    if (!from.isValid() || to < 0 || from.parent().row() == to) return {};
    if (!lumidex::MoveMemo(state_, memos_, slot, groupId)) return {};
    const QModelIndex fromParent = from.parent();
    auto& src = groups_[static_cast<size_t>(fromParent.row())].memoSlots;
    auto& dst = groups_[static_cast<size_t>(to)].memoSlots;
    // The node goes where its slot orders among the target group's memos, as a rebuild puts it.
    const int row = static_cast<int>(std::lower_bound(dst.begin(), dst.end(), slot) - dst.begin());
    beginMoveRows(fromParent, from.row(), from.row(), index(to, 0), row);
    src.erase(src.begin() + from.row());
    dst.insert(dst.begin() + row, slot);
    endMoveRows();
    QModelIndex moved = MemoIndex(slot);
    emit dataChanged(moved, moved);
    return moved;
}

QModelIndex MemoTreeModel::index(int row, int column, const QModelIndex& parent) const {
    if (column != 0 || row < 0) return {};
    if (!parent.isValid())
        return row < static_cast<int>(groups_.size()) ? createIndex(row, 0, quintptr(0))
                                                      : QModelIndex();
    if (parent.internalId() || parent.row() >= static_cast<int>(groups_.size())) return {};
    if (row >= static_cast<int>(groups_[static_cast<size_t>(parent.row())].memoSlots.size()))
        return {};
    return createIndex(row, 0, quintptr(parent.row() + 1));
}

QModelIndex MemoTreeModel::parent(const QModelIndex& child) const {
    if (!child.isValid() || !child.internalId()) return {};
    return createIndex(static_cast<int>(child.internalId() - 1), 0, quintptr(0));
}

int MemoTreeModel::rowCount(const QModelIndex& parent) const {
    if (!parent.isValid()) return static_cast<int>(groups_.size());
    if (parent.internalId() || parent.column() != 0) return 0;
    return static_cast<int>(groups_[static_cast<size_t>(parent.row())].memoSlots.size());
}

int MemoTreeModel::columnCount(const QModelIndex&) const {
    return 1;
}

QVariant MemoTreeModel::data(const QModelIndex& i, int role) const {
    if (!i.isValid()) return {};
    const int slot = SlotOf(i);
    // The table may have been cleared before the tree is rebuilt.
    if (i.internalId() && !memos_.IsMemo(slot)) return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole: {
        if (slot >= 0) return Text(memos_.Slots()[static_cast<size_t>(slot)].text);
        int at = memos_.GroupIndexOfId(GroupIdOf(i));
        return at < 0 ? QVariant() : Text(memos_.Groups()[static_cast<size_t>(at)].name);
    }
    case CheckImageRole:
        if (!imagesShown_) return -1;
        return slot >= 0 && shown_ && shown_->HasMemo(slot) ? 1 : 0;
    case GroupIdRole:
        return GroupIdOf(i);
    case SlotRole:
        return slot;
    default:
        return {};
    }
}

bool MemoTreeModel::setData(const QModelIndex& i, const QVariant& value, int role) {
    if (!i.isValid() || role != Qt::EditRole) return false;
    const QByteArray text = value.toString().toUtf8();
    const std::string wanted(text.constData(), static_cast<size_t>(text.size()));
    const int slot = SlotOf(i);
    if (slot >= 0)
        lumidex::RenameMemo(state_, memos_, slot, wanted);
    else
        lumidex::RenameGroup(state_, memos_, GroupIdOf(i), wanted);
    emit dataChanged(i, i);
    return true;
}

Qt::ItemFlags MemoTreeModel::flags(const QModelIndex& i) const {
    if (!i.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
    return f | (IsGroup(i) ? Qt::ItemIsDropEnabled : Qt::ItemIsDragEnabled);
}

QStringList MemoTreeModel::mimeTypes() const {
    return {kMimeType};
}

QMimeData* MemoTreeModel::mimeData(const QModelIndexList& indexes) const {
    for (const QModelIndex& i : indexes) {
        int slot = SlotOf(i);
        if (slot < 0) continue;
        auto* data = new QMimeData;
        data->setData(kMimeType, QByteArray::number(slot));
        return data;
    }
    return nullptr;
}

int MemoTreeModel::SlotFromMime(const QMimeData* data) const {
    if (!data || !data->hasFormat(kMimeType)) return -1;
    bool ok = false;
    int slot = data->data(kMimeType).toInt(&ok);
    return ok && memos_.IsMemo(slot) ? slot : -1;
}

bool MemoTreeModel::canDropMimeData(const QMimeData* data, Qt::DropAction action, int, int,
                                    const QModelIndex& parent) const {
    if (action != Qt::MoveAction || !IsGroup(parent)) return false;
    const int slot = SlotFromMime(data);
    return slot >= 0 && memos_.Slots()[static_cast<size_t>(slot)].groupId != GroupIdOf(parent);
}

bool MemoTreeModel::dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                                 const QModelIndex& parent) {
    if (!canDropMimeData(data, action, row, column, parent)) return false;
    MoveMemo(SlotFromMime(data), GroupIdOf(parent));
    // The move is done here: the view must not remove the dragged row itself.
    return false;
}

} // namespace lumidex
