#pragma once

#include <QImage>
#include <QWidget>

namespace lumidex {

// Draws a picture stretched to the widget's size, scaled smoothly and at the screen's pixel
// density.
class PictureArea : public QWidget {
public:
    explicit PictureArea(QWidget* parent = nullptr);
    void SetPicture(const QImage& picture);
    const QImage& picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QImage picture_;
    QImage scaled_; // picture_ at the size last drawn, so repaints cost no rescale
};

} // namespace lumidex
