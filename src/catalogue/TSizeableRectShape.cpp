#include "TSizeableRectShape.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace lumidex {

namespace {
Qt::CursorShape CursorFor(Zone zone) {
    switch (zone) {
    case Zone::Inside:
        return Qt::SizeAllCursor;
    case Zone::Left:
    case Zone::Right:
        return Qt::SizeHorCursor;
    case Zone::Top:
    case Zone::Bottom:
        return Qt::SizeVerCursor;
    case Zone::TopLeft:
    case Zone::BottomRight:
        return Qt::SizeFDiagCursor;
    case Zone::TopRight:
    case Zone::BottomLeft:
        return Qt::SizeBDiagCursor;
    case Zone::Outside:
        break;
    }
    return Qt::ArrowCursor;
}
} // namespace

TSizeableRectShape::TSizeableRectShape(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setAttribute(Qt::WA_TranslucentBackground);
    setMinimumSize(1, 1);
}

void TSizeableRectShape::SetGripBand(int band) {
    band_ = std::clamp(band, kPenWidth, 20);
}

void TSizeableRectShape::paintEvent(QPaintEvent*) {
    QPainter p(this);
    // Yellow over the picture, two pixels wide, transparent inside.
    p.setPen(QPen(QColor(255, 255, 0), kPenWidth));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
}

void TSizeableRectShape::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    const QPoint at = e->position().toPoint();
    dragZone_ = ZoneAt(width(), height(), at.x(), at.y(), band_);
    dragStart_ = mapToParent(at);
    const QRect g = geometry();
    startArea_ = {g.left(), g.top(), g.left() + g.width(), g.top() + g.height()};
}

void TSizeableRectShape::mouseMoveEvent(QMouseEvent* e) {
    const QPoint at = e->position().toPoint();
    if (!(e->buttons() & Qt::LeftButton) || dragZone_ == Zone::Outside) {
        setCursor(CursorFor(ZoneAt(width(), height(), at.x(), at.y(), band_)));
        return;
    }
    const QPoint delta = mapToParent(at) - dragStart_;
    const Area a = DragZone(startArea_, dragZone_, delta.x(), delta.y());
    setGeometry(a.left, a.top, a.right - a.left, a.bottom - a.top);
    if (onChanged) onChanged();
}

void TSizeableRectShape::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    dragZone_ = Zone::Outside;
    if (onReleased) onReleased();
}

} // namespace lumidex
