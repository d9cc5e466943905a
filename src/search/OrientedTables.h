#pragma once

#include "Orientation.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

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
    // Look-ups per probe for a cell tolerance; 0 when no family is laid out for it.
    static int LookupsFor(int tolerance);

    // Entries whose key is noSignature are left out.
    OrientedTables(const std::vector<uint32_t>& keys, const std::vector<uint32_t>& codes,
                   uint32_t noSignature, int tolerance);

    struct Slot {
        uint32_t position, key, code;
        uint8_t ways; // the orientations that gave the entry its key in this table
    };

    // Calls propose(slot, orientations) for every item sharing a bucket with the probe, at
    // positions from `from` up, with the orientations of the probe under which the two
    // agree on a set of the family (a mask, bit o for orientation o); stops when propose
    // returns false. codes: the probe's code in every orientation.
    template <class Propose>
    void ForEachCandidate(const std::array<uint32_t, kOrientations>& codes, int from,
                          Propose&& propose) const;

    int Lookups() const;
    static constexpr size_t kMaxLookups = 64;

private:
    struct Table {
        uint32_t mask = 0; // the representative's cells
        // The orientations, grouped by what leaves the representative in place.
        std::vector<std::vector<uint8_t>> classes;
        int shift = 64;
        std::vector<uint32_t> starts; // buckets + 1
        std::vector<Slot> items;      // descending position per bucket, so that a scan from a
                                      // position on reads nothing below it
    };
    struct Keyed {
        uint32_t value;
        uint8_t ways;
    };
    static Keyed KeyOf(const std::array<uint32_t, kOrientations>& codes, const Table& t,
                       const std::vector<uint8_t>& ways) {
        Keyed k{~0u, 0};
        for (uint8_t o : ways) {
            const uint32_t v = codes[o] & t.mask;
            if (v < k.value)
                k = {v, static_cast<uint8_t>(1u << o)};
            else if (v == k.value)
                k.ways = static_cast<uint8_t>(k.ways | 1u << o);
        }
        return k;
    }
    static uint32_t Bucket(const Table& t, uint32_t value) {
        return static_cast<uint32_t>((uint64_t{value} * 0x9E3779B97F4A7C15ull) >> t.shift);
    }
    // through[c][p]: the orientation of the probe that a candidate keyed through orientation
    // c meets when the probe is keyed through p.
    static const std::array<std::array<uint8_t, kOrientations>, kOrientations>& Through();

    std::vector<Table> tables_;
};

template <class Propose>
void OrientedTables::ForEachCandidate(const std::array<uint32_t, kOrientations>& codes, int from,
                                      Propose&& propose) const {
    // Every bucket is known before any is read: asking for them all at once lets the memory
    // fetch them side by side instead of one after the other.
    struct Lookup {
        const Table* table;
        uint32_t bucket;
        uint8_t ways;
        const Slot *first, *last;
    };
    std::array<Lookup, kMaxLookups> lookups;
    size_t count = 0;
    for (const Table& t : tables_) {
        const size_t begin = count;
        std::array<uint32_t, kOrientations> values;
        // A symmetric probe keys several classes alike: one look-up serves them all.
        for (const std::vector<uint8_t>& ways : t.classes) {
            const Keyed k = KeyOf(codes, t, ways);
            size_t i = begin;
            while (i < count && values[i - begin] != k.value)
                ++i;
            if (i < count) {
                lookups[i].ways = static_cast<uint8_t>(lookups[i].ways | k.ways);
                continue;
            }
            values[count - begin] = k.value;
            const uint32_t b = Bucket(t, k.value);
            __builtin_prefetch(t.starts.data() + b);
            lookups[count++] = Lookup{&t, b, k.ways, nullptr, nullptr};
        }
    }
    for (size_t i = 0; i < count; ++i) {
        Lookup& l = lookups[i];
        l.first = l.table->items.data() + l.table->starts[l.bucket];
        l.last = l.table->items.data() + l.table->starts[l.bucket + 1];
        __builtin_prefetch(l.first);
    }
    const auto& through = Through();
    for (size_t i = 0; i < count; ++i) {
        const Lookup& l = lookups[i];
        std::array<uint8_t, kOrientations> meets{};
        for (unsigned p = l.ways; p; p &= p - 1)
            for (size_t c = 0; c < kOrientations; ++c)
                meets[c] = static_cast<uint8_t>(
                    meets[c] | 1u << through[c][static_cast<size_t>(__builtin_ctz(p))]);
        for (const Slot* s = l.first; s != l.last && static_cast<int>(s->position) >= from; ++s) {
            uint8_t ways = 0;
            for (unsigned m = s->ways; m; m &= m - 1)
                ways = static_cast<uint8_t>(ways | meets[static_cast<size_t>(__builtin_ctz(m))]);
            if (!propose(*s, ways)) return;
        }
    }
}

} // namespace lumidex
