// The thumbnail window's drawing over 24-megapixel JPEGs: a 50-cell grid drawn afresh with the
// reduced decoding (and with the full decode, for comparison), of plain JPEGs and of camera-like
// ones that embed an Exif thumbnail, a second visit that finds the shared thumbnail cache
// filled, and the redraw after the selection moved by one row and by one line of the grid.
// The pictures are made once under $TMPDIR/lumidex2-bench-thumbs/: plain ones (6000 x 4000) of a
// real photograph of the lumibench corpus enlarged when it is there, a photograph-like picture
// otherwise; camera-like ones of the same (6000 x 4000 with an Exif thumbnail of 160 x 120, the
// picture between black bars as 3:2 cameras keep it);
// and hard links to them so that every cell has its own path. The thumbnail cache lives in the
// same folder and is emptied before every fresh drawing.
#include "EntryList.h"
#include "ExifTestPicture.h"
#include "LargePages.h"
#include "PictureReader.h"
#include "TestPictures.h"
#include "ThumbnailCache.h"
#include "ThumbnailDecoder.h"
#include "ThumbnailDrawing.h"
#include "ThumbnailSource.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

using namespace lumidex;
namespace fs = std::filesystem;

namespace {

constexpr int kCells = 50;
const QSize kArea(1000, 700); // 50 cells of 142 x 100 on a large window

fs::path BenchFolder() {
    const char* tmp = std::getenv("TMPDIR");
    return fs::path(tmp ? tmp : "/tmp") / "lumidex2-bench-thumbs";
}

const ThumbnailCache& Cache() {
    static const ThumbnailCache cache((BenchFolder() / "cache" / "thumbnails").string());
    return cache;
}

void EmptyCache() {
    fs::remove_all(BenchFolder() / "cache");
}

QImage Photograph() {
    QImage real;
    if (ReadPicture(real, "/tmp/lumibench/originals/lom-Kleiber.jpg") != 0)
        real = test::PhotoLikePicture(1500, 1000, 9);
    return real;
}

// camera: the camera-like pictures with an Exif thumbnail; else the plain ones.
std::vector<std::string> Pictures(bool camera = false) {
    static std::vector<std::string> paths[2];
    std::vector<std::string>& out = paths[camera ? 1 : 0];
    if (!out.empty()) return out;
    const fs::path dir = BenchFolder() / (camera ? "camera-3x2" : "plain");
    fs::create_directories(dir);
    const fs::path sources[2] = {dir / "photo.jpg", dir / "waves.jpg"};
    const QSize size(6000, 4000);
    for (int i = 0; i < 2; ++i) {
        if (fs::exists(sources[i])) continue;
        const QImage picture =
            i == 0 ? Photograph().scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                   : test::PhotoLikePicture(size.width(), size.height(), 4);
        if (camera)
            std::ofstream(sources[i], std::ios::binary)
                << test::CameraJpeg(picture, QSize(160, 120), 1, 92, true);
        else
            test::WriteJpeg(sources[i].string(), picture);
    }
    for (int i = 0; i < kCells + 20; ++i) {
        const fs::path link = dir / ("cell" + std::to_string(i) + ".jpg");
        if (!fs::exists(link)) fs::create_hard_link(sources[i % 2], link);
        out.push_back(link.string());
    }
    return out;
}

bool WindowRead(QImage& picture, const std::string& path, QSize cell, bool keepAspect) {
    return ReadThumbnail(picture, path, cell, keepAspect, &Cache());
}

struct Grid {
    std::vector<std::unique_ptr<Pdata>> entries;
    EntryList list;
    ThumbnailDrawing drawing;
    // Set: the cells are decoded ahead on worker threads, as the window does.
    std::unique_ptr<ThumbnailDecoder> decoder;
    explicit Grid(ThumbnailDrawing::Reader reader, bool camera = false)
        : drawing(std::move(reader)) {
        int i = 0;
        for (const std::string& p : Pictures(camera)) {
            entries.push_back(std::make_unique<Pdata>(p));
            list.Add(std::to_string(1000 + i++), entries.back().get());
        }
        drawing.Resize(kArea);
    }
    void Draw(int selected) {
        list.ClearSelection();
        list.Select(selected);
        drawing.Begin(list, kCells, FillOrder::ColumnByColumn, true);
        if (decoder) decoder->Start(drawing.PathsToRead(), drawing.CellSize(), true);
        for (;;) {
            if (const std::string* next = drawing.NextRead(); next && decoder)
                decoder->WaitFor(*next);
            if (!drawing.Step()) break;
        }
    }
};

// The window's way: cells read on worker threads (one per processor) ahead of the drawing,
// through the thumbnail cache.
std::unique_ptr<Grid> AheadGrid(bool camera = false) {
    auto g = std::make_unique<Grid>(nullptr, camera);
    g->decoder = std::make_unique<ThumbnailDecoder>(WindowRead);
    ThumbnailDecoder* decoder = g->decoder.get();
    g->drawing = ThumbnailDrawing([decoder](QImage& picture, const std::string& path, QSize, bool) {
        return decoder->Take(path, picture) == ThumbnailDecoder::State::Ready;
    });
    g->drawing.Resize(kArea);
    return g;
}

bool FullDecode(QImage& picture, const std::string& path, QSize, bool) {
    return ReadPictureFile(picture, path) == ReadOutcome::Ok;
}

void BM_Grid50Fresh(benchmark::State& state) {
    Grid g(state.range(0) ? ThumbnailDrawing::ReadForCell : FullDecode);
    for (auto _ : state) {
        g.drawing.ForgetAll();
        g.drawing.readCount = 0;
        g.Draw(25);
    }
    state.counters["cells"] = g.drawing.Capacity();
    state.counters["decoded"] = g.drawing.readCount;
}
BENCHMARK(BM_Grid50Fresh)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Iterations(5);
BENCHMARK(BM_Grid50Fresh)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Iterations(1);

// range(0): 0 plain JPEGs, 1 camera-like JPEGs (both with an empty cache, which the drawing
// fills), 2 plain JPEGs again with the cache filled (a second visit).
void BM_Grid50FreshAhead(benchmark::State& state) {
    const int kind = static_cast<int>(state.range(0));
    auto g = AheadGrid(kind == 1);
    EmptyCache();
    if (kind == 2) g->Draw(25);
    for (auto _ : state) {
        state.PauseTiming();
        if (kind != 2) EmptyCache();
        g->drawing.ForgetAll();
        g->drawing.readCount = 0;
        state.ResumeTiming();
        g->Draw(25);
    }
    state.counters["cells"] = g->drawing.Capacity();
    state.counters["read"] = g->drawing.readCount;
}
BENCHMARK(BM_Grid50FreshAhead)
    ->ArgName("plain0_camera1_cached2")
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Iterations(5);

void BM_Grid50StepAhead(benchmark::State& state) {
    auto g = AheadGrid();
    EmptyCache();
    int selected = 25;
    g->Draw(selected);
    for (auto _ : state) {
        state.PauseTiming();
        if (selected + 1 > 40) {
            selected = 25;
            g->Draw(selected);
        }
        g->drawing.readCount = 0;
        state.ResumeTiming();
        g->Draw(++selected);
    }
    state.counters["decoded"] = g->drawing.readCount;
}
BENCHMARK(BM_Grid50StepAhead)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Iterations(10);

// range(0): rows the selection moves by (1: one list row; the grid's rows: one line).
void BM_Grid50Step(benchmark::State& state) {
    Grid g(ThumbnailDrawing::ReadForCell);
    const int step = static_cast<int>(state.range(0));
    int selected = 25;
    g.Draw(selected);
    for (auto _ : state) {
        state.PauseTiming();
        if (selected + step > 40) {
            selected = 25;
            g.Draw(selected);
        }
        g.drawing.readCount = 0;
        state.ResumeTiming();
        selected += step;
        g.Draw(selected);
    }
    state.counters["decoded"] = g.drawing.readCount;
    state.counters["rows"] = g.drawing.Grid().rows;
}
BENCHMARK(BM_Grid50Step)
    ->Arg(1)
    ->Arg(6)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Iterations(10);

} // namespace

int main(int argc, char** argv) {
    lumidex::StartWithLargePages(argv); // as the program starts
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
