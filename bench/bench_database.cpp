// Database read and write over generated catalogues (range: entry count): MB/s each way, and the
// heap memory per entry after a read, beyond the bytes of the paths themselves.
#include "StandaloneDatabase.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <malloc.h>
#include <random>
#include <unistd.h>

namespace {

using namespace lumidex;

struct PiecesFrame {
    NullFrame frame;
};

struct Pieces : PiecesFrame, StandaloneDatabase {
    Pieces() : StandaloneDatabase(frame, "/nonexistent/") {}
};

// Paths of 40 to 90 bytes in about one folder per 300 entries, a memo on every tenth entry, a
// region on every fiftieth.
void Fill(Pieces& p, int count) {
    std::mt19937 rng(7);
    p.memos.AddGroup("Tags", 100);
    for (int i = 0; i < 50; ++i)
        p.memos.PutMemo("tag" + std::to_string(i), 100);
    int folders = std::max(1, count / 300);
    for (int f = 0; f < folders; ++f) {
        // Folders and names in key order, as a catalogue holds them.
        std::string folder = "/home/user/Pictures/" + std::to_string(100000 + f) +
                             std::string(rng() % 20 + 5, 'a') + "/" +
                             std::to_string(2000 + f % 20) + "/";
        for (int i = 0; i < 300 && p.catalogue.Count() < count; ++i) {
            std::string name =
                "IMG_" + std::to_string(100000 + i) + std::string(rng() % 30, 'x') + ".jpg";
            auto e = std::make_unique<Pdata>(folder + name);
            e->key = static_cast<uint32_t>(rng());
            e->code = static_cast<uint32_t>(rng());
            e->fileSize = static_cast<int32_t>(rng() % 5000000);
            e->fileTime = 1600000000 + static_cast<int32_t>(rng() % 100000000);
            if (i % 10 == 0) e->AddMemo(static_cast<int32_t>(rng() % 50));
            if (i % 50 == 0) e->AddRegion(1, 2, Area{0, 0, 100, 100});
            p.catalogue.Insert(std::move(e));
        }
    }
    BuildHeader(p.db);
}

std::string ImageOf(int count) {
    Pieces p;
    Fill(p, count);
    return EncodeDatabase(p.db);
}

// Heap bytes in use.
long HeapBytes() {
    struct mallinfo2 m = mallinfo2();
    return static_cast<long>(m.uordblks + m.hblkhd);
}

void BM_WriteDatabase(benchmark::State& state) {
    Pieces p;
    Fill(p, static_cast<int>(state.range(0)));
    std::string path = "/tmp/lumidex2_bench_" + std::to_string(getpid()) + ".ld2";
    size_t bytes = EncodeDatabase(p.db).size();
    for (auto _ : state)
        WriteDatabase(p.db, path);
    std::remove(path.c_str());
    state.SetBytesProcessed(static_cast<int64_t>(bytes) * state.iterations());
}

void BM_EncodeDatabase(benchmark::State& state) {
    Pieces p;
    Fill(p, static_cast<int>(state.range(0)));
    size_t bytes = 0;
    for (auto _ : state) {
        std::string image = EncodeDatabase(p.db);
        bytes = image.size();
        benchmark::DoNotOptimize(image.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(bytes) * state.iterations());
}

void BM_ReadDatabase(benchmark::State& state) {
    std::string image = ImageOf(static_cast<int>(state.range(0)));
    std::string path = "/tmp/lumidex2_bench_" + std::to_string(getpid()) + ".ld2";
    { std::ofstream(path, std::ios::binary) << image; }
    double perEntry = 0;
    for (auto _ : state) {
        state.PauseTiming();
        long before = HeapBytes();
        auto p = std::make_unique<Pieces>();
        p->options.AllowRobustOperation = false;
        p->state.PendingDatabasePath = path;
        state.ResumeTiming();
        ReadDatabase(p->db);
        state.PauseTiming();
        long after = HeapBytes();
        size_t pathBytes = 0;
        // A path's own bytes: its heap block when it does not fit inside the string.
        for (int i = 0; i < p->catalogue.Count(); ++i) {
            const std::string& path = p->catalogue.Entry(i).path;
            if (path.capacity() > 15) pathBytes += path.capacity() + 1;
        }
        perEntry = static_cast<double>(after - before - static_cast<long>(pathBytes)) /
                   p->catalogue.Count();
        p.reset();
        state.ResumeTiming();
    }
    std::remove(path.c_str());
    state.SetBytesProcessed(static_cast<int64_t>(image.size()) * state.iterations());
    state.counters["bytes_per_entry"] = perEntry;
    state.counters["file_MB"] = static_cast<double>(image.size()) / 1e6;
}

// Importing a catalogue whose folders interleave with those of the open one.
void BM_MergeDatabase(benchmark::State& state) {
    int count = static_cast<int>(state.range(0));
    std::string image = ImageOf(count);
    for (auto _ : state) {
        state.PauseTiming();
        auto p = std::make_unique<Pieces>();
        Fill(*p, count);
        for (int i = 0; i < p->catalogue.Count(); ++i)
            p->catalogue.Entry(i).path += "_";
        p->options.AllowRobustOperation = false;
        p->options.GroupBox2 = SameFilePolicy::NotCare;
        p->state.Merging = true;
        state.ResumeTiming();
        ParseDatabase(p->db, image);
        state.PauseTiming();
        p.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<int64_t>(image.size()) * state.iterations());
}

BENCHMARK(BM_MergeDatabase)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_EncodeDatabase)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteDatabase)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadDatabase)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
