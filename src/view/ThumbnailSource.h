#pragma once

#include <QImage>
#include <QSize>

#include <string>

namespace lumidex {

class ThumbnailCache;

// The picture as the camera meant it to be seen, from its Exif orientation (1..8).
QImage Oriented(const QImage& picture, int orientation);

// Reads a picture for a thumbnail cell, display-oriented, at least as large as what the cell
// shows of it (the rectangle FitIntoCell gives): from the cache when it holds a current
// thumbnail, else from a JPEG's embedded Exif thumbnail when that covers the cell and has the
// picture's proportions, else by a reduced decode, which then goes into the cache. cache may
// be null. False when the file cannot be read.
bool ReadThumbnail(QImage& picture, const std::string& path, QSize cell, bool keepAspect,
                   const ThumbnailCache* cache);

// An Exif thumbnail (a JPEG held in memory) when it covers need and has the proportions of a
// picture of size original (both in the file's own pixel order), black bars left out; a null
// picture otherwise.
QImage UsableExifThumbnail(const uint8_t* data, size_t size, QSize original, QSize need);

} // namespace lumidex
