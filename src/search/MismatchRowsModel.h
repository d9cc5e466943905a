#pragma once

#include "MismatchGroups.h"

#include <QAbstractListModel>

namespace lumidex {

// The "Mismatch Editor" rows for a view: the path as text, the group beside it.
class MismatchRowsModel : public QAbstractListModel {
    Q_OBJECT
public:
    enum Role { GroupRole = Qt::UserRole + 1, EndsGroupRole };
    explicit MismatchRowsModel(MismatchEditorRows& rows, QObject* parent = nullptr)
        : QAbstractListModel(parent), rows_(rows) {}
    // After the rows changed underneath.
    void Reset() {
        beginResetModel();
        endResetModel();
    }
    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : rows_.Count();
    }
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    MismatchEditorRows& rows_;
};

} // namespace lumidex
