#include "PictureConversion.h"

#include "FileStatus.h"
#include "Paths.h"
#include "PictureEncoder.h"
#include "PictureReader.h"
#include "Workspace.h"

#include <QImage>

#include <sys/stat.h>

namespace lumidex {

namespace {
// The drive of a path on Linux: the device of its folder.
bool SameDevice(const std::string& a, const std::string& b) {
    struct stat sa, sb;
    const std::string fa(paths::FolderPart(a)), fb(paths::FolderPart(b));
    if (::stat(fa.empty() ? "." : fa.c_str(), &sa) != 0) return false;
    if (::stat(fb.empty() ? "." : fb.c_str(), &sb) != 0) return false;
    return sa.st_dev == sb.st_dev;
}
} // namespace

std::string ConvertedPath(const std::string& path, ConvertFormat format) {
    const std::string_view ext = paths::Extension(path);
    return path.substr(0, path.size() - ext.size()) +
           (format == ConvertFormat::Jpeg ? ".jpg" : ".png");
}

bool ConvertEnabled(const Workspace& ws, ConvertFormat format, bool referencePreviewShown) {
    const Pdata* ref = ws.lists.currentReference;
    return ref && referencePreviewShown && !ws.OperationRunning() &&
           GetFileStatus(ref->path).exists &&
           !GetFileStatus(ConvertedPath(ref->path, format)).exists;
}

bool ConvertReference(Workspace& ws, ConvertFormat format) {
    Pdata* ref = ws.lists.currentReference;
    if (!ref || ws.OperationRunning()) return false;
    const std::string source = ref->path;
    const uint32_t key = ref->key, code = ref->code;
    const std::string target = ConvertedPath(source, format);
    Frame& frame = ws.frame();

    frame.SetBusy(true);
    QImage picture;
    if (ReadPicture(picture, source) != 0 || picture.isNull()) {
        frame.SetBusy(false);
        ws.LogMessage("Read failed," + source);
        return false;
    }
    const Options& o = ws.options;
    const EncodeResult written =
        format == ConvertFormat::Jpeg
            ? WriteJpegFile(picture, target, o.JpegQuality, o.GrayScale)
            : WritePngFile(picture, target, PngCompressionLevel(o.Compress));
    frame.SetBusy(false);
    ws.lists.ReferenceSelectionChanged();
    if (written != EncodeResult::Ok) {
        ws.LogMessage("Save failed," + target);
        return false;
    }
    if (o.TrackMoveCopy && (!o.SameDriveOnly || SameDevice(source, target))) {
        auto entry = std::make_unique<Pdata>(target);
        entry->key = key;
        entry->code = code;
        Pdata* added = entry.get();
        ws.catalogue.Insert(std::move(entry));
        ws.lists.AddRow(ws.lists.reference, added);
        ws.MarkDataChanged();
    }
    if (ws.lists.hooks.repaint) ws.lists.hooks.repaint();
    return true;
}

} // namespace lumidex
