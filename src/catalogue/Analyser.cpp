#include "Analyser.h"

#include "FileStatus.h"
#include "PictureReader.h"
#include "SharedState.h"
#include "Signature.h"

#include <algorithm>
#include <limits>

namespace lumidex {

Analyser::Analyser(SharedState& state, Catalogue& catalogue, std::vector<Pdata*>& newPictures)
    : state_(state), catalogue_(catalogue), newPictures_(newPictures) {}

int Analyser::AnalyseFile(const std::string& path) {
    auto entry = std::make_unique<Pdata>(path);
    if (int result = AnalyseInto(path, *entry); result != 0) return result;
    Pdata* added = entry.get();
    catalogue_.Insert(std::move(entry));
    if (onInserted) onInserted(*added);
    newPictures_.push_back(added);
    state_.MarkDataChanged();
    return 0;
}

int Analyser::AnalyseInto(const std::string& path, Pdata& entry) {
    Frame& frame = state_.frame();
    frame.SetStatusText(StatusPanel::Progress, "Reading " + path);
    frame.SetProgressCaption("Reading " + path);

    FileStatus status = GetFileStatus(path);
    int64_t size = status.exists ? status.size : 0;
    if (size < 1024) {
        state_.LogMessage("File is too small," + path);
        return 1;
    }

    ReadOutcome read = ReadPictureFile(picture_, path);
    frame.SetProgressPicture(picture_);
    if (read == ReadOutcome::Failed) {
        state_.LogMessage("Read failed," + path);
        return 1;
    }
    const int width = picture_.width(), height = picture_.height();
    if (read == ReadOutcome::Oversized || width == 0 || height == 0 || width > kMaxPictureSide ||
        height > kMaxPictureSide) {
        state_.LogMessage("File read failed," + path);
        return 1;
    }
    if (width < 16 || height < 16) {
        state_.LogMessage("Cant analyze," + path);
        return 1;
    }

    frame.SetStatusText(StatusPanel::Progress, "Analyzing");
    frame.SetProgressCaption("Analyzing " + path);
    int64_t key = ComputeSignature(picture_, entry, SignatureMode::WholePicture, 0, 0, 0, 0, frame);
    if (frame.AbortRequested()) {
        frame.SetStatusText(StatusPanel::Outcome, "Aborted");
        return -1;
    }
    if (key < 0) {
        state_.LogMessage("Analyze error");
        return 1;
    }

    entry.fileSize = StoredFileValue(size);
    entry.fileTime = StoredFileValue(status.modified);
    return 0;
}

} // namespace lumidex
