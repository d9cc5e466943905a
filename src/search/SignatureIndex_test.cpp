#include "SignatureIndex.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

using namespace lumidex;

namespace {

// A code that orientation g leaves as it is: one level per orbit of g's cells.
uint32_t SymmetricCode(uint32_t code, Orientation g) {
    uint32_t out = 0;
    for (int c = 0; c < 16; ++c) {
        int rep = c;
        for (int x = MovedCell(g, c); x != c; x = MovedCell(g, x))
            rep = std::min(rep, x);
        out |= ((code >> (2 * (15 - rep))) & 3u) << (2 * (15 - c));
    }
    return out;
}

// Seeds with exact and near copies, turned and mirrored copies (unknown key bits at random), codes
// that turning or mirroring leaves alike, flat codes, and strangers.
std::unique_ptr<Catalogue> MakeCatalogue(std::mt19937& rng, int n) {
    auto cat = std::make_unique<Catalogue>();
    std::vector<std::pair<uint32_t, uint32_t>> seeds;
    for (int s = 0; s < 40; ++s) {
        uint32_t code = rng();
        if (s % 4 == 1) code = SymmetricCode(code, static_cast<Orientation>(1 + rng() % 7));
        if (s % 10 == 2) code = (rng() % 4) * 0x55555555u;
        seeds.push_back({rng(), code});
    }
    for (int i = 0; i < n; ++i) {
        uint32_t k = rng(), c = rng();
        if (rng() % 5 != 0) {
            std::tie(k, c) = seeds[rng() % seeds.size()];
            if (rng() % 3 == 0) {
                const OrientedSignature d =
                    DeriveOrientation(k, c, static_cast<Orientation>(1 + rng() % 7));
                k = d.key | (static_cast<uint32_t>(rng()) & ~d.known);
                c = d.code;
            }
            const bool exact = rng() % 4 == 0;
            for (int b = exact ? 0 : static_cast<int>(rng() % 6); b > 0; --b)
                k ^= 1u << (rng() % 32);
            for (int b = exact ? 0 : static_cast<int>(rng() % 5); b > 0; --b)
                c ^= 1u << (rng() % 32);
        }
        auto e = std::make_unique<Pdata>("/d" + std::to_string(i % 7) + "/" + std::to_string(i));
        e->key = rng() % 60 == 0 ? kNoSignature : k;
        e->code = c;
        e->fileSize = 1000;
        cat->Insert(std::move(e));
    }
    return cat;
}

using Found = std::vector<std::pair<int, Orientation>>;

Found Plain(const Matcher& m, const Probe& probe, int from, int skip) {
    Found out;
    Orientation way = Orientation::Upright;
    for (int k = m.FindNext(probe, from - 1, 1, &way); k >= 0; k = m.FindNext(probe, k, 1, &way))
        if (k != skip) out.push_back({k, way});
    return out;
}

Found Indexed(SignatureIndex& index, const Probe& probe, int from, int skip) {
    Found out;
    index.ForEachSimilar(probe, from, skip, [&](int k, Orientation way) {
        out.push_back({k, way});
        return true;
    });
    std::sort(out.begin(), out.end());
    return out;
}

// The index finds what the plain scan finds, with the same orientation, for every way the
// settings bound a match: the cells with either tolerance, or the key alone.
TEST(SignatureIndex, EveryOrientationAsThePlainScan) {
    struct Case {
        bool notStrict, doubleCheck;
        int trackBar1, trackBar3;
    };
    const Case cases[] = {
        {true, true, 8, 0},  {true, true, 8, 1},   {true, true, 8, 2},  {true, true, 15, 3},
        {true, true, 4, 4},  {false, true, 8, 2},  {true, false, 1, 2}, {true, false, 3, 2},
        {true, false, 4, 2}, {false, false, 4, 2}, {true, false, 4, 4},
    };
    std::mt19937 rng(77);
    const std::unique_ptr<Catalogue> cat = MakeCatalogue(rng, 3000);
    for (const Case& c : cases) {
        MatchSettings s;
        s.MatchOrientations = true;
        s.NotStrict = c.notStrict;
        s.DoubleCheck = c.doubleCheck;
        s.TrackBar1 = c.trackBar1;
        s.TrackBar3 = c.trackBar3;
        SCOPED_TRACE(testing::Message()
                     << "strict " << !c.notStrict << " double check " << c.doubleCheck << " bars "
                     << c.trackBar1 << "/" << c.trackBar3);
        ASSERT_LE(SignatureIndex::TablesFor(s), SignatureIndex::kMaxTables);
        SignatureIndex index(*cat, s);
        const Matcher m(*cat, s);
        int turned = 0, found = 0;
        for (int i = 0; i < cat->Count(); i += 9) {
            const Probe probe = ProbeOf(cat->Entry(i));
            // As the list-up asks (later entries only) and as the target fill asks (all).
            const int from = i % 2 ? i + 1 : 0;
            const Found plain = Plain(m, probe, from, i);
            ASSERT_EQ(Indexed(index, probe, from, i), plain) << "entry " << i;
            found += static_cast<int>(plain.size());
            for (const auto& [k, way] : plain)
                turned += way != Orientation::Upright;
        }
        EXPECT_GT(turned, 20) << "turned matches were part of the comparison";
        EXPECT_GT(found - turned, 20);
    }
}

} // namespace
