#include "TSlideShow.h"

#include "Paths.h"
#include "PictureReader.h"
#include "SlideShowRules.h"
#include "TViewLeft.h"
#include "Workspace.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QSlider>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace lumidex {

namespace {

QImage ReadFull(const std::string& path) {
    QImage picture;
    if (ReadPicture(picture, path) != 0) return QImage();
    return picture;
}

} // namespace

TSlideShow::TSlideShow(Workspace& ws, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), ws_(ws) {
    setObjectName("TSlideShow");
    setWindowTitle("SlideShow");
    auto* frame = new QFrame(this);
    frame->setFrameShape(QFrame::Panel);
    frame->setFrameShadow(QFrame::Raised);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(frame);

    auto* group = new QButtonGroup(this);
    group->setExclusive(true);
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(2);
    auto button = [&](const char* name, QStyle::StandardPixmap icon, const char* hint) {
        auto* b = new QToolButton(frame);
        b->setObjectName(name);
        b->setIcon(style()->standardIcon(icon));
        b->setToolTip(hint);
        b->setCheckable(true);
        b->setMinimumSize(28, 24);
        group->addButton(b);
        buttons->addWidget(b);
        return b;
    };
    rewind_ = button("Rewind", QStyle::SP_MediaSkipBackward, "Rewind");
    stop_ = button("Stop", QStyle::SP_MediaStop, "Stop");
    play_ = button("PlayButton", QStyle::SP_MediaPlay, "Play");
    forward_ = button("Forward", QStyle::SP_MediaSkipForward, "Forward");
    stop_->setChecked(true);
    buttons->addStretch();
    auto* close = new QPushButton("Close", frame);
    close->setObjectName("ButtonClose");
    buttons->addWidget(close);

    trackBar_ = new QSlider(Qt::Horizontal, frame);
    trackBar_->setObjectName("TrackBar1");
    trackBar_->setMinimumWidth(220);
    fileName_ = new QLabel(frame);
    fileName_->setObjectName("FileName");
    fileName_->setTextFormat(Qt::PlainText);
    auto* layout = new QVBoxLayout(frame);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addLayout(buttons);
    layout->addWidget(trackBar_);
    layout->addWidget(fileName_);

    timer_ = new QTimer(this);
    timer_->setObjectName("Timer1");
    timer_->setSingleShot(true);
    connect(timer_, &QTimer::timeout, this, &TSlideShow::Tick);
    connect(play_, &QAbstractButton::clicked, this, &TSlideShow::PlayClick);
    connect(stop_, &QAbstractButton::clicked, this, &TSlideShow::StopClick);
    connect(rewind_, &QAbstractButton::clicked, this, &TSlideShow::RewindClick);
    connect(forward_, &QAbstractButton::clicked, this, &TSlideShow::ForwardClick);
    connect(close, &QPushButton::clicked, this, &TSlideShow::CloseClick);
    connect(trackBar_, &QSlider::valueChanged, this, [this](int row) { ShowFileName(row); });
}

TSlideShow::~TSlideShow() {
    if (ahead_.valid()) ahead_.wait();
}

void TSlideShow::SyncSliderRange() {
    const int rows = ws_.lists.reference.Count();
    const int max = std::max(rows - 1, 0);
    if (trackBar_->maximum() != max) trackBar_->setMaximum(max);
    trackBar_->setPageStep(std::max(max / 10, 1));
}

void TSlideShow::PrepareShowing() {
    SyncSliderRange();
    trackBar_->setValue(std::max(ws_.lists.reference.SelectedRow(), 0));
    ShowFileName(trackBar_->value());
}

void TSlideShow::ShowFileName(int row) {
    const EntryList& list = ws_.lists.reference;
    if (row < 0 || row >= list.Count()) {
        fileName_->clear();
        return;
    }
    const std::string& path = list.EntryAt(row)->path;
    const std::string_view name = paths::FileName(path);
    const std::string_view ext = paths::Extension(name);
    const std::string stem(name.substr(0, name.size() - ext.size()));
    fileName_->setText(QString::fromUtf8(stem.data(), static_cast<qsizetype>(stem.size())));
}

