// "similar-to" over a catalogue of 1 000 000 entries: one picture outside the catalogue looked
// up by the plain scan and through the candidate index (built once, its cost measured apart).
#include "SignatureIndex.h"
#include "SimilarToPicture.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <random>

using namespace lumidex;

namespace {

constexpr int kEntries = 1000000;

Catalogue& BigCatalogue() {
    static std::unique_ptr<Catalogue> cat = [] {
        auto c = std::make_unique<Catalogue>();
        c->Reserve(kEntries);
        std::mt19937 rng(7);
        for (int i = 0; i < kEntries; ++i) {
            char path[64];
            std::snprintf(path, sizeof path, "/bench/f%04d/p%07d.jpg", i / 1000, i);
            auto e = std::make_unique<Pdata>(path);
            e->key = rng();
            e->code = rng();
            e->fileSize = 200000 + static_cast<int32_t>(rng() % 800000);
            c->Insert(std::move(e));
        }
        return c;
    }();
    return *cat;
}

// Probes near catalogued signatures, so that each lookup finds something.
std::vector<std::unique_ptr<Pdata>> Probes(const Catalogue& c) {
    std::vector<std::unique_ptr<Pdata>> probes;
    std::mt19937 rng(11);
    for (int i = 0; i < 64; ++i) {
        const Pdata& near = c.Entry(static_cast<int>(rng() % kEntries));
        auto p = std::make_unique<Pdata>("/outside/probe.jpg");
        p->key = near.key ^ (1u << (rng() % 32));
        p->code = near.code;
        probes.push_back(std::move(p));
    }
    return probes;
}

void BM_SimilarToPlain(benchmark::State& state) {
    Catalogue& c = BigCatalogue();
    const auto probes = Probes(c);
    const MatchSettings settings;
    size_t i = 0, found = 0;
    for (auto _ : state)
        found += SimilarToOutsider(c, settings, *probes[i++ % probes.size()]).size();
    state.counters["found"] = static_cast<double>(found) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_SimilarToPlain)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

void BM_SimilarToIndexed(benchmark::State& state) {
    Catalogue& c = BigCatalogue();
    const auto probes = Probes(c);
    const MatchSettings settings;
    SignatureIndex index(c, settings);
    size_t i = 0, found = 0;
    for (auto _ : state)
        found += SimilarToOutsider(c, settings, *probes[i++ % probes.size()], &index).size();
    state.counters["found"] = static_cast<double>(found) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_SimilarToIndexed)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime();

void BM_IndexBuild(benchmark::State& state) {
    Catalogue& c = BigCatalogue();
    const MatchSettings settings;
    for (auto _ : state) {
        SignatureIndex index(c, settings);
        benchmark::DoNotOptimize(index.Count());
    }
}
BENCHMARK(BM_IndexBuild)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->Iterations(3);

} // namespace

BENCHMARK_MAIN();
