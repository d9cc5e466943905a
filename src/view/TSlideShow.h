#pragma once

#include "ScreenSaverInhibitor.h"
#include "TViewLeft.h"

#include <QDialog>
#include <QImage>
#include <QPointer>

#include <functional>
#include <future>
#include <string>

class QAbstractButton;
class QLabel;
class QSlider;
class QTimer;

namespace lumidex {

class Workspace;

// The slide show's control window: play controls, a slider over the reference list and the
// current file name. The pictures are shown in a viewer that lives from the first Play to the
// closing of this window. The next slide is read ahead on a worker thread while one is shown.
class TSlideShow : public QDialog {
    Q_OBJECT
public:
    explicit TSlideShow(Workspace& ws, QWidget* parent = nullptr);
    ~TSlideShow() override;

    // Makes the slide viewer (a viewer bound to the reference list, parented to this window so
    // that it takes clicks while this window is modal).
    void SetViewerFactory(std::function<TViewLeft*(QWidget* parent)> make) {
        makeViewer_ = std::move(make);
    }
    // Slider and file name from the reference list, before the window is shown.
    void PrepareShowing();

    void PlayClick();
    void StopClick();
    void RewindClick();
    void ForwardClick();
    void CloseClick();
    // Timer1's tick.
    void Tick();

    TViewLeft* SlideViewer() const { return viewer_; }
    QTimer* Timer1() const { return timer_; }
    QSlider* TrackBar1() const { return trackBar_; }
    bool ScreenSaverHeld() const { return inhibitor_.Held(); }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    // Shows the row's picture when it can be read; false otherwise.
    bool ReadSlide(int row);
    void ShowSlide(int row);
    void ShowFileName(int row);
    void ReadAhead(int row);
    void Press(QAbstractButton* button);
    void SyncSliderRange();

    Workspace& ws_;
    std::function<TViewLeft*(QWidget*)> makeViewer_;
    QPointer<TViewLeft> viewer_;
    ScreenSaverInhibitor inhibitor_;
    QImage scratch_;
    // The picture read ahead and its path.
    std::string aheadPath_;
    std::future<QImage> ahead_;
    QTimer* timer_ = nullptr;
    QSlider* trackBar_ = nullptr;
    QLabel* fileName_ = nullptr;
    QAbstractButton* rewind_ = nullptr;
    QAbstractButton* stop_ = nullptr;
    QAbstractButton* play_ = nullptr;
    QAbstractButton* forward_ = nullptr;
    QPoint dragOffset_;
};

} // namespace lumidex
