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
    // The file-count bar and its label, hidden while a folder is scanned.
    void SetFilesBarShown(bool shown);
    // The next showing minimises the window ("Minimize" of the folder dialog).
    void SetShowMinimized(bool on) { showMinimized_ = on; }

protected:
    // Esc and closing the window mean Abort; the operation closes it when it ends.
    void reject() override;
    void closeEvent(QCloseEvent* event) override;

private:
    QPushButton* abortButton_;
    QLabel* label1_;
    QLabel* label2_;
    QProgressBar* bar1_;
    QProgressBar* bar2_;
    QLabel* image1_;
    bool abort_ = false;
    bool showMinimized_ = false;
};

} // namespace lumidex
