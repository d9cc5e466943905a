// Picture files from hostile bytes: the same bytes are read as JPEG, PNG and BMP, and whatever
// is read is reduced to its signature.
#include "Frame.h"
#include "PictureReader.h"
#include "Signature.h"

#include <QImage>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {
std::string Folder() {
    static const std::string folder = [] {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/lumidex2-fuzz-XXXXXX";
        if (!::mkdtemp(pattern.data())) std::abort();
        return pattern + "/";
    }();
    return folder;
}

void RemoveFiles() {
    for (const char* name : {"in.jpg", "in.png", "in.bmp"})
        std::remove((Folder() + name).c_str());
    std::remove(Folder().c_str());
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The folder is made before the clean-up is registered, so it outlives the clean-up.
    static const bool registered = (Folder(), std::atexit(RemoveFiles), true);
    (void)registered;
    for (const char* name : {"in.jpg", "in.png", "in.bmp"}) {
        std::string path = Folder() + name;
        std::FILE* f = std::fopen(path.c_str(), "wb");
        if (!f) std::abort();
        if (size) std::fwrite(data, 1, size, f);
        std::fclose(f);

        QImage picture;
        lumidex::ReadOutcome outcome = lumidex::ReadPictureFile(picture, path);
        if (outcome != lumidex::ReadOutcome::Ok) {
            if (!picture.isNull()) std::abort(); // a failed read leaves nothing behind
            continue;
        }
        if (picture.format() != QImage::Format_RGB888 ||
            picture.width() > lumidex::kMaxPictureSide ||
            picture.height() > lumidex::kMaxPictureSide)
            std::abort();
        lumidex::NullFrame frame;
        lumidex::Pdata entry(path);
        lumidex::ComputeSignature(picture, entry, lumidex::SignatureMode::WholePicture, 0, 0, 0, 0,
                                  frame);
    }
    return 0;
}
