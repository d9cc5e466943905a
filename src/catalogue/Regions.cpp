#include "Regions.h"

#include "Signature.h"

#include <QImage>

#include <algorithm>
#include <cmath>

namespace lumidex {

namespace {

struct LineStats {
    int64_t r, g, b, variance;
};

// The scan of one button: lines from first to last inclusive, stepping by direction; each
// line horizontal (fixed y, samples along x) or vertical.
struct Scan {
    int first, last, direction;
    bool horizontal;
};

// Mean colour and variance of one line's samples; false when no sample lies in the picture.
bool Measure(const QImage& picture, const Area& rect, const Scan& scan, int line, LineStats& s) {
    const int from = scan.horizontal ? rect.left : rect.top;
    const int to = scan.horizontal ? rect.right : rect.bottom;
    const int limit = scan.horizontal ? picture.width() : picture.height();
    const int step = (to - from) / 100 + 1;
    int64_t n = 0, sum[3] = {}, squares[3] = {};
    std::vector<QRgb> samples;
    for (int p = from; p < to; p += step) {
        if (p < 0 || p >= limit) continue;
        samples.push_back(scan.horizontal ? picture.pixel(p, line) : picture.pixel(line, p));
    }
    n = static_cast<int64_t>(samples.size());
    if (n == 0) return false;
    for (QRgb c : samples) {
        sum[0] += qRed(c);
        sum[1] += qGreen(c);
        sum[2] += qBlue(c);
    }
    const int64_t mean[3] = {sum[0] / n, sum[1] / n, sum[2] / n};
    for (QRgb c : samples) {
        const int64_t v[3] = {qRed(c), qGreen(c), qBlue(c)};
        for (int k = 0; k < 3; ++k)
            squares[k] += (v[k] - mean[k]) * (v[k] - mean[k]);
    }
    s = {mean[0], mean[1], mean[2], squares[0] / n + squares[1] / n + squares[2] / n};
    return true;
}

Scan ScanOf(SnapButton button, const Area& r, int width, int height) {
    switch (button) {
    case SnapButton::TopOutward:
        return {r.top - 1, 0, -1, true};
    case SnapButton::TopInward:
        return {r.top + 1, r.bottom, 1, true};
    case SnapButton::BottomInward:
        return {r.bottom, r.top, -1, true};
    case SnapButton::BottomOutward:
        return {r.bottom, height, 1, true};
    case SnapButton::LeftOutward:
        return {r.left - 1, 0, -1, false};
    case SnapButton::LeftInward:
        return {r.left + 1, r.right, 1, false};
    case SnapButton::RightInward:
        return {r.right - 1, r.left, -1, false};
    case SnapButton::RightOutward:
        return {r.right + 1, width, 1, false};
    }
    return {0, -1, 1, true};
}

bool Outward(SnapButton b) {
    return b == SnapButton::TopOutward || b == SnapButton::BottomOutward ||
           b == SnapButton::LeftOutward || b == SnapButton::RightOutward;
}

// Moves the button's side to line g when the rectangle stays above the smallest size.
Area MoveSide(Area r, SnapButton button, int g) {
    switch (button) {
    case SnapButton::TopOutward:
    case SnapButton::TopInward:
        if (r.bottom - g > kMinRegionSide) r.top = g;
        break;
    case SnapButton::BottomOutward:
    case SnapButton::BottomInward:
        if (g - r.top > kMinRegionSide) r.bottom = g;
        break;
    case SnapButton::LeftOutward:
    case SnapButton::LeftInward:
        if (r.right - g > kMinRegionSide) r.left = g;
        break;
    case SnapButton::RightOutward:
    case SnapButton::RightInward:
        if (g - r.left > kMinRegionSide) r.right = g;
        break;
    }
    return r;
}

int BorderOf(SnapButton button, int width, int height) {
    switch (button) {
    case SnapButton::BottomOutward:
        return height;
    case SnapButton::RightOutward:
        return width;
    default:
        return 0;
    }
}

} // namespace

Area SnapEdge(const QImage& picture, const Area& rect, SnapButton button, int sensitivity,
              int sensitivityMax, SnapWork* work) {
    const int width = picture.width(), height = picture.height();
    SnapWork local;
    SnapWork& w = work ? *work : local;
    w.variances.clear();
    w.distances.clear();
    const Scan scan = ScanOf(button, rect, width, height);
    if ((button == SnapButton::TopOutward || button == SnapButton::LeftOutward) && scan.first < 0)
        return rect;
    if ((button == SnapButton::BottomOutward && rect.bottom > height) ||
        (button == SnapButton::RightOutward && rect.right + 1 > width))
        return rect;

    // Lines outside the picture are left out of the scan; the rest keep their order.
    const int lineLimit = scan.horizontal ? height : width;
    std::vector<int> lines;
    int64_t largest = 0;
    LineStats previous{};
    for (int g = scan.first; scan.direction > 0 ? g <= scan.last : g >= scan.last;
         g += scan.direction) {
        LineStats s;
        if (g < 0 || g >= lineLimit || !Measure(picture, rect, scan, g, s)) continue;
        const int64_t d = lines.empty() ? 0
                                        : (s.r - previous.r) * (s.r - previous.r) +
                                              (s.g - previous.g) * (s.g - previous.g) +
                                              (s.b - previous.b) * (s.b - previous.b);
        lines.push_back(g);
        w.variances.push_back(s.variance);
        w.distances.push_back(d);
        largest = std::max(largest, s.variance);
        previous = s;
    }

    int found = -1;
    if (!lines.empty() && sensitivityMax > 0) {
        const int64_t varianceThreshold = (sensitivity * largest / sensitivityMax) / 2;
        const size_t n = lines.size();
        double mean = 0;
        for (int64_t d : w.distances)
            mean += static_cast<double>(d);
        mean /= static_cast<double>(n);
        double deviation = static_cast<double>(w.distances[0]);
        if (n > 1) {
            double squares = 0;
            for (int64_t d : w.distances)
                squares += (static_cast<double>(d) - mean) * (static_cast<double>(d) - mean);
            deviation = std::sqrt(squares / static_cast<double>(n - 1));
        }
        const auto distanceThreshold = static_cast<int64_t>(mean + 1.95 * deviation);
        bool previousBusy = false;
        for (size_t i = 0; i < n; ++i) {
            const bool busy = w.variances[i] > varianceThreshold;
            if ((i > 0 && busy != previousBusy) || w.distances[i] > distanceThreshold) {
                found = lines[i];
                break;
            }
            previousBusy = busy;
        }
    }
    if (found >= 0) return MoveSide(rect, button, found);
    if (Outward(button)) return MoveSide(rect, button, BorderOf(button, width, height));
    return rect;
}

Zone ZoneAt(int width, int height, int x, int y, int band) {
    if (x < 0 || y < 0 || x >= width || y >= height) return Zone::Outside;
    const bool left = x < band, right = !left && x >= width - band;
    const bool top = y < band, bottom = !top && y >= height - band;
    if (top && left) return Zone::TopLeft;
    if (top && right) return Zone::TopRight;
    if (bottom && left) return Zone::BottomLeft;
    if (bottom && right) return Zone::BottomRight;
    if (left) return Zone::Left;
    if (right) return Zone::Right;
    if (top) return Zone::Top;
    if (bottom) return Zone::Bottom;
    return Zone::Inside;
}

Area DragZone(const Area& start, Zone zone, int dx, int dy) {
    Area r = start;
    const bool moveLeft = zone == Zone::Left || zone == Zone::TopLeft || zone == Zone::BottomLeft;
    const bool moveRight =
        zone == Zone::Right || zone == Zone::TopRight || zone == Zone::BottomRight;
    const bool moveTop = zone == Zone::Top || zone == Zone::TopLeft || zone == Zone::TopRight;
    const bool moveBottom =
        zone == Zone::Bottom || zone == Zone::BottomLeft || zone == Zone::BottomRight;
    if (zone == Zone::Inside) return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
    if (moveLeft) r.left = std::min(start.left + dx, start.right - 1);
    if (moveRight) r.right = std::max(start.right + dx, start.left + 1);
    if (moveTop) r.top = std::min(start.top + dy, start.bottom - 1);
    if (moveBottom) r.bottom = std::max(start.bottom + dy, start.top + 1);
    return r;
}

MagnifierSource MagnifierSquare(int x, int y, int areaWidth, int areaHeight) {
    constexpr int kReach = 10;
    auto fraction = [](int beyond) { return std::clamp(beyond / double(kReach), 0.0, 1.0); };
    MagnifierSource m;
    m.square = {x - kReach, y - kReach, x + kReach, y + kReach};
    if (x < kReach) m.hatchLeft = fraction(kReach - x);
    if (y < kReach) m.hatchTop = fraction(kReach - y);
    if (x > areaWidth - kReach) m.hatchRight = fraction(x - (areaWidth - kReach));
    if (y > areaHeight - kReach) m.hatchBottom = fraction(y - (areaHeight - kReach));
    return m;
}

Area ClampToPicture(const Area& a, int width, int height) {
    Area r;
    r.left = std::clamp(a.left, 0, width);
    r.right = std::clamp(a.right, r.left, width);
    r.top = std::clamp(a.top, 0, height);
    r.bottom = std::clamp(a.bottom, r.top, height);
    return r;
}

std::string CornerText(const Area& a) {
    return "(" + std::to_string(a.left) + "," + std::to_string(a.top) + ")-(" +
           std::to_string(a.right) + "," + std::to_string(a.bottom) + ")";
}

std::vector<std::string> RegionNames(const Pdata& entry) {
    std::vector<std::string> names;
    for (int i = 0; i < entry.RegionCount(); ++i)
        names.push_back("Area " + std::to_string(i + 1));
    return names;
}

int AddRegion(const QImage& picture, Pdata& entry, const Area& rect, Frame& frame) {
    if (ComputeSignature(picture, entry, SignatureMode::Rectangle, rect.left, rect.top, rect.right,
                         rect.bottom, frame) < 0)
        return -1;
    return entry.RegionCount();
}

bool DeleteRegion(Pdata& entry, int index) {
    if (index < 0 || index >= entry.RegionCount()) return false;
    entry.DeleteRegion(index);
    return true;
}

} // namespace lumidex
