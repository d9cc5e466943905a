#include "Matcher.h"

#include "Options.h"

#include <gtest/gtest.h>

namespace lumidex {
namespace {

Pdata Entry(const std::string& path, uint32_t key, uint32_t code, int32_t size = 1000) {
    Pdata e(path);
    e.key = key;
    e.code = code;
    e.fileSize = size;
    return e;
}

TEST(Matcher, SignatureRules) {
    struct Case {
        const char* what;
        bool notStrict, doubleCheck;
        int t1, t3;
        uint32_t key2, code2;
        bool similar;
    };
    // Reference key 0, code 0. One cell differing: code 1; two: 0x5.
    const Case cases[] = {
        {"strict, equal keys, no double check", false, false, 8, 2, 0, 0xFF, true},
        {"strict, double check wants equal codes", false, true, 8, 4, 0, 0x1, false},
        {"strict, double check, equal codes", false, true, 8, 2, 0, 0, true},
        {"strict, keys differ", false, false, 8, 2, 1, 0, false},
        {"loose, 8 bits within 8", true, true, 8, 2, 0xFF, 0, true},
        {"loose, 9 bits beyond 8", true, true, 8, 2, 0x1FF, 0, false},
        {"loose, cells 2 within 2", true, true, 8, 2, 1, 0x5, true},
        {"loose, cells 3 beyond 2", true, true, 8, 2, 1, 0x15, false},
        {"loose, tolerance 0 wants equal codes", true, true, 8, 0, 0, 0x2, false},
        {"values of a differing cell do not matter", true, true, 8, 1, 0, 0x3, true},
        {"no double check ignores codes", true, false, 4, 0, 0xF, 0xFFFF, true},
    };
    for (const Case& c : cases) {
        MatchSettings s;
        s.NotStrict = c.notStrict;
        s.DoubleCheck = c.doubleCheck;
        s.TrackBar1 = c.t1;
        s.TrackBar3 = c.t3;
        Pdata ref = Entry("/a/r.jpg", 0, 0);
        Pdata cand = Entry("/b/c.jpg", c.key2, c.code2);
        EXPECT_EQ(IsSimilar(ProbeOf(ref), cand, s), c.similar) << c.what;
    }
}

TEST(Matcher, SizeRangeIsRelativeToTheReference) {
    MatchSettings s;
    s.CheckBoxSameSizeOnly = true;
    s.TrackBarSizeRange = 1;
    struct Case {
        int32_t ref, cand;
        bool similar;
    };
    const Case cases[] = {{1000, 1109, true},
                          {1000, 1110, false},
                          {1000, 900, true},
                          {1000, 899, false},
                          {1110, 1000, true},
                          {-1, -1, true},
                          {-1, 1000, false},
                          {1000, -1, false},
                          // an empty reference has no percentage: nothing matches it
                          {0, 0, false},
                          // sizes near the 32-bit limit must not overflow
                          {2147483647, 2147483647, true},
                          {2000000000, 2147483647, true}};
    for (const Case& c : cases) {
        Pdata ref = Entry("/a/r.jpg", 0, 0, c.ref);
        Pdata cand = Entry("/b/c.jpg", 0, 0, c.cand);
        EXPECT_EQ(IsSimilar(ProbeOf(ref), cand, s), c.similar) << c.ref << " vs " << c.cand;
    }
    s.TrackBarSizeRange = 0;
    Pdata ref = Entry("/a/r.jpg", 0, 0, 0);
    EXPECT_TRUE(IsSimilar(ProbeOf(ref), Entry("/b/c.jpg", 0, 0, 0), s));
    EXPECT_FALSE(IsSimilar(ProbeOf(ref), Entry("/b/c.jpg", 0, 0, 1), s));
    s.TrackBarSizeRange = 9;
    Pdata big = Entry("/a/r.jpg", 0, 0, 1000);
    EXPECT_TRUE(IsSimilar(ProbeOf(big), Entry("/b/c.jpg", 0, 0, 100), s));
    EXPECT_TRUE(IsSimilar(ProbeOf(big), Entry("/b/c.jpg", 0, 0, 1909), s));
    EXPECT_FALSE(IsSimilar(ProbeOf(big), Entry("/b/c.jpg", 0, 0, 99), s));
    EXPECT_FALSE(IsSimilar(ProbeOf(big), Entry("/b/c.jpg", 0, 0, 1910), s));
}

TEST(Matcher, GroupFolderAndMissingSignatures) {
    MatchSettings s;
    Pdata ref = Entry("/pics/r.jpg", 0, 0);
    EXPECT_TRUE(IsSimilar(ProbeOf(ref), ref, s)) << "itself";
    ref.mismatchGroup = 7;
    EXPECT_FALSE(IsSimilar(ProbeOf(ref), ref, s)) << "own group";
    Pdata other = Entry("/pics/o.jpg", 0, 0);
    other.mismatchGroup = 8;
    EXPECT_TRUE(IsSimilar(ProbeOf(ref), other, s));

    s.ExcludeSameFolder = true;
    EXPECT_FALSE(IsSimilar(ProbeOf(ref), other, s));
    EXPECT_TRUE(IsSimilar(ProbeOf(ref), Entry("/pics/sub/o.jpg", 0, 0), s));
    // Case-sensitive file system: another letter case is another folder.
    EXPECT_TRUE(IsSimilar(ProbeOf(ref), Entry("/PICS/o.jpg", 0, 0), s));

    // Entries without a signature are never similar, in either role.
    MatchSettings loose;
    loose.TrackBar1 = 15;
    loose.TrackBar3 = 4;
    Pdata bright = Entry("/a/b.jpg", 0xFFFFFFF0u, 0xFFFFFFFFu);
    Pdata none = Entry("/a/n.jpg", kNoSignature, kNoSignature);
    EXPECT_FALSE(IsSimilar(ProbeOf(bright), none, loose));
    EXPECT_FALSE(IsSimilar(ProbeOf(none), bright, loose));
}

TEST(Matcher, ScansInCatalogueOrder) {
    Catalogue cat;
    for (const char* p : {"/a/1.jpg", "/a/2.jpg", "/a/3.jpg", "/a/4.jpg"}) {
        auto e = std::make_unique<Pdata>(p);
        e->key = p[3] == '3' ? 0xFFFF0000u : 0;
        cat.Insert(std::move(e));
    }
    Matcher m(cat, MatchSettings{});
    const Pdata& ref = cat.Entry(0);
    EXPECT_EQ(m.FindNextSimilar(ref, -1, 1), 0) << "the reference is not skipped";
    EXPECT_EQ(m.FindNextSimilar(ref, 0, 1), 1);
    EXPECT_EQ(m.FindNextSimilar(ref, 1, 1), 3);
    EXPECT_EQ(m.FindNextSimilar(ref, 3, 1), -1);
    EXPECT_EQ(m.FindNextSimilar(ref, 3, -1), 1);
    EXPECT_EQ(m.FindNextSimilarToRegion(ref, 0xFFFF0000u, 0, -1, 1), 2);
    Catalogue empty;
    EXPECT_EQ(Matcher(empty, MatchSettings{}).FindNextSimilar(ref, -1, 1), -1);
}

// A candidate lying in orientation o relative to the reference: the derived code, the known
// key bits, and arbitrary values where the key is unknown.
Pdata Turned(const Pdata& ref, Orientation o, const std::string& path) {
    const OrientedSignature d = DeriveOrientation(ref.key, ref.code, o);
    return Entry(path, d.key | (0xA5C3F00Fu & ~d.known), d.code);
}

TEST(Matcher, TurnedCopiesOnlyWhenAsked) {
    // Cells rise to the right and downwards: no turn or mirror of it looks like it upright.
    const Pdata ref = Entry("/a/r.jpg", 0x88888000u ^ 0x00008888u, 0x016AFFEAu);
    MatchSettings plain;
    MatchSettings turned;
    turned.MatchOrientations = true;
    for (int o = 1; o < kOrientations; ++o) {
        const Orientation way = static_cast<Orientation>(o);
        Pdata cand = Turned(ref, way, "/b/c.jpg");
        SCOPED_TRACE(o);
        EXPECT_FALSE(IsSimilar(ProbeOf(ref), cand, plain));
        const OtherOrientations all = DeriveOrientations(ref.key, ref.code);
        std::optional<Orientation> how = HowSimilar(ProbeOf(ref), &all, cand, turned);
        ASSERT_TRUE(how.has_value());
        EXPECT_EQ(IsMirrored(*how), IsMirrored(way));
        EXPECT_TRUE(IsSimilar(ProbeOf(ref), cand, turned));
        // The other tests stand as they are.
        Probe owner = ProbeOf(ref);
        owner.group = 5;
        cand.mismatchGroup = 5;
        EXPECT_FALSE(IsSimilar(owner, cand, turned));
        cand.mismatchGroup = 0;
        MatchSettings sized = turned;
        sized.CheckBoxSameSizeOnly = true;
        cand.fileSize = 999;
        EXPECT_FALSE(IsSimilar(ProbeOf(ref), cand, sized));
    }

    Catalogue cat;
    cat.Insert(std::make_unique<Pdata>(Entry("/a/1.jpg", ref.key, ref.code)));
    cat.Insert(std::make_unique<Pdata>(Turned(ref, Orientation::TurnedRight, "/a/2.jpg")));
    cat.Insert(std::make_unique<Pdata>(Entry("/a/3.jpg", ref.key ^ 1u, ref.code)));
    Orientation way = Orientation::MirroredUpDown;
    Matcher m(cat, turned);
    EXPECT_EQ(m.FindNext(ProbeOf(ref), -1, 1, &way), 0);
    EXPECT_EQ(way, Orientation::Upright);
    EXPECT_EQ(m.FindNext(ProbeOf(ref), 0, 1, &way), 1);
    EXPECT_EQ(way, Orientation::TurnedRight);
    EXPECT_EQ(m.FindNext(ProbeOf(ref), 1, 1, &way), 2);
    EXPECT_EQ(way, Orientation::Upright) << "an upright match goes first";
    EXPECT_EQ(Matcher(cat, plain).FindNext(ProbeOf(ref), 0, 1), 2);
}

// The key tolerance shrinks with the share of the key that is known; the cells keep theirs.
TEST(Matcher, TurnedToleranceScalesWithTheKnownBits) {
    const OrientedSignature d =
        DeriveOrientation(0x3C5A9617u, 0x1B6C93E4u, Orientation::MirroredLeftRight);
    ASSERT_GT(d.knownBits, 8);
    for (int t1 : {1, 4, 8, 15}) {
        MatchSettings s;
        s.MatchOrientations = true;
        s.TrackBar1 = t1;
        s.TrackBar3 = 2;
        const int allowed = d.knownBits * t1 / 32;
        auto flipKnown = [&](int n) {
            uint32_t key = d.key | (0x0F0F0F0Fu & ~d.known);
            for (int b = 0; b < 32 && n > 0; ++b)
                if (d.known >> b & 1u) key ^= 1u << b, --n;
            return key;
        };
        SCOPED_TRACE(t1);
        EXPECT_TRUE(OrientedSignatureMatches(d, flipKnown(allowed), d.code, s));
        EXPECT_FALSE(OrientedSignatureMatches(d, flipKnown(allowed + 1), d.code, s));
        EXPECT_TRUE(OrientedSignatureMatches(d, flipKnown(0), d.code ^ 0x3Cu, s));
        EXPECT_FALSE(OrientedSignatureMatches(d, flipKnown(0), d.code ^ 0x3Fu, s));
    }
    // Without the second test the code still decides a turned match, as the known bits alone
    // pass many strangers; upright, the code stays out of it.
    MatchSettings keyOnly;
    keyOnly.MatchOrientations = true;
    keyOnly.DoubleCheck = false;
    keyOnly.TrackBar1 = 4;
    EXPECT_TRUE(OrientedSignatureMatches(d, d.key, d.code ^ 0x3Cu, keyOnly));
    EXPECT_FALSE(OrientedSignatureMatches(d, d.key, d.code ^ 0x3Fu, keyOnly));
    EXPECT_TRUE(SignatureMatches(d.key, d.code, d.key, d.code ^ 0x3Fu, keyOnly));
    MatchSettings strict;
    strict.NotStrict = false;
    EXPECT_TRUE(OrientedSignatureMatches(d, d.key | ~d.known, d.code, strict))
        << "strict: the known bits and the code equal";
    EXPECT_FALSE(OrientedSignatureMatches(d, d.key, d.code ^ 1u, strict));
}

TEST(Matcher, SettingsFromOptions) {
    Options o;
    o.DoubleCheck = false;
    o.TrackBar1 = 9; // a position the shorter bar cannot hold
    MatchSettings s = MatchSettingsFrom(o);
    EXPECT_EQ(s.TrackBar1, 4);
    EXPECT_FALSE(s.DoubleCheck);
    EXPECT_FALSE(s.MatchOrientations);
    o.MatchOrientations = true;
    EXPECT_TRUE(MatchSettingsFrom(o).MatchOrientations);
}

} // namespace
} // namespace lumidex
