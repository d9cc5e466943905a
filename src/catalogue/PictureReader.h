#pragma once

#include <cstdint>
#include <functional>
#include <string>

class QImage;
class QSize;

namespace lumidex {

// Largest width or height of a picture the program reads.
inline constexpr int kMaxPictureSide = 10000;

enum class ReadOutcome {
    Ok,
    Failed,   // no decoder for the extension, a damaged or missing file
    Oversized // wider or higher than kMaxPictureSide: refused before any pixel is decoded
};

// Reads a JPEG (".jpg", ".jif", ".jpe", ".jpeg"), PNG or BMP file, chosen by its extension,
// into target as 8-bit RGB; in plug-in mode (ActivePictureHost) every file but a BMP goes
// through the plug-in that accepts it. On failure the target is emptied. Safe to call from
// several threads: plug-in calls take turns.
ReadOutcome ReadPictureFile(QImage& target, const std::string& path);

// The same for drawing into a cell of the given size: a JPEG may come back reduced (to a half,
// a quarter or an eighth) as long as it still covers the cell. Never for analysis. fullSize,
// when given, gets the picture's own size on success.
ReadOutcome ReadPictureForCell(QImage& target, const std::string& path, int cellWidth,
                               int cellHeight, QSize* fullSize = nullptr);

// Told each row decoded, in order, with its 8-bit RGB pixels: the next row wanted, the height
// or more when no more are.
using RowsWanted = std::function<int(int row, const uint8_t* rgb)>;

// The same for a reader that looks at some rows only: rowsFor, called with the picture's
// size, says which. A JPEG may then come back with only those rows decoded, the others left
// undefined; on the same terms and with the same bytes in every row wanted as
// ReadPictureFile.
ReadOutcome ReadPictureRows(QImage& target, const std::string& path,
                            const std::function<RowsWanted(int width, int height)>& rowsFor);

// 0 on success, 1 on failure.
inline int ReadPicture(QImage& target, const std::string& path) {
    return ReadPictureFile(target, path) == ReadOutcome::Ok ? 0 : 1;
}

} // namespace lumidex
