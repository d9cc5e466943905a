// The 1/8 decode from DC coefficients must give libjpeg's own 1/8 output, byte for byte, and
// leave every file it does not take, or cannot read cleanly, to libjpeg as before.
#include "JpegDcDecoder.h"
#include "RgbDecoders.h"

#include "JpegLayouts.h"
#include "TestPictures.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

using namespace lumidex;
using namespace lumidex::test;

namespace {

const JpegLayout kGrey{"grey", JCS_GRAYSCALE, JCS_GRAYSCALE, {{1, 1}}};
const JpegLayout k444{"4:4:4", JCS_RGB, JCS_YCbCr, {{1, 1}, {1, 1}, {1, 1}}};
const JpegLayout k422{"4:2:2", JCS_RGB, JCS_YCbCr, {{2, 1}, {1, 1}, {1, 1}}};
const JpegLayout k420{"4:2:0", JCS_RGB, JCS_YCbCr, {{2, 2}, {1, 1}, {1, 1}}};
const JpegLayout k440{"4:4:0", JCS_RGB, JCS_YCbCr, {{1, 2}, {1, 1}, {1, 1}}};
const JpegLayout kTaken[] = {kGrey, k444, k422, k420, k440};

struct Decoded {
    DecodeOutcome outcome = DecodeOutcome::Failed;
    int width = 0, height = 0;
    std::vector<uint8_t> pixels;
    bool fromDc = false;
    bool operator==(const Decoded& o) const {
        return outcome == o.outcome && width == o.width && height == o.height && pixels == o.pixels;
    }
};

// Decodes bytes (after `skip` bytes of something else) for a 1x1 cell, which the decoder
// reduces to 1/8; with the DC decode allowed or not.
Decoded Decode(const std::string& bytes, bool dc, size_t skip = 0) {
    Decoded d;
    std::string file = std::string(skip, 'x') + bytes;
    std::FILE* f = fmemopen(file.data(), file.size(), "rb");
    if (!f || std::fseek(f, static_cast<long>(skip), SEEK_SET) != 0) return d;
    SetJpegDcDecoding(dc);
    const uint64_t before = JpegDcDecodedCount();
    d.outcome = DecodeJpegRgb(
        f, 100000,
        [&d](int width, int height) {
            d.width = width;
            d.height = height;
            d.pixels.assign(static_cast<size_t>(width) * 3 * static_cast<size_t>(height), 0xA5);
            return RgbTarget{d.pixels.data(), static_cast<size_t>(width) * 3};
        },
        1, 1);
    d.fromDc = JpegDcDecodedCount() != before;
    SetJpegDcDecoding(true);
    std::fclose(f);
    return d;
}

std::string Describe(const JpegLayout& layout, const JpegCoding& coding, int w, int h) {
    return std::string(layout.name) + " q" + std::to_string(coding.quality) +
           (coding.optimize ? " optimised" : "") + " restart rows " +
           std::to_string(coding.restartRows) + " MCUs " + std::to_string(coding.restartMcus) +
           " " + std::to_string(w) + "x" + std::to_string(h);
}

} // namespace

TEST(JpegDcDecoder, GivesLibjpegsEighthOfEveryLayoutItTakes) {
    const JpegCoding codings[] = {
        {false, 0, 85},
        {false, 1, 90},            // a restart marker every MCU row
        {false, 0, 75, true, 7},   // intervals that end mid-row, optimised tables
        {false, 0, 100, false, 1}, // large coefficients, a marker after every MCU
        {false, 0, 20, true, 3},   // few coefficients, long runs of zeros
    };
    const int sizes[][2] = {{203, 141}, {256, 128}, {9, 17}, {1, 1}};
    uint32_t seed = 1;
    for (const JpegLayout& layout : kTaken)
        for (const JpegCoding& coding : codings)
            for (const auto& size : sizes) {
                const std::string bytes =
                    EncodeJpegLayout(PhotoLikePicture(size[0], size[1], seed++), layout, coding);
                SCOPED_TRACE(Describe(layout, coding, size[0], size[1]));
                const Decoded reference = Decode(bytes, false), fast = Decode(bytes, true);
                ASSERT_EQ(reference.outcome, DecodeOutcome::Ok);
                EXPECT_EQ(reference.width, (size[0] + 7) / 8);
                EXPECT_EQ(reference.height, (size[1] + 7) / 8);
                EXPECT_TRUE(fast.fromDc);
                EXPECT_TRUE(fast == reference);
            }
}

