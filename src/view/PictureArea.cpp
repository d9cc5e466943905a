#include "PictureArea.h"

#include <QPainter>

namespace lumidex {

PictureArea::PictureArea(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureArea::SetPicture(const QImage& picture) {
    picture_ = picture;
    scaled_ = QImage();
    update();
}

void PictureArea::resizeEvent(QResizeEvent* event) {
    scaled_ = QImage();
    QWidget::resizeEvent(event);
}

void PictureArea::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (picture_.isNull()) {
        painter.fillRect(rect(), palette().window());
        return;
    }
    const qreal ratio = devicePixelRatioF();
    const QSize device = (QSizeF(size()) * ratio).toSize().expandedTo(QSize(1, 1));
    if (scaled_.size() != device) {
        scaled_ = picture_.size() == device
                      ? picture_
                      : picture_.scaled(device, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        scaled_.setDevicePixelRatio(ratio);
    }
    painter.drawImage(QPoint(0, 0), scaled_);
}

} // namespace lumidex
