// Decoding plus signature against a plain libjpeg decode of the same files, in the same run.
// Pictures per second and megapixels per second for each picture size.
#include "Frame.h"
#include "PictureReader.h"
#include "PlainJpegDecode.h"
#include "Signature.h"
#include "TestPictures.h"

#include <QImage>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <jpeglib.h>

namespace {

using namespace lumidex;

struct Size {
    int width, height;
};
constexpr Size kSizes[] = {{640, 480}, {1920, 1080}, {4000, 3000}};

// One JPEG per size, written once into a temporary folder.
const std::string& JpegFile(int index) {
    static std::map<int, std::string> files;
    static std::string folder;
    if (folder.empty()) {
        std::string pattern = "/tmp/lumidex2-bench-XXXXXX";
        if (!::mkdtemp(pattern.data())) std::abort();
        folder = pattern + "/";
        std::atexit([] {
            for (auto& [i, f] : files)
                std::remove(f.c_str());
            std::remove(folder.c_str());
        });
    }
    auto it = files.find(index);
    if (it == files.end()) {
        const Size s = kSizes[index];
        std::string path =
            folder + std::to_string(s.width) + "x" + std::to_string(s.height) + ".jpg";
        test::WriteJpeg(path, test::PhotoLikePicture(s.width, s.height, 42), {.quality = 90});
        it = files.emplace(index, path).first;
    }
    return it->second;
}

void Report(benchmark::State& state, int index) {
    const double mp = kSizes[index].width * static_cast<double>(kSizes[index].height) / 1e6;
    state.counters["pics/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["MP/s"] =
        benchmark::Counter(mp * state.iterations(), benchmark::Counter::kIsRate);
}

// Libjpeg alone, default settings, into a plain buffer: a fresh one each time, as every new
// picture needs (range(1) = 1 reuses one buffer, to show what the allocation costs).
void PlainLibjpeg(benchmark::State& state) {
    const int index = static_cast<int>(state.range(0));
    const bool reuse = state.range(1) != 0;
    const std::string& path = JpegFile(index);
    std::unique_ptr<JSAMPLE[]> pixels;
    size_t capacity = 0;
    for (auto _ : state) {
        PlainJpegDecode(path, pixels, capacity, reuse);
        benchmark::DoNotOptimize(pixels.get());
    }
    Report(state, index);
}

void ReadPictureOnly(benchmark::State& state) {
    const int index = static_cast<int>(state.range(0));
    const std::string& path = JpegFile(index);
    for (auto _ : state) {
        QImage picture;
        if (ReadPicture(picture, path) != 0) state.SkipWithError("read failed");
        benchmark::DoNotOptimize(picture.constBits());
    }
    Report(state, index);
}

void ReadAndSignature(benchmark::State& state) {
    const int index = static_cast<int>(state.range(0));
    const std::string& path = JpegFile(index);
    NullFrame frame;
    for (auto _ : state) {
        QImage picture;
        if (ReadPicture(picture, path) != 0) state.SkipWithError("read failed");
        Pdata entry(path);
        benchmark::DoNotOptimize(
            ComputeSignature(picture, entry, SignatureMode::WholePicture, 0, 0, 0, 0, frame));
    }
    Report(state, index);
}

void SignatureOnly(benchmark::State& state) {
    const int index = static_cast<int>(state.range(0));
    QImage picture;
    ReadPicture(picture, JpegFile(index));
    NullFrame frame;
    for (auto _ : state) {
        Pdata entry("x");
        benchmark::DoNotOptimize(
            ComputeSignature(picture, entry, SignatureMode::WholePicture, 0, 0, 0, 0, frame));
    }
    Report(state, index);
}

// The slow case: a two-tone picture is sampled at every pixel.
void SignatureTwoTone(benchmark::State& state) {
    QImage picture(4000, 3000, QImage::Format_RGB888);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            uchar v = ((x / 7 + y / 5) % 3) ? 255 : 0;
            uchar* p = picture.scanLine(y) + 3 * x;
            p[0] = p[1] = p[2] = v;
        }
    NullFrame frame;
    for (auto _ : state) {
        Pdata entry("x");
        benchmark::DoNotOptimize(
            ComputeSignature(picture, entry, SignatureMode::WholePicture, 0, 0, 0, 0, frame));
    }
    state.counters["MP/s"] =
        benchmark::Counter(12.0 * state.iterations(), benchmark::Counter::kIsRate);
}

BENCHMARK(PlainLibjpeg)->ArgsProduct({{0, 1, 2}, {0, 1}})->Unit(benchmark::kMillisecond);
BENCHMARK(ReadPictureOnly)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(ReadAndSignature)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(SignatureOnly)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);
BENCHMARK(SignatureTwoTone)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
