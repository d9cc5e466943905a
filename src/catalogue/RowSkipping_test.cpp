// Decoding only the rows the analysis reads must give exactly what a full decode gives.
#include "Analyser.h"
#include "RgbDecoders.h"
#include "Signature.h"

#include "Frame.h"
#include "JpegLayouts.h"
#include "TempDir.h"
#include "TestPictures.h"

#include <QImage>
#include <gtest/gtest.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include <jpeglib.h>

// Run under valgrind, the test also shows that every row asked for comes from the file alone,
// not from memory a decoder left behind.
#if __has_include(<valgrind/memcheck.h>)
#include <valgrind/memcheck.h>
#else
#define VALGRIND_MAKE_MEM_UNDEFINED(address, size) ((void)0)
#define VALGRIND_CHECK_MEM_IS_DEFINED(address, size) 0
#endif

using namespace lumidex;
using namespace lumidex::test;

namespace {

// ---- Files of every layout, written with libjpeg's own settings ----

const JpegLayout kLayouts[] = {
    {"grey", JCS_GRAYSCALE, JCS_GRAYSCALE, {{1, 1}}},
    {"4:4:4", JCS_RGB, JCS_YCbCr, {{1, 1}, {1, 1}, {1, 1}}},
    {"4:2:2", JCS_RGB, JCS_YCbCr, {{2, 1}, {1, 1}, {1, 1}}},
    {"4:2:0", JCS_RGB, JCS_YCbCr, {{2, 2}, {1, 1}, {1, 1}}},
    {"rgb", JCS_RGB, JCS_RGB, {{1, 1}, {1, 1}, {1, 1}}},
    {"cmyk", JCS_CMYK, JCS_CMYK, {{1, 1}, {1, 1}, {1, 1}, {1, 1}}},
    {"cmyk 2x2 c k", JCS_CMYK, JCS_CMYK, {{2, 2}, {1, 1}, {1, 1}, {2, 2}}},
    {"ycck", JCS_CMYK, JCS_YCCK, {{1, 1}, {1, 1}, {1, 1}, {1, 1}}},
    {"ycck 2x2 y k", JCS_CMYK, JCS_YCCK, {{2, 2}, {1, 1}, {1, 1}, {2, 2}}},
    {"ycck 2x1 y", JCS_CMYK, JCS_YCCK, {{2, 1}, {1, 1}, {1, 1}, {1, 1}}},
    // Decoded whole: layouts outside those the decoder skips in.
    // Under valgrind, libjpeg-turbo's rows here depend on memory it never wrote, skipping or not.
    {"4:4:0", JCS_RGB, JCS_YCbCr, {{1, 2}, {1, 1}, {1, 1}}, false, false},
    {"4:1:1", JCS_RGB, JCS_YCbCr, {{4, 1}, {1, 1}, {1, 1}}, false, false},
    {"chroma 2x2", JCS_RGB, JCS_YCbCr, {{2, 2}, {2, 1}, {1, 1}}, false, false},
    {"arithmetic", JCS_RGB, JCS_YCbCr, {{2, 2}, {1, 1}, {1, 1}}, true, false},
};

const JpegCoding kCodings[] = {{false, 0}, {true, 0}, {false, 1}, {true, 2}};

// ---- Decoding from memory ----

struct Decoded {
    DecodeOutcome outcome = DecodeOutcome::Failed;
    int width = 0, height = 0;
    std::vector<uint8_t> pixels;
    std::set<int> rows; // the rows the chooser was given
};

RgbAllocator IntoVector(Decoded& d) {
    return [&d](int width, int height) {
        d.width = width;
        d.height = height;
        // Filled, so that a row left undecoded shows.
        d.pixels.assign(static_cast<size_t>(width) * 3 * static_cast<size_t>(height), 0xA5);
        VALGRIND_MAKE_MEM_UNDEFINED(d.pixels.data(), d.pixels.size());
        return RgbTarget{d.pixels.data(), static_cast<size_t>(width) * 3};
    };
}

template <class F> DecodeOutcome FromMemory(const std::string& bytes, F decode) {
    std::FILE* file = fmemopen(const_cast<char*>(bytes.data()), bytes.size(), "rb");
    if (!file) return DecodeOutcome::Failed;
    const DecodeOutcome outcome = decode(file);
    std::fclose(file);
    return outcome;
}

Decoded FullDecode(const std::string& bytes) {
    Decoded d;
    d.outcome =
        FromMemory(bytes, [&](std::FILE* f) { return DecodeJpegRgb(f, 10000, IntoVector(d)); });
    return d;
}

// Asks for rows with gaps of every length, often none.
Decoded SkippingDecode(const std::string& bytes, uint32_t seed, std::set<int>& asked) {
    Decoded d;
    std::mt19937 random(seed);
    asked = {0};
    const RowChooser choose = [&](int row, const uint8_t*) {
        d.rows.insert(row);
        const int next = row + 1 + (random() % 3 == 0 ? 0 : static_cast<int>(random() % 40));
        asked.insert(next);
        return next;
    };
    d.outcome = FromMemory(
        bytes, [&](std::FILE* f) { return DecodeJpegRows(f, 10000, IntoVector(d), choose); });
    return d;
}

const uint8_t* RowOf(const Decoded& d, int y) {
    return d.pixels.data() + static_cast<size_t>(d.width) * 3 * static_cast<size_t>(y);
}

TEST(DecodeJpegRows, RowsDecodedAreTheFullDecodesBytes) {
    const QSize sizes[] = {{16, 16},   {17, 23},   {37, 250},  {250, 37},
                           {121, 241}, {333, 257}, {19, 1200}, {1200, 19}};
    uint32_t seed = 1;
    for (const JpegLayout& layout : kLayouts) {
        for (const JpegCoding& coding : kCodings) {
            for (QSize size : sizes) {
                const std::string bytes = EncodeJpegLayout(
                    PhotoLikePicture(size.width(), size.height(), seed), layout, coding);
                const std::vector<std::string> variants = JpegVariants(bytes, seed);
                for (size_t v = 0; v < variants.size(); ++v, ++seed) {
                    SCOPED_TRACE(testing::Message()
                                 << layout.name << (coding.progressive ? " progressive" : "")
                                 << " restart " << coding.restartRows << " " << size.width() << "x"
                                 << size.height() << " variant " << v);
                    const Decoded full = FullDecode(variants[v]);
                    std::set<int> asked;
                    Decoded part = SkippingDecode(variants[v], seed, asked);
                    ASSERT_EQ(part.outcome, full.outcome);
                    if (full.outcome != DecodeOutcome::Ok) continue;
                    ASSERT_EQ(part.width, full.width);
                    ASSERT_EQ(part.height, full.height);
                    // A file decoded whole does not ask which rows.
                    const bool whole = part.rows.empty();
                    for (int y : asked) {
                        if (y >= full.height) continue;
                        ASSERT_TRUE(whole || part.rows.contains(y))
                            << "row " << y << " not decoded";
                        // Whole decodes are the reference, whatever libjpeg makes them of.
                        if (layout.skips) {
                            ASSERT_EQ(VALGRIND_CHECK_MEM_IS_DEFINED(
                                          RowOf(part, y), static_cast<size_t>(full.width) * 3),
                                      0)
                                << "row " << y << " made of memory never written";
                        }
                        ASSERT_EQ(std::memcmp(RowOf(part, y), RowOf(full, y),
                                              static_cast<size_t>(full.width) * 3),
                                  0)
                            << "row " << y;
                    }
                    // The rows skipped are skipped indeed where the decoder can, and nowhere
                    // else.
                    const bool skipped = !whole && static_cast<int>(part.rows.size()) < full.height;
                    ASSERT_EQ(skipped, layout.skips);
                }
            }
        }
    }
}

// ---- The file source ----

// libjpeg's own file source, as the reference for the one the decoders use.
Decoded StdioDecode(const std::string& bytes) {
    Decoded d;
    struct Job {
        jpeg_decompress_struct cinfo{};
        JpegJumpError err{};
    } job;
    job.cinfo.err = jpeg_std_error(&job.err.mgr);
    job.err.mgr.error_exit = JpegJumpExit;
    job.err.mgr.emit_message = [](j_common_ptr, int) {};
    jpeg_create_decompress(&job.cinfo);
    d.outcome = FromMemory(bytes, [&](std::FILE* f) {
        if (setjmp(job.err.jump)) return DecodeOutcome::Failed;
        jpeg_stdio_src(&job.cinfo, f);
        jpeg_read_header(&job.cinfo, TRUE);
        job.cinfo.out_color_space = JCS_RGB;
        jpeg_start_decompress(&job.cinfo);
        const RgbTarget target = IntoVector(d)(static_cast<int>(job.cinfo.output_width),
                                               static_cast<int>(job.cinfo.output_height));
        while (job.cinfo.output_scanline < job.cinfo.output_height) {
            JSAMPROW row = target.pixels + target.stride * job.cinfo.output_scanline;
            jpeg_read_scanlines(&job.cinfo, &row, 1);
        }
        return DecodeOutcome::Ok;
    });
    jpeg_destroy_decompress(&job.cinfo);
    return d;
}

// Markers longer than the source's buffer are skipped across refills, and a file cut anywhere
// (in a marker, at a refill, in the scan) ends as libjpeg's own source ends it.
TEST(JpegFileSource, ReadsAsLibjpegsOwnSource) {
    const std::string plain =
        EncodeJpegLayout(PhotoLikePicture(1500, 1100, 3), kLayouts[3] /* 4:2:0 */, kCodings[0]);
    std::string bytes = plain.substr(0, 2);
    for (int i = 0; i < 3; ++i) {
        const size_t length = 60000;
        bytes += std::string{'\xFF', '\xE2', static_cast<char>(length >> 8),
                             static_cast<char>(length & 0xFF)};
        bytes += std::string(length - 2, static_cast<char>('a' + i));
    }
    bytes += plain.substr(2);
    ASSERT_GT(plain.size(), size_t{64} << 10);
    std::vector<size_t> cuts = {0,
                                1,
                                2,
                                3,
                                100,
                                65535,
                                65536,
                                65537,
                                130000,
                                180004,
                                bytes.size() - 1000,
                                bytes.size() - 2,
                                bytes.size()};
    for (size_t at = 180100; at < bytes.size(); at += 20011)
        cuts.push_back(at);
    for (size_t cut : cuts) {
        SCOPED_TRACE(testing::Message() << "cut at " << cut << " of " << bytes.size());
        const std::string file = bytes.substr(0, cut);
        const Decoded ours = FullDecode(file);
        const Decoded reference = StdioDecode(file);
        ASSERT_EQ(ours.outcome, reference.outcome);
        if (ours.outcome != DecodeOutcome::Ok) continue;
        ASSERT_EQ(ours.width, reference.width);
        ASSERT_EQ(ours.height, reference.height);
        ASSERT_TRUE(ours.pixels == reference.pixels);
    }
    EXPECT_TRUE(FullDecode(bytes).pixels == FullDecode(plain).pixels);
}

// ---- Which rows the analysis reads ----

// Black and white only: along the diagonal too, up to breakAt when it is set.
QImage TwoTone(int w, int h, int breakAt = -1) {
    return MakePicture(w, h, [breakAt](int x, int y) {
        if (y == breakAt && x == y - 1) return qRgb(128, 128, 128);
        return ((x / 3 + y / 5) % 2) ? qRgb(255, 255, 255) : qRgb(0, 0, 0);
    });
}

// The rows AnalysedRows names, walked as a decoder walks them.
std::vector<bool> RowsNamed(const QImage& picture, bool smallCopy) {
    AnalysedRows rows(picture.width(), picture.height(), smallCopy);
    std::vector<bool> named(static_cast<size_t>(picture.height()), false);
    for (int y = 0; y < picture.height(); y = rows.Next(y, picture.constScanLine(y)))
        named[static_cast<size_t>(y)] = true;
    return named;
}

TEST(AnalysedRows, NameEveryRowTheSignatureAndTheSmallCopyRead) {
    struct Case {
        const char* what;
        QImage picture;
    };
    const std::vector<Case> cases = {
        {"photo 16x16", PhotoLikePicture(16, 16, 1)},
        {"photo 17x16", PhotoLikePicture(17, 16, 2)},
        {"photo 121x121", PhotoLikePicture(121, 121, 3)},
        {"photo 239x241", PhotoLikePicture(239, 241, 4)},
        {"photo 210x210", PhotoLikePicture(210, 210, 5)},
        {"photo 100x211", PhotoLikePicture(100, 211, 6)},
        {"photo 800x600", PhotoLikePicture(800, 600, 7)},
        {"photo 31x4000", PhotoLikePicture(31, 4000, 8)},
        {"photo 4000x31", PhotoLikePicture(4000, 31, 9)},
        {"photo 999x1001", PhotoLikePicture(999, 1001, 10)},
        {"two-tone 300x500", TwoTone(300, 500)},
        {"two-tone 40x500 (short diagonal)", TwoTone(40, 500)},
        {"two-tone broken at row 1", TwoTone(300, 500, 1)},
        {"two-tone broken at row 37", TwoTone(300, 500, 37)},
        {"two-tone broken at the last diagonal row", TwoTone(300, 301, 300)},
        {"too small 15x400", PhotoLikePicture(15, 400, 11)},
    };
    std::mt19937 random(7);
    for (const Case& c : cases) {
        for (bool smallCopy : {false, true}) {
            SCOPED_TRACE(testing::Message() << c.what << (smallCopy ? ", small copy" : ""));
            const std::vector<bool> named = RowsNamed(c.picture, smallCopy);
            // Every row not named is replaced by noise: nothing read may change.
            QImage noisy = c.picture.copy();
            int skipped = 0;
            for (int y = 0; y < noisy.height(); ++y) {
                if (named[static_cast<size_t>(y)]) continue;
                ++skipped;
                uchar* p = noisy.scanLine(y);
                for (int x = 0; x < noisy.width() * 3; ++x)
                    p[x] = static_cast<uchar>(random());
            }
            NullFrame quiet;
            Pdata a("a"), b("b");
            EXPECT_EQ(
                ComputeSignature(c.picture, a, SignatureMode::WholePicture, 0, 0, 0, 0, quiet),
                ComputeSignature(noisy, b, SignatureMode::WholePicture, 0, 0, 0, 0, quiet));
            EXPECT_EQ(a.code, b.code);
            if (smallCopy) {
                EXPECT_EQ(NearestReduction(c.picture, kProgressPreviewSide),
                          NearestReduction(noisy, kProgressPreviewSide));
            } else if (c.picture.height() > 240 && std::string(c.what).starts_with("photo")) {
                // A photograph over 240 rows is sampled, not read whole.
                EXPECT_GT(skipped, c.picture.height() / 3);
            }
        }
    }
}

// ---- The analysis of files, rows skipped or not ----

TEST(MeasureFile, SameWhetherRowsAreSkippedOrNot) {
    TempDir dir;
    std::vector<std::string> files;
    uint32_t seed = 100;
    for (const JpegLayout& layout : kLayouts) {
        for (const JpegCoding& coding : {kCodings[0], kCodings[1]}) {
            for (QSize size : {QSize(800, 600), QSize(241, 1000), QSize(15, 300)}) {
                const std::string bytes = EncodeJpegLayout(
                    PhotoLikePicture(size.width(), size.height(), seed), layout, coding);
                for (const std::string& v : JpegVariants(bytes, seed))
                    files.push_back(
                        dir.Write(std::to_string(seed++) + ".jpg", v + std::string(1024, '\0')));
            }
        }
    }
    // A two-tone picture survives JPEG in grey at full quality, 8 x 8 blocks of one tone.
    const QImage twoTone = MakePicture(256, 320, [](int x, int y) {
        return ((x / 8 + y / 8) % 2) ? qRgb(255, 255, 255) : qRgb(0, 0, 0);
    });
    files.push_back(
        WriteJpeg(dir.File("two-tone.jpg"), twoTone, {.quality = 100, .colour = JpegColour::Grey}));
    files.push_back(WritePicture(dir.File("photo.png"), PhotoLikePicture(300, 400, 9)));

    for (const std::string& path : files) {
        SCOPED_TRACE(path);
        const FileAnalysis whole = MeasureFile(path, ProgressPreview::Whole);
        for (ProgressPreview preview : {ProgressPreview::None, ProgressPreview::Small}) {
            const FileAnalysis part = MeasureFile(path, preview);
            EXPECT_EQ(part.read, whole.read);
            EXPECT_EQ(part.width, whole.width);
            EXPECT_EQ(part.height, whole.height);
            EXPECT_EQ(part.key, whole.key);
            EXPECT_EQ(part.code, whole.code);
            if (preview == ProgressPreview::Small)
                EXPECT_EQ(part.preview, NearestReduction(whole.preview, kProgressPreviewSide));
            else
                EXPECT_TRUE(part.preview.isNull());
        }
    }
}

} // namespace
