#pragma once

#include "Catalogue.h"

#include <QImage>

#include <functional>
#include <string>
#include <vector>

namespace lumidex {

class SharedState;

// Turns one picture file into a new catalogue entry, reporting every rejection in words.
class Analyser {
public:
    Analyser(SharedState& state, Catalogue& catalogue, std::vector<Pdata*>& newPictures);

    // 0 when a new entry was inserted, 1 when the file was rejected (already reported),
    // -1 when the user aborted. The duplicate policy is the caller's business.
    int AnalyseFile(const std::string& path);
    // The same checks, messages and results, into an entry the caller keeps out of the
    // catalogue: key, code, file size and time are set on success.
    int AnalyseInto(const std::string& path, Pdata& entry);

    // Called with each inserted entry (the reference list takes it under the "All" filter).
    std::function<void(Pdata&)> onInserted;

    // The picture read last: what the progress window shows.
    const QImage& Picture() const { return picture_; }

private:
    SharedState& state_;
    Catalogue& catalogue_;
    std::vector<Pdata*>& newPictures_;
    QImage picture_;
};

} // namespace lumidex
