#include "JpegLayouts.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <random>

namespace lumidex::test {

namespace {

// Samples of the picture in the layout's input colour space.
std::vector<JSAMPLE> InputSamples(const QImage& picture, J_COLOR_SPACE input) {
    const int channels = input == JCS_GRAYSCALE ? 1 : input == JCS_RGB ? 3 : 4;
    std::vector<JSAMPLE> samples;
    samples.reserve(static_cast<size_t>(picture.width()) * picture.height() * channels);
    for (int y = 0; y < picture.height(); ++y) {
        const uchar* p = picture.constScanLine(y);
        for (int x = 0; x < picture.width(); ++x, p += 3) {
            if (channels == 1) {
                samples.push_back(p[1]);
                continue;
            }
            samples.insert(samples.end(), p, p + 3);
            if (channels == 4) samples.push_back(static_cast<JSAMPLE>((p[0] + p[2] * 3 + x) & 255));
        }
    }
    return samples;
}

} // namespace

void JpegJumpExit(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<JpegJumpError*>(cinfo->err)->jump, 1);
}

std::string EncodeJpegLayout(const QImage& picture, const JpegLayout& layout,
                             const JpegCoding& coding) {
    const std::vector<JSAMPLE> samples = InputSamples(picture, layout.input);
    auto cinfo = std::make_unique<jpeg_compress_struct>();
    JpegJumpError err{};
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    cinfo->err = jpeg_std_error(&err.mgr);
    err.mgr.error_exit = JpegJumpExit;
    if (setjmp(err.jump)) {
        jpeg_destroy_compress(cinfo.get());
        std::free(buffer);
        ADD_FAILURE() << "cannot encode " << layout.name;
        return {};
    }
    jpeg_create_compress(cinfo.get());
    jpeg_mem_dest(cinfo.get(), &buffer, &size);
    cinfo->image_width = static_cast<JDIMENSION>(picture.width());
    cinfo->image_height = static_cast<JDIMENSION>(picture.height());
    cinfo->in_color_space = layout.input;
    cinfo->input_components = layout.input == JCS_GRAYSCALE ? 1 : layout.input == JCS_RGB ? 3 : 4;
    jpeg_set_defaults(cinfo.get());
    jpeg_set_colorspace(cinfo.get(), layout.stored);
    jpeg_set_quality(cinfo.get(), coding.quality, TRUE);
    for (int c = 0; c < cinfo->num_components; ++c) {
        if (layout.sampling[c][0] == 0) continue;
        cinfo->comp_info[c].h_samp_factor = layout.sampling[c][0];
        cinfo->comp_info[c].v_samp_factor = layout.sampling[c][1];
    }
    cinfo->arith_code = layout.arithmetic ? TRUE : FALSE;
    cinfo->restart_in_rows = coding.restartRows;
    if (!coding.restartRows) cinfo->restart_interval = static_cast<unsigned>(coding.restartMcus);
    cinfo->optimize_coding = coding.optimize ? TRUE : FALSE;
    if (coding.progressive) jpeg_simple_progression(cinfo.get());
    jpeg_start_compress(cinfo.get(), TRUE);
    const size_t stride = static_cast<size_t>(picture.width()) * cinfo->input_components;
    while (cinfo->next_scanline < cinfo->image_height) {
        auto row = const_cast<JSAMPROW>(samples.data() + stride * cinfo->next_scanline);
        jpeg_write_scanlines(cinfo.get(), &row, 1);
    }
    jpeg_finish_compress(cinfo.get());
    std::string bytes(reinterpret_cast<const char*>(buffer), size);
    jpeg_destroy_compress(cinfo.get());
    std::free(buffer);
    return bytes;
}

std::vector<std::string> JpegVariants(const std::string& bytes, uint32_t seed) {
    std::vector<std::string> variants{bytes, bytes.substr(0, bytes.size() / 3),
                                      bytes.substr(0, bytes.size() * 2 / 3)};
    std::string damaged = bytes;
    std::mt19937 random(seed);
    for (int i = 0; i < 4 && damaged.size() > 700; ++i)
        damaged[600 + random() % (damaged.size() - 700)] ^= static_cast<char>(1 << (random() % 8));
    variants.push_back(damaged);
    return variants;
}

} // namespace lumidex::test
