#include "FolderExplorer.h"

#include "DataFilter.h"
#include "Paths.h"

#include <QFile>

#include <algorithm>

namespace lumidex {

namespace {
// The folder's names from the top; an absolute folder starts with the root's "/".
std::vector<std::string_view> Names(std::string_view folder) {
    std::vector<std::string_view> names;
    size_t start = 0;
    for (size_t i = 0; i <= folder.size(); ++i) {
        if (i < folder.size() && !paths::IsDelimiter(folder[i])) continue;
        if (i > start)
            names.push_back(folder.substr(start, i - start));
        else if (i == 0 && i < folder.size())
            names.push_back(folder.substr(0, 1)); // the root delimiter itself
        start = i + 1;
    }
    return names;
}

std::string KeyOf(int parent, std::string_view name) {
    std::string k = std::to_string(parent);
    k += '\0';
    k.append(name);
    return k;
}
} // namespace

void FolderTree::Clear() {
    nodes_.assign(1, Node{});
    byKey_.clear();
    lastFolder_.clear();
}

void FolderTree::SortChildren(int node) {
    auto& c = nodes_[static_cast<size_t>(node)].children;
    std::sort(c.begin(), c.end(), [this](int a, int b) {
        const std::string& x = nodes_[static_cast<size_t>(a)].name;
        const std::string& y = nodes_[static_cast<size_t>(b)].name;
        int u = paths::CompareUpper(x, y);
        return u != 0 ? u < 0 : x < y;
    });
}

int FolderTree::Child(int parent, const std::string& name, bool keepSorted) {
    auto [it, made] = byKey_.emplace(KeyOf(parent, name), static_cast<int>(nodes_.size()));
    if (!made) return it->second;
    nodes_.push_back(Node{name, parent, {}});
    nodes_[static_cast<size_t>(parent)].children.push_back(it->second);
    if (keepSorted) SortChildren(parent);
    return it->second;
}

int FolderTree::AddFolder(std::string_view folder, bool keepSorted) {
    int node = kRoot;
    for (std::string_view name : Names(folder))
        node = Child(node, std::string(name), keepSorted);
    return node == kRoot ? -1 : node;
}

int FolderTree::AddPath(const std::string& path) {
    std::string_view folder = paths::FolderPart(path);
    if (folder.empty() || folder == lastFolder_) return -1;
    lastFolder_.assign(folder);
    return AddFolder(folder, true);
}

void FolderTree::Rebuild(const FolderList& list) {
    Clear();
    for (const auto& [key, entry] : list) {
        // The entry's own path keeps the letter case; the list's key is upper-cased.
        const std::string& path = entry ? entry->path : key;
        std::string_view folder = paths::FolderPart(path);
        if (folder.empty() || folder == lastFolder_) continue;
        lastFolder_.assign(folder);
        AddFolder(folder, false);
    }
    // Sorted once at the end: a sorted insert per folder is quadratic in a wide folder.
    for (int n = 0; n < Count(); ++n)
        SortChildren(n);
    lastFolder_ = "0";
}

std::string FolderTree::NodePath(int node) const {
    if (node <= kRoot || node >= Count()) return {};
    const Node& n = At(node);
    if (n.parent == kRoot) return n.name;
    std::string parent = NodePath(n.parent);
    if (parent.empty() || !paths::IsDelimiter(parent.back())) parent += paths::kDelimiter;
    return parent + n.name;
}

int FolderTree::Find(const std::string& folder) const {
    int node = kRoot;
    for (std::string_view name : Names(folder)) {
        auto it = byKey_.find(KeyOf(node, name));
        if (it == byKey_.end()) return -1;
        node = it->second;
    }
    return node == kRoot ? -1 : node;
}

int FolderTree::RowOf(int node) const {
    const auto& c = At(At(node).parent).children;
    return static_cast<int>(std::find(c.begin(), c.end(), node) - c.begin());
}

bool InFolderTree(std::string_view path, std::string_view folder) {
    std::string f = paths::WithTrailingDelimiter(std::string(folder));
    return path.size() > f.size() && paths::SamePath(path.substr(0, f.size()), f);
}

int MoveToFolder(Lists& lists, const std::string& folder, std::string& status) {
    const std::string f = paths::WithTrailingDelimiter(folder);
    const EntryList& ref = lists.reference;
    for (int r = 0; r < ref.Count(); ++r) {
        if (!paths::SamePath(paths::FolderPart(ref.EntryAt(r)->path), f)) continue;
        lists.SelectReference(r);
        status.clear();
        return r;
    }
    status = "Not found. Select 'All' to displaey all data.";
    return -1;
}

int SearchFolder(Lists& lists, const std::string& folder, bool subfolders, std::string& status) {
    const std::string f = paths::WithTrailingDelimiter(folder);
    EntryTest test;
    if (subfolders)
        test = [f](const Pdata& e) { return InFolderTree(e.path, f); };
    else
        test = [f](const Pdata& e) { return paths::SamePath(paths::FolderPart(e.path), f); };
    lists.SaveSelection(lists.reference);
    lists.state().frame().SetBusy(true);
    const int n = ApplyFilter(lists, Method::RBNormal, test);
    lists.state().frame().SetBusy(false);
    lists.RestoreSelection(lists.reference);
    status = std::to_string(n) + " Files match.";
    return n;
}

QModelIndex FolderTreeModel::IndexOf(int node) const {
    if (node <= FolderTree::kRoot || node >= tree_.Count()) return {};
    return createIndex(tree_.RowOf(node), 0, quintptr(node));
}

int FolderTreeModel::NodeOf(const QModelIndex& index) const {
    return index.isValid() ? static_cast<int>(index.internalId()) : -1;
}

QModelIndex FolderTreeModel::index(int row, int column, const QModelIndex& parent) const {
    const int p = parent.isValid() ? NodeOf(parent) : FolderTree::kRoot;
    if (p >= tree_.Count()) return {};
    const auto& c = tree_.At(p).children;
    if (column != 0 || row < 0 || row >= static_cast<int>(c.size())) return {};
    return createIndex(row, 0, quintptr(c[static_cast<size_t>(row)]));
}

QModelIndex FolderTreeModel::parent(const QModelIndex& child) const {
    if (!child.isValid() || NodeOf(child) >= tree_.Count()) return {};
    return IndexOf(tree_.At(NodeOf(child)).parent);
}

int FolderTreeModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() && parent.column() != 0) return 0;
    const int p = parent.isValid() ? NodeOf(parent) : FolderTree::kRoot;
    return p < tree_.Count() ? static_cast<int>(tree_.At(p).children.size()) : 0;
}

int FolderTreeModel::columnCount(const QModelIndex&) const {
    return 1;
}

QVariant FolderTreeModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole)) return {};
    const int node = NodeOf(index);
    if (node >= tree_.Count()) return {};
    const std::string& s = role == Qt::DisplayRole ? tree_.At(node).name : tree_.NodePath(node);
    return QFile::decodeName(QByteArray(s.data(), static_cast<qsizetype>(s.size())));
}

} // namespace lumidex
