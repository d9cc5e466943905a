#pragma once

#include "Matcher.h"
#include "OrientedTables.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <type_traits>
#include <utility>
#include <vector>

namespace lumidex {

// Candidate index over the signatures of a catalogue, for scans that ask every entry for its
// similar entries. Any two signatures that pass the signature test differ in at most t units
// (bits of the key or cells of the code, whichever the settings bound): split into B blocks,
// at least B - t blocks agree, so every similar pair shares a bucket in one of the tables
// keyed by each choice of B - t blocks. Buckets only propose; the exact tests decide.
class SignatureIndex {
public:
    SignatureIndex(const Catalogue& catalogue, const MatchSettings& settings);

    // Number of tables the settings call for; past a few dozen a plain scan is cheaper to
    // start and the index is not worth building.
    static int TablesFor(const MatchSettings& settings);
    static constexpr int kMaxTables = 64;

    // Calls visit(position) once for each entry similar to the probe by every test of the
    // matcher, positions from `from` up, skipping `skip`; stops early when visit returns false.
    // visit(position, orientation) also learns how the entry matched.
    template <class Visit>
    void ForEachSimilar(const Probe& probe, int from, int skip, Visit&& visit);

    int Count() const { return static_cast<int>(keys_.size()); }
    // Whether the catalogue is still as it was when the index was built.
    bool Current() const { return generation_ == catalogue_.Generation(); }
    int TableCount() const {
        return (oriented_ ? oriented_->Lookups() : 0) + static_cast<int>(masks_.size());
    }
    const MatchSettings& settings() const { return settings_; }

private:
    uint32_t WordOf(uint32_t key, uint32_t code) const { return onCode_ ? code : key; }
    uint32_t Bucket(uint32_t masked) const {
        return static_cast<uint32_t>((uint64_t{masked} * 0x9E3779B97F4A7C15ull) >> shift_);
    }

