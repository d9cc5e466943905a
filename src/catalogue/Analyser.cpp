#include "Analyser.h"

#include "SharedState.h"
#include "Signature.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <vector>

namespace lumidex {

namespace {

bool Analysable(const FileAnalysis& a) {
    return a.read == ReadOutcome::Ok && a.width > 0 && a.height > 0 && a.width <= kMaxPictureSide &&
           a.height <= kMaxPictureSide && a.width >= 16 && a.height >= 16;
}

// The size of a picture reduced to fit a square of side.
QSize ReducedSize(QSize size, int side) {
    return size.scaled(side, side, Qt::KeepAspectRatio).expandedTo({1, 1});
}

// The line or column of a side of length n that stands for index i of reduced.
int64_t NearestSource(int64_t i, int64_t n, int64_t reduced) {
    return (2 * i + 1) * n / (2 * reduced);
}

} // namespace

// By hand: QImage::scaled draws through QPainter, which spreads even this small job over
// Qt's global thread pool, whose threads then compete with the analysis workers.
QImage NearestReduction(const QImage& picture, int side) {
    if (picture.isNull()) return {};
    if (picture.width() <= side && picture.height() <= side) return picture;
    const QSize size = ReducedSize(picture.size(), side);
    const QImage source = picture.format() == QImage::Format_RGB888
                              ? picture
                              : picture.convertToFormat(QImage::Format_RGB888);
    QImage small(size, QImage::Format_RGB888);
    if (small.isNull() || source.isNull()) return {};
    const int64_t w = source.width(), h = source.height();
    for (int y = 0; y < size.height(); ++y) {
        const uchar* in =
            source.constScanLine(static_cast<int>(NearestSource(y, h, size.height())));
        uchar* out = small.scanLine(y);
        for (int x = 0; x < size.width(); ++x, out += 3) {
            const uchar* p = in + 3 * NearestSource(x, w, size.width());
            out[0] = p[0];
            out[1] = p[1];
            out[2] = p[2];
        }
    }
    return small;
}

AnalysedRows::AnalysedRows(int width, int height, bool smallCopy) : signature_(width, height) {
    if (!smallCopy) return;
    copyRows_.assign(static_cast<size_t>(std::max(height, 0)),
                     width <= kProgressPreviewSide && height <= kProgressPreviewSide);
    if (height <= 0) return;
    const int reduced = ReducedSize({width, height}, kProgressPreviewSide).height();
    for (int y = 0; y < reduced; ++y)
        copyRows_[static_cast<size_t>(NearestSource(y, height, reduced))] = true;
}

int AnalysedRows::Next(int row, const uint8_t* rgb) {
    const int next = signature_.Next(row, rgb);
    const int end = std::min(next, static_cast<int>(copyRows_.size()));
    for (int y = row + 1; y < end; ++y)
        if (copyRows_[static_cast<size_t>(y)]) return y;
    return next;
}

ReadOutcome ReadAnalysedRows(QImage& target, const std::string& path, bool smallCopy) {
    std::optional<AnalysedRows> rows;
    return ReadPictureRows(target, path, [&](int width, int height) -> RowsWanted {
        rows.emplace(width, height, smallCopy);
        return [&rows](int row, const uint8_t* rgb) { return rows->Next(row, rgb); };
    });
}

FileAnalysis MeasureFile(const std::string& path, ProgressPreview preview) {
    FileAnalysis a;
    a.status = GetFileStatus(path);
    if (!a.status.exists || a.status.size < 1024) return a;
    a.readTried = true;
    // The whole picture is kept for the progress window; else only what is looked at is read.
    QImage picture;
    a.read = preview == ProgressPreview::Whole
                 ? ReadPictureFile(picture, path)
                 : ReadAnalysedRows(picture, path, preview == ProgressPreview::Small);
    a.width = picture.width();
    a.height = picture.height();
    if (Analysable(a)) {
        NullFrame quiet; // never aborts: the owner of the frame replays the progress
        Pdata entry(path);
        a.key = ComputeSignature(picture, entry, SignatureMode::WholePicture, 0, 0, 0, 0, quiet);
        a.code = entry.code;
    }
    switch (preview) {
    case ProgressPreview::None:
        break;
    case ProgressPreview::Small:
        a.preview = NearestReduction(picture, kProgressPreviewSide);
        break;
    case ProgressPreview::Whole:
        a.preview = std::move(picture);
        break;
    }
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
    return AnalyseFile(path, measure ? measure(path)
                                     : MeasureFile(path, state_.frame().ShowsPictures()
                                                             ? ProgressPreview::Whole
                                                             : ProgressPreview::None));
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
    return Conclude(path, MeasureFile(path, ProgressPreview::Whole), entry);
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
