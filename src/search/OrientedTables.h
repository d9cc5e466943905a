#pragma once

#include "BitCount.h"
#include "Orientation.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace lumidex {

// Candidate tables over the luminance codes that serve all eight orientations of a probe in
// as many look-ups as the upright tables alone would take. Two codes within t cells agree on
// one of the cell sets of a family that no t cells can all touch; the family is closed under
// turning and mirroring, and each table holds one orbit of its sets, every set moved onto one
// representative. A code is keyed there by its cells in each orientation, taken together with
// the orientations that leave the representative in place (the smallest value counts), so
// that the probe needs one look-up per set and still meets a candidate in whatever
// orientation the two agree. Buckets only propose; the exact tests decide.
class OrientedTables {
public:
    // Memory for tables of megabytes, on large pages where the system offers them: every
    // fresh page costs a trap into the kernel, and tables filled in random order touch
    // thousands of them.
    struct FreeMemory {
        void operator()(void* p) const;
    };
    using LargeBuffer = std::unique_ptr<uint32_t[], FreeMemory>;
    static LargeBuffer AllocateWords(size_t words);

    // Look-ups per probe for a cell tolerance; 0 when no family is laid out for it.
    static int LookupsFor(int tolerance);

    // Entries whose key is noSignature are left out; positions from kMaxEntries on too.
    OrientedTables(const std::vector<uint32_t>& keys, const std::vector<uint32_t>& codes,
                   uint32_t noSignature, int tolerance);

    // Entries from this many on are beyond the items' position field.
    static constexpr size_t kMaxEntries = size_t{1} << 24;
    static constexpr size_t kMaxLookups = 64;

    // What a candidate's key must meet in an orientation: no more than `allowed` of the bits
    // in known differ from key; allowed -1 lets none through.
    struct KeyBound {
        uint32_t key = 0, known = 0;
        int allowed = -1;
        bool Admits(uint32_t candidate) const {
            return BitCount((candidate & known) ^ key) <= allowed;
        }
    };

    // Calls propose(position, orientation) for every item sharing a bucket with the probe at
    // positions from `from` up whose code is within the tolerance of the probe's code in that
    // orientation and whose key bound(orientation) admits; stops when propose returns false.
    // An entry may be proposed more than once, in one orientation or several. codes: the
    // probe's code in every orientation.
    template <class Bound, class Propose>
    void ForEachCandidate(const std::array<uint32_t, kOrientations>& codes, int from, Bound&& bound,
                          Propose&& propose) const;

    int Lookups() const;

private:
    using ThroughTable = std::array<std::array<uint8_t, kOrientations>, kOrientations>;
    // Orientations that key a code alike in a table.
    struct WayClass {
        std::array<uint8_t, kOrientations> ways{};
        size_t count = 0;
    };
    struct Table {
        uint32_t mask = 0; // the representative's cells
        // The orientations, grouped by what leaves the representative in place.
        std::vector<WayClass> classes;
        int shift = 64;
        std::vector<uint32_t> starts; // buckets + 1
        // One item per entry and orientation that keyed it, descending position per bucket,
        // so that a scan from a position on reads nothing below it. An item is its code,
        // moved into that orientation, and its position in the low 24 bits with the
        // orientation above. Codes and positions come in runs of kRun, each on one cache
        // line: the codes alone reject most items, and the last position tells whether the
        // whole run is in range. Keys, wanted for the few items left, are read by position.
        LargeBuffer storage;
        const uint32_t* runs = nullptr; // in storage, on a cache line boundary
    };
    // A search in three steps: Prepare asks for the buckets' bounds, Fetch for their items,
    // Run reads them. Every bucket is asked for before any is read, so that the memory
    // fetches them side by side instead of one after the other.
    struct Prepared {
        struct Lookup {
            const Table* table;
            uint32_t bucket;
            uint8_t ways; // the probe's orientations keyed alike
            uint32_t first, last;
        };
        std::array<Lookup, kMaxLookups> lookups;
        size_t count = 0;
    };
    void Prepare(const std::array<uint32_t, kOrientations>& codes, Prepared& out) const;
    static void Fetch(Prepared& ready);
    template <class Bound, class Propose>
    void Run(const Prepared& ready, const std::array<uint32_t, kOrientations>& codes, int from,
             Bound& bound, Propose& propose) const;

