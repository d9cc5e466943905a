#include "ThumbnailDrawing.h"

#include "EntryList.h"
#include "FileStatus.h"
#include "Pdata.h"
#include "PictureReader.h"

#include <QPainter>

#include <algorithm>

namespace lumidex {

const FileStamp& ThumbnailDrawing::StampOf(const std::string& path) const {
    auto [it, added] = stamps_.try_emplace(path);
    if (added) {
        const FileStatus status = GetFileStatus(path);
        it->second = status.exists ? FileStamp{status.size, status.modified} : FileStamp{-1, 0};
    }
    return it->second;
}

ThumbnailDrawing::ThumbnailDrawing(Reader reader) : reader_(std::move(reader)) {}

bool ThumbnailDrawing::ReadForCell(QImage& picture, const std::string& path, QSize cell, bool) {
    return ReadPictureForCell(picture, path, cell.width(), cell.height()) == ReadOutcome::Ok;
}

void ThumbnailDrawing::Resize(QSize area) {
    area = area.expandedTo({0, 0});
    canvas_ = QImage(area, QImage::Format_RGB32);
    previousDrawing_ = QImage();
    Reset();
}

void ThumbnailDrawing::Reset() {
    records_.clear();
    previous_.clear();
    list_ = nullptr;
    Hatch(canvas_.rect());
    moveFocusFrame = true;
}

void ThumbnailDrawing::Hatch(const QRect& area) {
    if (canvas_.isNull() || area.isEmpty()) return;
    QPainter p(&canvas_);
    p.fillRect(area, Qt::white);
    p.fillRect(area, QBrush(Qt::black, Qt::DiagCrossPattern));
}

const QImage& ThumbnailDrawing::ErrorPicture() {
    if (error_.isNull()) {
        error_ = QImage(32, 32, QImage::Format_RGB32);
        error_.fill(Qt::white);
        QPainter p(&error_);
        p.setPen(QPen(Qt::red, 3));
        p.drawLine(6, 6, 25, 25);
        p.drawLine(25, 6, 6, 25);
        p.setPen(QPen(Qt::darkGray, 1));
        p.drawRect(0, 0, 31, 31);
    }
    return error_;
}

void ThumbnailDrawing::Begin(const EntryList& list, int requestedCount, FillOrder order,
                             bool keepAspect) {
    if (list_) records_.clear(); // abandoned: the change made its cells useless
    grid_ = ThumbnailGrid::For(requestedCount, canvas_.size());
    selected_ = list.SelectedRow();
    start_ = FirstThumbnailRow(selected_, grid_.Capacity());
    order_ = order;
    keepAspect_ = keepAspect;
    previous_ = std::move(records_);
    records_.clear();
    stamps_.clear();
    next_ = 0;
    list_ = &list;
    if (canvas_.isNull()) list_ = nullptr;
    // Each file's size and time before anything of it is read: a change after this is seen by
    // the next drawing.
    for (int k = 0; k < grid_.Capacity(); ++k)
        if (const std::string* path = PathOfCell(k)) StampOf(*path);
}

bool ThumbnailDrawing::Step() {
    if (!list_) return false;
    const int k = next_++;
    const QRect cell = grid_.Cell(k, canvas_.size(), order_);
    lastCell = cell;
    const int row = start_ + k;
    // The list may have shrunk while events ran between cells.
    if (row < list_->Count()) {
        const Pdata* entry = list_->EntryAt(row);
        Thumlist record{entry->path, cell, cell, StampOf(entry->path)};
        if (moveFocusFrame && row == selected_) {
            focusFrame = cell.adjusted(0, 0, -1, -1);
            moveFocusFrame = false;
        }
        const Thumlist* old = Reusable(record.path, cell.size());
        QPainter p(&canvas_);
        if (old) {
            p.drawImage(cell.topLeft(), previousDrawing_, old->cell);
            record.drawn = old->drawn.translated(cell.topLeft() - old->cell.topLeft());
        } else {
            ++readCount;
            if (!reader_ || !reader_(scratch_, record.path, cell.size(), keepAspect_) ||
                scratch_.isNull()) {
                p.drawImage(cell, ErrorPicture());
            } else {
                record.drawn = FitIntoCell(cell, scratch_.size(), keepAspect_);
                if (record.drawn != cell) {
                    p.end();
                    Hatch(cell);
                    p.begin(&canvas_);
                }
                p.setRenderHint(QPainter::SmoothPixmapTransform);
                p.drawImage(record.drawn, scratch_);
            }
            scratch_ = QImage();
        }
        records_.push_back(std::move(record));
    } else {
        Hatch(cell);
    }
    if (next_ < grid_.Capacity()) return true;
    previousDrawing_ = canvas_.copy();
    list_ = nullptr;
    return false;
}

const Thumlist* ThumbnailDrawing::Reusable(const std::string& path, QSize cell) const {
    if (previousDrawing_.isNull()) return nullptr;
    for (const Thumlist& t : previous_)
        if (t.path == path && t.cell.size() == cell) return t.stamp == StampOf(path) ? &t : nullptr;
    return nullptr;
}

const std::string* ThumbnailDrawing::PathOfCell(int k) const {
    const int row = start_ + k;
    if (!list_ || k >= grid_.Capacity() || row >= list_->Count()) return nullptr;
    return &list_->EntryAt(row)->path;
}

std::vector<std::string> ThumbnailDrawing::PathsToRead() const {
    std::vector<std::string> paths;
    const QSize cell = CellSize();
    for (int k = next_; k < grid_.Capacity(); ++k)
        if (const std::string* path = PathOfCell(k); path && !Reusable(*path, cell))
            paths.push_back(*path);
    return paths;
}

const std::string* ThumbnailDrawing::NextRead() const {
    const std::string* path = PathOfCell(next_);
    return path && !Reusable(*path, CellSize()) ? path : nullptr;
}

void ThumbnailDrawing::Forget(const std::string& path) {
    auto gone = [&](const Thumlist& t) { return t.path == path; };
    std::erase_if(records_, gone);
    std::erase_if(previous_, gone);
}

void ThumbnailDrawing::ForgetAll() {
    records_.clear();
    previous_.clear();
    list_ = nullptr;
}

const Thumlist* ThumbnailDrawing::RecordAt(QPoint point) const {
    for (const Thumlist& t : records_)
        if (t.cell.contains(point)) return &t;
    return nullptr;
}

} // namespace lumidex
