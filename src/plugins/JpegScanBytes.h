#pragma once
// The entropy-coded bytes of one JPEG scan, with the byte stuffing removed and the restart
// markers noted, read the way libjpeg reads them: 0xFF 0x00 is a data byte 0xFF, 0xFF fill
// bytes before a marker are dropped, and any other 0xFF xx is a marker. Fill bytes before a
// data byte 0xFF are refused.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace lumidex {

struct JpegScanBytes {
    // Followed by kPadding zero bytes, so that a bit reader may load past the end.
    std::vector<uint8_t> data;
    size_t size = 0; // the coded bytes, without the padding
    struct Restart {
        size_t at;  // offset in data where the marker stood
        int number; // 0 to 7, as in RSTn
    };
    std::vector<Restart> restarts;

    static constexpr size_t kPadding = 4096;
};

// Reads from the buffered bytes, then from file, up to the first marker that ends the scan (with
// restarts false, any marker does). Returns false when more than maxBytes of coded data come
// before that marker, the data holds fill bytes before a data byte, or a read fails; the end of
// the file ends the scan.
bool ReadJpegScanBytes(const uint8_t* buffered, size_t bufferedSize, std::FILE* file, bool restarts,
                       size_t maxBytes, JpegScanBytes& out);

} // namespace lumidex
