#pragma once

#include "Regions.h"

#include <QWidget>

#include <functional>

namespace lumidex {

// A rectangle the user moves and resizes with the left button, drawn over its parent (the
// picture); its geometry is in the parent's pixels. Grip band: pen width up to 20.
class TSizeableRectShape : public QWidget {
public:
    explicit TSizeableRectShape(QWidget* parent);

    void SetGripBand(int band);
    int GripBand() const { return band_; }
    // Called when the button is released over the control.
    std::function<void()> onReleased;
    // Called while the rectangle moves.
    std::function<void()> onChanged;

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    static constexpr int kPenWidth = 2;
    int band_ = 8;
    Zone dragZone_ = Zone::Outside;
    QPoint dragStart_;
    Area startArea_;
};

} // namespace lumidex
