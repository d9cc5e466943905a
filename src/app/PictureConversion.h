#pragma once

#include <string>

namespace lumidex {

class Workspace;

enum class ConvertFormat { Jpeg, Png };

// The path with its extension replaced by ".jpg" or ".png".
std::string ConvertedPath(const std::string& path, ConvertFormat format);

// "Save as JPEG" / "Save as PNG" enabled: a current reference whose file exists, no file at
// the converted path, the reference preview shown, and no long operation running (the new
// entry would move catalogue positions under it).
bool ConvertEnabled(const Workspace& ws, ConvertFormat format, bool referencePreviewShown);

// Converts the current reference's own file (read in full, whatever the preview shows) next
// to it. Failures go through LogMessage: "Read failed," with the reference's path, "Save
// failed," with the new path (an encoder or disk error, or a file that appeared meanwhile);
// then nothing is left behind and no entry is made. On success, with TrackMoveCopy (and
// SameDriveOnly satisfied) the new file joins the catalogue and the reference list with the
// reference's signature. True when the file was written.
bool ConvertReference(Workspace& ws, ConvertFormat format);

} // namespace lumidex
