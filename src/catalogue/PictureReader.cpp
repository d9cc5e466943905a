#include "PictureReader.h"

#include "Paths.h"

#include <QFile>
#include <QImage>
#include <QImageReader>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <memory>
#include <vector>

#include <jpeglib.h>
#include <png.h>

namespace lumidex {

namespace {

// Closes the file on every way out of a reader.
struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

File OpenFile(const std::string& path) {
    return File(std::fopen(path.c_str(), "rbe"));
}

bool TooLarge(uint64_t width, uint64_t height) {
    return width > static_cast<uint64_t>(kMaxPictureSide) ||
           height > static_cast<uint64_t>(kMaxPictureSide);
}

// ---- JPEG ----

// A progressive file can hold any number of scans, each a full pass over the coefficients;
// past this many the file is taken as hostile rather than decoded for minutes.
constexpr int kMaxJpegScans = 500;

struct JpegErrorManager {
    jpeg_error_mgr mgr;
    std::jmp_buf jump;
};

[[noreturn]] void JpegErrorExit(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<JpegErrorManager*>(cinfo->err)->jump, 1);
}
// Warnings (corrupt data, a premature end) are not shown: libjpeg goes on as its own tools do.
void JpegQuietMessage(j_common_ptr, int) {}

void JpegScanLimit(j_common_ptr common) {
    auto* cinfo = reinterpret_cast<j_decompress_ptr>(common);
    if (common->is_decompressor && cinfo->input_scan_number > kMaxJpegScans) JpegErrorExit(common);
}

// Everything the decoder touches lives here, outside the frame that calls setjmp.
struct JpegJob {
    std::FILE* file = nullptr;
    jpeg_decompress_struct cinfo{};
    JpegErrorManager err{};
    jpeg_progress_mgr progress{};
    QImage image;
    std::vector<JSAMPLE> cmykRow;
    ReadOutcome outcome = ReadOutcome::Failed;
};

// Adobe-inverted CMYK, as Photoshop writes it (libjpeg converts YCCK to the same form).
void CmykToRgb(const JSAMPLE* in, uchar* out, JDIMENSION width) {
    for (JDIMENSION x = 0; x < width; ++x, in += 4, out += 3) {
        unsigned k = in[3];
        out[0] = static_cast<uchar>(in[0] * k / 255);
        out[1] = static_cast<uchar>(in[1] * k / 255);
        out[2] = static_cast<uchar>(in[2] * k / 255);
    }
}

// Returns with job.outcome set; the caller destroys the decompressor.
void DecodeJpeg(JpegJob& job) {
    j_decompress_ptr cinfo = &job.cinfo;
    if (setjmp(job.err.jump)) {
        job.outcome = ReadOutcome::Failed;
        return;
    }
    jpeg_stdio_src(cinfo, job.file);
    jpeg_read_header(cinfo, TRUE);
    if (TooLarge(cinfo->image_width, cinfo->image_height)) {
        job.outcome = ReadOutcome::Oversized;
        return;
    }
    bool cmyk = cinfo->jpeg_color_space == JCS_CMYK || cinfo->jpeg_color_space == JCS_YCCK;
    cinfo->out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    jpeg_start_decompress(cinfo);
    const JDIMENSION width = cinfo->output_width;
    job.image = QImage(static_cast<int>(width), static_cast<int>(cinfo->output_height),
                       QImage::Format_RGB888);
    if (job.image.isNull()) return;
    if (cmyk) job.cmykRow.resize(static_cast<size_t>(width) * 4);
    JSAMPROW rows[16];
    while (cinfo->output_scanline < cinfo->output_height) {
        JDIMENSION first = cinfo->output_scanline;
        if (cmyk) {
            rows[0] = job.cmykRow.data();
            if (jpeg_read_scanlines(cinfo, rows, 1) != 1) return;
            CmykToRgb(rows[0], job.image.scanLine(static_cast<int>(first)), width);
            continue;
        }
        // Rows go straight into the picture's own lines.
        JDIMENSION count = std::min<JDIMENSION>(16, cinfo->output_height - first);
        for (JDIMENSION i = 0; i < count; ++i)
            rows[i] = job.image.scanLine(static_cast<int>(first + i));
        if (jpeg_read_scanlines(cinfo, rows, count) == 0) return;
    }
    // What follows the last line (markers, padding) is of no interest.
    job.outcome = ReadOutcome::Ok;
}

ReadOutcome ReadJpeg(QImage& target, const std::string& path) {
    File file = OpenFile(path);
    if (!file) return ReadOutcome::Failed;
    auto job = std::make_unique<JpegJob>();
    job->file = file.get();
    job->cinfo.err = jpeg_std_error(&job->err.mgr);
    job->err.mgr.error_exit = JpegErrorExit;
    job->err.mgr.emit_message = JpegQuietMessage;
    jpeg_create_decompress(&job->cinfo);
    job->progress.progress_monitor = JpegScanLimit;
    job->cinfo.progress = &job->progress;
    DecodeJpeg(*job);
    jpeg_destroy_decompress(&job->cinfo);
    if (job->outcome == ReadOutcome::Ok) target = std::move(job->image);
    return job->outcome;
}

// ---- PNG ----

[[noreturn]] void PngErrorExit(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}
void PngQuietWarning(png_structp, png_const_charp) {}

struct PngJob {
    std::FILE* file = nullptr;
    png_structp png = nullptr;
    png_infop info = nullptr;
    QImage image;
    std::vector<png_bytep> rows;
    ReadOutcome outcome = ReadOutcome::Failed;
};

void DecodePng(PngJob& job) {
    png_structp png = job.png;
    png_infop info = job.info;
    if (setjmp(png_jmpbuf(png))) {
        job.outcome = ReadOutcome::Failed;
        return;
    }
    png_init_io(png, job.file);
    png_set_sig_bytes(png, 8);
    // Our own limit applies, with its own message; libpng's smaller default would hide it.
    png_set_user_limits(png, PNG_UINT_31_MAX, PNG_UINT_31_MAX);
    png_read_info(png, info);
    png_uint_32 width = 0, height = 0;
    int depth = 0, colourType = 0;
    png_get_IHDR(png, info, &width, &height, &depth, &colourType, nullptr, nullptr, nullptr);
    if (TooLarge(width, height)) {
        job.outcome = ReadOutcome::Oversized;
        return;
    }
    // 8-bit RGB out: palette and grey expanded, 16 bits cut to their high byte, alpha and
    // transparency dropped without compositing, no gamma applied.
    if (colourType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
    if (colourType == PNG_COLOR_TYPE_GRAY && depth < 8) png_set_expand_gray_1_2_4_to_8(png);
    if (depth == 16) png_set_strip_16(png);
    if (!(colourType & PNG_COLOR_MASK_COLOR)) png_set_gray_to_rgb(png);
    png_set_strip_alpha(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_channels(png, info) != 3 || png_get_bit_depth(png, info) != 8 ||
        png_get_rowbytes(png, info) != static_cast<size_t>(width) * 3)
        return;
    job.image = QImage(static_cast<int>(width), static_cast<int>(height), QImage::Format_RGB888);
    if (job.image.isNull()) return;
    job.rows.resize(height);
    for (png_uint_32 y = 0; y < height; ++y)
        job.rows[y] = job.image.scanLine(static_cast<int>(y));
    png_read_image(png, job.rows.data());
    job.outcome = ReadOutcome::Ok;
}

ReadOutcome ReadPng(QImage& target, const std::string& path) {
    File file = OpenFile(path);
    if (!file) return ReadOutcome::Failed;
    png_byte signature[8];
    if (std::fread(signature, 1, 8, file.get()) != 8 || png_sig_cmp(signature, 0, 8) != 0)
        return ReadOutcome::Failed;
    auto job = std::make_unique<PngJob>();
    job->file = file.get();
    job->png =
        png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, PngErrorExit, PngQuietWarning);
    if (!job->png) return ReadOutcome::Failed;
    job->info = png_create_info_struct(job->png);
    if (job->info) DecodePng(*job);
    png_destroy_read_struct(&job->png, job->info ? &job->info : nullptr, nullptr);
    if (job->outcome == ReadOutcome::Ok) target = std::move(job->image);
    return job->outcome;
}

// ---- BMP ----

uint32_t Le32(const unsigned char* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}
uint16_t Le16(const unsigned char* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

// Checks the header before Qt decodes anything: the sides against the limit, and that an
// uncompressed file holds all its rows (Qt would return a half-read picture otherwise).
ReadOutcome CheckBmpHeader(const std::string& path) {
    File file = OpenFile(path);
    if (!file) return ReadOutcome::Failed;
    unsigned char h[30];
    if (std::fread(h, 1, sizeof h, file.get()) != sizeof h || h[0] != 'B' || h[1] != 'M')
        return ReadOutcome::Failed;
    const uint32_t offBits = Le32(h + 10), headerSize = Le32(h + 14);
    int64_t width = 0, height = 0;
    unsigned bits = 0, compression = 0;
    if (headerSize == 12) { // OS/2 core header
        width = Le16(h + 18);
        height = Le16(h + 20);
        bits = Le16(h + 24);
    } else {
        width = static_cast<int32_t>(Le32(h + 18));
        height = static_cast<int32_t>(Le32(h + 22));
        bits = Le16(h + 28);
        unsigned char c[4];
        if (std::fread(c, 1, 4, file.get()) != 4) return ReadOutcome::Failed;
        compression = Le32(c);
    }
    if (height < 0) height = -height; // rows stored top first
    if (width <= 0 || height == 0) return ReadOutcome::Failed;
    if (TooLarge(static_cast<uint64_t>(width), static_cast<uint64_t>(height)))
        return ReadOutcome::Oversized;
    constexpr unsigned kRgb = 0, kBitfields = 3, kAlphaBitfields = 6;
    if (compression == kRgb || compression == kBitfields || compression == kAlphaBitfields) {
        const uint64_t rowBytes = (static_cast<uint64_t>(width) * bits + 31) / 32 * 4;
        if (std::fseek(file.get(), 0, SEEK_END) != 0) return ReadOutcome::Failed;
        const long size = std::ftell(file.get());
        if (size < 0 ||
            static_cast<uint64_t>(size) < offBits + rowBytes * static_cast<uint64_t>(height))
            return ReadOutcome::Failed;
    }
    return ReadOutcome::Ok;
}

// Qt's reader, held to the BMP format whatever the content. Alpha, where a file has it, is
// dropped as stored: never composited, never premultiplied.
ReadOutcome ReadBmp(QImage& target, const std::string& path) {
    if (ReadOutcome header = CheckBmpHeader(path); header != ReadOutcome::Ok) return header;
    QImageReader reader(QFile::decodeName(QByteArray::fromStdString(path)), "bmp");
    reader.setAutoDetectImageFormat(false);
    reader.setDecideFormatFromContent(false);
    reader.setAutoTransform(false);
    // A picture of the largest size takes 400 MB as 32-bit pixels; Qt refuses less by default.
    // Raised once: pictures are read on several threads at a time.
    static const bool limitRaised = [] {
        if (QImageReader::allocationLimit() != 0 && QImageReader::allocationLimit() < 512)
            QImageReader::setAllocationLimit(512);
        return true;
    }();
    (void)limitRaised;
    QImage image;
    if (!reader.read(&image) || image.isNull()) return ReadOutcome::Failed;
    if (TooLarge(static_cast<uint64_t>(image.width()), static_cast<uint64_t>(image.height())))
        return ReadOutcome::Oversized;
    if (image.format() == QImage::Format_RGB888) {
        target = std::move(image);
        return ReadOutcome::Ok;
    }
    if (!image.hasAlphaChannel()) {
        QImage rgb = image.convertToFormat(QImage::Format_RGB888);
        if (rgb.isNull()) return ReadOutcome::Failed;
        target = std::move(rgb);
        return ReadOutcome::Ok;
    }
    QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    QImage rgb(argb.width(), argb.height(), QImage::Format_RGB888);
    if (argb.isNull() || rgb.isNull()) return ReadOutcome::Failed;
    for (int y = 0; y < argb.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        uchar* out = rgb.scanLine(y);
        for (int x = 0; x < argb.width(); ++x, out += 3) {
            out[0] = static_cast<uchar>(qRed(in[x]));
            out[1] = static_cast<uchar>(qGreen(in[x]));
            out[2] = static_cast<uchar>(qBlue(in[x]));
        }
    }
    target = std::move(rgb);
    return ReadOutcome::Ok;
}

} // namespace

ReadOutcome ReadPictureFile(QImage& target, const std::string& path) {
    std::string ext = paths::UpperKey(paths::Extension(path));
    ReadOutcome outcome = ReadOutcome::Failed;
    if (ext == ".PNG")
        outcome = ReadPng(target, path);
    else if (ext == ".BMP")
        outcome = ReadBmp(target, path);
    else if (ext == ".JPG" || ext == ".JIF" || ext == ".JPE" || ext == ".JPEG")
        outcome = ReadJpeg(target, path);
    if (outcome != ReadOutcome::Ok) target = QImage();
    return outcome;
}

} // namespace lumidex
