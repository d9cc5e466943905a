// Preview work for one pane against a plain libjpeg decode: a JPEG of 1, 12 or 24 megapixels
// read and scaled for the pane as the window does it (cache off), and a cached copy drawn
// (cache on). bench_preview_window times the same through the main window, both panes.
#include "PlainJpegDecode.h"
#include "PreviewCache.h"
#include "PreviewPane.h"
#include "TempDir.h"
#include "TestPictures.h"

#include <benchmark/benchmark.h>

#include <QImage>

namespace {

const int kSides[][2] = {{1155, 866}, {4000, 3000}, {6000, 4000}};

const std::string& Picture(int which) {
    static lumidex::test::TempDir dir;
    static std::string paths[3];
    if (paths[which].empty()) {
        paths[which] = dir.File("p" + std::to_string(which) + ".jpg");
        lumidex::test::WriteJpeg(
            paths[which], lumidex::test::PhotoLikePicture(kSides[which][0], kSides[which][1], 7));
    }
    return paths[which];
}

// What the pane draws: the picture stretched smoothly into its area.
QImage PaneCopy(const QImage& picture, int w, int h) {
    lumidex::AreaGeometry g = lumidex::PreviewAreaGeometry(w, h, true);
    return picture.scaled(g.width, g.height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

void PlainDecode(benchmark::State& state) {
    const std::string& path = Picture(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        std::unique_ptr<JSAMPLE[]> pixels;
        size_t capacity = 0;
        PlainJpegDecode(path, pixels, capacity);
        benchmark::DoNotOptimize(pixels.get());
    }
}

void PreviewUncached(benchmark::State& state) {
    const std::string& path = Picture(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        lumidex::PanePicture read;
        lumidex::ReadPanePicture(path, lumidex::kPreviewSide, read);
        benchmark::DoNotOptimize(PaneCopy(read.picture, read.fullWidth, read.fullHeight).bits());
    }
}

void PreviewCached(benchmark::State& state) {
    const std::string& path = Picture(static_cast<int>(state.range(0)));
    lumidex::PanePicture read;
    lumidex::ReadPanePicture(path, lumidex::kPreviewSide, read);
    lumidex::PreviewCache cache;
    cache.Add(read.picture, read.fullWidth, read.fullHeight, {path, 1, 1}, 20);
    for (auto _ : state) {
        const int at = cache.Find({path, 1, 1});
        const auto& item = cache.At(at);
        benchmark::DoNotOptimize(PaneCopy(item.picture, item.fullWidth, item.fullHeight).bits());
    }
}

BENCHMARK(PlainDecode)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(PreviewUncached)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(PreviewCached)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
