#pragma once

#include <string>

class QImage;

namespace lumidex {

enum class EncodeResult {
    Ok,
    Exists, // a file of that path exists: nothing written
    Failed  // the encoder or the disk failed: nothing left behind
};

// PNG compression of the Compress radio group, by item: "None" 0, "Standard" the library's
// default, "Speed" 1, "Minimum" 9.
int PngCompressionLevel(int compressItem);

// Writes the picture as a new JPEG file at full scale (quality 25 .. 100, optionally grey).
// Written to a temporary file in the same folder, flushed and then linked to its name only if
// no file of that name exists at that moment, so a failure leaves no half-written file and an
// existing file is never replaced.
EncodeResult WriteJpegFile(const QImage& picture, const std::string& path, int quality,
                           bool grayScale);
// The same as PNG, with a zlib level (-1 for the default).
EncodeResult WritePngFile(const QImage& picture, const std::string& path, int zlibLevel);

} // namespace lumidex
