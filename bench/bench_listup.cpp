// List-up ("Has Similar Pics") and target fill over synthetic catalogues: the plain scan next
// to the candidate index, with random signatures and with clustered ones; BM_ListUpTurned
// matches mirrored and turned copies too, BM_ListUpTurnedRatio both in turn; the KeyOnly ones
// run without the second test.
//   range(0): entries; range(1): 0 random, 1 clustered (dark), 2 clustered (measured levels);
//   range(2): 0 plain, 1 indexed
#include "Lists.h"
#include "SignatureIndex.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <random>

using namespace lumidex;

namespace {

// levels 0: cells lean towards dark values, as assumed of many photographs; 1: the levels'
// shares in the signatures of the real photographs of the lumibench corpus (set/).
uint32_t SkewedCode(std::mt19937& rng, int levels = 0) {
    static std::discrete_distribution<int> dark({55, 25, 15, 5});
    static std::discrete_distribution<int> measured({267, 257, 245, 231});
    std::discrete_distribution<int>& cell = levels == 0 ? dark : measured;
    uint32_t code = 0;
    for (int j = 0; j < 16; ++j)
        code |= static_cast<uint32_t>(cell(rng)) << (2 * j);
    return code;
}

// clustered 1: a fifth of the entries in a few hundred groups of near-identical signatures,
// codes leaning dark; 2: the same groups, codes with the real photographs' level shares.
std::unique_ptr<Catalogue> MakeCatalogue(int n, int clustered) {
    const int levels = clustered == 2 ? 1 : 0;
    auto cat = std::make_unique<Catalogue>();
    cat->Reserve(static_cast<size_t>(n));
    std::mt19937 rng(42);
    std::vector<std::pair<uint32_t, uint32_t>> groups;
    for (int g = 0; g < 300; ++g)
        groups.push_back({rng(), SkewedCode(rng, levels)});
    for (int i = 0; i < n; ++i) {
        char path[64];
        std::snprintf(path, sizeof path, "/bench/d%04d/img%07d.jpg", i / 500, i);
        auto e = std::make_unique<Pdata>(path);
        if (clustered && rng() % 5 == 0) {
            auto [k, c] = groups[rng() % groups.size()];
            for (int b = static_cast<int>(rng() % 4); b > 0; --b)
                k ^= 1u << (rng() % 32);
            if (rng() % 2) c ^= 1u << (rng() % 32);
            e->key = k;
            e->code = c;
        } else {
            e->key = rng();
            e->code = clustered ? SkewedCode(rng, levels) : rng();
        }
        e->fileSize = 100000 + static_cast<int32_t>(rng() % 900000);
        e->fileTime = 1000000000 + static_cast<int32_t>(rng() % 100000000);
        cat->Insert(std::move(e));
    }
    return cat;
}

Catalogue& CachedCatalogue(int n, int clustered) {
    static std::map<std::pair<int, int>, std::unique_ptr<Catalogue>> cache;
    auto& slot = cache[{n, clustered}];
    if (!slot) slot = MakeCatalogue(n, clustered);
    return *slot;
}

struct Bench {
    NullFrame frame;
    SharedState state{frame, "/nonexistent/"};
    Options options;
    StatCache stat;
    Lists lists;
    explicit Bench(Catalogue& cat) : lists(state, cat, options, stat) {}
};

void SetUp(Bench& b, bool orientations, bool doubleCheck, bool indexed) {
    b.options.MatchOrientations = orientations;
    b.options.SetDoubleCheck(doubleCheck);
    b.lists.useIndex = indexed;
    b.lists.listAllMode = false;
    b.lists.dataFilter = FilterItem::HasSimilarPics;
}

void ListUp(benchmark::State& st, bool orientations, bool doubleCheck = true) {
    Catalogue& cat = CachedCatalogue(static_cast<int>(st.range(0)), static_cast<int>(st.range(1)));
    Bench b(cat);
    SetUp(b, orientations, doubleCheck, st.range(2) != 0);
    for (auto _ : st) {
        b.lists.UpdateReferenceList();
        benchmark::DoNotOptimize(b.lists.reference.Count());
    }
    st.counters["rows"] = b.lists.reference.Count();
}

void BM_ListUp(benchmark::State& st) {
    ListUp(st, false);
}
// The same with mirrored and turned copies matched too.
void BM_ListUpTurned(benchmark::State& st) {
    ListUp(st, true);
}

// The indexed list-up without and with turned copies in turn on one catalogue, so that a
// machine busy elsewhere slows both alike: the fastest of each, and the one over the other.
void BM_ListUpTurnedRatio(benchmark::State& st) {
    Catalogue& cat = CachedCatalogue(static_cast<int>(st.range(0)), static_cast<int>(st.range(1)));
    Bench plain(cat), turned(cat);
    SetUp(plain, false, true, true);
    SetUp(turned, true, true, true);
    double best[2] = {1e9, 1e9};
    for (auto _ : st) {
        for (int k = 0; k < 2; ++k) {
            const auto start = std::chrono::steady_clock::now();
            (k ? turned : plain).lists.UpdateReferenceList();
            const std::chrono::duration<double, std::milli> took =
                std::chrono::steady_clock::now() - start;
            best[k] = std::min(best[k], took.count());
        }
    }
    st.counters["plain_ms"] = best[0];
    st.counters["turned_ms"] = best[1];
    st.counters["ratio"] = best[1] / best[0];
}

// Without the second test on the cells: the key alone decides, within its shorter tolerance.
void BM_ListUpKeyOnly(benchmark::State& st) {
    ListUp(st, false, false);
}
void BM_ListUpKeyOnlyTurned(benchmark::State& st) {
    ListUp(st, true, false);
}

// Building the candidate index alone, upright only (range(1) 0) or for every orientation (1).
void BM_BuildIndex(benchmark::State& st) {
    Catalogue& cat = CachedCatalogue(static_cast<int>(st.range(0)), 1);
    MatchSettings s;
    s.MatchOrientations = st.range(1) != 0;
    for (auto _ : st) {
        SignatureIndex index(cat, s);
        benchmark::DoNotOptimize(index.TableCount());
    }
}

// Selecting a reference: the target fill scans the whole catalogue once.
void BM_FillTargets(benchmark::State& st) {
    Catalogue& cat = CachedCatalogue(static_cast<int>(st.range(0)), static_cast<int>(st.range(1)));
    Bench b(cat);
    b.lists.reference.Add("x", &cat.Entry(cat.Count() / 2));
    b.lists.reference.Select(0);
    for (auto _ : st) {
        b.lists.FillTargetList();
        benchmark::DoNotOptimize(b.lists.target.Count());
    }
}

} // namespace

