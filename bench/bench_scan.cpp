// Adding a folder of photographs ("Add Pictures from Folder" and saving the database), against
// a plain single-core libjpeg decode of the same files in the same run. The ratio of the two
// times is what matters: the catalogue work must cost little beside the decoding.
#include "ConsoleFrame.h"
#include "DatabaseFile.h"
#include "PlainJpegDecode.h"
#include "TestPictures.h"
#include "Workspace.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <jpeglib.h>

namespace {

using namespace lumidex;

// Photographs from 0.5 to 5 megapixels, written once.
const std::string& Folder() {
    static std::string folder;
    if (!folder.empty()) return folder;
    std::string pattern = "/tmp/lumidex2-bench-scan-XXXXXX";
    if (!::mkdtemp(pattern.data())) std::abort();
    folder = pattern + "/";
    std::atexit([] { std::filesystem::remove_all(folder); });
    const int sizes[][2] = {{800, 600}, {1280, 960}, {1600, 1200}, {2048, 1536}, {2592, 1944}};
    for (int i = 0; i < 20; ++i) {
        const int* s = sizes[i % 5];
        test::WriteJpeg(folder + "photo" + std::to_string(i) + ".jpg",
                        test::PhotoLikePicture(s[0], s[1], static_cast<uint32_t>(i)),
                        {.quality = 90});
    }
    return folder;
}

std::vector<std::string> Files() {
    std::vector<std::string> out;
    for (const auto& e : std::filesystem::directory_iterator(Folder()))
        if (e.path().extension() == ".jpg") out.push_back(e.path().string());
    return out;
}

void PlainDecode(benchmark::State& state) {
    const std::vector<std::string> files = Files();
    std::unique_ptr<JSAMPLE[]> pixels;
    size_t capacity = 0;
    for (auto _ : state) {
        for (const std::string& path : files) {
            PlainJpegDecode(path, pixels, capacity);
            benchmark::DoNotOptimize(pixels[0]);
        }
    }
    state.counters["files"] = static_cast<double>(files.size());
}

// What "lumidex2-cli scan" does with one folder: a new catalogue, the folder scan, the save;
// the argument is the number of analysis threads (0: every core).
void ScanFolder(benchmark::State& state) {
    const std::string db = Folder() + "bench.ld2";
    NullFrame frame;
    for (auto _ : state) {
        Workspace ws(frame, Folder());
        ws.options.GroupBox2 = SameFilePolicy::NotCare;
        ws.analysisWorkers = static_cast<int>(state.range(0));
        ws.AddPicturesFromFolder(Folder(), {});
        Database parts = ws.DatabaseParts();
        BuildHeader(parts);
        WriteDatabase(parts, db);
        benchmark::DoNotOptimize(ws.catalogue.Count());
        state.counters["files"] = ws.catalogue.Count();
    }
}

} // namespace

BENCHMARK(PlainDecode)->Unit(benchmark::kMillisecond)->MinTime(3);
BENCHMARK(ScanFolder)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->MinTime(3)->UseRealTime();

BENCHMARK_MAIN();
