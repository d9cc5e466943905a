// JPEG files from hostile bytes, decoded for a thumbnail at 1/8: the decode from DC
// coefficients must give exactly what libjpeg gives, outcome, size and every byte.
#include "JpegDcDecoder.h"
#include "RgbDecoders.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

struct Decoded {
    lumidex::DecodeOutcome outcome = lumidex::DecodeOutcome::Failed;
    int width = 0, height = 0;
    std::vector<uint8_t> pixels;
};

// Large enough for the 1/8 decode to matter, small enough to keep the fuzzer fast.
constexpr int kMaxSide = 4000;

Decoded Decode(const uint8_t* data, size_t size, bool dc) {
    Decoded d;
    std::FILE* f = fmemopen(const_cast<uint8_t*>(data), size, "rb");
    if (!f) std::abort();
    lumidex::SetJpegDcDecoding(dc);
    d.outcome = lumidex::DecodeJpegRgb(
        f, kMaxSide,
        [&d](int width, int height) {
            d.width = width;
            d.height = height;
            d.pixels.assign(static_cast<size_t>(width) * 3 * static_cast<size_t>(height), 0);
            return lumidex::RgbTarget{d.pixels.data(), static_cast<size_t>(width) * 3};
        },
        1, 1);
    std::fclose(f);
    return d;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const Decoded reference = Decode(data, size, false), fast = Decode(data, size, true);
    if (fast.outcome != reference.outcome || fast.width != reference.width ||
        fast.height != reference.height || fast.pixels != reference.pixels)
        std::abort();
    return 0;
}
