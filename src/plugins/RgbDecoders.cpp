#include "RgbDecoders.h"
#include "JpegDcDecoder.h"
#include "JpegFileSource.h"

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <memory>
#include <vector>

#include <jpeglib.h>
#include <png.h>

namespace lumidex {

namespace {

bool TooLarge(uint64_t width, uint64_t height, int maxSide) {
    return width > static_cast<uint64_t>(maxSide) || height > static_cast<uint64_t>(maxSide);
}

uint8_t* Row(const RgbTarget& t, uint64_t y) {
    return t.pixels + t.stride * y;
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
    JpegFileSource source;
    int maxSide = 0;
    const RgbAllocator* allocate = nullptr;
    jpeg_decompress_struct cinfo{};
    JpegErrorManager err{};
    jpeg_progress_mgr progress{};
    RgbTarget target;
    std::vector<JSAMPLE> cmykRow;
    DecodeOutcome outcome = DecodeOutcome::Failed;
    int cellWidth = 0, cellHeight = 0;
    RgbSize* fullSize = nullptr;
    const RowChooser* choose = nullptr;
    const JpegHeaderHook* header = nullptr;
};

// Largest libjpeg reduction whose output still covers the cell (output sides round up).
unsigned ReductionFor(JDIMENSION width, JDIMENSION height, int cellWidth, int cellHeight) {
    if (cellWidth <= 0 || cellHeight <= 0) return 1;
    for (unsigned d : {8u, 4u, 2u})
        if ((width + d - 1) / d >= static_cast<unsigned>(cellWidth) &&
            (height + d - 1) / d >= static_cast<unsigned>(cellHeight))
            return d;
    return 1;
}

// Adobe-inverted CMYK, as Photoshop writes it (libjpeg converts YCCK to the same form).
void CmykToRgb(const JSAMPLE* in, uint8_t* out, JDIMENSION width) {
    for (JDIMENSION x = 0; x < width; ++x, in += 4, out += 3) {
        unsigned k = in[3];
        out[0] = static_cast<uint8_t>(in[0] * k / 255);
        out[1] = static_cast<uint8_t>(in[1] * k / 255);
        out[2] = static_cast<uint8_t>(in[2] * k / 255);
    }
}

// The layouts whose skipped decoding the tests compare with the full one, row for row:
// Huffman-coded 8-bit grey, YCbCr, RGB, CMYK and YCCK, each component at full resolution or,
// for the first (and a fourth's black), at a half across or in both directions. Not 4:4:0:
// there libjpeg-turbo's rows depend on memory it never wrote (valgrind), whole or skipped.
bool SkipsExactly(const jpeg_decompress_struct& cinfo) {
    if (cinfo.arith_code || cinfo.data_precision != 8) return false;
    switch (cinfo.jpeg_color_space) {
    case JCS_GRAYSCALE:
        if (cinfo.num_components != 1) return false;
        break;
    case JCS_YCbCr:
    case JCS_RGB:
        if (cinfo.num_components != 3) return false;
        break;
    case JCS_CMYK:
    case JCS_YCCK:
        if (cinfo.num_components != 4) return false;
        break;
    default:
        return false;
    }
    const jpeg_component_info* comp = cinfo.comp_info;
    const int h = comp[0].h_samp_factor, v = comp[0].v_samp_factor;
    if (!(h == 1 && v == 1) && !(h == 2 && (v == 1 || v == 2))) return false;
    for (int c = 1; c < cinfo.num_components; ++c) {
        const bool full = comp[c].h_samp_factor == h && comp[c].v_samp_factor == v;
        const bool single = comp[c].h_samp_factor == 1 && comp[c].v_samp_factor == 1;
        if (!(single || (full && c == 3))) return false;
    }
    return true;
}

// The chosen rows of a file SkipsExactly accepts; the rest are skipped by libjpeg.
void DecodeChosenRows(JpegJob& job, bool cmyk) {
    j_decompress_ptr cinfo = &job.cinfo;
    const JDIMENSION width = cinfo->output_width, height = cinfo->output_height;
    JSAMPROW row[1];
    while (cinfo->output_scanline < height) {
        const JDIMENSION y = cinfo->output_scanline;
        uint8_t* out = Row(job.target, y);
        row[0] = cmyk ? job.cmykRow.data() : out;
        if (jpeg_read_scanlines(cinfo, row, 1) != 1) return;
        if (cmyk) CmykToRgb(row[0], out, width);
        const int next = (*job.choose)(static_cast<int>(y), out);
        if (next <= static_cast<int>(y) + 1) continue;
        if (static_cast<JDIMENSION>(next) >= height) break;
        jpeg_skip_scanlines(cinfo, static_cast<JDIMENSION>(next) - y - 1);
    }
    job.outcome = DecodeOutcome::Ok;
}

bool HeaderWantsPixels(const jpeg_decompress_struct& cinfo, const JpegHeaderHook& hook,
                       int& coverWidth, int& coverHeight) {
    JpegHeader header{static_cast<int>(cinfo.image_width), static_cast<int>(cinfo.image_height)};
    for (jpeg_saved_marker_ptr m = cinfo.marker_list; m; m = m->next)
        if (m->marker == JPEG_APP0 + 1 && m->data_length >= 6 &&
            std::memcmp(m->data, "Exif\0\0", 6) == 0) {
            header.exif = m->data;
            header.exifSize = m->data_length;
            break;
        }
    return hook(header, coverWidth, coverHeight);
}

// Returns with job.outcome set; the caller destroys the decompressor.
void DecodeJpeg(JpegJob& job) {
    j_decompress_ptr cinfo = &job.cinfo;
    if (setjmp(job.err.jump)) {
        job.outcome = DecodeOutcome::Failed;
        return;
    }
    job.source.Attach(cinfo, job.file);
    if (job.header) jpeg_save_markers(cinfo, JPEG_APP0 + 1, 0xFFFF);
    jpeg_read_header(cinfo, TRUE);
    if (job.fullSize)
        *job.fullSize = {static_cast<int>(cinfo->image_width),
                         static_cast<int>(cinfo->image_height)};
    if (TooLarge(cinfo->image_width, cinfo->image_height, job.maxSide)) {
        job.outcome = DecodeOutcome::Oversized;
        return;
    }
    if (job.header && !HeaderWantsPixels(*cinfo, *job.header, job.cellWidth, job.cellHeight)) {
        job.outcome = DecodeOutcome::Ok;
        return;
    }
    bool cmyk = cinfo->jpeg_color_space == JCS_CMYK || cinfo->jpeg_color_space == JCS_YCCK;
    cinfo->out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    cinfo->scale_num = 1;
    cinfo->scale_denom =
        ReductionFor(cinfo->image_width, cinfo->image_height, job.cellWidth, job.cellHeight);
    // The size is known before decompression starts: a caller that wants only the size stops
    // here, before a progressive file is read through.
    jpeg_calc_output_dimensions(cinfo);
    const JDIMENSION width = cinfo->output_width;
    job.target = (*job.allocate)(static_cast<int>(width), static_cast<int>(cinfo->output_height));
    if (!job.target.pixels) return;
    if (cinfo->scale_denom == 8 && !cmyk && JpegDcDecodingOn()) {
        switch (DecodeJpegEighthFromDc(*cinfo, job.file, job.target.pixels, job.target.stride)) {
        case JpegDcResult::Decoded:
            job.outcome = DecodeOutcome::Ok;
            return;
        case JpegDcResult::FileLost:
            return;
        case JpegDcResult::LeftToLibjpeg:
            break;
        }
    }
    jpeg_start_decompress(cinfo);
    if (cinfo->output_width != width) return;
    if (cmyk) job.cmykRow.resize(static_cast<size_t>(width) * 4);
    if (job.choose && SkipsExactly(*cinfo)) {
        DecodeChosenRows(job, cmyk);
        return;
    }
    JSAMPROW rows[16];
    while (cinfo->output_scanline < cinfo->output_height) {
        JDIMENSION first = cinfo->output_scanline;
        if (cmyk) {
            rows[0] = job.cmykRow.data();
            if (jpeg_read_scanlines(cinfo, rows, 1) != 1) return;
            CmykToRgb(rows[0], Row(job.target, first), width);
            continue;
        }
        // Rows go straight into the picture's own lines.
        JDIMENSION count = std::min<JDIMENSION>(16, cinfo->output_height - first);
        for (JDIMENSION i = 0; i < count; ++i)
            rows[i] = Row(job.target, first + i);
        if (jpeg_read_scanlines(cinfo, rows, count) == 0) return;
    }
    // What follows the last line (markers, padding) is of no interest.
    job.outcome = DecodeOutcome::Ok;
}

DecodeOutcome RunJpegJob(JpegJob& job) {
    job.cinfo.err = jpeg_std_error(&job.err.mgr);
    job.err.mgr.error_exit = JpegErrorExit;
    job.err.mgr.emit_message = JpegQuietMessage;
    jpeg_create_decompress(&job.cinfo);
    job.progress.progress_monitor = JpegScanLimit;
    job.cinfo.progress = &job.progress;
    DecodeJpeg(job);
    jpeg_destroy_decompress(&job.cinfo);
    return job.outcome;
}

// ---- PNG ----

[[noreturn]] void PngErrorExit(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}
void PngQuietWarning(png_structp, png_const_charp) {}

struct PngJob {
    std::FILE* file = nullptr;
    int maxSide = 0;
    const RgbAllocator* allocate = nullptr;
    png_structp png = nullptr;
    png_infop info = nullptr;
    std::vector<png_bytep> rows;
    DecodeOutcome outcome = DecodeOutcome::Failed;
};

void DecodePng(PngJob& job) {
    png_structp png = job.png;
    png_infop info = job.info;
    if (setjmp(png_jmpbuf(png))) {
        job.outcome = DecodeOutcome::Failed;
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
    if (TooLarge(width, height, job.maxSide)) {
        job.outcome = DecodeOutcome::Oversized;
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
    RgbTarget target = (*job.allocate)(static_cast<int>(width), static_cast<int>(height));
    if (!target.pixels) return;
    job.rows.resize(height);
    for (png_uint_32 y = 0; y < height; ++y)
        job.rows[y] = Row(target, y);
    png_read_image(png, job.rows.data());
    job.outcome = DecodeOutcome::Ok;
}

std::unique_ptr<JpegJob> NewJpegJob(std::FILE* file, int maxSide, const RgbAllocator& allocate) {
    auto job = std::make_unique<JpegJob>();
    job->file = file;
    job->maxSide = maxSide;
    job->allocate = &allocate;
    return job;
}

} // namespace

DecodeOutcome DecodeJpegRows(std::FILE* file, int maxSide, const RgbAllocator& allocate,
                             const RowChooser& choose) {
    auto job = NewJpegJob(file, maxSide, allocate);
    job->choose = &choose;
    return RunJpegJob(*job);
}

DecodeOutcome DecodeJpegRgb(std::FILE* file, int maxSide, const RgbAllocator& allocate,
                            int cellWidth, int cellHeight, RgbSize* fullSize) {
    auto job = NewJpegJob(file, maxSide, allocate);
    job->fullSize = fullSize;
    job->cellWidth = cellWidth;
    job->cellHeight = cellHeight;
    return RunJpegJob(*job);
}

DecodeOutcome DecodeJpegRgbForThumbnail(std::FILE* file, int maxSide, const RgbAllocator& allocate,
                                        const JpegHeaderHook& header) {
    auto job = NewJpegJob(file, maxSide, allocate);
    job->header = &header;
    return RunJpegJob(*job);
}

DecodeOutcome DecodePngRgb(std::FILE* file, int maxSide, const RgbAllocator& allocate) {
    png_byte signature[8];
    if (std::fread(signature, 1, 8, file) != 8 || png_sig_cmp(signature, 0, 8) != 0)
        return DecodeOutcome::Failed;
    auto job = std::make_unique<PngJob>();
    job->file = file;
    job->maxSide = maxSide;
    job->allocate = &allocate;
    job->png =
        png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, PngErrorExit, PngQuietWarning);
    if (!job->png) return DecodeOutcome::Failed;
    job->info = png_create_info_struct(job->png);
    if (job->info) DecodePng(*job);
    png_destroy_read_struct(&job->png, job->info ? &job->info : nullptr, nullptr);
    return job->outcome;
}

} // namespace lumidex