    static constexpr uint32_t kRun = 8;
    static constexpr uint32_t kPositionBits = static_cast<uint32_t>(kMaxEntries - 1);
    static const uint32_t* RunOf(const Table& t, uint32_t item) {
        return t.runs + item / kRun * 2 * kRun;
    }
    struct Keyed {
        uint32_t value;
        uint8_t ways;
    };
    // masked: a code in every orientation, the table's cells only.
    static Keyed KeyOf(const std::array<uint32_t, kOrientations>& masked, const WayClass& c) {
        // Without branches: which orientation gives the least value is no guess.
        Keyed k{~0u, 0};
        for (size_t i = 0; i < c.count; ++i) {
            const uint8_t o = c.ways[i];
            const uint32_t v = masked[o];
            const uint8_t bit = static_cast<uint8_t>(1u << o);
            k.ways = v < k.value ? bit : v == k.value ? static_cast<uint8_t>(k.ways | bit) : k.ways;
            k.value = std::min(k.value, v);
        }
        return k;
    }
    static std::array<uint32_t, kOrientations>
    Masked(const std::array<uint32_t, kOrientations>& codes, const Table& t) {
        std::array<uint32_t, kOrientations> out;
        for (size_t o = 0; o < kOrientations; ++o)
            out[o] = codes[o] & t.mask;
        return out;
    }
    static uint32_t Bucket(const Table& t, uint32_t value) {
        return static_cast<uint32_t>((uint64_t{value} * 0x9E3779B97F4A7C15ull) >> t.shift);
    }
    // Bit k set for each item k of a run whose code is within the tolerance of code.
    template <int Tolerance> static unsigned NearLanes(const uint32_t* run, uint32_t code) {
#if defined(__SSE2__)
        // Four items at a time: the scan over crowded buckets is where a list-up with
        // turned copies spends its time.
        const __m128i probe = _mm_set1_epi32(static_cast<int>(code));
        const __m128i low = _mm_set1_epi32(0x55555555);
        const __m128i ones = _mm_set1_epi32(-1);
        auto half = [&](const uint32_t* items) {
            const __m128i x =
                _mm_xor_si128(_mm_load_si128(reinterpret_cast<const __m128i*>(items)), probe);
            __m128i cells = _mm_and_si128(_mm_or_si128(x, _mm_srli_epi32(x, 1)), low);
            for (int c = 0; c < Tolerance; ++c)
                cells = _mm_and_si128(cells, _mm_add_epi32(cells, ones));
            const __m128i none = _mm_cmpeq_epi32(cells, _mm_setzero_si128());
            return static_cast<unsigned>(_mm_movemask_ps(_mm_castsi128_ps(none)));
        };
        static_assert(kRun == 8);
        return half(run) | half(run + 4) << 4;
#else
        unsigned mask = 0;
        for (uint32_t k = 0; k < kRun; ++k) {
            const uint32_t x = code ^ run[k];
            uint32_t cells = (x | (x >> 1)) & 0x55555555u;
            for (int c = 0; c < Tolerance; ++c)
                cells &= cells - 1;
            mask |= static_cast<unsigned>(cells == 0) << k;
        }
        return mask;
#endif
    }
    // Writes base + k for each lane k set in mask, and way beside each: eight of them always,
    // the lanes set first. Returns how many lanes are set.
    static uint32_t Gather(unsigned mask, uint32_t base, uint8_t way, uint32_t* near,
                           uint8_t* nearWay) {
        struct Lanes {
            std::array<uint64_t, 256> list{}; // the lanes set, a byte each
            std::array<uint8_t, 256> count{};
        };
        static constexpr Lanes kLanes = [] {
            Lanes l;
            for (unsigned m = 0; m < 256; ++m)
                for (unsigned k = 0; k < kRun; ++k)
                    if (m >> k & 1u) l.list[m] |= uint64_t{k} << (8 * l.count[m]++);
            return l;
        }();
        const uint64_t lanes = kLanes.list[mask];
        const uint64_t ways = way * 0x0101010101010101ull;
        std::memcpy(nearWay, &ways, sizeof ways);
#if defined(__SSE2__)
        const __m128i zero = _mm_setzero_si128();
        const __m128i from = _mm_set1_epi32(static_cast<int>(base));
        const __m128i wide =
            _mm_unpacklo_epi8(_mm_cvtsi64_si128(static_cast<long long>(lanes)), zero);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(near),
                         _mm_add_epi32(_mm_unpacklo_epi16(wide, zero), from));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(near + 4),
                         _mm_add_epi32(_mm_unpackhi_epi16(wide, zero), from));
#else
        for (unsigned k = 0; k < kRun; ++k)
            near[k] = base + static_cast<uint32_t>(lanes >> (8 * k) & 0xFF);
#endif
        return kLanes.count[mask];
    }
    // One look-up's bucket, for each of the probe's orientations in ways; false to stop.
    template <int Tolerance, class Bound, class Propose>
    static bool Scan(const Table& t, const ThroughTable& through, const uint32_t* keys,
                     uint32_t first, uint32_t last, uint32_t low, unsigned ways,
                     const std::array<uint32_t, kOrientations>& codes, Bound& bound,
                     Propose& propose);
    // through[c][p]: the orientation of the probe that a candidate keyed through orientation
    // c meets when the probe is keyed through p.
    static const ThroughTable& Through();

    int tolerance_;
    std::vector<Table> tables_;
    // Every entry's key, by position: a tenth of the memory that a key beside each item
    // took, so that it stays in the cache with the tables.
    std::vector<uint32_t> keys_;
};

