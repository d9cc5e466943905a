#include "OrientedTables.h"

#include <cstdlib>
#include <memory>
#include <set>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace lumidex {

namespace {

using CellSet = uint32_t; // bit c for cell c (column * 4 + row)

// Blocks of cells that turning and mirroring only exchange with one another, so that every
// union of blocks has its turned and mirrored images among the unions too. Each tolerance
// gets blocks small enough that the sets left by t spoiled blocks stay large, in few sets.
std::vector<CellSet> BlocksFor(int tolerance) {
    auto set = [](std::initializer_list<int> cells) {
        CellSet s = 0;
        for (int c : cells)
            s |= 1u << c;
        return s;
    };
    // A corner with its two neighbours along the border, and the four middle cells.
    const std::vector<CellSet> corners = {set({0, 4, 1}), set({12, 8, 13}), set({3, 7, 2}),
                                          set({15, 11, 14})};
    switch (tolerance) {
    case 0:
        return {0xFFFFu};
    case 1:
    case 2: {
        std::vector<CellSet> b = corners;
        b.push_back(set({5, 9, 6, 10}));
        return b;
    }
    case 3: {
        std::vector<CellSet> b = corners;
        b.push_back(set({5, 10})); // the middle cells by diagonal
        b.push_back(set({9, 6}));
        return b;
    }
    case 4:
        // The corners, the middle cells by diagonal, and the two inner cells of each side.
        return {set({0, 3, 12, 15}), set({5, 10}), set({9, 6}),  set({4, 8}),
                set({7, 11}),        set({1, 2}),  set({13, 14})};
    default:
        return {};
    }
}

void Unions(const std::vector<CellSet>& blocks, size_t first, int take, CellSet acc,
            std::vector<CellSet>& out) {
    if (take == 0) {
        out.push_back(acc);
        return;
    }
    for (size_t i = first; i < blocks.size(); ++i)
        Unions(blocks, i + 1, take - 1, acc | blocks[i], out);
}

CellSet Moved(Orientation o, CellSet s) {
    CellSet out = 0;
    for (int c = 0; c < 16; ++c)
        if (s >> c & 1u) out |= 1u << MovedCell(o, c);
    return out;
}

struct TableLayout {
    uint32_t mask = 0;
    std::vector<std::vector<uint8_t>> classes;
};

// One table per orbit of the family's sets: its representative and the classes of
// orientations that key a code alike there.
std::vector<TableLayout> LayoutFor(int tolerance) {
    const std::vector<CellSet> blocks = BlocksFor(tolerance);
    if (blocks.empty() || static_cast<int>(blocks.size()) <= tolerance) return {};
    std::vector<CellSet> sets;
    Unions(blocks, 0, static_cast<int>(blocks.size()) - tolerance, 0, sets);
    std::set<CellSet> covered;
    std::vector<TableLayout> out;
    for (CellSet r : sets) {
        if (covered.count(r)) continue;
        std::vector<uint8_t> stabiliser;
        for (int g = 0; g < kOrientations; ++g) {
            const CellSet image = Moved(static_cast<Orientation>(g), r);
            covered.insert(image);
            if (image == r) stabiliser.push_back(static_cast<uint8_t>(g));
        }
        TableLayout t;
        for (int c = 0; c < 16; ++c)
            if (r >> c & 1u) t.mask |= 3u << (2 * (15 - c));
        std::vector<bool> placed(kOrientations, false);
        for (int u = 0; u < kOrientations; ++u) {
            if (placed[static_cast<size_t>(u)]) continue;
            std::vector<uint8_t> cls;
            for (uint8_t s : stabiliser) {
                const int h = static_cast<int>(
                    Followed(static_cast<Orientation>(u), static_cast<Orientation>(s)));
                cls.push_back(static_cast<uint8_t>(h));
                placed[static_cast<size_t>(h)] = true;
            }
            t.classes.push_back(std::move(cls));
        }
        out.push_back(std::move(t));
    }
    size_t lookups = 0;
    for (const TableLayout& t : out)
        lookups += t.classes.size();
    if (lookups > OrientedTables::kMaxLookups) return {};
    return out;
}

} // namespace

void OrientedTables::FreeMemory::operator()(void* p) const {
    std::free(p);
}

OrientedTables::LargeBuffer OrientedTables::AllocateWords(size_t words) {
    const size_t bytes = std::max<size_t>(words, 1) * sizeof(uint32_t);
    constexpr size_t kLargePage = size_t{2} << 20;
    void* p = nullptr;
    if (bytes >= kLargePage) {
        const size_t rounded = (bytes + kLargePage - 1) / kLargePage * kLargePage;
        p = std::aligned_alloc(kLargePage, rounded);
#if defined(__linux__) && defined(MADV_HUGEPAGE)
        if (p) madvise(p, rounded, MADV_HUGEPAGE);
#endif
    }
    if (!p) p = std::malloc(bytes);
    if (!p) throw std::bad_alloc();
    return LargeBuffer(static_cast<uint32_t*>(p));
}

const OrientedTables::ThroughTable& OrientedTables::Through() {
    // A candidate keyed through c agrees with the probe keyed through p: the candidate lies
    // as the probe turned by p and then back by c.
    static const auto table = [] {
        std::array<std::array<uint8_t, kOrientations>, kOrientations> t{};
        for (int c = 0; c < kOrientations; ++c)
            for (int p = 0; p < kOrientations; ++p)
                t[static_cast<size_t>(c)][static_cast<size_t>(p)] = static_cast<uint8_t>(
                    Followed(static_cast<Orientation>(p), Undone(static_cast<Orientation>(c))));
        return t;
    }();
    return table;
}

