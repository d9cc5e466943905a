// JPEG files from hostile bytes, decoded whole and with rows skipped: both must agree on the
// outcome, the size and every row the skipping decode was asked for.
#include "RgbDecoders.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

struct Decoded {
    lumidex::DecodeOutcome outcome = lumidex::DecodeOutcome::Failed;
    int width = 0, height = 0;
    std::vector<uint8_t> pixels;
};

lumidex::RgbAllocator IntoVector(Decoded& d) {
    return [&d](int width, int height) {
        d.width = width;
        d.height = height;
        d.pixels.assign(static_cast<size_t>(width) * 3 * static_cast<size_t>(height), 0);
        return lumidex::RgbTarget{d.pixels.data(), static_cast<size_t>(width) * 3};
    };
}

std::FILE* Open(const uint8_t* data, size_t size) {
    std::FILE* f = fmemopen(const_cast<uint8_t*>(data), size, "rb");
    if (!f) std::abort();
    return f;
}

// Fewer rows than the side makes the fuzzer spend its time on the decoding itself.
constexpr int kMaxSide = 2000;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    Decoded full, part;
    std::FILE* f = Open(data, size);
    full.outcome = lumidex::DecodeJpegRgb(f, kMaxSide, IntoVector(full));
    std::fclose(f);

    // The gaps between the rows asked for come from the file's own bytes.
    size_t at = 0;
    std::vector<int> asked;
    const lumidex::RowChooser choose = [&](int row, const uint8_t*) {
        const int next = row + 1 + data[at++ % size] % 24;
        asked.push_back(next);
        return next;
    };
    f = Open(data, size);
    part.outcome = lumidex::DecodeJpegRows(f, kMaxSide, IntoVector(part), choose);
    std::fclose(f);

    if (part.outcome != full.outcome) std::abort();
    if (full.outcome != lumidex::DecodeOutcome::Ok) return 0;
    if (part.width != full.width || part.height != full.height) std::abort();
    const size_t stride = static_cast<size_t>(full.width) * 3;
    // Decoded whole, the chooser is never asked and every row must match.
    if (asked.empty())
        for (int y = 0; y < full.height; ++y)
            asked.push_back(y);
    for (int y : asked)
        if (y < full.height && std::memcmp(part.pixels.data() + stride * y,
                                           full.pixels.data() + stride * y, stride) != 0)
            std::abort();
    return 0;
}
