#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

namespace lumidex {

// The progress window: a picture bar, a file-count bar, the picture being analysed and Abort.
class TProgress : public QDialog {
    Q_OBJECT
public:
    explicit TProgress(QWidget* parent = nullptr);

    // Shows the window with both bars at 0, an empty picture and no abort request.
    void ShowProgress();
    void SetPicture(const QImage& picture);
    bool AbortRequested() const { return abort_; }
    void SetAbortRequested(bool on) { abort_ = on; }

    QProgressBar* ProgressBar1() const { return bar1_; } // picture
    QProgressBar* ProgressBar2() const { return bar2_; } // files
    void StepPictureBar();
    void StepFilesBar();

private:
    QPushButton* abortButton_;
    QLabel* label1_;
    QLabel* label2_;
    QProgressBar* bar1_;
    QProgressBar* bar2_;
    QLabel* image1_;
    bool abort_ = false;
};

} // namespace lumidex
