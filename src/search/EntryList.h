#pragma once

#include "Orientation.h"
#include "Pdata.h"

#include <string>
#include <vector>

namespace lumidex {

// One row of a list: the text it sorts by and the entry it shows (owned by the catalogue).
struct ListRow {
    std::string key;
    Pdata* entry = nullptr;
    bool selected = false;
    // How a target matched its reference: upright, or found mirrored or turned.
    Orientation way = Orientation::Upright;
    // The reference's region that found it, -1 when the whole picture did.
    int region = -1;
};

// Rows in ascending order of their keys (ASCII letter case ignored); a new row goes before
// the rows of an equal key. Holds the selection, so that commands work without a view.
class EntryList {
public:
    explicit EntryList(bool uniqueEntries = false, bool multiSelect = false)
        : unique_(uniqueEntries), multi_(multiSelect) {}

    int Count() const { return static_cast<int>(rows_.size()); }
    bool Empty() const { return rows_.empty(); }
    const ListRow& At(int row) const { return rows_[static_cast<size_t>(row)]; }
    Pdata* EntryAt(int row) const { return rows_[static_cast<size_t>(row)].entry; }

    // Inserts a row and returns its index; a list of unique entries returns -1 for an entry
    // it already holds.
    int Add(std::string key, Pdata* entry);
    // Inserts many rows as if added one by one in the given order (each before equal keys).
    void AddMany(std::vector<ListRow> rows);
    // The same in the order of their ranks (distinct, one beside each row).
    void AddMany(std::vector<ListRow> rows, const std::vector<uint32_t>& ranks);
    // Replaces the rows with others already in list order.
    void Assign(std::vector<ListRow> rows);
    void Clear() { rows_.clear(); }

    // First row of the entry, or -1.
    int Find(const Pdata* entry) const;
    bool Contains(const Pdata* entry) const { return Find(entry) >= 0; }
    // Removes every row of the entry; returns how many.
    int Remove(const Pdata* entry);
    void RemoveAt(int row);
    // Recomputes nothing: re-sorts the rows after their keys were changed (stable).
    void Resort();
    std::vector<ListRow>& MutableRows() { return rows_; }
    const std::vector<ListRow>& Rows() const { return rows_; }

    // Selection. A single-select list keeps at most one selected row.
    int SelectedRow() const; // the first selected row, or -1
    std::vector<int> SelectedRows() const;
    int SelectedCount() const;
    void Select(int row, bool on = true);
    void ClearSelection();
    bool multiSelect() const { return multi_; }
    // Index of the first row the view shows; views move it, the lists read it.
    int topRow = 0;

private:
    // Merges rows already in key order, each before existing equal keys.
    void MergeSorted(std::vector<ListRow> rows);

    std::vector<ListRow> rows_;
    bool unique_;
    bool multi_;
};

// Case-insensitive key order of the lists.
bool RowKeyLess(const std::string& a, const std::string& b);

} // namespace lumidex