// Flat colours at the extremes drive the chroma and the range limits to their ends.
TEST(JpegDcDecoder, GivesLibjpegsEighthOfSaturatedColours) {
    const QRgb colours[] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x000000, 0xFF00FF};
    for (const JpegLayout& layout : {k420, k422, k444})
        for (QRgb colour : colours)
            for (int quality : {50, 100}) {
                const QImage picture = MakePicture(40, 24, [&](int x, int y) {
                    return (x / 8 + y / 8) % 2 ? colour : 0xFFFFFF - colour;
                });
                const std::string bytes = EncodeJpegLayout(picture, layout, {false, 0, quality});
                SCOPED_TRACE(std::string(layout.name) + " " + std::to_string(colour));
                const Decoded fast = Decode(bytes, true);
                EXPECT_TRUE(fast.fromDc);
                EXPECT_TRUE(fast == Decode(bytes, false));
            }
}

TEST(JpegDcDecoder, LeavesOtherCodingsToLibjpeg) {
    const QImage picture = PhotoLikePicture(120, 90, 7);
    const JpegLayout cmyk{"cmyk", JCS_CMYK, JCS_CMYK, {{1, 1}, {1, 1}, {1, 1}, {1, 1}}};
    const JpegLayout arithmetic{"arithmetic", JCS_RGB, JCS_YCbCr, {{2, 2}, {1, 1}, {1, 1}}, true};
    const JpegLayout rgb{"rgb", JCS_RGB, JCS_RGB, {{1, 1}, {1, 1}, {1, 1}}};
    const JpegLayout chroma411{"4:1:1", JCS_RGB, JCS_YCbCr, {{4, 1}, {1, 1}, {1, 1}}};
    const std::pair<JpegLayout, JpegCoding> files[] = {
        {k420, {true, 0}}, {cmyk, {false, 0}},      {arithmetic, {false, 0}},
        {rgb, {false, 0}}, {chroma411, {false, 0}},
    };
    for (const auto& [layout, coding] : files) {
        SCOPED_TRACE(std::string(layout.name) + (coding.progressive ? " progressive" : ""));
        const std::string bytes = EncodeJpegLayout(picture, layout, coding);
        const Decoded fast = Decode(bytes, true);
        EXPECT_FALSE(fast.fromDc);
        EXPECT_EQ(fast.outcome, DecodeOutcome::Ok);
        EXPECT_TRUE(fast == Decode(bytes, false));
    }
}

// Cut, damaged or oddly marked files come out as libjpeg makes them, read from wherever the
// picture starts in its file.
TEST(JpegDcDecoder, DamagedFilesComeOutAsBefore) {
    std::vector<std::string> files;
    uint32_t seed = 11;
    for (const JpegLayout& layout : {kGrey, k420, k422})
        for (const JpegCoding& coding : {JpegCoding{false, 0}, JpegCoding{false, 1}}) {
            const std::string bytes =
                EncodeJpegLayout(PhotoLikePicture(400, 300, seed), layout, coding);
            for (const std::string& v : JpegVariants(bytes, seed++))
                files.push_back(v);
        }
    // A restart marker out of sequence, and one behind fill bytes.
    const std::string restarts = EncodeJpegLayout(PhotoLikePicture(300, 200, 5), k420, {false, 1});
    const size_t rst = restarts.find("\xFF\xD2");
    ASSERT_NE(rst, std::string::npos);
    std::string swapped = restarts, filled = restarts;
    swapped[rst + 1] = '\xD5';
    filled.insert(rst, "\xFF\xFF");
    files.push_back(swapped);
    files.push_back(filled);
    // Fill bytes before a data byte 0xFF: libjpeg-turbo's own output keeps coefficients of a
    // decode it abandoned there, which only libjpeg reproduces.
    const std::string data = EncodeJpegLayout(PhotoLikePicture(300, 200, 7), k420, {false, 0});
    const size_t stuffed = data.find("\xFF\x00", data.find("\xFF\xDA") + 2);
    ASSERT_NE(stuffed, std::string::npos);
    std::string filledData = data;
    filledData.insert(stuffed, "\xFF");
    files.push_back(filledData);
    EXPECT_FALSE(Decode(filledData, true).fromDc);
    // Data that runs past the end of the scan, and a scan followed by more bytes.
    const std::string plain = EncodeJpegLayout(PhotoLikePicture(300, 200, 6), k444, {false, 0});
    files.push_back(plain.substr(0, plain.size() - 40) + "\xFF\xD9");
    files.push_back(plain + std::string(5000, '\xFF'));

    int taken = 0;
    for (size_t i = 0; i < files.size(); ++i)
        for (size_t skip : {0, 3}) {
            SCOPED_TRACE("file " + std::to_string(i) + " after " + std::to_string(skip));
            const Decoded fast = Decode(files[i], true, skip);
            taken += fast.fromDc;
            EXPECT_TRUE(fast == Decode(files[i], false, skip));
        }
    // The whole files, the one behind fill bytes and the one with more bytes after it.
    EXPECT_GE(taken, 2 * (6 + 2));
}