void TSlideShow::Press(QAbstractButton* button) {
    button->setChecked(true);
}

bool TSlideShow::ReadSlide(int row) {
    const EntryList& list = ws_.lists.reference;
    if (row < 0 || row >= list.Count()) return false;
    const std::string path = list.EntryAt(row)->path;
    if (ahead_.valid() && aheadPath_ == path)
        scratch_ = ahead_.get();
    else
        scratch_ = ReadFull(path);
    return !scratch_.isNull();
}

void TSlideShow::ReadAhead(int row) {
    const EntryList& list = ws_.lists.reference;
    int next = row + 1;
    if (next >= list.Count()) next = ws_.options.WrapAround ? 0 : -1;
    if (next < 0 || next == row) return;
    if (ahead_.valid()) ahead_.wait();
    aheadPath_ = list.EntryAt(next)->path;
    // A copy of the path only: the worker never touches the catalogue.
    ahead_ = std::async(std::launch::async, ReadFull, aheadPath_);
}

void TSlideShow::ShowSlide(int row) {
    if (trackBar_->value() != row) trackBar_->setValue(row);
    ShowFileName(row);
    viewer_->setWindowTitle("Slide Show");
    viewer_->show();
    viewer_->ShowPicture(scratch_);
    scratch_ = QImage();
    raise();
    ReadAhead(row);
    timer_->start(SlideIntervalSeconds(ws_.options.TrackBar2) * 1000);
}

void TSlideShow::PlayClick() {
    Press(play_);
    if (timer_->isActive()) return;
    if (!viewer_ && makeViewer_) {
        viewer_ = makeViewer_(this);
        viewer_->setWindowFlag(Qt::WindowStaysOnTopHint, false);
        viewer_->setWindowTitle("Slide Show");
    }
    if (!viewer_) return;
    SyncSliderRange();
    const SlideStep step =
        NextSlide(trackBar_->value(), ws_.lists.reference.Count(), ws_.options.WrapAround, false,
                  [this](int row) { return ReadSlide(row); });
    if (step.outcome == SlideStep::Show)
        ShowSlide(step.row);
    else
        StopClick();
}

void TSlideShow::Tick() {
    timer_->stop();
    if (!viewer_) return;
    // Closing the viewer (a click in it) ends the show.
    if (!viewer_->isVisible()) {
        StopClick();
        return;
    }
    SyncSliderRange();
    const SlideStep step = NextSlide(trackBar_->value(), ws_.lists.reference.Count(),
                                     ws_.options.WrapAround, true, [this](int row) {
                                         ShowFileName(row);
                                         return ReadSlide(row);
                                     });
    if (step.outcome == SlideStep::Show) {
        ShowSlide(step.row);
        return;
    }
    if (step.outcome == SlideStep::EndOfList) trackBar_->setValue(step.row);
    StopClick();
}

void TSlideShow::StopClick() {
    timer_->stop();
    Press(stop_);
}

void TSlideShow::RewindClick() {
    trackBar_->setValue(0);
    ShowFileName(0);
    StopClick();
}

void TSlideShow::ForwardClick() {
    SyncSliderRange();
    trackBar_->setValue(trackBar_->maximum());
    ShowFileName(trackBar_->value());
    StopClick();
}

void TSlideShow::CloseClick() {
    StopClick();
    close();
}

void TSlideShow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    inhibitor_.Inhibit();
}

void TSlideShow::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    StopClick();
    if (viewer_) viewer_->deleteLater();
    viewer_ = nullptr;
    if (ahead_.valid()) ahead_.wait();
    ahead_ = {};
    aheadPath_.clear();
    inhibitor_.Release();
}

void TSlideShow::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        dragOffset_ = event->globalPosition().toPoint() - frameGeometry().topLeft();
    QDialog::mousePressEvent(event);
}

void TSlideShow::mouseMoveEvent(QMouseEvent* event) {
    // No title bar: the window is dragged by any point of its surface.
    if (event->buttons() & Qt::LeftButton) move(event->globalPosition().toPoint() - dragOffset_);
    QDialog::mouseMoveEvent(event);
}

} // namespace lumidex
