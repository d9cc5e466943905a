#include "ThumbnailGrid.h"

#include <gtest/gtest.h>

namespace lumidex {
namespace {

TEST(ThumbnailGrid, GridForCountAndArea) {
    struct Case {
        int count, w, h, rows, columns;
    } cases[] = {
        {9, 300, 300, 3, 3},  // an integer W / H would give 3 x 4 here
        {8, 400, 200, 2, 4},  // twice as wide as high
        {12, 300, 300, 3, 4}, // one row more is never taken before a column
        {1, 300, 300, 1, 1},  {0, 300, 300, 1, 1},
        {5, 100, 0, 1, 5},  // no height: columns only, and no division by zero
        {5, 0, 100, 5, 1},  // no width: rows only
        {3, 362, 445, 2, 2} // the window's first size
    };
    for (const Case& c : cases) {
        ThumbnailGrid g = ThumbnailGrid::For(c.count, {c.w, c.h});
        EXPECT_EQ(g.rows, c.rows) << c.count << " in " << c.w << "x" << c.h;
        EXPECT_EQ(g.columns, c.columns) << c.count << " in " << c.w << "x" << c.h;
    }
}

TEST(ThumbnailGrid, CellsInBothFillOrders) {
    const QSize area(300, 200);
    const ThumbnailGrid g{2, 3};
    // Column by column: down first, then the next column.
    EXPECT_EQ(g.Cell(0, area, FillOrder::ColumnByColumn), QRect(0, 0, 100, 100));
    EXPECT_EQ(g.Cell(1, area, FillOrder::ColumnByColumn), QRect(0, 100, 100, 100));
    EXPECT_EQ(g.Cell(2, area, FillOrder::ColumnByColumn), QRect(100, 0, 100, 100));
    EXPECT_EQ(g.Cell(1, area, FillOrder::RowByRow), QRect(100, 0, 100, 100));
    EXPECT_EQ(g.Cell(3, area, FillOrder::RowByRow), QRect(0, 100, 100, 100));
    for (FillOrder order : {FillOrder::ColumnByColumn, FillOrder::RowByRow})
        for (int k = 0; k < g.Capacity(); ++k)
            EXPECT_EQ(g.CellAt(g.Cell(k, area, order).center(), area, order), k);
    EXPECT_EQ(g.CellAt({300, 10}, area, FillOrder::RowByRow), -1);
    EXPECT_EQ(g.CellAt({-1, 10}, area, FillOrder::RowByRow), -1);
    // A remainder strip on the right is no cell.
    const ThumbnailGrid strip{1, 3};
    EXPECT_EQ(strip.CellAt({301, 0}, {302, 100}, FillOrder::RowByRow), -1);
}

TEST(ThumbnailGrid, CountUpAndDown) {
    const QSize square(300, 300);
    EXPECT_EQ(CountUp(9, square), 12);
    EXPECT_EQ(CountDown(12, square), 9);
    EXPECT_EQ(CountDown(2, square), 1);
    // At 1 x 1 there is nothing smaller: the count stays, and the button is off.
    EXPECT_EQ(CountDown(1, square), 1);
    EXPECT_FALSE(CountDownEnabled(1, square));
    EXPECT_TRUE(CountDownEnabled(2, square));
    // The count stops at 50, even where the grid holds more.
    EXPECT_EQ(CountUp(49, square), ThumbnailGrid::For(50, square).Capacity());
    EXPECT_TRUE(CountUpEnabled(49));
    EXPECT_FALSE(CountUpEnabled(50));
    // Up then down comes back on every count the window can show.
    for (int n = 1; n < 40; ++n) {
        const int capacity = ThumbnailGrid::For(n, square).Capacity();
        EXPECT_EQ(CountDown(CountUp(capacity, square), square), capacity) << n;
    }
}

TEST(ThumbnailGrid, FirstRowAndPaging) {
    EXPECT_EQ(FirstThumbnailRow(0, 9), 0);
    EXPECT_EQ(FirstThumbnailRow(3, 9), 0);
    EXPECT_EQ(FirstThumbnailRow(10, 9), 6);
    EXPECT_EQ(FirstThumbnailRow(-1, 9), 0); // no selection
    const ThumbnailGrid g{2, 4};
    EXPECT_EQ(PagingStep(PagingButton::BackHalf, 9, g, FillOrder::RowByRow), -4);
    EXPECT_EQ(PagingStep(PagingButton::BackLine, 9, g, FillOrder::ColumnByColumn), -2);
    EXPECT_EQ(PagingStep(PagingButton::ForwardLine, 9, g, FillOrder::RowByRow), 4);
    EXPECT_EQ(PagingStep(PagingButton::ForwardHalf, 9, g, FillOrder::RowByRow), 4);
}

TEST(ThumbnailGrid, FitIntoCell) {
    const QRect cell(100, 200, 100, 100);
    struct Case {
        QSize picture;
        bool keep;
        QRect drawn;
    } cases[] = {
        {{400, 100}, true, {100, 237, 100, 25}}, // centred vertically
        {{100, 400}, true, {137, 200, 25, 100}},
        {{50, 50}, true, cell}, // enlarged to the cell
        {{400, 100}, false, cell},
        {{0, 100}, true, cell}, // nothing to scale by
        {{9999, 10000}, true, {100, 200, 99, 100}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FitIntoCell(cell, c.picture, c.keep), c.drawn) << c.picture.width();
    // A landscape cell narrower in proportion than the picture: reduced to the cell height.
    EXPECT_EQ(FitIntoCell({0, 0, 100, 20}, {200, 100}, true), QRect(30, 0, 40, 20));
}

} // namespace
} // namespace lumidex
