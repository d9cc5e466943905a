#include "Matcher.h"

#include "Options.h"
#include "Paths.h"

#include <algorithm>

namespace lumidex {

MatchSettings MatchSettingsFrom(const Options& o) {
    MatchSettings s;
    s.NotStrict = o.NotStrict;
    s.DoubleCheck = o.DoubleCheck;
    // The key tolerance bar is shorter without the second test; its position follows it.
    s.TrackBar1 = std::clamp(o.TrackBar1, kTrackBar1Min, o.TrackBar1Max());
    s.TrackBar3 = std::clamp(o.TrackBar3, 0, kTrackBar3Max);
    s.CheckBoxSameSizeOnly = o.CheckBoxSameSizeOnly;
    s.TrackBarSizeRange = std::clamp(o.TrackBarSizeRange, 0, kTrackBarSizeRangeMax);
    s.ExcludeSameFolder = o.ExcludeSameFolder;
    s.MatchOrientations = o.MatchOrientations;
    return s;
}

bool PassesEntryTests(const Probe& probe, const Pdata& c, const MatchSettings& s) {
    if (probe.key == kNoSignature) return false;
    // An entry without a signature (made from a list of names) is no copy of anything.
    if (c.key == kNoSignature) return false;
    if (probe.group != 0 && c.mismatchGroup == probe.group) return false;
    if (s.CheckBoxSameSizeOnly) {
        int r = s.TrackBarSizeRange;
        if (r == 0) {
            if (c.fileSize != probe.size) return false;
        } else {
            // No percentage of an empty reference exists: nothing is within range of it.
            if (probe.size == 0) return false;
            int64_t p = int64_t{c.fileSize} * 100 / int64_t{probe.size};
            if (p < 100 - 10 * r || p > 100 + 10 * r) return false;
        }
    }
    return !s.ExcludeSameFolder || !paths::SameFolder(probe.path, c.path);
}

std::optional<Orientation> HowSimilar(const Probe& probe, const OtherOrientations* turned,
                                      const Pdata& c, const MatchSettings& s) {
    if (!PassesEntryTests(probe, c, s)) return std::nullopt;
    return SignatureWay(probe.key, probe.code, s.MatchOrientations ? turned : nullptr, c.key,
                        c.code, s);
}

bool IsSimilar(const Probe& probe, const Pdata& c, const MatchSettings& s) {
    const std::optional<OtherOrientations> turned = OrientationsFor(probe, s);
    return HowSimilar(probe, turned ? &*turned : nullptr, c, s).has_value();
}

int Matcher::FindNext(const Probe& probe, int start, int step, Orientation* way) const {
    if (probe.key == kNoSignature) return -1;
    const std::optional<OtherOrientations> turned = OrientationsFor(probe, settings_);
    const int n = catalogue_.Count();
    for (int i = start + step; i >= 0 && i < n; i += step) {
        std::optional<Orientation> how =
            HowSimilar(probe, turned ? &*turned : nullptr, catalogue_.Entry(i), settings_);
        if (!how) continue;
        if (way) *way = *how;
        return i;
    }
    return -1;
}

} // namespace lumidex
