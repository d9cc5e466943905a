#pragma once

#include "Matcher.h"

#include <algorithm>
#include <cstdint>
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
    template <class Visit>
    void ForEachSimilar(const Probe& probe, int from, int skip, Visit&& visit);

    int Count() const { return static_cast<int>(keys_.size()); }
    // Whether the catalogue is still as it was when the index was built.
    bool Current() const { return generation_ == catalogue_.Generation(); }
    int TableCount() const { return static_cast<int>(masks_.size()); }
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
    // Per table: bucket starts (buckets + 1) and items in ascending position per bucket.
    std::vector<std::vector<uint32_t>> starts_;
    std::vector<std::vector<Slot>> items_;
    std::vector<uint32_t> seen_;
    uint32_t stamp_ = 0;
};

template <class Visit>
void SignatureIndex::ForEachSimilar(const Probe& probe, int from, int skip, Visit&& visit) {
    if (probe.key == kNoSignature) return;
    if (++stamp_ == 0) {
        std::fill(seen_.begin(), seen_.end(), 0);
        stamp_ = 1;
    }
    const uint32_t word = WordOf(probe.key, probe.code);
    for (size_t t = 0; t < masks_.size(); ++t) {
        const uint32_t b = Bucket(word & masks_[t]);
        const Slot* first = items_[t].data() + starts_[t][b];
        const Slot* last = items_[t].data() + starts_[t][b + 1];
        if (from > 0)
            first = std::partition_point(
                first, last, [from](const Slot& s) { return static_cast<int>(s.position) < from; });
        for (const Slot* s = first; s != last; ++s) {
            if (!SignatureMatches(probe.key, probe.code, s->key, s->code, settings_)) continue;
            const uint32_t p = s->position;
            if (static_cast<int>(p) == skip || seen_[p] == stamp_) continue;
            seen_[p] = stamp_;
            if (!IsSimilar(probe, catalogue_.Entry(static_cast<int>(p)), settings_)) continue;
            if (!visit(static_cast<int>(p))) return;
        }
    }
}

} // namespace lumidex