template <class Bound, class Propose>
void OrientedTables::ForEachCandidate(const std::array<uint32_t, kOrientations>& codes, int from,
                                      Bound&& bound, Propose&& propose) const {
    Prepared ready;
    Prepare(codes, ready);
    Fetch(ready);
    Run(ready, codes, from, bound, propose);
}

template <class Bound, class Propose>
void OrientedTables::Run(const Prepared& ready, const std::array<uint32_t, kOrientations>& codes,
                         int from, Bound& bound, Propose& propose) const {
    const uint32_t low = static_cast<uint32_t>(std::max(from, 0));
    const ThroughTable& through = Through();
    for (size_t i = 0; i < ready.count; ++i) {
        const Prepared::Lookup& l = ready.lookups[i];
        bool go = true;
        switch (tolerance_) {
        case 0:
            go = Scan<0>(*l.table, through, keys_.data(), l.first, l.last, low, l.ways, codes,
                         bound, propose);
            break;
        case 1:
            go = Scan<1>(*l.table, through, keys_.data(), l.first, l.last, low, l.ways, codes,
                         bound, propose);
            break;
        case 2:
            go = Scan<2>(*l.table, through, keys_.data(), l.first, l.last, low, l.ways, codes,
                         bound, propose);
            break;
        case 3:
            go = Scan<3>(*l.table, through, keys_.data(), l.first, l.last, low, l.ways, codes,
                         bound, propose);
            break;
        default:
            go = Scan<4>(*l.table, through, keys_.data(), l.first, l.last, low, l.ways, codes,
                         bound, propose);
            break;
        }
        if (!go) return;
    }
}

template <int Tolerance, class Bound, class Propose>
bool OrientedTables::Scan(const Table& t, const ThroughTable& through, const uint32_t* keys,
                          uint32_t first, uint32_t last, uint32_t low, unsigned ways,
                          const std::array<uint32_t, kOrientations>& codes, Bound& bound,
                          Propose& propose) {
    // The probe's orientations keyed alike all meet the same items: one pass serves them.
    std::array<uint32_t, kOrientations> wayCodes;
    std::array<uint8_t, kOrientations> wayOf;
    unsigned wayCount = 0;
    for (; ways; ways &= ways - 1) {
        const unsigned p = static_cast<unsigned>(__builtin_ctz(ways));
        wayOf[wayCount] = static_cast<uint8_t>(p);
        wayCodes[wayCount++] = codes[p];
    }
    // Items whose code is near are gathered and tested after the scan, so that a branch per
    // item does not stall it.
    constexpr uint32_t kGathered = 256;
    std::array<uint32_t, kGathered + kRun> near;
    std::array<uint8_t, kGathered + kRun> nearWay;
    uint32_t count = 0;
    auto offer = [&]() {
        // Their keys are asked for all at once, so that they arrive side by side.
        for (uint32_t h = 0; h < count; ++h) {
            const uint32_t j = near[h];
            near[h] = RunOf(t, j)[kRun + j % kRun];
            __builtin_prefetch(keys + (near[h] & kPositionBits));
        }
        for (uint32_t h = 0; h < count; ++h) {
            const uint32_t packed = near[h];
            const Orientation o = static_cast<Orientation>(through[packed >> 24][nearWay[h]]);
            const uint32_t position = packed & kPositionBits;
            if (bound(o).Admits(keys[position]) && !propose(position, o)) return false;
        }
        count = 0;
        return true;
    };
    auto gather = [&](const uint32_t* run, uint32_t base, unsigned lanes) {
        for (unsigned w = 0; w < wayCount; ++w) {
            const unsigned m = NearLanes<Tolerance>(run, wayCodes[w]) & lanes;
            count += Gather(m, base, wayOf[w], near.data() + count, nearWay.data() + count);
        }
    };
    auto position = [](const uint32_t* run, uint32_t k) { return run[kRun + k] & kPositionBits; };
    // Positions descend: a run whose last item is in range is read without a look at the
    // others, and the run that leaves the range ends the scan.
    for (uint32_t j = first; j < last;) {
        const uint32_t lane = j % kRun;
        const uint32_t base = j - lane;
        const uint32_t* run = RunOf(t, base);
        // A crowded bucket spans many runs: later ones are asked for now.
        __builtin_prefetch(RunOf(t, base + 8 * kRun));
        bool more = true;
        if (lane == 0 && last - j >= kRun && position(run, kRun - 1) >= low) {
            gather(run, base, 0xFFu);
            j += kRun;
        } else {
            uint32_t end = std::min(kRun, lane + (last - j));
            more = position(run, end - 1) >= low;
            while (!more && end > lane && position(run, end - 1) < low)
                --end;
            gather(run, base, (1u << end) - (1u << lane));
            j = base + end;
        }
        if (count > kGathered - kRun * kOrientations && !offer()) return false;
        if (!more) break;
    }
    return offer();
}

} // namespace lumidex
