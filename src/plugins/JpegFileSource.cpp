#include "JpegFileSource.h"

#include <jerror.h>

namespace lumidex {

namespace {
constexpr size_t kBufferBytes = size_t{64} << 10;
const JOCTET kEndOfImage[2] = {0xFF, JPEG_EOI};
} // namespace

void JpegFileSource::Attach(j_decompress_ptr cinfo, std::FILE* file) {
    file_ = file;
    buffer_.resize(kBufferBytes);
    atStart_ = true;
    manager_.init_source = Init;
    manager_.fill_input_buffer = Fill;
    manager_.skip_input_data = Skip;
    manager_.resync_to_restart = jpeg_resync_to_restart;
    manager_.term_source = Term;
    manager_.bytes_in_buffer = 0;
    manager_.next_input_byte = nullptr;
    cinfo->src = &manager_;
}

void JpegFileSource::Init(j_decompress_ptr cinfo) {
    reinterpret_cast<JpegFileSource*>(cinfo->src)->atStart_ = true;
}

boolean JpegFileSource::Fill(j_decompress_ptr cinfo) {
    auto* self = reinterpret_cast<JpegFileSource*>(cinfo->src);
    const size_t n = std::fread(self->buffer_.data(), 1, self->buffer_.size(), self->file_);
    if (n == 0) {
        // Nothing at all is no JPEG; a file cut short ends as if complete, with a warning.
        if (self->atStart_) ERREXIT(cinfo, JERR_INPUT_EMPTY);
        WARNMS(cinfo, JWRN_JPEG_EOF);
        self->manager_.next_input_byte = kEndOfImage;
        self->manager_.bytes_in_buffer = sizeof kEndOfImage;
        return TRUE;
    }
    self->manager_.next_input_byte = self->buffer_.data();
    self->manager_.bytes_in_buffer = n;
    self->atStart_ = false;
    return TRUE;
}

void JpegFileSource::Skip(j_decompress_ptr cinfo, long count) {
    jpeg_source_mgr* src = cinfo->src;
    if (count <= 0) return;
    while (count > static_cast<long>(src->bytes_in_buffer)) {
        count -= static_cast<long>(src->bytes_in_buffer);
        Fill(cinfo);
    }
    src->next_input_byte += count;
    src->bytes_in_buffer -= static_cast<size_t>(count);
}

void JpegFileSource::Term(j_decompress_ptr) {}

} // namespace lumidex