BENCHMARK(BM_ListUp)
    ->ArgNames({"n", "clustered", "indexed"})
    ->Args({10000, 0, 0})
    ->Args({10000, 0, 1})
    ->Args({10000, 1, 0})
    ->Args({10000, 1, 1})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListUp)
    ->ArgNames({"n", "clustered", "indexed"})
    ->Args({100000, 0, 0})
    ->Args({100000, 0, 1})
    ->Args({100000, 1, 0})
    ->Args({100000, 1, 1})
    ->Args({100000, 2, 1})
    ->Args({1000000, 0, 1})
    ->Args({1000000, 1, 1})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListUpTurned)
    ->ArgNames({"n", "clustered", "indexed"})
    ->Args({10000, 0, 1})
    ->Args({10000, 1, 1})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListUpTurned)
    ->ArgNames({"n", "clustered", "indexed"})
    ->Args({100000, 0, 1})
    ->Args({100000, 1, 1})
    ->Args({100000, 2, 1})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListUpTurnedRatio)
    ->ArgNames({"n", "clustered"})
    ->Args({100000, 0})
    ->Args({100000, 1})
    ->Args({100000, 2})
    ->Iterations(10)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListUpKeyOnly)
    ->ArgNames({"n", "clustered", "indexed"})
    ->Args({100000, 0, 1})
    ->Args({100000, 1, 1})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListUpKeyOnlyTurned)
    ->ArgNames({"n", "clustered", "indexed"})
    ->Args({100000, 0, 1})
    ->Args({100000, 1, 1})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildIndex)
    ->ArgNames({"n", "turned"})
    ->Args({100000, 0})
    ->Args({100000, 1})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FillTargets)
    ->ArgNames({"n", "clustered"})
    ->Args({1000000, 0})
    ->Args({1000000, 1})
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
