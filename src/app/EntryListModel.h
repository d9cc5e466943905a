#pragma once

#include "EntryList.h"
#include "Options.h"

#include <QAbstractTableModel>

#include <functional>

namespace lumidex {

// A list view's rows drawn from a list of the lists library, without an item per row: row i
// of the view is row i of the list; the first column shows the entry's file name (or its
// whole path with ShoePathName), then its stored file size and file time.
class EntryListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    EntryListModel(const EntryList& list, const Options& options, QObject* parent = nullptr);

    // Entries drawn in the colours of newly added pictures.
    void SetNewPredicate(std::function<bool(const Pdata*)> isNew) { isNew_ = std::move(isNew); }
    // Drawn in the disabled colours (DisableAutoFind on the reference list).
    void SetDimmed(bool on);
    // The list changed underneath: take its row count and redraw.
    void Refresh();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const EntryList& list_;
    const Options& options_;
    std::function<bool(const Pdata*)> isNew_;
    int rows_ = 0;
    bool dimmed_ = false;
};

} // namespace lumidex
