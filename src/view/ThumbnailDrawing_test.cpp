#include "ThumbnailDrawing.h"

#include "EntryList.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>

namespace lumidex {
namespace {

// A reference list of entries "/p/<n>.jpg"; each picture is one colour, 60 x 60 unless sized.
struct Thumbnails {
    std::vector<std::unique_ptr<Pdata>> entries;
    EntryList list;
    std::map<std::string, QSize> sizes;
    std::set<std::string> unreadable;
    int reads = 0;
    ThumbnailDrawing drawing{[this](QImage& picture, const std::string& path, QSize, bool) {
        ++reads;
        if (unreadable.count(path)) return false;
        auto it = sizes.find(path);
        picture = QImage(it == sizes.end() ? QSize(60, 60) : it->second, QImage::Format_RGB32);
        picture.fill(ColourOf(path));
        return true;
    }};

    explicit Thumbnails(int rows, QSize area = {300, 300}) {
        for (int i = 0; i < rows; ++i) {
            entries.push_back(std::make_unique<Pdata>(Path(i)));
            list.Add(std::to_string(1000 + i), entries.back().get());
        }
        drawing.Resize(area);
    }
    static std::string Path(int i) { return "/p/" + std::to_string(i) + ".jpg"; }
    static QRgb ColourOf(const std::string& path) {
        const int n = std::stoi(path.substr(3));
        return qRgb(n * 10 % 256, 255 - n, 100);
    }
    void Draw(int selected, int count = 9, FillOrder order = FillOrder::ColumnByColumn,
              bool keepAspect = true) {
        list.ClearSelection();
        list.Select(selected);
        drawing.Begin(list, count, order, keepAspect);
        while (drawing.Step()) {
        }
    }
    QRgb At(int cell, FillOrder order = FillOrder::ColumnByColumn) const {
        const QRect r = drawing.Grid().Cell(cell, drawing.Area(), order);
        return drawing.Picture().pixel(r.center());
    }
    bool Hatched(int cell) const {
        const QRgb p = At(cell);
        return p == qRgb(0, 0, 0) || p == qRgb(255, 255, 255);
    }
};

TEST(ThumbnailDrawing, FirstRowsFromTheTopLeftAndHatchBeyondTheEnd) {
    Thumbnails t(5);
    t.Draw(0);
    EXPECT_EQ(t.drawing.Capacity(), 9);
    EXPECT_EQ(t.reads, 5);
    for (int k = 0; k < 5; ++k)
        EXPECT_EQ(t.At(k), Thumbnails::ColourOf(Thumbnails::Path(k))) << k;
    for (int k = 5; k < 9; ++k)
        EXPECT_TRUE(t.Hatched(k)) << k;
    ASSERT_EQ(t.drawing.Records().size(), 5u);
    EXPECT_EQ(t.drawing.focusFrame, QRect(0, 0, 99, 99));
    ASSERT_NE(t.drawing.RecordAt({150, 50}), nullptr);
    EXPECT_EQ(t.drawing.RecordAt({150, 50})->path, Thumbnails::Path(3)); // column by column
    EXPECT_EQ(t.drawing.RecordAt({250, 250}), nullptr);
}

TEST(ThumbnailDrawing, OneRowStepReadsOnlyTheNewPicture) {
    for (FillOrder order : {FillOrder::ColumnByColumn, FillOrder::RowByRow}) {
        Thumbnails t(30);
        t.Draw(10, 9, order);
        EXPECT_EQ(t.reads, 9);
        t.Draw(11, 9, order);
        EXPECT_EQ(t.reads, 10);
        // Every cell, copied or read, shows its own row: start is 11 - 4 = 7.
        for (int k = 0; k < 9; ++k)
            EXPECT_EQ(t.At(k, order), Thumbnails::ColourOf(Thumbnails::Path(7 + k))) << k;
    }
}

TEST(ThumbnailDrawing, AbandonedDrawingLeavesNothingStale) {
    Thumbnails t(30);
    t.Draw(10);
    t.list.ClearSelection();
    t.list.Select(20);
    t.drawing.Begin(t.list, 9, FillOrder::ColumnByColumn, true);
    t.drawing.Step();
    t.drawing.Step();
    // The selection moved on while events ran between cells.
    t.Draw(12);
    for (int k = 0; k < 9; ++k)
        EXPECT_EQ(t.At(k), Thumbnails::ColourOf(Thumbnails::Path(8 + k))) << k;
    EXPECT_EQ(t.drawing.Records().size(), 9u);
}

TEST(ThumbnailDrawing, ErrorPictureKeepAspectAndForget) {
    Thumbnails t(3);
    t.unreadable.insert(Thumbnails::Path(1));
    t.sizes[Thumbnails::Path(2)] = {400, 100};
    t.Draw(0);
    // The unreadable file: the error picture over its cell, not the hatch, not a colour.
    EXPECT_FALSE(t.Hatched(1));
    EXPECT_NE(t.At(1), Thumbnails::ColourOf(Thumbnails::Path(1)));
    // 400 x 100 in a 100 x 100 cell: 100 x 25, centred, hatch above and below.
    const Thumlist& wide = t.drawing.Records()[2];
    EXPECT_EQ(wide.drawn, QRect(0, 237, 100, 25));
    EXPECT_EQ(t.drawing.Picture().pixel(50, 249), Thumbnails::ColourOf(Thumbnails::Path(2)));
    const QRgb above = t.drawing.Picture().pixel(50, 210);
    EXPECT_TRUE(above == qRgb(0, 0, 0) || above == qRgb(255, 255, 255));

    // Without KeepAspect the picture fills its cell.
    t.drawing.Reset();
    t.Draw(0, 9, FillOrder::ColumnByColumn, false);
    EXPECT_EQ(t.drawing.Picture().pixel(50, 210), Thumbnails::ColourOf(Thumbnails::Path(2)));

    // Forgetting one entry reads it again; the others are copied.
    t.reads = 0;
    t.drawing.Forget(Thumbnails::Path(0));
    t.Draw(0, 9, FillOrder::ColumnByColumn, false);
    EXPECT_EQ(t.reads, 1);
    t.reads = 0;
    t.drawing.ForgetAll();
    t.Draw(0, 9, FillOrder::ColumnByColumn, false);
    EXPECT_EQ(t.reads, 3);
}

TEST(ThumbnailDrawing, ListShrinkingBetweenCells) {
    Thumbnails t(9);
    t.list.Select(4);
    t.drawing.Begin(t.list, 9, FillOrder::ColumnByColumn, true);
    t.drawing.Step();
    for (int i = 8; i >= 2; --i) {
        t.list.RemoveAt(i);
        t.entries.pop_back(); // the entry is freed: records keep only its path
    }
    while (t.drawing.Step()) {
    }
    EXPECT_EQ(t.drawing.Records().size(), 2u);
    EXPECT_TRUE(t.Hatched(5));
}

TEST(ThumbnailDrawing, ResizeDropsReuse) {
    Thumbnails t(20);
    t.Draw(5);
    t.drawing.Resize({200, 200});
    t.reads = 0;
    t.Draw(5);
    EXPECT_EQ(t.reads, 9);
    EXPECT_EQ(t.At(0), Thumbnails::ColourOf(Thumbnails::Path(1)));
}

} // namespace
} // namespace lumidex
