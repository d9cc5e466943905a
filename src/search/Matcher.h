#pragma once

#include "BitCount.h"
#include "Catalogue.h"
#include "Orientation.h"

#include <array>
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
    return BitCount(a ^ b);
}
// Number of differing 2-bit cells of two luminance codes.
inline int CellDistance(uint32_t a, uint32_t b) {
    uint32_t x = a ^ b;
    return BitCount((x | (x >> 1)) & 0x55555555u);
}

// How many key bits may differ: upright, and in a derived orientation, of its known bits.
// Equal keys always match, whatever the bar says.
inline int KeyAllowance(const MatchSettings& s) {
    return s.NotStrict && s.TrackBar1 > 0 ? s.TrackBar1 : 0;
}
inline int KeyAllowance(const OrientedSignature& d, const MatchSettings& s) {
    return s.NotStrict && s.TrackBar1 > 0 ? d.knownBits * s.TrackBar1 / 32 : 0;
}

// The signature test alone: reference key and code against a candidate's.
inline bool SignatureMatches(uint32_t refKey, uint32_t refCode, uint32_t key, uint32_t code,
                             const MatchSettings& s) {
    if (refKey == key) {
        if (!s.DoubleCheck) return true;
        if (s.NotStrict) return CellDistance(refCode, code) <= s.TrackBar3;
        return refCode == code;
    }
    if (KeyDistance(refKey, key) > KeyAllowance(s)) return false;
    return !s.DoubleCheck || CellDistance(refCode, code) <= s.TrackBar3;
}

// The signature test against a reference in another orientation: the known key bits within
// the key tolerance scaled to their share of the key, the code under the cell tolerance. The
// code is tested even without the second test: the known bits alone let through many times
// the strangers the whole key does, and the code, exact in every orientation, stands in for
// the bits that are not known.
inline bool OrientedSignatureMatches(const OrientedSignature& d, uint32_t key, uint32_t code,
                                     const MatchSettings& s) {
    const int distance = KeyDistance(key & d.known, d.key);
    if (distance == 0) {
        if (s.NotStrict) return CellDistance(d.code, code) <= s.TrackBar3;
        return d.code == code;
    }
    if (distance > KeyAllowance(d, s)) return false;
    return CellDistance(d.code, code) <= s.TrackBar3;
}

// The key half of the two tests above, for a candidate whose code already passed.
inline bool KeyMatches(uint32_t refKey, uint32_t key, const MatchSettings& s) {
    return KeyDistance(refKey, key) <= KeyAllowance(s);
}
inline bool OrientedKeyMatches(const OrientedSignature& d, uint32_t key, const MatchSettings& s) {
    return KeyDistance(key & d.known, d.key) <= KeyAllowance(d, s);
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

// The codes of a probe in every orientation, and its other signatures derived when first
// needed: most candidates fail on the code, and the code needs no key.
class ProbeTurns {
public:
    ProbeTurns(uint32_t key, uint32_t code) : key_(key), codes_(OrientedCodes(code)) {}
    const std::array<uint32_t, kOrientations>& Codes() const { return codes_; }
    uint32_t Code(Orientation o) const { return codes_[static_cast<size_t>(o)]; }
    const OrientedSignature& Signature(Orientation o) {
        const size_t i = static_cast<size_t>(o);
        if (!(derived_ >> i & 1u)) {
            signatures_[i] = DeriveOrientation(key_, codes_[0], o);
            derived_ |= static_cast<uint8_t>(1u << i);
        }
        return signatures_[i];
    }

private:
    uint32_t key_;
    std::array<uint32_t, kOrientations> codes_{};
    std::array<OrientedSignature, kOrientations> signatures_{};
    uint8_t derived_ = 0;
};

// Whether two codes leave a turned match possible at all: true of every pair that passes
// the signature test in another orientation.
inline bool CodesAllow(uint32_t a, uint32_t b, const MatchSettings& s) {
    if (!s.NotStrict) return a == b;
    // At most TrackBar3 differing cells: that many cleared leave none, cheaper than a count.
    const uint32_t x = a ^ b;
    uint32_t cells = (x | (x >> 1)) & 0x55555555u;
    // A fixed count of steps: stopping at none left would make the branch a guess.
    for (int i = 0; i < s.TrackBar3; ++i)
        cells &= cells - 1;
    return cells == 0;
}

// The same answer as SignatureWay with every orientation, deriving only those whose code
// allows a match.
inline std::optional<Orientation> SignatureWay(uint32_t refKey, uint32_t refCode, ProbeTurns& turns,
                                               uint32_t key, uint32_t code,
                                               const MatchSettings& s) {
    if (SignatureMatches(refKey, refCode, key, code, s)) return Orientation::Upright;
    for (int i = 1; i < kOrientations; ++i) {
        const Orientation o = static_cast<Orientation>(i);
        if (!CodesAllow(turns.Code(o), code, s)) continue;
        if (OrientedSignatureMatches(turns.Signature(o), key, code, s)) return o;
    }
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
