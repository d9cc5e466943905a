// The organising tools at the scale of a kept catalogue: importing a list of 1 000 000 paths
// from clipboard text (in path order and shuffled), searching the catalogue for such a list,
// assigning a memo to a 100 000-row
// reference list, a memo search over 1 000 000 entries, the folder explorer's tree from
// 100 000 folder runs, and listing every mismatch group of 1 000 000 entries.
#include "ClipboardLists.h"
#include "DataFilter.h"
#include "FolderExplorer.h"
#include "MemoAssign.h"
#include "MismatchGroups.h"
#include "Paths.h"
#include "RecordingFrame.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <random>

using namespace lumidex;

namespace {

std::string PathOf(int i) {
    char path[64];
    std::snprintf(path, sizeof path, "/bench/d%05d/img%07d.jpg", i / 10, i);
    return path;
}

struct World {
    test::RecordingFrame frame;
    SharedState state{frame, "/nonexistent/"};
    Catalogue catalogue;
    Options options;
    StatCache stat;
    Lists lists{state, catalogue, options, stat};
    DataManage memos;
    explicit World(int n) {
        catalogue.Reserve(static_cast<size_t>(n));
        for (int i = 0; i < n; ++i) {
            auto e = std::make_unique<Pdata>(PathOf(i));
            e->key = static_cast<uint32_t>(i * 2654435761u);
            if (i % 3 == 0) e->AddMemo(i % 1000);
            if (i % 50 < 2) e->mismatchGroup = static_cast<uint16_t>(1 + (i / 50) % 8000);
            catalogue.Insert(std::move(e));
        }
        memos.AddGroup("G", 100);
        for (int m = 0; m < 1000; ++m)
            memos.PutMemo("memo" + std::to_string(m), 100);
    }
};

void BM_ImportListFromText(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    std::vector<int> order(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        order[static_cast<size_t>(i)] = i;
    if (state.range(1)) std::shuffle(order.begin(), order.end(), std::mt19937(7));
    std::string text;
    for (int i : order)
        text += PathOf(i) + " (1000 bytes,Mon Dec 08 20:12:05 2003)\r\n";
    for (auto _ : state) {
        state.PauseTiming();
        auto w = std::make_unique<World>(0);
        w->options.AllowRobustOperation = state.range(2) != 0;
        state.ResumeTiming();
        benchmark::DoNotOptimize(ImportListFromText(w->lists, text));
        state.PauseTiming();
        w.reset();
        state.ResumeTiming();
    }
}
// range(1): shuffled lines; range(2): AllowRobustOperation (events let run after each line).
BENCHMARK(BM_ImportListFromText)
    ->Args({1000000, 0, 1})
    ->Args({1000000, 1, 1})
    ->Args({1000000, 0, 0})
    ->Args({1000000, 1, 0})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

// "Search List from Clipboard": a shuffled list of every path of a 1 000 000-entry catalogue.
void BM_SearchListFromText(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    World w(n);
    w.options.AllowRobustOperation = true;
    std::vector<int> order(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        order[static_cast<size_t>(i)] = i;
    std::shuffle(order.begin(), order.end(), std::mt19937(7));
    std::string text;
    for (int i : order)
        text += PathOf(i) + " (1000 bytes,Mon Dec 08 20:12:05 2003)\r\n";
    for (auto _ : state) {
        SearchListFromText(w.lists, text);
        benchmark::DoNotOptimize(w.lists.reference.Count());
    }
}
BENCHMARK(BM_SearchListFromText)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_AllSetOnReferenceList(benchmark::State& state) {
    World w(100000);
    w.lists.ListAllEntries();
    w.frame.answers.clear();
    bool set = true;
    for (auto _ : state) {
        w.frame.answers = {Answer::Yes};
        benchmark::DoNotOptimize(SetMemoOnReferenceList(w.lists, w.memos, 5, set));
        set = !set;
    }
}
BENCHMARK(BM_AllSetOnReferenceList)->Unit(benchmark::kMillisecond);

void BM_MemoSearch(benchmark::State& state) {
    World w(1000000);
    for (auto _ : state)
        benchmark::DoNotOptimize(ApplyFilter(w.lists, Method::RBNormal, MemoTest(7)));
}
BENCHMARK(BM_MemoSearch)->Unit(benchmark::kMillisecond);

void BM_FolderTreeRebuild(benchmark::State& state) {
    FolderList list;
    std::vector<std::unique_ptr<Pdata>> entries;
    for (int i = 0; i < 100000; ++i) {
        char path[96];
        std::snprintf(path, sizeof path, "/home/user/Pictures/%03d/%03d/%02d/img.jpg", i / 1000,
                      (i / 10) % 100, i % 10);
        entries.push_back(std::make_unique<Pdata>(path));
        list.emplace_back(std::string(paths::FolderPart(path)), entries.back().get());
    }
    for (auto _ : state) {
        FolderTree tree;
        tree.Rebuild(list);
        benchmark::DoNotOptimize(tree.Count());
    }
}
BENCHMARK(BM_FolderTreeRebuild)->Unit(benchmark::kMillisecond);

void BM_MismatchGroupsListed(benchmark::State& state) {
    World w(1000000);
    for (auto _ : state) {
        MismatchEditorRows rows;
        rows.Build(w.catalogue);
        benchmark::DoNotOptimize(rows.Count());
    }
}
BENCHMARK(BM_MismatchGroupsListed)->Unit(benchmark::kMillisecond);

} // namespace
BENCHMARK_MAIN();
