#include "AnalysisBudget.h"

#include "Paths.h"
#include "PictureReader.h"
#include "SpiHost.h"

#include <QFile>
#include <QImageReader>

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>

#include <jpeglib.h>

namespace lumidex {

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

bool TooLarge(uint64_t width, uint64_t height) {
    return width > static_cast<uint64_t>(kMaxPictureSide) ||
           height > static_cast<uint64_t>(kMaxPictureSide);
}

// Lines of 8-bit RGB as QImage lays them out (each padded to four bytes).
size_t RgbBytes(uint64_t width, uint64_t height) {
    return static_cast<size_t>((width * 3 + 3) / 4 * 4 * height);
}

struct ProbeError {
    jpeg_error_mgr mgr;
    std::jmp_buf jump;
};

struct JpegProbe {
    jpeg_decompress_struct cinfo{};
    ProbeError err{};
};

[[noreturn]] void ProbeErrorExit(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<ProbeError*>(cinfo->err)->jump, 1);
}
void ProbeQuiet(j_common_ptr, int) {}

// A file of several scans (progressive, or one component at a time) is decoded through a
// buffer of all its coefficients, two bytes each, besides the picture itself.
size_t JpegBytes(JpegProbe& probe, std::FILE* file) {
    j_decompress_ptr cinfo = &probe.cinfo;
    if (setjmp(probe.err.jump)) return 0; // the decoder stops at the same header
    jpeg_stdio_src(cinfo, file);
    jpeg_read_header(cinfo, TRUE);
    if (TooLarge(cinfo->image_width, cinfo->image_height)) return 0;
    size_t bytes = RgbBytes(cinfo->image_width, cinfo->image_height);
    if (cinfo->jpeg_color_space == JCS_CMYK || cinfo->jpeg_color_space == JCS_YCCK)
        bytes += size_t{cinfo->image_width} * 4;
    if (cinfo->progressive_mode || cinfo->comps_in_scan < cinfo->num_components) {
        for (int c = 0; c < cinfo->num_components; ++c) {
            const jpeg_component_info& comp = cinfo->comp_info[c];
            const auto up = [](size_t n, size_t m) { return (n + m - 1) / m * m; };
            bytes += up(comp.width_in_blocks, static_cast<size_t>(comp.h_samp_factor)) *
                     up(comp.height_in_blocks, static_cast<size_t>(comp.v_samp_factor)) *
                     sizeof(JBLOCK);
        }
    }
    return bytes;
}

size_t JpegBytes(const std::string& path) {
    File file(std::fopen(path.c_str(), "rbe"));
    if (!file) return 0;
    auto probe = std::make_unique<JpegProbe>();
    probe->cinfo.err = jpeg_std_error(&probe->err.mgr);
    probe->err.mgr.error_exit = ProbeErrorExit;
    probe->err.mgr.emit_message = ProbeQuiet;
    jpeg_create_decompress(&probe->cinfo);
    const size_t bytes = JpegBytes(*probe, file.get());
    jpeg_destroy_decompress(&probe->cinfo);
    return bytes;
}

// The sides stand at a fixed place: the signature, then the IHDR chunk, which comes first.
size_t PngBytes(const std::string& path) {
    File file(std::fopen(path.c_str(), "rbe"));
    unsigned char h[24];
    if (!file || std::fread(h, 1, sizeof h, file.get()) != sizeof h) return 0;
    if (std::memcmp(h, "\x89PNG\r\n\x1a\n", 8) != 0 || std::memcmp(h + 12, "IHDR", 4) != 0)
        return 0;
    const auto be32 = [](const unsigned char* p) {
        return uint64_t{p[0]} << 24 | uint64_t{p[1]} << 16 | uint64_t{p[2]} << 8 | p[3];
    };
    const uint64_t width = be32(h + 16), height = be32(h + 20);
    return TooLarge(width, height) ? 0 : RgbBytes(width, height);
}

// Qt reads the file in its own format (up to four bytes a pixel), which is then converted.
size_t BmpBytes(const std::string& path) {
    QImageReader reader(QFile::decodeName(QByteArray::fromStdString(path)), "bmp");
    reader.setAutoDetectImageFormat(false);
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty() ||
        TooLarge(static_cast<uint64_t>(size.width()), static_cast<uint64_t>(size.height())))
        return 0;
    const auto w = static_cast<uint64_t>(size.width()), h = static_cast<uint64_t>(size.height());
    return static_cast<size_t>(w * h * 4) + RgbBytes(w, h);
}

} // namespace

std::optional<size_t> AnalysisBytes(const std::string& path) {
    if (ActivePictureHost()) return std::nullopt;
    const std::string ext = paths::UpperKey(paths::Extension(path));
    if (ext == ".JPG" || ext == ".JIF" || ext == ".JPE" || ext == ".JPEG") return JpegBytes(path);
    if (ext == ".PNG") return PngBytes(path);
    if (ext == ".BMP") return BmpBytes(path);
    return 0;
}

} // namespace lumidex
