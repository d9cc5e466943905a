#pragma once
// What each of the project's plug-ins supplies; SpiKit.cpp turns it into the interface's
// exports (type texts, the support test, picture information, the bitmap blocks).

#include "RgbDecoders.h"

#include <cstdint>
#include <cstdio>
#include <vector>

namespace lumidex::spi {

// The plug-in's name, then pattern and description pairs, ended by a null.
extern const char* const kPluginName;
extern const char* const kFileTypes[];

// Whether the first bytes of a file (SPI_HEADER_BYTES, zero where the file is shorter) are
// of this plug-in's format.
bool Supports(const uint8_t* header);

// Decodes the picture from the file's current position to the end. allocate may return no
// pixels (when only the size is wanted): the decoder then stops with Failed.
DecodeOutcome Decode(std::FILE* file, const RgbAllocator& allocate);

// For the libraries that decode from memory: the rest of the file, false when it cannot be
// read or is larger than any picture of the limit could need.
bool ReadRest(std::FILE* file, std::vector<uint8_t>& bytes);

} // namespace lumidex::spi
