#include "PictureEncoder.h"

#include "Paths.h"

#include <QImage>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

#include <fcntl.h>
#include <jpeglib.h>
#include <png.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

namespace lumidex {

namespace {

// ---- JPEG ----

struct JpegErrorManager {
    jpeg_error_mgr mgr;
    std::jmp_buf jump;
};

[[noreturn]] void JpegErrorExit(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<JpegErrorManager*>(cinfo->err)->jump, 1);
}

// Everything the encoder touches lives here, outside the frame that calls setjmp.
struct JpegJob {
    jpeg_compress_struct cinfo{};
    JpegErrorManager err{};
    std::vector<JSAMPLE> grey;
};

bool EncodeJpegTo(JpegJob& job, std::FILE* out, const QImage& rgb, int quality, bool grayScale) {
    j_compress_ptr cinfo = &job.cinfo;
    if (setjmp(job.err.jump)) return false;
    jpeg_stdio_dest(cinfo, out);
    cinfo->image_width = static_cast<JDIMENSION>(rgb.width());
    cinfo->image_height = static_cast<JDIMENSION>(rgb.height());
    cinfo->input_components = 3;
    cinfo->in_color_space = JCS_RGB;
    jpeg_set_defaults(cinfo);
    jpeg_set_quality(cinfo, quality, TRUE);
    cinfo->smoothing_factor = 0;
    if (grayScale) {
        // Grey from our own luminance, so the file holds one component.
        cinfo->input_components = 1;
        cinfo->in_color_space = JCS_GRAYSCALE;
        jpeg_set_colorspace(cinfo, JCS_GRAYSCALE);
        job.grey.resize(static_cast<size_t>(rgb.width()));
    }
    jpeg_start_compress(cinfo, TRUE);
    while (cinfo->next_scanline < cinfo->image_height) {
        const uchar* line = rgb.constScanLine(static_cast<int>(cinfo->next_scanline));
        JSAMPROW row;
        if (grayScale) {
            for (int x = 0; x < rgb.width(); ++x) {
                const uchar* p = line + 3 * x;
                job.grey[static_cast<size_t>(x)] =
                    static_cast<JSAMPLE>((299 * p[0] + 587 * p[1] + 114 * p[2] + 500) / 1000);
            }
            row = job.grey.data();
        } else {
            row = const_cast<JSAMPROW>(line);
        }
        jpeg_write_scanlines(cinfo, &row, 1);
    }
    jpeg_finish_compress(cinfo);
    return true;
}

bool EncodeJpeg(std::FILE* out, const QImage& rgb, int quality, bool grayScale) {
    auto job = std::make_unique<JpegJob>();
    job->cinfo.err = jpeg_std_error(&job->err.mgr);
    job->err.mgr.error_exit = JpegErrorExit;
    jpeg_create_compress(&job->cinfo);
    const bool ok = EncodeJpegTo(*job, out, rgb, quality, grayScale);
    jpeg_destroy_compress(&job->cinfo);
    return ok;
}

// ---- PNG ----

[[noreturn]] void PngErrorExit(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}
void PngQuietWarning(png_structp, png_const_charp) {}

bool EncodePngTo(png_structp png, png_infop info, std::FILE* out, const QImage& rgb, int level) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_init_io(png, out);
    png_set_compression_level(png, level);
    png_set_IHDR(png, info, static_cast<png_uint_32>(rgb.width()),
                 static_cast<png_uint_32>(rgb.height()), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < rgb.height(); ++y)
        png_write_row(png, const_cast<png_bytep>(rgb.constScanLine(y)));
    png_write_end(png, info);
    return true;
}

bool EncodePng(std::FILE* out, const QImage& rgb, int level) {
    png_structp png =
        png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, PngErrorExit, PngQuietWarning);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    const bool ok = info && EncodePngTo(png, info, out, rgb, level);
    png_destroy_write_struct(&png, &info);
    return ok;
}

// ---- writing a new file ----

bool Exists(const std::string& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
}

// Gives the finished temporary file its name unless that name is taken (checked by the file
// system itself, not before).
int LinkNoReplace(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
    if (errno == EEXIST) return EEXIST;
    // File systems without renameat2's flags: a hard link never replaces either.
    if (::link(from.c_str(), to.c_str()) == 0) {
        ::unlink(from.c_str());
        return 0;
    }
    return errno;
}

EncodeResult WriteNew(const QImage& picture, const std::string& path,
                      const std::function<bool(std::FILE*, const QImage&)>& encode) {
    if (Exists(path)) return EncodeResult::Exists;
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    if (rgb.isNull() || rgb.width() <= 0 || rgb.height() <= 0) return EncodeResult::Failed;
    std::string temp =
        std::string(paths::FolderPart(path)) + "." + std::string(paths::FileName(path)) + ".XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) return EncodeResult::Failed;
    // A new file gets what the umask allows, as any other program's new file.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    std::FILE* out = ::fdopen(fd, "wb");
    if (!out) {
        ::close(fd);
        ::unlink(temp.c_str());
        return EncodeResult::Failed;
    }
    bool ok = encode(out, rgb) && std::fflush(out) == 0 && !std::ferror(out) && ::fsync(fd) == 0;
    ok = std::fclose(out) == 0 && ok;
    int linked = ok ? LinkNoReplace(temp, path) : -1;
    if (linked != 0) ::unlink(temp.c_str());
    if (linked == EEXIST) return EncodeResult::Exists;
    return linked == 0 ? EncodeResult::Ok : EncodeResult::Failed;
}

} // namespace

int PngCompressionLevel(int compressItem) {
    switch (compressItem) {
    case 0:
        return 0;
    case 2:
        return 1;
    case 3:
        return 9;
    default:
        return Z_DEFAULT_COMPRESSION;
    }
}

EncodeResult WriteJpegFile(const QImage& picture, const std::string& path, int quality,
                           bool grayScale) {
    return WriteNew(picture, path, [&](std::FILE* out, const QImage& rgb) {
        return EncodeJpeg(out, rgb, quality, grayScale);
    });
}

EncodeResult WritePngFile(const QImage& picture, const std::string& path, int zlibLevel) {
    return WriteNew(picture, path, [&](std::FILE* out, const QImage& rgb) {
        return EncodePng(out, rgb, zlibLevel);
    });
}

} // namespace lumidex
