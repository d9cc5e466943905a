#include "ThumbnailGrid.h"

#include <algorithm>
#include <cstdint>

namespace lumidex {

ThumbnailGrid ThumbnailGrid::For(int count, QSize area) {
    ThumbnailGrid g;
    const int64_t w = std::max(area.width(), 0), h = std::max(area.height(), 0);
    while (g.rows * g.columns < count) {
        // columns / rows > W / H
        if (int64_t{g.columns} * h > w * g.rows)
            ++g.rows;
        else
            ++g.columns;
    }
    return g;
}

QSize ThumbnailGrid::CellSize(QSize area) const {
    return {area.width() / columns, area.height() / rows};
}

QRect ThumbnailGrid::Cell(int k, QSize area, FillOrder order) const {
    const QSize cell = CellSize(area);
    const int column = order == FillOrder::ColumnByColumn ? k / rows : k % columns;
    const int row = order == FillOrder::ColumnByColumn ? k % rows : k / columns;
    return {column * cell.width(), row * cell.height(), cell.width(), cell.height()};
}

int ThumbnailGrid::CellAt(QPoint point, QSize area, FillOrder order) const {
    const QSize cell = CellSize(area);
    if (cell.width() <= 0 || cell.height() <= 0 || point.x() < 0 || point.y() < 0) return -1;
    const int column = point.x() / cell.width(), row = point.y() / cell.height();
    if (column >= columns || row >= rows) return -1;
    return order == FillOrder::ColumnByColumn ? column * rows + row : row * columns + column;
}

int FirstThumbnailRow(int selectedRow, int capacity) {
    return std::max(0, selectedRow - capacity / 2);
}

int CountUp(int count, QSize area) {
    const int before = ThumbnailGrid::For(count, area).Capacity();
    int n = count;
    int capacity = before;
    while (capacity == before && n < kMaxThumbnails)
        capacity = ThumbnailGrid::For(++n, area).Capacity();
    return capacity;
}

int CountDown(int count, QSize area) {
    const int before = ThumbnailGrid::For(count, area).Capacity();
    int n = count;
    int capacity = before;
    while (capacity == before && n > 1)
        capacity = ThumbnailGrid::For(--n, area).Capacity();
    return capacity;
}

bool CountUpEnabled(int count) {
    return count < kMaxThumbnails;
}

bool CountDownEnabled(int count, QSize area) {
    return ThumbnailGrid::For(count, area).Capacity() > 1;
}

int PagingStep(PagingButton button, int requestedCount, const ThumbnailGrid& grid,
               FillOrder order) {
    const int line = order == FillOrder::ColumnByColumn ? grid.rows : grid.columns;
    switch (button) {
    case PagingButton::BackHalf:
        return -(requestedCount / 2);
    case PagingButton::BackLine:
        return -line;
    case PagingButton::ForwardLine:
        return line;
    case PagingButton::ForwardHalf:
        return requestedCount / 2;
    }
    return 0;
}

QRect FitIntoCell(const QRect& cell, QSize picture, bool keepAspect) {
    const int64_t pw = picture.width(), ph = picture.height();
    if (!keepAspect || pw <= 0 || ph <= 0) return cell;
    const int64_t cw = cell.width(), ch = cell.height();
    int64_t w, h;
    if (pw > ph) {
        w = cw;
        h = ph * cw / pw;
        if (h > ch) {
            h = ch;
            w = pw * ch / ph;
        }
    } else {
        h = ch;
        w = pw * ch / ph;
        if (w > cw) {
            w = cw;
            h = ph * cw / pw;
        }
    }
    return {cell.left() + static_cast<int>((cw - w) / 2),
            cell.top() + static_cast<int>((ch - h) / 2), static_cast<int>(w), static_cast<int>(h)};
}

} // namespace lumidex
