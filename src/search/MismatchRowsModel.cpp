#include "MismatchRowsModel.h"

#include <QFile>

namespace lumidex {

QVariant MismatchRowsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rows_.Count()) return {};
    const MismatchEditorRows::Row& r = rows_.Rows()[static_cast<size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return QFile::decodeName(
            QByteArray(r.entry->path.data(), static_cast<qsizetype>(r.entry->path.size())));
    case GroupRole:
        return static_cast<int>(r.group);
    case EndsGroupRole:
        return rows_.EndsGroup(index.row());
    default:
        return {};
    }
}

} // namespace lumidex
