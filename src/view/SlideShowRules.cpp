#include "SlideShowRules.h"

#include "Options.h"

#include <algorithm>

namespace lumidex {

int SlideIntervalSeconds(int position) {
    static const int kSeconds[kTrackBar2Max + 1] = {
        1,  2,  3,  4,  5,  6,   7,   8,   9,   10,  15,  20,   25,   30,   35,
        40, 45, 50, 55, 60, 120, 180, 240, 300, 600, 900, 1200, 1500, 1800, 3600};
    return kSeconds[std::clamp(position, 0, kTrackBar2Max)];
}

SlideStep NextSlide(int row, int rowCount, bool wrapAround, bool advanceFirst,
                    const std::function<bool(int row)>& readable) {
    if (rowCount <= 0) return {SlideStep::EmptyList, 0};
    // Rows may have left the list since the slider was set.
    row = std::clamp(row, 0, rowCount - 1);
    bool advance = advanceFirst;
    for (int tried = 0; tried < rowCount; ++tried) {
        if (advance) {
            if (row < rowCount - 1)
                ++row;
            else if (wrapAround)
                row = 0;
            else
                return {SlideStep::EndOfList, row};
        }
        advance = true;
        if (readable(row)) return {SlideStep::Show, row};
    }
    return {SlideStep::NoneReadable, row};
}

} // namespace lumidex