void OrientedTables::Prepare(const std::array<uint32_t, kOrientations>& codes,
                             Prepared& out) const {
    out.count = 0;
    for (const Table& t : tables_) {
        const size_t begin = out.count;
        std::array<uint32_t, kOrientations> values;
        const std::array<uint32_t, kOrientations> masked = Masked(codes, t);
        // A symmetric probe keys several classes alike: one look-up serves them all.
        for (const WayClass& c : t.classes) {
            const Keyed k = KeyOf(masked, c);
            size_t i = begin;
            while (i < out.count && values[i - begin] != k.value)
                ++i;
            if (i < out.count) {
                out.lookups[i].ways = static_cast<uint8_t>(out.lookups[i].ways | k.ways);
                continue;
            }
            values[out.count - begin] = k.value;
            const uint32_t b = Bucket(t, k.value);
            __builtin_prefetch(t.starts.data() + b);
            out.lookups[out.count++] = Prepared::Lookup{&t, b, k.ways, 0, 0};
        }
    }
}

void OrientedTables::Fetch(Prepared& ready) {
    for (size_t i = 0; i < ready.count; ++i) {
        Prepared::Lookup& l = ready.lookups[i];
        l.first = l.table->starts[l.bucket];
        l.last = l.table->starts[l.bucket + 1];
        // The first runs of a crowded bucket too: the scan asks for the later ones itself.
        const uint32_t end = std::min(l.last, l.first + 4 * kRun);
        for (uint32_t j = l.first; j < end; j += kRun)
            __builtin_prefetch(RunOf(*l.table, j));
    }
}

int OrientedTables::LookupsFor(int tolerance) {
    int n = 0;
    for (const TableLayout& t : LayoutFor(tolerance))
        n += static_cast<int>(t.classes.size());
    return n;
}

int OrientedTables::Lookups() const {
    int n = 0;
    for (const Table& t : tables_)
        n += static_cast<int>(t.classes.size());
    return n;
}

OrientedTables::OrientedTables(const std::vector<uint32_t>& keys,
                               const std::vector<uint32_t>& codes, uint32_t noSignature,
                               int tolerance)
    : tolerance_(tolerance) {
    const size_t n = std::min(keys.size(), kMaxEntries);
    keys_.assign(keys.begin(), keys.begin() + static_cast<std::ptrdiff_t>(n));
    // Every table keys an entry by its code in each orientation: moved once for all of them.
    const LargeBuffer orientedWords = AllocateWords(n * kOrientations);
    auto* oriented = reinterpret_cast<std::array<uint32_t, kOrientations>*>(orientedWords.get());
    for (size_t i = 0; i < n; ++i)
        oriented[i] = OrientedCodes(codes[i]);
    for (TableLayout& layout : LayoutFor(tolerance)) {
        Table t;
        t.mask = layout.mask;
        for (const std::vector<uint8_t>& ways : layout.classes) {
            WayClass c;
            std::copy(ways.begin(), ways.end(), c.ways.begin());
            c.count = ways.size();
            t.classes.push_back(c);
        }
        // About eight items a bucket: a run's worth, and bucket bounds few enough to stay
        // in the cache, which pays more than buckets shared by fewer values.
        int bits = 4;
        while (bits < 30 && (size_t{8} << bits) < n * t.classes.size())
            ++bits;
        t.shift = 64 - bits;
        const size_t buckets = size_t{1} << bits;
        t.starts.assign(buckets + 1, 0);
        // Twice over the entries, to count and then to place: keying again costs less than
        // holding every item's bucket meanwhile.
        auto forEachItem = [&](auto&& item) {
            for (size_t i = 0; i < n; ++i) {
                if (keys[i] == noSignature) continue;
                const std::array<uint32_t, kOrientations> masked = Masked(oriented[i], t);
                for (const WayClass& c : t.classes) {
                    const Keyed k = KeyOf(masked, c);
                    const uint32_t b = Bucket(t, k.value);
                    // Orientations of a symmetric code that key it alike get an item each.
                    for (unsigned m = k.ways; m; m &= m - 1)
                        item(i, b, static_cast<uint32_t>(__builtin_ctz(m)));
                }
            }
        };
        forEachItem([&](size_t, uint32_t b, uint32_t) { ++t.starts[b]; });
        // Bucket ends, then filled from the end down in ascending positions: each bucket
        // comes out in descending order and its end moves back to its start.
        for (size_t b = 1; b <= buckets; ++b)
            t.starts[b] += t.starts[b - 1];
        const size_t items = t.starts[buckets];
        const size_t runs = (items + kRun - 1) / kRun;
        constexpr size_t kLineWords = 64 / sizeof(uint32_t);
        // Left uninitialised but for the last run, whose unused lanes a scan reads.
        t.storage = AllocateWords(runs * 2 * kRun + kLineWords);
        const size_t skip = (64 - reinterpret_cast<uintptr_t>(t.storage.get()) % 64) % 64;
        uint32_t* out = t.storage.get() + skip / sizeof(uint32_t);
        t.runs = out;
        if (runs > 0) std::fill_n(out + (runs - 1) * 2 * kRun, 2 * kRun, 0u);
        forEachItem([&](size_t i, uint32_t b, uint32_t o) {
            const uint32_t j = --t.starts[b];
            uint32_t* run = out + j / kRun * 2 * kRun;
            run[j % kRun] = oriented[i][o];
            run[kRun + j % kRun] = static_cast<uint32_t>(i) | o << 24;
        });
        tables_.push_back(std::move(t));
    }
}

} // namespace lumidex