    const Catalogue& catalogue_;
    uint64_t generation_;
    MatchSettings settings_;
    bool onCode_ = false;
    int shift_ = 64;
    std::vector<uint32_t> keys_, codes_;
    std::vector<uint32_t> masks_;
    // A bucket item carries its signature, so that rejecting it touches no other memory.
    struct Slot {
        uint32_t position, key, code;
    };
    // Per table: bucket starts (buckets + 1) and items in descending position per bucket.
    std::vector<std::vector<uint32_t>> starts_;
    std::vector<std::vector<Slot>> items_;
    // Narrow stamps keep the marks of a large catalogue in the cache; a wrap clears them.
    std::vector<uint16_t> seen_;
    uint16_t stamp_ = 0;
    // With orientations matched on the code: tables that serve all of them at once, in
    // place of the upright ones.
    std::unique_ptr<OrientedTables> oriented_;
    // With orientations matched on the key: per number of differing blocks allowed, each
    // set of blocks that could be free of differences, as the tables it holds.
    std::vector<std::vector<std::vector<uint16_t>>> covers_;
    std::vector<uint8_t> chosen_;
    struct Lookup {
        const Slot *first, *last;
        uint32_t table, bucket;
    };
    std::vector<Lookup> lookups_;
    // The tables a turned key is looked up in, each with every value of its unknown bits,
    // fewest look-ups first; their number of look-ups.
    size_t ChooseTables(const OrientedSignature& d);
};

template <class Visit>
void SignatureIndex::ForEachSimilar(const Probe& probe, int from, int skip, Visit&& visit) {
    if (probe.key == kNoSignature) return;
    if (++stamp_ == 0) {
        std::fill(seen_.begin(), seen_.end(), 0);
        stamp_ = 1;
    }
    // Returns false to stop. A position is seen once its signature passed, so that an entry
    // found upright is not found again turned, and entry tests that failed are not repeated.
    auto offer = [&](uint32_t p, Orientation way) {
        if (static_cast<int>(p) == skip || seen_[p] == stamp_) return true;
        seen_[p] = stamp_;
        if (!PassesEntryTests(probe, catalogue_.Entry(static_cast<int>(p)), settings_)) return true;
        if constexpr (std::is_invocable_v<Visit, int, Orientation>)
            return static_cast<bool>(visit(static_cast<int>(p), way));
        else
            return static_cast<bool>(visit(static_cast<int>(p)));
    };
    // Items run from the newest position down: a scan stops at the first one before `from`.
    auto bucket = [&](size_t t, uint32_t word) {
        const uint32_t b = Bucket(word & masks_[t]);
        return std::pair{items_[t].data() + starts_[t][b], items_[t].data() + starts_[t][b + 1]};
    };
    auto inRange = [from](const Slot* s) { return static_cast<int>(s->position) >= from; };
    // Through the orientation tables, which tested the code already in the orientation an
    // item stands for; every other orientation that accepts the entry has an item of its own.
    // upright: whether they serve the upright orientation too, or the key tables do.
    auto orientedPass = [&](bool upright) {
        ProbeTurns turns(probe.key, probe.code);
        // The key test, made in the tables before an item is proposed: the bounds of the
        // orientations met, derived when first needed.
        std::array<OrientedTables::KeyBound, kOrientations> bounds;
        unsigned bounded = 0;
        auto bound = [&](Orientation o) -> const OrientedTables::KeyBound& {
            const size_t i = static_cast<size_t>(o);
            if (!(bounded >> i & 1u)) {
                bounded |= 1u << i;
                if (o != Orientation::Upright) {
                    const OrientedSignature& d = turns.Signature(o);
                    bounds[i] = {d.key, d.known, KeyAllowance(d, settings_)};
                } else if (upright) {
                    bounds[i] = {probe.key, ~0u, KeyAllowance(settings_)};
                }
            }
            return bounds[i];
        };
        oriented_->ForEachCandidate(turns.Codes(), from, bound, [&](uint32_t p, Orientation) {
            if (static_cast<int>(p) == skip || seen_[p] == stamp_) return true;
            seen_[p] = stamp_;
            // Reported is the first orientation that accepts it, as the plain scan does.
            const std::optional<Orientation> way =
                SignatureWay(probe.key, probe.code, turns, keys_[p], codes_[p], settings_);
            if (!way) return true;
            if (!PassesEntryTests(probe, catalogue_.Entry(static_cast<int>(p)), settings_))
                return true;
            if constexpr (std::is_invocable_v<Visit, int, Orientation>)
                return static_cast<bool>(visit(static_cast<int>(p), *way));
            else
                return static_cast<bool>(visit(static_cast<int>(p)));
        });
    };
    if (oriented_ && onCode_) {
        orientedPass(true);
        return;
    }
    const uint32_t word = WordOf(probe.key, probe.code);
    // All buckets are asked for before any is read, so that they arrive side by side.
    std::array<Lookup, kMaxTables> upright;
    const size_t tables = std::min(masks_.size(), upright.size());
    for (size_t t = 0; t < tables; ++t) {
        const uint32_t b = Bucket(word & masks_[t]);
        __builtin_prefetch(starts_[t].data() + b);
        upright[t].bucket = b;
    }
    for (size_t t = 0; t < tables; ++t) {
        upright[t].first = items_[t].data() + starts_[t][upright[t].bucket];
        upright[t].last = items_[t].data() + starts_[t][upright[t].bucket + 1];
        __builtin_prefetch(upright[t].first);
    }
    for (size_t t = 0; t < masks_.size(); ++t) {
        auto [first, last] =
            t < tables ? std::pair{upright[t].first, upright[t].last} : bucket(t, word);
        for (const Slot* s = first; s != last && inRange(s); ++s) {
            if (!SignatureMatches(probe.key, probe.code, s->key, s->code, settings_)) continue;
            if (!offer(s->position, Orientation::Upright)) return;
        }
    }
    if (!settings_.MatchOrientations) return;
    if (oriented_) {
        orientedPass(false);
        return;
    }
    // Orientations in a fixed order, each complete before the next, as the plain scan
    // reports the first orientation that accepts an entry.
    for (const OrientedSignature& d : DeriveOrientations(probe.key, probe.code)) {
        if (!onCode_) {
            // A table's unknown key bits are tried with every value. Should that take more
            // look-ups than a scan of the catalogue costs, the scan serves instead.
            if (ChooseTables(d) > keys_.size() / 16) {
                for (uint32_t p = static_cast<uint32_t>(std::max(from, 0)); p < keys_.size(); ++p) {
                    if (keys_[p] == kNoSignature || seen_[p] == stamp_) continue;
                    if (!OrientedSignatureMatches(d, keys_[p], codes_[p], settings_)) continue;
                    if (!offer(p, d.orientation)) return;
                }
                continue;
            }
            // All buckets are asked for before any is read, so that they arrive side by side.
            lookups_.clear();
            for (size_t t = 0; t < masks_.size(); ++t) {
                if (!chosen_[t]) continue;
                const uint32_t unknown = masks_[t] & ~d.known;
                uint32_t value = 0;
                do {
                    const uint32_t b = Bucket((d.key | value) & masks_[t]);
                    __builtin_prefetch(starts_[t].data() + b);
                    lookups_.push_back({nullptr, nullptr, static_cast<uint32_t>(t), b});
                    value = (value - unknown) & unknown; // the next value of the unknown bits
                } while (value != 0);
            }
            for (Lookup& l : lookups_) {
                l.first = items_[l.table].data() + starts_[l.table][l.bucket];
                l.last = items_[l.table].data() + starts_[l.table][l.bucket + 1];
                __builtin_prefetch(l.first);
            }
            for (const Lookup& l : lookups_)
                for (const Slot* s = l.first; s != l.last && inRange(s); ++s) {
                    if (!OrientedSignatureMatches(d, s->key, s->code, settings_)) continue;
                    if (seen_[s->position] == stamp_) continue;
                    if (!offer(s->position, d.orientation)) return;
                }
            continue;
        }
        for (size_t t = 0; t < masks_.size(); ++t) {
            auto [first, last] = bucket(t, d.code);
            for (const Slot* s = first; s != last && inRange(s); ++s) {
                if (seen_[s->position] == stamp_) continue;
                if (!OrientedSignatureMatches(d, s->key, s->code, settings_)) continue;
                if (!offer(s->position, d.orientation)) return;
            }
        }
    }
}

} // namespace lumidex
