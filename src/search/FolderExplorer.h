#pragma once

#include "FolderList.h"
#include "Lists.h"

#include <QAbstractItemModel>

#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

namespace lumidex {

// The folder explorer's tree, built from the folder list (never from the disk). Node names are
// the folder names exactly as the paths spell them; children are shown in upper-case order.
// Nodes keep no entries, so nothing here can outlive one.
class FolderTree {
public:
    struct Node {
        std::string name;
        int parent = -1;
        std::vector<int> children;
    };
    FolderTree() { Clear(); }
    void Clear();
    // Rebuild: every item in order, then "0" as the last folder so that the next path counts.
    void Rebuild(const FolderList& list);
    // AddPath: the folder part of the path as nodes; -1 when it is the last folder added
    // (ignored), else the folder's node.
    int AddPath(const std::string& path);

    static constexpr int kRoot = 0; // the invisible top; its children are the root nodes
    const Node& At(int node) const { return nodes_[static_cast<size_t>(node)]; }
    int Count() const { return static_cast<int>(nodes_.size()); }
    // The folder the node stands for, without a trailing delimiter (the root: "/").
    std::string NodePath(int node) const;
    // The node of a folder (with or without its trailing delimiter), or -1.
    int Find(const std::string& folder) const;
    // Where the child sits among its parent's children.
    int RowOf(int node) const;

    // Children of one node, ordered for display (sorting is left until a batch is done).
    void SortChildren(int node);

private:
    int Child(int parent, const std::string& name, bool keepSorted);
    int AddFolder(std::string_view folder, bool keepSorted);
    std::vector<Node> nodes_;
    std::unordered_map<std::string, int> byKey_; // parent index, NUL, name
    std::string lastFolder_;
};

// "Move to": the first reference row whose entry lies directly in the folder becomes the
// selected row; -1 and the status "Not found. Select 'All' to displaey all data." otherwise.
int MoveToFolder(Lists& lists, const std::string& folder, std::string& status);
// "Search" (this folder) and "Search Sub" (the folder and every folder below it): exact paths.
int SearchFolder(Lists& lists, const std::string& folder, bool subfolders, std::string& status);
// Whether the path lies in the folder or below it (a folder prefix, not a substring).
bool InFolderTree(std::string_view path, std::string_view folder);

// The tree for a view; roots and children in display order.
class FolderTreeModel : public QAbstractItemModel {
    Q_OBJECT
public:
    explicit FolderTreeModel(FolderTree& tree, QObject* parent = nullptr)
        : QAbstractItemModel(parent), tree_(tree) {}
    // Changes the tree (rebuild, clear, a new path) inside a model reset.
    void Reset(const std::function<void()>& change = {}) {
        beginResetModel();
        if (change) change();
        endResetModel();
    }
    QModelIndex IndexOf(int node) const;
    int NodeOf(const QModelIndex& index) const;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    FolderTree& tree_;
};

// Drags onto the explorer carry this type (entries of the program's own lists); anything else,
// such as files dropped from other programs, is refused.
inline constexpr const char* kEntryDragType = "application/x-lumidex2-entry";

} // namespace lumidex
