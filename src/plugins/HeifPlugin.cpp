// HEIF and HEIC through the plug-in interface (libheif): the primary picture, turned as the
// file says.
#include "SpiKit.h"

#include <libheif/heif.h>

#include <cstring>
#include <memory>

namespace lumidex::spi {

const char* const kPluginName = "Lumidex2 HEIF plug-in (libheif)";
const char* const kFileTypes[] = {"*.heic;*.heif;*.hif", "HEIF", nullptr};

bool Supports(const uint8_t* header) {
    if (std::memcmp(header + 4, "ftyp", 4) != 0) return false;
    static const char* const brands[] = {"heic", "heix", "heim", "heis",
                                         "hevc", "hevx", "mif1", "msf1"};
    for (const char* brand : brands)
        if (std::memcmp(header + 8, brand, 4) == 0) return true;
    return false;
}

namespace {
struct ContextFree {
    void operator()(heif_context* c) const { heif_context_free(c); }
};
struct HandleFree {
    void operator()(heif_image_handle* h) const { heif_image_handle_release(h); }
};
struct ImageFree {
    void operator()(heif_image* i) const { heif_image_release(i); }
};
} // namespace

DecodeOutcome Decode(std::FILE* file, const RgbAllocator& allocate) {
    std::vector<uint8_t> bytes;
    if (!ReadRest(file, bytes)) return DecodeOutcome::Failed;
    std::unique_ptr<heif_context, ContextFree> context(heif_context_alloc());
    if (!context) return DecodeOutcome::Failed;
    if (heif_context_read_from_memory_without_copy(context.get(), bytes.data(), bytes.size(),
                                                   nullptr)
            .code != heif_error_Ok)
        return DecodeOutcome::Failed;
    heif_image_handle* rawHandle = nullptr;
    if (heif_context_get_primary_image_handle(context.get(), &rawHandle).code != heif_error_Ok)
        return DecodeOutcome::Failed;
    std::unique_ptr<heif_image_handle, HandleFree> handle(rawHandle);
    const int width = heif_image_handle_get_width(handle.get());
    const int height = heif_image_handle_get_height(handle.get());
    RgbTarget target = allocate(width, height);
    if (!target.pixels) return DecodeOutcome::Failed;
    heif_image* rawImage = nullptr;
    if (heif_decode_image(handle.get(), &rawImage, heif_colorspace_RGB, heif_chroma_interleaved_RGB,
                          nullptr)
            .code != heif_error_Ok)
        return DecodeOutcome::Failed;
    std::unique_ptr<heif_image, ImageFree> image(rawImage);
    if (heif_image_get_width(image.get(), heif_channel_interleaved) != width ||
        heif_image_get_height(image.get(), heif_channel_interleaved) != height ||
        heif_image_get_bits_per_pixel_range(image.get(), heif_channel_interleaved) != 8)
        return DecodeOutcome::Failed;
    int stride = 0;
    const uint8_t* plane =
        heif_image_get_plane_readonly(image.get(), heif_channel_interleaved, &stride);
    if (!plane || stride < width * 3) return DecodeOutcome::Failed;
    for (int y = 0; y < height; ++y)
        std::memcpy(target.pixels + target.stride * static_cast<size_t>(y),
                    plane + static_cast<size_t>(stride) * y, static_cast<size_t>(width) * 3);
    return DecodeOutcome::Ok;
}

} // namespace lumidex::spi
