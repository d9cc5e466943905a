#include "OrientedTables.h"

#include "Matcher.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <utility>
#include <vector>

using namespace lumidex;

namespace {

// Codes leaning to one level crowd the buckets; copies a few cells off, flat codes and codes
// that turning leaves alike make candidates met through several orientations at once.
std::vector<uint32_t> CrowdedCodes(std::mt19937& rng, int n) {
    std::discrete_distribution<int> level({60, 20, 15, 5});
    auto leaning = [&] {
        uint32_t code = 0;
        for (int c = 0; c < 16; ++c)
            code = code << 2 | static_cast<uint32_t>(level(rng));
        return code;
    };
    std::vector<uint32_t> codes;
    for (int i = 0; i < n; ++i) {
        uint32_t code = leaning();
        if (i % 7 == 3) code = (rng() % 4) * 0x55555555u;
        if (i % 5 == 1 && !codes.empty()) {
            code = OrientedCode(codes[rng() % codes.size()],
                                static_cast<Orientation>(rng() % kOrientations));
            for (int b = static_cast<int>(rng() % 4); b > 0; --b)
                code ^= 1u << (rng() % 32);
        }
        codes.push_back(code);
    }
    return codes;
}

using Met = std::set<std::pair<uint32_t, int>>;
using Bounds = std::array<OrientedTables::KeyBound, kOrientations>;

// What a look-up must not miss: each entry from `from` on whose code lies within the
// tolerance of the probe's in some orientation and whose key that orientation's bound
// admits, with that orientation.
Met Expected(const std::vector<uint32_t>& codes, const std::vector<uint32_t>& keys, uint32_t probe,
             int from, int tolerance, const Bounds& bounds) {
    Met out;
    for (size_t p = static_cast<size_t>(from); p < codes.size(); ++p) {
        if (keys[p] == kNoSignature) continue;
        for (int o = 0; o < kOrientations; ++o)
            if (CellDistance(OrientedCode(probe, static_cast<Orientation>(o)), codes[p]) <=
                    tolerance &&
                bounds[static_cast<size_t>(o)].Admits(keys[p]))
                out.insert({static_cast<uint32_t>(p), o});
    }
    return out;
}

// The tables propose exactly the entries near the probe in each orientation whose key meets
// that orientation's bound: all keys, some, or none.
TEST(OrientedTables, ProposeEveryNearCandidate) {
    std::mt19937 rng(5);
    const std::vector<uint32_t> codes = CrowdedCodes(rng, 1500);
    std::vector<uint32_t> keys;
    for (size_t i = 0; i < codes.size(); ++i)
        keys.push_back(i % 50 == 7 ? kNoSignature : static_cast<uint32_t>(rng()) | 1u);
    for (int tolerance = 0; tolerance <= 4; ++tolerance) {
        SCOPED_TRACE(testing::Message() << "tolerance " << tolerance);
        const OrientedTables tables(keys, codes, kNoSignature, tolerance);
        size_t distinct = 0;
        for (size_t i = 0; i < codes.size(); i += 11) {
            const int from = i % 2 ? static_cast<int>(i) + 1 : 0;
            std::array<uint32_t, kOrientations> turned;
            Bounds bounds;
            for (int o = 0; o < kOrientations; ++o) {
                turned[static_cast<size_t>(o)] =
                    OrientedCode(codes[i], static_cast<Orientation>(o));
                // Every key; about half the keys, on the bits of a random mask; none.
                const uint32_t known = static_cast<uint32_t>(rng());
                const int kind = static_cast<int>((i / 11 + static_cast<size_t>(o)) % 3);
                bounds[static_cast<size_t>(o)] =
                    kind == 0 ? OrientedTables::KeyBound{0, 0, 0}
                    : kind == 1
                        ? OrientedTables::KeyBound{keys[i] & known, known, BitCount(known) / 2}
                        : OrientedTables::KeyBound{};
            }
            Met met;
            tables.ForEachCandidate(
                turned, from,
                [&](Orientation o) -> const OrientedTables::KeyBound& {
                    return bounds[static_cast<size_t>(o)];
                },
                [&](uint32_t p, Orientation o) {
                    met.insert({p, static_cast<int>(o)});
                    return true;
                });
            ASSERT_EQ(met, Expected(codes, keys, codes[i], from, tolerance, bounds))
                << "entry " << i;
            distinct += met.size();
        }
        EXPECT_GT(distinct, 300u);
    }
}

// A look-up stops as soon as it is told to, in a bucket of many runs.
TEST(OrientedTables, StopsWhenTold) {
    const std::vector<uint32_t> codes(400, 0u);
    const std::vector<uint32_t> keys(400, 1u);
    const OrientedTables tables(keys, codes, kNoSignature, 2);
    const std::array<uint32_t, kOrientations> flat{};
    const OrientedTables::KeyBound any{0, 0, 0};
    int calls = 0;
    tables.ForEachCandidate(
        flat, 0, [&](Orientation) -> const OrientedTables::KeyBound& { return any; },
        [&](uint32_t, Orientation) {
            ++calls;
            return false;
        });
    EXPECT_EQ(calls, 1);
}

} // namespace
