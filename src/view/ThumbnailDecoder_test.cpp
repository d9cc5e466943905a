#include "ThumbnailDecoder.h"

#include "EntryList.h"
#include "ThumbnailDrawing.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <memory>

namespace lumidex {
namespace {

// Pictures of one colour per path, 80 x 40; paths ending in "bad" cannot be read.
bool FakeDecode(QImage& picture, const std::string& path, QSize, bool) {
    if (path.ends_with("bad")) return false;
    picture = QImage(80, 40, QImage::Format_RGB32);
    picture.fill(qRgb(static_cast<int>(std::hash<std::string>{}(path) % 256), 40, 200));
    return true;
}

struct Rows {
    std::vector<std::unique_ptr<Pdata>> entries;
    EntryList list;
    explicit Rows(int n) {
        for (int i = 0; i < n; ++i) {
            entries.push_back(
                std::make_unique<Pdata>("/p/" + std::to_string(i) + (i == 7 ? "bad" : ".jpg")));
            list.Add(std::to_string(1000 + i), entries.back().get());
        }
    }
};

// Draws the grid around row with the pictures decoded ahead, as the window does.
void DrawAhead(ThumbnailDrawing& drawing, ThumbnailDecoder& decoder, const EntryList& list,
               int count) {
    drawing.Begin(list, count, FillOrder::ColumnByColumn, true);
    decoder.Start(drawing.PathsToRead(), drawing.CellSize(), true);
    for (;;) {
        if (const std::string* next = drawing.NextRead()) decoder.WaitFor(*next);
        if (!drawing.Step()) break;
    }
}

TEST(ThumbnailDecoder, DrawsWhatTheDrawingAloneDrawsAndDecodesOnlyNewCells) {
    Rows rows(30);
    rows.list.Select(10);
    ThumbnailDrawing plain(FakeDecode);
    plain.Resize({300, 200});
    plain.Begin(rows.list, 12, FillOrder::ColumnByColumn, true);
    while (plain.Step()) {
    }

    ThumbnailDecoder decoder(FakeDecode, 2);
    std::atomic<int> fallback = 0;
    ThumbnailDrawing ahead([&](QImage& picture, const std::string& path, QSize cell, bool) {
        switch (decoder.Take(path, picture)) {
        case ThumbnailDecoder::State::Ready:
            return true;
        case ThumbnailDecoder::State::Failed:
            return false;
        default:
            ++fallback;
            return FakeDecode(picture, path, cell, false);
        }
    });
    ahead.Resize({300, 200});
    DrawAhead(ahead, decoder, rows.list, 12);
    EXPECT_EQ(fallback, 0);
    EXPECT_EQ(ahead.Picture(), plain.Picture()); // the unreadable row shows the error picture
    ASSERT_EQ(ahead.Records().size(), plain.Records().size());
    for (size_t i = 0; i < ahead.Records().size(); ++i)
        EXPECT_EQ(ahead.Records()[i].drawn, plain.Records()[i].drawn) << i;

    // One row on: only the row that came into view is decoded again.
    rows.list.ClearSelection();
    rows.list.Select(11);
    ahead.Begin(rows.list, 12, FillOrder::ColumnByColumn, true);
    EXPECT_EQ(ahead.PathsToRead(), std::vector<std::string>{"/p/16.jpg"});
}

TEST(ThumbnailDecoder, ANewBatchDropsTheOldOnesResults) {
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    std::atomic<int> started = 0;
    ThumbnailDecoder decoder(
        [&](QImage& picture, const std::string& path, QSize cell, bool) {
            ++started;
            if (path == "/slow.jpg") released.wait();
            return FakeDecode(picture, path, cell, false);
        },
        1);
    decoder.Start({"/slow.jpg", "/queued.jpg"}, {50, 50}, false);
    while (started == 0)
        std::this_thread::yield();
    decoder.Start({"/new.jpg"}, {50, 50}, false);
    EXPECT_EQ(decoder.Peek("/slow.jpg"), ThumbnailDecoder::State::Unknown);
    release.set_value();
    EXPECT_EQ(decoder.WaitFor("/new.jpg"), ThumbnailDecoder::State::Ready);
    QImage picture;
    EXPECT_EQ(decoder.Take("/slow.jpg", picture), ThumbnailDecoder::State::Unknown);
    EXPECT_EQ(decoder.Take("/queued.jpg", picture), ThumbnailDecoder::State::Unknown);
    EXPECT_EQ(started, 2); // the queued job of the old batch never ran
    ASSERT_EQ(decoder.Take("/new.jpg", picture), ThumbnailDecoder::State::Ready);
    EXPECT_EQ(picture.size(), QSize(50, 50)); // reduced to the cell on the worker
    decoder.Start({"/x.bad"}, {50, 50}, true);
    EXPECT_EQ(decoder.WaitFor("/x.bad"), ThumbnailDecoder::State::Failed);
}

} // namespace
} // namespace lumidex
