#include "EntryListModel.h"

#include "Format.h"
#include "Paths.h"

#include <QColor>
#include <QFile>

namespace lumidex {

EntryListModel::EntryListModel(const EntryList& list, const Options& options, QObject* parent)
    : QAbstractTableModel(parent), list_(list), options_(options), rows_(list.Count()) {}

void EntryListModel::SetDimmed(bool on) {
    if (dimmed_ == on) return;
    dimmed_ = on;
    Refresh();
}

void EntryListModel::Refresh() {
    if (rows_ != list_.Count()) {
        beginResetModel();
        rows_ = list_.Count();
        endResetModel();
    } else if (rows_ > 0) {
        emit dataChanged(index(0, 0), index(rows_ - 1, columnCount() - 1));
    }
}

int EntryListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int EntryListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 3;
}

QVariant EntryListModel::data(const QModelIndex& index, int role) const {
    // The list may have shrunk before Refresh told the view.
    if (!index.isValid() || index.row() >= rows_ || index.row() >= list_.Count()) return {};
    const Pdata* entry = list_.EntryAt(index.row());
    if (!entry) return {};
    switch (role) {
    case Qt::DisplayRole:
        // Size and date as stored: drawing a row touches no file.
        if (index.column() == 1)
            return entry->fileSize < 0 ? QString()
                                       : QString::fromStdString(FormatSize(entry->fileSize));
        if (index.column() == 2)
            return entry->fileTime == -1 ? QString()
                                         : QString::fromStdString(FormatFileTime(entry->fileTime));
        return QFile::decodeName(QByteArray::fromStdString(
            (options_.ShoePathName ? entry->path : std::string(paths::FileName(entry->path))) +
            OrientationMark(list_.At(index.row()).way)));
    case Qt::ToolTipRole:
        return index.column() == 0 ? QFile::decodeName(QByteArray::fromStdString(entry->path))
                                   : QVariant();
    case Qt::ForegroundRole: {
        bool isNew = isNew_ && isNew_(entry);
        if (isNew) return QColor(Qt::red);
        if (dimmed_) return QColor(192, 192, 192);
        return {};
    }
    default:
        return {};
    }
}

QVariant EntryListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    static const char* const titles[] = {"Filename", "Size", "Date"};
    return section >= 0 && section < 3 ? QString(titles[section]) : QVariant();
}

} // namespace lumidex
