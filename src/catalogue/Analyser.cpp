#include "Analyser.h"

#include "SharedState.h"
#include "Signature.h"

#include <algorithm>
#include <limits>

namespace lumidex {

namespace {

// Nearest pixels: the progress window shows it for a moment, and a smooth reduction costs
// as much as a third of a small picture's signature.
QImage PreviewOf(const QImage& picture) {
    if (picture.isNull()) return {};
    if (picture.width() <= kProgressPreviewSide && picture.height() <= kProgressPreviewSide)
        return picture;
    return picture.scaled(kProgressPreviewSide, kProgressPreviewSide, Qt::KeepAspectRatio,
                          Qt::FastTransformation);
}

bool Analysable(const FileAnalysis& a) {
    return a.read == ReadOutcome::Ok && a.width > 0 && a.height > 0 && a.width <= kMaxPictureSide &&
           a.height <= kMaxPictureSide && a.width >= 16 && a.height >= 16;
}

} // namespace

FileAnalysis MeasureFile(const std::string& path, bool smallPreview) {
    FileAnalysis a;
    a.status = GetFileStatus(path);
    if (!a.status.exists || a.status.size < 1024) return a;
    a.readTried = true;
    QImage picture;
    a.read = ReadPictureFile(picture, path);
    a.width = picture.width();
    a.height = picture.height();
    if (Analysable(a)) {
        NullFrame quiet; // never aborts: the owner of the frame replays the progress
        Pdata entry(path);
        a.key = ComputeSignature(picture, entry, SignatureMode::WholePicture, 0, 0, 0, 0, quiet);
        a.code = entry.code;
    }
    a.preview = smallPreview ? PreviewOf(picture) : std::move(picture);
    return a;
}

bool ReplaySignatureProgress(Frame& frame) {
    frame.SetPictureBarMax(16);
    for (int cell = 0; cell < 16; ++cell) {
        frame.ProcessEvents();
        if (frame.AbortRequested()) return false;
        frame.StepPictureBar();
    }
    return true;
}

Analyser::Analyser(SharedState& state, Catalogue& catalogue, std::vector<Pdata*>& newPictures)
    : state_(state), catalogue_(catalogue), newPictures_(newPictures) {}

void Analyser::ShowReading(const std::string& path) {
    Frame& frame = state_.frame();
    frame.SetStatusText(StatusPanel::Progress, "Reading " + path);
    frame.SetProgressCaption("Reading " + path);
}

int Analyser::AnalyseFile(const std::string& path) {
    // On this thread the picture is released with the next one, as it always was.
    return AnalyseFile(path, measure ? measure(path) : MeasureFile(path, false));
}

int Analyser::AnalyseFile(const std::string& path, FileAnalysis&& analysis) {
    ShowReading(path);
    auto entry = std::make_unique<Pdata>(path);
    if (int result = Conclude(path, std::move(analysis), *entry); result != 0) return result;
    Pdata* added = entry.get();
    catalogue_.Insert(std::move(entry));
    if (onInserted) onInserted(*added);
    newPictures_.push_back(added);
    state_.MarkDataChanged();
    return 0;
}

int Analyser::AnalyseInto(const std::string& path, Pdata& entry) {
    ShowReading(path);
    return Conclude(path, MeasureFile(path, false), entry);
}

int Analyser::Conclude(const std::string& path, FileAnalysis&& a, Pdata& entry) {
    Frame& frame = state_.frame();
    const int64_t size = a.status.exists ? a.status.size : 0;
    if (size < 1024 || !a.readTried) {
        state_.LogMessage("File is too small," + path);
        return 1;
    }
    picture_ = std::move(a.preview);
    frame.SetProgressPicture(picture_);
    if (a.read == ReadOutcome::Failed) {
        state_.LogMessage("Read failed," + path);
        return 1;
    }
    if (a.read == ReadOutcome::Oversized || a.width == 0 || a.height == 0 ||
        a.width > kMaxPictureSide || a.height > kMaxPictureSide) {
        state_.LogMessage("File read failed," + path);
        return 1;
    }
    if (a.width < 16 || a.height < 16) {
        state_.LogMessage("Cant analyze," + path);
        return 1;
    }

    frame.SetStatusText(StatusPanel::Progress, "Analyzing");
    frame.SetProgressCaption("Analyzing " + path);
    // The signature stepped the picture bar and read the abort request after every cell.
    if (a.key >= 0) ReplaySignatureProgress(frame);
    if (frame.AbortRequested()) {
        frame.SetStatusText(StatusPanel::Outcome, "Aborted");
        return -1;
    }
    if (a.key < 0) {
        state_.LogMessage("Analyze error");
        return 1;
    }

    entry.key = static_cast<uint32_t>(a.key);
    entry.code = a.code;
    entry.fileSize = StoredFileValue(size);
    entry.fileTime = StoredFileValue(a.status.modified);
    return 0;
}

} // namespace lumidex
