#pragma once

// jpeglib.h needs size_t and FILE declared first.
#include <cstddef>
#include <cstdio>

#include <jpeglib.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>

// The yardstick of the benchmarks: libjpeg alone with its default settings, RGB out, into a
// plain buffer. With reuse, a buffer large enough is kept (to show what allocation costs).
inline void PlainJpegDecode(const std::string& path, std::unique_ptr<JSAMPLE[]>& pixels,
                            size_t& capacity, bool reuse = false) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return;
    jpeg_decompress_struct cinfo{};
    jpeg_error_mgr err{};
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_decompress(&cinfo);
    jpeg_stdio_src(&cinfo, f);
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    const size_t stride = static_cast<size_t>(cinfo.output_width) * 3;
    if (!reuse || capacity < stride * cinfo.output_height) {
        pixels.reset(); // freed first, as a picture replaced by the next one
        capacity = stride * cinfo.output_height;
        pixels.reset(new JSAMPLE[capacity]);
    }
    JSAMPROW rows[16];
    while (cinfo.output_scanline < cinfo.output_height) {
        JDIMENSION n = std::min<JDIMENSION>(16, cinfo.output_height - cinfo.output_scanline);
        for (JDIMENSION i = 0; i < n; ++i)
            rows[i] = pixels.get() + stride * (cinfo.output_scanline + i);
        jpeg_read_scanlines(&cinfo, rows, n);
    }
    jpeg_destroy_decompress(&cinfo);
    std::fclose(f);
}
