#include "SignatureIndex.h"

#include <algorithm>
#include <cmath>

namespace lumidex {

namespace {
// How many blocks to split the units into for a tolerance of t differing units: enough that
// the agreeing blocks carry about 14 to 21 bits, without too many tables.
int BlocksFor(int t) {
    static const int kBlocks[] = {1, 3, 5, 6, 7, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17};
    return kBlocks[std::clamp(t, 0, 15)];
}

void Choose(int n, int k, int first, std::vector<int>& picked, std::vector<std::vector<int>>& out) {
    if (static_cast<int>(picked.size()) == k) {
        out.push_back(picked);
        return;
    }
    for (int i = first; i < n; ++i) {
        picked.push_back(i);
        Choose(n, k, i + 1, picked, out);
        picked.pop_back();
    }
}

struct Plan {
    bool onCode;
    int units, unitBits, tolerance, blocks;
};

Plan PlanFor(const MatchSettings& settings) {
    Plan p;
    // Which units bound every similar pair: with DoubleCheck and NotStrict the cells of the
    // code; otherwise the bits of the key (equal keys unless NotStrict).
    if (settings.NotStrict && settings.DoubleCheck) {
        p = {true, 16, 2, std::clamp(settings.TrackBar3, 0, 15), 0};
    } else if (settings.MatchOrientations && settings.DoubleCheck) {
        // Turned signatures have unknown key bits but exact codes, and strict means equal codes.
        p = {true, 16, 2, 0, 0};
    } else {
        p = {false, 32, 1, settings.NotStrict ? std::clamp(settings.TrackBar1, 0, 31) : 0, 0};
    }
    p.blocks = std::min(BlocksFor(p.tolerance), p.units);
    if (p.blocks <= p.tolerance) p.blocks = p.tolerance + 1;
    return p;
}

int KeyTables(const Plan& p) {
    double tables = 1;
    for (int i = 0; i < p.tolerance; ++i)
        tables = tables * (p.blocks - i) / (i + 1);
    return tables > 1e6 ? 1000000 : static_cast<int>(std::lround(tables));
}

// Without the second test, turned matches still need their code within the cell tolerance:
// the orientation tables find them, the key tables the upright ones. The look-ups of both
// when that is worth it, else 0.
int SplitLookups(const Plan& p, const MatchSettings& settings) {
    if (!settings.MatchOrientations || p.onCode) return 0;
    const int turned =
        OrientedTables::LookupsFor(settings.NotStrict ? std::clamp(settings.TrackBar3, 0, 15) : 0);
    const int all = KeyTables(p) + turned;
    return turned > 0 && all <= SignatureIndex::kMaxTables ? all : 0;
}
} // namespace

int SignatureIndex::TablesFor(const MatchSettings& settings) {
    Plan p = PlanFor(settings);
    if (const int split = SplitLookups(p, settings)) return split;
    if (settings.MatchOrientations) {
        const int lookups = OrientedTables::LookupsFor(p.tolerance);
        return lookups > 0 ? lookups : 1000000;
    }
    return KeyTables(p);
}

SignatureIndex::SignatureIndex(const Catalogue& catalogue, const MatchSettings& settings)
    : catalogue_(catalogue), generation_(catalogue.Generation()), settings_(settings) {
    const int n = catalogue.Count();
    keys_.resize(static_cast<size_t>(n));
    codes_.resize(static_cast<size_t>(n));
    seen_.assign(static_cast<size_t>(n), 0);
    for (int i = 0; i < n; ++i) {
        const Pdata& e = catalogue.Entry(i);
        keys_[static_cast<size_t>(i)] = e.key;
        codes_[static_cast<size_t>(i)] = e.code;
    }

    const Plan plan = PlanFor(settings);
    onCode_ = plan.onCode;
    if (settings.MatchOrientations && onCode_ && OrientedTables::LookupsFor(plan.tolerance) > 0 &&
        static_cast<size_t>(n) < OrientedTables::kMaxEntries) {
        oriented_ = std::make_unique<OrientedTables>(keys_, codes_, kNoSignature, plan.tolerance);
        return;
    }
    const uint32_t unitMask = plan.unitBits == 2 ? 3u : 1u;
    std::vector<uint32_t> blockMask(static_cast<size_t>(plan.blocks), 0);
    for (int u = 0; u < plan.units; ++u)
        blockMask[static_cast<size_t>(u * plan.blocks / plan.units)] |= unitMask
                                                                        << (u * plan.unitBits);
    std::vector<std::vector<int>> subsets;
    std::vector<int> picked;
    Choose(plan.blocks, plan.blocks - plan.tolerance, 0, picked, subsets);
    std::vector<uint32_t> tableBlocks;
    for (const auto& s : subsets) {
        uint32_t m = 0, blocks = 0;
        for (int b : s) {
            m |= blockMask[static_cast<size_t>(b)];
            blocks |= 1u << b;
        }
        masks_.push_back(m);
        tableBlocks.push_back(blocks);
    }
    if (SplitLookups(plan, settings) > 0 && static_cast<size_t>(n) < OrientedTables::kMaxEntries) {
        oriented_ = std::make_unique<OrientedTables>(
            keys_, codes_, kNoSignature,
            settings.NotStrict ? std::clamp(settings.TrackBar3, 0, 15) : 0);
    } else if (settings.MatchOrientations && !onCode_) {
        // A turned key within d of the probe's known bits leaves at least blocks - d blocks
        // without a difference; any such set of blocks holds a table, which is all a
        // turned look-up needs.
        covers_.resize(static_cast<size_t>(plan.tolerance) + 1);
        for (int d = 0; d <= plan.tolerance; ++d) {
            std::vector<std::vector<int>> sets;
            Choose(plan.blocks, plan.blocks - d, 0, picked, sets);
            for (const auto& q : sets) {
                uint32_t blocks = 0;
                for (int b : q)
                    blocks |= 1u << b;
                std::vector<uint16_t> within;
                for (size_t t = 0; t < tableBlocks.size(); ++t)
                    if ((tableBlocks[t] & ~blocks) == 0) within.push_back(static_cast<uint16_t>(t));
                covers_[static_cast<size_t>(d)].push_back(std::move(within));
            }
        }
    }

    int bits = 4;
    while (bits < 30 && (1 << bits) < n)
        ++bits;
    shift_ = 64 - bits;
    const size_t buckets = size_t{1} << bits;
    starts_.resize(masks_.size());
    items_.resize(masks_.size());
    std::vector<uint32_t> bucketOf(static_cast<size_t>(n));
    for (size_t t = 0; t < masks_.size(); ++t) {
        std::vector<uint32_t>& starts = starts_[t];
        starts.assign(buckets + 1, 0);
        for (size_t i = 0; i < static_cast<size_t>(n); ++i) {
            if (keys_[i] == kNoSignature) continue;
            uint32_t b = Bucket(WordOf(keys_[i], codes_[i]) & masks_[t]);
            bucketOf[i] = b;
            ++starts[b + 1];
        }
        for (size_t b = 0; b < buckets; ++b)
            starts[b + 1] += starts[b];
        std::vector<uint32_t> fill(starts.begin(), starts.end() - 1);
        std::vector<Slot>& items = items_[t];
        items.resize(starts[buckets]);
        for (size_t i = static_cast<size_t>(n); i-- > 0;) {
            if (keys_[i] == kNoSignature) continue;
            items[fill[bucketOf[i]]++] = Slot{static_cast<uint32_t>(i), keys_[i], codes_[i]};
        }
    }
}

size_t SignatureIndex::ChooseTables(const OrientedSignature& d) {
    chosen_.assign(masks_.size(), 0);
    const int allowed = settings_.NotStrict ? d.knownBits * settings_.TrackBar1 / 32 : 0;
    const auto& sets =
        covers_[static_cast<size_t>(std::clamp(allowed, 0, static_cast<int>(covers_.size()) - 1))];
    auto cost = [&](size_t t) { return size_t{1} << std::min(BitCount(masks_[t] & ~d.known), 24); };
    size_t lookups = 0;
    for (const std::vector<uint16_t>& within : sets) {
        size_t best = within.front();
        for (uint16_t t : within)
            if (chosen_[t] || cost(t) < cost(best)) {
                best = t;
                if (chosen_[t]) break;
            }
        if (chosen_[best]) continue;
        chosen_[best] = 1;
        lookups += cost(best);
    }
    return lookups;
}

} // namespace lumidex
