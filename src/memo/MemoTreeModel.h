#pragma once

#include "Catalogue.h"
#include "DataManage.h"
#include "SharedState.h"

#include <QAbstractItemModel>

#include <vector>

namespace lumidex {

// The memo manager's tree: one top-level node per group in the table's order, under it one
// node per memo of the group in slot order. Nodes know their group id and slot index; every
// edit goes through them, never through a text lookup.
class MemoTreeModel : public QAbstractItemModel {
    Q_OBJECT
public:
    enum Role {
        // -1 before an entry is shown, else 0 ("off") or 1 ("on": the shown entry carries it).
        CheckImageRole = Qt::UserRole + 1,
        GroupIdRole,
        SlotRole, // -1 on a group node
    };
    static constexpr const char* kMimeType = "application/x-lumidex2-memo-slot";

    MemoTreeModel(SharedState& state, DataManage& memos, Catalogue& catalogue,
                  QObject* parent = nullptr);

    // RebuildTree's model part: nodes from the table, no check images.
    void Rebuild();
    // Marks the memos the entry carries; nullptr leaves every node "off".
    void ShowMemosOf(const Pdata* entry);
    const Pdata* shownEntry() const { return shown_; }
    bool hasImages() const { return imagesShown_; }
    // The shown entry is about to be freed (or every entry is).
    void ForgetEntry(const Pdata* entry);
    // Group rows that hold a memo the shown entry carries (those "Auto Expand" opens).
    std::vector<int> GroupRowsCarried() const;

    QModelIndex GroupIndex(int32_t groupId) const;
    QModelIndex MemoIndex(int slot) const;
    int32_t GroupIdOf(const QModelIndex& index) const; // of the parent for a memo, else -1
    int SlotOf(const QModelIndex& index) const;        // -1 for a group node or none
    bool IsGroup(const QModelIndex& index) const { return index.isValid() && !index.internalId(); }

    // The edits; each returns the new or changed node (invalid when nothing happened).
    QModelIndex NewGroup(const std::string& name = "Group");
    QModelIndex NewMemo(const QModelIndex& at, const std::string& text = "Memo");
    bool DeleteGroup(const QModelIndex& index);
    bool DeleteMemo(const QModelIndex& index); // asks when entries carry it
    QModelIndex MoveMemo(int slot, int32_t groupId);

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    Qt::DropActions supportedDropActions() const override { return Qt::MoveAction; }
    bool canDropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                         const QModelIndex& parent) const override;
    bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                      const QModelIndex& parent) override;

private:
    struct GroupNode {
        int32_t id;
        std::vector<int> memoSlots;
    };
    int GroupRow(int32_t id) const;
    int SlotFromMime(const QMimeData* data) const;

    SharedState& state_;
    DataManage& memos_;
    Catalogue& catalogue_;
    std::vector<GroupNode> groups_;
    const Pdata* shown_ = nullptr;
    bool imagesShown_ = false;
};

} // namespace lumidex
