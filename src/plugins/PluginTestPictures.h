#pragma once
// Picture files in the formats of the project's plug-ins, for tests. Each writer pads the file
// to 1024 bytes (the analysis rejects smaller files) and returns path; it throws
// std::runtime_error when it cannot write. Pictures are Format_RGB888.

#include <QImage>

#include <string>

namespace lumidex::test {

std::string WriteWebp(const std::string& path, const QImage& rgb); // lossless
std::string WriteTiff(const std::string& path, const QImage& rgb); // LZW, 8-bit RGB
// At most 256 colours. The picture is framed by a 1-pixel border of background colour
// (9, 9, 9) on the logical screen, and followed by a second frame that must not show.
std::string WriteGif(const std::string& path, const QImage& rgb, bool interlaced = false);
// False when libheif has no HEVC encoder.
bool WriteHeic(const std::string& path, const QImage& rgb, int quality = 95);

} // namespace lumidex::test
