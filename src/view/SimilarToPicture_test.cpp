#include "SimilarToPicture.h"

#include "ListsTestFixture.h"
#include "Signature.h"
#include "SignatureIndex.h"
#include "TestPictures.h"

#include <gtest/gtest.h>

#include <random>

namespace lumidex {
namespace {

TEST(SimilarToOutsider, IndexFindsWhatThePlainScanFinds) {
    test::Fixture f;
    std::mt19937 rng(5);
    // Clusters of near signatures among random ones, enough entries for the index.
    for (int i = 0; i < 4000; ++i) {
        uint32_t key = rng(), code = rng();
        if (i % 4 == 0) {
            key = 0x12345678u ^ (rng() % 2 ? 1u << (rng() % 32) : 0u);
            code = 0x0F0F0F0Fu ^ (rng() % 2 ? 3u << (2 * (rng() % 16)) : 0u);
        }
        f.Add("/c/" + std::to_string(i / 4 % 2) + "/" + std::to_string(i) + ".jpg", key, code,
              1000 + static_cast<int>(rng() % 3));
    }
    for (const char* set : {"default", "strict", "same size", "folder"}) {
        MatchSettings s;
        if (std::string(set) == "strict") s.NotStrict = false;
        if (std::string(set) == "same size") s.CheckBoxSameSizeOnly = true;
        if (std::string(set) == "folder") s.ExcludeSameFolder = true;
        SignatureIndex index(f.catalogue, s);
        for (uint32_t probeKey : {0x12345678u, 0x12345679u, 0xDEADBEEFu}) {
            // In the folder of half the entries: the folder test leaves those out.
            Pdata outsider("/c/0/outside.jpg");
            outsider.key = probeKey;
            outsider.code = 0x0F0F0F0Fu;
            outsider.fileSize = 1001;
            const std::vector<int> plain = SimilarToOutsider(f.catalogue, s, outsider);
            EXPECT_EQ(SimilarToOutsider(f.catalogue, s, outsider, &index), plain) << set;
            EXPECT_TRUE(std::is_sorted(plain.begin(), plain.end()));
            if (probeKey == 0x12345678u) {
                EXPECT_FALSE(plain.empty()) << set;
            }
        }
    }
}

TEST(CompareWithPicture, FillsTheReferenceListWithTheLookAlikes) {
    test::Fixture f;
    const QImage picture = test::PhotoLikePicture(64, 48, 3);
    Pdata probe("x");
    ComputeSignature(picture, probe, SignatureMode::WholePicture, 0, 0, 0, 0, f.frame);
    Pdata* same = f.Add("/a/same.jpg", probe.key, probe.code);
    f.Add("/a/other.jpg", ~probe.key, ~probe.code);
    Pdata* listed = f.Add("/a/listed.jpg", ~probe.key, probe.code);
    f.lists.AddRow(f.lists.reference, listed);

    ASSERT_TRUE(CompareWithPicture(f.lists, picture));
    ASSERT_EQ(f.lists.reference.Count(), 1);
    EXPECT_EQ(f.lists.reference.EntryAt(0), same);

    // Under 16 pixels: no signature, an empty list.
    ASSERT_TRUE(CompareWithPicture(f.lists, test::PhotoLikePicture(15, 40, 3)));
    EXPECT_EQ(f.lists.reference.Count(), 0);

    // Refused while a long operation runs: the list stays as it is.
    f.lists.AddRow(f.lists.reference, listed);
    {
        OperationScope running(f.state);
        EXPECT_FALSE(CompareWithPicture(f.lists, picture));
    }
    EXPECT_FALSE(CompareWithPicture(f.lists, QImage()));
    ASSERT_EQ(f.lists.reference.Count(), 1);
    EXPECT_EQ(f.lists.reference.EntryAt(0), listed);
}

} // namespace
} // namespace lumidex
