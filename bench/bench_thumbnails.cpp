// The thumbnail window's drawing over 24-megapixel JPEGs: a 50-cell grid drawn afresh with the
// reduced decoding (and with the full decode, for comparison), and the redraw after the
// selection moved by one row and by one line of the grid.
// The pictures (6000 x 4000) are made once under $TMPDIR/lumidex2-bench-thumbs/: a real
// photograph of the lumibench corpus enlarged when it is there, a photograph-like picture
// otherwise, and 50 hard links to them so that every cell has its own path.
#include "EntryList.h"
#include "PictureReader.h"
#include "TestPictures.h"
#include "ThumbnailDecoder.h"
#include "ThumbnailDrawing.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

using namespace lumidex;
namespace fs = std::filesystem;

namespace {

constexpr int kCells = 50;
const QSize kArea(1000, 700); // 50 cells of 142 x 100 on a large window

std::vector<std::string> Pictures() {
    static std::vector<std::string> paths = [] {
        const char* tmp = std::getenv("TMPDIR");
        const fs::path dir = fs::path(tmp ? tmp : "/tmp") / "lumidex2-bench-thumbs";
        fs::create_directories(dir);
        const fs::path sources[2] = {dir / "photo.jpg", dir / "waves.jpg"};
        if (!fs::exists(sources[0])) {
            QImage real;
            if (ReadPicture(real, "/tmp/lumibench/originals/lom-Kleiber.jpg") != 0)
                real = test::PhotoLikePicture(1500, 1000, 9);
            test::WriteJpeg(sources[0].string(), real.scaled(6000, 4000, Qt::IgnoreAspectRatio,
                                                             Qt::SmoothTransformation));
        }
        if (!fs::exists(sources[1]))
            test::WriteJpeg(sources[1].string(), test::PhotoLikePicture(6000, 4000, 4));
        std::vector<std::string> out;
        for (int i = 0; i < kCells + 20; ++i) {
            const fs::path link = dir / ("cell" + std::to_string(i) + ".jpg");
            if (!fs::exists(link)) fs::create_hard_link(sources[i % 2], link);
            out.push_back(link.string());
        }
        return out;
    }();
    return paths;
}

struct Grid {
    std::vector<std::unique_ptr<Pdata>> entries;
    EntryList list;
    ThumbnailDrawing drawing;
    // Set: the cells are decoded ahead on worker threads, as the window does.
    std::unique_ptr<ThumbnailDecoder> decoder;
    explicit Grid(ThumbnailDrawing::Reader reader) : drawing(std::move(reader)) {
        int i = 0;
        for (const std::string& p : Pictures()) {
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

// A grid whose reader takes the worker threads' results.
std::unique_ptr<Grid> AheadGrid() {
    auto g = std::make_unique<Grid>(nullptr);
    g->decoder = std::make_unique<ThumbnailDecoder>(ThumbnailDrawing::ReadForCell);
    ThumbnailDecoder* decoder = g->decoder.get();
    g->drawing = ThumbnailDrawing([decoder](QImage& picture, const std::string& path, QSize) {
        return decoder->Take(path, picture) == ThumbnailDecoder::State::Ready;
    });
    g->drawing.Resize(kArea);
    return g;
}

bool FullDecode(QImage& picture, const std::string& path, QSize) {
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

// The window's way: cells decoded on worker threads (one per processor) ahead of the drawing.
void BM_Grid50FreshAhead(benchmark::State& state) {
    auto g = AheadGrid();
    for (auto _ : state) {
        g->drawing.ForgetAll();
        g->drawing.readCount = 0;
        g->Draw(25);
    }
    state.counters["cells"] = g->drawing.Capacity();
    state.counters["decoded"] = g->drawing.readCount;
}
BENCHMARK(BM_Grid50FreshAhead)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Iterations(5);

void BM_Grid50StepAhead(benchmark::State& state) {
    auto g = AheadGrid();
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
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
