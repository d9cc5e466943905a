#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include <optional>

namespace lumidex {

struct ViewerLayoutInput {
    QSize picture; // the picture's own size
    QSize client;  // the window's client size now
    QSize frame;   // what the window's frame adds to the client size
    QRect screen;  // available area of the screen the window belongs to
    bool stretch = true;
    bool fixedSize = false;
    bool fixedPosition = false;
    bool boundToReference = false;
};

struct ViewerLayout {
    QRect panel;                  // the picture area inside the client area (may be larger)
    QSize client;                 // the client size to set
    std::optional<QPoint> window; // top left of the window frame, when it moves
};

// How the viewer window lays out a picture; nullopt for an empty picture (nothing changes).
// Without stretch the window stays inside the screen and the picture scrolls.
std::optional<ViewerLayout> LayoutViewer(const ViewerLayoutInput& in);

} // namespace lumidex
