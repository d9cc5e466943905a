// Batch file commands over a catalogue of 1 000 000 entries: trashing and moving 10 000
// selected targets (the disk replaced by a port that succeeds at once, so the figures are the
// catalogue's and the lists' work), and the unlinked search, one real stat per entry.
#include "CopyMove.h"
#include "DeleteRename.h"
#include "PathMaintenance.h"

#include <benchmark/benchmark.h>

#include <cerrno>
#include <cstdio>
#include <memory>

using namespace lumidex;

namespace {

// Sources exist, the destination folder exists, nothing else does; every change succeeds.
class InstantDisk : public FileSystem {
public:
    int Stat(const std::string& path, FileInfo& info) override {
        info = {};
        if (path.rfind("/bench/", 0) != 0 && path != "/dest") return ENOENT;
        info.exists = true;
        info.isFolder = path == "/dest";
        info.device = 1;
        info.inode = std::hash<std::string>{}(path);
        return 0;
    }
    int CopyFile(const std::string&, const std::string&) override { return 0; }
    int Rename(const std::string&, const std::string&, bool) override { return 0; }
    int Trash(const std::string&, std::string&) override { return 0; }
    int Restore(const std::string&, const std::string&) override { return 0; }
    int Unlink(const std::string&) override { return 0; }
    int MakeFolders(const std::string&) override { return 0; }
    int List(const std::string&, std::vector<FolderItem>&) override { return ENOENT; }
    int64_t FreeSpace(const std::string&) override { return 0; }
    bool Writable(const std::string&) override { return true; }
};

struct Setup {
    NullFrame frame;
    SharedState state{frame, "/nonexistent/"};
    Catalogue catalogue;
    Options options;
    StatCache stat;
    Lists lists{state, catalogue, options, stat};
    FolderList folders;
    InstantDisk disk;
    RealFileSystem real;
    FileOpsParts parts{state, catalogue, lists, options, folders, disk};

    explicit Setup(int n, const char* root = "/bench") {
        catalogue.Reserve(static_cast<size_t>(n));
        for (int i = 0; i < n; ++i) {
            char path[80];
            std::snprintf(path, sizeof path, "%s/d%04d/img%07d.jpg", root, i / 500, i);
            auto e = std::make_unique<Pdata>(path);
            e->key = static_cast<uint32_t>(i);
            catalogue.Insert(std::move(e));
        }
        options.ConfirmDelete = false;
        lists.UpdateReferenceList();
    }
    // Every hundredth entry in the target list, selected.
    void SelectTargets(int count) {
        std::vector<ListRow> rows;
        const int step = catalogue.Count() / count;
        for (int i = 0; i < count; ++i) {
            Pdata& e = catalogue.Entry(i * step);
            rows.push_back(ListRow{lists.SortKeyOf(e), &e, true});
        }
        lists.target.Assign(std::move(rows));
    }
};

void BM_DeleteTargets(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        Setup s(static_cast<int>(state.range(0)));
        s.SelectTargets(10000);
        state.ResumeTiming();
        DeleteSelectedTargets(s.parts);
        benchmark::DoNotOptimize(s.catalogue.Count());
    }
}

void BM_MoveTargets(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        Setup s(static_cast<int>(state.range(0)));
        s.SelectTargets(10000);
        state.ResumeTiming();
        MoveSelectedTargets(s.parts, "/dest", nullptr);
        benchmark::DoNotOptimize(s.catalogue.Count());
    }
}

void BM_UnlinkedSearch(benchmark::State& state) {
    Setup s(static_cast<int>(state.range(0)), "/nonexistent-bench");
    FileOpsParts real{s.state, s.catalogue, s.lists, s.options, s.folders, s.real};
    for (auto _ : state)
        benchmark::DoNotOptimize(FindUnlinkedEntries(real).size());
}

} // namespace

BENCHMARK(BM_DeleteTargets)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_MoveTargets)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_UnlinkedSearch)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_MAIN();
