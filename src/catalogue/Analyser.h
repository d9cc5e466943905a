#pragma once

#include "Catalogue.h"
#include "FileStatus.h"
#include "PictureReader.h"
#include "Signature.h"

#include <QImage>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace lumidex {

class Frame;
class SharedState;

// What analysing one file finds out before anything is shown or inserted. It depends on the
// file alone, so worker threads may compute it; AnalyseFile draws its conclusions from it.
struct FileAnalysis {
    FileStatus status;
    bool readTried = false; // false when the file was too small to be read
    ReadOutcome read = ReadOutcome::Failed;
    int width = 0;
    int height = 0;
    int64_t key = -1; // the signature, -1 when it was not computed or failed
    uint32_t code = 0;
    // A small copy of the picture for the progress window: the picture itself is released
    // as soon as its signature is known.
    QImage preview;
};

// Longest side of FileAnalysis::preview when it is a small copy.
inline constexpr int kProgressPreviewSide = 210;

// What FileAnalysis::preview holds: nothing for a frame that shows no pictures, a small copy
// when the picture is released on another thread, else the picture itself.
enum class ProgressPreview { None, Small, Whole };

// The rows MeasureFile looks at in a picture of this size: those the signature reads and,
// with a small copy, those the copy takes. Told each row read, in order, with its 8-bit RGB
// pixels, Next names the row needed next; the height when no more are.
class AnalysedRows {
public:
    AnalysedRows(int width, int height, bool smallCopy);
    int Next(int row, const uint8_t* rgb);

private:
    SignatureRows signature_;
    std::vector<bool> copyRows_;
};

// Reads the picture of path for MeasureFile: only the rows AnalysedRows names, where the
// decoder can skip the others (they are then undefined).
ReadOutcome ReadAnalysedRows(QImage& target, const std::string& path, bool smallCopy);

// Reads the file and computes its signature without touching the catalogue or a frame.
// Safe to call from any thread.
FileAnalysis MeasureFile(const std::string& path, ProgressPreview preview = ProgressPreview::Small);

// The picture reduced to fit a square of side, by nearest pixels; the picture itself when
// it fits already.
QImage NearestReduction(const QImage& picture, int side);

// The signature's progress (16 steps of the picture bar) for a signature computed elsewhere,
// with the abort request read after every cell as the signature reads it. False when the user
// aborted.
bool ReplaySignatureProgress(Frame& frame);

// Turns one picture file into a new catalogue entry, reporting every rejection in words.
class Analyser {
public:
    Analyser(SharedState& state, Catalogue& catalogue, std::vector<Pdata*>& newPictures);

    // 0 when a new entry was inserted, 1 when the file was rejected (already reported),
    // -1 when the user aborted. The duplicate policy is the caller's business.
    int AnalyseFile(const std::string& path);
    // The same, on what MeasureFile found out about path (perhaps on another thread).
    int AnalyseFile(const std::string& path, FileAnalysis&& analysis);
    // The same checks, messages and results, into an entry the caller keeps out of the
    // catalogue: key, code, file size and time are set on success.
    int AnalyseInto(const std::string& path, Pdata& entry);

    // Called with each inserted entry (the reference list takes it under the "All" filter).
    std::function<void(Pdata&)> onInserted;

    // The picture read last, as the progress window shows it.
    const QImage& Picture() const { return picture_; }

    // Where AnalyseFile(path) takes its analysis from: by default MeasureFile on this thread;
    // an analysis pipeline computes them ahead on worker threads.
    std::function<FileAnalysis(const std::string& path)> measure;

private:
    void ShowReading(const std::string& path);
    int Conclude(const std::string& path, FileAnalysis&& analysis, Pdata& entry);

    SharedState& state_;
    Catalogue& catalogue_;
    std::vector<Pdata*>& newPictures_;
    QImage picture_;
};

} // namespace lumidex
