#pragma once
// JPEG files of any layout and coding libjpeg can write, for the tests that hold the program's
// decoders to libjpeg's own output.

#include <QImage>

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include <jpeglib.h>

namespace lumidex::test {

struct JpegLayout {
    const char* name;
    J_COLOR_SPACE input;  // JCS_RGB, JCS_GRAYSCALE or JCS_CMYK
    J_COLOR_SPACE stored; // the colour space in the file
    int sampling[4][2];   // h and v of each component; {0, 0} keeps libjpeg's default
    bool arithmetic = false;
    bool skips = true; // whether the decoder may skip rows of this layout
};

struct JpegCoding {
    bool progressive;
    int restartRows; // 0: no restart markers (unless restartMcus)
    int quality = 85;
    bool optimize = false; // Huffman tables made for the picture instead of the standard ones
    int restartMcus = 0;   // a restart interval in MCUs, where restartRows is 0
};

// An error manager that jumps back to the caller's setjmp.
struct JpegJumpError {
    jpeg_error_mgr mgr;
    std::jmp_buf jump;
};
[[noreturn]] void JpegJumpExit(j_common_ptr cinfo);

// The picture (Format_RGB888) written by libjpeg; empty, with a test failure, when it cannot be.
std::string EncodeJpegLayout(const QImage& picture, const JpegLayout& layout,
                             const JpegCoding& coding);

// The file whole, cut short twice and with a few bytes of its coded data changed.
std::vector<std::string> JpegVariants(const std::string& bytes, uint32_t seed);

} // namespace lumidex::test
