#pragma once

#include <cstdio>
#include <vector>

#include <jpeglib.h>

namespace lumidex {

// libjpeg's own file source reads 4 KiB at a time, and libjpeg-turbo decodes a block row with
// its fast Huffman decoder only while 512 bytes per block of the MCU (3 KiB for 4:2:0) are
// buffered: from a 4 KiB buffer three MCUs in four take the slow path. This source reads
// 64 KiB at a time and otherwise behaves as libjpeg's (a cut file ends in a warning and a
// made-up end marker). It must outlive the decompression that uses it.
class JpegFileSource {
public:
    JpegFileSource() = default;
    JpegFileSource(const JpegFileSource&) = delete;
    JpegFileSource& operator=(const JpegFileSource&) = delete;

    void Attach(j_decompress_ptr cinfo, std::FILE* file);

private:
    static void Init(j_decompress_ptr cinfo);
    static boolean Fill(j_decompress_ptr cinfo);
    static void Skip(j_decompress_ptr cinfo, long count);
    static void Term(j_decompress_ptr cinfo);

    // First, so that the decompressor's src pointer is this object's address.
    jpeg_source_mgr manager_{};
    std::FILE* file_ = nullptr;
    std::vector<JOCTET> buffer_;
    bool atStart_ = true;
};

} // namespace lumidex
