#pragma once

#include <functional>

namespace lumidex {

// Seconds the slide show waits at a TrackBar2 position (clamped to 0 .. 29); the options
// window labels the positions with IntervalText.
int SlideIntervalSeconds(int position);

// Where a tick of the slide show goes next.
struct SlideStep {
    enum Outcome {
        Show,         // row holds a readable picture
        EndOfList,    // the last row was passed without WrapAround: the show stops there
        NoneReadable, // a full pass found nothing readable: the show stops
        EmptyList     // the list has no rows (any more): the show stops
    };
    Outcome outcome;
    int row; // the row to show, or where the slider stays
};

// From row (as the slider holds it, checked against the list's current length), advances one
// row at a time, wrapping to 0 with wrapAround, until readable(row) is true. Unreadable rows
// are passed over; after a whole pass over the list without a readable row the show ends
// instead of searching for ever. With advanceFirst false the row itself is tried first (Play).
SlideStep NextSlide(int row, int rowCount, bool wrapAround, bool advanceFirst,
                    const std::function<bool(int row)>& readable);

} // namespace lumidex
