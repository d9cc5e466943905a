#pragma once

#include <string>
#include <string_view>

namespace lumidex {

// The readable picture files: item 0 a ';'-separated list of wildcard patterns, item 1 a
// description of it that nothing reads.
struct PicturePatterns {
    std::string patterns;
    std::string description;
};

inline const PicturePatterns kNativePicturePatterns{"*.jpg;*.jif;*.jpe;*.jpeg;*.bmp;*.png",
                                                    "BMP & JPEG & PNG graphics"};

// Whether an extension (".jpg", dot included) belongs to the patterns. Only its first
// occurrence counts; a short extension (up to three characters with the dot) must end a
// pattern there, so ".jp" fails where ".jpg" follows it.
bool IsReadableExtension(std::string_view extension, std::string_view patterns);

} // namespace lumidex
