#pragma once

#include <QRect>
#include <QSize>

namespace lumidex {

// The largest number of thumbnails CountUp steps to.
inline constexpr int kMaxThumbnails = 50;

enum class FillOrder {
    ColumnByColumn, // SpeedButton1: top to bottom, then the next column
    RowByRow        // SpeedButton2: left to right, then the next row
};

// The grid of the thumbnail window for a requested count over a drawing area.
struct ThumbnailGrid {
    int rows = 1;
    int columns = 1;

    // Adds a row while the cells are wider than the area's proportion, else a column, until
    // the grid holds count cells. Proportions compare as products: no division by a zero
    // height, and no integer quotient that sends a square area's 3 x 3 the wrong way.
    static ThumbnailGrid For(int count, QSize area);

    int Capacity() const { return rows * columns; }
    QSize CellSize(QSize area) const;
    // Cell k (0 .. capacity - 1) in the fill order.
    QRect Cell(int k, QSize area, FillOrder order) const;
    // The cell under a point, or -1.
    int CellAt(QPoint point, QSize area, FillOrder order) const;

    bool operator==(const ThumbnailGrid&) const = default;
};

// First reference row drawn: the selected row sits in the middle of the run.
int FirstThumbnailRow(int selectedRow, int capacity);

// CountUp: the next larger grid's capacity (the count stops at kMaxThumbnails).
int CountUp(int count, QSize area);
// CountDown: the next smaller grid's capacity; a 1 x 1 grid stays as it is.
int CountDown(int count, QSize area);
bool CountUpEnabled(int count);
// Only while there is a smaller grid to go to: at 1 x 1, lowering never changes the capacity.
bool CountDownEnabled(int count, QSize area);

enum class PagingButton { BackHalf, BackLine, ForwardLine, ForwardHalf }; // SpeedButton4 .. 7
// Rows the reference selection moves by for a paging button.
int PagingStep(PagingButton button, int requestedCount, const ThumbnailGrid& grid, FillOrder order);

// Where a picture is drawn in a cell: the whole cell, or with keepAspect the largest centred
// rectangle of the picture's proportions (64-bit products, so large pictures do not overflow).
QRect FitIntoCell(const QRect& cell, QSize picture, bool keepAspect);

} // namespace lumidex
