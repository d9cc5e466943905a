#pragma once

#include "Catalogue.h"
#include "Orientation.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace lumidex {

struct Options;

// The option values the matcher reads, taken once per scan.
struct MatchSettings {
    bool NotStrict = true;
    int TrackBar1 = 8; // largest key distance
    bool DoubleCheck = true;
    int TrackBar3 = 2; // largest cell distance
    bool CheckBoxSameSizeOnly = false;
    int TrackBarSizeRange = 0;
    bool ExcludeSameFolder = false;
    bool MatchOrientations = false; // also mirrored and turned copies

    bool operator==(const MatchSettings&) const = default;
};

MatchSettings MatchSettingsFrom(const Options& options);

// Number of differing bits of two keys.
inline int KeyDistance(uint32_t a, uint32_t b) {
    return __builtin_popcount(a ^ b);
}
// Number of differing 2-bit cells of two luminance codes.
inline int CellDistance(uint32_t a, uint32_t b) {
    uint32_t x = a ^ b;
    return __builtin_popcount((x | (x >> 1)) & 0x55555555u);
}

// The signature test alone: reference key and code against a candidate's.
inline bool SignatureMatches(uint32_t refKey, uint32_t refCode, uint32_t key, uint32_t code,
                             const MatchSettings& s) {
    if (refKey == key) {
        if (!s.DoubleCheck) return true;
        if (s.NotStrict) return CellDistance(refCode, code) <= s.TrackBar3;
        return refCode == code;
    }
    if (!s.NotStrict) return false;
    if (KeyDistance(refKey, key) > s.TrackBar1) return false;
    return !s.DoubleCheck || CellDistance(refCode, code) <= s.TrackBar3;
}

// The signature test against a reference in another orientation: the known key bits within
// the key tolerance scaled to their share of the key, the code under the cell tolerance.
inline bool OrientedSignatureMatches(const OrientedSignature& d, uint32_t key, uint32_t code,
                                     const MatchSettings& s) {
    const int distance = KeyDistance(key & d.known, d.key);
    if (distance == 0) {
        if (!s.DoubleCheck) return true;
        if (s.NotStrict) return CellDistance(d.code, code) <= s.TrackBar3;
        return d.code == code;
    }
    if (!s.NotStrict) return false;
    if (distance > d.knownBits * s.TrackBar1 / 32) return false;
    return !s.DoubleCheck || CellDistance(d.code, code) <= s.TrackBar3;
}

// How a candidate passed the signature test: directly (Upright) or through the first of the
// other orientations that accepts it; nullopt when none does. turned is null unless the
// settings ask for orientations.
inline std::optional<Orientation> SignatureWay(uint32_t refKey, uint32_t refCode,
                                               const OtherOrientations* turned, uint32_t key,
                                               uint32_t code, const MatchSettings& s) {
    if (SignatureMatches(refKey, refCode, key, code, s)) return Orientation::Upright;
    if (turned)
        for (const OrientedSignature& d : *turned)
            if (OrientedSignatureMatches(d, key, code, s)) return d.orientation;
    return std::nullopt;
}

// What a scan compares candidates with: the key and code of an entry or of one of its
// regions, with the owner's group, size and folder.
struct Probe {
    uint32_t key = kNoSignature;
    uint32_t code = 0;
    uint16_t group = 0;
    int32_t size = -1;
    std::string_view path; // the owner's path, for the folder test
};

inline Probe ProbeOf(const Pdata& entry) {
    return Probe{entry.key, entry.code, entry.mismatchGroup, entry.fileSize, entry.path};
}

// The tests of one candidate that look at the entry, not the signature: a signature at all,
// mismatch group, size and folder.
bool PassesEntryTests(const Probe& probe, const Pdata& candidate, const MatchSettings& s);

// The orientations a scan tests besides the upright one, or none.
inline std::optional<OtherOrientations> OrientationsFor(const Probe& probe,
                                                        const MatchSettings& s) {
    if (!s.MatchOrientations || probe.key == kNoSignature) return std::nullopt;
    return DeriveOrientations(probe.key, probe.code);
}

// Every test of one candidate against a probe, in the order that rejects cheapest first; the
// way it matched, or nullopt. turned comes from OrientationsFor, once per probe.
std::optional<Orientation> HowSimilar(const Probe& probe, const OtherOrientations* turned,
                                      const Pdata& candidate, const MatchSettings& s);
bool IsSimilar(const Probe& probe, const Pdata& candidate, const MatchSettings& s);

// Finds the entries that count as similar to a picture, scanning the catalogue.
class Matcher {
public:
    Matcher(const Catalogue& catalogue, const MatchSettings& settings)
        : catalogue_(catalogue), settings_(settings) {}

    // Next position after start (in steps of step) whose entry is similar to the reference,
    // or -1. The reference itself is tested like any other entry.
    int FindNextSimilar(const Pdata& reference, int start, int step) const {
        return FindNext(ProbeOf(reference), start, step);
    }
    // The same with a region's key and code in place of the owner's.
    int FindNextSimilarToRegion(const Pdata& owner, uint32_t key, uint32_t code, int start,
                                int step) const {
        Probe p = ProbeOf(owner);
        p.key = key;
        p.code = code;
        return FindNext(p, start, step);
    }
    // way, when given, receives how the entry found matched.
    int FindNext(const Probe& probe, int start, int step, Orientation* way = nullptr) const;

    const MatchSettings& settings() const { return settings_; }
    const Catalogue& catalogue() const { return catalogue_; }

private:
    const Catalogue& catalogue_;
    MatchSettings settings_;
};

} // namespace lumidex
