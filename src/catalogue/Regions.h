#pragma once
// The rules of the region window, free of widgets: edge snapping, the rectangle's grip zones,
// the magnifier's source square, and adding and deleting an entry's regions.

#include "Pdata.h"

#include <cstdint>
#include <vector>

class QImage;

namespace lumidex {

class Frame;

// A rectangle under 16 pixels on a side cannot become a region; snapping keeps sides above.
inline constexpr int kMinRegionSide = 16;

// The eight arrow buttons around the square that stands for the rectangle.
enum class SnapButton {
    TopOutward = 1,    // SpeedButton1
    TopInward = 2,     // SpeedButton2
    RightInward = 3,   // SpeedButton3
    RightOutward = 4,  // SpeedButton4
    LeftInward = 5,    // SpeedButton5
    LeftOutward = 6,   // SpeedButton6
    BottomInward = 7,  // SpeedButton7
    BottomOutward = 8, // SpeedButton8
};

// One variance and one colour distance per scanned line, in scan order.
struct SnapWork {
    std::vector<int64_t> variances;
    std::vector<int64_t> distances;
};

// Moves one side of rect (picture pixels, right and bottom exclusive) to the next boundary
// the scan finds, with the sensitivity of TrackBar1 (position over maximum). Lines and
// samples outside the picture are never read; a line without samples is left out.
Area SnapEdge(const QImage& picture, const Area& rect, SnapButton button, int sensitivity,
              int sensitivityMax, SnapWork* work = nullptr);

// Where the pointer is on the rectangle control (size width x height, pointer at x, y in its
// own coordinates), with a grip band of band pixels along each side.
enum class Zone {
    Outside,
    Inside,
    Left,
    Right,
    Top,
    Bottom,
    TopLeft,
    TopRight,
    BottomLeft,
    BottomRight
};
Zone ZoneAt(int width, int height, int x, int y, int band);
// The rectangle after dragging from a zone by (dx, dy); never under 1 x 1.
Area DragZone(const Area& start, Zone zone, int dx, int dy);

// The magnifier copies the square around the pointer; where it reaches past the picture,
// those fractions of its halves are hatched (0 .. 1 of the left, top, right, bottom half).
struct MagnifierSource {
    Area square;
    double hatchLeft = 0, hatchTop = 0, hatchRight = 0, hatchBottom = 0;
};
MagnifierSource MagnifierSquare(int x, int y, int areaWidth, int areaHeight);

// A stored rectangle held inside a picture of width x height (stored files may hold any).
Area ClampToPicture(const Area& area, int width, int height);
// The corner text: "(" left "," top ")-(" right "," bottom ")".
std::string CornerText(const Area& area);
// "Area " + number, 1 upwards, in stored order.
std::vector<std::string> RegionNames(const Pdata& entry);

// Computes the rectangle's signature on the entry's picture and appends it as a region
// (clipped to the picture). Returns the new region count, or -1 when the rectangle is under
// 16 pixels on a side after clipping (nothing stored).
int AddRegion(const QImage& picture, Pdata& entry, const Area& rect, Frame& frame);
// Deletes region index (0-based); false when there is no such region.
bool DeleteRegion(Pdata& entry, int index);

} // namespace lumidex
