#include "TProgress.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace lumidex {

namespace {
constexpr int kPictureSide = 105;
}

TProgress::TProgress(QWidget* parent) : QDialog(parent) {
    setObjectName("Progress");
    setWindowTitle("Progress");
    // A tool window over the main window, never hidden behind another window.
    setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                   Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    image1_ = new QLabel(this);
    image1_->setObjectName("Image1");
    image1_->setFixedSize(kPictureSide, kPictureSide);
    image1_->setScaledContents(true);
    image1_->setAutoFillBackground(true);

    label2_ = new QLabel("Picture", this);
    label2_->setObjectName("Label2");
    bar1_ = new QProgressBar(this);
    bar1_->setObjectName("ProgressBar1");
    bar1_->setRange(0, 16);
    bar1_->setTextVisible(false);

    label1_ = new QLabel("Files", this);
    label1_->setObjectName("Label1");
    bar2_ = new QProgressBar(this);
    bar2_->setObjectName("ProgressBar2");
    bar2_->setRange(0, 16);
    bar2_->setTextVisible(false);

    abortButton_ = new QPushButton("Abort", this);
    abortButton_->setObjectName("Abort");
    connect(abortButton_, &QPushButton::clicked, this, [this] { abort_ = true; });

    auto* bars = new QVBoxLayout;
    bars->addWidget(label2_);
    bars->addWidget(bar1_);
    bars->addWidget(label1_);
    bars->addWidget(bar2_);
    bars->addStretch();
    bars->addWidget(abortButton_, 0, Qt::AlignHCenter);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(image1_);
    layout->addLayout(bars, 1);
    setMinimumWidth(320);
}

void TProgress::ShowProgress() {
    bar1_->setValue(0);
    bar2_->setValue(0);
    image1_->setPixmap(QPixmap());
    abort_ = false;
    if (!isVisible()) {
        adjustSize();
        if (QScreen* screen = QGuiApplication::primaryScreen())
            move(screen->availableGeometry().center() - rect().center());
        show();
    }
    if (showMinimized_) showMinimized();
    repaint();
}

void TProgress::SetPicture(const QImage& picture) {
    image1_->setPixmap(QPixmap::fromImage(picture));
}

void TProgress::SetFilesBarShown(bool shown) {
    label1_->setVisible(shown);
    bar2_->setVisible(shown);
}

void TProgress::reject() {
    abort_ = true;
}

void TProgress::closeEvent(QCloseEvent* event) {
    abort_ = true;
    event->ignore();
}

void TProgress::StepPictureBar() {
    bar1_->setValue(std::min(bar1_->value() + 1, bar1_->maximum()));
}
void TProgress::StepFilesBar() {
    bar2_->setValue(std::min(bar2_->value() + 1, bar2_->maximum()));
}

} // namespace lumidex
